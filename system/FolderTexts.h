#pragma once

#include "core/GrowableText.h"
#include "system/UserFolders.h"

namespace torvane {

// The folders the editor's platform layers hand to controls, as texts: empty
// when the platform cannot tell. Any thread.

// The folder of the running program (the host) or of this module (the
// plug-in library), up to and including the last separator; empty when the
// path is unknown or names no file.
void ProgramFolderText(GrowableText& out) noexcept;
void ModuleFolderText(GrowableText& out) noexcept;

// The user's documents folder and the other standard folders, without a
// trailing separator.
void DocumentsFolderText(GrowableText& out) noexcept;
void UserFolderText(UserFolder folder, GrowableText& out) noexcept;

}  // namespace torvane
