// The renderer's rotator behind the setup's IWindowRotator.
#pragma once

#include <memory>

#include "setup/window_rotator.h"

namespace zor {

// Calls "createOrbitWindow" at `entryPoint` and wraps what it returns;
// null when it returned null.
std::unique_ptr<IWindowRotator> MakeOrbitRotator(void* entryPoint);

}  // namespace zor
