// "Copy &All" and "&Export To File" on a full list: 32,767 lines of 100 characters in the real
// message window's LISTBOX, copied to the real clipboard and exported to a real file (the save
// dialog answers at once with a fixed name). Export is measured for a list that fits the ANSI
// code page and for one whose lines each hold one character outside it (the UTF-8 file).
// Prints the best and the median of several runs, and the share of reading the list through
// its port. Goal: each command under 50 ms.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "wall_clock_win32.h"
#include "thread/thread_state.h"
#include "win32/system_ansi_code_page.h"
#include "win32/system_clipboard.h"
#include "win32/system_message_box.h"
#include "win32/message_form.h"
#include "win32/native_platform.h"
#include "win32/disk_text_file_writer.h"
#include "window/copy_text.h"
#include "window/menu_commands.h"

namespace {

constexpr int kRuns = 7;
constexpr int kLines = 32767;
constexpr int kLineChars = 100;

double NowMs() { return sirel::bench::WallSeconds() * 1000.0; }

// A save dialog that answers at once with one path.
class AnsweringDialog final : public sirel::SaveFileDialog {
 public:
  explicit AnsweringDialog(std::u16string path) : path_(std::move(path)) {}
  std::optional<std::u16string> AskFileName(const sirel::SaveFileRequest& request) override {
    std::u16string buffer = path_;
    buffer.resize(request.bufferChars, u'\0');
    return buffer;
  }

 private:
  std::u16string path_;
};

void Fill(sirel::MessageList& list, char16_t extra) {
  list.Clear();
  for (int i = 0; i < kLines; ++i) {
    std::u16string line(kLineChars, u'x');
    const std::string number = std::to_string(i);
    std::copy(number.begin(), number.end(), line.begin());
    if (extra != 0) line[kLineChars - 1] = extra;
    list.AddItem(line);
  }
}

void Report(const char* what, const std::function<void()>& run) {
  std::vector<double> times;
  for (int i = 0; i < kRuns; ++i) {
    const double start = NowMs();
    run();
    times.push_back(NowMs() - start);
  }
  std::sort(times.begin(), times.end());
  std::printf("%-52s best %7.2f ms   median %7.2f ms   (goal < 50 ms)\n", what, times.front(),
              times[times.size() / 2]);
  std::fflush(stdout);
}

std::uintmax_t FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<std::uintmax_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

int main() {
  sirel::win32::InstallNativePlatform();
  sirel::ThreadState& thread = sirel::ThreadState::Current();
  auto& window = static_cast<sirel::win32::MessageForm&>(thread.ObtainWindow());

  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  const std::wstring path = std::wstring(folder) + L"sirel_commands_bench.txt";

  sirel::win32::SystemClipboard clipboard([&window] { return window.hwnd(); });
  AnsweringDialog dialog(std::u16string(path.begin(), path.end()));
  sirel::win32::DiskTextFileWriter files;
  sirel::win32::SystemAnsiCodePage ansi;
  sirel::win32::SystemMessageBox messageBox([&window] { return window.hwnd(); });
  sirel::MenuCommands commands({thread, window, clipboard, dialog, files, ansi, messageBox});

  std::printf("Menu commands on %d lines of %d characters, ANSI code page %u\n", kLines,
              kLineChars, GetACP());
  double start = NowMs();
  Fill(window.List(), 0);
  std::printf("(filling the list took %.0f ms)\n", NowMs() - start);

  // The part of both commands that reads the list, line by line through the list port.
  Report("(reading every line through the list port)",
         [&] { sirel::AllLinesText(window.List()); });
  Report("Copy &All (clipboard, Unicode text)", [&] { commands.CopyAll(); });
  Report("&Export To File (ANSI code page)", [&] { commands.Export(); });
  std::printf("  file: %ju bytes\n", FileSize(path));

  Fill(window.List(), u'\u0436');
  Report("&Export To File (UTF-8, a line outside the code page)", [&] { commands.Export(); });
  std::printf("  file: %ju bytes\n", FileSize(path));

  DeleteFileW(path.c_str());
  return 0;
}
