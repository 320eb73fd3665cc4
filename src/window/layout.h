// The message window's layout arithmetic, in single-precision twips. The load step captures two
// margins from the window's and the list's design sizes; the layout step then sizes the list
// from the window's outer size on every size change. The list never moves; only its size does.
//
// Rule of the layout step: the width is computed and applied first, then the height. A size
// that would be negative is never applied, and a rejected width skips the height too, so a
// window made smaller than its margins keeps the list (and its lines) as it was.
//
// After a change of the window's DPI the margins are taken again: the frame's part of each
// (borders and caption, whose size in pixels does not follow the DPI linearly) is measured anew;
// the rest (the design gap between the client area and the list, plus 20) stays in twips.
#pragma once

namespace sirel {

struct LayoutMargins {
  float width = 0;   // WidthMargin: window outer width - list width + 20
  float height = 0;  // HeightMargin: window outer height - list height + 20
};

// The frame's size around the client area (outer size - client size), in twips.
struct FrameSize {
  float width = 0;
  float height = 0;
};

// The gap, in twips, that the load step adds to each margin.
inline constexpr float kLayoutGapTwips = 20.0f;

// The load step: margins from the window's outer size and the list's size as loaded.
LayoutMargins CaptureMargins(float windowWidth, float windowHeight, float listWidth,
                             float listHeight);

// The margins for a window whose frame is now `frameNow`, from those captured at load with the
// frame `frameAtLoad`: each margin changes by as much as the frame did.
LayoutMargins RetakeMargins(const LayoutMargins& atLoad, const FrameSize& frameAtLoad,
                            const FrameSize& frameNow);

// What one layout step applies to the list. A size that is not applied keeps its old value.
struct ListSizeChange {
  bool applyWidth = false;
  float width = 0;
  bool applyHeight = false;
  float height = 0;
};

// The layout step for a window of the given outer size.
ListSizeChange LayOutList(float windowWidth, float windowHeight, const LayoutMargins& margins);

}  // namespace sirel
