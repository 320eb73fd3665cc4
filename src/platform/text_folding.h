// The text-folding port: turns text into a form in which comparing, and looking for one text
// inside another, disregards case. The find in the message window folds what the person typed
// once and each line once as it reads it, then searches the folded texts plainly.
//
// Contract: Fold(a) == Fold(b) when a and b differ only in case, in the platform's sense of
// case; Fold keeps every character that has no case as it is (NULs included), so a folded
// needle occurs in a folded line exactly where the needle occurs without regard to case.
#pragma once

#include <string>
#include <string_view>

namespace sirel {

class TextFolding {
 public:
  virtual ~TextFolding() = default;
  virtual std::u16string Fold(std::u16string_view text) const = 0;
};

}  // namespace sirel
