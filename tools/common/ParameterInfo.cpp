#include "tools/common/ParameterInfo.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

namespace torvane {

namespace {
std::string Trim(const std::string& text) {
  const auto space = [](unsigned char c) { return std::isspace(c) != 0; };
  const auto first = std::find_if_not(text.begin(), text.end(), space);
  const auto last = std::find_if_not(text.rbegin(), text.rend(), space).base();
  return first < last ? std::string(first, last) : std::string();
}

// "+6 dB" -> "+6": the number as the plug-in wrote it.
std::string NumberPart(const std::string& text) {
  double number = 0.0;
  std::string unit;
  if (!SplitNumberAndUnit(text, number, unit)) return text;
  const std::string trimmed = Trim(text);
  return Trim(trimmed.substr(0, trimmed.size() - unit.size()));
}

// The unit every choice shares ("Hz"), or an empty text.
std::string CommonChoiceUnit(const ParameterInfo& parameter) {
  std::string common;
  for (size_t i = 0; i < parameter.choices.size(); ++i) {
    double number = 0.0;
    std::string unit;
    SplitNumberAndUnit(parameter.choices[i].text, number, unit);
    if (i > 0 && unit != common) return "";
    common = unit;
  }
  return common;
}

bool ParseWholeNumber(const std::string& text, long& number) {
  if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0]))) return false;
  char* end = nullptr;
  number = std::strtol(text.c_str(), &end, 10);
  return *end == '\0';
}

bool ParseChoice(const ParameterInfo& parameter, const std::string& text, ParameterValue& value) {
  const std::vector<ParameterChoice>& choices = parameter.choices;
  for (size_t i = 0; i < choices.size(); ++i) {
    if (SameTextIgnoringCase(text, choices[i].text)) {
      value.choice = static_cast<int>(i);
      return true;
    }
  }
  if (parameter.ChoicesAreValues()) {
    // "50" or "50hz" for "50 Hz". Value choices are not taken by their
    // number, since "0" would then name both "-6 dB" and "0 dB".
    double number = 0.0;
    std::string unit;
    if (!SplitNumberAndUnit(text, number, unit)) return false;
    for (size_t i = 0; i < choices.size(); ++i) {
      double choiceNumber = 0.0;
      std::string choiceUnit;
      SplitNumberAndUnit(choices[i].text, choiceNumber, choiceUnit);
      if (number == choiceNumber && (unit.empty() || SameTextIgnoringCase(unit, choiceUnit))) {
        value.choice = static_cast<int>(i);
        return true;
      }
    }
    return false;
  }
  long number = 0;
  if (!ParseWholeNumber(text, number) || number >= static_cast<long>(choices.size())) return false;
  value.choice = static_cast<int>(number);
  return true;
}

bool ParseNumber(const ParameterInfo& parameter, const std::string& text, ParameterValue& value,
                 std::string& error) {
  std::string unit;
  if (!SplitNumberAndUnit(text, value.number, unit)) {
    error = "\"" + parameter.name + "\" takes a number" +
            (parameter.hasRange ? " from " + parameter.RangeText() : std::string()) + ", not \"" + text + "\"";
    return false;
  }
  if (!unit.empty() && !SameTextIgnoringCase(unit, parameter.unit)) {
    error = "\"" + parameter.name + "\" " +
            (parameter.unit.empty() ? std::string("takes a plain number") : "is set in " + parameter.unit) +
            ", not in \"" + unit + "\"";
    return false;
  }
  if (parameter.hasRange && (value.number < parameter.min || value.number > parameter.max)) {
    error = "\"" + parameter.name + "\" " + text + " is outside its range " + parameter.RangeText();
    return false;
  }
  return true;
}
}  // namespace

bool SameTextIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

bool SplitNumberAndUnit(const std::string& text, double& number, std::string& unit) {
  const std::string trimmed = Trim(text);
  // Only decimal numbers: strtod alone would also read "inf", "nan" and hexadecimal.
  const size_t start = trimmed.find_first_not_of("+-");
  if (start > 1 || start == std::string::npos) return false;
  const char first = trimmed[start];
  if (!std::isdigit(static_cast<unsigned char>(first)) && first != '.') return false;
  char* end = nullptr;
  number = std::strtod(trimmed.c_str(), &end);
  if (end == trimmed.c_str() || !std::isfinite(number)) return false;
  if (trimmed.compare(start, 2, "0x") == 0 || trimmed.compare(start, 2, "0X") == 0) return false;
  unit = Trim(end);
  return true;
}

bool ParameterInfo::ChoicesAreValues() const {
  if (choices.empty()) return false;
  for (const ParameterChoice& choice : choices) {
    double number = 0.0;
    std::string unitText;
    if (!SplitNumberAndUnit(choice.text, number, unitText)) return false;
  }
  return true;
}

std::string ParameterInfo::ChoiceList() const {
  std::string list;
  const bool numbered = !ChoicesAreValues();
  for (size_t i = 0; i < choices.size(); ++i) {
    if (i > 0) list += ", ";
    list += choices[i].text;
    if (numbered) list += " (" + std::to_string(i) + ")";
  }
  return list;
}

std::string ParameterInfo::RangeText() const {
  return minText + " to " + maxText + (unit.empty() ? "" : " " + unit);
}

bool ParseParameterValue(const ParameterInfo& parameter, const std::string& text, ParameterValue& value,
                         std::string& error) {
  value = ParameterValue();
  const std::string typed = Trim(text);
  if (!parameter.IsChoice()) return ParseNumber(parameter, typed, value, error);
  if (ParseChoice(parameter, typed, value)) return true;
  error = "\"" + parameter.name + "\" takes " + parameter.ChoiceList() + ", not \"" + text + "\"";
  return false;
}

std::string FormatParameterTable(const std::vector<ParameterInfo>& parameters) {
  std::vector<std::vector<std::string>> rows = {{"#", "name", "range", "unit", "default", "choices"}};
  for (const ParameterInfo& parameter : parameters) {
    std::vector<std::string> row = {std::to_string(parameter.index), parameter.name};
    if (!parameter.IsChoice()) {
      row.push_back(parameter.hasRange ? parameter.minText + " to " + parameter.maxText : "");
      row.push_back(parameter.unit);
      row.push_back(parameter.current);
      row.push_back("");
    } else if (parameter.ChoicesAreValues()) {
      row.push_back(NumberPart(parameter.choices.front().text) + " to " + NumberPart(parameter.choices.back().text));
      row.push_back(CommonChoiceUnit(parameter));
      row.push_back(parameter.current);
      row.push_back(parameter.ChoiceList());
    } else {
      row.push_back("0 to " + std::to_string(parameter.choices.size() - 1));
      row.push_back("");
      row.push_back(parameter.current);
      row.push_back(parameter.ChoiceList());
    }
    rows.push_back(row);
  }
  std::vector<size_t> widths(rows[0].size(), 0);
  for (const auto& row : rows) {
    for (size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], row[c].size());
  }
  std::string table;
  for (const auto& row : rows) {
    std::string line;
    for (size_t c = 0; c < row.size(); ++c) {
      // The index is aligned right, the last column is not padded.
      const std::string padding(widths[c] - row[c].size(), ' ');
      if (c == 0) line += padding + row[c];
      else line += "  " + row[c] + (c + 1 < row.size() ? padding : "");
    }
    line.erase(line.find_last_not_of(' ') + 1);
    table += line + "\n";
  }
  return table;
}

}  // namespace torvane
