#include "editor/resize/SettingsFile.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "system/ProfileFile.h"

namespace torvane {

namespace {
constexpr char kSection[] = "gui";
constexpr char kScaleKey[] = "guiscale";
constexpr char kFileName[] = "/Settings.ini";
constexpr double kDefaultScale = 1.0;
constexpr int kValueBytes = 128;
}  // namespace

SettingsFile::SettingsFile(const char* documentsFolder, const char* makerName, const char* effectName) noexcept {
  // Without a documents folder the path would start at the root of the file
  // system (or of the current drive): nothing is kept then.
  if (!documentsFolder || !*documentsFolder) return;
  // Forward slashes on every platform; the Windows profile functions take them.
  path_.Set(documentsFolder);
  path_.Append("/");
  path_.Append(makerName);
  CreateFolder(path_.Get());
  path_.Append("/");
  path_.Append(effectName);
  CreateFolder(path_.Get());
  path_.Append(kFileName);
}

double SettingsFile::ReadStoredScale() const noexcept {
  char text[kValueBytes];
  if (!HasPath() || !ReadProfileValue(path_.Get(), kSection, kScaleKey, "", text, sizeof text)) return kNotSet;
  char* end = nullptr;
  const double scale = std::strtod(text, &end);
  // Text that is no number, or a scale no window can have, counts as not set.
  if (end == text || !std::isfinite(scale) || scale <= 0.0) return kNotSet;
  return scale;
}

void SettingsFile::WriteStoredScale(double scale) noexcept {
  if (!HasPath()) return;
  char text[kValueBytes];
  std::snprintf(text, sizeof text, "%.15f", scale);
  WriteProfileValue(path_.Get(), kSection, kScaleKey, text);
}

double SettingsFile::ReadOrStoreDefaultScale() noexcept {
  const double stored = ReadStoredScale();
  if (stored != kNotSet) return stored;
  WriteStoredScale(kDefaultScale);
  return kDefaultScale;
}

}  // namespace torvane
