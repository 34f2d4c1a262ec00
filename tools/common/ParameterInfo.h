#pragma once

#include <string>
#include <vector>

namespace torvane {

// One choice of a stepped parameter: the text the plug-in shows for it and
// the normalised position that selects it.
struct ParameterChoice {
  std::string text;
  float position = 0.0f;
};

// What the renderer knows of one plug-in parameter, learnt by probing it
// through the VST 2.4 interface (OfflineHost::DescribeParameter): either a
// continuous range with its unit or a list of choices. Plain data owned by
// whoever asked; the typed-value parsing below works on it alone.
struct ParameterInfo {
  int index = -1;
  std::string name;
  std::string current;  // the text shown when it was described
  std::string unit;     // continuous parameters: the label shown beside the number
  bool hasRange = false;  // the ends show as numbers
  double min = 0.0, max = 0.0;
  std::string minText, maxText;
  std::vector<ParameterChoice> choices;  // empty for a continuous parameter

  bool IsChoice() const { return !choices.empty(); }
  // The choices are values with an optional unit ("20 Hz", "+6 dB") rather than words.
  bool ChoicesAreValues() const;
  // The choices as a user reads them: "20 Hz, 30 Hz" or "Mono (0), Stereo (1)".
  std::string ChoiceList() const;
  // The range as a user reads it: "-10.0 to 10.0 dB", "20 to 100 Hz", "0 to 1".
  std::string RangeText() const;
};

// A typed value resolved against a parameter: a choice, or a number in the
// parameter's own units.
struct ParameterValue {
  int choice = -1;  // index into ParameterInfo::choices, or -1 for a number
  double number = 0.0;
};

// Reads text typed for a parameter: a choice by its text in any letter case,
// by its number (word choices) or by its value with or without the unit
// (value choices); a number with or without the parameter's unit, inside its
// range. On failure says why, naming the range or the choices.
bool ParseParameterValue(const ParameterInfo& parameter, const std::string& text, ParameterValue& value,
                         std::string& error);

// Splits "-6.5 dB" into -6.5 and "dB"; false unless the text starts with a finite number.
bool SplitNumberAndUnit(const std::string& text, double& number, std::string& unit);

bool SameTextIgnoringCase(const std::string& a, const std::string& b);

// The --list-params table: one aligned row per parameter.
std::string FormatParameterTable(const std::vector<ParameterInfo>& parameters);

}  // namespace torvane
