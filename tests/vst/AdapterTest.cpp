// The VST 2.4 adapter in-process: host identification, the host operations
// and the editor seams, observed through a recording host callback.
#include <gtest/gtest.h>

#include <cstddef>
#include <memory>
#include <thread>
#include <vector>

#include "effect/Torvane.h"
#include "framework/HostId.h"
#include "support/EditorDoubles.h"
#include "support/RecordingHost.h"

#if defined(__x86_64__)
#include <xmmintrin.h>
#endif

namespace torvane {

TEST(HostIdFromName, FirstContainedNameDecidesInAnyLetterCase) {
  EXPECT_EQ(HostIdFromName("Ableton LIVE 11"), kHostAbletonLive);
  EXPECT_EQ(HostIdFromName("REAPER"), kHostReaper);
  EXPECT_EQ(HostIdFromName("Cubase Live Edition"), kHostCubase);  // cubase is tested before live
  EXPECT_EQ(HostIdFromName("Digital Performer"), kHostDigitalPerformer);
  EXPECT_EQ(HostIdFromName("WaveLab"), kHostWaveLab);
  EXPECT_EQ(HostIdFromName(""), kHostUnknown);
  EXPECT_EQ(HostIdFromName(nullptr), kHostUnknown);
  EXPECT_EQ(HostIdFromName("Some Sequencer"), kHostUnknown);
}

class Adapter : public ::testing::Test {
 protected:
  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr) {
    AEffect* record = effect.EffectRecord();
    return record->dispatcher(record, opcode, index, value, ptr, 0.0f);
  }

  RecordingHost host;
  Torvane effect{RecordingHost::Callback};
};

TEST_F(Adapter, IdentifiesTheHostOnceAndPacksItsVersion) {
  host.productString = "Ableton Live";
  host.vendorVersion = 1234567;
  EXPECT_EQ(effect.IdentifyHost(), kHostAbletonLive);
  EXPECT_EQ(effect.HostVersion(), 123 * 65536 + 45 * 256 + 67);
  EXPECT_EQ(effect.IdentifyHost(), kHostAbletonLive);
  EXPECT_EQ(host.CountOf(audioMasterGetProductString), 1);
  EXPECT_EQ(host.CountOf(audioMasterGetVendorVersion), 1);
}

TEST_F(Adapter, VendorVersionThatIsNoVersionLeavesTheVersionUnknown) {
  host.productString = "REAPER";
  host.vendorVersion = -922337203685477;
  EXPECT_EQ(effect.IdentifyHost(), kHostReaper);
  EXPECT_EQ(effect.HostVersion(), 0);

  Torvane newest{RecordingHost::Callback};
  host.vendorVersion = 327679999;  // 32767.99.99, the largest that packs
  newest.IdentifyHost();
  EXPECT_EQ(newest.HostVersion(), 32767 * 65536 + 99 * 256 + 99);
  Torvane beyond{RecordingHost::Callback};
  host.vendorVersion = 327680000;
  beyond.IdentifyHost();
  EXPECT_EQ(beyond.HostVersion(), 0);
}

TEST_F(Adapter, HostWithoutNameIsUnknownWithoutVersion) {
  host.vendorVersion = 50205;
  EXPECT_EQ(effect.IdentifyHost(), kHostUnknown);
  EXPECT_EQ(effect.HostVersion(), 0);
  EXPECT_EQ(host.CountOf(audioMasterGetVendorVersion), 0);
}

TEST_F(Adapter, ReadsOnlyTheTimeFieldsTheHostMarksValid) {
  EXPECT_EQ(effect.HostTempo(), 0.0);  // no time record at all
  EXPECT_EQ(effect.HostSamplePosition(), 0);
  host.answerTime = true;
  host.time.samplePos = 1234.5;
  host.time.tempo = 98.0;
  host.time.ppqPos = 3.25;
  host.time.timeSigNumerator = 7;
  host.time.timeSigDenominator = 8;
  host.time.flags = kVstPpqPosValid | kVstTransportPlaying;
  EXPECT_EQ(effect.HostSamplePosition(), 1235);
  EXPECT_EQ(effect.HostTempo(), 0.0);
  int numerator = -1, denominator = -1;
  effect.HostTimeSignature(numerator, denominator);
  EXPECT_EQ(numerator, 0);
  EXPECT_EQ(denominator, 0);

  TimeInfo info;
  effect.HostTimeInfo(info);
  EXPECT_EQ(info.samplePosition, 1234.5);
  EXPECT_EQ(info.quarterNotePosition, 3.25);
  EXPECT_EQ(info.tempo, 120.0);  // not valid: the caller's default stays
  EXPECT_EQ(info.numerator, 4);
  EXPECT_TRUE(info.transportRunning);
  EXPECT_FALSE(info.loopActive);

  host.time.flags = kVstTempoValid | kVstTimeSigValid;
  EXPECT_EQ(effect.HostTempo(), 98.0);
  effect.HostTimeSignature(numerator, denominator);
  EXPECT_EQ(numerator, 7);
  EXPECT_EQ(denominator, 8);
  host.time.samplePos = -5.0;
  EXPECT_EQ(effect.HostSamplePosition(), 0);

  host.processLevel = kVstProcessLevelOffline;
  EXPECT_TRUE(effect.HostRendersOffline());
}

