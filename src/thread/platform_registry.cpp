#include "thread/platform_registry.h"

#include <cassert>

namespace sirel {

namespace {
PlatformServices* g_platform = nullptr;
}  // namespace

void InstallPlatform(PlatformServices* services) { g_platform = services; }

PlatformServices& InstalledPlatform() {
  assert(g_platform != nullptr && "InstallPlatform must run before the first poster");
  return *g_platform;
}

}  // namespace sirel
