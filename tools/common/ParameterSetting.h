#pragma once

#include <string>

namespace torvane {

// One --set or --position from a tool's command line. They are applied in the
// order given, so a later one overrides an earlier one for the same parameter.
struct ParameterSetting {
  bool isPosition = false;  // --position NAME=0..1 rather than --set NAME=VALUE
  std::string name;
  std::string value;
};

}  // namespace torvane
