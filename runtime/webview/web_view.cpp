#include "web_view.h"

#include <exdisp.h>
#include <ole2.h>

#include <utility>

#include "../core/layer.h"
#include "../core/win.h"
#include "address.h"

namespace runtime {
namespace {
using win::ComPtr;

constexpr wchar_t kHostClass[] = L"Zanvo3GP.WebView";
// Posted to the host window when it is made: the browser is made and sent to
// its page from the message loop.
constexpr UINT kOpenMessage = WM_APP + 1;

// The BSTR functions, from oleaut32, which is loaded when the first browser
// is made rather than at the program's start, whose time it would add to.
struct BStringFunctions {
  using Allocate = BSTR(WINAPI*)(const OLECHAR*, UINT);
  using Free = void(WINAPI*)(BSTR);
  Allocate allocate = nullptr;
  Free free = nullptr;
};
const BStringFunctions& BStrings() {
  static const BStringFunctions functions = [] {
    // A system library: from the system folder only (where that search is
    // known), and kept loaded.
    constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
    HMODULE module = LoadLibraryExW(L"oleaut32.dll", nullptr, kSearchSystem32);
    if (!module) module = LoadLibraryW(L"oleaut32.dll");
    BStringFunctions found;
    found.allocate = win::Lookup<BStringFunctions::Allocate>(module, "SysAllocStringLen");
    found.free = win::Lookup<BStringFunctions::Free>(module, "SysFreeString");
    if (!found.allocate || !found.free) found = BStringFunctions{};
    return found;
  }();
  return functions;
}

// A BSTR, freed at the end of its scope; null when it cannot be made.
struct BString {
  explicit BString(const std::wstring& text)
      : value(BStrings().allocate ? BStrings().allocate(text.data(), static_cast<UINT>(text.size())) : nullptr) {}
  BString(const BString&) = delete;
  BString& operator=(const BString&) = delete;
  ~BString() {
    if (value) BStrings().free(value);
  }
  BSTR value;
};

// The container side of the in-place browser: a client site, an in-place
// site and a frame without menus or borders. It lives as long as its
// Browser, which drops the browser's hold on it before it goes, so its
// reference count only has to answer.
class Site final : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame {
 public:
  explicit Site(HWND host) : host_(host) {}

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
      *object = static_cast<IOleClientSite*>(this);
    } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
      *object = static_cast<IOleInPlaceSite*>(this);
    } else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) {
      *object = static_cast<IOleInPlaceFrame*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return references_ > 1 ? --references_ : 1; }

  // IOleClientSite
  HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
    if (container) *container = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleWindow (of both the site and the frame)
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    if (!window) return E_POINTER;
    *window = host_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IOleInPlaceSite
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                             LPRECT position, LPRECT clip,
                                             LPOLEINPLACEFRAMEINFO info) override {
    if (!frame || !document || !position || !clip || !info) return E_POINTER;
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *document = nullptr;
    if (!GetClientRect(host_, position)) return E_FAIL;
    *clip = *position;
    info->fMDIApp = FALSE;
    info->hwndFrame = GetAncestor(host_, GA_ROOT);
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

  // IOleInPlaceUIWindow
  HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }

  // IOleInPlaceFrame
  HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

 private:
  HWND host_;
  ULONG references_ = 1;
};

// The browser of one host window, made from the host's open message. It
// lives as long as the host window, except that a window closed while its
// browser is being made (a message loop inside the making can do that) keeps
// it until the making has come back.
class Browser {
 public:
  Browser(HWND host, std::wstring address) : host_(host), site_(host), address_(std::move(address)) {}
  Browser(const Browser&) = delete;
  Browser& operator=(const Browser&) = delete;
  ~Browser() { Close(); }

