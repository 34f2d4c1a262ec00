// The scale remembered per user in Settings.ini below the documents folder.
#include "editor/resize/SettingsFile.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
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

// A numeric locale with a decimal comma, as a German host runs in. On Linux
// a locale of that one category, built with the C library's localedef into
// the test's folder.
bool UseCommaLocale() {
#ifdef _WIN32
  if (!std::setlocale(LC_NUMERIC, "German_Germany.1252")) return false;
#else
  const std::string folder = ::testing::TempDir() + "comma-locale";
  CreateFolder(folder.c_str());
  std::ofstream(folder + "/comma.src") << "LC_NUMERIC\ndecimal_point \",\"\nthousands_sep \".\"\ngrouping 3;3\n"
                                          "END LC_NUMERIC\n";
  // It warns of the categories left out (and says so in its status).
  const std::string command = "localedef -c -i " + folder + "/comma.src -f UTF-8 " + folder + "/comma.UTF-8 >/dev/null 2>&1";
  if (std::system(command.c_str()) < 0) return false;
  setenv("LOCPATH", folder.c_str(), 1);
  if (!std::setlocale(LC_NUMERIC, "comma.UTF-8")) return false;
#endif
  char text[16];
  std::snprintf(text, sizeof text, "%.1f", 1.5);
  return std::string(text) == "1,5";
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

// A documents folder that does not exist yet (a minimal system) is made,
// with everything down to the file.
TEST(SettingsFile, MissingDocumentsFolderIsCreatedDownToTheFile) {
  const std::string documents = ::testing::TempDir() + "missing-home/Documents";
  SettingsFile settings(documents.c_str(), "Quillfen", "Torvane");
  settings.WriteStoredScale(1.5);
  EXPECT_EQ(settings.ReadStoredScale(), 1.5);
}

// Hosts run in the user's numeric locale; the file is the same in every one.
TEST(SettingsFile, TheScaleIsWrittenAndReadWithAPointInACommaLocale) {
  const std::string documents = FreshDocuments("comma-locale");
  SettingsFile settings(documents.c_str(), "Quillfen", "Torvane");
  ASSERT_TRUE(UseCommaLocale());
  settings.WriteStoredScale(1.491228070175439);
  EXPECT_NE(Contents(settings.Path()).find("guiscale=1.491228070175439"), std::string::npos) << Contents(settings.Path());
  EXPECT_EQ(settings.ReadStoredScale(), 1.491228070175439);
  // What an earlier version wrote in such a locale still reads.
  ASSERT_TRUE(WriteProfileValue(settings.Path(), "gui", "guiscale", "2,5"));
  EXPECT_EQ(settings.ReadStoredScale(), 2.5);
  std::setlocale(LC_NUMERIC, "C");
  settings.WriteStoredScale(2.25);
  EXPECT_EQ(settings.ReadStoredScale(), 2.25);
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
