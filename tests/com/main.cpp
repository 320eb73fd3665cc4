// The COM tests run on a single-threaded apartment main thread, as a script host or an Office
// application calls the component. "--unload-check" runs the unload check alone, in a fresh
// process (see class_factory_test.cpp).
#include <objbase.h>

#include <gtest/gtest.h>

#include <cstring>

namespace sirel::test {
int RunUnloadCheck();
}

int main(int argc, char** argv) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  int status = 0;
  if (argc == 2 && std::strcmp(argv[1], "--unload-check") == 0) {
    status = sirel::test::RunUnloadCheck();
  } else {
    testing::InitGoogleTest(&argc, argv);
    status = RUN_ALL_TESTS();
  }
  CoUninitialize();
  return status;
}
