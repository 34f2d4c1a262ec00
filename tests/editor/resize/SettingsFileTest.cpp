// The scale remembered per user in Settings.ini below the documents folder.
#include "editor/resize/SettingsFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "system/ProfileFile.h"

namespace torvane {

namespace {
// A documents folder of the test's own, empty at the start.
std::string FreshDocuments(const char* name) {
  const std::string folder = ::testing::TempDir() + name;
  CreateFolder(folder.c_str());
  std::remove((folder + "/Quillfen/Torvane/Settings.ini").c_str());
  return folder;
}

std::string Contents(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}
}  // namespace

TEST(SettingsFile, FirstRunCreatesTheFoldersAndStoresScaleOne) {
  const std::string documents = FreshDocuments("first-run");
  SettingsFile settings(documents.c_str(), "Quillfen", "Torvane");
  EXPECT_EQ(std::string(settings.Path()), documents + "/Quillfen/Torvane/Settings.ini");
  EXPECT_EQ(settings.ReadStoredScale(), SettingsFile::kNotSet);
  EXPECT_EQ(settings.ReadOrStoreDefaultScale(), 1.0);
  EXPECT_NE(Contents(settings.Path()).find("guiscale=1.000000000000000"), std::string::npos);
  EXPECT_EQ(settings.ReadStoredScale(), 1.0);
}

TEST(SettingsFile, OneInstanceWritesAndAnotherReads) {
  const std::string documents = FreshDocuments("shared");
  SettingsFile first(documents.c_str(), "Quillfen", "Torvane"), second(documents.c_str(), "Quillfen", "Torvane");
  first.WriteStoredScale(2.5);
  EXPECT_NE(Contents(first.Path()).find("guiscale=2.500000000000000"), std::string::npos);
  EXPECT_EQ(second.ReadOrStoreDefaultScale(), 2.5);
  first.WriteStoredScale(5.0);  // kept as stored: the editor decides what to make of it
  EXPECT_EQ(second.ReadStoredScale(), 5.0);
}

// "-1.0" is how nothing stored is written; a damaged value must not keep the
// editor from opening either, so it counts as not set and is repaired.
TEST(SettingsFile, NotSetAndDamagedValuesCountAsNothingStored) {
  const std::string documents = FreshDocuments("damaged");
  SettingsFile settings(documents.c_str(), "Quillfen", "Torvane");
  for (const char* value : {"-1.0", "garbage", "0", "nan", "-3", ""}) {
    ASSERT_TRUE(WriteProfileValue(settings.Path(), "gui", "guiscale", value));
    EXPECT_EQ(settings.ReadStoredScale(), SettingsFile::kNotSet) << value;
  }
  EXPECT_EQ(settings.ReadOrStoreDefaultScale(), 1.0);
  EXPECT_EQ(settings.ReadStoredScale(), 1.0);
}

TEST(SettingsFile, UnusableFolderLeavesTheScaleUnsavedWithoutHarm) {
  const std::string documents = ::testing::TempDir() + "not-a-folder";
  std::ofstream(documents) << "a file where the folder should be";
  SettingsFile settings(documents.c_str(), "Quillfen", "Torvane");
  EXPECT_EQ(settings.ReadOrStoreDefaultScale(), 1.0);
  EXPECT_EQ(settings.ReadStoredScale(), SettingsFile::kNotSet);
}

// A platform that knows no documents folder must not make the settings start
// at the root of the file system: nothing is read, written or created.
TEST(SettingsFile, NoDocumentsFolderKeepsNothing) {
  for (const char* none : {static_cast<const char*>(nullptr), ""}) {
    SettingsFile settings(none, "Quillfen", "Torvane");
    EXPECT_STREQ(settings.Path(), "");
    EXPECT_EQ(settings.ReadOrStoreDefaultScale(), 1.0);
    settings.WriteStoredScale(2.0);
    EXPECT_EQ(settings.ReadStoredScale(), SettingsFile::kNotSet);
  }
  EXPECT_FALSE(std::ifstream("/Quillfen/Torvane/Settings.ini").good());
}

}  // namespace torvane
