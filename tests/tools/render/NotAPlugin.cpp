// A shared library without any VST 2.4 entry point.
extern "C" __attribute__((visibility("default"))) int SomethingElse() { return 1; }
