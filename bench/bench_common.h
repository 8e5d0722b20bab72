// Small helpers shared by the measuring programs.
#pragma once
#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace bench {

// The value below which a share `q` (0 to 1) of the values lie, interpolated.
inline double Quantile(std::vector<double> values, double q) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const double position = q * static_cast<double>(values.size() - 1);
  const size_t below = static_cast<size_t>(position);
  if (below + 1 >= values.size()) return values.back();
  return values[below] + (values[below + 1] - values[below]) * (position - static_cast<double>(below));
}

inline double Median(std::vector<double> values) { return Quantile(std::move(values), 0.5); }

// Milliseconds on the performance counter.
inline double NowMs() {
  static const double ticks_per_ms = [] {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / ticks_per_ms;
}

// A command-line argument (UTF-8) as a Windows path; build paths of the host
// come as Unix paths and get drive Z:.
inline std::wstring WidePath(const char* text) {
  std::wstring out(MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, &out[0], static_cast<int>(out.size()));
  out.pop_back();
  if (!out.empty() && out[0] == L'/') {
    std::replace(out.begin(), out.end(), L'/', L'\\');
    out = L"Z:" + out;
  }
  return out;
}

class ScreenDC {
 public:
  ScreenDC() : dc_(GetDC(nullptr)) {}
  ~ScreenDC() {
    if (dc_) ReleaseDC(nullptr, dc_);
  }
  ScreenDC(const ScreenDC&) = delete;
  ScreenDC& operator=(const ScreenDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// Screen pixels at a few points of a window's caption bar, between where the
// title text ends and the caption buttons begin. The whole row is read in one
// copy from the screen.
class CaptionProbe {
 public:
  static constexpr int kPoints = 8;

  // The colours on screen now, for a window whose frame is `frame`.
  static std::vector<COLORREF> Read(const RECT& frame) {
    std::vector<COLORREF> colours;
    ScreenDC screen;
    const int width = frame.right - frame.left;
    if (!screen.get() || width <= 0) return colours;
    HDC memory = CreateCompatibleDC(screen.get());
    if (!memory) return colours;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -1;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP row = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (row && bits) {
      HGDIOBJ previous = SelectObject(memory, row);
      if (BitBlt(memory, 0, 0, width, 1, screen.get(), frame.left, frame.top + 10, SRCCOPY)) {
        GdiFlush();
        const auto* pixels = static_cast<const DWORD*>(bits);
        for (int i = 0; i < kPoints; ++i) colours.push_back(pixels[width * 55 / 100 + i * (width / 4) / kPoints] & 0xffffff);
      }
      SelectObject(memory, previous);
    }
    if (row) DeleteObject(row);
    DeleteDC(memory);
    return colours;
  }
};

}  // namespace bench
