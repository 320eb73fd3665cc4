#include "window/menu_failure.h"

namespace sirel {

namespace {

std::u16string PlainCaption(MenuItem item) {
  for (const MenuItemDesign& design : kMenuItems) {
    if (design.item != item) continue;
    std::u16string text;
    for (const char16_t* c = design.caption; *c != u'\0'; ++c) {
      if (*c != u'&') text.push_back(*c);
    }
    return text;
  }
  return u"The command";
}

std::u16string Decimal(int number) {
  const std::string digits = std::to_string(number);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace

std::u16string MenuFailureText(MenuItem item, const std::u16string& reason, int number) {
  std::u16string text = PlainCaption(item) + u" failed: " + reason;
  if (number != 0) text += u" (error " + Decimal(number) + u")";
  return text;
}

}  // namespace sirel
