// The web view hosts the system's browser control and sends its page
// request out through the proxy of the Internet settings, here a small
// local one of the test that notes each request line.
// winsock2.h has to come before windows.h.
#include <winsock2.h>

#include <windows.h>

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/core.h"
#include "support.h"

namespace {
using runtime::ElementRecord;

// Served from the test's own thread between messages: a second thread
// blocked in a wait does not survive Wine's start of the browser under qemu.
class Proxy {
 public:
  Proxy() {
    WSADATA data;
    started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof(address);
    u_long nonblocking = 1;
    if (listener_ == INVALID_SOCKET ||
        bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) || listen(listener_, 16) ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) ||
        ioctlsocket(listener_, FIONBIO, &nonblocking)) {
      return;
    }
    port_ = ntohs(address.sin_port);
  }
  ~Proxy() {
    for (Client& client : clients_) closesocket(client.socket);
    if (listener_ != INVALID_SOCKET) closesocket(listener_);
    if (started_) WSACleanup();
  }
  int port() const { return port_; }
  const std::vector<std::string>& requests() const { return requests_; }

  // Takes new connections and notes each complete request head.
  void Poll() {
    for (SOCKET accepted; (accepted = accept(listener_, nullptr, nullptr)) != INVALID_SOCKET;) {
      u_long nonblocking = 1;
      ioctlsocket(accepted, FIONBIO, &nonblocking);
      clients_.push_back(Client{accepted, std::string()});
    }
    for (auto client = clients_.begin(); client != clients_.end();) {
      char buffer[2048];
      const int got = recv(client->socket, buffer, sizeof(buffer), 0);
      if (got > 0) client->head.append(buffer, static_cast<std::size_t>(got));
      const bool complete = client->head.find("\r\n\r\n") != std::string::npos;
      const bool gone = got == 0 || (got < 0 && WSAGetLastError() != WSAEWOULDBLOCK);
      if (!complete && !gone) {
        ++client;
        continue;
      }
      if (complete) {
        requests_.push_back(client->head.substr(0, client->head.find("\r\n")));
        const char answer[] = "HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
        send(client->socket, answer, sizeof(answer) - 1, 0);
      }
      closesocket(client->socket);
      client = clients_.erase(client);
    }
  }

 private:
  struct Client {
    SOCKET socket;
    std::string head;
  };
  bool started_ = false;
  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
  std::vector<Client> clients_;
  std::vector<std::string> requests_;
};

