#pragma once

#include <string>

#include "core/GrowableBuffer.h"
#include "tools/editor-screenshot/ScreenshotOptions.h"

namespace torvane {

// Builds a Torvane instance in this process with the editor it always has,
// on the headless platform: applies the state file and the parameter
// settings, sets the meters, opens the editor at the scale as a host's editor
// open does (from a settings file of its own, in a temporary folder) and
// paints it whole. png receives the picture; false with the reason when a
// setting, the state or the scale is refused. Main thread, one at a time.
bool RenderEditorScreenshot(const ScreenshotOptions& options, GrowableBuffer& png, std::string& error);

}  // namespace torvane
