// A small stage for list-box and tree-box tests: the runtime started with a
// program whose second library holds both unit types, a host window, event
// capture through the runtime's own dispatch, and command calls by unit
// reference.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "forms/engine/unit.h"
#include "runtime/values.h"

namespace tstest {

constexpr uint32_t kForm = 0x52010001;

struct Event {
  uint32_t unitId;
  int32_t event;
  uint32_t a, b;
  int32_t stateAtRaise;  // filled by a probe, when one is set
};

class Stage {
 public:
  Stage();
  ~Stage();
  HWND host() const { return host_; }

  // Creates a control of the type through its create operation from a
  // stored property record, as a visible child of the host.
  ts::forms::UnitObject* Create(void* (*iface)(int32_t), uint32_t unitId, const std::vector<uint8_t>& record,
                                int left = 10, int top = 10, int width = 400, int height = 300);

  // Events seen so far; cleared by Clear().
  static std::vector<Event>& Events();
  static void Clear() { Events().clear(); }
  // Called while an event is dispatched; its answer goes into stateAtRaise.
  static std::function<int32_t(const Event&)>& Probe();
  // The value event handlers return for an event number (none by default).
  static void SetReturn(int32_t event, bool returns, uint32_t value);

  // Pumps messages until pred holds or timeoutMs passed.
  static bool PumpUntil(const std::function<bool()>& pred, DWORD timeoutMs = 3000);
  static void PumpFor(DWORD ms);

 private:
  HWND host_ = nullptr;
};

// Argument records.
ts::ArgRecord Unit(uint32_t unitId, uint32_t typeId);
ts::ArgRecord Int(int32_t v);
ts::ArgRecord Bool(bool v);
ts::ArgRecord Text(const char* s);  // pointer kept by the caller
ts::ArgRecord None();

// Calls a command and returns its result record.
ts::ResultRecord Call(ts::CommandFn fn, std::vector<ts::ArgRecord> args);
// A text result as a string (the block is freed).
std::string TextOf(ts::ResultRecord r);

}  // namespace tstest
