// skin_screenshot DLL SKINS_DIR OUT_DIR: shows the test window in each
// built-in skin and writes what the screen shows as OUT_DIR\<skin>.png.
#include <windows.h>

#include <cstdio>
#include <string>

#include "png_writer.h"
#include "skin_test_support.h"
#include "skinfile/frame.h"
#include "skinfile/paint.h"

using namespace skintest;

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: skin_screenshot DLL SKINS_DIR OUT_DIR\n");
    return 2;
  }
  Engine engine(argv[1]);
  if (!engine.loaded()) {
    std::fprintf(stderr, "cannot load the engine library\n");
    return 1;
  }
  int failures = 0;
  for (const wchar_t* name : kBuiltInSkins) {
    const std::wstring skinPath = std::wstring(argv[2]) + L"\\" + name + L".she";
    skinfile::Skin skin;
    if (!ReadSkinFile(skinPath, skin)) {
      std::fprintf(stderr, "cannot read %ls\n", skinPath.c_str());
      ++failures;
      continue;
    }
    TestWindow window(40, 40);
    SetFocus(window.button());
    const Engine::Result result = engine.Attach(ToCodePage936(skinPath).c_str(), nullptr);
    // Wait until the frame shows the skin's outline and background.
    const bool shown = result.returned == 1 && PumpUntil([&] {
      const Capture c = CaptureWindow(window.window());
      RECT client;
      GetClientRect(window.window(), &client);
      const skinfile::FrameInsets in = skinfile::InsetsOf(skin.metrics);
      return c.At(0, c.height() / 2) == skin.colors[skinfile::kFrameOutline] &&
             c.At(in.left + 8, in.top + client.bottom - 8) ==
                 skinfile::BackgroundAt(skin, 8, client.bottom - 8);
    });
    if (!shown) {
      std::fprintf(stderr, "%ls: the window did not show the skin\n", name);
      ++failures;
      continue;
    }
    PumpFor(200);  // let the button and label finish drawing
    const Capture c = CaptureWindow(window.window());
    const std::vector<std::uint8_t> png = EncodePng(c.pixels, c.width(), c.height());
    const std::wstring out = std::wstring(argv[3]) + L"\\" + name + L".png";
    FILE* f = _wfopen(out.c_str(), L"wb");
    if (!f || std::fwrite(png.data(), 1, png.size(), f) != png.size()) {
      std::fprintf(stderr, "cannot write %ls\n", out.c_str());
      ++failures;
    }
    if (f) std::fclose(f);
  }
  return failures == 0 ? 0 : 1;
}
