#include "pixel_buffer.h"

namespace skinengine {

PixelBuffer::PixelBuffer(HDC compatibleWith, int left, int top, int width, int height)
    : left_(left), top_(top), width_(width), height_(height) {
  if (width <= 0 || height <= 0) return;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down, as the Canvas is
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(compatibleWith, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap_) return;
  dc_ = CreateCompatibleDC(compatibleWith);
  if (!dc_) return;
  previous_ = SelectObject(dc_, bitmap_);
  SetViewportOrgEx(dc_, -left, -top, nullptr);
  pixels_ = static_cast<skinfile::Color*>(bits);
}

PixelBuffer::~PixelBuffer() {
  if (dc_) {
    if (previous_) SelectObject(dc_, previous_);
    DeleteDC(dc_);
  }
  if (bitmap_) DeleteObject(bitmap_);
}

void PixelBuffer::CopyTo(HDC target) const {
  if (!valid()) return;
  GdiFlush();
  BitBlt(target, left_, top_, width_, height_, dc_, left_, top_, SRCCOPY);
}

}  // namespace skinengine
