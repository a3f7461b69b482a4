#include "setup/win32/orbit_rotator_adapter.h"

#include "platform/win32/windows_api.h"
#include "renderer/orbit_rotator.h"

namespace zor {

namespace {

HWND Hwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }

class COrbitRotatorAdapter : public IWindowRotator {
 public:
  explicit COrbitRotatorAdapter(COrbitRotator* rotator) : m_p(rotator) {}
  bool Initialize() override { return m_p->Initialize(); }
  void Release() override { m_p->Release(); }
  void SetHostWindow(WindowHandle window) override { m_p->SetHostWindow(Hwnd(window)); }
  void HideOverlay() override { m_p->HideOverlay(); }
  void PlayTurn(int durationMs, int direction, int reserved1, int reserved2, int reserved3) override {
    m_p->PlayTurn(durationMs, direction, reserved1, reserved2, reserved3);
  }
  void CaptureStartPicture(WindowHandle window) override { m_p->CaptureStartPicture(Hwnd(window)); }
  void CaptureEndPicture(WindowHandle window) override { m_p->CaptureEndPicture(Hwnd(window)); }
  void ShowOverlay() override { m_p->ShowOverlay(); }

 private:
  COrbitRotator* m_p;
};

}  // namespace

std::unique_ptr<IWindowRotator> MakeOrbitRotator(void* entryPoint) {
  if (!entryPoint) return nullptr;
  auto create = reinterpret_cast<CreateOrbitWindowFunction>(entryPoint);
  COrbitRotator* rotator = create();
  if (!rotator) return nullptr;
  return std::make_unique<COrbitRotatorAdapter>(rotator);
}

}  // namespace zor
