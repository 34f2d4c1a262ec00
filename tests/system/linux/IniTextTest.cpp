// Our own profile-file text handling on Linux: the cases the Windows profile
// functions settle by convention.
#include "system/linux/IniText.h"

#include <gtest/gtest.h>

#include <string>

namespace torvane {

namespace {
std::string Set(const std::string& text, const char* section, const char* key, const char* value) {
  GrowableBuffer result;
  EXPECT_TRUE(SetIniValue(text.data(), text.size(), section, key, value, result));
  return std::string(static_cast<const char*>(result.Data()), result.Size());
}

std::string Find(const std::string& text, const char* section, const char* key) {
  char value[64] = "absent";
  FindIniValue(text.data(), text.size(), section, key, value, sizeof value);
  return value;
}
}  // namespace

TEST(IniText, KeepsLineEndsAndAddsWhatIsMissing) {
  EXPECT_EQ(Set("", "gui", "guiscale", "1"), "[gui]\nguiscale=1\n");
  EXPECT_EQ(Set("[gui]\r\nguiscale=1\r\n", "gui", "guiscale", "2"), "[gui]\r\nguiscale=2\r\n");
  EXPECT_EQ(Set("[gui]\r\nx=1", "gui", "guiscale", "2"), "[gui]\r\nx=1\r\nguiscale=2\r\n");
  EXPECT_EQ(Set("[a]\nx=1\n\n[b]\n", "a", "y", "2"), "[a]\nx=1\n\ny=2\n[b]\n");
  EXPECT_EQ(Set("[a]\nx=1", "b", "y", "2"), "[a]\nx=1\n[b]\ny=2\n");
}

TEST(IniText, FirstSectionAndKeyWin) {
  const std::string text = "x=outside\n[a]\nk=first\nk=second\n[A]\nk=third\n";
  EXPECT_EQ(Find(text, "a", "k"), "first");
  EXPECT_EQ(Find(text, "a", "x"), "absent");
  EXPECT_EQ(Set(text, "a", "k", "new"), "x=outside\n[a]\nk=new\nk=second\n[A]\nk=third\n");
  EXPECT_EQ(Find("[a]\nk = \n", "a", "k"), "");
  EXPECT_EQ(Find("[a\nk=1\n", "a", "k"), "absent");  // an unclosed header is no section
}

}  // namespace torvane
