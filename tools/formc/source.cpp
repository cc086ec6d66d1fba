#include "tools/formc/source.h"

#include <iconv.h>

#include <cerrno>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace formc {

namespace {

using ts::forms::Bytes;

struct Token {
  std::string text;
  bool quoted = false;
};

[[noreturn]] void Fail(const std::string& path, int line, const std::string& what) {
  throw std::runtime_error(path + ":" + std::to_string(line) + ": " + what);
}

std::vector<Token> Tokenize(const std::string& line, const std::string& path, int lineNo) {
  std::vector<Token> out;
  size_t i = 0;
  while (i < line.size()) {
    char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
    } else if (c == '#') {
      break;
    } else if (c == '"') {
      Token t{"", true};
      for (++i; i < line.size() && line[i] != '"'; ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) ++i;
        t.text += line[i];
      }
      if (i >= line.size()) Fail(path, lineNo, "unterminated text");
      ++i;
      out.push_back(t);
    } else {
      size_t j = line.find_first_of(" \t\r", i);
      if (j == std::string::npos) j = line.size();
      out.push_back({line.substr(i, j - i), false});
      i = j;
    }
  }
  return out;
}

int64_t Number(const Token& t, const std::string& path, int line) {
  if (t.quoted) Fail(path, line, "number expected, text found");
  try {
    size_t used = 0;
    int64_t v = std::stoll(t.text, &used, 0);
    if (used != t.text.size()) throw std::invalid_argument(t.text);
    return v;
  } catch (const std::exception&) {
    Fail(path, line, "not a number: " + t.text);
  }
}

uint32_t TypeByName(const std::string& gbk, const std::string& path, int line) {
  using namespace ts::forms::unittype;
  static const std::pair<const char*, uint32_t> kNames[] = {
      {"窗口", Window},       {"编辑框", EditBox},     {"图片框", PicBox},
      {"分组框", GroupBox},   {"标签", Label},         {"选择框", CheckBox},
      {"组合框", ComboBox},   {"进度条", ProgressBar}, {"超级链接框", Hyperlink},
      {"树型框", TreeBox},    {"超级列表框", ListView}, {"超级按钮", SuperButton}};
  for (auto& [name, id] : kNames)
    if (gbk == name) return id;
  Fail(path, line, "unknown unit type");
}

std::string Dir(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

// `set Name value`: a number, a "text", @file (its bytes) or `ints a b c`.
ts::forms::FieldValue Value(const std::vector<Token>& t, const std::string& path, int line) {
  if (t.size() < 3) Fail(path, line, "set needs a name and a value");
  if (t[2].quoted) return ToGbk(t[2].text);
  if (t[2].text[0] == '@') return ReadFile(Dir(path) + "/" + t[2].text.substr(1));
  if (t[2].text == "ints") {
    std::vector<int32_t> v;
    for (size_t k = 3; k < t.size(); ++k) v.push_back(static_cast<int32_t>(Number(t[k], path, line)));
    return ts::forms::EncodeItemData(v);
  }
  return Number(t[2], path, line);
}

void UnitLine(UnitSource& u, const std::vector<Token>& t, const std::string& path, int line) {
  const std::string& key = t[0].text;
  auto need = [&](size_t n) {
    if (t.size() != n) Fail(path, line, key + " takes " + std::to_string(n - 1) + " values");
  };
  if (key == "rect") {
    need(5);
    for (int k = 0; k < 4; ++k) u.rect[k] = static_cast<int32_t>(Number(t[k + 1], path, line));
  } else if (key == "flags") {
    need(2);
    u.flags = static_cast<uint32_t>(Number(t[1], path, line));
  } else if (key == "parent") {
    need(2);
    u.parent = ToGbk(t[1].text);
  } else if (key == "tag") {
    need(2);
    u.tag = ToGbk(t[1].text);
  } else if (key == "on") {
    need(3);
    u.events.emplace_back(static_cast<int32_t>(Number(t[1], path, line)), t[2].text);
  } else if (key == "set") {
    u.props.push_back({t.size() > 1 ? t[1].text : "", Value(t, path, line), line});
  } else if (key == "item") {
    need(2);
    u.items.push_back(ToGbk(t[1].text));
  } else if (key == "column") {
    need(6);
    ts::forms::ListColumn c;
    c.imageOnRight = static_cast<uint8_t>(Number(t[1], path, line));
    c.image = static_cast<int32_t>(Number(t[2], path, line));
    c.alignment = static_cast<int32_t>(Number(t[3], path, line));
    c.width = static_cast<int32_t>(Number(t[4], path, line));
    c.title = ToGbk(t[5].text);
    u.columns.push_back(c);
  } else {
    Fail(path, line, "unknown line: " + key);
  }
}

}  // namespace

std::string ToGbk(const std::string& utf8) {
  iconv_t cd = iconv_open("GBK", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv: no GBK");
  std::string out(utf8.size() * 2 + 4, '\0');
  char* in = const_cast<char*>(utf8.data());
  size_t inLeft = utf8.size();
  char* o = out.data();
  size_t outLeft = out.size();
  size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1)) throw std::runtime_error("no GBK form for: " + utf8);
  out.resize(out.size() - outLeft);
  return out;
}

Bytes ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  if (!f) throw std::runtime_error("cannot read " + path);
  return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

std::vector<std::string> ReadHandlerNames(const std::string& path) {
  std::ifstream f(path);
  if (!f) throw std::runtime_error("cannot read " + path);
  std::vector<std::string> names;
  std::string line;
  int n = 0;
  while (std::getline(f, line)) {
    ++n;
    auto t = Tokenize(line, path, n);
    if (t.empty()) continue;
    if (t.size() != 1) Fail(path, n, "one handler name per line");
    names.push_back(t[0].text);
  }
  return names;
}

FormSource ParseFormSource(const std::string& path) {
  std::ifstream f(path);
  if (!f) throw std::runtime_error("cannot read " + path);
  FormSource form;
  form.path = path;
  std::string line;
  int n = 0;
  while (std::getline(f, line)) {
    ++n;
    auto t = Tokenize(line, path, n);
    if (t.empty()) continue;
    const std::string& key = t[0].text;
    if (key == "form" && t.size() == 2) {
      form.formId = static_cast<uint32_t>(Number(t[1], path, n));
    } else if (key == "reserved" && t.size() == 3) {
      form.reservedA = static_cast<uint32_t>(Number(t[1], path, n));
      form.reservedB = static_cast<uint32_t>(Number(t[2], path, n));
    } else if (key == "unit" && t.size() == 4) {
      UnitSource u;
      u.id = static_cast<uint32_t>(Number(t[1], path, n));
      u.type = TypeByName(ToGbk(t[2].text), path, n);
      u.name = ToGbk(t[3].text);
      u.line = n;
      form.units.push_back(u);
    } else if (!form.units.empty()) {
      UnitLine(form.units.back(), t, path, n);
    } else {
      Fail(path, n, "expected form, reserved or unit");
    }
  }
  if (form.units.empty()) Fail(path, n, "a form needs its window unit");
  return form;
}

}  // namespace formc
