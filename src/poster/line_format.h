// Builds the line that a posting appends: optional counter and priority prefixes, each
// followed by ": ", then the text unchanged. Numbers as core/decimal_text.h writes them.
#pragma once

#include <cstdint>
#include <string>

namespace sirel {

std::u16string FormatLine(bool showCounter, std::int32_t counter, bool showPriority,
                          std::int32_t priority, const std::u16string& text);

}  // namespace sirel
