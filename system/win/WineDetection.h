#pragma once

namespace torvane {

// True when this process runs under the Wine compatibility layer, whose text
// drawing differs from Windows'. Determined once per process, from any thread.
bool RunningUnderWine() noexcept;

}  // namespace torvane
