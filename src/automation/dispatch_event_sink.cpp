#include "dispatch_event_sink.h"

#include <oleauto.h>

#include <iterator>

#include "bstr.h"
#include "sirel_ids.h"
#include "win32/unique_resource.h"

namespace sirel::automation {

namespace {

// The core numbers its events as the type library does; the build reads those from Sirel.idl.
#define SIREL_SAME_EVENT_ID(name) \
  static_assert(static_cast<long>(EventId::name) == event_dispid::name, #name " has the IDL's DISPID")
SIREL_SAME_EVENT_ID(BeforeClear);
SIREL_SAME_EVENT_ID(AfterClear);
SIREL_SAME_EVENT_ID(BeforeSirel);
SIREL_SAME_EVENT_ID(AfterSirel);
SIREL_SAME_EVENT_ID(BeforeShow);
SIREL_SAME_EVENT_ID(BeforeHide);
SIREL_SAME_EVENT_ID(BeforePriorityChange);
SIREL_SAME_EVENT_ID(AfterPriorityChange);
SIREL_SAME_EVENT_ID(BeforeCounterReset);
#undef SIREL_SAME_EVENT_ID
static_assert(std::size(kEventDescriptions) == 9, "nine events");

static_assert(sizeof(VBool) == sizeof(VARIANT_BOOL), "Cancel is a 16-bit automation Boolean");

constexpr UINT kMaxEventArgs = 4;

// The arguments of one event call, added in declared order and laid out last-first.
class EventArguments {
 public:
  explicit EventArguments(UINT count) : count_(count) {}
  ~EventArguments() {
    for (UINT i = 0; i < count_; ++i) VariantClear(&args_[i]);
  }
  EventArguments(const EventArguments&) = delete;
  EventArguments& operator=(const EventArguments&) = delete;

  EventArguments& Long(std::int32_t value) {
    VARIANTARG& arg = Next();
    V_VT(&arg) = VT_I4;
    V_I4(&arg) = value;
    return *this;
  }
  EventArguments& Bool(VBool value) {
    VARIANTARG& arg = Next();
    V_VT(&arg) = VT_BOOL;
    V_BOOL(&arg) = value;
    return *this;
  }
  EventArguments& Text(const std::u16string& text) {
    BSTR value = ToBstr(text);
    VARIANTARG& arg = Next();
    V_VT(&arg) = VT_BSTR;
    V_BSTR(&arg) = value;
    return *this;
  }
  EventArguments& Cancel(VBool& flag) {
    VARIANTARG& arg = Next();
    V_VT(&arg) = VT_BOOL | VT_BYREF;
    V_BOOLREF(&arg) = reinterpret_cast<VARIANT_BOOL*>(&flag);
    return *this;
  }

  DISPPARAMS Params() { return DISPPARAMS{count_ > 0 ? args_ : nullptr, nullptr, count_, 0}; }

 private:
  VARIANTARG& Next() {
    VARIANTARG& arg = args_[count_ - 1 - added_++];
    VariantInit(&arg);
    return arg;
  }

  VARIANTARG args_[kMaxEventArgs]{};
  UINT count_;
  UINT added_ = 0;
};

void Fire(IDispatch* sink, EventId id, EventArguments& arguments) {
  DISPPARAMS params = arguments.Params();
  win32::UniqueVariant result;
  EXCEPINFO exception{};
  UINT argumentError = 0;
  // The sink's status is deliberately ignored: one failing handler must not silence the rest.
  sink->Invoke(static_cast<DISPID>(id), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
               result.get(), &exception, &argumentError);
  // What the handler's exception left is freed with the call.
  win32::UniqueBstr source(exception.bstrSource);
  win32::UniqueBstr description(exception.bstrDescription);
  win32::UniqueBstr helpFile(exception.bstrHelpFile);
}

}  // namespace

void DispatchEventSink::BeforeClear(VBool& cancel) {
  EventArguments args(1);
  args.Cancel(cancel);
  Fire(sink_.Get(), EventId::BeforeClear, args);
}

void DispatchEventSink::AfterClear() {
  EventArguments args(0);
  Fire(sink_.Get(), EventId::AfterClear, args);
}

void DispatchEventSink::BeforeSirel(const std::u16string& text, std::int32_t priority,
                                    VBool& cancel) {
  EventArguments args(3);
  args.Text(text).Long(priority).Cancel(cancel);
  Fire(sink_.Get(), EventId::BeforeSirel, args);
}

void DispatchEventSink::AfterSirel(const std::u16string& text, std::int32_t priority) {
  EventArguments args(2);
  args.Text(text).Long(priority);
  Fire(sink_.Get(), EventId::AfterSirel, args);
}

void DispatchEventSink::BeforeShow(VBool& cancel) {
  EventArguments args(1);
  args.Cancel(cancel);
  Fire(sink_.Get(), EventId::BeforeShow, args);
}

void DispatchEventSink::BeforeHide(VBool& cancel) {
  EventArguments args(1);
  args.Cancel(cancel);
  Fire(sink_.Get(), EventId::BeforeHide, args);
}

void DispatchEventSink::BeforePriorityChange(VBool minPriority, std::int32_t oldValue,
                                             std::int32_t newValue, VBool& cancel) {
  EventArguments args(4);
  args.Bool(minPriority).Long(oldValue).Long(newValue).Cancel(cancel);
  Fire(sink_.Get(), EventId::BeforePriorityChange, args);
}

void DispatchEventSink::AfterPriorityChange(VBool minPriority, std::int32_t oldValue,
                                            std::int32_t newValue) {
  EventArguments args(3);
  args.Bool(minPriority).Long(oldValue).Long(newValue);
  Fire(sink_.Get(), EventId::AfterPriorityChange, args);
}

void DispatchEventSink::BeforeCounterReset(std::int32_t counterValue, VBool& cancel) {
  EventArguments args(2);
  args.Long(counterValue).Cancel(cancel);
  Fire(sink_.Get(), EventId::BeforeCounterReset, args);
}

}  // namespace sirel::automation
