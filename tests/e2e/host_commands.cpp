#include "tests/e2e/host_commands.h"

#include <cstring>
#include <sstream>
#include <thread>
#include <vector>

#include "win32/system_clipboard.h"
#include "tests/e2e/host_inspect.h"

namespace sirel::e2e {

namespace {

std::u16string FromUtf8(const std::string& text) {
  if (text.empty()) return {};
  const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return std::u16string(wide.begin(), wide.end());
}

std::string PointReply(POINT point) {
  return "point " + std::to_string(point.x) + " " + std::to_string(point.y);
}

// The host that a timer posts for: one at a time.
HostCommands* g_ticking = nullptr;
int g_ticks = 0;
constexpr UINT_PTR kTickTimer = 7;

void CALLBACK PostTick(HWND, UINT, UINT_PTR, DWORD) {
  if (g_ticking != nullptr) g_ticking->Tick(++g_ticks);
}

HWND MakeHelperWindow() {
  return CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

// Another "program" holding the clipboard open: a thread of its own with its own window.
class ClipboardHolder {
 public:
  ClipboardHolder() {
    opened_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    release_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this] {
      const HWND window = MakeHelperWindow();
      const bool opened = OpenClipboard(window);
      SetEvent(opened_);
      WaitForSingleObject(release_, INFINITE);
      if (opened) CloseClipboard();
      DestroyWindow(window);
    });
    WaitForSingleObject(opened_, 10000);
  }
  ~ClipboardHolder() {
    SetEvent(release_);
    thread_.join();
    CloseHandle(opened_);
    CloseHandle(release_);
  }

