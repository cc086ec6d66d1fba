// The text form of a form description: what forms/data/*.form files hold,
// parsed into plain values before the compiler lays out the block.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "forms/records/records.h"

namespace formc {

struct PropSetting {
  std::string name;
  ts::forms::FieldValue value;
  int line = 0;
};

struct UnitSource {
  uint32_t id = 0;
  uint32_t type = 0;
  std::string name;      // GBK
  std::string parent;    // unit name or id; empty: the window
  int32_t rect[4] = {};  // left, top, width, height
  uint32_t flags = 0;
  std::string tag;
  std::vector<std::pair<int32_t, std::string>> events;  // (event, handler name)
  std::vector<PropSetting> props;
  std::vector<ts::forms::ListColumn> columns;
  std::vector<std::string> items;
  int line = 0;
};

struct FormSource {
  std::string path;
  uint32_t formId = 0;
  uint32_t reservedA = 0, reservedB = 0;
  std::vector<UnitSource> units;
};

// Reads one form source; throws std::runtime_error("file:line: ...").
FormSource ParseFormSource(const std::string& path);

// Handler names, one a line; '#' starts a comment.
std::vector<std::string> ReadHandlerNames(const std::string& path);

// UTF-8 to GBK (code page 936); throws when a character has no GBK form.
std::string ToGbk(const std::string& utf8);

ts::forms::Bytes ReadFile(const std::string& path);

}  // namespace formc
