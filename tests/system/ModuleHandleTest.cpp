// The module this code is linked into, here the test program itself: its
// path, and on Windows the handle its resources are found in.
#include <gtest/gtest.h>

#include <string>

#include "system/ModuleHandle.h"

#ifdef _WIN32
#include "system/win/WindowsApi.h"
#else
#include <unistd.h>
#endif

namespace torvane {

TEST(ModuleHandle, PathIsThatOfTheModuleHoldingTheCode) {
  char path[4096];
  ASSERT_TRUE(ThisModulePath(path, sizeof path));
#ifdef _WIN32
  EXPECT_EQ(ThisModule(), GetModuleHandleA(nullptr));
  char expected[4096];
  ASSERT_GT(GetModuleFileNameA(nullptr, expected, sizeof expected), 0u);
#else
  EXPECT_EQ(ThisModule(), nullptr);  // the images are built into the code
  char expected[4096];
  const ssize_t length = readlink("/proc/self/exe", expected, sizeof expected - 1);
  ASSERT_GT(length, 0);
  expected[length] = '\0';
#endif
  EXPECT_EQ(std::string(path), std::string(expected));
  char tooSmall[4];
  EXPECT_FALSE(ThisModulePath(tooSmall, sizeof tooSmall));
  // In a program (rather than a plug-in) the program is the module.
  char program[4096];
  ASSERT_TRUE(ProgramPath(program, sizeof program));
  EXPECT_EQ(std::string(program), std::string(expected));
  EXPECT_FALSE(ProgramPath(tooSmall, sizeof tooSmall));
}

}  // namespace torvane
