// An in-memory message list with the contract of MessageList (platform/message_list.h).
// Lines live in a deque, so removing the oldest line of a full list costs O(1).
#pragma once

#include <deque>

#include "platform/message_list.h"

namespace sirel {

class MemoryMessageList final : public MessageList {
 public:
  void AddItem(const std::u16string& text) override;
  void RemoveItem(std::int16_t index) override;
  TakenLine TakeItem(std::int16_t index) override;
  void InsertItem(std::int16_t index, const std::u16string& text, VBool selected) override;
  void Clear() override;
  std::int16_t ListCount() const override { return count_; }
  std::u16string LineText(std::int16_t index) const override;
  VBool Selected(std::int16_t index) const override;
  std::int16_t SelCount() const override;
  void SelectOnly(std::int16_t index) override;
  void RemoveSelected() override;

  // The current line, or -1; not part of the port (callers never read it), kept for tests.
  std::int16_t ListIndex() const { return current_; }
  // Sets one line's selected flag as a user's click would; not part of the port.
  void SetSelected(std::int16_t index, bool selected);
  // While set, AddItem fails with OutOfMemory, as a control out of memory would; not part of
  // the port.
  void FailAdds(bool fail) { fail_adds_ = fail; }

 private:
  // A line is selected when its mark equals the list's current selection epoch, so clearing
  // every selection is one increment instead of a walk over all lines.
  struct Line {
    explicit Line(const std::u16string& added) : text(added) {}
    std::u16string text;
    std::uint64_t mark = 0;
  };
  void CheckIndex(std::int16_t index) const;
  bool IsSelected(const Line& line) const { return line.mark == epoch_; }

  std::deque<Line> lines_;
  // The deque's size, kept so that the hot path does no deque arithmetic to learn it.
  std::int16_t count_ = 0;
  std::uint64_t epoch_ = 1;
  std::int16_t selected_count_ = 0;
  std::int16_t current_ = -1;
  bool fail_adds_ = false;
};

}  // namespace sirel
