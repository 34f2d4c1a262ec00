#include "editor/resize/SettingsFile.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>

#include "system/ProfileFile.h"

namespace torvane {

namespace {
constexpr char kSection[] = "gui";
constexpr char kScaleKey[] = "guiscale";
constexpr char kFileName[] = "/Settings.ini";
constexpr double kDefaultScale = 1.0;
constexpr int kValueBytes = 128;
constexpr int kDecimals = 15;

// Creates every missing folder of path, the outermost first (failures are
// ignored: a later write then simply does not stick). A minimal system may
// have no documents folder yet.
void CreateFolders(const char* path) noexcept {
  GrowableText prefix;
  for (int i = 1; path[i]; ++i) {
    if ((path[i] == '/' || path[i] == '\\') && prefix.Set(path, i)) CreateFolder(prefix.Get());
  }
  CreateFolder(path);
}
}  // namespace

SettingsFile::SettingsFile(const char* documentsFolder, const char* makerName, const char* effectName) noexcept {
  // Without a documents folder the path would start at the root of the file
  // system (or of the current drive): nothing is kept then.
  if (!documentsFolder || !*documentsFolder) return;
  // Forward slashes on every platform; the Windows profile functions take them.
  path_.Set(documentsFolder);
  path_.Append("/");
  path_.Append(makerName);
  path_.Append("/");
  path_.Append(effectName);
  CreateFolders(path_.Get());
  path_.Append(kFileName);
}

double SettingsFile::ReadStoredScale() const noexcept {
  char text[kValueBytes];
  if (!HasPath() || !ReadProfileValue(path_.Get(), kSection, kScaleKey, "", text, sizeof text)) return kNotSet;
  // With a point in every locale; a comma is what a comma locale wrote once.
  const char* start = text;
  while (*start == ' ' || *start == '\t') ++start;
  if (*start == '+') ++start;
  for (char* c = text; *c; ++c) {
    if (*c == ',') *c = '.';
  }
  const char* end = text + std::strlen(text);
  double scale = 0.0;
  const std::from_chars_result read = std::from_chars(start, end, scale);
  // Text that is no number, or a scale no window can have, counts as not set.
  if (read.ec != std::errc() || read.ptr == start || !std::isfinite(scale) || scale <= 0.0) return kNotSet;
  return scale;
}

void SettingsFile::WriteStoredScale(double scale) noexcept {
  if (!HasPath()) return;
  char text[kValueBytes];
  // With a point whatever the host's numeric locale: every host reads it.
  const std::to_chars_result written =
      std::to_chars(text, text + sizeof text - 1, scale, std::chars_format::fixed, kDecimals);
  if (written.ec != std::errc()) return;
  *written.ptr = '\0';
  WriteProfileValue(path_.Get(), kSection, kScaleKey, text);
}

double SettingsFile::ReadOrStoreDefaultScale() noexcept {
  const double stored = ReadStoredScale();
  if (stored != kNotSet) return stored;
  WriteStoredScale(kDefaultScale);
  return kDefaultScale;
}

}  // namespace torvane
