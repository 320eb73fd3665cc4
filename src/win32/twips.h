// Conversion between twips (the unit of the window's positions and sizes: 1440 per inch) and
// pixels at the display's real resolution: twips per pixel = 1440 / DPI (15 at 96 DPI).
#pragma once

namespace sirel::win32 {

class TwipScale {
 public:
  explicit TwipScale(int dpi) : dpi_(dpi > 0 ? dpi : 96) {}
  // The scale of the screen, from its logical pixels per inch (LOGPIXELSX).
  static TwipScale ForScreen();

  int dpi() const { return dpi_; }
  float ToTwips(int pixels) const;
  // The nearest pixel; a value that is not a number or beyond the pixel range is an Overflow.
  int ToPixels(float twips) const;

 private:
  int dpi_;
};

}  // namespace sirel::win32
