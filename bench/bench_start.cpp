// Measures program starts under the real window system: the time from
// process creation until the program's window is shown and painted as it
// finally looks (for the launcher: in its skin), and the process's peak memory.
// Usage: bench_start LAUNCHER PLAIN_PROGRAM ENGINE_DLL RUNS
#include <windows.h>
#include <psapi.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench_common.h"
#include "launcher_process.h"

namespace {

struct ProcessHandles {
  PROCESS_INFORMATION info{};
  ~ProcessHandles() {
    if (info.hThread) CloseHandle(info.hThread);
    if (info.hProcess) CloseHandle(info.hProcess);
  }
};

std::vector<COLORREF> CaptionOf(HWND window) {
  RECT frame;
  if (!GetWindowRect(window, &frame)) return {};
  return bench::CaptionProbe::Read(frame);
}

struct StartResult {
  bool ok = false;
  double ms = 0;
  std::vector<COLORREF> caption;  // as last seen
  SIZE_T peak_working_set = 0;
  SIZE_T peak_pagefile = 0;
};

constexpr DWORD kStartTimeoutMs = 120000;

// Starts `exe`, waits until its window is shown and `painted` holds for its
// caption colours, reads its peak memory and closes it.
template <class Painted>
StartResult MeasureStart(const std::wstring& exe, Painted painted) {
  StartResult result;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  ProcessHandles process;
  std::wstring command = L"\"" + exe + L"\"";
  const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
  const double start = bench::NowMs();
  if (!CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                      &process.info)) {
    fprintf(stderr, "cannot start %ls: %lu\n", exe.c_str(), GetLastError());
    return result;
  }
  HWND window = nullptr;
  while (bench::NowMs() - start < kStartTimeoutMs) {
    if (!window) window = e2e::FindLauncherWindow(process.info.dwProcessId);
    if (window) {
      result.caption = CaptionOf(window);
      if (painted(result.caption)) {
        result.ms = bench::NowMs() - start;
        result.ok = true;
        break;
      }
    }
    if (WaitForSingleObject(process.info.hProcess, 1) == WAIT_OBJECT_0) break;
  }
  if (result.ok) {
    WaitForInputIdle(process.info.hProcess, 10000);
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(process.info.hProcess, &counters, sizeof counters)) {
      result.peak_working_set = counters.PeakWorkingSetSize;
      result.peak_pagefile = counters.PeakPagefileUsage;
    }
  } else {
    fprintf(stderr, "%ls: no painted window within %lu ms\n", exe.c_str(), kStartTimeoutMs);
  }
  if (window) PostMessageW(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.info.hProcess, 30000) != WAIT_OBJECT_0) {
    TerminateProcess(process.info.hProcess, 99);
    WaitForSingleObject(process.info.hProcess, 10000);
  }
  return result;
}

// Waits until the window's caption has stopped changing: what it looks like
// once started. Only for learning the colours the timed runs wait for.
StartResult Calibrate(const std::wstring& exe, const std::vector<COLORREF>& background) {
  std::vector<COLORREF> last;
  int same = 0;
  double last_change = 0;
  return MeasureStart(exe, [&](const std::vector<COLORREF>& now) {
    if (now.empty() || now == background) return false;
    if (now != last) {
      last = now;
      same = 0;
      last_change = bench::NowMs();
      return false;
    }
    // Unchanged over many polls and for a good while: settled.
    return ++same >= 50 && bench::NowMs() - last_change > 3000;
  });
}

// Milliseconds to write `bytes` as a new file at `path`, as a first start
// writes the library: the part of a first start that a later one skips.
double TimeFileWrite(const std::wstring& path, const std::vector<unsigned char>& bytes) {
  const double start = bench::NowMs();
  const bool ok = e2e::WriteFileBytes(path, bytes);
  const double ms = bench::NowMs() - start;
  DeleteFileW(path.c_str());
  return ok ? ms : -1;
}

