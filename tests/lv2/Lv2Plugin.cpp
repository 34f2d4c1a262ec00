#include "Lv2Plugin.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>

namespace torvane {

namespace {
// The port layout the bundle publishes: four audio ports, then controls.
constexpr uint32_t kAudioPorts = 4;
constexpr uint32_t kPorts = 30;
}  // namespace

Lv2Plugin::Lv2Plugin(const std::string& binary) {
  module_ = dlopen(binary.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module_) {
    error_ = dlerror();
    return;
  }
  using Entry = const LV2_Descriptor* (*)(uint32_t);
  auto entry = reinterpret_cast<Entry>(dlsym(module_, "lv2_descriptor"));
  descriptor_ = entry ? entry(0) : nullptr;
  if (!descriptor_) error_ = "no descriptor";
}

Lv2Plugin::~Lv2Plugin() {
  Stop();
  if (module_) dlclose(module_);
}

LV2_URID Lv2Plugin::MapUri(LV2_URID_Map_Handle handle, const char* uri) {
  return static_cast<Lv2Plugin*>(handle)->Map(uri);
}

LV2_URID Lv2Plugin::Map(const char* uri) {
  auto found = uris_.find(uri);
  if (found != uris_.end()) return found->second;
  const LV2_URID id = static_cast<LV2_URID>(uris_.size() + 1);
  uris_[uri] = id;
  return id;
}

bool Lv2Plugin::Start(double rate, bool withMap) {
  if (!descriptor_) return false;
  const LV2_Feature mapFeature = {LV2_URID__map, &map_};
  const LV2_Feature* withFeatures[] = {&mapFeature, nullptr};
  const LV2_Feature* without[] = {nullptr};
  instance_ = descriptor_->instantiate(descriptor_, rate, "", withMap ? withFeatures : without);
  if (!instance_) {
    error_ = "instantiate failed";
    return false;
  }
  for (uint32_t port = kAudioPorts; port < kPorts; ++port) {
    descriptor_->connect_port(instance_, port, &controls_[port]);
  }
  descriptor_->activate(instance_);
  return true;
}

void Lv2Plugin::Stop() {
  if (!instance_) return;
  descriptor_->deactivate(instance_);
  descriptor_->cleanup(instance_);
  instance_ = nullptr;
}

void Lv2Plugin::Process(const std::vector<float>& left, const std::vector<float>& right, int block,
                        std::vector<float>& outLeft, std::vector<float>& outRight) {
  outLeft.assign(left.size(), 0.0f);
  outRight.assign(left.size(), 0.0f);
  for (size_t start = 0; start < left.size(); start += block) {
    const size_t n = std::min<size_t>(block, left.size() - start);
    // Ports point into buffers of their own, as a host's are.
    for (auto& buffer : audio_) buffer.assign(n, 0.0f);
    std::copy_n(left.begin() + start, n, audio_[0].begin());
    std::copy_n(right.begin() + start, n, audio_[1].begin());
    for (uint32_t port = 0; port < kAudioPorts; ++port) descriptor_->connect_port(instance_, port, audio_[port].data());
    descriptor_->run(instance_, static_cast<uint32_t>(n));
    std::copy_n(audio_[2].begin(), n, outLeft.begin() + start);
    std::copy_n(audio_[3].begin(), n, outRight.begin() + start);
  }
}

const LV2_State_Interface* Lv2Plugin::State() const {
  return static_cast<const LV2_State_Interface*>(descriptor_->extension_data(LV2_STATE__interface));
}

LV2_State_Status Lv2Plugin::Store(LV2_State_Handle handle, uint32_t key, const void* value, size_t size,
                                  uint32_t type, uint32_t flags) {
  Property& property = (*static_cast<Properties*>(handle))[key];
  const auto* bytes = static_cast<const uint8_t*>(value);
  property.bytes.assign(bytes, bytes + size);
  property.type = type;
  property.flags = flags;
  return LV2_STATE_SUCCESS;
}

const void* Lv2Plugin::Retrieve(LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type,
                                uint32_t* flags) {
  const auto& properties = *static_cast<const Properties*>(handle);
  auto found = properties.find(key);
  if (found == properties.end()) return nullptr;
  *size = found->second.bytes.size();
  *type = found->second.type;
  *flags = found->second.flags;
  return found->second.bytes.data();
}

LV2_State_Status Lv2Plugin::Save(Properties& out) {
  const LV2_State_Interface* state = State();
  if (!state || !instance_) return LV2_STATE_ERR_UNKNOWN;
  return state->save(instance_, Store, &out, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, nullptr);
}

LV2_State_Status Lv2Plugin::Restore(const Properties& in) {
  const LV2_State_Interface* state = State();
  if (!state || !instance_) return LV2_STATE_ERR_UNKNOWN;
  return state->restore(instance_, Retrieve, const_cast<Properties*>(&in), 0, nullptr);
}

}  // namespace torvane
