#pragma once

#include "core/GrowableText.h"

namespace torvane {

// The editor scale remembered per user: "Settings.ini" in the folder
// <Documents>/<maker>/<effect>, section "gui", key "guiscale", written with 15
// decimals. Every instance in every host shares it without a lock; the last
// writer wins and the others pick the value up at their next editor open.
// Owned by the editor's resize controller; used on the window thread.
class SettingsFile {
 public:
  // The value that means "nothing stored".
  static constexpr double kNotSet = -1.0;

  // Builds the path below the documents folder and creates the two folders
  // (failures are ignored: a later write then simply does not stick). With no
  // documents folder (null or empty) there is no file: nothing is read or
  // written.
  SettingsFile(const char* documentsFolder, const char* makerName, const char* effectName) noexcept;

  // The stored scale, or kNotSet when the file, the section or the key is
  // missing, or holds no positive number: a damaged file never keeps the
  // editor from opening.
  double ReadStoredScale() const noexcept;
  void WriteStoredScale(double scale) noexcept;
  // The stored scale; when nothing is stored, 1.0, which is then written so
  // that the file exists for the user to find.
  double ReadOrStoreDefaultScale() noexcept;

  const char* Path() const noexcept { return path_.Get(); }
  bool HasPath() const noexcept { return path_.Length() > 0; }

 private:
  GrowableText path_;
};

}  // namespace torvane