// Milliseconds to load the library from `path` for the first time in this
// process (and let it go again); -1 when it does not load.
double TimeLibraryLoad(const std::wstring& path) {
  const double start = bench::NowMs();
  HMODULE library = LoadLibraryW(path.c_str());
  const double ms = bench::NowMs() - start;
  if (!library) return -1;
  FreeLibrary(library);
  return ms;
}

// Load times of the library, each copy loaded once: copies written just
// before they are loaded, as a first start loads the library it has just
// written, and copies written before all of them, as a later start finds it.
void TimeLibraryLoads(const std::wstring& stem, const std::vector<unsigned char>& bytes, int runs,
                      std::vector<double>& just_written, std::vector<double>& written_before) {
  auto copy = [&](const wchar_t* kind, int run) { return stem + kind + std::to_wstring(run) + L".dll"; };
  for (int run = 0; run < runs; ++run) e2e::WriteFileBytes(copy(L".before", run), bytes);
  for (int run = 0; run < runs; ++run) {
    const std::wstring fresh = copy(L".fresh", run), before = copy(L".before", run);
    const double fresh_ms = e2e::WriteFileBytes(fresh, bytes) ? TimeLibraryLoad(fresh) : -1;
    const double before_ms = TimeLibraryLoad(before);
    if (fresh_ms >= 0 && before_ms >= 0) {
      just_written.push_back(fresh_ms);
      written_before.push_back(before_ms);
    }
    DeleteFileW(fresh.c_str());
    DeleteFileW(before.c_str());
  }
}

struct Series {
  std::vector<double> ms, working_set_kb, pagefile_kb;
  int failed = 0;
  void Add(const StartResult& result) {
    if (!result.ok) {
      ++failed;
      return;
    }
    ms.push_back(result.ms);
    working_set_kb.push_back(result.peak_working_set / 1024.0);
    pagefile_kb.push_back(result.peak_pagefile / 1024.0);
  }
};

