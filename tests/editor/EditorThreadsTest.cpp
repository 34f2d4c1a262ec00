// The editor between threads: values pushed from host and audio threads while
// the window thread paints and renumbers (run under ThreadSanitizer by the
// test command), and gestures that tell a host which locks in its callbacks.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "EditorTestDoubles.h"
#include "editor/IBitmapControl.h"
#include "editor/IFaderControl.h"
#include "editor/IHBiDirMeterControl.h"
#include "editor/TextEntry.h"
#include "effect/Torvane.h"

namespace torvane {

namespace {

constexpr int kBackdropId = 9401;
constexpr int kHandleId = 9402;
constexpr int kMeters = 8;

void AddImages() {
  ResetTestImages();
  AddTestImage(kBackdropId, 300, 200, [](int x, int y) { return 0xFF000000u | (x * 7 + y); });
  AddTestImage(kHandleId, 22, 40, [](int, int) { return 0xFFFFFFFFu; });
}

}  // namespace

TEST(EditorThreads, ValuesFromHostAndAudioThreadsMeetPaintingAndRenumbering) {
  AddImages();
  RecordingEffect effect;
  auto owned = std::make_unique<TestGraphics>(effect);
  TestGraphics* graphics = owned.get();
  graphics->AttachBackdrop(kBackdropId, "test/backdrop.png");
  IImageStrip& handle = graphics->LoadImageStrip(kHandleId, "test/handle.png", 1);
  IControl* faders[4];
  for (int p = 0; p < 4; ++p) {
    auto fader = std::make_unique<IFaderControl>(&effect, 10 + 30 * p, 10, 100, p, handle);
    faders[p] = fader.get();
    graphics->AddControl(std::move(fader));
  }
  graphics->AddControl(std::make_unique<TextEntry>(&effect, IBounds{10, 120, 60, 134}, ITextStyle{}, 0));
  const std::atomic<int>* meterIndex[kMeters];
  IControl* meters[kMeters];
  for (int k = 0; k < kMeters; ++k) {
    auto meter = std::make_unique<IHBiDirMeterControl>(&effect, IBounds{150, 10 + 8 * k, 290, 16 + 8 * k});
    meter->SetColours({150, 50, 255, 50}, {150, 255, 50, 50});
    meters[k] = meter.get();
    meterIndex[k] = &graphics->AddControl(std::move(meter));
  }
  effect.AttachEditor(std::move(owned));

  constexpr int kRounds = 4000;
  std::atomic<int> misdelivered{0};
  std::thread host([&] {
    for (int i = 0; i < kRounds; ++i) {
      ScopedLock lock(effect.Lock());
      const int p = i % 4;
      effect.GetParameter(p)->SetFromPosition((i % 101) / 100.0);
      effect.OnParameterChange(p);
    }
  });
  std::thread audio([&] {
    for (int i = 0; i < kRounds; ++i) {
      ScopedLock lock(effect.Lock());
      for (int k = 0; k < kMeters; ++k) {
        const int index = meterIndex[k]->load();
        if (graphics->GetControl(index) != meters[k]) ++misdelivered;
        effect.Editor()->SetControlValueFromEffect(index, ((i + k) % 100) / 99.0);
      }
    }
  });
  for (int pass = 0; pass < 300; ++pass) {
    IBounds area;
    graphics->CollectDirtyArea(area);
    graphics->PaintArea(area);
    // Renumber the meters now and then, as the resize controller may.
    if (pass % 10 == 0) graphics->MoveControl(graphics->ControlCount() - 1, 1);
  }
  host.join();
  audio.join();

  EXPECT_EQ(misdelivered.load(), 0);
  // What arrived last is what the next pass paints.
  graphics->MarkAllControlsDirty();
  graphics->PaintArea({0, 0, 720, 420});
  for (int k = 0; k < kMeters; ++k) EXPECT_EQ(meters[k]->Value(), ((kRounds - 1 + k) % 100) / 99.0);
  for (int p = 0; p < 4; ++p) EXPECT_EQ(faders[p]->Value(), effect.GetParameter(p)->GetPosition());
}

namespace {

// A lock that can be waited for with a time limit. (std::timed_mutex would
// do, but ThreadSanitizer does not follow its timed wait.)
class TimedLock {
 public:
  void Lock() { TryLockFor(std::chrono::hours(1)); }
  template <class Duration>
  bool TryLockFor(Duration patience) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!released_.wait_for(lock, patience, [&] { return !held_; })) return false;
    held_ = true;
    return true;
  }
  void Unlock() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      held_ = false;
    }
    released_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable released_;
  bool held_ = false;
};

