// An off-screen picture: a 32-bit DIB section that the portable painters
// fill pixel by pixel, GDI draws texts on, and that is then copied to a
// window in one go (no flicker).
#pragma once
#include <windows.h>

#include "skinfile/paint.h"
#include "win_handles.h"

namespace skinengine {

class PixelBuffer {
 public:
  // The part [left, left + width) x [top, top + height) of a picture.
  PixelBuffer(HDC compatibleWith, int left, int top, int width, int height);
  PixelBuffer(const PixelBuffer&) = delete;
  PixelBuffer& operator=(const PixelBuffer&) = delete;
  ~PixelBuffer();

  bool valid() const { return dc_ != nullptr && pixels_ != nullptr; }
  // For the portable painters (picture coordinates).
  skinfile::Canvas canvas() {
    return skinfile::Canvas{pixels_, left_, top_, width_, height_};
  }
  // For GDI drawing: the viewport is set so that picture coordinates apply.
  HDC dc() const { return dc_; }
  // Copies the picture to `target`, whose origin is the picture's origin.
  void CopyTo(HDC target) const;

 private:
  int left_, top_, width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  skinfile::Color* pixels_ = nullptr;
};

}  // namespace skinengine
