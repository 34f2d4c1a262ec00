// Test programs construct the effect, whose editor keeps the user's scale in
// a settings file below the documents folder. On Linux they get a documents
// folder of their own, inside the build folder, before main runs; under Wine
// the prefix, and with it the documents folder, lies in the build folder already.
#ifndef _WIN32
#include <sys/stat.h>

#include <cstdlib>

namespace {
const bool kTestDocuments = [] {
  mkdir(TORVANE_TEST_DOCUMENTS, 0755);
  return setenv("XDG_DOCUMENTS_DIR", TORVANE_TEST_DOCUMENTS, 1) == 0;
}();
}  // namespace
#endif
