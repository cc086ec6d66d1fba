// Stored property records of the twelve unit types, as plain values with
// their defaults. Each type lists its fields in stored order in Fields();
// reading, writing and naming fields go through record_io.h.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "forms/records/record_io.h"
#include "forms/unit_type_ids.h"

namespace ts::forms {

constexpr uint32_t kButtonFace = 0xFF000000;  // back colour: system button face

struct WindowProps {
  static constexpr uint32_t kTypeId = unittype::Window;
  static constexpr uint32_t kMaxVersion = 6, kWriteVersion = 6;
  uint32_t version = kWriteVersion;
  uint32_t borderStyle = 2, backPictureMode = 1, backColor = kButtonFace;
  uint32_t maxButton = 0, minButton = 1, controlBox = 1, startPosition = 1, movable = 1;
  uint32_t playCount = 0, enterMovesFocus = 0, escCloses = 1, f1OpensHelp = 0, helpContext = 0;
  uint32_t showInTaskbar = 1, dragAnywhere = 0, shape = 0, alwaysOnTop = 0, keepTitleActive = 0;
  std::string className;
  Bytes backPicture, icon, backMusic;
  std::string caption, helpFile;

  template <class IO>
  void Fields(IO& io) {
    io.u32("BorderStyle", borderStyle);
    io.u32("BackPictureMode", backPictureMode);
    io.u32("BackColor", backColor);
    io.u32("MaxButton", maxButton);
    io.u32("MinButton", minButton);
    io.u32("ControlBox", controlBox);
    io.u32("StartPosition", startPosition);
    io.u32("Movable", movable);
    io.u32("PlayCount", playCount);
    io.u32("EnterMovesFocus", enterMovesFocus);
    io.u32("EscCloses", escCloses);
    io.u32("F1OpensHelp", f1OpensHelp);
    io.u32("HelpContext", helpContext);
    if (io.since(2)) io.u32("ShowInTaskbar", showInTaskbar);
    if (io.since(3)) {
      io.u32("DragAnywhere", dragAnywhere);
      io.u32("Shape", shape);
    }
    if (io.since(4)) io.u32("AlwaysOnTop", alwaysOnTop);
    if (io.since(5)) io.u32("KeepTitleActive", keepTitleActive);
    if (io.since(6)) io.text("ClassName", className);
    io.block("BackPicture", backPicture);
    io.block("Icon", icon);
    io.block("BackMusic", backMusic);
    io.text("Caption", caption);
    io.text("HelpFile", helpFile);
  }
};

struct EditBoxProps {
  static constexpr uint32_t kTypeId = unittype::EditBox;
  static constexpr uint32_t kMaxVersion = 2, kWriteVersion = 2;
  uint32_t version = kWriteVersion;
  int32_t borderStyle = 1;
  uint32_t textColor = 0, backColor = 0xFFFFFF;
  uint32_t hideSelection = 1;
  int32_t maxLength = 0;
  uint32_t multiline = 0;
  int32_t scrollBars = 0, textAlign = 0, inputMode = 0;
  uint16_t passwordChar = '*';
  int32_t letterCase = 0;
  int32_t spinMode = 0, spinMin = 0, spinMax = 100, selStart = 0, selLength = 0;
  Bytes font;
  std::string content;
  std::string dataSource, dataField;

  template <class IO>
  void Fields(IO& io) {
    io.i32("BorderStyle", borderStyle);
    io.u32("TextColor", textColor);
    io.u32("BackColor", backColor);
    io.u32("HideSelection", hideSelection);
    io.i32("MaxLength", maxLength);
    io.u32("Multiline", multiline);
    io.i32("ScrollBars", scrollBars);
    io.i32("TextAlign", textAlign);
    io.i32("InputMode", inputMode);
    io.u16("PasswordChar", passwordChar);
    io.i32("LetterCase", letterCase);
    io.i32("SpinMode", spinMode);
    io.i32("SpinMin", spinMin);
    io.i32("SpinMax", spinMax);
    io.i32("SelStart", selStart);
    io.i32("SelLength", selLength);
    io.block("Font", font);
    io.text("Content", content);
    if (io.since(2)) {
      io.text("DataSource", dataSource);
      io.text("DataField", dataField);
    }
  }
};

struct PicBoxProps {
  static constexpr uint32_t kTypeId = unittype::PicBox;
  static constexpr uint32_t kMaxVersion = 2, kWriteVersion = 2;
  uint32_t version = kWriteVersion;
  int32_t borderStyle = 0;
  uint32_t backColor = kButtonFace;
  int32_t displayMode = 0;
  uint32_t animate = 1;
  Bytes picture;
  std::string dataSource, dataField;

