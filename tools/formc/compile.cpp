#include "tools/formc/compile.h"

#include <stdexcept>

#include "forms/form_block.h"

namespace formc {

namespace {

using namespace ts::forms;

[[noreturn]] void Fail(const FormSource& f, int line, const std::string& what) {
  throw std::runtime_error(f.path + ":" + std::to_string(line) + ": " + what);
}

uint32_t ResolveParent(const FormSource& f, const UnitSource& u) {
  if (u.parent.empty()) return 0;
  for (const UnitSource& other : f.units)
    if (other.name == u.parent) return other.id;
  Fail(f, u.line, "parent not found");
}

int32_t HandlerOffset(const FormSource& f, const UnitSource& u, const std::string& name,
                      const std::vector<std::string>& handlers) {
  if (name == "-") return kNoHandlerOffset;
  for (size_t k = 0; k < handlers.size(); ++k)
    if (handlers[k] == name) return static_cast<int32_t>(k * 16);
  Fail(f, u.line, "unknown handler " + name);
}

Bytes Properties(const FormSource& f, const UnitSource& u) {
  std::optional<AnyProps> props = DefaultProps(u.type);
  if (!props) Fail(f, u.line, "no record for this unit type");
  for (const PropSetting& s : u.props)
    if (!SetPropsField(*props, s.name, s.value)) Fail(f, s.line, "no such field or wrong kind: " + s.name);
  if (!u.columns.empty() && !SetPropsField(*props, "Columns", EncodeColumns(u.columns)))
    Fail(f, u.line, "columns on a unit without a column list");
  if (!u.items.empty() && !SetPropsField(*props, "Items", u.items))
    Fail(f, u.line, "items on a unit without an item list");
  return WriteProps(*props);
}

}  // namespace

WindowRecord CompileForm(const FormSource& form, const std::vector<std::string>& handlers) {
  std::vector<uint32_t> ids;
  std::vector<Bytes> records;
  std::vector<uint32_t> parents;
  for (const UnitSource& u : form.units) parents.push_back(ResolveParent(form, u));

  for (size_t k = 0; k < form.units.size(); ++k) {
    const UnitSource& u = form.units[k];
    if (!IsValidUnitId(u.id)) Fail(form, u.line, "invalid unit id");
    UnitRecordData d;
    d.type = u.type;
    d.name = u.name;
    d.left = u.rect[0];
    d.top = u.rect[1];
    d.width = u.rect[2];
    d.height = u.rect[3];
    d.parent = k == 0 ? 0 : parents[k];
    d.tag = u.tag;
    d.stateFlags = u.flags;
    // Children in unit order: the window unit holds the units whose parent
    // is the window; any other unit those that name it.
    for (size_t c = 1; c < form.units.size(); ++c)
      if (c != k && parents[c] == (k == 0 ? 0 : u.id)) d.children.push_back(form.units[c].id);
    for (auto& [event, name] : u.events)
      d.bindings.emplace_back(event, HandlerOffset(form, u, name, handlers));
    d.properties = Properties(form, u);
    ids.push_back(u.id);
    records.push_back(BuildUnitRecord(d));
  }

  WindowRecord w;
  w.formId = form.formId;
  w.reservedA = form.reservedA;
  w.reservedB = form.reservedB;
  w.unitCount = static_cast<uint32_t>(ids.size());
  w.units = BuildUnitList(ids, records);
  return w;
}

Bytes CompileBlock(const std::vector<FormSource>& forms, const std::vector<std::string>& handlers) {
  std::vector<WindowRecord> windows;
  for (const FormSource& f : forms) windows.push_back(CompileForm(f, handlers));
  return WriteFormBlock(windows);
}

std::string CheckBlock(const Bytes& block) {
  auto windows = ParseFormBlock(block.data(), block.size());
  if (!windows) return "the block does not read back";
  for (const WindowRecord& w : *windows) {
    for (size_t k = 0; k < w.unitCount; ++k) {
      uint32_t size = 0;
      const uint8_t* rec = UnitRecordAt(w, k, &size);
      UnitLayout l;
      WalkUnitRecord(rec, size, &l);
      size_t consumed = 0;
      auto props = ReadProps(l.type, rec + l.propOff, size_t(l.propLen), &consumed);
      if (!props || consumed != size_t(l.propLen))
        return "unit " + std::to_string(k) + " of form " + std::to_string(w.formId) +
               ": property record not read to its end";
    }
  }
  return {};
}

}  // namespace formc
