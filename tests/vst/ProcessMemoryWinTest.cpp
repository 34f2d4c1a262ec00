// The Windows DLL through a host's loading and closing of instances: a few
// hundred sessions leave the process's private memory where it was. Leaks in
// the shared code are LeakSanitizer's on Linux; this covers what only the
// Windows build has: its C and C++ runtimes, resources and system objects.
#include "system/win/WindowsApi.h"

#include <psapi.h>

#include <gtest/gtest.h>

#include "HostSession.h"

namespace torvane {

namespace {
constexpr int kWarmUpSessions = 20;
constexpr int kSessions = 300;
// Heap bookkeeping moves a little between two readings; one instance lost
// per session would add many megabytes.
constexpr SIZE_T kTolerance = 1024 * 1024;

// The process's committed private memory (the commit charge, which Wine
// reports here and leaves PrivateUsage at 0).
SIZE_T PrivateBytes() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof(counters);
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
  return counters.PagefileUsage;
}
}  // namespace

TEST(ProcessMemory, SessionsWithTheDllLeaveThePrivateMemoryWhereItWas) {
  PluginLibrary library;
  ASSERT_TRUE(library.Load(TORVANE_PLUGIN_PATH)) << library.Error();
  // The first sessions fill process-wide caches and the heap's free lists.
  for (int i = 0; i < kWarmUpSessions; ++i) ASSERT_TRUE(PlayShortSession(library, i));
  const SIZE_T before = PrivateBytes();
  ASSERT_GT(before, 0u);
  for (int i = 0; i < kSessions; ++i) ASSERT_TRUE(PlayShortSession(library, i));
  const SIZE_T after = PrivateBytes();
  EXPECT_LT(after, before + kTolerance) << "private bytes before " << before << ", after " << after;
}

}  // namespace torvane
