#include "window/twip_scale.h"

#include <cmath>

#include "core/errors.h"

namespace sirel {

namespace {
constexpr double kTwipsPerInch = 1440.0;
// Window coordinates beyond this are refused by the window system anyway.
constexpr double kMaxPixels = 1 << 30;
}  // namespace

float TwipScale::ToTwips(int pixels) const {
  return static_cast<float>(static_cast<double>(pixels) * kTwipsPerInch / dpi_);
}

int TwipScale::ToPixels(float twips) const {
  const double pixels = std::nearbyint(static_cast<double>(twips) * dpi_ / kTwipsPerInch);
  if (!(pixels >= -kMaxPixels && pixels <= kMaxPixels)) throw SirelError(ErrorCode::Overflow);
  return static_cast<int>(pixels);
}

}  // namespace sirel
