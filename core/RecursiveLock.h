#pragma once

#include <mutex>

namespace torvane {

// The plug-in lock: one per instance, recursive, so that an operation running
// under it may take it again (a dispatcher request that serialises state, a
// hook called from a callback).
class RecursiveLock {
 public:
  RecursiveLock() noexcept = default;
  RecursiveLock(const RecursiveLock&) = delete;
  RecursiveLock& operator=(const RecursiveLock&) = delete;

  void Lock() noexcept { mutex_.lock(); }
  // False, without waiting, when another thread holds the lock.
  bool TryLock() noexcept { return mutex_.try_lock(); }
  void Unlock() noexcept { mutex_.unlock(); }

 private:
  std::recursive_mutex mutex_;
};

class ScopedLock {
 public:
  explicit ScopedLock(RecursiveLock& lock) noexcept : lock_(lock) { lock_.Lock(); }
  ~ScopedLock() { lock_.Unlock(); }
  ScopedLock(const ScopedLock&) = delete;
  ScopedLock& operator=(const ScopedLock&) = delete;

 private:
  RecursiveLock& lock_;
};

// Holds a lock that may not exist (null: nothing to hold).
class ScopedLockIfAny {
 public:
  explicit ScopedLockIfAny(RecursiveLock* lock) noexcept : lock_(lock) {
    if (lock_) lock_->Lock();
  }
  ~ScopedLockIfAny() {
    if (lock_) lock_->Unlock();
  }
  ScopedLockIfAny(const ScopedLockIfAny&) = delete;
  ScopedLockIfAny& operator=(const ScopedLockIfAny&) = delete;

 private:
  RecursiveLock* lock_;
};

}  // namespace torvane