  template <class IO>
  void Fields(IO& io) {
    io.i32("BorderStyle", borderStyle);
    io.u32("BackColor", backColor);
    io.i32("DisplayMode", displayMode);
    io.u32("Animate", animate);
    io.block("Picture", picture);
    if (io.since(2)) {
      io.text("DataSource", dataSource);
      io.text("DataField", dataField);
    }
  }
};

struct GroupBoxProps {
  static constexpr uint32_t kTypeId = unittype::GroupBox;
  static constexpr uint32_t kMaxVersion = 1, kWriteVersion = 1;
  uint32_t version = kWriteVersion;
  int32_t captionAlign = 0;
  uint32_t textColor = 0, backColor = kButtonFace;
  Bytes font;
  std::string caption = "分组框";

  template <class IO>
  void Fields(IO& io) {
    io.i32("CaptionAlign", captionAlign);
    io.u32("TextColor", textColor);
    io.u32("BackColor", backColor);
    io.block("Font", font);
    io.text("Caption", caption);
  }
};

struct LabelProps {
  static constexpr uint32_t kTypeId = unittype::Label;
  static constexpr uint32_t kMaxVersion = 2, kWriteVersion = 2;
  uint32_t version = kWriteVersion;
  int32_t effect = 0, frameWidth = 8, borderStyle = 0;
  uint32_t frameColors[3] = {0x808080, 0xFFFFFF, 0x808080};
  uint32_t textColor = 0, backColor = kButtonFace;
  int32_t pictureMode = 1, gradientMode = 0;
  uint32_t gradientColors[3] = {0x808080, 0xFFFFFF, 0x808080};
  int32_t hAlign = 0, vAlign = 1;
  uint32_t wordWrap = 0;
  Bytes font, backPicture;
  std::string caption = "标签";
  std::string dataSource, dataField;

  template <class IO>
  void Fields(IO& io) {
    io.i32("Effect", effect);
    io.i32("FrameWidth", frameWidth);
    io.i32("BorderStyle", borderStyle);
    io.u32("FrameColor1", frameColors[0]);
    io.u32("FrameColor2", frameColors[1]);
    io.u32("FrameColor3", frameColors[2]);
    io.u32("TextColor", textColor);
    io.u32("BackColor", backColor);
    io.i32("PictureMode", pictureMode);
    io.i32("GradientMode", gradientMode);
    io.u32("GradientColor1", gradientColors[0]);
    io.u32("GradientColor2", gradientColors[1]);
    io.u32("GradientColor3", gradientColors[2]);
    io.i32("HAlign", hAlign);
    io.i32("VAlign", vAlign);
    io.u32("WordWrap", wordWrap);
    io.block("Font", font);
    io.block("BackPicture", backPicture);
    io.text("Caption", caption);
    if (io.since(2)) {
      io.text("DataSource", dataSource);
      io.text("DataField", dataField);
    }
  }
};

struct CheckBoxProps {
  static constexpr uint32_t kTypeId = unittype::CheckBox;
  static constexpr uint32_t kMaxVersion = 2, kWriteVersion = 2;
  uint32_t version = kWriteVersion;
  uint32_t pushLike = 0, flat = 0, textOnLeft = 0;
  int32_t hAlign = 0, vAlign = 1;
  uint32_t textColor = 0, backColor = kButtonFace;
  uint32_t checked = 0;
  Bytes picture, font;
  std::string caption = "选择框";
  std::string dataSource, dataField;

