// The LV2 bundle as hosts meet it: its description read by lilv's lv2info
// and validated against the LV2 schemas, its audio rendered by real LV2 hosts
// (lv2file, lv2apply) and compared with the VST library's single-precision
// output, and its state through the state extension.
#include <gtest/gtest.h>
#include <lv2/atom/atom.h>
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>
#include <string>
#include <vector>

#include "Lv2Plugin.h"
#include "tools/vsthost/PluginLibrary.h"

namespace torvane {
namespace {

constexpr double kRate = 48000.0;
constexpr char kUri[] = "urn:quillfen:torvane";
constexpr uint32_t kFirstParameterPort = 4;
constexpr uint32_t kFirstEditorSizePort = 27;

// Runs a shell command; its exit status and everything it printed.
int RunCommand(const std::string& command, std::string& output) {
  output.clear();
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return -1;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
  const int status = pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// What lv2info prints about one port, up to the next.
std::string PortBlock(const std::string& info, uint32_t port) {
  const size_t at = info.find("\tPort " + std::to_string(port) + ":\n");
  if (at == std::string::npos) return "";
  const size_t end = info.find("\tPort " + std::to_string(port + 1) + ":\n", at);
  return info.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

std::string LowerCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string HostCommand(const char* tool) {
  // The bundle's parent folder is the hosts' whole plug-in path.
  return std::string("LV2_PATH='") + TORVANE_LV2_BUNDLE "/..' " + tool;
}

// One parameter setting as each format takes it: the port's symbol and float
// value, and the text the VST library reads for the same value (for a choice,
// the one nearest the port's number). Every value is exact in single
// precision, so both formats hold the same double.
struct Setting {
  int index;
  const char* symbol;
  float value;
  const char* vstText;
};
const std::vector<Setting> kStereoSettings = {
    {0, "process", 6.5f, "6.5"},        {1, "dirt", 2.25f, "2.25"},
    {2, "sub_bass", 4.5f, "4.5"},       {3, "low_bass", -3.0f, "-3"},
    {4, "hi_bass", 1.5f, "1.5"},        {5, "fullness", 2.5f, "2.5"},
    {6, "articulation", -1.25f, "-1.25"}, {7, "presence", 3.0f, "3"},
    {8, "treble", -2.5f, "-2.5"},       {9, "lf_cut", 50.0f, "50 Hz"},
    {10, "output", -1.5f, "-1.5"},      {11, "input_trim", 4.5f, "+6 dB"},
    {12, "transients", 1.0f, "on"},     {13, "channel", 1.0f, "Stereo"},
};
const std::vector<Setting> kMonoSettings = {
    {0, "process", 9.0f, "9"}, {8, "treble", 5.5f, "5.5"}, {9, "lf_cut", 86.0f, "90 Hz"},
    {11, "input_trim", -6.0f, "-6 dB"},
};

// A loud, plucked two-note bass line, the right channel a different line,
// with a silent gap, so that every band's leveling and the limiter work.
void TestSignal(std::vector<float>& left, std::vector<float>& right) {
  const int frames = static_cast<int>(kRate * 0.8);
  left.assign(frames, 0.0f);
  right.assign(frames, 0.0f);
  const double pi = 3.14159265358979323846;
  for (int i = 0; i < frames; ++i) {
    if (i > frames / 2 && i < frames / 2 + 2000) continue;
    const double t = i / kRate, note = std::fmod(t, 0.2);
    const double decay = std::exp(-note * 9.0);
    double l = 0.0, r = 0.0;
    for (int h = 1; h <= 6; ++h) {
      l += std::sin(2.0 * pi * 41.2 * h * t) / h;
      r += std::sin(2.0 * pi * 55.0 * h * t + h) / (h * h);
    }
    left[i] = static_cast<float>(0.9 * decay * l);
    right[i] = static_cast<float>(0.7 * decay * r);
  }
}

bool WriteWav(const std::string& path, const std::vector<float>& left, const std::vector<float>& right) {
  SF_INFO info = {};
  info.samplerate = static_cast<int>(kRate);
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) return false;
  std::vector<float> frames(left.size() * 2);
  for (size_t i = 0; i < left.size(); ++i) {
    frames[2 * i] = left[i];
    frames[2 * i + 1] = right[i];
  }
  const bool ok = sf_writef_float(file, frames.data(), static_cast<sf_count_t>(left.size())) ==
                  static_cast<sf_count_t>(left.size());
  return sf_close(file) == 0 && ok;
}

// A WAV of 32-bit float samples, read without any conversion.
bool ReadFloatWav(const std::string& path, std::vector<float>& left, std::vector<float>& right) {
  SF_INFO info = {};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) return false;
  const bool isFloat = (info.format & SF_FORMAT_SUBMASK) == SF_FORMAT_FLOAT && info.channels == 2;
  std::vector<float> frames(static_cast<size_t>(info.frames) * 2);
  const sf_count_t read = sf_readf_float(file, frames.data(), info.frames);
  sf_close(file);
  left.resize(info.frames);
  right.resize(info.frames);
  for (sf_count_t i = 0; i < info.frames; ++i) {
    left[i] = frames[2 * i];
    right[i] = frames[2 * i + 1];
  }
  return isFloat && read == info.frames;
}

// The VST library loaded through its entry, opened as a host opens it,
// rendering in single precision (processReplacing) in blocks of block frames.
class VstRender {
 public:
  explicit VstRender(int block, const std::vector<Setting>& settings) : block_(block) {
    if (!library_.Load(TORVANE_PLUGIN_PATH)) return;
    effect_ = library_.CreateEffect(nullptr);
    if (!effect_) return;
    Dispatch(effOpen);
    Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
    Dispatch(effSetBlockSize, 0, block);
    for (const Setting& s : settings) {
      std::string text = s.vstText;
      EXPECT_EQ(Dispatch(effString2Parameter, s.index, 0, text.data()), 1) << s.symbol;
    }
    Dispatch(effMainsChanged, 0, 1);
  }
  ~VstRender() {
    if (effect_) Dispatch(effClose);
  }
  bool Loaded() const { return effect_ != nullptr; }

