#pragma once

// The plug-in lock: one per instance, recursive, so that an operation running
// under it may take it again (a dispatcher request that serialises state, a
// hook called from a callback). A critical section on Windows, a recursive
// mutex elsewhere.
class RecursiveLock {
 public:
  RecursiveLock() noexcept;
  ~RecursiveLock();
  RecursiveLock(const RecursiveLock&) = delete;
  RecursiveLock& operator=(const RecursiveLock&) = delete;

  void Lock() noexcept;
  void Unlock() noexcept;

 private:
  // Room for the platform's lock object, constructed in place.
  alignas(16) unsigned char storage_[64];
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
