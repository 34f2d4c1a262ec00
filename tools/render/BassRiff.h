#pragma once

#include <vector>

namespace torvane {

// A short bass line synthesised with plucked strings: two bars of a sixteenth-
// note groove in E with accents, ghost notes, an octave jump and rests, so the
// renderer has something realistic to play without any audio file. The same
// sample rate always gives the same samples.
std::vector<double> SynthesizeBassRiff(double sampleRate);

}  // namespace torvane
