// The line that ctest and scripts/windows/smoke.sh look for comes only when every test passed.
#include <gmock/gmock.h>

#include <cstdio>

int main(int argc, char** argv) {
  testing::InitGoogleMock(&argc, argv);
  const int failed = RUN_ALL_TESTS();
  if (failed == 0) std::printf("windows smoke: passed\n");
  return failed;
}
