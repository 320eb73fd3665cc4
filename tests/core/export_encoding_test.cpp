// The export's bytes: the ANSI code page when everything fits it, else UTF-8 with a BOM.
#include <gtest/gtest.h>

#include <string>

#include "latin1_code_page.h"
#include "window/export_encoding.h"

namespace sirel {
namespace {

TEST(ExportEncodingTest, ChoosesTheEncodingThatLosesNothing) {
  struct Case {
    const char* name;
    std::u16string text;
    ExportEncoding encoding;
    std::string bytes;
  };
  const Case cases[] = {
      {"ascii", u"a\r\nb\r\n", ExportEncoding::Ansi, "a\r\nb\r\n"},
      {"code page letters", u"caf\u00E9 \u00A9\r\n", ExportEncoding::Ansi, "caf\xE9 \xA9\r\n"},
      {"empty", u"", ExportEncoding::Ansi, ""},
      {"one line outside the code page", u"caf\u00E9\r\n\u0436\r\n", ExportEncoding::Utf8WithBom,
       "\xEF\xBB\xBF" "caf\xC3\xA9\r\n\xD0\xB6\r\n"},
      {"three-byte", u"\u20AC\r\n", ExportEncoding::Utf8WithBom, "\xEF\xBB\xBF\xE2\x82\xAC\r\n"},
      {"surrogate pair", u"\xD83D\xDE00\r\n", ExportEncoding::Utf8WithBom,
       "\xEF\xBB\xBF\xF0\x9F\x98\x80\r\n"},
      {"lone surrogate", std::u16string(1, u'\xD800') + u"x\r\n", ExportEncoding::Utf8WithBom,
       "\xEF\xBB\xBF\xEF\xBF\xBDx\r\n"},
  };
  Latin1CodePage latin1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ExportBytes result = EncodeExportText(c.text, latin1);
    EXPECT_EQ(result.encoding, c.encoding);
    EXPECT_EQ(result.bytes, c.bytes);
  }
}

TEST(ExportEncodingTest, Utf8CoversEveryPlane) {
  EXPECT_EQ(ToUtf8(u"\x7F\x80\x7FF\x800\xFFFF"),
            "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF");
  EXPECT_EQ(ToUtf8(u"\xDBFF\xDFFF"), "\xF4\x8F\xBF\xBF");
  EXPECT_EQ(ToUtf8(std::u16string(1, u'\xDC00')), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace sirel
