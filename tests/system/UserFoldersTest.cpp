// The user's standard folders as the platform names them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "system/UserFolders.h"

namespace torvane {

#ifdef _WIN32
TEST(UserFolders, ComeFromTheShellAsAbsolutePaths) {
  for (UserFolder folder : {UserFolder::Desktop, UserFolder::LocalAppData, UserFolder::CommonAppData}) {
    char path[260];
    ASSERT_TRUE(FindUserFolder(folder, path, sizeof path));
    EXPECT_EQ(path[1], ':') << path;
  }
  char tooSmall[3];
  EXPECT_FALSE(FindUserFolder(UserFolder::Desktop, tooSmall, sizeof tooSmall));
}
#else
TEST(UserFolders, FollowTheXdgVariablesOrTheHomeFolder) {
  const char* home = std::getenv("HOME");
  const std::string savedHome = home ? home : "";
  setenv("HOME", "/home/player", 1);
  setenv("XDG_DESKTOP_DIR", "/data/desk", 1);
  setenv("XDG_DATA_HOME", "relative/is/ignored", 1);
  char path[256];
  ASSERT_TRUE(FindUserFolder(UserFolder::Desktop, path, sizeof path));
  EXPECT_STREQ(path, "/data/desk");
  ASSERT_TRUE(FindUserFolder(UserFolder::LocalAppData, path, sizeof path));
  EXPECT_STREQ(path, "/home/player/.local/share");
  unsetenv("XDG_DESKTOP_DIR");
  ASSERT_TRUE(FindUserFolder(UserFolder::Desktop, path, sizeof path));
  EXPECT_STREQ(path, "/home/player/Desktop");
  char tooSmall[8];
  EXPECT_FALSE(FindUserFolder(UserFolder::Desktop, tooSmall, sizeof tooSmall));
  unsetenv("XDG_DATA_HOME");
  setenv("HOME", savedHome.c_str(), 1);
}
#endif

}  // namespace torvane
