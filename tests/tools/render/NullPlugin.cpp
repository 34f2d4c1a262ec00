// A library with a VST 2.4 entry point that creates no effect, as a broken or
// refusing plug-in does.
extern "C" __attribute__((visibility("default"))) void* VSTPluginMain(void*) { return nullptr; }