void PrintRow(const char* what, const char* a_name, double a, const char* b_name, double b, const char* figure,
              const char* target) {
  printf("%-34s %-9s %10.1f  %-9s %10.1f  %-12s %s\n", what, a_name, a, b_name, b, figure, target);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    fprintf(stderr, "usage: bench_start LAUNCHER PLAIN_PROGRAM ENGINE_DLL RUNS\n");
    return 2;
  }
  const int runs = atoi(argv[4]);
  const std::wstring install = L"C:\\bench";
  CreateDirectoryW(install.c_str(), nullptr);
  const std::wstring launcher = install + L"\\Zanvo3GP.exe";
  const std::wstring plain = install + L"\\plain_window.exe";
  if (!CopyFileW(bench::WidePath(argv[1]).c_str(), launcher.c_str(), FALSE) ||
      !CopyFileW(bench::WidePath(argv[2]).c_str(), plain.c_str(), FALSE)) {
    fprintf(stderr, "cannot copy the programs to %ls\n", install.c_str());
    return 1;
  }
  const std::wstring library = e2e::LibraryFolder() + L"SkinH_EL.dll";

  RECT frame{50, 50, 560, 362};
  const std::vector<COLORREF> background = bench::CaptionProbe::Read(frame);
  const StartResult plain_look = Calibrate(plain, background);
  const StartResult skinned_look = Calibrate(launcher, background);
  if (!plain_look.ok || !skinned_look.ok) return 1;
  const bool skin_visible = skinned_look.caption != plain_look.caption;
  printf("caption colour: plain %06lx, launcher %06lx (%s)\n", plain_look.caption[0], skinned_look.caption[0],
         skin_visible ? "skinned" : "NOT skinned: same as the plain window");

  auto looks = [](const std::vector<COLORREF>& wanted) {
    return [wanted](const std::vector<COLORREF>& now) { return now == wanted; };
  };
  // The three starts of a round follow each other closely; the figures are
  // medians of each round's own ratio and difference, which the machine's
  // slower and faster spells over the whole run affect far less.
  Series plain_runs, later_runs, first_runs;
  std::vector<double> round_ratios, round_differences;
  for (int run = 0; run < runs; ++run) {
    const StartResult plain_start = MeasureStart(plain, looks(plain_look.caption));
    const StartResult later_start = MeasureStart(launcher, looks(skinned_look.caption));
    SetFileAttributesW(library.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileW(library.c_str())) fprintf(stderr, "cannot remove %ls: %lu\n", library.c_str(), GetLastError());
    const StartResult first_start = MeasureStart(launcher, looks(skinned_look.caption));
    plain_runs.Add(plain_start);
    later_runs.Add(later_start);
    first_runs.Add(first_start);
    if (plain_start.ok && later_start.ok) round_ratios.push_back(later_start.ms / plain_start.ms);
    if (later_start.ok && first_start.ok) round_differences.push_back(first_start.ms - later_start.ms);
    fprintf(stderr, "round %d: plain %.1f, later %.1f, first %.1f ms\n", run + 1, plain_start.ms, later_start.ms,
            first_start.ms);
  }
  if (plain_runs.failed || later_runs.failed || first_runs.failed)
    printf("failed runs: plain %d, later %d, first %d\n", plain_runs.failed, later_runs.failed, first_runs.failed);

  const std::vector<unsigned char> engine_bytes = e2e::ReadFileBytes(bench::WidePath(argv[3]));
  std::vector<double> write_ms, fresh_load_ms, before_load_ms;
  for (int run = 0; run < runs && !engine_bytes.empty(); ++run) {
    const double ms = TimeFileWrite(library + L".bench", engine_bytes);
    if (ms >= 0) write_ms.push_back(ms);
  }
  if (!engine_bytes.empty()) TimeLibraryLoads(library + L".bench", engine_bytes, runs, fresh_load_ms, before_load_ms);
  char figure[64];
  printf("%-34s %-9s %10s  %-9s %10s  %-12s %s\n", "measure (median)", "", "", "", "", "figure", "target");
  printf("%-34s (figures: medians of each round's ratio or difference)\n", "");
  const double launcher_ms = bench::Median(later_runs.ms), plain_ms = bench::Median(plain_runs.ms);
  snprintf(figure, sizeof figure, "x%.3f", bench::Median(round_ratios));
  PrintRow("start to painted window, ms", "launcher", launcher_ms, "plain", plain_ms, figure, "<= x1.15");
  const double first_ms = bench::Median(first_runs.ms);
  snprintf(figure, sizeof figure, "%+.1f ms", bench::Median(round_differences));
  PrintRow("first start vs later start, ms", "first", first_ms, "later", launcher_ms, figure, "<= +5 ms");
  printf("%-34s %-9s %+10.1f  %-9s %+10.1f  (the middle half of the rounds)\n", "  spread of the difference, ms",
         "from", bench::Quantile(round_differences, 0.25), "to", bench::Quantile(round_differences, 0.75));
  printf("%-34s %-9s %10.2f  (%zu bytes, as a first start writes it)\n", "  of it: writing the library, ms", "",
         bench::Median(write_ms), engine_bytes.size());
  PrintRow("  loading the library, ms", "new", bench::Median(fresh_load_ms), "was there", bench::Median(before_load_ms),
           "", "");
  const double launcher_ws = bench::Median(later_runs.working_set_kb), plain_ws = bench::Median(plain_runs.working_set_kb);
  snprintf(figure, sizeof figure, "x%.3f", launcher_ws / plain_ws);
  PrintRow("peak working set, KB", "launcher", launcher_ws, "plain", plain_ws, figure, "-");
  const double launcher_pf = bench::Median(later_runs.pagefile_kb), plain_pf = bench::Median(plain_runs.pagefile_kb);
  snprintf(figure, sizeof figure, "x%.3f", launcher_pf / plain_pf);
  PrintRow("peak pagefile usage, KB", "launcher", launcher_pf, "plain", plain_pf, figure, "-");
  printf("runs: %d each (plain %zu, later %zu, first %zu measured)\n", runs, plain_runs.ms.size(),
         later_runs.ms.size(), first_runs.ms.size());
  return 0;
}
