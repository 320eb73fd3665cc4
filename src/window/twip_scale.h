// Conversion between twips (the unit of the window's positions and sizes: 1440 per inch) and
// pixels at one DPI: twips per pixel = 1440 / DPI (15 at 96 DPI). The one conversion the
// window's layout, its placement and its margins use; the DPI is the window's own (it follows
// the monitor the window is on), so a window moved to another monitor converts at another DPI.
#pragma once

namespace sirel {

class TwipScale {
 public:
  explicit TwipScale(int dpi) : dpi_(dpi > 0 ? dpi : 96) {}

  int dpi() const { return dpi_; }
  float ToTwips(int pixels) const;
  // The nearest pixel; a value that is not a number or beyond the pixel range is an Overflow.
  int ToPixels(float twips) const;
  // A length of `pixels` at `from`'s DPI, in pixels at this DPI (the same twips, rounded).
  int FromPixelsAt(const TwipScale& from, int pixels) const {
    return ToPixels(from.ToTwips(pixels));
  }

 private:
  int dpi_;
};

}  // namespace sirel