TEST_F(Adapter, EventListsLongerThanDeclaredReachEveryEvent) {
  constexpr int kNotes = 5;
  VstMidiEvent notes[kNotes] = {};
  // Allocated as hosts do: exactly room for the list's entries.
  std::vector<unsigned char> list(offsetof(VstEvents, events) + kNotes * sizeof(VstEvent*));
  auto* events = reinterpret_cast<VstEvents*>(list.data());
  events->numEvents = kNotes;
  auto** entries = reinterpret_cast<VstEvent**>(list.data() + offsetof(VstEvents, events));
  for (int i = 0; i < kNotes; ++i) {
    notes[i].type = kVstMidiType;
    notes[i].deltaFrames = i;
    entries[i] = reinterpret_cast<VstEvent*>(&notes[i]);
  }
  EXPECT_EQ(Dispatch(effProcessEvents, 0, 0, events), 1);
  ASSERT_EQ(host.forwardedMidi.size(), static_cast<size_t>(kNotes));
  EXPECT_EQ(host.forwardedMidi[kNotes - 1].deltaFrames, kNotes - 1);
}

TEST_F(Adapter, EditorGesturesReachTheHostAsAutomation) {
  effect.BeginParameterEdit(3);
  effect.SetParameterFromEditor(3, 0.75);
  effect.EndParameterEdit(3);
  const auto calls = host.Calls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].opcode, audioMasterBeginEdit);
  EXPECT_EQ(calls[1].opcode, audioMasterAutomate);
  EXPECT_EQ(calls[1].index, 3);
  EXPECT_EQ(calls[1].opt, 0.75f);
  EXPECT_EQ(calls[2].opcode, audioMasterEndEdit);
  EXPECT_EQ(effect.GetParameter(3)->Value(), 5.0);
}

TEST_F(Adapter, AttachedEditorIsAnnouncedSizedAndFedEveryValue) {
  auto ownedEditor = std::make_unique<FakeEditor>();
  FakeEditor* editor = ownedEditor.get();
  FakeResizeState resize;
  effect.SetResizeState(&resize);
  effect.AttachEditor(std::move(ownedEditor));
  EXPECT_EQ(editor->surfacesPrepared, 1);
  EXPECT_EQ(resize.attached, 1);
  ASSERT_EQ(editor->pushes.size(), 14u);
  EXPECT_EQ(editor->pushes[9].value, 1.0 / 8.0);  // "LF Cut" default, normalised
  EXPECT_TRUE(editor->pushes[9].normalised);
  EXPECT_TRUE(effect.EffectRecord()->flags & effFlagsHasEditor);

  ERect* rect = nullptr;
  EXPECT_EQ(Dispatch(effEditGetRect, 0, 0, &rect), 1);
  ASSERT_EQ(rect, &effect.EditorRect());
  EXPECT_EQ(rect->right, 720);
  EXPECT_EQ(rect->bottom, 420);
  effect.ResizeEditor(1440, 840);
  EXPECT_EQ(rect->right, 1440);
  EXPECT_EQ(rect->bottom, 840);

  int parent = 0;
  EXPECT_EQ(Dispatch(effEditOpen, 0, 0, &parent), 1);
  EXPECT_EQ(editor->openedWith, &parent);
  EXPECT_EQ(resize.sizeApplied, 1);
  editor->openSucceeds = false;
  EXPECT_EQ(Dispatch(effEditOpen, 0, 0, &parent), 0);
  EXPECT_EQ(resize.sizeApplied, 1);
  EXPECT_EQ(Dispatch(effEditClose), 1);
  EXPECT_EQ(editor->closed, 1);
}

// Which of the two locks another thread could take at this moment.
struct LocksFree {
  bool plugin = false;
  bool window = false;
};

LocksFree ProbeLocks(RecursiveLock& plugin, RecursiveLock& window) {
  LocksFree free;
  std::thread([&] {
    if ((free.plugin = plugin.TryLock())) plugin.Unlock();
    if ((free.window = window.TryLock())) window.Unlock();
  }).join();
  return free;
}

