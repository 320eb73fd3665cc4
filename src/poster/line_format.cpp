#include "poster/line_format.h"

#include "core/decimal_text.h"

namespace sirel {

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
