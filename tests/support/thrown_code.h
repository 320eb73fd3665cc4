// The one error-code matcher of the tests: ThrownCode(call) is the code of the SirelError the
// call throws; a call that throws nothing, or something else, fails the current test (and gives
// InvalidArgument, which no caller expects).
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "core/errors.h"

namespace sirel::test_support {

inline ErrorCode ThrownCode(const std::function<void()>& call) {
  try {
    call();
  } catch (const SirelError& error) {
    return error.code();
  } catch (...) {
    ADD_FAILURE() << "threw something other than a SirelError";
    return ErrorCode::InvalidArgument;
  }
  ADD_FAILURE() << "threw nothing";
  return ErrorCode::InvalidArgument;
}

}  // namespace sirel::test_support
