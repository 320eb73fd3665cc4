// The clipboard port: the two clipboard operations the copy commands use.
//
// Contract:
// - Clear() empties the clipboard of every format. Throws ClipboardOpen when another program
//   holds the clipboard open.
// - SetText(text) empties the clipboard and puts text on it as Unicode text (the platform
//   derives its narrow text formats from it, so no character is lost). Throws ClipboardOpen
//   when the clipboard cannot be opened, and ClipboardSet when the text cannot be placed; the
//   clipboard is then left empty.
#pragma once

#include <string>

namespace sirel {

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  virtual void Clear() = 0;
  virtual void SetText(const std::u16string& text) = 0;
};

}  // namespace sirel
