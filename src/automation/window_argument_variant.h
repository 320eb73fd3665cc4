// Reads the Variant that a client passes to SetParentWindow as the core's WindowArgument:
//   - numbers of every kind, Booleans and Empty are numeric (Empty reads as 0);
//   - a string is numeric when the automation conversion to a double accepts it
//     ("123", " -5 ", "&H10"), and text otherwise;
//   - any other value (a date, an object's default value) is converted to a string and read as
//     a string is; Null fails with "Invalid use of Null", a value that cannot be converted with
//     "Type mismatch".
// Values passed by reference are read through the reference.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "poster/window_argument.h"

namespace sirel::automation {

WindowArgument WindowArgumentFromVariant(const VARIANT& value);

}  // namespace sirel::automation
