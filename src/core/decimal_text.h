// Numbers as the component writes them in text: plain decimal, a minus sign for negatives, no
// leading zeros, spaces or digit grouping ("-12", "0", "2147483647").
#pragma once

#include <cstdint>
#include <string>

namespace sirel {

std::u16string DecimalText(std::int32_t value);

}  // namespace sirel