// A host whose handler for edit and automation messages takes the host's own
// lock, which its audio thread holds while it calls the plug-in's processing.
// Before taking the lock the handler makes sure the audio thread is in such
// a call, so that a plug-in lock held around the message would show every
// time, as a timeout rather than a hang.
class LockingHost {
 public:
  LockingHost() { current = this; }
  ~LockingHost() { current = nullptr; }

  static VstIntPtr Callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    if (opcode == audioMasterVersion) return 2400;
    if (current && (opcode == audioMasterBeginEdit || opcode == audioMasterAutomate || opcode == audioMasterEndEdit)) {
      current->HandleEdit(opcode);
    }
    return 0;
  }

  void RunAudio(AEffect* effect) {
    std::vector<float> in(64, 0.25f), out(64);
    float* inputs[] = {in.data(), in.data()};
    float* outputs[] = {out.data(), out.data()};
    for (;;) {
      int ticket;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [&] { return stop_ || requested_ > entered_; });
        if (stop_) return;
        ticket = entered_ + 1;
      }
      hostLock_.Lock();
      {
        std::lock_guard<std::mutex> lock(mutex_);
        entered_ = ticket;
        wake_.notify_all();
      }
      effect->processReplacing(effect, inputs, outputs, 64);
      hostLock_.Unlock();
    }
  }

  void Stop() {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
    wake_.notify_all();
  }

  std::vector<VstInt32> Edits() {
    std::lock_guard<std::mutex> lock(mutex_);
    return edits_;
  }

  std::atomic<int> timeouts{0};

 private:
  void HandleEdit(VstInt32 opcode) {
    constexpr auto kPatience = std::chrono::seconds(2);
    {
      std::unique_lock<std::mutex> lock(mutex_);
      edits_.push_back(opcode);
      const int ticket = ++requested_;
      wake_.notify_all();
      wake_.wait_for(lock, kPatience, [&] { return entered_ >= ticket; });
    }
    if (!hostLock_.TryLockFor(kPatience)) {
      ++timeouts;
      return;
    }
    hostLock_.Unlock();
  }

  static LockingHost* current;
  TimedLock hostLock_;
  std::mutex mutex_;
  std::condition_variable wake_;
  int requested_ = 0;
  int entered_ = 0;
  bool stop_ = false;
  std::vector<VstInt32> edits_;
};

LockingHost* LockingHost::current = nullptr;

}  // namespace

TEST(EditorThreads, GestureDoesNotDeadlockAHostThatLocksInItsAutomationHandler) {
  AddImages();
  LockingHost host;
  Torvane effect{LockingHost::Callback};
  AEffect* record = effect.EffectRecord();
  auto owned = std::make_unique<TestGraphics>(effect);
  TestGraphics* graphics = owned.get();
  IImageStrip& handle = graphics->LoadImageStrip(kHandleId, "test/handle.png", 1);
  graphics->AddControl(std::make_unique<IFaderControl>(&effect, 49, 70, 240, Torvane::kProcess, handle));
  effect.AttachEditor(std::move(owned));
  record->dispatcher(record, effOpen, 0, 0, nullptr, 0.0f);
  record->dispatcher(record, effSetSampleRate, 0, 0, nullptr, 48000.0f);
  record->dispatcher(record, effSetBlockSize, 0, 64, nullptr, 0.0f);
  record->dispatcher(record, effMainsChanged, 0, 1, nullptr, 0.0f);

  std::thread audio([&] { host.RunAudio(record); });
  const IMouseKeys left{true};
  graphics->HandleMouseDown(60, 190, left);
  graphics->HandleMouseDrag(60, 250, left);
  graphics->HandleMouseUp(60, 250, left);
  host.Stop();
  audio.join();

  EXPECT_EQ(host.timeouts.load(), 0);
  const std::vector<VstInt32> expected = {audioMasterBeginEdit, audioMasterAutomate, audioMasterAutomate,
                                          audioMasterEndEdit};
  EXPECT_EQ(host.Edits(), expected);
  EXPECT_DOUBLE_EQ(effect.GetParameter(Torvane::kProcess)->Value(), 2.0);  // 1 - (250 - 90) / 200 of 0..10
}

}  // namespace torvane
