// The value a client passes to SetParentWindow, already classified by the automation shell:
// a number (numbers, Booleans, and texts that read as numbers by the automation conversion
// rules; Empty reads as 0) or a text that is not numeric.
#pragma once

#include <string>

namespace sirel {

struct WindowArgument {
  enum class Kind { Number, Text };

  Kind kind = Kind::Number;
  double number = 0;
  std::u16string text;

  static WindowArgument Number(double value) { return {Kind::Number, value, {}}; }
  static WindowArgument Text(std::u16string value) { return {Kind::Text, 0, std::move(value)}; }
};

}  // namespace sirel
