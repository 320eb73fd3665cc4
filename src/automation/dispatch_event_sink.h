// Carries a poster's events to one connected automation sink. Each event becomes a call of the
// sink's IDispatch::Invoke with the event's DISPID as a method call, the arguments last-first:
// by-value ones as variants of their declared types (VT_I4, VT_BSTR, VT_BOOL), Cancel as
// VT_BOOL|VT_BYREF referring to the raising operation's own flag, so that the poster reads back
// what the handler assigned. What the sink returns is ignored: a failing sink does not stop
// the raise, the poster's other sinks still hear the event.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

#include "poster/poster_events.h"

namespace sirel::automation {

class DispatchEventSink final : public PosterEvents {
 public:
  explicit DispatchEventSink(Microsoft::WRL::ComPtr<IDispatch> sink) : sink_(std::move(sink)) {}

  void BeforeClear(VBool& cancel) override;
  void AfterClear() override;
  void BeforeSirel(const std::u16string& text, std::int32_t priority, VBool& cancel) override;
  void AfterSirel(const std::u16string& text, std::int32_t priority) override;
  void BeforeShow(VBool& cancel) override;
  void BeforeHide(VBool& cancel) override;
  void BeforePriorityChange(VBool minPriority, std::int32_t oldValue, std::int32_t newValue,
                            VBool& cancel) override;
  void AfterPriorityChange(VBool minPriority, std::int32_t oldValue,
                           std::int32_t newValue) override;
  void BeforeCounterReset(std::int32_t counterValue, VBool& cancel) override;

 private:
  Microsoft::WRL::ComPtr<IDispatch> sink_;
};

}  // namespace sirel::automation
