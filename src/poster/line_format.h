// Builds the line that a posting appends: optional counter and priority prefixes, each
// followed by ": ", then the text unchanged. Numbers in plain decimal, minus sign for negatives.
#pragma once

#include <cstdint>
#include <string>

namespace sirel {

std::u16string FormatLine(bool showCounter, std::int32_t counter, bool showPriority,
                          std::int32_t priority, const std::u16string& text);

// Plain decimal text of a 32-bit value ("-12", "0", "2147483647").
std::u16string DecimalText(std::int32_t value);

}  // namespace sirel
