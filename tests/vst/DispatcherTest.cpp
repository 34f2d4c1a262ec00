// Host requests through the dispatcher of the loaded library.
#include <cmath>
#include <cstring>
#include <vector>

#include "LoadedPlugin.h"

namespace torvane {

namespace {
constexpr int kSubBass = 2, kLfCut = 9, kOutput = 10, kTransients = 12, kChannel = 13;

std::vector<uint8_t> Chunk(AEffect* effect, int index) {
  void* data = nullptr;
  const VstIntPtr size = effect->dispatcher(effect, effGetChunk, index, 0, &data, 0.0f);
  if (size <= 0 || !data) return {};
  const auto* bytes = static_cast<const uint8_t*>(data);
  return std::vector<uint8_t>(bytes, bytes + size);
}
}  // namespace

using Dispatcher = LoadedPlugin;

TEST_F(Dispatcher, NamesLabelsAndDisplaysParameters) {
  Start();
  const char* names[] = {"Process", "Dirt", "Sub Bass", "Low Bass", "Hi Bass", "Fullness", "Articulation",
                         "Presence", "Treble", "LF Cut", "Output", "Input Trim", "Transients", "Channel"};
  for (int i = 0; i < 14; ++i) EXPECT_EQ(Text(effGetParamName, i), names[i]);
  EXPECT_EQ(Text(effGetParamDisplay, kSubBass), "0.0");
  EXPECT_EQ(Text(effGetParamLabel, kSubBass), "dB");
  EXPECT_EQ(Text(effGetParamDisplay, kLfCut), "30 Hz");
  EXPECT_EQ(Text(effGetParamLabel, kLfCut), "");
  EXPECT_EQ(Text(effGetParamDisplay, 11), "0 dB");
  EXPECT_EQ(Text(effGetParamDisplay, kTransients), "off");
  EXPECT_EQ(Text(effGetParamDisplay, kChannel), "Mono");
  EXPECT_EQ(Text(effGetParamLabel, 0), "");
  // Invalid indexes leave the host's buffer alone.
  EXPECT_EQ(Text(effGetParamName, 14), "untouched");
  EXPECT_EQ(Text(effGetParamDisplay, -1), "untouched");
  EXPECT_EQ(Dispatch(effCanBeAutomated, 5), 1);
}

TEST_F(Dispatcher, StringToParameterMatchesTextsOrReadsNumbers) {
  Start();
  char fifty[] = "50 Hz", lower[] = "50hz", big[] = "25", minus[] = "-3.5";
  EXPECT_EQ(Dispatch(effString2Parameter, kLfCut, 0, fifty), 1);
  EXPECT_EQ(effect->getParameter(effect, kLfCut), 3.0f / 8.0f);
  EXPECT_EQ(Dispatch(effString2Parameter, kLfCut, 0, lower), 0);
  EXPECT_EQ(effect->getParameter(effect, kLfCut), 3.0f / 8.0f);
  EXPECT_EQ(Dispatch(effString2Parameter, kOutput, 0, big), 1);
  EXPECT_EQ(Text(effGetParamDisplay, kOutput), "20.0");
  EXPECT_EQ(Dispatch(effString2Parameter, kOutput, 0, minus), 1);
  EXPECT_EQ(Text(effGetParamDisplay, kOutput), "-3.5");
  EXPECT_EQ(Dispatch(effString2Parameter, kOutput, 0, nullptr), 1);
  EXPECT_EQ(Dispatch(effString2Parameter, 14, 0, big), 0);
}

TEST_F(Dispatcher, NonNumbersNeverBecomeValues) {
  Start();
  char nan[] = "nan", inf[] = "-inf", word[] = "loud";
  EXPECT_EQ(Dispatch(effString2Parameter, kOutput, 0, nan), 0);
  EXPECT_EQ(Dispatch(effString2Parameter, kOutput, 0, inf), 0);
  EXPECT_EQ(Text(effGetParamDisplay, kOutput), "0.0");
  EXPECT_EQ(Dispatch(effString2Parameter, kOutput, 0, word), 1);  // no number reads as 0
  EXPECT_EQ(Text(effGetParamDisplay, kOutput), "0.0");
}

TEST_F(Dispatcher, ProgramChunkOfTheDefaultState) {
  Start();
  const std::vector<uint8_t> chunk = Chunk(effect, 1);
  ASSERT_EQ(chunk.size(), 148u);  // header, count, the editor size (3 values) and the 14 values
  const uint8_t start[] = {'t', 'f', 'f', 'p', 0, 0, 1, 0, 14, 0, 0, 0};
  EXPECT_EQ(std::memcmp(chunk.data(), start, sizeof start), 0);
  double lfCut = 0;
  std::memcpy(&lfCut, chunk.data() + 36 + 9 * 8, 8);
  EXPECT_EQ(lfCut, 1.0);
  EXPECT_EQ(Dispatch(effGetChunk, 1), 0);  // no pointer
}

TEST_F(Dispatcher, ChunksRoundTripExactly) {
  Start();
  effect->setParameter(effect, kSubBass, 0.3f);
  effect->setParameter(effect, kChannel, 1.0f);
  char name[] = "Slap";
  Dispatch(effSetProgramName, 0, 0, name);
  std::vector<uint8_t> program = Chunk(effect, 1);
  std::vector<uint8_t> bank = Chunk(effect, 0);
  ASSERT_EQ(bank.size(), 4u + 4 + 4 + 4 + 1 + 4 + 17 * 8);

  LoadedPlugin::TearDown();
  effect = library.CreateEffect(RecordingHost::Callback);
  Start();
  EXPECT_EQ(Dispatch(effSetChunk, 0, static_cast<VstIntPtr>(bank.size()), bank.data()), 1);
  EXPECT_EQ(Text(effGetProgramName, 0), "Slap");
  EXPECT_EQ(Chunk(effect, 1), program);
  EXPECT_EQ(Text(effGetParamDisplay, kChannel), "Stereo");

  effect->setParameter(effect, kSubBass, 1.0f);
  EXPECT_EQ(Dispatch(effSetChunk, 1, static_cast<VstIntPtr>(program.size()), program.data()), 1);
  EXPECT_EQ(Chunk(effect, 1), program);
  EXPECT_EQ(Chunk(effect, 0), bank);
}

TEST_F(Dispatcher, DamagedChunksReportFailureAndKeepParametersValid) {
  Start();
  std::vector<uint8_t> program = Chunk(effect, 1);
  EXPECT_EQ(Dispatch(effSetChunk, 1, 60, program.data()), 0);  // cut short
  EXPECT_EQ(Dispatch(effSetChunk, 1, -5, program.data()), 0);
  EXPECT_EQ(Dispatch(effSetChunk, 1, 10, nullptr), 0);
  std::vector<uint8_t> garbage(500, 0xFF);
  Dispatch(effSetChunk, 0, static_cast<VstIntPtr>(garbage.size()), garbage.data());
  Dispatch(effSetChunk, 1, static_cast<VstIntPtr>(garbage.size()), garbage.data());
  for (int i = 0; i < 14; ++i) {
    const float position = effect->getParameter(effect, i);
    EXPECT_TRUE(position >= 0.0f && position <= 1.0f) << i;
  }
}

// Some hosts hand back the very bytes effGetChunk gave them.
TEST_F(Dispatcher, ChunkHandedBackInPlaceRestoresItself) {
  Start();
  effect->setParameter(effect, kSubBass, 0.8f);
  for (VstInt32 index : {1, 0}) {
    void* data = nullptr;
    const VstIntPtr size = Dispatch(effGetChunk, index, 0, &data);
    const std::vector<uint8_t> copy(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
    EXPECT_EQ(Dispatch(effSetChunk, index, size, data), 1) << index;
    EXPECT_EQ(Chunk(effect, index), copy) << index;
  }
  // A part of our own bytes: read as such, not from memory already reused.
  void* data = nullptr;
  const VstIntPtr size = Dispatch(effGetChunk, 1, 0, &data);
  EXPECT_EQ(Dispatch(effSetChunk, 1, size - 8, static_cast<uint8_t*>(data) + 8), 1);  // without the header
  EXPECT_EQ(effect->getParameter(effect, kSubBass), 0.8f);
}

TEST_F(Dispatcher, ProgramsAndTheirNames) {
  EXPECT_EQ(Text(effGetProgramName, 0), "-");
  char buffer[64] = "x";
  EXPECT_EQ(Dispatch(effGetProgramNameIndexed, 0, 0, buffer), 1);
  EXPECT_STREQ(buffer, "-");
  EXPECT_EQ(Dispatch(effGetProgramNameIndexed, 3, 0, buffer), 0);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(Dispatch(effGetProgramNameIndexed, 0, 0, nullptr), 0);
  Dispatch(effSetProgram, 0, 0);
  EXPECT_EQ(Dispatch(effGetProgram), 0);
  Dispatch(effSetProgram, 0, 7);  // outside the list: nothing changes
  EXPECT_EQ(Dispatch(effGetProgram), 0);
  char longName[100];
  std::memset(longName, 'n', sizeof longName - 1);
  longName[99] = '\0';
  Dispatch(effSetProgramName, 0, 0, longName);
  // A program name goes to the host cut to the size the interface gives it.
  EXPECT_EQ(Text(effGetProgramName, 0), std::string(kVstMaxProgNameLen - 1, 'n'));
}

TEST_F(Dispatcher, PinPropertiesAndSpeakerArrangements) {
  VstPinProperties pin = {};
  EXPECT_EQ(Dispatch(effGetInputProperties, 0, 0, &pin), 1);
  EXPECT_STREQ(pin.label, "Input 1");
  EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo);
  EXPECT_EQ(Dispatch(effGetOutputProperties, 1, 0, &pin), 1);
  EXPECT_STREQ(pin.label, "Output 2");
  EXPECT_EQ(pin.flags, kVstPinIsActive);
  EXPECT_EQ(Dispatch(effGetInputProperties, 2, 0, &pin), 0);
  EXPECT_EQ(Dispatch(effGetInputProperties, -1, 0, &pin), 0);
  EXPECT_EQ(Dispatch(effGetInputProperties, 0, 0, nullptr), 0);

  VstSpeakerArrangement* in = nullptr;
  VstSpeakerArrangement* out = nullptr;
  EXPECT_EQ(Dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out), 1);
  ASSERT_TRUE(in && out);
  EXPECT_EQ(in->numChannels, 2);
  EXPECT_EQ(in->type, kSpeakerArrStereo);
  EXPECT_EQ(Dispatch(effGetSpeakerArrangement), 1);

