// Vizorel.dll: the frame source COM component of Tarvex Lumaglimpse. Clients
// include this header and create the class with CoCreateInstance.
#pragma once

#include <windows.h>
#include <unknwn.h>

namespace vizorel {

// {DC920F00-EFF4-48B0-8A57-EC3399338E78}
inline constexpr CLSID kClsidFrameSource = {
    0xdc920f00, 0xeff4, 0x48b0, {0x8a, 0x57, 0xec, 0x33, 0x99, 0x33, 0x8e, 0x78}};
// {26A8EE90-E53E-422B-AF83-88D84182B36B}
inline constexpr IID kIidFrameSource = {
    0x26a8ee90, 0xe53e, 0x422b, {0xaf, 0x83, 0x88, 0xd8, 0x41, 0x82, 0xb3, 0x6b}};

inline constexpr wchar_t kProgId[] = L"Vizorel.FrameSource.1";
inline constexpr wchar_t kVersionIndependentProgId[] = L"Vizorel.FrameSource";
inline constexpr wchar_t kClassName[] = L"Vizorel Frame Source";

// Accepted formats: even sizes from 16 to 4096 pixels, 1 to 240 frames/s.
inline constexpr LONG kMinSide = 16;
inline constexpr LONG kMaxSide = 4096;
inline constexpr LONG kMaxFramesPerSecond = 240;

}  // namespace vizorel

// A source of 8-bit grey frames (rows top to bottom, no padding). The
// component generates a moving test pattern; the product's capture driver
// would feed the same interface. Safe to call from several threads.
struct IVizorelFrameSource : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetFormat(LONG* width, LONG* height, LONG* framesPerSecond) = 0;
  // E_INVALIDARG for a format outside the accepted range; the old one stays.
  virtual HRESULT STDMETHODCALLTYPE SetFormat(LONG width, LONG height, LONG framesPerSecond) = 0;
  // Writes the next frame (width * height bytes). A buffer that is too small
  // gets nothing: HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER), with
  // `*written` set to the size needed.
  virtual HRESULT STDMETHODCALLTYPE ReadFrame(BYTE* buffer, ULONG bufferSize, ULONG* written) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetFramesRead(ULONG* count) = 0;
};