  void Process(const std::vector<float>& left, const std::vector<float>& right, std::vector<float>& outLeft,
               std::vector<float>& outRight) {
    outLeft.assign(left.size(), 0.0f);
    outRight.assign(left.size(), 0.0f);
    for (size_t start = 0; start < left.size(); start += block_) {
      const int n = static_cast<int>(std::min<size_t>(block_, left.size() - start));
      float* inputs[] = {const_cast<float*>(left.data() + start), const_cast<float*>(right.data() + start)};
      float* outputs[] = {outLeft.data() + start, outRight.data() + start};
      effect_->processReplacing(effect_, inputs, outputs, n);
    }
  }

  std::vector<uint8_t> ProgramChunk() {
    void* data = nullptr;
    const VstIntPtr size = Dispatch(effGetChunk, 1, 0, &data);
    const auto* bytes = static_cast<const uint8_t*>(data);
    return size > 0 ? std::vector<uint8_t>(bytes, bytes + size) : std::vector<uint8_t>();
  }

 private:
  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f) {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
  }

  int block_;
  PluginLibrary library_;
  AEffect* effect_ = nullptr;
};

// Sample for sample, bit for bit; reports the first difference.
void ExpectBitIdentical(const std::vector<float>& expected, const std::vector<float>& actual, const char* what) {
  ASSERT_EQ(expected.size(), actual.size()) << what;
  for (size_t i = 0; i < expected.size(); ++i) {
    uint32_t a, b;
    std::memcpy(&a, &expected[i], 4);
    std::memcpy(&b, &actual[i], 4);
    ASSERT_EQ(a, b) << what << ": first difference at frame " << i << " (" << expected[i] << " vs " << actual[i]
                    << ")";
  }
}

// A port value as a host's command line takes it: exact in single precision.
std::string PortValue(const Setting& s) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", s.value);
  return text;
}