  // A mono input arrangement: the second input is silent even if the host feeds it.
  Start(44100.0f, 64);
  effect->setParameter(effect, kChannel, 1.0f);
  VstSpeakerArrangement mono = {}, stereo = {};
  mono.numChannels = 1;
  stereo.numChannels = 2;
  EXPECT_EQ(Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&mono), &stereo), 1);
  std::vector<float> left(64, 0.0f), right(64, 0.5f), outL(64), outR(64);
  float* inputs[] = {left.data(), right.data()};
  float* outputs[] = {outL.data(), outR.data()};
  for (int block = 0; block < 10; ++block) effect->processReplacing(effect, inputs, outputs, 64);
  for (float v : outR) EXPECT_EQ(v, 0.0f);
}

TEST_F(Dispatcher, CapabilitiesAndVendorRequests) {
  char timeInfo[] = "receiveVstTimeInfo", midi[] = "receiveVstMidiEvent", other[] = "bypass";
  EXPECT_EQ(Dispatch(effCanDo, 0, 0, timeInfo), 1);
  EXPECT_EQ(Dispatch(effCanDo, 0, 0, midi), 0);
  EXPECT_EQ(Dispatch(effCanDo, 0, 0, other), 0);
  EXPECT_EQ(Dispatch(effCanDo), 0);

  char text[64] = "";
  EXPECT_EQ(Dispatch(effVendorSpecific, 7, kSubBass, text, 0.75f), 0xBEEF);
  EXPECT_STREQ(text, "5.0");
  EXPECT_EQ(Dispatch(effVendorSpecific, 7, kLfCut, text, 0.25f), 0xBEEF);
  EXPECT_STREQ(text, "40 Hz");
  EXPECT_EQ(Dispatch(effVendorSpecific, 7, 99, text, 0.5f), 0xBEEF);
  EXPECT_EQ(Dispatch(effVendorSpecific, 7, kSubBass, nullptr, 0.5f), 0);
  EXPECT_EQ(Dispatch(effVendorSpecific, 8, kLfCut), 0xBEEF);
  EXPECT_EQ(Dispatch(effVendorSpecific, 8, kSubBass), 0);
  EXPECT_EQ(Dispatch(effVendorSpecific, 9, kLfCut), 0);

  MidiKeyName key = {};
  key.thisKeyNumber = 60;
  std::strcpy(key.keyName, "C4");
  EXPECT_EQ(Dispatch(effGetMidiKeyName, 0, 0, &key), 0);
  EXPECT_STREQ(key.keyName, "");
}

