#include "platform/memory/memory_message_list.h"

#include <algorithm>
#include <utility>

#include "core/current_line.h"
#include "core/errors.h"

namespace sirel {

void MemoryMessageList::CheckIndex(std::int16_t index) const {
  if (index < 0 || index >= count_) {
    throw SirelError(ErrorCode::InvalidIndex);
  }
}

void MemoryMessageList::AddItem(const std::u16string& text) {
  if (count_ >= kMaxLines) throw SirelError(ErrorCode::ListFull);
  if (fail_adds_) throw SirelError(ErrorCode::OutOfMemory);
  lines_.emplace_back(text);
  ++count_;
}

void MemoryMessageList::InsertItem(std::int16_t index, const std::u16string& text, VBool selected) {
  if (index < 0 || index > count_) throw SirelError(ErrorCode::InvalidIndex);
  if (count_ >= kMaxLines) throw SirelError(ErrorCode::ListFull);
  Line line(text);
  const bool on = IsExactlyTrue(selected);
  if (on) line.mark = epoch_;
  lines_.insert(lines_.begin() + index, std::move(line));
  ++count_;
  if (on) ++selected_count_;
  if (current_ >= index) ++current_;
}

void MemoryMessageList::RemoveItem(std::int16_t index) {
  CheckIndex(index);
  if (IsSelected(lines_[index])) --selected_count_;
  // Postings trimmed by a limit remove the oldest line; pop_front skips erase's general path.
  if (index == 0) {
    lines_.pop_front();
  } else {
    lines_.erase(lines_.begin() + index);
  }
  --count_;
  current_ = static_cast<std::int16_t>(
      CurrentLineAfterRemoval(current_, index < current_ ? 1 : 0, index == current_, count_));
}

MessageList::TakenLine MemoryMessageList::TakeItem(std::int16_t index) {
  CheckIndex(index);
  TakenLine taken{std::move(lines_[index].text), ToVBool(IsSelected(lines_[index]))};
  RemoveItem(index);
  return taken;
}

void MemoryMessageList::Clear() {
  lines_.clear();
  count_ = 0;
  ++epoch_;
  selected_count_ = 0;
  current_ = -1;
}

std::u16string MemoryMessageList::LineText(std::int16_t index) const {
  if (index == -1) return std::u16string();
  CheckIndex(index);
  return lines_[index].text;
}

VBool MemoryMessageList::Selected(std::int16_t index) const {
  CheckIndex(index);
  return ToVBool(IsSelected(lines_[index]));
}

std::int16_t MemoryMessageList::SelCount() const { return selected_count_; }

void MemoryMessageList::SelectOnly(std::int16_t index) {
  CheckIndex(index);
  // The written line becomes current and the only selected line.
  ++epoch_;
  lines_[index].mark = epoch_;
  selected_count_ = 1;
  current_ = index;
}

void MemoryMessageList::SetSelected(std::int16_t index, bool selected) {
  CheckIndex(index);
  if (IsSelected(lines_[index]) != selected) selected_count_ += selected ? 1 : -1;
  lines_[index].mark = selected ? epoch_ : 0;
}

void MemoryMessageList::RemoveSelected() {
  if (selected_count_ == 0) return;
  // The current line follows the removals as single RemoveItem calls would move it.
  if (current_ >= 0) {
    std::int16_t removedBefore = 0;
    for (std::int16_t i = 0; i < current_; ++i) removedBefore += IsSelected(lines_[i]) ? 1 : 0;
    current_ = static_cast<std::int16_t>(CurrentLineAfterRemoval(
        current_, removedBefore, IsSelected(lines_[current_]), count_ - selected_count_));
  }
  lines_.erase(std::remove_if(lines_.begin(), lines_.end(),
                              [this](const Line& line) { return IsSelected(line); }),
               lines_.end());
  count_ = static_cast<std::int16_t>(count_ - selected_count_);
  selected_count_ = 0;
}

}  // namespace sirel
