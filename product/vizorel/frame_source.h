// The one COM class of Vizorel.dll.
#pragma once

#include "vizorel/vizorel.h"

namespace vizorel {

class FrameSource final : public IVizorelFrameSource {
 public:
  FrameSource();
  FrameSource(const FrameSource&) = delete;
  FrameSource& operator=(const FrameSource&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE GetFormat(LONG* width, LONG* height, LONG* framesPerSecond) override;
  HRESULT STDMETHODCALLTYPE SetFormat(LONG width, LONG height, LONG framesPerSecond) override;
  HRESULT STDMETHODCALLTYPE ReadFrame(BYTE* buffer, ULONG bufferSize, ULONG* written) override;
  HRESULT STDMETHODCALLTYPE GetFramesRead(ULONG* count) override;

 private:
  ~FrameSource();

  LONG refs_ = 1;
  SRWLOCK lock_ = SRWLOCK_INIT;
  LONG width_ = 640;
  LONG height_ = 480;
  LONG framesPerSecond_ = 30;
  ULONG framesRead_ = 0;
};

}  // namespace vizorel