// Every input port at its default, then the settings.
void SetPorts(Lv2Plugin& plugin, const std::vector<Setting>& settings) {
  const float defaults[14] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 30, 0, 0, 0, 0};
  for (int i = 0; i < 14; ++i) plugin.Control(kFirstParameterPort + i) = defaults[i];
  for (uint32_t port = kFirstEditorSizePort; port < kFirstEditorSizePort + 3; ++port) plugin.Control(port) = -1.0f;
  for (const Setting& s : settings) plugin.Control(kFirstParameterPort + s.index) = s.value;
}

std::string TempPath(const std::string& name) { return std::string(TORVANE_TEST_SCRATCH "/") + name; }

}  // namespace

TEST(Lv2Description, ReadsWithoutWarningsAndListsEveryPortAsTheVstShowsIt) {
  std::string out;
  ASSERT_EQ(RunCommand(HostCommand("lv2info ") + kUri, out), 0) << out;
  EXPECT_EQ(LowerCase(out).find("warn"), std::string::npos) << out;
  EXPECT_EQ(LowerCase(out).find("error"), std::string::npos) << out;
  EXPECT_NE(out.find("Has latency:       yes, reported by port 26"), std::string::npos) << out;
  EXPECT_NE(out.find("http://lv2plug.in/ns/lv2core#hardRTCapable"), std::string::npos) << out;
  EXPECT_NE(out.find("http://lv2plug.in/ns/ext/state#interface"), std::string::npos) << out;

  struct Port {
    const char* symbol;
    const char* name;
    const char* minMaxDefault;  // as lv2info prints them
    const char* unit;           // of the LV2 units, or none
  };
  const Port ports[] = {
      {"process", "Process", "0.000000 10.000000 0.000000", ""},
      {"dirt", "Dirt", "0.000000 10.000000 0.000000", ""},
      {"sub_bass", "Sub Bass", "-10.000000 10.000000 0.000000", "db"},
      {"low_bass", "Low Bass", "-10.000000 10.000000 0.000000", "db"},
      {"hi_bass", "Hi Bass", "-10.000000 10.000000 0.000000", "db"},
      {"fullness", "Fullness", "-10.000000 10.000000 0.000000", "db"},
      {"articulation", "Articulation", "-10.000000 10.000000 0.000000", "db"},
      {"presence", "Presence", "-10.000000 10.000000 0.000000", "db"},
      {"treble", "Treble", "-10.000000 10.000000 0.000000", "db"},
      {"lf_cut", "LF Cut", "20.000000 100.000000 30.000000", "hz"},
      {"output", "Output", "-20.000000 20.000000 0.000000", "db"},
      {"input_trim", "Input Trim", "-6.000000 6.000000 0.000000", "db"},
      {"transients", "Transients", "0.000000 1.000000 0.000000", ""},
      {"channel", "Channel", "0.000000 1.000000 0.000000", ""},
  };
  constexpr char kUnitPredicate[] =
      "<http://lv2plug.in/ns/extensions/units#unit> <http://lv2plug.in/ns/extensions/units#";
  std::string triples;
  ASSERT_EQ(RunCommand("sordi '" TORVANE_LV2_BUNDLE "/torvane.ttl'", triples), 0) << triples;
  for (int i = 0; i < 14; ++i) {
    const std::string port = PortBlock(out, kFirstParameterPort + i);
    ASSERT_FALSE(port.empty()) << i;
    EXPECT_NE(port.find("Symbol:      " + std::string(ports[i].symbol) + "\n"), std::string::npos) << port;
    EXPECT_NE(port.find("Name:        " + std::string(ports[i].name) + "\n"), std::string::npos) << port;
    double min, max, def;
    std::sscanf(ports[i].minMaxDefault, "%lf %lf %lf", &min, &max, &def);
    char expected[128];
    std::snprintf(expected, sizeof expected, "Minimum:     %f\n\t\tMaximum:     %f\n\t\tDefault:     %f", min, max,
                  def);
    EXPECT_NE(port.find(expected), std::string::npos) << port;
    EXPECT_NE(port.find("http://lv2plug.in/ns/lv2core#InputPort"), std::string::npos) << port;
    // lv2info does not print units; the description's triples hold them.
    const size_t symbol = triples.find("lv2core#symbol> \"" + std::string(ports[i].symbol) + "\"");
    ASSERT_NE(symbol, std::string::npos) << ports[i].symbol;
    const size_t node = triples.rfind('\n', symbol) + 1;
    const std::string unit = triples.substr(node, triples.find(' ', node) - node) + " " + kUnitPredicate;
    const size_t at = triples.find(unit), value = at + unit.size();
    EXPECT_EQ(at == std::string::npos ? "" : triples.substr(value, triples.find('>', value) - value), ports[i].unit);
  }
  // The choices as the VST library displays them, each on its own port.
  const std::pair<int, std::vector<const char*>> choices[] = {
      {9, {"20.0 = \"20 Hz\"", "30.0 = \"30 Hz\"", "40.0 = \"40 Hz\"", "50.0 = \"50 Hz\"", "60.0 = \"60 Hz\"",
           "70.0 = \"70 Hz\"", "80.0 = \"80 Hz\"", "90.0 = \"90 Hz\"", "100.0 = \"100 Hz\""}},
      {11, {"-6.0 = \"-6 dB\"", "0.0 = \"0 dB\"", "6.0 = \"+6 dB\""}},
      {13, {"0.0 = \"Mono\"", "1.0 = \"Stereo\""}},
  };
  for (const auto& [index, points] : choices) {
    const std::string port = PortBlock(out, kFirstParameterPort + index);
    EXPECT_NE(port.find("lv2core#enumeration"), std::string::npos) << port;
    for (const char* point : points) EXPECT_NE(port.find(point), std::string::npos) << point << "\n" << port;
  }
  EXPECT_NE(PortBlock(out, kFirstParameterPort + 12).find("lv2core#toggled"), std::string::npos);
  // The editor size: kept by the host, not shown.
  const char* sizeSymbols[] = {"editor_view", "editor_width", "editor_height"};
  for (uint32_t r = 0; r < 3; ++r) {
    const std::string port = PortBlock(out, kFirstEditorSizePort + r);
    EXPECT_NE(port.find("Symbol:      " + std::string(sizeSymbols[r]) + "\n"), std::string::npos) << port;
    EXPECT_NE(port.find("port-props#notOnGUI"), std::string::npos) << port;
    EXPECT_NE(port.find("Default:     -1.000000"), std::string::npos) << port;
  }
  for (int k = 0; k < 8; ++k) {
    const std::string port = PortBlock(out, kFirstParameterPort + 14 + k);
    ASSERT_FALSE(port.empty()) << k;
    EXPECT_NE(port.find("http://lv2plug.in/ns/lv2core#OutputPort"), std::string::npos) << port;
    EXPECT_NE(port.find("Minimum:     -20.000000"), std::string::npos) << port;
  }
}

