#pragma once

#include <string>
#include <vector>

namespace torvane {

// State files as the renderer reads them: whole, small, and checked before a
// plug-in sees them. Used by main and OfflineHost on the main thread.

// Reads a state file ("-" for standard input) of at most kMaxStateBytes.
bool ReadStateFile(const std::string& path, std::vector<char>& bytes, std::string& error);

// Checks a state against the one the plug-in hands out itself. When the
// plug-in's own state is in this project's chunk format ("tffp" header), the
// state must be too, with the same version, parameter count and length, and
// every stored value a finite number. Other plug-ins judge their states alone.
bool CheckStateChunk(const std::vector<char>& state, const std::vector<char>& own, int parameterCount,
                     std::string& error);

// Far above any state of this plug-in; keeps a wrong file from filling memory.
constexpr size_t kMaxStateBytes = 1 << 20;

}  // namespace torvane
