// Profile (INI) files as the settings use them, through the platform's own
// functions: the same behaviour from the Windows profile functions (under
// Wine) and from our Linux reader and writer.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "system/ProfileFile.h"

namespace torvane {

namespace {
std::string Scratch(const char* name) {
  const std::string path = ::testing::TempDir() + name;
  std::remove(path.c_str());
  return path;
}

std::string Contents(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string Read(const std::string& path, const char* section, const char* key, bool* found = nullptr) {
  char value[128];
  const bool ok = ReadProfileValue(path.c_str(), section, key, "default", value, sizeof value);
  if (found) *found = ok;
  return value;
}
}  // namespace

TEST(ProfileFile, FirstWriteCreatesTheFileAndTheSection) {
  const std::string path = Scratch("first.ini");
  bool found = true;
  EXPECT_EQ(Read(path, "gui", "guiscale", &found), "default");
  EXPECT_FALSE(found);
  ASSERT_TRUE(WriteProfileValue(path.c_str(), "gui", "guiscale", "1.000000000000000"));
  EXPECT_EQ(Read(path, "gui", "guiscale", &found), "1.000000000000000");
  EXPECT_TRUE(found);
  const std::string text = Contents(path);
  EXPECT_NE(text.find("[gui]"), std::string::npos) << text;
  EXPECT_NE(text.find("guiscale=1.000000000000000"), std::string::npos) << text;
}

TEST(ProfileFile, ChangesOneKeyAndKeepsTheRest) {
  const std::string path = Scratch("shared.ini");
  WriteText(path, "; kept\n[other]\nguiscale=7\n[GUI]\n  Colour = dark \nguiscale = 2.0\n[last]\nx=1\n");
  EXPECT_EQ(Read(path, "gui", "GUISCALE"), "2.0");  // names compare without case or blanks
  EXPECT_EQ(Read(path, "gui", "colour"), "dark");
  ASSERT_TRUE(WriteProfileValue(path.c_str(), "gui", "guiscale", "2.500000000000000"));
  ASSERT_TRUE(WriteProfileValue(path.c_str(), "gui", "added", "yes"));
  ASSERT_TRUE(WriteProfileValue(path.c_str(), "new", "k", "v"));
  EXPECT_EQ(Read(path, "gui", "guiscale"), "2.500000000000000");
  EXPECT_EQ(Read(path, "other", "guiscale"), "7");
  EXPECT_EQ(Read(path, "gui", "colour"), "dark");
  EXPECT_EQ(Read(path, "gui", "added"), "yes");
  EXPECT_EQ(Read(path, "last", "x"), "1");
  EXPECT_EQ(Read(path, "new", "k"), "v");
  const std::string text = Contents(path);
  EXPECT_NE(text.find("; kept"), std::string::npos);
  EXPECT_LT(text.find("added=yes"), text.find("[last]"));  // within its own section
}

TEST(ProfileFile, MissingPathsAndFoldersFailQuietly) {
  char value[8];
  EXPECT_FALSE(ReadProfileValue(nullptr, "gui", "guiscale", "-1.0", value, sizeof value));
  EXPECT_STREQ(value, "-1.0");
  const std::string nowhere = ::testing::TempDir() + "no-such-folder/x/Settings.ini";
  EXPECT_FALSE(WriteProfileValue(nowhere.c_str(), "gui", "guiscale", "1"));
  EXPECT_FALSE(ReadProfileValue(nowhere.c_str(), "gui", "guiscale", "a long default", value, sizeof value));
  EXPECT_STREQ(value, "a long ");  // cut to fit
  const std::string folder = ::testing::TempDir() + "profile-folder";
  EXPECT_TRUE(CreateFolder(folder.c_str()));
  EXPECT_TRUE(CreateFolder(folder.c_str()));  // an existing folder is fine
  const std::string file = Scratch("a-file");
  WriteText(file, "x");
  EXPECT_FALSE(CreateFolder(file.c_str()));
  char documents[1024];
  EXPECT_TRUE(DocumentsFolder(documents, sizeof documents));
  EXPECT_FALSE(DocumentsFolder(documents, 2));
}

}  // namespace torvane
