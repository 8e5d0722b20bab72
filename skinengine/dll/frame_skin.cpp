#include "frame_skin.h"

#include "subclass.h"
#include <windowsx.h>

#include "pixel_buffer.h"
#include "skinfile/frame.h"
#include "skinfile/paint.h"

namespace skinengine {
namespace {

constexpr UINT_PTR kFrameSubclassId = 0x534B4652;  // "SKFR"

struct FrameState {
  explicit FrameState(SkinResources* s) : skin(s) {}
  SkinResources* skin;
  bool active = false;
  int hot = skinfile::kNoButton;      // caption button under the pointer
  int pressed = skinfile::kNoButton;  // caption button held down
  bool pressedInside = false;         // ... with the pointer still over it
  bool trackingLeave = false;
};

LRESULT CALLBACK FrameSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR id, DWORD_PTR data);

unsigned CaptionButtonsOf(HWND window) {
  const LONG style = GetWindowLongW(window, GWL_STYLE);
  const LONG exStyle = GetWindowLongW(window, GWL_EXSTYLE);
  if (!(style & WS_SYSMENU)) return 0;
  unsigned buttons = skinfile::kHasClose;
  if (exStyle & WS_EX_TOOLWINDOW) return buttons;
  if (style & WS_MAXIMIZEBOX) buttons |= skinfile::kHasMaximize;
  if (style & WS_MINIMIZEBOX) buttons |= skinfile::kHasMinimize;
  return buttons;
}

HICON SmallIconOf(HWND window) {
  if (GetWindowLongW(window, GWL_EXSTYLE) & (WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME))
    return nullptr;
  HICON icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
  if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICONSM));
  return icon;
}

RECT WindowRectOf(HWND window) {
  RECT r = {};
  GetWindowRect(window, &r);
  return r;
}

skinfile::FrameLayout LayoutOf(HWND window, const FrameState& state, HICON icon) {
  const RECT r = WindowRectOf(window);
  return skinfile::LayOutFrame(state.skin->skin().metrics, r.right - r.left, r.bottom - r.top,
                               CaptionButtonsOf(window), icon != nullptr);
}

