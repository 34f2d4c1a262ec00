#pragma once

#include "editor/InputRecords.h"

namespace torvane {

// The editor's key numbering for an X key symbol (of the key's first level,
// so letters arrive lower case): space, the four arrows (also on the keypad
// without Num Lock), the digits of the main block and the letters. False for
// every other key, which stays with the host. Any thread.
bool EditorKeyFor(unsigned long keySym, KeyCode& key) noexcept;

}  // namespace torvane