TEST_F(Adapter, WindowRequestsHoldTheWindowLockAndIdleLeavesThePluginLockFree) {
  auto ownedEditor = std::make_unique<FakeEditor>();
  FakeEditor* editor = ownedEditor.get();
  effect.AttachEditor(std::move(ownedEditor));
  LocksFree duringOpen, duringIdle;
  editor->onOpen = [&] { duringOpen = ProbeLocks(effect.Lock(), editor->windowLock); };
  editor->onIdle = [&] { duringIdle = ProbeLocks(effect.Lock(), editor->windowLock); };

  int parent = 0;
  EXPECT_EQ(Dispatch(effEditOpen, 0, 0, &parent), 1);
  EXPECT_EQ(Dispatch(effEditIdle), 0);
  EXPECT_EQ(editor->idles, 1);
  EXPECT_FALSE(duringOpen.plugin);
  EXPECT_FALSE(duringOpen.window);
  EXPECT_TRUE(duringIdle.plugin);  // a gesture in the idle request may tell the host
  EXPECT_FALSE(duringIdle.window);
}

TEST_F(Adapter, WindowSizeRequestsReachTheHost) {
  EXPECT_FALSE(effect.RequestHostWindowSize(1440, 840));  // the host answers 0
  const auto calls = host.Calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].opcode, audioMasterSizeWindow);
  EXPECT_EQ(calls[0].index, 1440);
  EXPECT_EQ(calls[0].value, 840);
}

// The controller is owned by the editor it was attached with: an editor that
// replaces that one destroys it, so the replacement must not reach it.
// Without a window of its own the host's generic parameter view is all there is.
TEST_F(Adapter, EditorWithoutAWindowIsNotAnnounced) {
  auto editor = std::make_unique<FakeEditor>();
  editor->hasWindow = false;
  effect.EffectRecord()->flags |= effFlagsHasEditor;  // as the effect's own editor may have left it
  effect.AttachEditor(std::move(editor));
  EXPECT_FALSE(effect.EffectRecord()->flags & effFlagsHasEditor);
}

TEST_F(Adapter, ReplacedEditorTakesItsResizeControllerAlong) {
  FakeResizeState resize;
  effect.SetResizeState(&resize);
  effect.AttachEditor(std::make_unique<FakeEditor>());
  effect.AttachEditor(std::make_unique<FakeEditor>());
  EXPECT_EQ(resize.attached, 1);
  EXPECT_EQ(effect.ResizeState(), nullptr);
  int parent = 0;
  EXPECT_EQ(Dispatch(effEditOpen, 0, 0, &parent), 1);
  EXPECT_EQ(resize.sizeApplied, 0);
}

TEST_F(Adapter, HostChangesFollowIntoTheEditor) {
  auto ownedEditor = std::make_unique<FakeEditor>();
  FakeEditor* editor = ownedEditor.get();
  effect.AttachEditor(std::move(ownedEditor));
  editor->pushes.clear();
  AEffect* record = effect.EffectRecord();
  record->setParameter(record, 2, 0.25f);
  ASSERT_GE(editor->pushes.size(), 1u);
  EXPECT_EQ(editor->pushes[0].parameter, 2);
  EXPECT_EQ(editor->pushes[0].value, 0.25);
  EXPECT_TRUE(editor->pushes[0].normalised);

  editor->pushes.clear();
  char text[] = "90 Hz";
  EXPECT_EQ(Dispatch(effString2Parameter, 9, 0, text), 1);
  ASSERT_GE(editor->pushes.size(), 1u);
  EXPECT_EQ(editor->pushes[0].value, 7.0);
  EXPECT_FALSE(editor->pushes[0].normalised);

  void* data = nullptr;
  const VstIntPtr size = Dispatch(effGetChunk, 1, 0, &data);
  std::vector<uint8_t> program(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
  editor->pushes.clear();
  EXPECT_EQ(Dispatch(effSetChunk, 1, size, program.data()), 1);
  int refreshed = 0;
  for (const auto& push : editor->pushes) refreshed += !push.normalised;
  EXPECT_GE(refreshed, 14);
}

#if defined(__x86_64__)
namespace {
// Records the floating-point control state its processing runs with.
class ControlStateProbe : public IEffectVST {
 public:
  ControlStateProbe() : IEffectVST(nullptr, 0, "2-2", 0, "Probe", "", "", 0, 0) {}
  void ProcessBlock(const double* const*, double* const*, int) override { seen = _mm_getcsr(); }
  unsigned seen = 0;
};
}  // namespace

TEST(FlushToZero, ProcessingRunsWithDenormalsFlushedAndRestoresTheHostState) {
  ControlStateProbe probe;
  const unsigned host = _mm_getcsr();
  AEffect* record = probe.EffectRecord();
  float in[4] = {}, out[4];
  float* inputs[] = {in, in};
  float* outputs[] = {out, out};
  record->processReplacing(record, inputs, outputs, 4);
  EXPECT_EQ(probe.seen & 0x8040u, 0x8040u);
  EXPECT_EQ(_mm_getcsr(), host);
  probe.seen = 0;
  double din[4] = {}, dout[4];
  double* dinputs[] = {din, din};
  double* doutputs[] = {dout, dout};
  record->processDoubleReplacing(record, dinputs, doutputs, 4);
  EXPECT_EQ(probe.seen & 0x8040u, 0x8040u);
  EXPECT_EQ(_mm_getcsr(), host);
}
#endif

}  // namespace torvane
