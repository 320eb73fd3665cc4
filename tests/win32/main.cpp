// Runs the Win32 shell's tests with the Win32 platform installed, as the library installs it.
#include <windows.h>

#include <gtest/gtest.h>

#include "win32/native_platform.h"

int main(int argc, char** argv) {
  sirel::win32::InstallNativePlatform();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