TEST_F(Dispatcher, MidiEventsPassBackToTheHost) {
  VstMidiEvent note = {};
  note.type = kVstMidiType;
  note.byteSize = sizeof note;
  note.deltaFrames = 17;
  note.midiData[0] = static_cast<char>(0x90);
  note.midiData[1] = 40;
  note.midiData[2] = 100;
  VstMidiSysexEvent sysex = {};
  sysex.type = kVstSysExType;
  VstEvents events = {};
  events.numEvents = 2;
  events.events[0] = reinterpret_cast<VstEvent*>(&note);
  events.events[1] = reinterpret_cast<VstEvent*>(&sysex);
  EXPECT_EQ(Dispatch(effProcessEvents, 0, 0, &events), 1);
  ASSERT_EQ(host.forwardedMidi.size(), 1u);
  EXPECT_EQ(host.forwardedMidi[0].deltaFrames, 17);
  EXPECT_EQ(static_cast<uint8_t>(host.forwardedMidi[0].midiData[0]), 0x90);
  EXPECT_EQ(host.forwardedMidi[0].byteSize, 32);
  EXPECT_EQ(Dispatch(effProcessEvents), 0);
}

TEST_F(Dispatcher, EveryOtherRequestIsHarmlessWithoutArguments) {
  for (VstInt32 opcode = 0; opcode < 300; ++opcode) {
    if (opcode == effClose || opcode == effIdentify || opcode == effGetVendorVersion ||
        opcode == effGetVstVersion || opcode == effGetPlugCategory || opcode == effCanBeAutomated ||
        opcode == effGetSpeakerArrangement || opcode == effSetSpeakerArrangement || opcode == effProcessEvents ||
        opcode == effString2Parameter || opcode == effEditClose) {
      continue;
    }
    EXPECT_EQ(Dispatch(opcode, 0, 0, nullptr, 0.0f), 0) << "opcode " << opcode;
  }
  EXPECT_EQ(effect->dispatcher(nullptr, effOpen, 0, 0, nullptr, 0.0f), 0);
}

