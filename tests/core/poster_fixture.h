// Shared setup of the poster tests: a private in-memory platform and thread state per test, a
// sink that records every event and can run a handler inside it, and a peer that reaches the
// counter directly.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/errors.h"
#include "platform/memory/memory_platform.h"
#include "thread/thread_state.h"
#include "poster/poster.h"
#include "support/thrown_code.h"

namespace sirel {

using test_support::ThrownCode;

class PosterTestPeer {
 public:
  static void SetCounter(Poster& poster, std::int32_t value) { poster.counter_ = value; }
};

// One raised event with its by-value arguments; `flag` is MinPriority for the priority events.
struct EventRecord {
  EventId id;
  std::u16string text;
  std::int32_t first = 0;
  std::int32_t second = 0;
  VBool flag = kFalse;

  static EventRecord Of(EventId id, std::u16string text = {}, std::int32_t first = 0,
                        std::int32_t second = 0, VBool flag = kFalse) {
    EventRecord record;
    record.id = id;
    record.text = std::move(text);
    record.first = first;
    record.second = second;
    record.flag = flag;
    return record;
  }
};

class PosterEventRecorder : public PosterEvents {
 public:
  // Runs inside every event, after it is recorded. `cancel` is null for the After-events.
  std::function<void(const EventRecord&, VBool* cancel)> handler;
  std::vector<EventRecord> events;

  std::vector<EventId> Ids() const {
    std::vector<EventId> ids;
    for (const auto& e : events) ids.push_back(e.id);
    return ids;
  }

  void BeforeClear(VBool& cancel) override {
    Record(EventRecord::Of(EventId::BeforeClear), &cancel);
  }
  void AfterClear() override { Record(EventRecord::Of(EventId::AfterClear), nullptr); }
  void BeforeSirel(const std::u16string& text, std::int32_t priority, VBool& cancel) override {
    Record(EventRecord::Of(EventId::BeforeSirel, text, priority), &cancel);
  }
  void AfterSirel(const std::u16string& text, std::int32_t priority) override {
    Record(EventRecord::Of(EventId::AfterSirel, text, priority), nullptr);
  }
  void BeforeShow(VBool& cancel) override { Record(EventRecord::Of(EventId::BeforeShow), &cancel); }
  void BeforeHide(VBool& cancel) override { Record(EventRecord::Of(EventId::BeforeHide), &cancel); }
  void BeforePriorityChange(VBool minPriority, std::int32_t oldValue, std::int32_t newValue,
                            VBool& cancel) override {
    Record(EventRecord::Of(EventId::BeforePriorityChange, u"", oldValue, newValue, minPriority),
           &cancel);
  }
  void AfterPriorityChange(VBool minPriority, std::int32_t oldValue,
                           std::int32_t newValue) override {
    Record(EventRecord::Of(EventId::AfterPriorityChange, u"", oldValue, newValue, minPriority),
           nullptr);
  }
  void BeforeCounterReset(std::int32_t counterValue, VBool& cancel) override {
    Record(EventRecord::Of(EventId::BeforeCounterReset, u"", counterValue), &cancel);
  }

 private:
  void Record(const EventRecord& record, VBool* cancel) {
    events.push_back(record);
    if (handler) handler(record, cancel);
  }
};

// A handler that sets Cancel to `value` in every Before-event with the given id.
inline std::function<void(const EventRecord&, VBool*)> CancelWith(EventId id, VBool value) {
  return [id, value](const EventRecord& e, VBool* cancel) {
    if (e.id == id && cancel != nullptr) *cancel = value;
  };
}

class PosterTest : public ::testing::Test {
 protected:
  PosterTest() : thread_(platform_) {}

  // A created poster (Initialize run) with a recording sink connected.
  std::unique_ptr<Poster> MakePoster() {
    auto poster = std::make_unique<Poster>(thread_);
    poster->Initialize();
    poster->events().Connect(sink_);
    return poster;
  }

  MemoryMessageWindow& Window() {
    return static_cast<MemoryMessageWindow&>(thread_.ObtainWindow());
  }
  MemoryMessageList& List() { return Window().memoryList(); }
  MemoryWindowManager& Manager() { return platform_.ThreadWindowManager(); }

  std::vector<std::u16string> Lines() {
    std::vector<std::u16string> lines;
    for (std::int16_t i = 0; i < List().ListCount(); ++i) lines.push_back(List().LineText(i));
    return lines;
  }

  MemoryPlatform platform_;
  ThreadState thread_;
  std::shared_ptr<PosterEventRecorder> sink_ = std::make_shared<PosterEventRecorder>();
};

}  // namespace sirel
