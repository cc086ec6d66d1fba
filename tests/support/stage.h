// A stage for controls: the runtime started once with the program's own
// unit types, a host window that is a unit itself (so its children's
// notifications come back to them as in a form), controls made through
// their type's create operation, and every event they raise recorded by
// handlers that can look at the control and return a value.
//
// One stage at a time: events go to the stage that lives. Tests on a
// stage pump with PumpUntil and Flush (tests/support/pump.h).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "forms/engine/unit.h"
#include "forms/records/records.h"
#include "runtime/values.h"
#include "tests/support/args.h"
#include "tests/support/pump.h"

namespace ts::test {

using Bytes = std::vector<uint8_t>;
using ts::forms::PropertyValue;
using ts::forms::UnitObject;

// The form every stage unit belongs to.
constexpr uint32_t kStageForm = 0x52010001;

// An event as a handler got it.
struct Event {
  uint32_t unit;
  int32_t event;
  uint32_t a, b;   // the first two arguments
  int32_t probed;  // what the stage's probe answered while it was raised
};
// Focus events (-7 gained, -8 lost) depend on what else the desktop does.
inline bool IsFocusEvent(const Event& e) { return e.event == -7 || e.event == -8; }

// A control made on the stage, with its type's operations.
struct Control {
  UnitObject* unit = nullptr;
  ts::forms::UnitOps ops;

  HWND hwnd() const { return unit ? unit->handle() : nullptr; }
  // Operations 6 and 4 by property index.
  int32_t GetInt(int32_t index) const;
  std::string GetText(int32_t index) const;
  int32_t Set(int32_t index, const PropertyValue& v) const;
  int32_t SetInt(int32_t index, int32_t v) const { return Set(index, PropertyValue::Int(v)); }
  int32_t SetText(int32_t index, const char* text) const { return Set(index, PropertyValue::Text(text)); }
  // Operation 5, read back into a record of type R.
  template <class R>
  R Record() const;
};

class Stage {
 public:
  Stage();
  ~Stage();
  Stage(const Stage&) = delete;
  Stage& operator=(const Stage&) = delete;

  HWND host() const { return host_; }

  // Creation arguments for a unit a test makes itself on `parent`, the host
  // when null (the caller keeps the record); its events go nowhere.
  ts::forms::CreateArgs Args(const Bytes& record, RECT where, uint32_t unitId, HWND parent = nullptr);
  // Makes a control through its type's create operation and shows it; the
  // returned unit is null when creation failed.
  Control Create(ts::UnitInterfaceFn type, uint32_t unitId, const Bytes& record, RECT where = {10, 10, 410, 310},
                 HWND parent = nullptr);

  // Every event raised since the last ClearEvents, focus events included.
  const std::vector<Event>& events() const;
  void ClearEvents();
  size_t Count(uint32_t unit, int32_t event) const;
  // The event numbers raised, without focus events; clears the log.
  std::vector<int32_t> TakeNumbers();
  // Runs while each event is raised; its answer is kept in Event::probed.
  void Probe(std::function<int32_t(const Event&)> probe);
  // Handlers of `event` return `value` (returns) or nothing (the default).
  void Answer(int32_t event, bool returns, uint32_t value = 0);

 private:
  HWND host_ = nullptr;
};

// Windows of a program that runs on the form engine (the stage, or the
// real program on another thread): the native window of a loaded form, and
// the native window of one of its units (0 for none).
HWND LoadedWindow(uint32_t formId);
HWND UnitWindowOf(HWND window, uint32_t unitId);

// A unit reference to a control of the stage, for command calls.
inline ts::ArgRecord StageUnit(uint32_t unitId, uint32_t typeId) { return Unit(kStageForm, unitId, typeId); }

// The client area of a window as it paints itself into memory
// (WM_PRINTCLIENT), pixels 0x00RRGGBB, rows top-down.
struct Pixels {
  int width = 0, height = 0;
  std::vector<uint32_t> data;
  uint32_t at(int x, int y) const { return data[static_cast<size_t>(y) * width + x]; }
  bool Shows(uint32_t pixel) const;
  bool operator==(const Pixels& o) const { return width == o.width && height == o.height && data == o.data; }
};
Pixels Render(HWND hwnd, UINT what = PRF_CLIENT | PRF_ERASEBKGND);
// The client area as the screen shows it now (covered parts show what covers them).
Pixels OnScreen(HWND hwnd);
// The client area alone, as the control paints it without a background pass.
inline Pixels Shot(HWND hwnd) { return Render(hwnd, PRF_CLIENT); }
// A rectangle by its corner and size.
constexpr RECT Area(int left, int top, int width, int height) { return RECT{left, top, left + width, top + height}; }
// A colour (0x00BBGGRR) as Render reports it.
constexpr uint32_t PixelOf(COLORREF c) { return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF); }

template <class R>
R Control::Record() const {
  uint32_t size = 0;
  uint8_t* data = ops.getAllData ? ops.getAllData(unit, &size) : nullptr;
  R record;
  if (data == nullptr || !ts::forms::ReadRecord(data, size, &record)) ADD_FAILURE() << "no readable record";
  if (data) ts::Free(data);
  return record;
}

}  // namespace ts::test