// Points the user's Internet settings at the proxy and puts back what was
// there before.
class ProxySetting {
 public:
  explicit ProxySetting(int port) {
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key_,
                        nullptr) != ERROR_SUCCESS) {
      key_ = nullptr;
      return;
    }
    Save(L"ProxyEnable", enable_);
    Save(L"ProxyServer", server_);
    Save(L"ProxyOverride", override_);
    const DWORD one = 1;
    const std::wstring server = L"127.0.0.1:" + std::to_wstring(port);
    ok_ = RegSetValueExW(key_, L"ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one),
                         sizeof(one)) == ERROR_SUCCESS &&
          RegSetValueExW(key_, L"ProxyServer", 0, REG_SZ, reinterpret_cast<const BYTE*>(server.c_str()),
                         static_cast<DWORD>((server.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    RegDeleteValueW(key_, L"ProxyOverride");
  }
  ~ProxySetting() {
    if (!key_) return;
    Restore(L"ProxyEnable", enable_);
    Restore(L"ProxyServer", server_);
    Restore(L"ProxyOverride", override_);
    RegCloseKey(key_);
  }
  bool ok() const { return ok_; }

 private:
  struct Value {
    bool present = false;
    DWORD type = 0;
    std::vector<BYTE> data;
  };
  void Save(const wchar_t* name, Value& value) {
    DWORD size = 0;
    if (RegQueryValueExW(key_, name, nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) return;
    value.data.resize(size);
    value.present =
        RegQueryValueExW(key_, name, nullptr, &value.type, value.data.data(), &size) == ERROR_SUCCESS;
  }
  void Restore(const wchar_t* name, const Value& value) {
    if (value.present) {
      RegSetValueExW(key_, name, 0, value.type, value.data.data(), static_cast<DWORD>(value.data.size()));
    } else {
      RegDeleteValueW(key_, name);
    }
  }
  static constexpr wchar_t kKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
  HKEY key_ = nullptr;
  bool ok_ = false;
  Value enable_, server_, override_;
};

struct Search {
  const wchar_t* name;
  HWND found;
};

BOOL CALLBACK MatchClass(HWND child, LPARAM lparam) {
  auto& search = *reinterpret_cast<Search*>(lparam);
  if (test::ClassName(child) != search.name) return TRUE;
  search.found = child;
  return FALSE;
}

HWND FindDescendant(HWND parent, const wchar_t* class_name) {
  Search search{class_name, nullptr};
  EnumChildWindows(parent, &MatchClass, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The threads of this process other than the calling one.
int OtherThreads() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  int count = 0;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID == GetCurrentProcessId() && entry.th32ThreadID != GetCurrentThreadId()) {
      ++count;
    }
  }
  CloseHandle(snapshot);
  return count;
}

// Loads a window with a web view of `address` and waits until the proxy has
// seen a request line that begins with `request`.
void ExpectRequestThroughTheProxy(const char* address, const std::string& request) {
  Proxy proxy;
  ASSERT_NE(proxy.port(), 0);
  ProxySetting setting(proxy.port());
  ASSERT_TRUE(setting.ok());

  runtime::WindowDescription description;
  description.elements = {
      ElementRecord{
          runtime::kWindowKind, "", 50, 50, 510, 312, {}, runtime::WindowProperties{"web", {nullptr, 0}}},
      ElementRecord{runtime::kWebViewKind, "web", -8, -12, 520, 266, {}, runtime::WebViewProperties{address}},
  };
  ASSERT_NE(core::LoadWindow(description), 0);
  HWND window = test::FindOwnWindow(L"Zanvo3GP.Window", L"web");
  ASSERT_NE(window, nullptr);
  HWND host = FindDescendant(window, L"Zanvo3GP.WebView");
  ASSERT_NE(host, nullptr);
  // The browser comes in once the message loop runs.
  EXPECT_TRUE(test::PumpUntil([&] { return FindDescendant(host, L"Shell Embedding") != nullptr; }, 60))
      << "no browser in the host";

  auto seen = [&] {
    proxy.Poll();
    for (const std::string& line : proxy.requests()) {
      if (line.compare(0, request.size(), request) == 0) return true;
    }
    return false;
  };
  EXPECT_TRUE(test::PumpUntil(seen, 60));
  for (const std::string& line : proxy.requests()) std::printf("proxy saw: %s\n", line.c_str());
  DestroyWindow(window);
  // The network's worker threads end when idle. Under qemu a thread that
  // the process end has to stop may crash and leave the process hanging, so
  // the test lets them go first (it goes on after the limit either way).
  const bool alone = test::PumpUntil([] { return OtherThreads() == 0; }, 60);
  std::printf("other threads at the end: %d%s\n", OtherThreads(), alone ? "" : " (still running)");
}

// One browser a process: the browser's network threads under qemu do not
// survive a second one's start (see CMakeLists.txt).
TEST(WebView, RequestsAnAddressWithoutSchemeOverHttps) {
  ExpectRequestThroughTheProxy("zanvo.example/ad/zeduv.html", "CONNECT zanvo.example:443 ");
}

TEST(WebView, KeepsTheSchemeOfAnAddressThatHasOne) {
  ExpectRequestThroughTheProxy("http://plain.example/page.html",
                               "GET http://plain.example");  // with or without :80
}

}  // namespace
