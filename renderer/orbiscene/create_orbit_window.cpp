// The library's one entry point, looked up by name by the setup.
#include "renderer/orbiscene/page_turn_rotator.h"

extern "C" COrbitRotator* createOrbitWindow() { return new CPageTurnRotator(); }
