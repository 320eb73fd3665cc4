// Sireler's logic: one poster's settings, priority filter, counter and events, posting into the
// thread's shared message list, list and counter maintenance, and control of the thread's
// message window. Portable: it reaches the platform only through the ports of platform/.
//
// Every member either succeeds or throws SirelError with the error of the first step that
// failed; the automation shell turns that into the call's HRESULT. Event handlers run
// re-entrantly inside the member that raised them and may call any member of this or another
// poster; the members read fields and the list afresh after every raise, so nothing dangles.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "thread/thread_state.h"
#include "core/vb_types.h"
#include "poster/event_source.h"
#include "poster/window_argument.h"

namespace sirel {

class Poster {
 public:
  static constexpr std::int32_t kDefaultMaxPriority = 9999999;
  static constexpr std::int32_t kOmittedPriority = -1;

  // Makes a poster with every field zero. Initialize() runs the creation steps.
  explicit Poster(ThreadState& thread);
  Poster(const Poster&) = delete;
  Poster& operator=(const Poster&) = delete;

  // Creation: defaults, attach the thread's window to the foreground window, ReturnFocus on.
  // Throws the error of the attaching step; the poster must then be discarded.
  void Initialize();

  EventSource& events() { return events_; }

  // Settings that only store and return their field.
  VBool ShowCounter() const { return show_counter_; }
  void SetShowCounter(VBool value) { show_counter_ = value; }
  VBool ShowPriority() const { return show_priority_; }
  void SetShowPriority(VBool value) { show_priority_ = value; }
  std::int32_t MaxListCount() const { return max_list_count_; }
  void SetMaxListCount(std::int32_t value) { max_list_count_ = value; }
  VBool ReturnFocus() const { return return_focus_; }
  void SetReturnFocus(VBool value) { return_focus_ = value; }
  VBool EnableEvents() const { return enable_events_; }
  void SetEnableEvents(VBool value) { enable_events_ = value; }

  // Priority bounds: negative values are ignored; a change raises BeforePriorityChange
  // (cancelled only by exactly -1) and AfterPriorityChange.
  std::int32_t MinPriority() const { return min_priority_; }
  void SetMinPriority(std::int32_t value);
  std::int32_t MaxPriority() const { return max_priority_; }
  void SetMaxPriority(std::int32_t value);

  // Posting.
  void DoSirel(const std::u16string& text, std::int32_t priority = kOmittedPriority);
  std::int32_t Counter() const { return counter_; }
  WindowHandle SavedActiveWindow() const { return saved_active_window_; }

  // List and counter maintenance.
  std::int32_t Count();
  std::u16string LastMessage();
  void ClearList();
  void DeleteSelectedMessages();
  void ResetCounter();

  // Window placement, visibility and parenting.
  float Top();
  float Left();
  WindowHandle Hwnd();
  std::u16string Caption();
  void SetCaption(const std::u16string& caption);
  void SetLocation(float top, float left);
  VBool FormVisible() const { return visible_; }
  void SetFormVisible(VBool value);
  void SetParentWindow(const WindowArgument& window);

 private:
  // Lets tests put the counter next to its overflow, which no member can reach quickly.
  friend class PosterTestPeer;

  bool EventsOn() const { return IsExactlyTrue(enable_events_); }
  bool PassesFilter(std::int32_t priority) const;
  void ChangeBound(bool lower, std::int32_t value);
  template <class Call>
  void Raise(Call&& call) {
    events_.RaiseToAll(std::forward<Call>(call));
  }

  ThreadState& thread_;
  EventSource events_;

  // Fields, in their documented order.
  VBool enable_events_ = kFalse;
  VBool visible_ = kFalse;
  WindowHandle saved_active_window_ = 0;
  VBool return_focus_ = kFalse;
  VBool show_counter_ = kFalse;
  VBool show_priority_ = kFalse;
  std::int32_t counter_ = 0;
  std::int32_t max_list_count_ = 0;
  std::int32_t min_priority_ = 0;
  std::int32_t max_priority_ = 0;
};

}  // namespace sirel
