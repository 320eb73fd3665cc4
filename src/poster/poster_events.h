// The nine events a poster raises, as a sink interface. A sink overrides the events it
// handles; the others do nothing. Cancel is the raising operation's own 16-bit flag, passed by
// reference so that the poster reads back what a handler assigned. The numbering of EventId is
// the events' dispatch identifiers (the COM shell checks them against Sirel.idl when it builds).
#pragma once

#include <cstdint>
#include <string>

#include "core/vb_types.h"

namespace sirel {

enum class EventId : std::int32_t {
  BeforeClear = 1,
  AfterClear = 2,
  BeforeSirel = 3,
  AfterSirel = 4,
  BeforeShow = 5,
  BeforeHide = 6,
  BeforePriorityChange = 7,
  AfterPriorityChange = 8,
  BeforeCounterReset = 9,
};

class PosterEvents {
 public:
  virtual ~PosterEvents() = default;

  virtual void BeforeClear(VBool& /*cancel*/) {}
  virtual void AfterClear() {}
  virtual void BeforeSirel(const std::u16string& /*text*/, std::int32_t /*priority*/,
                           VBool& /*cancel*/) {}
  virtual void AfterSirel(const std::u16string& /*text*/, std::int32_t /*priority*/) {}
  virtual void BeforeShow(VBool& /*cancel*/) {}
  virtual void BeforeHide(VBool& /*cancel*/) {}
  virtual void BeforePriorityChange(VBool /*minPriority*/, std::int32_t /*oldValue*/,
                                    std::int32_t /*newValue*/, VBool& /*cancel*/) {}
  virtual void AfterPriorityChange(VBool /*minPriority*/, std::int32_t /*oldValue*/,
                                   std::int32_t /*newValue*/) {}
  virtual void BeforeCounterReset(std::int32_t /*counterValue*/, VBool& /*cancel*/) {}
};

}  // namespace sirel
