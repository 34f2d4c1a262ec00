// torvane-editor-screenshot: draws Torvane's editor off-screen, at any scale
// and with any parameters, and writes it as a PNG.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "tools/editor-screenshot/EditorScreenshot.h"
#include "tools/editor-screenshot/ScreenshotOptions.h"

namespace torvane {
namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitCommandLine = 1;
constexpr int kExitScreenshot = 2;

int Fail(int code, const std::string& message) {
  std::fprintf(stderr, "torvane-editor-screenshot: %s\n", message.c_str());
  return code;
}

int Run(int argc, char** argv) {
  ScreenshotOptions options;
  std::string error;
  if (!ParseScreenshotOptions(argc, argv, options, error)) {
    return Fail(kExitCommandLine, error + " (--help shows the options)");
  }
  if (options.help) {
    std::fputs(ScreenshotUsage(), stdout);
    return kExitSuccess;
  }
  GrowableBuffer png;
  if (!RenderEditorScreenshot(options, png, error)) return Fail(kExitScreenshot, error);
  // Written beside the target and renamed onto it, so that a failure leaves
  // no half picture and an earlier one stays whole.
  const std::filesystem::path output = options.output;
  std::filesystem::path partial = output;
  partial += ".partial";
  std::error_code failure;
  {
    std::ofstream file(partial, std::ios::binary | std::ios::trunc);
    file.write(static_cast<const char*>(png.Data()), png.Size());
    if (!file.flush()) failure = std::make_error_code(std::errc::io_error);
  }
  if (!failure) std::filesystem::rename(partial, output, failure);
  if (failure) {
    std::filesystem::remove(partial, failure);
    return Fail(kExitScreenshot, "cannot write " + options.output);
  }
  return kExitSuccess;
}

}  // namespace
}  // namespace torvane

int main(int argc, char** argv) {
  try {
    return torvane::Run(argc, argv);
  } catch (const std::exception& failure) {
    return torvane::Fail(torvane::kExitScreenshot, failure.what());
  } catch (...) {
    return torvane::Fail(torvane::kExitScreenshot, "unexpected failure");
  }
}
