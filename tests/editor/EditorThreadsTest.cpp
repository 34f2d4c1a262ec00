// The editor between threads: values pushed from host and audio threads while
// the window thread paints and renumbers (run under ThreadSanitizer by the
// test command), and gestures that tell a host which locks in its callbacks.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "EditorTestDoubles.h"
#include "editor/IFaderControl.h"
#include "editor/IHBiDirMeterControl.h"
#include "editor/TextEntry.h"
#include "effect/Torvane.h"
#include "tests/support/VstHosted.h"

namespace torvane {

namespace {
constexpr int kHandleId = 9402;
constexpr int kMeters = 8;
}  // namespace

TEST(EditorThreads, ValuesFromHostAndAudioThreadsMeetPaintingAndRenumbering) {
  TestImages().clear();
  AddTestImage(9401, 300, 200, [](int x, int y) { return 0xFF000000u | (x * 7 + y); });
  AddTestImage(kHandleId, 22, 40, [](int, int) { return 0xFFFFFFFFu; });
  EventLog log;
  RecordingEffect effect{&log};
  auto owned = std::make_unique<TestGraphics>(effect);
  TestGraphics* graphics = owned.get();
  graphics->AttachBackdrop(9401, "test/backdrop.png");
  IControl* faders[4];
  for (int p = 0; p < 4; ++p) {
    faders[p] = new IFaderControl(&effect, 10 + 30 * p, 10, 100, p, graphics->LoadImageStrip(kHandleId, "h.png", 1));
    graphics->AddControl(std::unique_ptr<IControl>(faders[p]));
  }
  graphics->AddControl(std::make_unique<TextEntry>(&effect, IBounds{10, 120, 60, 134}, ITextStyle{}, 0));
  const std::atomic<int>* meterIndex[kMeters];
  IControl* meters[kMeters];
  for (int k = 0; k < kMeters; ++k) {
    meters[k] = new IHBiDirMeterControl(&effect, IBounds{150, 10 + 8 * k, 290, 16 + 8 * k});
    meterIndex[k] = &graphics->AddControl(std::unique_ptr<IControl>(meters[k]));
  }
  effect.AttachEditor(std::move(owned));

  constexpr int kRounds = 4000;
  std::atomic<int> misdelivered{0};
  std::thread host([&] {
    for (int i = 0; i < kRounds; ++i) {
      ScopedLock lock(effect.Lock());
      effect.GetParameter(i % 4)->SetFromPosition((i % 101) / 100.0);
      effect.OnParameterChange(i % 4);
    }
  });
  std::thread audio([&] {  // the meter feed, as the effect's processing does it
    for (int i = 0; i < kRounds; ++i) {
      ScopedLock lock(effect.Lock());
      for (int k = 0; k < kMeters; ++k) {
        const int index = meterIndex[k]->load();
        misdelivered += graphics->GetControl(index) != meters[k];
        effect.Editor()->SetControlValueFromEffect(index, ((i + k) % 100) / 99.0);
      }
    }
  });
  for (int pass = 0; pass < 300; ++pass) {
    IBounds area;
    graphics->CollectDirtyArea(area);
    graphics->PaintArea(area);
    // Renumber now and then, as the resize controller may.
    if (pass % 10 == 0) graphics->MoveControl(graphics->ControlCount() - 1, 1);
  }
  host.join();
  audio.join();
  EXPECT_EQ(misdelivered.load(), 0);
  for (int k = 0; k < kMeters; ++k) EXPECT_EQ(meters[k]->Value(), ((kRounds - 1 + k) % 100) / 99.0);
  for (int p = 0; p < 4; ++p) EXPECT_EQ(faders[p]->Value(), effect.GetParameter(p)->GetPosition());
}

namespace {

// A host whose handler for edit and automation messages takes the host's own
// lock, which its audio thread holds while it calls the plug-in's processing.
// The handler first waits until the audio thread has begun another call, so
// that a plug-in lock held around the message shows every time, as a timeout
// rather than a hang.
class LockingHost {
 public:
  LockingHost() { current = this; }
  ~LockingHost() { current = nullptr; }

  static VstIntPtr Callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    if (current && (opcode == audioMasterBeginEdit || opcode == audioMasterAutomate || opcode == audioMasterEndEdit)) {
      current->edits.push_back(opcode);
      current->TakeHostLock();
    }
    return 0;
  }

  void RunAudio(AEffect* effect) {
    std::vector<float> in(64, 0.25f), out(64);
    float* inputs[] = {in.data(), in.data()};
    float* outputs[] = {out.data(), out.data()};
    while (!stop) {
      {
        std::lock_guard<std::mutex> lock(hostLock_);
        ++callsBegun_;
        effect->processReplacing(effect, inputs, outputs, 64);
      }
      // The time between blocks, in which others may take the lock.
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
  }

  std::atomic<bool> stop{false};
  int timeouts = 0;
  std::vector<VstInt32> edits;

 private:
  // Polls until cond holds or two seconds have passed.
  template <class Cond>
  static bool Within2s(Cond cond) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!cond()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    return true;
  }

  void TakeHostLock() {
    const int begun = callsBegun_;
    Within2s([&] { return callsBegun_ > begun; });
    if (!Within2s([&] { return hostLock_.try_lock(); })) {
      ++timeouts;
      return;
    }
    hostLock_.unlock();
  }

  static LockingHost* current;
  std::mutex hostLock_;
  std::atomic<int> callsBegun_{0};
};

LockingHost* LockingHost::current = nullptr;

}  // namespace

TEST(EditorThreads, GestureDoesNotDeadlockAHostThatLocksInItsAutomationHandler) {
  TestImages().clear();
  AddTestImage(kHandleId, 22, 40, [](int, int) { return 0xFFFFFFFFu; });
  LockingHost host;
  VstHosted<Torvane> effectHosted{LockingHost::Callback};
  Torvane& effect = effectHosted.effect;
  AEffect* record = VstRecord(effect);
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
  host.stop = true;
  audio.join();

  EXPECT_EQ(host.timeouts, 0);
  const std::vector<VstInt32> expected = {audioMasterBeginEdit, audioMasterAutomate, audioMasterAutomate,
                                          audioMasterEndEdit};
  EXPECT_EQ(host.edits, expected);
  EXPECT_DOUBLE_EQ(effect.GetParameter(Torvane::kProcess)->Value(), 2.0);  // 1 - (250 - 90) / 200 of 0..10
}

}  // namespace torvane
