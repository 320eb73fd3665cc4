#include "poster/line_format.h"

namespace sirel {

std::u16string DecimalText(std::int32_t value) {
  char16_t digits[12];
  int pos = 12;
  // Work in 64 bits so that the most negative value has a magnitude.
  std::int64_t magnitude = value < 0 ? -static_cast<std::int64_t>(value) : value;
  do {
    digits[--pos] = static_cast<char16_t>(u'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) digits[--pos] = u'-';
  return std::u16string(digits + pos, digits + 12);
}

std::u16string FormatLine(bool showCounter, std::int32_t counter, bool showPriority,
                          std::int32_t priority, const std::u16string& text) {
  static constexpr char16_t kSeparator[] = u": ";
  std::u16string line;
  line.reserve(text.size() + 26);
  if (showCounter) {
    line += DecimalText(counter);
    line += kSeparator;
  }
  if (showPriority) {
    line += DecimalText(priority);
    line += kSeparator;
  }
  line += text;
  return line;
}

}  // namespace sirel
