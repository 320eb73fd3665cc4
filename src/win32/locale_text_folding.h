// The text-folding port on LCMapStringEx: lower case by the user's locale, with linguistic
// casing (so that, for example, a Turkish user's dotted and dotless i fold as they expect).
// One call per text; a text the call cannot map is compared as it is.
#pragma once

#include "platform/text_folding.h"

namespace sirel::win32 {

class LocaleTextFolding final : public TextFolding {
 public:
  std::u16string Fold(std::u16string_view text) const override;
};

}  // namespace sirel::win32