TEST(Lv2Description, TurtleValidatesAgainstTheLv2Schemas) {
  std::string out;
  const std::string command = "sord_validate $(find /usr/lib/lv2 -name '*.ttl') '" TORVANE_LV2_BUNDLE
                              "/manifest.ttl' '" TORVANE_LV2_BUNDLE "/torvane.ttl'";
  EXPECT_EQ(RunCommand(command, out), 0) << out;
  EXPECT_NE(out.find("Found 0 errors among"), std::string::npos) << out;
  EXPECT_EQ(out.find("error:"), std::string::npos) << out;
  EXPECT_EQ(LowerCase(out).find("warn"), std::string::npos) << out;
}

// The input, settings and block size through lv2file, and through lv2apply
// (which chooses its own blocks; the output must not depend on them), against
// the VST library in the same blocks.
TEST(Lv2Render, RealHostsRenderBitIdenticallyToTheVstLibrary) {
  std::vector<float> left, right;
  TestSignal(left, right);
  const std::string input = TempPath("lv2-input.wav"), output = TempPath("lv2-output.wav");
  ASSERT_TRUE(WriteWav(input, left, right));
  struct Case {
    const char* host;
    int block;
    const std::vector<Setting>* settings;
  };
  for (const Case& c : {Case{"lv2file", 37, &kStereoSettings}, Case{"lv2file", 512, &kStereoSettings},
                        Case{"lv2file", 4099, &kMonoSettings}, Case{"lv2apply", 1, &kStereoSettings}}) {
    const bool lv2file = std::strcmp(c.host, "lv2file") == 0;
    std::string command = HostCommand(c.host);
    if (lv2file) command += " --ignore-clipping -b " + std::to_string(c.block);
    for (const Setting& s : *c.settings) {
      command += lv2file ? " -p " + std::string(s.symbol) + ":" + PortValue(s)
                         : " -c " + std::string(s.symbol) + " " + PortValue(s);
    }
    command += " -i '" + input + "' -o '" + output + "' " + kUri;
    std::remove(output.c_str());
    std::string out;
    ASSERT_EQ(RunCommand(command, out), 0) << command << "\n" << out;
    std::vector<float> lv2Left, lv2Right, vstLeft, vstRight;
    ASSERT_TRUE(ReadFloatWav(output, lv2Left, lv2Right)) << command << "\n" << out;
    VstRender vst(c.block, *c.settings);
    ASSERT_TRUE(vst.Loaded());
    vst.Process(left, right, vstLeft, vstRight);
    const std::string what = std::string(c.host) + ", block " + std::to_string(c.block);
    ExpectBitIdentical(vstLeft, lv2Left, (what + " left").c_str());
    ExpectBitIdentical(vstRight, lv2Right, (what + " right").c_str());
    // Not silence, and the channel setting came through: stereo keeps the
    // channels apart, mono sends the left one to both.
    double energy = 0.0;
    for (float sample : lv2Left) energy += static_cast<double>(sample) * sample;
    EXPECT_GT(energy / lv2Left.size(), 1e-3) << what;
    EXPECT_EQ(lv2Left == lv2Right, c.settings == &kMonoSettings) << what;
  }
}

