// The settings file where the window layer says the user's documents are:
// the shell's Documents folder, written with the system's profile functions.
#include <gtest/gtest.h>

#include <string>

#include "TestEditor.h"
#include "editor/resize/SettingsFile.h"

namespace torvane {

TEST(SettingsBelowDocuments, FirstRunCreatesTheFoldersAndAValueOfMinusOneCountsAsNotSet) {
  TestEditor editor;
  GrowableText documents;
  editor.graphics->DocumentsFolder(documents);
  ASSERT_NE(GetFileAttributesA(documents.Get()), INVALID_FILE_ATTRIBUTES) << documents.Get();
  const std::string maker = std::string(documents.Get()) + "\\Quillfen";
  const std::string file = maker + "\\Torvane\\Settings.ini";
  // A user's own settings survive the test.
  char kept[128] = "";
  const bool hadValue = GetPrivateProfileStringA("gui", "guiscale", "", kept, sizeof(kept), file.c_str()) > 0;
  DeleteFileA(file.c_str());
  RemoveDirectoryA((maker + "\\Torvane").c_str());
  RemoveDirectoryA(maker.c_str());

  SettingsFile settings(documents.Get(), "Quillfen", "Torvane");
  EXPECT_EQ(std::string(settings.Path()), std::string(documents.Get()) + "/Quillfen/Torvane/Settings.ini");
  EXPECT_EQ(settings.ReadOrStoreDefaultScale(), 1.0);
  char stored[128] = "";
  GetPrivateProfileStringA("gui", "guiscale", "", stored, sizeof(stored), file.c_str());
  EXPECT_STREQ(stored, "1.000000000000000");
  WritePrivateProfileStringA("gui", "guiscale", "-1.0", file.c_str());
  EXPECT_EQ(settings.ReadStoredScale(), SettingsFile::kNotSet);

  if (hadValue) WritePrivateProfileStringA("gui", "guiscale", kept, file.c_str());
}

}  // namespace torvane
