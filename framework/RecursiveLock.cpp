#include "framework/RecursiveLock.h"

#include <new>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
using PlatformLock = CRITICAL_SECTION;
#else
#include <mutex>
using PlatformLock = std::recursive_mutex;
#endif

namespace {
PlatformLock& Get(unsigned char* storage) { return *std::launder(reinterpret_cast<PlatformLock*>(storage)); }
}  // namespace

static_assert(sizeof(PlatformLock) <= 64 && alignof(PlatformLock) <= 16, "lock storage too small");

#ifdef _WIN32
RecursiveLock::RecursiveLock() noexcept { InitializeCriticalSection(new (storage_) CRITICAL_SECTION); }
RecursiveLock::~RecursiveLock() { DeleteCriticalSection(&Get(storage_)); }
void RecursiveLock::Lock() noexcept { EnterCriticalSection(&Get(storage_)); }
void RecursiveLock::Unlock() noexcept { LeaveCriticalSection(&Get(storage_)); }
#else
RecursiveLock::RecursiveLock() noexcept { new (storage_) std::recursive_mutex; }
RecursiveLock::~RecursiveLock() { Get(storage_).~recursive_mutex(); }
void RecursiveLock::Lock() noexcept { Get(storage_).lock(); }
void RecursiveLock::Unlock() noexcept { Get(storage_).unlock(); }
#endif
