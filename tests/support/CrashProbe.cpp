// A program that crashes on purpose. The test suite runs it to prove that a
// crashing test program fails the run (natively and under Wine, where a crash
// could otherwise end with exit code 0 or hang on a debugger dialog).
#include <cstdio>

int main() {
  std::printf("crash probe armed\n");
  std::fflush(stdout);
  volatile int* nowhere = nullptr;
  *nowhere = 1;
  return 0;
}
