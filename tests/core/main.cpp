// Runs the core tests with the in-memory platform installed for ThreadState::Current().
#include <gtest/gtest.h>

#include "thread/platform_registry.h"
#include "platform/memory/memory_platform.h"

int main(int argc, char** argv) {
  static sirel::MemoryPlatform platform;
  sirel::InstallPlatform(&platform);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
