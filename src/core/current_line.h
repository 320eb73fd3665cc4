// Where a list's current line goes when lines are removed, the one rule both message lists
// (platform/memory and win32/) follow, for one removal and for many at once: it keeps its line
// and moves up by the number of lines removed ahead of it; when its own line was removed it
// stays at that place, or goes to the new last line when the place is gone; an empty list has
// no current line (-1). A list without a current line (-1) keeps none.
#pragma once

namespace sirel {

// current: the current line before the removal (-1: none); removedBefore: how many removed lines
// stood ahead of it; currentRemoved: whether its own line was removed; remaining: the new count.
constexpr int CurrentLineAfterRemoval(int current, int removedBefore, bool currentRemoved,
                                      int remaining) {
  if (current < 0 || remaining == 0) return -1;
  const int moved = current - removedBefore;
  return currentRemoved && moved >= remaining ? remaining - 1 : moved;
}

}  // namespace sirel
