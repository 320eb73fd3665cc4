// The one platform a process runs the core on. The Win32 shell installs its services when the
// library loads; native tests and benchmarks install the in-memory ones. Installed once per
// process, before any poster is created, and never removed while posters or windows exist.
#pragma once

#include "platform/platform_services.h"

namespace sirel {

void InstallPlatform(PlatformServices* services);
PlatformServices& InstalledPlatform();

}  // namespace sirel
