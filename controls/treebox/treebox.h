// The tree box: a unit over the platform tree view whose items the program
// addresses by pre-order index.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "controls/common/control_support.h"
#include "controls/treebox/item_order.h"
#include "forms/engine/unit.h"
#include "forms/records/records.h"
#include "win/handles.h"

namespace ts::controls {

class TreeBox;

// The links between the tree view's items, for walks over the whole tree.
// Asks the control's own procedure directly (see TreeBox::Native), so it
// runs on the owner thread.
struct NativeTreeNav {
  TreeBox* tree = nullptr;
  HTREEITEM Get(HTREEITEM item, UINT code) const;
  HTREEITEM root() const { return Get(nullptr, TVGN_ROOT); }
  HTREEITEM child(HTREEITEM i) const { return Get(i, TVGN_CHILD); }
  HTREEITEM next(HTREEITEM i) const { return Get(i, TVGN_NEXT); }
  HTREEITEM parent(HTREEITEM i) const { return Get(i, TVGN_PARENT); }
};

// What one InsertItem call gives for one item.
struct TreeItemSpec {
  std::string text;
  int32_t image = 0;
  int32_t selectedImage = 0;
  int32_t itemData = 0;
  bool setBoldAndCheck = false;  // all seven argument places were given
  bool bold = false;
  bool hasCheck = false;
  int32_t checkState = 0;
};

class TreeBox : public forms::UnitObject {
 public:
  static constexpr uint32_t kTypeId = forms::unittype::TreeBox;

  TreeBox(const forms::CreateArgs& args, forms::TreeBoxProps props);
  ~TreeBox() override;

  // --- unit operations (see ControlOps) -------------------------------------
  static forms::UnitObject* CreateUnit(const forms::CreateArgs& args);
  int32_t SetProperty(int32_t index, const forms::PropertyValue& value);
  bool GetProperty(int32_t index, forms::PropertyValue* out);
  Bytes SaveRecord();

  // --- items by index ------------------------------------------------------
  int32_t Count();
  HTREEITEM ItemAt(int32_t index);
  int32_t IndexOf(HTREEITEM item) { return Order().IndexOf(item); }
  // Adds an item as the last child of the item at parentIndex (top level
  // when it does not exist); the new item's index, or -1.
  int32_t Insert(int32_t parentIndex, const TreeItemSpec& desc);
  // The item's whole text.
  std::string ItemText(HTREEITEM item);
  void DeleteAll();
  // State image index minus 1: -1 none, 0 unchecked, 1 checked.
  int32_t CheckState(HTREEITEM item);
  // The item's 32-bit user value; 0 when there is no item.
  int32_t ItemData(HTREEITEM item);
  void SetCheckState(int32_t index, int32_t state, bool recursive);
  int32_t ParentIndex(int32_t index) { return Order().ParentIndex(index); }
  // A fresh item list of the live tree.
  Bytes LiveItems();

  const forms::TreeBoxProps& props() const { return props_; }

 protected:
  LRESULT OnMessage(UINT message, WPARAM w, LPARAM l) override;

 private:
  friend struct NativeTreeNav;
  static constexpr UINT kCheckToggled = WM_USER + 1;
  static constexpr UINT_PTR kReapplyTimer = 0x5453;
  static constexpr UINT_PTR kRedrawTimer = 0x5454;

  // A message handed straight to the platform control's procedure. Every
  // message sent to the window first passes the unit's window procedure,
  // whose object lookup is a round trip to the window server; item queries
  // and updates made here on the owner thread skip that. Messages this
  // class watches in OnMessage (insert, delete, sort) must keep their
  // bookkeeping when sent this way.
  LRESULT Native(UINT message, WPARAM w = 0, LPARAM l = 0) { return CallDefault(message, w, l); }
  // Insertions turn the control's drawing off: with drawing on, the control
  // recomputes its layout on every insertion, which makes a burst of them
  // quadratic. Drawing comes back from a timer a few times a second, and at
  // once before anything that needs the layout (input, hit tests, scrolling).
  void SuspendRedraw();
  void ResumeRedraw();
  static bool NeedsLayout(UINT message, WPARAM w);

  bool Build(const forms::CreateArgs& args);
  void ApplyColours();
  void ApplyFont();
  void ApplyImages();
  void ApplyItemHeight();
  void BuildStateImages();
  void InsertStoredItems();
  void SelectIndex(int32_t index);
  void SetStateImage(HTREEITEM item, int32_t image);
  HTREEITEM InsertNative(HTREEITEM parent, const TreeItemSpec& desc);
  void ReapplyPending();
  LRESULT OnNotify(const NMHDR* header);
  void OnRightButtonDown(LPARAM point);
  void OnCheckToggled(HTREEITEM item);
  void ForgetPositions();
  // The pre-order copy of the tree, rebuilt by a walk when stale.
  ItemOrder<HTREEITEM>& Order();
  DWORD StyleFromProps() const;

  forms::TreeBoxProps props_;
  NativeTreeNav nav_;
  ItemOrder<HTREEITEM> order_;
  win::OwnedImageList images_;
  win::OwnedImageList stateImages_;
  win::OwnedFont font_;
  std::string editedText_;
  struct Pending {
    HTREEITEM item;
    int32_t stateImage;
  };
  std::vector<Pending> pending_;
  bool itemsReplaced_ = false;  // InitialItems was written: recreate from it
  Bytes liveItems_;              // the last InitialItems read
  HTREEITEM toggled_ = nullptr;  // item whose check box a click or key toggles
  bool redrawSuspended_ = false;
  UINT redrawDelayMs_ = kMinRedrawDelayMs;  // grows with the cost of a repaint
  double paintMs_ = 0;                      // the last repaint
  // Under Wine's default theme a repaint of a tree with scroll bars costs
  // about 11 ms (the bars' images are stretched pixel by pixel): once a
  // second keeps new items in view at a small share of the time.
  static constexpr UINT kMinRedrawDelayMs = 1000;
  static constexpr UINT kMaxRedrawDelayMs = 2000;
};

inline HTREEITEM NativeTreeNav::Get(HTREEITEM item, UINT code) const {
  return reinterpret_cast<HTREEITEM>(tree->Native(TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
}

// The type's interface function (operation number → routine).
void* TreeBoxInterface(int32_t operation);

}  // namespace ts::controls
