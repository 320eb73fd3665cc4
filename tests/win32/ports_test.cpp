// Unit tests of the Win32 ports of the menu commands against the real clipboard, real files and the system's
// code page, under Windows or Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/errors.h"
#include "win32/system_ansi_code_page.h"
#include "win32/system_clipboard.h"
#include "win32/hwnd_value.h"
#include "win32/message_form.h"
#include "win32/native_platform.h"
#include "win32/common_save_dialog.h"
#include "win32/disk_text_file_writer.h"
#include "support/file_bytes.h"
#include "support/test_window.h"
#include "support/thrown_code.h"
#include "window/export_file_name.h"

namespace sirel::win32 {
namespace {

namespace fs = std::filesystem;

using test_support::FileBytes;
using test_support::TestWindow;
using test_support::ThrownCode;

std::optional<std::u16string> ClipboardUnicodeText() {
  if (!OpenClipboard(nullptr)) return std::nullopt;
  std::optional<std::u16string> text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    text = std::u16string(static_cast<const char16_t*>(GlobalLock(data)));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

int ClipboardFormatCount() {
  if (!OpenClipboard(nullptr)) return -1;
  const int count = CountClipboardFormats();
  CloseClipboard();
  return count;
}

// The dialog gets the old-size record of this build's platform: it ends where the later
// extension fields begin, 76 bytes on 32-bit Windows and 136 on 64-bit (a 64-bit dialog given
// 76 fails at once).
TEST(CommonSaveDialogTest, RecordHasTheOldSizeOfThisBuildsPlatform) {
  EXPECT_EQ(kSaveDialogRecordSize, offsetof(OPENFILENAMEW, pvReserved));
  EXPECT_EQ(kSaveDialogRecordSize, sizeof(void*) == 4 ? 76u : 136u);
}

TEST(SystemClipboardTest, PutsUnicodeTextAndNarrowReadersSeeIt) {
  TestWindow owner;
  SystemClipboard clipboard([&owner] { return owner.hwnd(); });
  const std::u16string text = u"a\r\n\u0436\u00E9\xD83D\xDE00\r\n\r\n";
  clipboard.SetText(text);
  EXPECT_EQ(ClipboardUnicodeText(), text);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  CloseClipboard();
  // Clipboard text ends at a NUL: a line's NUL is given as the mark the list shows.
  clipboard.SetText(std::u16string(u"a\0b\r\n", 5));
  EXPECT_EQ(ClipboardUnicodeText(), u"a\u2400b\r\n");

  clipboard.Clear();
  EXPECT_EQ(ClipboardFormatCount(), 0);
}

TEST(SystemClipboardTest, ClipboardHeldByAnotherThreadIsReportedAndLeftAlone) {
  TestWindow owner;
  SystemClipboard clipboard([&owner] { return owner.hwnd(); });
  clipboard.SetText(u"before");

  HANDLE held = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread holder([&] {
    TestWindow other;
    const bool opened = OpenClipboard(other.hwnd());
    SetEvent(held);
    WaitForSingleObject(release, 10000);
    if (opened) CloseClipboard();
  });
  WaitForSingleObject(held, 10000);
  EXPECT_EQ(ThrownCode([&] { clipboard.Clear(); }), ErrorCode::ClipboardOpen);
  EXPECT_EQ(ThrownCode([&] { clipboard.SetText(u"after"); }), ErrorCode::ClipboardOpen);
  SetEvent(release);
  holder.join();
  CloseHandle(held);
  CloseHandle(release);
  EXPECT_EQ(ClipboardUnicodeText(), u"before");
}

class DiskTextFileTest : public ::testing::Test {
 protected:
  DiskTextFileTest() {
    const std::string name = Name();
    folder_ = fs::temp_directory_path() / ("sirel_file_" + name);
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  ~DiskTextFileTest() override {
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(folder_, ignored)) {
      SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    fs::remove_all(folder_, ignored);
  }
  static std::string Name() {
    return ::testing::UnitTest::GetInstance()->current_test_info()->name();
  }
  static std::string Read(const fs::path& path) { return FileBytes(path); }
  static void Write(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }

  DiskTextFileWriter writer_;
  fs::path folder_;
};

TEST_F(DiskTextFileTest, ReplacesAHiddenFile) {
  const fs::path path = folder_ / L"hidden.txt";
  Write(path, "old");
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
  writer_.Replace(path.u16string(), "new");
  EXPECT_EQ(Read(path), "new");
}

TEST_F(DiskTextFileTest, AnOpenThatFailsLeavesEverythingAsItWas) {
  const fs::path readOnly = folder_ / L"readonly.txt";
  Write(readOnly, "kept");
  SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(ThrownCode([&] { writer_.Replace(readOnly.u16string(), "new"); }),
            ErrorCode::PermissionDenied);
  EXPECT_EQ(Read(readOnly), "kept");

  const fs::path locked = folder_ / L"locked.txt";
  Write(locked, "kept");
  const HANDLE holder = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  EXPECT_EQ(ThrownCode([&] { writer_.Replace(locked.u16string(), "new"); }),
            ErrorCode::PermissionDenied);
  CloseHandle(holder);
  EXPECT_EQ(Read(locked), "kept");

  const fs::path missing = folder_ / L"no such folder" / L"x.txt";
  EXPECT_EQ(ThrownCode([&] { writer_.Replace(missing.u16string(), "new"); }),
            ErrorCode::PathNotFound);
  EXPECT_FALSE(fs::exists(missing.parent_path()));

  const fs::path folderTarget = folder_ / L"folder.txt";
  fs::create_directory(folderTarget);
  EXPECT_EQ(ThrownCode([&] { writer_.Replace(folderTarget.u16string(), "new"); }),
            ErrorCode::PermissionDenied);
  EXPECT_TRUE(fs::is_directory(folderTarget));
}

BOOL WINAPI FailingClose(HANDLE file) {
  CloseHandle(file);
  SetLastError(ERROR_NETNAME_DELETED);
  return FALSE;
}

// A folder where no file may be created (the tests run as root, whom Wine's folders never refuse).
HANDLE WINAPI RefusingCreate(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) {
  SetLastError(ERROR_ACCESS_DENIED);
  return INVALID_HANDLE_VALUE;
}

// A write that fails part-way: the first piece goes through, every later one fails.
int g_writes = 0;
std::size_t g_firstPiece = 0;
BOOL WINAPI FailingLaterWrite(HANDLE file, LPCVOID data, DWORD size, LPDWORD done,
                              LPOVERLAPPED at) {
  if (g_writes++ == 0) {
    g_firstPiece = size;
    return WriteFile(file, data, size, done, at);
  }
  *done = 0;
  SetLastError(ERROR_NETNAME_DELETED);
  return FALSE;
}

// A replacement that moved the old file to the backup name and then failed.
BOOL WINAPI ReplaceLeavingTheNameEmpty(LPCWSTR replaced, LPCWSTR, LPCWSTR backup, DWORD, LPVOID,
                                       LPVOID) {
  MoveFileW(replaced, backup);
  SetLastError(ERROR_UNABLE_TO_MOVE_REPLACEMENT_2);
  return FALSE;
}

// New, existing and linked targets, a folder that refuses new files, and failures part-way. A
// target replaced through a temporary file is the new text or its old text byte for byte; a
// target written in place (another name beside it, a refusing folder) keeps its other names and
// keeps its old text when a longer text fails, or the new text as far as it was written when
// the old bytes were being overwritten. No other file is left behind. A full disk needs a small
// file system of its own: tests/wine.d/full-disk.sh mounts one and names it in SIREL_FULL_FOLDER
// (absent, those rows are skipped).
TEST_F(DiskTextFileTest, WritesTheNewTextOrKeepsTheOldAsItWas) {
  enum Outcome { kNew, kOld, kWrittenPart };
  struct Case {
    const wchar_t* name;
    std::optional<std::string> before;
    bool linked;
    DiskFileCalls calls;
    std::string text;
    Outcome outcome;
    std::optional<ErrorCode> error = std::nullopt;
    fs::path folder = {};
  };
  const DiskFileCalls normal, refusing{&RefusingCreate},
      failingWrite{&CreateFileW, &FailingLaterWrite},
      failingClose{&CreateFileW, &WriteFile, &FailingClose},
      failingReplace{&CreateFileW, &WriteFile, &CloseHandle, &ReplaceLeavingTheNameEmpty};
  const std::string text("a\r\n\0b\r\n", 7), old(4000, 'o'), big(1 << 22, 'n');
  std::vector<Case> cases = {
      {L"new.txt", std::nullopt, false, normal, text, kNew},
      {L"longer.txt", std::string(5000, 'o'), false, normal, text, kNew},
      {L"\u0444\u0430\u0439\u043B.txt", std::nullopt, false, normal, text, kNew},
      {L"linked.txt", old, true, normal, text, kNew},
      {L"refused.txt", old, false, refusing, text, kNew},
      {L"refused-new.txt", std::nullopt, false, refusing, text, kOld, ErrorCode::PermissionDenied},
      {L"write-fails.txt", old, false, failingWrite, big, kOld, ErrorCode::DeviceIo},
      {L"close-fails.txt", old, false, failingClose, big, kOld, ErrorCode::DeviceIo},
      {L"replace-fails.txt", old, false, failingReplace, text, kOld, ErrorCode::DeviceIo},
      {L"linked-longer-fails.txt", old, true, failingWrite, big, kOld, ErrorCode::DeviceIo},
      {L"linked-shorter-fails.txt", std::string(1 << 22, 'o'), true, failingWrite,
       std::string(3 << 20, 'n'), kWrittenPart, ErrorCode::DeviceIo},
  };
  if (const char* full = std::getenv("SIREL_FULL_FOLDER")) {
    cases.push_back({L"full.txt", old, false, normal, big, kOld, ErrorCode::DeviceIo, full});
    cases.push_back({L"full-linked.txt", old, true, normal, big, kOld, ErrorCode::DeviceIo, full});
  }
  for (Case& c : cases) {
    if (c.folder.empty()) c.folder = folder_;
    const fs::path path = c.folder / c.name;
    const fs::path alias = c.folder / (L"alias-" + path.filename().wstring());
    SCOPED_TRACE(path.string());
    if (c.before) Write(path, *c.before);
    if (c.linked) {
      ASSERT_TRUE(CreateHardLinkW(alias.c_str(), path.c_str(), nullptr));
    }
    const auto entries = std::distance(fs::directory_iterator(c.folder), fs::directory_iterator());
    g_writes = 0;
    DiskTextFileWriter writer(c.calls);
    if (c.error) {
      EXPECT_EQ(ThrownCode([&] { writer.Replace(path.u16string(), c.text); }), *c.error);
    } else {
      EXPECT_NO_THROW(writer.Replace(path.u16string(), c.text));
    }
    const std::string expected = c.outcome == kNew ? c.text
                                 : c.outcome == kWrittenPart ? c.text.substr(0, g_firstPiece)
                                                             : c.before.value_or("<none>");
    EXPECT_EQ(fs::exists(path) ? Read(path) : "<none>", expected);
    if (c.linked) {
      EXPECT_EQ(Read(alias), expected);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(c.folder), fs::directory_iterator()),
              entries + (c.before ? 0 : c.outcome == kNew));
  }
}

// Cancels the first file dialog that the calling thread activates, noting its owner.
class DialogCanceller {
 public:
  DialogCanceller() {
    current_ = this;
    hook_ = SetWindowsHookExW(WH_CBT, Hook, nullptr, GetCurrentThreadId());
  }
  ~DialogCanceller() {
    UnhookWindowsHookEx(hook_);
    current_ = nullptr;
  }
  bool opened = false;
  HWND owner = nullptr;

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    wchar_t name[16] = {};
    const HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && !current_->opened && GetClassNameW(window, name, 16) &&
        std::wstring(name) == L"#32770") {
      current_->opened = true;
      current_->owner = GetWindow(window, GW_OWNER);
      PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    }
    return CallNextHookEx(current_->hook_, code, wParam, lParam);
  }
  static DialogCanceller* current_;
  HHOOK hook_ = nullptr;
};
DialogCanceller* DialogCanceller::current_ = nullptr;

// The export dialog's owner is the thread's parent window; one that is no longer a window means
// no owner (the dialog would refuse to open with it, and every export would fail).
TEST(CommonSaveDialogTest, AnOwnerThatIsGoneMeansNoOwner) {
  TestWindow destroyed;
  const HWND gone = destroyed.hwnd();
  destroyed.Destroy();
  TestWindow live;
  for (HWND owner : {gone, live.hwnd(), static_cast<HWND>(nullptr)}) {
    SCOPED_TRACE(owner == gone ? "gone" : owner == nullptr ? "none" : "live");
    DialogCanceller canceller;
    CommonSaveDialog dialog;
    std::optional<std::u16string> name = u"unchanged";
    EXPECT_NO_THROW(name = dialog.AskFileName(ExportDialogRequest(WindowHandleOf(owner))));
    EXPECT_EQ(name, std::nullopt);
    EXPECT_TRUE(canceller.opened);
    EXPECT_EQ(canceller.owner, owner == gone ? nullptr : owner);
  }
}

// The LISTBOX's one-pass read gives what reading the lines one by one gives.
TEST(ListBoxListTest, AppendLinesReadsWhatListReads) {
  MessageForm window(ThisModule());
  window.EnsureLoaded();
  ListBoxList& list = window.listBox();
  const std::u16string lines[] = {u"first", u"", u"\u0436\xD83D\xDE00", std::u16string(3000, u'w'),
                                  std::u16string(u"a\0b\0", 4), u"last"};
  for (const std::u16string& line : lines) list.AddItem(line);
  for (std::int16_t i : {0, 2, 4}) list.SetSelected(i, true);

  for (const bool selectedOnly : {false, true}) {
    SCOPED_TRACE(selectedOnly);
    std::u16string expected = u">";
    for (std::int16_t i = 0; i < list.ListCount(); ++i) {
      if (selectedOnly && !IsExactlyTrue(list.Selected(i))) continue;
      expected += list.LineText(i) + u"|";
    }
    std::u16string read = u">";
    list.AppendLines(read, selectedOnly, u"|");
    EXPECT_EQ(read, expected);
  }
  list.Clear();
  std::u16string none;
  list.AppendLines(none, false, u"|");
  EXPECT_EQ(none, u"");
}

TEST(SystemAnsiCodePageTest, ReportsTextOutsideTheCodePage) {
  SystemAnsiCodePage ansi;
  EXPECT_EQ(ansi.Encode(u""), std::string());
  EXPECT_EQ(ansi.Encode(u"plain\r\n"), std::string("plain\r\n"));
  if (GetACP() != 1252) GTEST_SKIP() << "the Western code page checks need code page 1252";
  EXPECT_EQ(ansi.Encode(u"caf\u00E9 \u20AC \u00A9"), std::string("caf\xE9 \x80 \xA9"));
  EXPECT_EQ(ansi.Encode(u"\u0436"), std::nullopt);
  EXPECT_EQ(ansi.Encode(u"\u0100"), std::nullopt);  // would become a best-fit "A"
  EXPECT_EQ(ansi.Encode(u"\xD83D\xDE00"), std::nullopt);
}

}  // namespace
}  // namespace sirel::win32
