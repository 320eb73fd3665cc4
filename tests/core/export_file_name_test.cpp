// The export's name rules and the dialog request it makes.
#include <gtest/gtest.h>

#include <string>

#include "window/export_file_name.h"

namespace sirel {
namespace {

// A buffer as the dialog leaves it: the path, then NULs up to the buffer's size.
std::u16string DialogBuffer(const std::u16string& path) {
  std::u16string buffer = path;
  buffer.resize(kExportFileBufferChars, u'\0');
  return buffer;
}

class RecordingDialog final : public SaveFileDialog {
 public:
  explicit RecordingDialog(std::optional<std::u16string> answer) : answer_(std::move(answer)) {}
  std::optional<std::u16string> AskFileName(const SaveFileRequest& request) override {
    ++calls;
    last = request;
    return answer_;
  }
  int calls = 0;
  SaveFileRequest last;

 private:
  std::optional<std::u16string> answer_;
};

TEST(ExportFileNameTest, NameRules) {
  const std::u16string longName = u"C:\\" + std::u16string(247, u'n') + u".txt";  // 254 chars
  ASSERT_EQ(longName.size(), kExportFileBufferChars - 1);
  const std::u16string longNoExt = u"C:\\" + std::u16string(251, u'n');
  struct Case {
    std::u16string buffer;
    std::u16string expected;
  };
  const Case cases[] = {
      {DialogBuffer(u"C:\\out\\log"), u"C:\\out\\log.txt"},
      {DialogBuffer(u"C:\\out\\Notes.TXT"), u"C:\\out\\Notes.TXT"},
      {DialogBuffer(u"C:\\out\\Mixed.Txt"), u"C:\\out\\Mixed.Txt"},
      {DialogBuffer(u"C:\\out\\data.csv"), u"C:\\out\\data.csv.txt"},
      {DialogBuffer(u"C:\\out\\x.text"), u"C:\\out\\x.text.txt"},
      {DialogBuffer(u"C:\\out\\txt"), u"C:\\out\\txt.txt"},
      // Leading spaces go; the path's own trailing spaces stay before the extension.
      {DialogBuffer(u"  C:\\out\\spaced  "), u"C:\\out\\spaced  .txt"},
      {DialogBuffer(u"C:\\out\\log "), u"C:\\out\\log .txt"},
      {DialogBuffer(u"C:\\\x0444\x0430\x0439\x043B"), u"C:\\\x0444\x0430\x0439\x043B.txt"},
      // A path filling every character but the NUL keeps its last character.
      {DialogBuffer(longName), longName},
      {DialogBuffer(longNoExt), longNoExt + u".txt"},
      // A buffer with no NUL at all is taken whole, never cut.
      {longNoExt + u"x", longNoExt + u"x.txt"},
      // Spaces left over from a space-filled buffer still go.
      {u"C:\\a.txt" + std::u16string(1, u'\0') + std::u16string(20, u' '), u"C:\\a.txt"},
      {DialogBuffer(u""), u""},
      {DialogBuffer(u"   "), u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.expected.begin(), c.expected.end()));
    EXPECT_EQ(ExportFileNameFromBuffer(c.buffer), c.expected);
  }
}

TEST(ExportFileNameTest, AsksTheDialogWithTheExportRequest) {
  RecordingDialog dialog(DialogBuffer(u"C:\\logs\\today"));
  EXPECT_EQ(GetExportFileName(dialog, 0x2A0), u"C:\\logs\\today.txt");
  ASSERT_EQ(dialog.calls, 1);
  EXPECT_EQ(dialog.last.owner, 0x2A0);
  EXPECT_EQ(dialog.last.title, u"Open A Long File");
  EXPECT_EQ(dialog.last.bufferChars, 255u);
  ASSERT_EQ(dialog.last.filters.size(), 2u);
  EXPECT_EQ(dialog.last.filters[0].description, u"Text Files (*.txt)");
  EXPECT_EQ(dialog.last.filters[0].pattern, u"*.txt");
  EXPECT_EQ(dialog.last.filters[1].description, u"All Files (*.*)");
  EXPECT_EQ(dialog.last.filters[1].pattern, u"*.*");
}

TEST(ExportFileNameTest, CancelGivesAnEmptyName) {
  RecordingDialog dialog(std::nullopt);
  EXPECT_EQ(GetExportFileName(dialog, 0), u"");
  EXPECT_EQ(dialog.calls, 1);
}

}  // namespace
}  // namespace sirel
