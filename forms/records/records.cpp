#include "forms/records/records.h"

namespace ts::forms {

namespace {

template <class R>
std::optional<AnyProps> ReadAs(const uint8_t* data, size_t size, size_t* consumed) {
  R rec;
  if (!ReadRecord(data, size, &rec, consumed)) return std::nullopt;
  return AnyProps(std::move(rec));
}

}  // namespace

std::optional<AnyProps> DefaultProps(uint32_t typeId) {
  switch (typeId) {
    case unittype::Window: return WindowProps{};
    case unittype::EditBox: return EditBoxProps{};
    case unittype::PicBox: return PicBoxProps{};
    case unittype::GroupBox: return GroupBoxProps{};
    case unittype::Label: return LabelProps{};
    case unittype::CheckBox: return CheckBoxProps{};
    case unittype::ComboBox: return ComboBoxProps{};
    case unittype::ProgressBar: return ProgressBarProps{};
    case unittype::Hyperlink: return HyperlinkProps{};
    case unittype::TreeBox: return TreeBoxProps{};
    case unittype::ListView: return ListViewProps{};
    case unittype::SuperButton: return SuperButtonProps{};
    default: return std::nullopt;
  }
}

std::optional<AnyProps> ReadProps(uint32_t typeId, const uint8_t* data, size_t size,
                                  size_t* consumed) {
  std::optional<AnyProps> defaults = DefaultProps(typeId);
  if (!defaults) return std::nullopt;
  return std::visit(
      [&](auto& d) {
        using R = std::decay_t<decltype(d)>;
        return ReadAs<R>(data, size, consumed);
      },
      *defaults);
}

Bytes WriteProps(const AnyProps& props) {
  return std::visit([](const auto& p) { return WriteRecord(p); }, props);
}

bool SetPropsField(AnyProps& props, const std::string& name, const FieldValue& value) {
  return std::visit([&](auto& p) { return SetRecordField(p, name, value); }, props);
}

uint32_t PropsTypeId(const AnyProps& props) {
  return std::visit([](const auto& p) { return std::decay_t<decltype(p)>::kTypeId; }, props);
}

Bytes EncodeColumns(const std::vector<ListColumn>& cols) {
  ByteWriter w;
  for (const ListColumn& c : cols) {
    w.u8(c.imageOnRight);
    w.i32(c.image);
    w.i32(c.alignment);
    w.i32(c.width);
    w.zeroText(c.title);
  }
  return w.take();
}

std::optional<std::vector<ListColumn>> DecodeColumns(const Bytes& block) {
  std::vector<ListColumn> cols;
  ByteReader r(block);
  while (r.ok() && !r.atEnd()) {
    ListColumn c;
    c.imageOnRight = r.u8();
    c.image = r.i32();
    c.alignment = r.i32();
    c.width = r.i32();
    c.title = r.zeroText();
    if (r.ok()) cols.push_back(std::move(c));
  }
  if (!r.ok()) return std::nullopt;
  return cols;
}

Bytes EncodeRows(const std::vector<ListRowRecord>& rows) {
  ByteWriter w;
  for (const ListRowRecord& row : rows) {
    w.u8(row.kind);
    w.i32(row.image);
    w.i32(row.stateImage);
    w.i32(row.indent);
    w.i32(row.itemData);
    w.zeroText(row.text);
    w.zeroText(row.tip);
  }
  return w.take();
}

std::optional<std::vector<ListRowRecord>> DecodeRows(const Bytes& block) {
  std::vector<ListRowRecord> rows;
  ByteReader r(block);
  while (r.ok() && !r.atEnd()) {
    ListRowRecord row;
    row.kind = r.u8();
    row.image = r.i32();
    row.stateImage = r.i32();
    row.indent = r.i32();
    row.itemData = r.i32();
    row.text = r.zeroText();
    row.tip = r.zeroText();
    if (r.ok()) rows.push_back(std::move(row));
  }
  if (!r.ok()) return std::nullopt;
  return rows;
}

Bytes EncodeTreeItems(const std::vector<TreeItemRecord>& items) {
  ByteWriter w;
  for (const TreeItemRecord& it : items) {
    w.zeroText(it.text);
    w.i32(it.image);
    w.i32(it.selectedImage);
    w.i32(it.itemData);
    w.u32(it.flags);
    w.i32(it.depth);
  }
  return w.take();
}

std::optional<std::vector<TreeItemRecord>> DecodeTreeItems(const Bytes& block) {
  std::vector<TreeItemRecord> items;
  ByteReader r(block);
  while (r.ok() && !r.atEnd()) {
    TreeItemRecord it;
    it.text = r.zeroText();
    it.image = r.i32();
    it.selectedImage = r.i32();
    it.itemData = r.i32();
    it.flags = r.u32();
    it.depth = r.i32();
    if (r.ok()) items.push_back(std::move(it));
  }
  if (!r.ok()) return std::nullopt;
  return items;
}

Bytes EncodeItemData(const std::vector<int32_t>& values) {
  ByteWriter w;
  for (int32_t v : values) w.i32(v);
  return w.take();
}

std::vector<int32_t> DecodeItemData(const Bytes& block) {
  std::vector<int32_t> values;
  for (size_t i = 0; i + 4 <= block.size(); i += 4)
    values.push_back(static_cast<int32_t>(LoadU32(block.data() + i)));
  return values;
}

int32_t CursorKey(const Bytes& block) {
  if (block.empty()) return 0;
  if (block.size() < 4) return block[0];
  return static_cast<int32_t>(LoadU32(block.data()));
}

}  // namespace ts::forms
