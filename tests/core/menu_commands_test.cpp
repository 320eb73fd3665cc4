// The pop-up menu's seven commands against the in-memory window and fake clipboard, dialog and
// message box; the export writes real temporary files that are read back byte by byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "latin1_code_page.h"
#include "core/errors.h"
#include "platform/memory/memory_platform.h"
#include "poster/poster.h"
#include "support/file_bytes.h"
#include "support/thrown_code.h"
#include "window/menu_commands.h"

namespace sirel {
namespace {

using test_support::ThrownCode;

namespace fs = std::filesystem;

class FakeClipboard final : public Clipboard {
 public:
  void Clear() override {
    ++clears;
    text.reset();
  }
  void SetText(const std::u16string& value) override {
    ++sets;
    if (failSet) throw SirelError(ErrorCode::ClipboardSet);
    text = value;
  }
  std::optional<std::u16string> text = u"held before";
  int clears = 0;
  int sets = 0;
  bool failSet = false;
};

class FakeDialog final : public SaveFileDialog {
 public:
  std::optional<std::u16string> AskFileName(const SaveFileRequest& request) override {
    ++calls;
    owner = request.owner;
    if (!answer) return std::nullopt;
    std::u16string buffer = *answer;
    buffer.resize(request.bufferChars, u'\0');
    return buffer;
  }
  std::optional<std::u16string> answer;
  int calls = 0;
  WindowHandle owner = -1;
};

// Writes real files, as the platform's writer does: create or truncate, then write.
class RealFileWriter final : public TextFileWriter {
 public:
  void Replace(const std::u16string& path, std::string_view bytes) override {
    ++calls;
    if (refuse) throw SirelError(ErrorCode::PermissionDenied);
    std::ofstream out(fs::path(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  int calls = 0;
  bool refuse = false;
};

class FakeMessageBox final : public MessageBoxPort {
 public:
  void ShowOk(const std::u16string& prompt, const std::u16string& title) override {
    shown.push_back({prompt, title});
  }
  void ShowWarning(const std::u16string& prompt, const std::u16string& title) override {
    ShowOk(prompt, title);
  }
  std::vector<std::pair<std::u16string, std::u16string>> shown;
};

using test_support::FileBytes;

class MenuCommandsTest : public ::testing::Test {
 protected:
  MenuCommandsTest()
      : thread_(platform_),
        window_(static_cast<MemoryMessageWindow&>(thread_.ObtainWindow())),
        commands_({thread_, window_, clipboard_, dialog_, files_, ansi_, messageBox_}) {
    folder_ = fs::temp_directory_path() /
              ("sirel_menu_" + std::string(::testing::UnitTest::GetInstance()
                                               ->current_test_info()->name()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  ~MenuCommandsTest() override { fs::remove_all(folder_); }

  void AddLines(std::initializer_list<const char16_t*> lines) {
    for (const char16_t* line : lines) list().AddItem(line);
  }
  void Select(std::initializer_list<std::int16_t> indexes) {
    for (std::int16_t i : indexes) list().SetSelected(i, true);
  }
  std::vector<std::u16string> Lines() {
    std::vector<std::u16string> lines;
    for (std::int16_t i = 0; i < list().ListCount(); ++i) lines.push_back(list().LineText(i));
    return lines;
  }
  MemoryMessageList& list() { return window_.memoryList(); }
  // The dialog answers with this file of the test's folder.
  fs::path AnswerWith(const std::string& name) {
    const fs::path path = folder_ / name;
    dialog_.answer = path.u16string();
    return path;
  }

  MemoryPlatform platform_;
  ThreadState thread_;
  MemoryMessageWindow& window_;
  FakeClipboard clipboard_;
  FakeDialog dialog_;
  RealFileWriter files_;
  Latin1CodePage ansi_;
  FakeMessageBox messageBox_;
  MenuCommands commands_;
  fs::path folder_;
};

TEST_F(MenuCommandsTest, CopySelectedTakesSelectedLinesInOrder) {
  AddLines({u"a", u"b", u"c", u"d"});
  Select({3, 1});
  commands_.Run(MenuItem::Copy);
  EXPECT_EQ(clipboard_.text, u"b\r\nd\r\n");
  EXPECT_EQ(list().SelCount(), 2);
  EXPECT_EQ(Lines(), (std::vector<std::u16string>{u"a", u"b", u"c", u"d"}));
}

TEST_F(MenuCommandsTest, CopyAllTakesEveryLineWhateverTheSelection) {
  struct Case {
    std::vector<std::u16string> lines;
    std::u16string expected;
  };
  const Case cases[] = {
      {{u"x"}, u"x\r\n"},
      {{u""}, u"\r\n"},
      {{u"a", u"", u"c"}, u"a\r\n\r\nc\r\n"},
      {{u"\u0436\xD83D\xDE00"}, u"\u0436\xD83D\xDE00\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines.size());
    list().Clear();
    for (const auto& line : c.lines) list().AddItem(line);
    list().SetSelected(0, true);
    commands_.Run(MenuItem::CopyAll);
    EXPECT_EQ(clipboard_.text, c.expected);
  }
}

TEST_F(MenuCommandsTest, CopyWithNothingToCopyLeavesTheClipboardAlone) {
  commands_.Run(MenuItem::Copy);     // empty list
  commands_.Run(MenuItem::CopyAll);  // empty list
  AddLines({u"a", u"b"});
  commands_.Run(MenuItem::Copy);     // nothing selected
  EXPECT_EQ(clipboard_.clears + clipboard_.sets, 0);
  EXPECT_EQ(clipboard_.text, u"held before");
}

TEST_F(MenuCommandsTest, FailingToSetTheTextLeavesTheClipboardEmpty) {
  AddLines({u"a"});
  Select({0});
  clipboard_.failSet = true;
  for (MenuItem item : {MenuItem::Copy, MenuItem::CopyAll}) {
    clipboard_.text = u"held before";
    EXPECT_EQ(ThrownCode([&] { commands_.Run(item); }), ErrorCode::ClipboardSet);
    EXPECT_EQ(clipboard_.text, std::nullopt);
  }
}

TEST_F(MenuCommandsTest, ClearRaisesNoEventAndKeepsTheNumbering) {
  Poster poster(thread_);
  poster.Initialize();
  poster.SetShowCounter(kTrue);
  poster.SetEnableEvents(kTrue);
  int events = 0;
  struct Counting : PosterEvents {
    explicit Counting(int& n) : count(n) {}
    void BeforeClear(VBool&) override { ++count; }
    void AfterClear() override { ++count; }
    int& count;
  };
  poster.events().Connect(std::make_shared<Counting>(events));
  for (const char16_t* text : {u"one", u"two", u"three"}) poster.DoSirel(text);
  commands_.Run(MenuItem::Clear);
  EXPECT_EQ(list().ListCount(), 0);
  EXPECT_EQ(list().SelCount(), 0);
  EXPECT_EQ(events, 0);
  poster.DoSirel(u"four");
  EXPECT_EQ(list().LineText(0).substr(0, 3), u"4: ");
  commands_.Run(MenuItem::Clear);
  commands_.Run(MenuItem::Clear);  // an empty list: nothing happens, nothing is reported
  EXPECT_EQ(list().ListCount(), 0);
}

TEST_F(MenuCommandsTest, DeleteRemovesOnlyTheSelectedLines) {
  AddLines({u"0", u"1", u"2", u"3", u"4"});
  commands_.Run(MenuItem::Delete);
  EXPECT_EQ(Lines().size(), 5u);
  Select({1, 3});
  commands_.Run(MenuItem::Delete);
  EXPECT_EQ(Lines(), (std::vector<std::u16string>{u"0", u"2", u"4"}));
  EXPECT_EQ(list().SelCount(), 0);
}

TEST_F(MenuCommandsTest, HideKeepsLinesAndThePostersVisibleFlag) {
  Poster poster(thread_);
  poster.Initialize();
  poster.SetFormVisible(kTrue);
  poster.DoSirel(u"kept");
  commands_.Run(MenuItem::Hide);
  EXPECT_FALSE(window_.IsVisible());
  EXPECT_EQ(poster.FormVisible(), kTrue);
  poster.DoSirel(u"while hidden");
  EXPECT_EQ(Lines(), (std::vector<std::u16string>{u"kept", u"while hidden"}));
}

TEST_F(MenuCommandsTest, AboutShowsTheSameSixLinesEveryTime) {
  commands_.Run(MenuItem::About);
  commands_.Run(MenuItem::About);
  ASSERT_EQ(messageBox_.shown.size(), 2u);
  EXPECT_EQ(messageBox_.shown[0], messageBox_.shown[1]);
  EXPECT_EQ(messageBox_.shown[0].second, u"About Sireler");
  const std::u16string& prompt = messageBox_.shown[0].first;
  std::vector<std::u16string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = prompt.find(u"\r\n", start)) != std::u16string::npos;
       start = end + 2) {
    lines.push_back(prompt.substr(start, end - start));
  }
  lines.push_back(prompt.substr(start));
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], u"Sireler");
  EXPECT_EQ(lines[1], u"");
  EXPECT_FALSE(lines[2].empty());
  const std::size_t gap = lines[3].find(u' ');
  ASSERT_NE(gap, std::u16string::npos);
  EXPECT_EQ(lines[3].substr(gap, 13), std::u16string(12, u' ') + lines[3][gap + 12]);
  EXPECT_NE(lines[3][gap + 12], u' ');
  EXPECT_NE(lines[3].find(u"://"), std::u16string::npos);
  EXPECT_NE(lines[3].find(u'@', gap), std::u16string::npos);
  EXPECT_EQ(lines[4], u"");
  EXPECT_NE(lines[5].find(u'\u00A9'), std::u16string::npos);
  EXPECT_NE(prompt.back(), u'\n');
}

TEST_F(MenuCommandsTest, ExportWritesEveryLineWithCrLf) {
  AddLines({u"a", u"b", u"c"});
  Select({1});
  const fs::path file = AnswerWith("lines");
  commands_.Run(MenuItem::Export);
  EXPECT_EQ(FileBytes(file.string() + ".txt"), "a\r\nb\r\nc\r\n");
  EXPECT_EQ(list().SelCount(), 1);
  EXPECT_EQ(Lines().size(), 3u);
}

TEST_F(MenuCommandsTest, ExportReplacesAnExistingLongerFile) {
  AddLines({u"new"});
  const fs::path file = AnswerWith("Old.TXT");
  std::ofstream(file, std::ios::binary) << "a much longer old content\r\n";
  commands_.Run(MenuItem::Export);
  EXPECT_EQ(FileBytes(file), "new\r\n");
}

TEST_F(MenuCommandsTest, ExportFallsBackToUtf8WhenALineLeavesTheCodePage) {
  AddLines({u"caf\u00E9", u"\u0436", u""});
  const fs::path file = AnswerWith("u.txt");
  commands_.Run(MenuItem::Export);
  EXPECT_EQ(FileBytes(file), "\xEF\xBB\xBF" "caf\xC3\xA9\r\n\xD0\xB6\r\n\r\n");
  list().RemoveItem(1);
  commands_.Run(MenuItem::Export);
  EXPECT_EQ(FileBytes(file), "caf\xE9\r\n\r\n");
}

TEST_F(MenuCommandsTest, ExportWritesNothingOnCancelOrAnEmptyList) {
  AddLines({u"a"});
  commands_.Run(MenuItem::Export);  // the dialog is cancelled
  EXPECT_EQ(dialog_.calls, 1);
  list().Clear();
  const fs::path file = AnswerWith("empty.txt");
  commands_.Run(MenuItem::Export);  // a name is chosen, but the list is empty
  EXPECT_EQ(dialog_.calls, 2);
  EXPECT_EQ(files_.calls, 0);
  EXPECT_FALSE(fs::exists(file));
}

TEST_F(MenuCommandsTest, ExportDialogIsOwnedByTheParentNotTheWindow) {
  AddLines({u"a"});
  for (WindowHandle parent : {0x3344, 0}) {
    SCOPED_TRACE(parent);
    thread_.setParentWindow(parent);
    commands_.Run(MenuItem::Export);
    EXPECT_EQ(dialog_.owner, parent);
    EXPECT_NE(dialog_.owner, window_.Handle());
  }
}

TEST_F(MenuCommandsTest, ExportErrorPropagatesAndLeavesTheFileAlone) {
  AddLines({u"a"});
  const fs::path file = AnswerWith("locked.txt");
  std::ofstream(file, std::ios::binary) << "before";
  files_.refuse = true;
  EXPECT_EQ(ThrownCode([&] { commands_.Run(MenuItem::Export); }), ErrorCode::PermissionDenied);
  EXPECT_EQ(FileBytes(file), "before");
  EXPECT_EQ(Lines(), std::vector<std::u16string>{u"a"});
}

}  // namespace
}  // namespace sirel
