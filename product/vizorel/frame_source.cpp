#include "vizorel/frame_source.h"

#include "vizorel/server.h"

namespace vizorel {

FrameSource::FrameSource() { ModuleAddRef(); }

FrameSource::~FrameSource() { ModuleRelease(); }

HRESULT STDMETHODCALLTYPE FrameSource::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kIidFrameSource)) {
    *object = static_cast<IVizorelFrameSource*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE FrameSource::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

ULONG STDMETHODCALLTYPE FrameSource::Release() {
  LONG left = InterlockedDecrement(&refs_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE FrameSource::GetFormat(LONG* width, LONG* height, LONG* framesPerSecond) {
  if (width == nullptr || height == nullptr || framesPerSecond == nullptr) return E_POINTER;
  AcquireSRWLockShared(&lock_);
  *width = width_;
  *height = height_;
  *framesPerSecond = framesPerSecond_;
  ReleaseSRWLockShared(&lock_);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE FrameSource::SetFormat(LONG width, LONG height, LONG framesPerSecond) {
  auto side_ok = [](LONG side) { return side >= kMinSide && side <= kMaxSide && side % 2 == 0; };
  if (!side_ok(width) || !side_ok(height) || framesPerSecond < 1 || framesPerSecond > kMaxFramesPerSecond) {
    return E_INVALIDARG;
  }
  AcquireSRWLockExclusive(&lock_);
  width_ = width;
  height_ = height;
  framesPerSecond_ = framesPerSecond;
  ReleaseSRWLockExclusive(&lock_);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE FrameSource::ReadFrame(BYTE* buffer, ULONG bufferSize, ULONG* written) {
  if (written == nullptr) return E_POINTER;
  AcquireSRWLockExclusive(&lock_);
  // Sides are at most 4096, so the product fits in 32 bits.
  const ULONG needed = static_cast<ULONG>(width_) * static_cast<ULONG>(height_);
  if (buffer == nullptr || bufferSize < needed) {
    ReleaseSRWLockExclusive(&lock_);
    *written = needed;
    return buffer == nullptr && bufferSize != 0 ? E_POINTER : HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
  }
  // A diagonal ramp that moves one step per frame, so consecutive frames differ.
  const ULONG shift = framesRead_;
  for (LONG y = 0; y < height_; ++y) {
    BYTE* row = buffer + static_cast<size_t>(y) * static_cast<size_t>(width_);
    for (LONG x = 0; x < width_; ++x) {
      row[x] = static_cast<BYTE>((static_cast<ULONG>(x) + static_cast<ULONG>(y) + shift) & 0xFF);
    }
  }
  ++framesRead_;
  ReleaseSRWLockExclusive(&lock_);
  *written = needed;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE FrameSource::GetFramesRead(ULONG* count) {
  if (count == nullptr) return E_POINTER;
  AcquireSRWLockShared(&lock_);
  *count = framesRead_;
  ReleaseSRWLockShared(&lock_);
  return S_OK;
}

}  // namespace vizorel
