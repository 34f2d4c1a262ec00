#pragma once

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <map>
#include <string>
#include <vector>

namespace torvane {

// The bundle's plug-in binary loaded as an LV2 host loads it: by path,
// through its exported lv2_descriptor, with a URID map of its own. One
// instance at a time; the binary stays loaded while this lives.
class Lv2Plugin {
 public:
  explicit Lv2Plugin(const std::string& binary);
  ~Lv2Plugin();
  Lv2Plugin(const Lv2Plugin&) = delete;
  Lv2Plugin& operator=(const Lv2Plugin&) = delete;

  const LV2_Descriptor* Descriptor() const { return descriptor_; }
  const std::string& Error() const { return error_; }
  LV2_URID Map(const char* uri);

  // Instantiates (with or without the URID map), connects every port to
  // storage of its own and activates; false on failure.
  bool Start(double rate, bool withMap = true);
  void Stop();
  float& Control(uint32_t port) { return controls_.at(port); }
  // Processes whole signals in blocks of the given size.
  void Process(const std::vector<float>& left, const std::vector<float>& right, int block,
               std::vector<float>& outLeft, std::vector<float>& outRight);

  // The state extension: what save stores, and restore from given properties.
  struct Property {
    std::vector<uint8_t> bytes;
    uint32_t type = 0;
    uint32_t flags = 0;
  };
  using Properties = std::map<uint32_t, Property>;
  LV2_State_Status Save(Properties& out);
  LV2_State_Status Restore(const Properties& in);

 private:
  static LV2_URID MapUri(LV2_URID_Map_Handle handle, const char* uri);
  static LV2_State_Status Store(LV2_State_Handle handle, uint32_t key, const void* value, size_t size, uint32_t type,
                                uint32_t flags);
  static const void* Retrieve(LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type,
                              uint32_t* flags);
  const LV2_State_Interface* State() const;

  void* module_ = nullptr;
  const LV2_Descriptor* descriptor_ = nullptr;
  LV2_Handle instance_ = nullptr;
  std::string error_;
  std::map<std::string, LV2_URID> uris_;
  LV2_URID_Map map_ = {this, MapUri};
  std::map<uint32_t, float> controls_;
  std::vector<float> audio_[4];
};

}  // namespace torvane
