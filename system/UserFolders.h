#pragma once

#include <cstddef>

namespace torvane {

// The user's standard folders, as the platform names them (the documents
// folder, which the settings file lives in, is in ProfileFile.h). On Windows
// the shell's known folders; on Linux the XDG variables when set, else the
// usual places below the home folder.
enum class UserFolder {
  Desktop,
  LocalAppData,   // this user's application data
  CommonAppData,  // application data shared by all users
};

// Writes the folder's path, without a trailing separator, into out; false when
// it is not known or does not fit. Any thread.
bool FindUserFolder(UserFolder folder, char* out, size_t capacity) noexcept;

}  // namespace torvane