// The editor exists from the start, at scale 1 until a window is opened.
TEST_F(Dispatcher, EditorHasItsSizeFromTheStart) {
  ERect* rect = nullptr;
  EXPECT_EQ(Dispatch(effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->left, 0);
  EXPECT_EQ(rect->top, 0);
  EXPECT_EQ(rect->right, 720);
  EXPECT_EQ(rect->bottom, 420);
  EXPECT_EQ(Dispatch(effEditGetRect), 0);  // nowhere to put it
  EXPECT_EQ(Dispatch(effEditClose), 1);     // closing an editor that is not open is harmless
}

TEST_F(Dispatcher, HostIsAskedItsNameOnceHoweverOftenItOpens) {
  host.productString = "REAPER";
  host.vendorVersion = 60123;
  Dispatch(effOpen);
  Dispatch(effOpen);
  EXPECT_EQ(host.CountOf(audioMasterGetProductString), 1);
  EXPECT_EQ(host.CountOf(audioMasterGetVendorVersion), 1);
}

TEST_F(Dispatcher, BadSampleRatesAndBlockSizesAreIgnored) {
  Start(48000.0f, 256);
  std::vector<float> in(256), outA(256), outB(256);
  for (int i = 0; i < 256; ++i) in[i] = 0.3f * std::sin(i * 0.05f);
  float* inputs[] = {in.data(), in.data()};
  float* outputs[] = {outA.data(), outA.data()};
  effect->processReplacing(effect, inputs, outputs, 256);

  for (float rate : {0.0f, -48000.0f, NAN, INFINITY}) Dispatch(effSetSampleRate, 0, 0, nullptr, rate);
  for (VstIntPtr size : {VstIntPtr{0}, VstIntPtr{-1}, VstIntPtr{1} << 40}) Dispatch(effSetBlockSize, 0, size);
  float* outputsB[] = {outB.data(), outB.data()};
  effect->processReplacing(effect, inputs, outputsB, 256);
  for (float v : outB) ASSERT_TRUE(std::isfinite(v));
  EXPECT_EQ(effect->initialDelay, 64);
}

}  // namespace torvane
