#pragma once

#include "vst/VstInterface.h"

namespace torvane {

// Torvane's own vendor-specific request, for hosts that show or record what
// the leveling does (the offline renderer's plot) without the editor:
//
//   dispatcher(effect, effVendorSpecific, kVendorSpecificReadMeters,
//              room, positions, 0)
//
// positions points to room doubles (it may be null, room 0). The plug-in
// writes up to room meter positions, each 0..1 with 0.5 = 0 dB on a
// -20..+20 dB scale, and answers how many meters it has: Torvane has eight,
// the gains of the left channel's seven bands (30, 80, 120, 300, 500, 1800
// and 4500 Hz) and then the limiter's, the values its editor's meters show.
// A plug-in that does not know the request answers 0. The first request
// switches the meters on for an instance without an editor; from then on
// they follow every processed block. Ask between processing calls.
// The index is a four-character code so that no other host's numbered
// vendor requests meet it by chance.
constexpr VstInt32 kVendorSpecificReadMeters = FourCharCode('T', 'v', 'M', 'r');

}  // namespace torvane
