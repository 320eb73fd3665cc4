// The README's error table lists every error of the library's one table, with the HRESULT a
// client sees for it, so users can look up what Err.Number means.
#include "com_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "core/errors.h"

namespace sirel::test {
namespace {

TEST(ErrorTableTest, ReadmeListsEveryErrorWithItsHResult) {
  std::ifstream readme(SIREL_SOURCE_DIR "/README.md");
  if (!readme) GTEST_SKIP() << "README.md not found at " << SIREL_SOURCE_DIR;
  std::stringstream text;
  text << readme.rdbuf();
  std::size_t count = 0;
  const ErrorRow* rows = ErrorTable(&count);
  for (std::size_t i = 0; i < count; ++i) {
    const int number = static_cast<int>(rows[i].code);
    char line[200];
    std::snprintf(line, sizeof line, "| %d | 0x800A%04X | %s |", number, number, rows[i].text);
    EXPECT_NE(text.str().find(line), std::string::npos) << "README lacks the row " << line;
  }
}

}  // namespace
}  // namespace sirel::test