// Draws the whole non-client area: four strips around the client, each
// painted off-screen and copied in one go.
void PaintFrameNow(HWND window, const FrameState& state) {
  if (IsIconic(window) || !IsWindowVisible(window)) return;
  const HICON icon = SmallIconOf(window);
  const skinfile::FrameLayout layout = LayoutOf(window, state, icon);
  const skinfile::Skin& skin = state.skin->skin();
  const skinfile::FrameLook look = {
      state.active, state.hot,
      state.pressedInside ? state.pressed : skinfile::kNoButton, IsZoomed(window) != FALSE};
  WindowDc dc(window, GetWindowDC(window));
  if (!dc.get()) return;
  const skinfile::Rect& c = layout.client;
  const skinfile::Rect strips[4] = {{0, 0, layout.width, c.top},
                                    {0, c.top, c.left, c.bottom},
                                    {c.right, c.top, layout.width, c.bottom},
                                    {0, c.bottom, layout.width, layout.height}};
  for (int i = 0; i < 4; ++i) {
    const skinfile::Rect& s = strips[i];
    PixelBuffer buffer(dc.get(), s.left, s.top, s.Width(), s.Height());
    if (!buffer.valid()) continue;
    skinfile::Canvas canvas = buffer.canvas();
    skinfile::PaintFrame(skin, layout, look, canvas);
    if (i == 0) {
      if (icon)
        DrawIconEx(buffer.dc(), layout.icon.left, layout.icon.top, icon, layout.icon.Width(),
                   layout.icon.Height(), 0, nullptr, DI_NORMAL);
      wchar_t title[256];
      const int length = GetWindowTextW(window, title, 256);
      if (length > 0 && !layout.title.Empty()) {
        Selection font(buffer.dc(), state.skin->captionFont());
        SetBkMode(buffer.dc(), TRANSPARENT);
        SetTextColor(buffer.dc(),
                     ToColorRef(skin.colors[state.active ? skinfile::kCaptionTextActive
                                                         : skinfile::kCaptionTextInactive]));
        RECT text = {layout.title.left, layout.title.top, layout.title.right,
                     layout.title.bottom};
        const UINT align =
            skin.metrics.captionTextAlign == static_cast<std::uint8_t>(skinfile::TextAlign::kCenter)
                ? DT_CENTER
                : DT_LEFT;
        DrawTextW(buffer.dc(), title, length, &text,
                  align | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
      }
    }
    buffer.CopyTo(dc.get());
  }
}

LRESULT HitTestCode(skinfile::FramePart part) {
  switch (part) {
    case skinfile::FramePart::kCaption: return HTCAPTION;
    case skinfile::FramePart::kClose: return HTCLOSE;
    case skinfile::FramePart::kMaximize: return HTMAXBUTTON;
    case skinfile::FramePart::kMinimize: return HTMINBUTTON;
    case skinfile::FramePart::kLeft: return HTLEFT;
    case skinfile::FramePart::kRight: return HTRIGHT;
    case skinfile::FramePart::kTop: return HTTOP;
    case skinfile::FramePart::kBottom: return HTBOTTOM;
    case skinfile::FramePart::kTopLeft: return HTTOPLEFT;
    case skinfile::FramePart::kTopRight: return HTTOPRIGHT;
    case skinfile::FramePart::kBottomLeft: return HTBOTTOMLEFT;
    case skinfile::FramePart::kBottomRight: return HTBOTTOMRIGHT;
    case skinfile::FramePart::kBorder: return HTBORDER;
    case skinfile::FramePart::kClient: return HTCLIENT;
    case skinfile::FramePart::kOutside: break;
  }
  return HTNOWHERE;
}

int ButtonOfHitTest(WPARAM code) {
  switch (code) {
    case HTCLOSE: return skinfile::kCloseButton;
    case HTMAXBUTTON: return skinfile::kMaximizeButton;
    case HTMINBUTTON: return skinfile::kMinimizeButton;
    default: return skinfile::kNoButton;
  }
}

// The point of a client-coordinate mouse message, in window coordinates.
POINT WindowPointOf(HWND window, LPARAM lParam) {
  POINT p = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ClientToScreen(window, &p);
  const RECT r = WindowRectOf(window);
  p.x -= r.left;
  p.y -= r.top;
  return p;
}

bool IsFrameOrButtonChild(HWND window, HWND child) {
  if (!child || GetParent(child) != window) return false;
  wchar_t name[16];
  if (!GetClassNameW(child, name, 16)) return false;
  return lstrcmpiW(name, L"Static") == 0 || lstrcmpiW(name, L"Button") == 0;
}

LRESULT OnCtlColor(HWND window, const FrameState& state, HDC dc, HWND child) {
  const skinfile::Skin& skin = state.skin->skin();
  SetTextColor(dc, ToColorRef(skin.colors[skinfile::kControlText]));
  SetBkColor(dc, ToColorRef(skin.colors[skinfile::kClientBackground]));
  SetBkMode(dc, TRANSPARENT);
  // The pattern continues the parent's background under the child.
  POINT origin = {0, 0};
  if (child != window) MapWindowPoints(child, window, &origin, 1);
  SetBrushOrgEx(dc, -origin.x, -origin.y, nullptr);
  return reinterpret_cast<LRESULT>(state.skin->background());
}

void EndPress(HWND window, FrameState& state) {
  state.pressed = skinfile::kNoButton;
  state.pressedInside = false;
  PaintFrameNow(window, state);
}

LRESULT CALLBACK FrameSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR, DWORD_PTR data) {
  FrameState& state = *reinterpret_cast<FrameState*>(data);
  // A minimised window keeps the system's own small caption.
  const bool iconic = IsIconic(window) != FALSE;
  switch (message) {
    case WM_NCCALCSIZE: {
      if (iconic) break;
      RECT* r = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                       : reinterpret_cast<RECT*>(lParam);
      const skinfile::FrameInsets in = skinfile::InsetsOf(state.skin->skin().metrics);
      r->left += in.left;
      r->top += in.top;
      r->right -= in.right;
      r->bottom -= in.bottom;
      if (r->right < r->left) r->right = r->left;
      if (r->bottom < r->top) r->bottom = r->top;
      return 0;
    }
    case WM_NCPAINT:
      if (iconic) break;
      PaintFrameNow(window, state);
      return 0;
    case WM_NCACTIVATE: {
      if (iconic) break;
      state.active = wParam != FALSE;
      // -1: the default handling keeps its state but draws nothing.
      const LRESULT result = DefSubclassProc(window, message, wParam, -1);
      PaintFrameNow(window, state);
      return result;
    }
    case WM_SETTEXT:
    case WM_SETICON:
    case WM_STYLECHANGED: {
      // The default handling draws the system caption; draw ours over it.
      const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
      PaintFrameNow(window, state);
      return result;
    }
    case WM_WINDOWPOSCHANGED: {
      const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
      // Gradients and buttons depend on the width: redraw all of the frame.
      if (!(reinterpret_cast<WINDOWPOS*>(lParam)->flags & SWP_NOSIZE))
        RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
      return result;
    }
    case WM_NCHITTEST: {
      if (iconic) break;
      const RECT r = WindowRectOf(window);
      const skinfile::FrameLayout layout = LayoutOf(window, state, SmallIconOf(window));
      const bool resizable =
          (GetWindowLongW(window, GWL_STYLE) & WS_THICKFRAME) && !IsZoomed(window);
      const skinfile::FramePart part = skinfile::HitTest(
          layout, GET_X_LPARAM(lParam) - r.left, GET_Y_LPARAM(lParam) - r.top, resizable);
      if (part == skinfile::FramePart::kClient) break;  // the window's own answer
      return HitTestCode(part);
    }
    case WM_NCMOUSEMOVE: {
      const int hot = ButtonOfHitTest(wParam);
      if (hot != state.hot) {
        state.hot = hot;
        PaintFrameNow(window, state);
      }
      if (hot != skinfile::kNoButton && !state.trackingLeave) {
        TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE | TME_NONCLIENT, window, 0};
        state.trackingLeave = TrackMouseEvent(&track) != FALSE;
      }
      break;
    }
    case WM_NCMOUSELEAVE:
      state.trackingLeave = false;
      if (state.hot != skinfile::kNoButton) {
        state.hot = skinfile::kNoButton;
        PaintFrameNow(window, state);
      }
      break;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: {
      const int button = ButtonOfHitTest(wParam);
      if (iconic || button == skinfile::kNoButton) break;
      state.pressed = button;
      state.pressedInside = true;
      SetCapture(window);
      PaintFrameNow(window, state);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (state.pressed != skinfile::kNoButton) {
        const POINT p = WindowPointOf(window, lParam);
        const skinfile::FrameLayout layout = LayoutOf(window, state, SmallIconOf(window));
        const bool inside = layout.buttons[state.pressed].Contains(p.x, p.y);
        if (inside != state.pressedInside) {
          state.pressedInside = inside;
          state.hot = inside ? state.pressed : skinfile::kNoButton;
          PaintFrameNow(window, state);
        }
        return 0;
      }
      if (state.hot != skinfile::kNoButton) {
        state.hot = skinfile::kNoButton;
        PaintFrameNow(window, state);
      }
      break;
    case WM_LBUTTONUP:
      if (state.pressed != skinfile::kNoButton) {
        const int button = state.pressed;
        const bool inside = state.pressedInside;
        state.pressed = skinfile::kNoButton;
        ReleaseCapture();
        EndPress(window, state);
        if (inside) {
          POINT screen = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
          ClientToScreen(window, &screen);
          WPARAM command = SC_CLOSE;
          if (button == skinfile::kMinimizeButton) command = SC_MINIMIZE;
          if (button == skinfile::kMaximizeButton) command = IsZoomed(window) ? SC_RESTORE : SC_MAXIMIZE;
          // May destroy the window (and this state): nothing after it.
          SendMessageW(window, WM_SYSCOMMAND, command, MAKELPARAM(screen.x, screen.y));
        }
        return 0;
      }
      break;
    case WM_CAPTURECHANGED:
      if (state.pressed != skinfile::kNoButton) EndPress(window, state);
      break;
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(window, &client);
      const HDC dc = reinterpret_cast<HDC>(wParam);
      SetBrushOrgEx(dc, 0, 0, nullptr);
      FillRect(dc, &client, state.skin->background());
      return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      const HWND child = reinterpret_cast<HWND>(lParam);
      if (!IsFrameOrButtonChild(window, child)) break;
      return OnCtlColor(window, state, reinterpret_cast<HDC>(wParam), child);
    }
    case WM_CTLCOLORDLG:
      return OnCtlColor(window, state, reinterpret_cast<HDC>(wParam), window);
    case WM_NCDESTROY: {
      RemoveWindowSubclass(window, FrameSubclassProc, kFrameSubclassId);
      state.skin->Release();
      HeapDelete(&state);
      return DefSubclassProc(window, message, wParam, lParam);
    }
    default:
      break;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

bool IsSkinnableFrame(HWND window) {
  return (GetWindowLongW(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION &&
         !(GetWindowLongW(window, GWL_STYLE) & WS_CHILD);
}

bool SkinFrame(HWND window, SkinResources* skin) {
  DWORD_PTR data = 0;
  if (GetWindowSubclass(window, FrameSubclassProc, kFrameSubclassId, &data)) {
    FrameState& state = *reinterpret_cast<FrameState*>(data);
    skin->AddRef();
    state.skin->Release();
    state.skin = skin;
    return true;
  }
  FrameState* state = HeapNew<FrameState>(skin);
  if (!state) return false;
  state->active = GetActiveWindow() == window;
  skin->AddRef();
  if (!SetWindowSubclass(window, FrameSubclassProc, kFrameSubclassId,
                         reinterpret_cast<DWORD_PTR>(state))) {
    skin->Release();
    HeapDelete(state);
    return false;
  }
  return true;
}

void RefreshFrame(HWND window) {
  DWORD_PTR data = 0;
  if (!GetWindowSubclass(window, FrameSubclassProc, kFrameSubclassId, &data)) return;
  const FrameState& state = *reinterpret_cast<FrameState*>(data);
  RECT client = {};
  GetClientRect(window, &client);
  UINT flags = SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
  if (IsIconic(window) || IsZoomed(window)) flags |= SWP_NOSIZE;
  // The client keeps its size, so that the window's own layout still fits.
  const skinfile::FrameInsets in = skinfile::InsetsOf(state.skin->skin().metrics);
  SetWindowPos(window, nullptr, 0, 0, client.right + in.left + in.right,
               client.bottom + in.top + in.bottom, flags);
  RedrawWindow(window, nullptr, nullptr,
               RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

}  // namespace skinengine
