// Automation value types shared by the core and the shells.
// Booleans are 16-bit with true = -1 and false = 0; a switch counts as on only at exactly -1.
// Window handles cross every interface as 32-bit values; 0 means "no window".
#pragma once

#include <cstdint>

namespace sirel {

using VBool = std::int16_t;
constexpr VBool kTrue = -1;
constexpr VBool kFalse = 0;

// The strict reading of a stored switch: only -1 is on.
constexpr bool IsExactlyTrue(VBool value) { return value == kTrue; }

constexpr VBool ToVBool(bool value) { return value ? kTrue : kFalse; }

using WindowHandle = std::int32_t;

}  // namespace sirel
