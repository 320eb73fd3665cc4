// The text-folding port for native tests and benchmarks: A to Z become a to z, every other
// character stays as it is. Enough to show the find's rules; the Win32 form folds by locale.
#pragma once

#include "platform/text_folding.h"

namespace sirel {

class AsciiTextFolding final : public TextFolding {
 public:
  std::u16string Fold(std::u16string_view text) const override {
    std::u16string folded(text);
    for (char16_t& c : folded) {
      if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    }
    return folded;
  }
};

}  // namespace sirel