  template <class IO>
  void Fields(IO& io) {
    io.u32("PushLike", pushLike);
    io.u32("Flat", flat);
    io.u32("TextOnLeft", textOnLeft);
    io.i32("HAlign", hAlign);
    io.i32("VAlign", vAlign);
    io.u32("TextColor", textColor);
    io.u32("BackColor", backColor);
    io.u32("Checked", checked);
    io.block("Picture", picture);
    io.block("Font", font);
    io.text("Caption", caption);
    if (io.since(2)) {
      io.text("DataSource", dataSource);
      io.text("DataField", dataField);
    }
  }
};

struct ComboBoxProps {
  static constexpr uint32_t kTypeId = unittype::ComboBox;
  static constexpr uint32_t kMaxVersion = 3, kWriteVersion = 3;
  uint32_t version = kWriteVersion;
  int32_t comboStyle = 1, maxLength = 0, selStart = 0, selLength = 0;
  uint32_t sorted = 0;
  int32_t extraItemHeight = 0;
  uint32_t textColor = 0, backColor = 0xFFFFFF;
  int32_t currentIndex = -1;
  Bytes font;
  Bytes itemData;  // one i32 per item
  std::string content;
  std::vector<std::string> items;
  std::string dataSource, dataField;
  uint32_t flag = 0;

  template <class IO>
  void Fields(IO& io) {
    io.i32("ComboStyle", comboStyle);
    io.i32("MaxLength", maxLength);
    io.i32("SelStart", selStart);
    io.i32("SelLength", selLength);
    io.u32("Sorted", sorted);
    io.i32("ExtraItemHeight", extraItemHeight);
    io.u32("TextColor", textColor);
    io.u32("BackColor", backColor);
    io.i32("CurrentIndex", currentIndex);
    io.block("Font", font);
    io.block("ItemData", itemData);
    io.text("Content", content);
    io.list("Items", items);
    if (io.since(2)) {
      io.text("DataSource", dataSource);
      io.text("DataField", dataField);
    }
    if (io.since(3)) io.u32("Flag", flag);
  }
};

struct ProgressBarProps {
  static constexpr uint32_t kTypeId = unittype::ProgressBar;
  static constexpr uint32_t kMaxVersion = 1, kWriteVersion = 1;
  uint32_t version = kWriteVersion;
  int32_t borderStyle = 0;
  uint32_t vertical = 0, smooth = 0;
  int32_t minimum = 0, maximum = 100, position = 0;

  template <class IO>
  void Fields(IO& io) {
    io.i32("BorderStyle", borderStyle);
    io.u32("Vertical", vertical);
    io.u32("Smooth", smooth);
    io.i32("Minimum", minimum);
    io.i32("Maximum", maximum);
    io.i32("Position", position);
  }
};

struct HyperlinkProps {
  static constexpr uint32_t kTypeId = unittype::Hyperlink;
  static constexpr uint32_t kMaxVersion = 1, kWriteVersion = 1;
  uint32_t version = kWriteVersion;
  int32_t linkKind = 1;
  uint32_t linkColor = 0xFF0000, visitedColor = 0x800080, hoverColor = 0x0000FF;
  uint32_t backColor = kButtonFace;
  int32_t borderStyle = 0;
  Bytes font;
  std::string caption, mailAddress, webAddress;

  template <class IO>
  void Fields(IO& io) {
    io.i32("LinkKind", linkKind);
    io.u32("LinkColor", linkColor);
    io.u32("VisitedColor", visitedColor);
    io.u32("HoverColor", hoverColor);
    io.u32("BackColor", backColor);
    io.i32("BorderStyle", borderStyle);
    io.block("Font", font);
    io.text("Caption", caption);
    io.text("MailAddress", mailAddress);
    io.text("WebAddress", webAddress);
  }
};

struct TreeBoxProps {
  static constexpr uint32_t kTypeId = unittype::TreeBox;
  static constexpr uint32_t kMaxVersion = 1, kWriteVersion = 0;
  uint32_t version = kWriteVersion;
  int32_t borderStyle = 1;
  uint32_t textColor = 0, backColor = 0xFFFFFF;
  uint32_t hasButtons = 1, hasLines = 1, linesAtRoot = 0, editLabels = 0, showSelectionAlways = 0;
  int32_t currentItem = 0, itemHeight = -1;
  Bytes font, images, initialItems;
  uint32_t extensionMarker = 1;
  uint32_t checkBoxes = 0;
  int32_t stateImageCount = 2;
  Bytes stateImages;

