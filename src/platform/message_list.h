// The message list port: the ordered, multi-selection list of text lines that the message
// window shows. It is the only store of posted messages. Implementations: an in-memory model
// (platform/memory) and a real LISTBOX (win32/); both pass the same contract tests.
//
// Contract:
// - Indexes and counts are signed 16-bit. The list holds at most kMaxLines lines.
// - AddItem appends an unselected line; other lines, their flags and the current line are kept.
//   On a full list it throws ListFull and keeps every line.
// - RemoveItem(i) removes line i; later lines move up one index and keep their flags.
// - InsertItem(i, text, selected) undoes that: the line at index i (0..count), with the given
//   selected flag; later lines move down one index with their flags, and so does the current
//   line. On a full list it throws ListFull and keeps every line.
// - TakeItem(i) is RemoveItem(i) that also gives back the removed line's text and selected
//   flag, for InsertItem to put back. The default reads them first; a list that holds its
//   lines itself hands its own copy over.
// - LineText(-1) is the empty string.
// - An index outside 0..count-1 (or below -1 / above count-1 for LineText) throws InvalidIndex and
//   changes nothing.
// - SelectOnly(i) makes line i current and selected and scrolls it into view. Decision: it
//   also makes line i the only selected line, so each posting leaves exactly the newest line
//   selected (a posting that lands while the user holds a selection of several lines replaces
//   that selection with the new line, as any list whose current line is set programmatically).
// - RemoveSelected() leaves exactly what removing every selected line, from the last index
//   down to 0, one at a time would leave, but in linear time.
// - AppendLines(out, selectedOnly, lineEnd) appends to out the text of every line (only the
//   selected ones when selectedOnly), in index order, each followed by lineEnd: what reading
//   LineText (and Selected) for each index gives, which is what the default does. A list whose
//   per-line reads are costly reads them in one pass instead.
// - VisitLines(first, last, visit) calls visit(index, text) for the lines first to last, one
//   after the other (backward when first > last), until visit returns true, and returns that
//   index, or -1 when it never did. Both ends must be lines of the list (else InvalidIndex,
//   nothing visited). Like AppendLines, a list whose per-line reads are costly overrides it.
// - BeginUpdate()/EndUpdate() bracket the writes of one posting (pairs may nest; the outermost
//   pair counts). A list whose drawing is costly may hold back drawing between them and draw at
//   most once per frame; every read, inside or outside the bracket, sees every write at once.
//   The defaults do nothing.
// Lines are UTF-16 and kept exactly as added.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/vb_types.h"

namespace sirel {

class MessageList {
 public:
  static constexpr std::int16_t kMaxLines = 32767;

  virtual ~MessageList() = default;

  virtual void AddItem(const std::u16string& text) = 0;
  virtual void RemoveItem(std::int16_t index) = 0;
  virtual void InsertItem(std::int16_t index, const std::u16string& text, VBool selected) = 0;
  virtual void Clear() = 0;
  virtual std::int16_t ListCount() const = 0;
  virtual std::u16string LineText(std::int16_t index) const = 0;
  virtual VBool Selected(std::int16_t index) const = 0;
  virtual std::int16_t SelCount() const = 0;
  virtual void SelectOnly(std::int16_t index) = 0;
  virtual void RemoveSelected() = 0;

  struct TakenLine {
    std::u16string text;
    VBool selected = kFalse;
  };
  virtual TakenLine TakeItem(std::int16_t index) {
    TakenLine taken{LineText(index), Selected(index)};
    RemoveItem(index);
    return taken;
  }

  virtual void BeginUpdate() {}
  virtual void EndUpdate() {}

  using LineVisitor = std::function<bool(std::int16_t index, std::u16string_view text)>;
  virtual std::int16_t VisitLines(std::int16_t first, std::int16_t last,
                                  const LineVisitor& visit) const {
    (void)LineText(first);  // both ends checked before anything is visited
    (void)LineText(last);
    const int step = first <= last ? 1 : -1;
    for (int i = first;; i += step) {
      const auto index = static_cast<std::int16_t>(i);
      if (visit(index, LineText(index))) return index;
      if (i == last) return -1;
    }
  }

  virtual void AppendLines(std::u16string& out, bool selectedOnly,
                           std::u16string_view lineEnd) const {
    const std::int16_t count = ListCount();
    for (std::int16_t i = 0; i < count; ++i) {
      if (selectedOnly && !IsExactlyTrue(Selected(i))) continue;
      out += LineText(i);
      out += lineEnd;
    }
  }
};

// Brackets a scope's writes with BeginUpdate and EndUpdate, also when the scope throws.
class ListUpdate {
 public:
  explicit ListUpdate(MessageList& list) : list_(list) { list_.BeginUpdate(); }
  ~ListUpdate() { list_.EndUpdate(); }
  ListUpdate(const ListUpdate&) = delete;
  ListUpdate& operator=(const ListUpdate&) = delete;

 private:
  MessageList& list_;
};

}  // namespace sirel
