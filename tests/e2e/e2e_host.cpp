// The end-to-end host: a small Windows program that uses Sirel the way a client does and lets
// tests/wine.d/e2e.sh look over the user's shoulder. It makes a client window (untitled, class
// "SirelE2EClient", at the screen's top-left corner), creates a poster through the core on the
// Win32 platform, attaches the message window to the client window, places it, shows it and
// then keeps its message loop running while the script works the window with the mouse and
// keys.
//
// The script talks to the host through stdin and stdout, one line each way per request. A
// reader thread hands each request to the window thread as a posted message, so requests are
// answered even while a pop-up menu, a dialog or a message box runs its own modal loop.
// Requests and replies are listed in HostCommands (host_commands.cpp).
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <thread>

#include "thread/thread_state.h"
#include "win32/native_platform.h"
#include "poster/poster.h"
#include "tests/e2e/host_commands.h"

namespace {

constexpr UINT kRequestMessage = WM_APP + 1;
constexpr wchar_t kClientClass[] = L"SirelE2EClient";

sirel::e2e::HostCommands* g_commands = nullptr;

void WriteReply(const std::string& reply) {
  const std::string line = reply + "\n";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()),
            &written, nullptr);
}

LRESULT CALLBACK ClientProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kRequestMessage) {
    std::string* request = reinterpret_cast<std::string*>(lParam);
    if (request == nullptr) {
      PostQuitMessage(0);  // stdin closed
      return 0;
    }
    std::string reply;
    try {
      reply = g_commands->Handle(*request);
    } catch (const std::exception& error) {
      reply = std::string("error ") + error.what();
    }
    delete request;
    WriteReply(reply);
    if (reply == "bye") PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND CreateClientWindow(HINSTANCE instance) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = ClientProc;
  wc.hInstance = instance;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_APPWORKSPACE + 1));
  wc.lpszClassName = kClientClass;
  RegisterClassW(&wc);
  return CreateWindowExW(0, kClientClass, L"", WS_POPUP | WS_VISIBLE, 0, 0, 1000, 720, nullptr,
                         nullptr, instance, nullptr);
}

}  // namespace

int main() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  sirel::win32::InstallNativePlatform();

  const HWND client = CreateClientWindow(instance);
  if (client == nullptr) {
    WriteReply("fatal no client window");
    return 1;
  }
  sirel::Poster poster(sirel::ThreadState::Current());
  poster.Initialize();
  poster.SetParentWindow(sirel::WindowArgument::Text(u"SirelE2EClient"));
  poster.SetLocation(1500.0f, 1500.0f);
  poster.SetFormVisible(sirel::kTrue);

  sirel::e2e::HostCommands commands(poster, client);
  g_commands = &commands;

  std::thread reader([client] {
    std::string line;
    while (std::getline(std::cin, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      PostMessageW(client, kRequestMessage, 0, reinterpret_cast<LPARAM>(new std::string(line)));
    }
    PostMessageW(client, kRequestMessage, 0, 0);
  });
  reader.detach();

  WriteReply("ready");
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  // The reader thread may still block on stdin; leave without waiting for it.
  ExitProcess(0);
}
