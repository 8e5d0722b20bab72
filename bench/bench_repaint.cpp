// The skin engine's repaint cost: full repaints of the benchmark window,
// first unskinned, then skinned: the engine skins the thread's windows that
// exist when the built skin is attached. Usage: bench_repaint ENGINE_DLL SKIN_FILE REPAINTS RUNS
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_common.h"
#include "bench_window.h"

namespace {

using AttachEx = int(__stdcall*)(const char* path, const char* password);

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// Microseconds per full repaint of `window`, one figure per run.
std::vector<double> TimeRepaints(HWND window, int repaints, int runs) {
  std::vector<double> per_repaint_us;
  constexpr UINT kFullRepaint = RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW;
  for (int run = 0; run < runs; ++run) {
    Pump();
    const double start = bench::NowMs();
    for (int i = 0; i < repaints; ++i) RedrawWindow(window, nullptr, nullptr, kFullRepaint);
    GdiFlush();
    per_repaint_us.push_back((bench::NowMs() - start) * 1000.0 / repaints);
  }
  return per_repaint_us;
}

// The caption's colours as the window itself drew them.
std::vector<COLORREF> CaptionOf(HWND window) {
  Pump();
  RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  std::vector<COLORREF> colours;
  RECT frame;
  HDC dc = GetWindowDC(window);
  if (!dc || !GetWindowRect(window, &frame)) return colours;
  const int width = frame.right - frame.left;
  for (int i = 0; i < bench::CaptionProbe::kPoints; ++i)
    colours.push_back(GetPixel(dc, width * 55 / 100 + i * (width / 4) / bench::CaptionProbe::kPoints, 10));
  ReleaseDC(window, dc);
  return colours;
}

std::string AnsiPath(const std::wstring& path) {
  const int size = WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(size > 0 ? size : 1, '\0');
  WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, &out[0], size, nullptr, nullptr);
  out.pop_back();
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    fprintf(stderr, "usage: bench_repaint ENGINE_DLL SKIN_FILE REPAINTS RUNS\n");
    return 2;
  }
  const std::wstring engine_path = bench::WidePath(argv[1]);
  const std::string skin_path = AnsiPath(bench::WidePath(argv[2]));
  const int repaints = atoi(argv[3]);
  const int runs = atoi(argv[4]);
  HINSTANCE instance = GetModuleHandleW(nullptr);
  HWND window = bench::CreateBenchWindow(instance);
  if (!window) {
    fprintf(stderr, "cannot create the window: %lu\n", GetLastError());
    return 1;
  }
  const std::vector<COLORREF> unskinned_caption = CaptionOf(window);
  const double unskinned_us = bench::Median(TimeRepaints(window, repaints, runs));

  const double load_start = bench::NowMs();
  HMODULE engine = LoadLibraryW(engine_path.c_str());
  const double load_ms = bench::NowMs() - load_start;
  if (!engine) {
    fprintf(stderr, "cannot load %ls: %lu\n", engine_path.c_str(), GetLastError());
    return 1;
  }
  const auto attach = reinterpret_cast<AttachEx>(reinterpret_cast<void*>(GetProcAddress(engine, "SkinH_Attach_Ex")));
  if (!attach) {
    fprintf(stderr, "the engine has no SkinH_Attach_Ex\n");
    return 1;
  }
  const double attach_start = bench::NowMs();
  const int attached = attach(skin_path.c_str(), "");
  const double attach_ms = bench::NowMs() - attach_start;
  const std::vector<COLORREF> skinned_caption = CaptionOf(window);
  const double skinned_us = bench::Median(TimeRepaints(window, repaints, runs));
  DestroyWindow(window);
  Pump();

  printf("engine attach result %d; caption colour %06lx unskinned, %06lx skinned (%s)\n", attached,
         unskinned_caption.empty() ? 0ul : unskinned_caption[0], skinned_caption.empty() ? 0ul : skinned_caption[0],
         skinned_caption != unskinned_caption ? "skinned" : "NOT skinned: same as unskinned");
  char figure[32];
  snprintf(figure, sizeof figure, "x%.3f", skinned_us / unskinned_us);
  printf("%-34s %-9s %10.1f  %-9s %10.1f  %-12s %s\n", "full repaint, us", "skinned", skinned_us, "unskinned",
         unskinned_us, figure, "<= x2");
  printf("%-34s %-9s %10.1f  %-9s %10.1f  (once, in this process)\n", "engine load / attach, ms", "load", load_ms,
         "attach", attach_ms);
  printf("repaints: %d per run, %d runs each\n", repaints, runs);
  return 0;
}