// The state is the VST library's program chunk, byte for byte; it restores
// every value (the editor size included) into another instance, which then
// sounds like the original even though its ports stayed at their defaults;
// damaged or foreign state changes nothing.
TEST(Lv2State, IsTheVstProgramChunkAndRestoresWhole) {
  std::vector<float> left, right, outLeft, outRight, restoredLeft, restoredRight;
  TestSignal(left, right);
  Lv2Plugin original(TORVANE_LV2_BINARY);
  ASSERT_TRUE(original.Start(kRate)) << original.Error();
  SetPorts(original, kStereoSettings);
  original.Process(left, right, 256, outLeft, outRight);
  EXPECT_EQ(original.Control(26), 64.0f);  // the latency port
  for (uint32_t meter = 18; meter < 26; ++meter) {
    EXPECT_GE(original.Control(meter), -20.0f);
    EXPECT_LE(original.Control(meter), 20.0f);
  }
  EXPECT_NE(original.Control(25), 0.0f);  // the limiter worked on the last block

  Lv2Plugin::Properties saved;
  ASSERT_EQ(original.Save(saved), LV2_STATE_SUCCESS);
  const LV2_URID key = original.Map("urn:quillfen:torvane#program");
  ASSERT_EQ(saved.size(), 1u);
  ASSERT_EQ(saved.count(key), 1u);
  EXPECT_EQ(saved[key].type, original.Map(LV2_ATOM__Chunk));
  EXPECT_EQ(saved[key].flags, static_cast<uint32_t>(LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE));
  VstRender vst(512, kStereoSettings);
  ASSERT_TRUE(vst.Loaded());
  EXPECT_EQ(saved[key].bytes, vst.ProgramChunk());
  EXPECT_EQ(saved[key].bytes.size(), 148u);
  // A port a careless host fills with no number changes nothing.
  original.Control(kFirstParameterPort) = std::nanf("");
  original.Control(kFirstParameterPort + 10) = INFINITY;
  original.Process(left, right, 256, outLeft, outRight);
  Lv2Plugin::Properties afterNonsense;
  ASSERT_EQ(original.Save(afterNonsense), LV2_STATE_SUCCESS);
  EXPECT_EQ(afterNonsense[key].bytes, saved[key].bytes);

  // A fresh instance with its ports at the defaults takes the state over.
  Lv2Plugin restored(TORVANE_LV2_BINARY);
  ASSERT_TRUE(restored.Start(kRate));
  SetPorts(restored, {});
  // Each host maps URIs its own way.
  Lv2Plugin::Properties theirs;
  theirs[restored.Map("urn:quillfen:torvane#program")] = {saved[key].bytes, restored.Map(LV2_ATOM__Chunk),
                                                          saved[key].flags};
  ASSERT_EQ(restored.Restore(theirs), LV2_STATE_SUCCESS);
  Lv2Plugin::Properties again;
  ASSERT_EQ(restored.Save(again), LV2_STATE_SUCCESS);
  EXPECT_EQ(again.begin()->second.bytes, saved[key].bytes);
  Lv2Plugin fresh(TORVANE_LV2_BINARY);
  ASSERT_TRUE(fresh.Start(kRate));
  SetPorts(fresh, kStereoSettings);
  fresh.Process(left, right, 256, outLeft, outRight);
  restored.Process(left, right, 256, restoredLeft, restoredRight);
  ExpectBitIdentical(outLeft, restoredLeft, "restored left");
  ExpectBitIdentical(outRight, restoredRight, "restored right");

  // The editor size travels with the values: view, width and height follow
  // the header and the count.
  Lv2Plugin::Properties sized = theirs;
  std::vector<uint8_t>& bytes = sized.begin()->second.bytes;
  const double size[3] = {0.0, 1440.0, 840.0};
  std::memcpy(bytes.data() + 12, size, sizeof size);
  ASSERT_EQ(restored.Restore(sized), LV2_STATE_SUCCESS);
  ASSERT_EQ(restored.Save(again), LV2_STATE_SUCCESS);
  EXPECT_EQ(again.begin()->second.bytes, bytes);

  // Damaged: cut short, or of another type, or missing. Nothing changes.
  Lv2Plugin::Properties cut = sized, foreign = sized;
  cut.begin()->second.bytes.resize(100);
  foreign.begin()->second.type = restored.Map(LV2_ATOM__Int);
  EXPECT_NE(restored.Restore(cut), LV2_STATE_SUCCESS);
  EXPECT_EQ(restored.Restore(foreign), LV2_STATE_ERR_BAD_TYPE);
  EXPECT_EQ(restored.Restore({}), LV2_STATE_ERR_NO_PROPERTY);
  ASSERT_EQ(restored.Save(again), LV2_STATE_SUCCESS);
  EXPECT_EQ(again.begin()->second.bytes, bytes);

  // The editor hands its size to the state through the size ports.
  Lv2Plugin sizedByPorts(TORVANE_LV2_BINARY);
  ASSERT_TRUE(sizedByPorts.Start(kRate));
  SetPorts(sizedByPorts, kStereoSettings);
  sizedByPorts.Control(kFirstEditorSizePort) = 0.0f;
  sizedByPorts.Control(kFirstEditorSizePort + 1) = 1440.0f;
  sizedByPorts.Control(kFirstEditorSizePort + 2) = 840.0f;
  sizedByPorts.Process(std::vector<float>(64, 0.0f), std::vector<float>(64, 0.0f), 64, outLeft, outRight);
  Lv2Plugin::Properties fromPorts;
  ASSERT_EQ(sizedByPorts.Save(fromPorts), LV2_STATE_SUCCESS);
  ASSERT_EQ(fromPorts.size(), 1u);
  EXPECT_EQ(fromPorts.begin()->second.bytes, bytes);

  // A host without the URID map gets no state, and no crash.
  Lv2Plugin unmapped(TORVANE_LV2_BINARY);
  ASSERT_TRUE(unmapped.Start(kRate, false));
  Lv2Plugin::Properties none;
  EXPECT_EQ(unmapped.Save(none), LV2_STATE_ERR_NO_FEATURE);
  EXPECT_TRUE(none.empty());
}

}  // namespace torvane
