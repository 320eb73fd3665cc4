#include "window/menu_failure.h"

#include "core/decimal_text.h"

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

}  // namespace

std::u16string MenuFailureText(MenuItem item, const std::u16string& reason, int number) {
  std::u16string text = PlainCaption(item) + u" failed: " + reason;
  if (number != 0) text += u" (error " + DecimalText(number) + u")";
  return text;
}

}  // namespace sirel
