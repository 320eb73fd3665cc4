#include "window/layout.h"

namespace sirel {

LayoutMargins CaptureMargins(float windowWidth, float windowHeight, float listWidth,
                             float listHeight) {
  LayoutMargins margins;
  margins.width = windowWidth - listWidth + kLayoutGapTwips;
  margins.height = windowHeight - listHeight + kLayoutGapTwips;
  return margins;
}

LayoutMargins RetakeMargins(const LayoutMargins& atLoad, const FrameSize& frameAtLoad,
                            const FrameSize& frameNow) {
  LayoutMargins margins;
  margins.width = atLoad.width + (frameNow.width - frameAtLoad.width);
  margins.height = atLoad.height + (frameNow.height - frameAtLoad.height);
  return margins;
}

ListSizeChange LayOutList(float windowWidth, float windowHeight, const LayoutMargins& margins) {
  ListSizeChange change;
  const float width = windowWidth - margins.width;
  // A rejected width ends the step: the height keeps its value as well.
  if (!(width >= 0)) return change;
  change.applyWidth = true;
  change.width = width;
  const float height = windowHeight - margins.height;
  if (!(height >= 0)) return change;
  change.applyHeight = true;
  change.height = height;
  return change;
}

}  // namespace sirel
