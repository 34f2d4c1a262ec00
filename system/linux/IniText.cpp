#include "system/linux/IniText.h"

#include <strings.h>

#include <cstring>

namespace torvane {

namespace {

// One line of the text, without its line end.
struct Line {
  const char* begin;
  const char* end;
  const char* next;  // start of the following line
};

bool NextLine(const char*& cursor, const char* textEnd, Line& line) {
  if (cursor >= textEnd) return false;
  line.begin = cursor;
  const char* newline = static_cast<const char*>(std::memchr(cursor, '\n', textEnd - cursor));
  line.next = newline ? newline + 1 : textEnd;
  line.end = newline ? newline : textEnd;
  if (line.end > line.begin && line.end[-1] == '\r') --line.end;
  cursor = line.next;
  return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

void Trim(const char*& begin, const char*& end) {
  while (begin < end && IsBlank(*begin)) ++begin;
  while (end > begin && IsBlank(end[-1])) --end;
}

bool EqualsName(const char* begin, const char* end, const char* name) {
  const size_t length = std::strlen(name);
  return static_cast<size_t>(end - begin) == length && strncasecmp(begin, name, length) == 0;
}

// A "[name]" line: its trimmed name.
bool SectionName(const Line& line, const char*& nameBegin, const char*& nameEnd) {
  const char* begin = line.begin;
  const char* end = line.end;
  Trim(begin, end);
  if (begin == end || *begin != '[') return false;
  const char* close = static_cast<const char*>(std::memchr(begin, ']', end - begin));
  if (!close) return false;
  nameBegin = begin + 1;
  nameEnd = close;
  Trim(nameBegin, nameEnd);
  return true;
}

// A "key=value" line whose key is the given one: the trimmed value.
bool KeyValue(const Line& line, const char* key, const char*& valueBegin, const char*& valueEnd) {
  const char* equals = static_cast<const char*>(std::memchr(line.begin, '=', line.end - line.begin));
  if (!equals) return false;
  const char* keyBegin = line.begin;
  const char* keyEnd = equals;
  Trim(keyBegin, keyEnd);
  if (!EqualsName(keyBegin, keyEnd, key)) return false;
  valueBegin = equals + 1;
  valueEnd = line.end;
  Trim(valueBegin, valueEnd);
  return true;
}

// Where the section and the key are in a text; null pointers when absent.
struct Location {
  const char* sectionEnd = nullptr;  // start of the line after the section's last line
  bool hasKey = false;
  Line keyLine = {};
};

Location Locate(const char* text, size_t length, const char* section, const char* key) {
  Location where;
  const char* cursor = text;
  const char* textEnd = text + length;
  bool inSection = false;
  Line line;
  while (NextLine(cursor, textEnd, line)) {
    const char *nameBegin, *nameEnd;
    if (SectionName(line, nameBegin, nameEnd)) {
      if (where.sectionEnd) break;  // the first matching section ended
      inSection = EqualsName(nameBegin, nameEnd, section);
      if (inSection) where.sectionEnd = line.next;
      continue;
    }
    if (!inSection) continue;
    where.sectionEnd = line.next;
    const char *valueBegin, *valueEnd;
    if (!where.hasKey && KeyValue(line, key, valueBegin, valueEnd)) {
      where.keyLine = line;
      where.hasKey = true;
    }
  }
  return where;
}

bool Append(GrowableBuffer& buffer, const char* bytes, size_t count) {
  if (count == 0) return true;
  const int size = buffer.Size();
  if (count > static_cast<size_t>(0x7fffffff - size)) return false;
  if (!buffer.Resize(size + static_cast<int>(count), false) || buffer.Size() != size + static_cast<int>(count)) {
    return false;
  }
  std::memcpy(static_cast<char*>(buffer.Data()) + size, bytes, count);
  return true;
}

bool Append(GrowableBuffer& buffer, const char* text) { return Append(buffer, text, std::strlen(text)); }

}  // namespace

bool FindIniValue(const char* text, size_t length, const char* section, const char* key, char* out,
                  size_t capacity) noexcept {
  if (!text || !section || !key || !out || capacity == 0) return false;
  const Location where = Locate(text, length, section, key);
  if (!where.hasKey) return false;
  const char *valueBegin, *valueEnd;
  KeyValue(where.keyLine, key, valueBegin, valueEnd);
  const size_t count = static_cast<size_t>(valueEnd - valueBegin) < capacity - 1 ? valueEnd - valueBegin : capacity - 1;
  std::memcpy(out, valueBegin, count);
  out[count] = '\0';
  return true;
}

bool SetIniValue(const char* text, size_t length, const char* section, const char* key, const char* value,
                 GrowableBuffer& result) noexcept {
  if (!section || !key || !value) return false;
  if (!text) length = 0;
  result.Resize(0, false);
  const char* lineEnd = text && std::memchr(text, '\r', length) ? "\r\n" : "\n";
  const char* textEnd = text + length;
  const bool endsWithNewline = length == 0 || textEnd[-1] == '\n';
  const Location where = Locate(text, length, section, key);
  // The text before the change, the change, and the text after it.
  const char* before = where.hasKey ? where.keyLine.begin : where.sectionEnd ? where.sectionEnd : textEnd;
  const char* after = where.hasKey ? where.keyLine.end : before;
  bool ok = Append(result, text, before - text);
  if (!where.hasKey && before == textEnd && !endsWithNewline) ok = ok && Append(result, lineEnd);
  if (!where.sectionEnd) ok = ok && Append(result, "[") && Append(result, section) && Append(result, "]") &&
                             Append(result, lineEnd);
  ok = ok && Append(result, key) && Append(result, "=") && Append(result, value);
  if (!where.hasKey) ok = ok && Append(result, lineEnd);
  return ok && Append(result, after, textEnd - after);
}

}  // namespace torvane