  template <class IO>
  void Fields(IO& io) {
    io.i32("BorderStyle", borderStyle);
    io.u32("TextColor", textColor);
    io.u32("BackColor", backColor);
    io.u32("HasButtons", hasButtons);
    io.u32("HasLines", hasLines);
    io.u32("LinesAtRoot", linesAtRoot);
    io.u32("EditLabels", editLabels);
    io.u32("ShowSelectionAlways", showSelectionAlways);
    io.i32("CurrentItem", currentItem);
    io.i32("ItemHeight", itemHeight);
    io.block("Font", font);
    io.block("Images", images);
    io.block("InitialItems", initialItems);
    // Only version 0 carries the marker and the fields after it; version 1
    // ends here.
    if (io.version != 0) return;
    if (!io.marker(extensionMarker)) return;
    io.u32("CheckBoxes", checkBoxes);
    io.i32("StateImageCount", stateImageCount);
    io.block("StateImages", stateImages);
  }
};

struct ListViewProps {
  static constexpr uint32_t kTypeId = unittype::ListView;
  static constexpr uint32_t kMaxVersion = 1, kWriteVersion = 1;
  uint32_t version = kWriteVersion;
  int32_t borderStyle = 1;
  uint32_t textColor = 0, textBackColor = 0xFFFFFF, backColor = 0xFFFFFF;
  int32_t viewType = 0, alignment = 0;
  uint32_t autoArrange = 1, wrapLabels = 1, hideHeader = 0, clickableHeader = 1;
  uint32_t fullRowSelect = 0, gridLines = 0, headerDragDrop = 0, hotTracking = 0;
  uint32_t handCursor = 1, underlineHot = 1, underlineCold = 1, editLabels = 0;
  int32_t sortOrder = 0;
  uint32_t checkBoxes = 0, flatScrollBars = 0, singleSelection = 1;
  int32_t currentRow = -1;
  uint32_t showSelectionAlways = 0;
  Bytes font, headerImages, images, columns, stateImages, initialRows;

  template <class IO>
  void Fields(IO& io) {
    io.i32("BorderStyle", borderStyle);
    io.u32("TextColor", textColor);
    io.u32("TextBackColor", textBackColor);
    io.u32("BackColor", backColor);
    io.i32("ViewType", viewType);
    io.i32("Alignment", alignment);
    io.u32("AutoArrange", autoArrange);
    io.u32("WrapLabels", wrapLabels);
    io.u32("HideHeader", hideHeader);
    io.u32("ClickableHeader", clickableHeader);
    io.u32("FullRowSelect", fullRowSelect);
    io.u32("GridLines", gridLines);
    io.u32("HeaderDragDrop", headerDragDrop);
    io.u32("HotTracking", hotTracking);
    io.u32("HandCursor", handCursor);
    io.u32("UnderlineHot", underlineHot);
    io.u32("UnderlineCold", underlineCold);
    io.u32("EditLabels", editLabels);
    io.i32("SortOrder", sortOrder);
    io.u32("CheckBoxes", checkBoxes);
    io.u32("FlatScrollBars", flatScrollBars);
    io.u32("SingleSelection", singleSelection);
    io.i32("CurrentRow", currentRow);
    io.u32("ShowSelectionAlways", showSelectionAlways);
    io.block("Font", font);
    io.block("HeaderImages", headerImages);
    io.block("Images", images);
    io.block("Columns", columns);
    io.block("StateImages", stateImages);
    io.block("InitialRows", initialRows);
  }
};

struct SuperButtonProps {
  static constexpr uint32_t kTypeId = unittype::SuperButton;
  static constexpr uint32_t kMaxVersion = 2, kWriteVersion = 2;
  uint32_t version = kWriteVersion;
  int32_t buttonStyle = 0;
  uint32_t toggle = 0, down = 0;
  int32_t imagePosition = 0, pressEffect = 0;
  uint32_t flatBorder = 1, flatFocusRect = 0;
  uint32_t hotImageKey = kButtonFace, normalImageKey = kButtonFace;
  uint32_t systemColors = 1, builtInSound = 0, defaultButton = 0;
  // Text, back, hot text, hot back, down text, down back: the classic system
  // button text and face colours (the hot face lightened by 32).
  uint32_t colors[6] = {0x000000, 0xF0F0F0, 0x000000, 0xFFFFFF, 0x000000, 0xF0F0F0};
  Bytes hotImage, normalImage, font, hoverSound, clickSound;
  std::string caption = "超级按钮";
  std::string toolTip;
  uint32_t disabledImageKey = kButtonFace;
  Bytes disabledImage;

