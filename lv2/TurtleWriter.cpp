// Writes the bundle's description from the effect's own records, so that the
// LV2 ports carry the VST parameters' names, ranges, defaults, units and
// choices exactly: manifest.ttl and torvane.ttl into the folder given.
// Usage: torvane-lv2-turtle FOLDER PLUGIN_BINARY UI_BINARY
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "framework/EffectFactory.h"
#include "framework/IEffectBase.h"
#include "framework/IParameter.h"
#include "lv2/PortLayout.h"
#include "lv2/PortScale.h"

namespace torvane {
namespace {

// The effect's meters in the order it reports them: the left channel's seven
// band gains, then the limiter's.
constexpr const char* kMeterNames[] = {"Band Gain 30 Hz",  "Band Gain 80 Hz",   "Band Gain 120 Hz",
                                       "Band Gain 300 Hz", "Band Gain 500 Hz",  "Band Gain 1800 Hz",
                                       "Band Gain 4500 Hz", "Limiter Gain"};
constexpr int kMeterNameCount = static_cast<int>(sizeof kMeterNames / sizeof kMeterNames[0]);
constexpr const char* kChannelNames[] = {"Left", "Right"};
constexpr const char* kEditorSizeNames[EditorSizeRecords::kCount] = {"Editor View", "Editor Width",
                                                                      "Editor Height"};

// Whole numbers below this print in full ("20.0", not "2e+01").
constexpr double kWholeInFull = 1e15;

// A Turtle decimal: always with a point, shortest form that reads back exactly.
std::string Decimal(double value) {
  char text[40];
  if (value == std::floor(value) && std::fabs(value) < kWholeInFull) {
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
  }
  for (int digits = 1; digits <= 17; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    if (std::strtod(text, nullptr) == value) break;
  }
  std::string out = text;
  if (out.find_first_of(".e") == std::string::npos) out += ".0";
  return out;
}

// A name as a port symbol: lower case, words joined by underscores.
std::string Symbol(const char* name) {
  std::string out;
  for (const char* p = name; *p; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (std::isalnum(c)) {
      out += static_cast<char>(std::tolower(c));
    } else if (!out.empty() && out.back() != '_') {
      out += '_';
    }
  }
  while (!out.empty() && out.back() == '_') out.pop_back();
  if (out.empty() || std::isdigit(static_cast<unsigned char>(out[0]))) out = "p_" + out;
  return out;
}

std::string Quoted(const char* text) {
  std::string out = "\"";
  for (const char* p = text; *p; ++p) {
    if (*p == '"' || *p == '\\') out += '\\';
    out += *p;
  }
  return out + "\"";
}

void AudioPort(std::ostream& out, uint32_t index, bool input, int channel, int channels) {
  const char* side = channel < 2 && channels == 2 ? kChannelNames[channel] : nullptr;
  std::string name = std::string(input ? "Input" : "Output") + " " + (side ? side : std::to_string(channel + 1));
  out << "  [\n    a lv2:AudioPort , " << (input ? "lv2:InputPort" : "lv2:OutputPort") << " ;\n"
      << "    lv2:index " << index << " ;\n    lv2:symbol " << Quoted(Symbol(name.c_str()).c_str()) << " ;\n"
      << "    lv2:name " << Quoted(name.c_str()) << "\n  ]";
}

// The LV2 unit a unit text names, or null.
const char* Lv2Unit(const char* unit) {
  if (std::strcmp(unit, "dB") == 0) return "units:db";
  if (std::strcmp(unit, "Hz") == 0) return "units:hz";
  return nullptr;
}

void ParameterPort(std::ostream& out, uint32_t index, const IParameter& p) {
  const PortScale scale(p);
  out << "  [\n    a lv2:ControlPort , lv2:InputPort ;\n    lv2:index " << index << " ;\n"
      << "    lv2:symbol " << Quoted(Symbol(p.Name()).c_str()) << " ;\n    lv2:name " << Quoted(p.Name()) << " ;\n"
      << "    lv2:default " << Decimal(scale.Default()) << " ;\n    lv2:minimum " << Decimal(scale.Minimum())
      << " ;\n    lv2:maximum " << Decimal(scale.Maximum());
  if (const char* unit = Lv2Unit(scale.Unit())) out << " ;\n    units:unit " << unit;
  bool whole = true;
  for (int i = 0; i < p.DisplayTextCount(); ++i) {
    const double value = scale.PortValue(p.DisplayTextAt(i).value);
    whole = whole && value == std::floor(value);
  }
  if (p.Type() == TypeBool) {
    out << " ;\n    lv2:portProperty lv2:toggled";
  } else if ((p.Type() == TypeEnum && whole) || p.Type() == TypeInt) {
    out << " ;\n    lv2:portProperty lv2:integer";
    if (p.DisplayTextCount() > 0) out << " , lv2:enumeration";
  } else if (p.Type() == TypeEnum) {
    out << " ;\n    lv2:portProperty lv2:enumeration";
  }
  if (p.Type() != TypeBool) {
    for (int i = 0; i < p.DisplayTextCount(); ++i) {
      const DisplayText& text = p.DisplayTextAt(i);
      out << " ;\n    lv2:scalePoint [ rdfs:label " << Quoted(text.text) << " ; rdf:value "
          << Decimal(scale.PortValue(text.value)) << " ]";
    }
  }
  out << "\n  ]";
}

void MeterPort(std::ostream& out, uint32_t index, int meter) {
  const std::string name = meter < kMeterNameCount ? kMeterNames[meter] : "Meter " + std::to_string(meter + 1);
  out << "  [\n    a lv2:ControlPort , lv2:OutputPort ;\n    lv2:index " << index << " ;\n"
      << "    lv2:symbol " << Quoted(Symbol(name.c_str()).c_str()) << " ;\n    lv2:name " << Quoted(name.c_str())
      << " ;\n    lv2:default 0.0 ;\n    lv2:minimum " << Decimal(kMeterFloorDb) << " ;\n    lv2:maximum "
      << Decimal(kMeterFloorDb + kMeterSpanDb) << " ;\n    units:unit units:db\n  ]";
}

void LatencyPort(std::ostream& out, uint32_t index, int latency) {
  out << "  [\n    a lv2:ControlPort , lv2:OutputPort ;\n    lv2:index " << index << " ;\n"
      << "    lv2:symbol \"latency\" ;\n    lv2:name \"Latency\" ;\n    lv2:designation lv2:latency ;\n"
      << "    lv2:portProperty lv2:reportsLatency , lv2:integer ;\n    lv2:default " << Decimal(latency)
      << " ;\n    lv2:minimum 0.0 ;\n    lv2:maximum " << Decimal(latency) << " ;\n    units:unit units:frame\n  ]";
}

// Not a parameter: the host keeps it with the session and hands it back, and
// neither shows nor automates it.
void EditorSizePort(std::ostream& out, uint32_t index, const char* name, const IParameter& record) {
  out << "  [\n    a lv2:ControlPort , lv2:InputPort ;\n    lv2:index " << index << " ;\n"
      << "    lv2:symbol " << Quoted(Symbol(name).c_str()) << " ;\n    lv2:name " << Quoted(name) << " ;\n"
      << "    lv2:default " << Decimal(record.DefaultValue()) << " ;\n    lv2:minimum " << Decimal(record.Min())
      << " ;\n    lv2:maximum " << Decimal(record.Max()) << " ;\n"
      << "    lv2:portProperty lv2:integer , pprops:notOnGUI , pprops:notAutomatic\n  ]";
}

std::string Description(IEffectBase& effect, const std::string& uiBinary) {
  const PortLayout layout(effect);
  std::ostringstream out;
  out << "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
         "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
         "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
         "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
         "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
         "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
         "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
         "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
         "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
         "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
         "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n";
  const uint32_t version = effect.Version();
  out << "<" << kLv2PluginUri << ">\n  a lv2:Plugin , lv2:DynamicsPlugin , doap:Project ;\n"
      << "  doap:name " << Quoted(effect.EffectName()) << " ;\n"
      << "  doap:maintainer [ foaf:name " << Quoted(effect.MakerName()) << " ] ;\n"
      << "  lv2:minorVersion " << ((version >> 8) & 0xFF) << " ;\n  lv2:microVersion " << (version & 0xFF) << " ;\n"
      << "  lv2:optionalFeature lv2:hardRTCapable , urid:map , opts:options ;\n"
      << "  lv2:extensionData state:interface ;\n";
  if (!uiBinary.empty()) out << "  ui:ui <" << kLv2UiUri << "> ;\n";
  out << "  lv2:port\n";
  bool first = true;
  auto next = [&] {
    if (!first) out << " ,\n";
    first = false;
  };
  for (int c = 0; c < layout.Inputs(); ++c) next(), AudioPort(out, layout.AudioInput(c), true, c, layout.Inputs());
  for (int c = 0; c < layout.Outputs(); ++c) next(), AudioPort(out, layout.AudioOutput(c), false, c, layout.Outputs());
  for (int i = 0; i < layout.Parameters(); ++i) next(), ParameterPort(out, layout.Parameter(i), *effect.GetParameter(i));
  for (int k = 0; k < layout.Meters(); ++k) next(), MeterPort(out, layout.Meter(k), k);
  next(), LatencyPort(out, layout.Latency(), effect.Latency());
  for (int r = 0; r < EditorSizeRecords::kCount; ++r) {
    next(), EditorSizePort(out, layout.EditorSize(r), kEditorSizeNames[r], effect.EditorSize()[r]);
  }
  out << " .\n";
  if (!uiBinary.empty()) {
    out << "\n<" << kLv2UiUri << ">\n  a ui:X11UI ;\n  ui:binary <" << uiBinary << "> ;\n"
        << "  lv2:requiredFeature ui:idleInterface , ui:parent ;\n"
        << "  lv2:optionalFeature ui:resize , ui:touch ;\n"
        << "  lv2:extensionData ui:idleInterface .\n";
  }
  return out.str();
}

std::string Manifest(const std::string& binary, const std::string& uiBinary) {
  std::ostringstream out;
  out << "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
         "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n";
  if (!uiBinary.empty()) out << "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n";
  out << "\n<" << kLv2PluginUri << ">\n  a lv2:Plugin ;\n  lv2:binary <" << binary << "> ;\n"
      << "  rdfs:seeAlso <torvane.ttl> .\n";
  if (!uiBinary.empty()) {
    out << "\n<" << kLv2UiUri << ">\n  a ui:X11UI ;\n  ui:binary <" << uiBinary << "> ;\n"
        << "  rdfs:seeAlso <torvane.ttl> .\n";
  }
  return out.str();
}

bool WriteFile(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
  file.close();
  return static_cast<bool>(file);
}

}  // namespace
}  // namespace torvane

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: torvane-lv2-turtle FOLDER PLUGIN_BINARY UI_BINARY\n");
    return 1;
  }
  try {
    std::unique_ptr<torvane::IEffectBase> effect = torvane::CreateEffect();
    if (!effect) throw std::bad_alloc();
    const std::string folder = argv[1];
    if (!torvane::WriteFile(folder + "/manifest.ttl", torvane::Manifest(argv[2], argv[3])) ||
        !torvane::WriteFile(folder + "/torvane.ttl", torvane::Description(*effect, argv[3]))) {
      std::fprintf(stderr, "torvane-lv2-turtle: cannot write into %s\n", argv[1]);
      return 2;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "torvane-lv2-turtle: %s\n", e.what());
    return 2;
  }
  return 0;
}
