#include "main_window.h"

namespace launcher {

runtime::WindowDescription MainWindow() {
  using namespace runtime;
  return WindowDescription{{
      {kWindowKind, "", 50, 50, 510, 312,
       {{kCreatedEvent, OnMainWindowCreated}},
       // "Zanvo3GP手机视频格式转换器"
       WindowProperties{"Zanvo3GP\xca\xd6\xbb\xfa\xca\xd3\xc6\xb5\xb8\xf1\xca\xbd\xd7\xaa\xbb\xbb\xc6\xf7",
                        ProgramIcon}},
      // "超文本浏览框1"
      {kWebViewKind, "\xb3\xac\xce\xc4\xb1\xbe\xe4\xaf\xc0\xc0\xbf\xf2" "1", -8, -12, 520, 266,
       {},
       WebViewProperties{kPageAddress}},
      // "运行Zanvo3GP手机视频格式转换器", as name and as caption
      {kButtonKind, "\xd4\xcb\xd0\xd0Zanvo3GP\xca\xd6\xbb\xfa\xca\xd3\xc6\xb5\xb8\xf1\xca\xbd\xd7\xaa\xbb\xbb\xc6\xf7",
       159, 255, 200, 23,
       {{kClickedEvent, OnRunButtonClicked}},
       ButtonProperties{"\xd4\xcb\xd0\xd0Zanvo3GP\xca\xd6\xbb\xfa\xca\xd3\xc6\xb5\xb8\xf1\xca\xbd\xd7\xaa\xbb\xbb\xc6\xf7"}},
  }};
}

}  // namespace launcher
