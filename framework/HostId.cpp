#include "framework/HostId.h"

#include <cctype>
#include <cstring>

namespace torvane {

namespace {
struct KnownHost {
  const char* contained;
  HostId id;
};

// Order matters: the first name found in the product string decides.
constexpr KnownHost kKnownHosts[] = {
    {"cubase", kHostCubase},        {"reaper", kHostReaper},
    {"nuendo", kHostNuendo},        {"cakewalk", kHostSonar},
    {"samplitude", kHostSamplitude}, {"fruity", kHostFruityLoops},
    {"live", kHostAbletonLive},     {"melodyne", kHostMelodyne},
    {"vstmanlib", kHostVstManLib},  {"aulab", kHostAuLab},
    {"garageband", kHostGarageBand}, {"forte", kHostForte},
    {"chainer", kHostChainer},      {"audition", kHostAudition},
    {"orion", kHostOrion},          {"sawstudio", kHostSawStudio},
    {"logic", kHostLogic},          {"digital", kHostDigitalPerformer},
    {"audiomulch", kHostAudioMulch}, {"presonus", kHostStudioOne},
    {"vst3plugintesthost", kHostVst3TestHost}, {"protools", kHostProTools},
    {"ardour", kHostArdour},        {"openmpt", kHostOpenMpt},
    {"renoise", kHostRenoise},      {"standalone", kHostStandalone},
    {"wavelab", kHostWaveLab},
};
constexpr size_t kProductStringBytes = 256;
}  // namespace

HostId HostIdFromName(const char* productString) noexcept {
  if (!productString) return kHostUnknown;
  char lower[kProductStringBytes];
  size_t i = 0;
  for (; i + 1 < sizeof(lower) && productString[i]; ++i) {
    lower[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(productString[i])));
  }
  lower[i] = '\0';
  for (const KnownHost& host : kKnownHosts) {
    if (std::strstr(lower, host.contained)) return host.id;
  }
  return kHostUnknown;
}

}  // namespace torvane