  void Open() {
    opening_ = true;
    // Without a browser the control keeps its place, empty.
    static_cast<void>(Make());
    opening_ = false;
    if (close_wanted_) Close();
  }
  // The browser leaves while its window still exists (or once it is made).
  void Close() {
    close_wanted_ = true;
    if (opening_) return;
    browser_.Reset();
    if (object_) {
      // Explicitly ignored: the browser goes either way.
      static_cast<void>(object_->Close(OLECLOSE_NOSAVE));
      static_cast<void>(object_->SetClientSite(nullptr));
      object_.Reset();
    }
  }
  bool opening() const { return opening_; }

 private:
  // False when the browser could not be made, started or sent to the page,
  // or the window went meanwhile.
  bool Make() {
    if (object_ || close_wanted_ || !runtime::ReadyOle()) return false;
    if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                object_.ReceiveVoid())))
      return false;
    if (close_wanted_ || FAILED(object_->SetClientSite(static_cast<IOleClientSite*>(&site_)))) return false;
    RECT area;
    if (close_wanted_ || !GetClientRect(host_, &area)) return false;
    if (FAILED(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(&site_), 0,
                               host_, &area)))
      return false;
    if (close_wanted_ || FAILED(object_->QueryInterface(IID_IWebBrowser2, browser_.ReceiveVoid()))) return false;
    // Script errors of the page stay silent.
    if (FAILED(browser_->put_Silent(VARIANT_TRUE))) return false;
    if (address_.empty()) return true;  // nothing to show
    BString url(WithScheme(address_));
    if (!url.value) return false;
    VARIANT none{};  // VT_EMPTY
    return SUCCEEDED(browser_->Navigate(url.value, &none, &none, &none, &none));
  }

  HWND host_;
  Site site_;
  std::wstring address_;
  ComPtr<IOleObject> object_;
  ComPtr<IWebBrowser2> browser_;
  bool opening_ = false;
  bool close_wanted_ = false;
};

// The control as its window sees it: the host window, which owns the browser.
class HostView final : public WebView {
 public:
  explicit HostView(HWND host) : host_(host) {}
  ~HostView() override {
    if (IsWindow(host_)) static_cast<void>(DestroyWindow(host_));
  }
  HWND window() const override { return host_; }

 private:
  HWND host_;
};

LRESULT CALLBACK HostProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* browser = reinterpret_cast<Browser*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!browser) return DefWindowProcW(window, message, wparam, lparam);
  switch (message) {
    case kOpenMessage:
      browser->Open();
      // The window went meanwhile and left its browser to this handler.
      if (GetWindowLongPtrW(window, GWLP_USERDATA) != reinterpret_cast<LONG_PTR>(browser)) delete browser;
      return 0;
    case WM_DESTROY:
      browser->Close();
      break;
    case WM_NCDESTROY:
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      if (!browser->opening()) delete browser;  // else the open message's handler does
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

bool RegisterHostClass() {
  static bool registered = false;
  if (registered) return true;
  WNDCLASSEXW host_class{};
  host_class.cbSize = sizeof(host_class);
  host_class.lpfnWndProc = &HostProcedure;
  host_class.hInstance = GetModuleHandleW(nullptr);
  host_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  host_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  host_class.lpszClassName = kHostClass;
  registered = RegisterClassExW(&host_class) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  return registered;
}
}  // namespace

std::unique_ptr<WebView> WebView::Create(HWND parent, const RECT& bounds, const char* address) {
  if (!RegisterHostClass()) return nullptr;
  HWND host = CreateWindowExW(0, kHostClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, bounds.left,
                              bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!host) return nullptr;
  auto* browser = new Browser(host, win::Wide(address));
  SetWindowLongPtrW(host, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(browser));
  // Making the browser takes longer than showing the whole window, so it
  // waits for the message loop: the window has been painted by then, unless
  // a routine run at its creation runs a message loop of its own (a message
  // box) before it is shown.
  if (!PostMessageW(host, kOpenMessage, 0, 0)) browser->Open();
  return std::make_unique<HostView>(host);
}

}  // namespace runtime
