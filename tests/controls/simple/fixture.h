// Test bed for the simple controls: a started runtime whose library table
// holds the program's unit types (with the simple controls registered), a
// plain parent unit window, an event log filled by event dispatch, and
// helpers to create controls through their create operation and to read
// and write their properties through operations 4 and 6.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "forms/engine/unit.h"
#include "forms/records/records.h"
#include "runtime/values.h"

namespace simpletest {

using ts::forms::Bytes;
using ts::forms::PropertyValue;
using ts::forms::UnitObject;

constexpr uint32_t kForm = 0x52030001;

struct Event {
  uint32_t unitId;
  int32_t event;
};

// Every event raised since the last Clear (focus events -7/-8 left out).
std::vector<Event>& Events();
void ClearEvents();
size_t CountEvents(uint32_t unitId, int32_t event);
// Runs while an event is being dispatched (before the log entry is added).
extern std::function<void(const Event&)> g_onEvent;

// Starts the runtime once and registers the controls.
void StartOnce();

// A top-level unit window that hosts the controls of one test.
class Host {
 public:
  Host();
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;
  HWND hwnd() const;

 private:
  UnitObject* window_;
};

// A created control: the object and its operations.
struct Control {
  UnitObject* unit = nullptr;
  ts::forms::UnitOps ops;

  HWND hwnd() const { return unit ? unit->handle() : nullptr; }
  int32_t GetInt(int32_t index) const;
  std::string GetText(int32_t index) const;
  int32_t Set(int32_t index, const PropertyValue& v) const;
  int32_t SetInt(int32_t index, int32_t v) const { return Set(index, PropertyValue::Int(v)); }
  int32_t SetText(int32_t index, const char* text) const { return Set(index, PropertyValue::Text(text)); }
  // Operation 5, read back into a record of type R.
  template <class R>
  R Record() const;
};

// Creates a control through its type's create operation; a unit with
// a null object when creation failed.
Control Create(ts::UnitInterfaceFn type, const Bytes& record, HWND parent, RECT where, uint32_t unitId);

// Pumps this thread's messages until `done` or the bound runs out.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000);
// Pumps messages for a while (for checks that something does not happen).
void PumpFor(DWORD ms);

// The client area of a window as painted through WM_PRINTCLIENT, as
// 0x00RRGGBB pixels, row by row.
struct Pixels {
  int width = 0, height = 0;
  std::vector<uint32_t> data;
  uint32_t at(int x, int y) const { return data[static_cast<size_t>(y) * width + x]; }
  bool operator==(const Pixels& o) const { return width == o.width && height == o.height && data == o.data; }
};
Pixels Render(HWND hwnd);
// A colour value (0x00BBGGRR) as Render reports it.
inline uint32_t PixelOf(COLORREF c) { return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF); }

// A 24-bit bitmap file of one colour (r, g, b).
Bytes SolidBmp(int width, int height, uint8_t r, uint8_t g, uint8_t b);

template <class R>
R Control::Record() const {
  uint32_t size = 0;
  uint8_t* data = ops.getAllData ? ops.getAllData(unit, &size) : nullptr;
  R record;
  EXPECT_TRUE(data != nullptr && ts::forms::ReadRecord(data, size, &record));
  if (data) ts::Free(data);
  return record;
}

}  // namespace simpletest
