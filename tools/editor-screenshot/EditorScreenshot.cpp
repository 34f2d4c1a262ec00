#include "tools/editor-screenshot/EditorScreenshot.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <stdexcept>
#include <vector>

#include "editor/GraphicsFactory.h"
#include "editor/IHBiDirMeterControl.h"
#include "editor/resize/IEditorResize.h"
#include "editor/resize/SettingsFile.h"
#include "effect/Torvane.h"
#include "platform/headless/IGraphicsHeadless.h"
#include "raster/PngWriter.h"
#include "tools/common/ParameterInfo.h"

namespace torvane {

namespace {

// Far above any state of this plug-in; keeps a wrong file from filling memory.
constexpr std::uintmax_t kMaxStateBytes = 1 << 20;
constexpr double kMeterRangeDb = 20.0;

// The documents folder the screenshot's editor keeps its settings in.
std::string& ScreenshotDocuments() {
  static std::string folder;
  return folder;
}

// A folder of this screenshot's own below the system's temporary folder,
// removed again with everything in it.
class TemporaryFolder {
 public:
  TemporaryFolder() {
    std::random_device random;
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      const auto candidate = base / ("torvane-editor-screenshot-" + std::to_string(random()));
      if (std::filesystem::create_directory(candidate)) path_ = candidate;
    }
    if (path_.empty()) throw std::runtime_error("cannot make a temporary folder in " + base.string());
  }
  ~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  std::string Path() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

// Gives the editors built meanwhile the folder, and none afterwards.
class DocumentsScope {
 public:
  explicit DocumentsScope(const std::string& folder) { ScreenshotDocuments() = folder; }
  ~DocumentsScope() { ScreenshotDocuments().clear(); }
  DocumentsScope(const DocumentsScope&) = delete;
  DocumentsScope& operator=(const DocumentsScope&) = delete;
};

std::string Display(const IParameter& parameter, double value) {
  char text[64] = "";
  parameter.FormatDisplay(value, false, text, sizeof text);
  return text;
}

// What torvane-render learns by probing a parameter through the plug-in
// interface, read here from the parameter itself.
ParameterInfo Describe(const IParameter& parameter, int index) {
  ParameterInfo info;
  info.index = index;
  info.name = parameter.Name();
  info.current = Display(parameter, parameter.Value());
  for (int i = 0; i < parameter.DisplayTextCount(); ++i) {
    const DisplayText& choice = parameter.DisplayTextAt(i);
    info.choices.push_back({choice.text, static_cast<float>(parameter.PositionOf(choice.value))});
  }
  if (info.IsChoice()) return info;
  info.unit = parameter.Label();
  info.hasRange = true;
  info.min = parameter.Min();
  info.max = parameter.Max();
  info.minText = Display(parameter, info.min);
  info.maxText = Display(parameter, info.max);
  return info;
}

int FindParameter(const Torvane& effect, const std::string& name, std::string& error) {
  std::string names;
  for (int i = 0; i < effect.NumParameters(); ++i) {
    if (SameTextIgnoringCase(name, effect.GetParameter(i)->Name())) return i;
    names += std::string(i > 0 ? ", " : "") + effect.GetParameter(i)->Name();
  }
  error = "Torvane has no parameter \"" + name + "\"; it has " + names;
  return -1;
}

bool ApplySetting(Torvane& effect, const ParameterSetting& setting, std::string& error) {
  const int index = FindParameter(effect, setting.name, error);
  if (index < 0) return false;
  IParameter& parameter = *effect.GetParameter(index);
  ScopedLock lock(effect.Lock());
  if (setting.isPosition) {
    char* end = nullptr;
    const double position = std::strtod(setting.value.c_str(), &end);
    if (setting.value.empty() || *end != '\0' || !(position >= 0.0 && position <= 1.0)) {
      error = "the position of \"" + setting.name + "\" must lie between 0 and 1";
      return false;
    }
    parameter.SetFromPosition(position);
  } else {
    const ParameterInfo info = Describe(parameter, index);
    ParameterValue value;
    if (!ParseParameterValue(info, setting.value, value, error)) return false;
    parameter.SetClamped(value.choice >= 0 ? parameter.DisplayTextAt(value.choice).value : value.number);
  }
  effect.OnParameterChange(index);
  return true;
}

bool LoadState(Torvane& effect, const std::string& path, std::string& error) {
  std::error_code failure;
  const std::uintmax_t size = std::filesystem::file_size(path, failure);
  if (failure || size > kMaxStateBytes) {
    error = failure ? "cannot read the state file " + path : path + " is far too large for a state of Torvane";
    return false;
  }
  std::ifstream file(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  AEffect* record = effect.EffectRecord();
  if (!file.good() && !file.eof()) {
    error = "cannot read the state file " + path;
    return false;
  }
  if (bytes.empty() || record->dispatcher(record, effSetChunk, 1, static_cast<VstIntPtr>(bytes.size()),
                                          bytes.data(), 0.0f) != 1) {
    error = path + " is not a state of Torvane";
    return false;
  }
  return true;
}

void SetMeters(IGraphics& graphics, const std::vector<double>& decibels) {
  size_t meter = 0;
  for (int i = 0; i < graphics.ControlCount(); ++i) {
    IControl* control = graphics.GetControl(i);
    if (!dynamic_cast<IHBiDirMeterControl*>(control)) continue;
    // -20 dB at the left end, 0 dB in the middle, +20 dB at the right end.
    const double db = meter < decibels.size() ? decibels[meter] : 0.0;
    control->SetValueFromEffect((db + kMeterRangeDb) / (2.0 * kMeterRangeDb));
    ++meter;
  }
}

}  // namespace

// The editor the effect builds here: no window, and settings of its own (none
// outside a screenshot).
std::unique_ptr<IGraphics> CreateGraphics(IEffectBase& effect) {
  auto graphics = std::make_unique<IGraphicsHeadless>(effect);
  graphics->UseDocumentsFolder(ScreenshotDocuments().c_str());
  return graphics;
}

bool RenderEditorScreenshot(const ScreenshotOptions& options, GrowableBuffer& png, std::string& error) {
  TemporaryFolder documents;
  const DocumentsScope scope(documents.Path());
  SettingsFile(ScreenshotDocuments().c_str(), "Quillfen", "Torvane").WriteStoredScale(options.scale);

  Torvane effect(nullptr);
  AEffect* record = effect.EffectRecord();
  record->dispatcher(record, effOpen, 0, 0, nullptr, 0.0f);
  if (!options.loadState.empty() && !LoadState(effect, options.loadState, error)) return false;
  for (const ParameterSetting& setting : options.settings) {
    if (!ApplySetting(effect, setting, error)) return false;
  }
  auto& graphics = static_cast<IGraphics&>(*effect.Editor());
  effect.RefreshEditorControls();
  SetMeters(graphics, options.meterDecibels);

  effect.ResizeState()->ApplyStoredSizeOnOpen();
  const auto& resize = static_cast<const IEditorResize&>(*graphics.GetControl(graphics.ControlCount() - 1));
  // The scale passes through the settings file's 15 decimals.
  constexpr double kSameScale = 1e-9;
  if (std::fabs(resize.GuiScale() - options.scale) > kSameScale) {
    error = "the editor does not open at scale " + std::to_string(options.scale) + ": its window would be " +
            (options.scale < 1.0 ? "empty" : "wider than " + std::to_string(IEditorResize::kMaxWindowSide) + " pixels");
    return false;
  }
  graphics.MarkAllControlsDirty();
  graphics.PaintArea({0, 0, graphics.Width(), graphics.Height()});
  if (!EncodePng(*graphics.Surface(), png)) {
    error = "cannot encode the picture";
    return false;
  }
  return true;
}

}  // namespace torvane
