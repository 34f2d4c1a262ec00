// Profile (INI) files as the settings use them, through the platform's own
// functions: the same behaviour from the Windows profile functions (under
// Wine) and from our Linux reader and writer.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "system/ProfileFile.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

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

#ifndef _WIN32
// The user's choices about the file stand: read-only stays unwritten, a link
// keeps pointing at the file it names, which takes the value.
TEST(ProfileFile, AReadOnlyFileStaysAndALinkIsWrittenThrough) {
  const std::string readOnly = Scratch("read-only.ini");
  WriteText(readOnly, "[gui]\nguiscale=2.000000000000000\n");
  ASSERT_EQ(chmod(readOnly.c_str(), 0444), 0);
  EXPECT_FALSE(WriteProfileValue(readOnly.c_str(), "gui", "guiscale", "1.000000000000000"));
  EXPECT_EQ(Contents(readOnly), "[gui]\nguiscale=2.000000000000000\n");
  struct stat info;
  ASSERT_EQ(stat(readOnly.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0444u);

  const std::string target = Scratch("link-target.ini");
  const std::string link = Scratch("link.ini");
  WriteText(target, "[gui]\nguiscale=2.000000000000000\n");
  ASSERT_EQ(chmod(target.c_str(), 0640), 0);
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
  EXPECT_TRUE(WriteProfileValue(link.c_str(), "gui", "guiscale", "3.000000000000000"));
  struct stat linkInfo;
  ASSERT_EQ(lstat(link.c_str(), &linkInfo), 0);
  EXPECT_TRUE(S_ISLNK(linkInfo.st_mode));
  EXPECT_EQ(Contents(target), "[gui]\nguiscale=3.000000000000000\n");
  ASSERT_EQ(stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  chmod(readOnly.c_str(), 0644);
}

// A desktop in another language names the folder in user-dirs.dirs.
TEST(ProfileFile, DocumentsFolderFollowsTheDesktopsUserDirs) {
  const std::string home = ::testing::TempDir() + "profile-home";
  CreateFolder(home.c_str());
  CreateFolder((home + "/.config").c_str());
  const char* saved = std::getenv("XDG_DOCUMENTS_DIR");
  const std::string savedDocuments = saved ? saved : "";
  const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
  unsetenv("XDG_DOCUMENTS_DIR");
  unsetenv("XDG_CONFIG_HOME");
  setenv("HOME", home.c_str(), 1);
  char documents[1024];
  std::remove((home + "/.config/user-dirs.dirs").c_str());
  ASSERT_TRUE(DocumentsFolder(documents, sizeof documents));
  EXPECT_EQ(std::string(documents), home + "/Documents");
  WriteText(home + "/.config/user-dirs.dirs",
            "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
            "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
  ASSERT_TRUE(DocumentsFolder(documents, sizeof documents));
  EXPECT_EQ(std::string(documents), home + "/Dokumente");
  WriteText(home + "/.config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"/srv/papers\"\n");
  ASSERT_TRUE(DocumentsFolder(documents, sizeof documents));
  EXPECT_STREQ(documents, "/srv/papers");
  setenv("XDG_DOCUMENTS_DIR", "/from/the/environment", 1);
  ASSERT_TRUE(DocumentsFolder(documents, sizeof documents));
  EXPECT_STREQ(documents, "/from/the/environment");
  setenv("HOME", savedHome.c_str(), 1);
  if (saved) setenv("XDG_DOCUMENTS_DIR", savedDocuments.c_str(), 1);
  else unsetenv("XDG_DOCUMENTS_DIR");
}
#endif

}  // namespace torvane
