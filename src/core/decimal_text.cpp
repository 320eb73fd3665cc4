#include "core/decimal_text.h"

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

}  // namespace sirel
