#include "button_skin.h"

#include "subclass.h"

#include "pixel_buffer.h"
#include "skinfile/paint.h"

namespace skinengine {
namespace {

constexpr UINT_PTR kButtonSubclassId = 0x534B4254;  // "SKBT"

struct ButtonState {
  explicit ButtonState(SkinResources* s) : skin(s) {}
  SkinResources* skin;
  bool hot = false;  // the pointer is over the button
  bool trackingLeave = false;
};

LRESULT CALLBACK ButtonSubclassProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR id, DWORD_PTR data);

skinfile::ButtonLook LookOf(HWND button, const ButtonState& state) {
  const LRESULT buttonState = SendMessageW(button, BM_GETSTATE, 0, 0);
  skinfile::ButtonLook look = {skinfile::ButtonFace::kNormal, GetFocus() == button};
  if (!IsWindowEnabled(button))
    look.face = skinfile::ButtonFace::kDisabled;
  else if (buttonState & BST_PUSHED)
    look.face = skinfile::ButtonFace::kPressed;
  else if (state.hot)
    look.face = skinfile::ButtonFace::kHot;
  return look;
}

void PaintButtonOn(HWND button, const ButtonState& state, HDC target) {
  RECT client;
  GetClientRect(button, &client);
  POINT origin = {0, 0};
  MapWindowPoints(button, GetParent(button), &origin, 1);
  const skinfile::Skin& skin = state.skin->skin();
  const skinfile::ButtonLook look = LookOf(button, state);
  PixelBuffer buffer(target, 0, 0, client.right, client.bottom);
  if (!buffer.valid()) return;
  skinfile::Canvas canvas = buffer.canvas();
  skinfile::PaintButton(skin, look, client.right, client.bottom, origin.x, origin.y, canvas);

  wchar_t text[256];
  const int length = GetWindowTextW(button, text, 256);
  if (length > 0) {
    Selection font(buffer.dc(), state.skin->buttonFont());
    SetBkMode(buffer.dc(), TRANSPARENT);
    SetTextColor(buffer.dc(), ToColorRef(skinfile::ButtonTextColor(skin, look.face)));
    const int inset = skinfile::FocusRingInset(skin) + 1;
    const int shift = look.face == skinfile::ButtonFace::kPressed ? 1 : 0;
    RECT r = {inset + shift, inset + shift, client.right - inset + shift,
              client.bottom - inset + shift};
    UINT format = DT_CENTER;
    if (GetWindowLongW(button, GWL_STYLE) & BS_MULTILINE) {
      // Centre the wrapped lines vertically by hand.
      RECT measured = r;
      DrawTextW(buffer.dc(), text, length, &measured, format | DT_WORDBREAK | DT_CALCRECT);
      const int free = (r.bottom - r.top) - (measured.bottom - measured.top);
      if (free > 0) r.top += free / 2;
      format |= DT_WORDBREAK;
    } else {
      format |= DT_VCENTER | DT_SINGLELINE;
    }
    DrawTextW(buffer.dc(), text, length, &r, format);
  }
  buffer.CopyTo(target);
}

// Draws the button at once, from whichever state it has now.
void RepaintNow(HWND button) {
  DWORD_PTR data = 0;
  if (!GetWindowSubclass(button, ButtonSubclassProc, kButtonSubclassId, &data)) return;
  if (!IsWindowVisible(button)) return;
  WindowDc dc(button, GetDC(button));
  if (dc.get()) PaintButtonOn(button, *reinterpret_cast<ButtonState*>(data), dc.get());
}

LRESULT CALLBACK ButtonSubclassProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR, DWORD_PTR data) {
  ButtonState& state = *reinterpret_cast<ButtonState*>(data);
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC dc = BeginPaint(button, &paint);
      if (dc) PaintButtonOn(button, state, dc);
      EndPaint(button, &paint);
      return 0;
    }
    case WM_PRINTCLIENT:
      PaintButtonOn(button, state, reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEMOVE:
      if (!state.hot) {
        state.hot = true;
        if (!state.trackingLeave) {
          TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, button, 0};
          state.trackingLeave = TrackMouseEvent(&track) != FALSE;
        }
        RepaintNow(button);
      }
      break;
    case WM_MOUSELEAVE:
      state.trackingLeave = false;
      state.hot = false;
      RepaintNow(button);
      break;
    // The button's own handling of these draws the system face directly;
    // draw ours over it once it is done (it may also destroy the button).
    case BM_SETSTATE:
    case BM_SETSTYLE:
    case BM_SETCHECK:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SETTEXT:
    case WM_SETFONT:
    case WM_UPDATEUISTATE:
    case WM_CAPTURECHANGED:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_KEYDOWN:
    case WM_KEYUP: {
      const LRESULT result = DefSubclassProc(button, message, wParam, lParam);
      RepaintNow(button);
      return result;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(button, ButtonSubclassProc, kButtonSubclassId);
      state.skin->Release();
      HeapDelete(&state);
      return DefSubclassProc(button, message, wParam, lParam);
    default:
      break;
  }
  return DefSubclassProc(button, message, wParam, lParam);
}

}  // namespace

bool IsSkinnableButton(HWND child) {
  wchar_t name[16];
  if (!GetClassNameW(child, name, 16) || lstrcmpiW(name, L"Button") != 0) return false;
  const LONG style = GetWindowLongW(child, GWL_STYLE);
  const LONG type = style & BS_TYPEMASK;
  return (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) && !(style & (BS_BITMAP | BS_ICON));
}

bool SkinButton(HWND button, SkinResources* skin) {
  DWORD_PTR data = 0;
  if (GetWindowSubclass(button, ButtonSubclassProc, kButtonSubclassId, &data)) {
    ButtonState& state = *reinterpret_cast<ButtonState*>(data);
    skin->AddRef();
    state.skin->Release();
    state.skin = skin;
    return true;
  }
  ButtonState* state = HeapNew<ButtonState>(skin);
  if (!state) return false;
  skin->AddRef();
  if (!SetWindowSubclass(button, ButtonSubclassProc, kButtonSubclassId,
                         reinterpret_cast<DWORD_PTR>(state))) {
    skin->Release();
    HeapDelete(state);
    return false;
  }
  return true;
}

}  // namespace skinengine