  template <class IO>
  void Fields(IO& io) {
    io.i32("ButtonStyle", buttonStyle);
    io.u32("Toggle", toggle);
    io.u32("Down", down);
    io.i32("ImagePosition", imagePosition);
    io.i32("PressEffect", pressEffect);
    io.u32("FlatBorder", flatBorder);
    io.u32("FlatFocusRect", flatFocusRect);
    io.u32("HotImageKey", hotImageKey);
    io.u32("NormalImageKey", normalImageKey);
    io.u32("SystemColors", systemColors);
    io.u32("BuiltInSound", builtInSound);
    io.u32("DefaultButton", defaultButton);
    io.u32("TextColor", colors[0]);
    io.u32("BackColor", colors[1]);
    io.u32("HotTextColor", colors[2]);
    io.u32("HotBackColor", colors[3]);
    io.u32("DownTextColor", colors[4]);
    io.u32("DownBackColor", colors[5]);
    io.block("HotImage", hotImage);
    io.block("NormalImage", normalImage);
    io.block("Font", font);
    io.block("HoverSound", hoverSound);
    io.block("ClickSound", clickSound);
    io.text("Caption", caption);
    io.text("ToolTip", toolTip);
    if (io.since(2)) {
      io.u32("DisabledImageKey", disabledImageKey);
      io.block("DisabledImage", disabledImage);
    }
  }
};

using AnyProps = std::variant<WindowProps, EditBoxProps, PicBoxProps, GroupBoxProps, LabelProps,
                              CheckBoxProps, ComboBoxProps, ProgressBarProps, HyperlinkProps,
                              TreeBoxProps, ListViewProps, SuperButtonProps>;

// The defaults of a unit type, or nothing for a type without a record here.
std::optional<AnyProps> DefaultProps(uint32_t typeId);
// Reads the record of a unit type; nothing when the type is unknown, the
// version too high or the record broken. `consumed` gets the bytes read.
std::optional<AnyProps> ReadProps(uint32_t typeId, const uint8_t* data, size_t size,
                                  size_t* consumed = nullptr);
Bytes WriteProps(const AnyProps& props);
bool SetPropsField(AnyProps& props, const std::string& name, const FieldValue& value);
uint32_t PropsTypeId(const AnyProps& props);

// --- lists inside byte blocks ---------------------------------------------

// One column of a list view's `Columns` block.
struct ListColumn {
  uint8_t imageOnRight = 0;
  int32_t image = -1;
  int32_t alignment = 0;  // 0 left, 1 centre, 2 right
  int32_t width = 50;
  std::string title;
};
// One record of a list view's `InitialRows` block.
struct ListRowRecord {
  uint8_t kind = 0;  // 0 starts a row; otherwise the next column of it
  int32_t image = -1;
  int32_t stateImage = -1;
  int32_t indent = 0;
  int32_t itemData = 0;
  std::string text;
  std::string tip;
};
// One record of a tree box's `InitialItems` block (pre-order).
struct TreeItemRecord {
  std::string text;
  int32_t image = 0;
  int32_t selectedImage = 0;
  int32_t itemData = 0;
  uint32_t flags = 0;  // bit 0 bold, bit 1 expanded, bits 28..31 state image
  int32_t depth = 1;
};

Bytes EncodeColumns(const std::vector<ListColumn>& cols);
std::optional<std::vector<ListColumn>> DecodeColumns(const Bytes& block);
Bytes EncodeRows(const std::vector<ListRowRecord>& rows);
std::optional<std::vector<ListRowRecord>> DecodeRows(const Bytes& block);
Bytes EncodeTreeItems(const std::vector<TreeItemRecord>& items);
std::optional<std::vector<TreeItemRecord>> DecodeTreeItems(const Bytes& block);
// A combo box's `ItemData` block: one i32 per item.
Bytes EncodeItemData(const std::vector<int32_t>& values);
std::vector<int32_t> DecodeItemData(const Bytes& block);

// A cursor value's key: the first u32, or the first byte of a block shorter
// than 4 bytes; 0 for an empty block.
int32_t CursorKey(const Bytes& block);

}  // namespace ts::forms