 private:
  HANDLE opened_;
  HANDLE release_;
  std::thread thread_;
};

HostCommands::HostCommands(Poster& poster, HWND client) : poster_(poster), client_(client) {}

HostCommands::~HostCommands() {
  if (g_ticking == this) {
    KillTimer(client_, kTickTimer);
    g_ticking = nullptr;
  }
}

void HostCommands::Tick(int n) { poster_.DoSirel(u"Tick " + FromUtf8(std::to_string(n))); }

HWND HostCommands::MessageWindow() {
  return reinterpret_cast<HWND>(static_cast<std::intptr_t>(poster_.Hwnd()));
}

std::string HostCommands::Owner(HWND owner) {
  if (owner == nullptr) return "none";
  if (owner == client_) return "client";
  if (owner == MessageWindow()) return "message";
  return "other";
}

std::string HostCommands::Handle(const std::string& request) {
  const std::size_t space = request.find(' ');
  const std::string verb = request.substr(0, space);
  const std::string argument = space == std::string::npos ? "" : request.substr(space + 1);
  const HWND listbox = ListBoxOf(MessageWindow());

  if (verb == "ping") return "pong";
  if (verb == "cwd") {
    std::wstring folder(GetCurrentDirectoryW(0, nullptr), L'\0');
    folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    return "cwd " + Hex(Utf8(folder));
  }
  if (verb == "quit") return "bye";
  if (verb == "post") {
    poster_.DoSirel(FromUtf8(argument));
    return "ok";
  }
  if (verb == "busy") {
    // A client that never yields: posts the lines "Host line 1" to "Host line <n>", one every
    // 100 ms, and runs no messages meanwhile.
    const int lines = std::stoi(argument);
    for (int i = 1; i <= lines; ++i) {
      poster_.DoSirel(u"Host line " + FromUtf8(std::to_string(i)));
      const DWORD until = GetTickCount() + 100;
      while (static_cast<int>(until - GetTickCount()) > 0) {
      }
    }
    return "ok";
  }
  if (verb == "tick") {
    // A client that posts "Tick <n>" from a timer while the host runs its messages.
    g_ticking = this;
    SetTimer(client_, kTickTimer, static_cast<UINT>(std::stoi(argument)), &PostTick);
    return "ok";
  }
  if (verb == "untick") {
    KillTimer(client_, kTickTimer);
    g_ticking = nullptr;
    return "ok";
  }
  if (verb == "follows") {
    // 1 when the newest line is the only selected one and in view: the list follows postings.
    const int count = static_cast<int>(SendMessageW(listbox, LB_GETCOUNT, 0, 0));
    const std::vector<int> selected = SelectedIndexes(listbox);
    RECT line{};
    RECT client{};
    GetClientRect(listbox, &client);
    const bool inView =
        count > 0 && SendMessageW(listbox, LB_GETITEMRECT, count - 1,
                                  reinterpret_cast<LPARAM>(&line)) != LB_ERR &&
        line.top >= client.top && line.bottom <= client.bottom + (line.bottom - line.top);
    const bool follows = selected.size() == 1 && selected[0] == count - 1 && inView;
    return std::string("follows ") + (follows ? "1" : "0");
  }
  if (verb == "top") return "top " + std::to_string(SendMessageW(listbox, LB_GETTOPINDEX, 0, 0));
  if (verb == "listrect") {
    RECT list{};
    GetWindowRect(listbox, &list);
    MapWindowPoints(nullptr, GetParent(listbox), reinterpret_cast<POINT*>(&list), 2);
    return "listrect " + std::to_string(list.bottom - list.top);
  }
  if (verb == "inview") {
    RECT line{}, client{};
    GetClientRect(listbox, &client);
    const bool shown = SendMessageW(listbox, LB_GETITEMRECT, std::stoi(argument),
                                    reinterpret_cast<LPARAM>(&line)) != LB_ERR &&
                       line.top >= client.top && line.bottom <= client.bottom;
    return std::string("inview ") + (shown ? "1" : "0");
  }
  if (verb == "lines") {
    const std::vector<std::wstring> lines = ListLines(listbox);
    std::string reply = "lines " + std::to_string(lines.size()) + " ";
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (i > 0) reply += "|";
      reply += Utf8(lines[i]);
    }
    return reply;
  }
  if (verb == "selected") {
    const std::vector<int> selected = SelectedIndexes(listbox);
    std::string reply = "selected ";
    for (std::size_t i = 0; i < selected.size(); ++i) {
      reply += (i > 0 ? "," : "") + std::to_string(selected[i]);
    }
    return selected.empty() ? reply + "-" : reply;
  }
  if (verb == "point") return PointReply(LinePoint(listbox, std::stoi(argument)));
  if (verb == "rowpoint") {
    // The middle of the k-th row the list shows, whatever line is there (a person's view).
    const int height = static_cast<int>(SendMessageW(listbox, LB_GETITEMHEIGHT, 0, 0));
    RECT client{};
    GetClientRect(listbox, &client);
    POINT point{(client.left + client.right) / 2, std::stoi(argument) * height + height / 2};
    ClientToScreen(listbox, &point);
    return PointReply(point);
  }
  if (verb == "menu" || verb == "menupoint") {
    const std::vector<MenuItemView> items = OpenPopupMenuItems();
    if (items.empty()) return "menu none";
    if (verb == "menupoint") {
      const std::size_t index = static_cast<std::size_t>(std::stoi(argument));
      return index < items.size() ? PointReply(items[index].center) : "menu noitem";
    }
    std::string reply = "menu " + std::to_string(items.size()) + " ";
    for (std::size_t i = 0; i < items.size(); ++i) {
      reply += (i > 0 ? "|" : "") + Utf8(items[i].caption);
    }
    return reply;
  }
  if (verb == "dialog" || verb == "dialogpoint") {
    const std::vector<DialogView> dialogs = OpenDialogs();
    if (dialogs.empty()) return "dialog none";
    const DialogView& dialog = dialogs.front();
    if (verb == "dialogpoint") {
      return PointReply({(dialog.rect.left + dialog.rect.right) / 2,
                         (dialog.rect.top + dialog.rect.bottom) / 2});
    }
    std::string buttons;
    for (std::size_t i = 0; i < dialog.buttons.size(); ++i) {
      buttons += (i > 0 ? "|" : "") + Utf8(dialog.buttons[i]);
    }
    std::string edits;
    for (std::size_t i = 0; i < dialog.edits.size(); ++i) {
      edits += (i > 0 ? "," : "") + Hex(Utf8(dialog.edits[i]));
    }
    return "dialog title=" + Hex(Utf8(dialog.title)) + " owner=" + Owner(dialog.owner) +
           " buttons=" + (buttons.empty() ? "-" : buttons) + " text=" + Hex(Utf8(dialog.text)) +
           " edits=" + (edits.empty() ? "-" : edits);
  }
  if (verb == "clipboard") {
    ClipboardView view;
    if (!ReadClipboard(view)) return "clipboard busy";
    return "clipboard formats=" + std::to_string(view.formats) +
           " unicode=" + (view.hasUnicode ? Hex(view.unicodeUtf8) : "none") +
           " text=" + (view.hasText ? Hex(view.textBytes) : "none");
  }
  if (verb == "setclipboard") {
    const HWND other = MakeHelperWindow();
    win32::SystemClipboard([other] { return other; }).SetText(FromUtf8(argument));
    DestroyWindow(other);
    return "ok";
  }
  if (verb == "holdclipboard") {
    holder_ = std::make_unique<ClipboardHolder>();
    return "ok";
  }
  if (verb == "releaseclipboard") {
    holder_.reset();
    return "ok";
  }
  if (verb == "window") {
    return "window visible=" + std::to_string(IsWindowVisible(MessageWindow()) ? 1 : 0) +
           " formvisible=" + std::to_string(poster_.FormVisible());
  }
  if (verb == "formvisible") {
    poster_.SetFormVisible(static_cast<VBool>(std::stoi(argument)));
    return "ok";
  }
  return "unknown " + verb;
}

}  // namespace sirel::e2e
