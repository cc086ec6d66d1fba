// The operation table of a control type: every control class answers the
// form engine through it.
#pragma once

#include <cstdint>
#include <cstring>

#include "controls/common/control_support.h"
#include "forms/engine/unit.h"
#include "runtime/values.h"

namespace ts::controls {

// A stored record in a block of the runtime's heap, as operation 5 hands it
// to the engine (which frees it).
inline uint8_t* HeapRecord(const Bytes& record, uint32_t* size) {
  const auto n = static_cast<uint32_t>(record.size());
  auto* block = static_cast<uint8_t*>(ts::Alloc(n ? n : 1));
  if (n) std::memcpy(block, record.data(), n);
  if (size) *size = n;
  return block;
}

// The operations of a control class C, which offers
//   static constexpr uint32_t kTypeId;                             its unit type
//   static UnitObject* CreateUnit(const CreateArgs&);              1: null on failure
//   int32_t SetProperty(int32_t index, const PropertyValue&);      4: 1 = recreate the control
//   Bytes SaveRecord();                                            5: the record of its present state
//   bool GetProperty(int32_t index, PropertyValue* out);           6: false = no such index
// and, where the type has them,
//   bool WantsKey(uint32_t virtualKey) const;                      8
//   bool isDefault() const;                                        10: push-button kinds
// Every operation runs through forms::GuardedOperation, so no C++ exception
// leaves it; one given no unit, or a unit of another type, fails.
template <class C>
struct ControlOps {
  static C* As(UnitObject* unit) {
    return unit != nullptr && unit->typeId() == C::kTypeId ? static_cast<C*>(unit) : nullptr;
  }
  static UnitObject* Create(const CreateArgs& args) {
    return forms::GuardedOperation<UnitObject*>(nullptr, [&] { return C::CreateUnit(args); });
  }
  static int32_t Set(UnitObject* unit, int32_t index, const PropertyValue& value) {
    return forms::GuardedOperation(0, [&] {
      C* c = As(unit);
      return c ? c->SetProperty(index, value) : 0;
    });
  }
  static uint8_t* AllData(UnitObject* unit, uint32_t* size) {
    return forms::GuardedOperation<uint8_t*>(nullptr, [&]() -> uint8_t* {
      C* c = As(unit);
      return c ? HeapRecord(c->SaveRecord(), size) : nullptr;
    });
  }
  static int32_t Get(UnitObject* unit, int32_t index, PropertyValue* out) {
    return forms::GuardedOperation(0, [&] {
      C* c = As(unit);
      return c != nullptr && out != nullptr && c->GetProperty(index, out) ? 1 : 0;
    });
  }
  static int32_t WantsKey(UnitObject* unit, uint32_t key) {
    return forms::GuardedOperation(0, [&] {
      C* c = As(unit);
      return c != nullptr && c->WantsKey(key) ? 1 : 0;
    });
  }
  static int32_t IsDefault(UnitObject* unit) {
    return forms::GuardedOperation(0, [&] {
      C* c = As(unit);
      return c != nullptr && c->isDefault() ? 1 : 0;
    });
  }

  // The type's interface function: the routine for an operation number.
  static void* Lookup(int32_t operation) {
    static const forms::UnitOps ops = [] {
      forms::UnitOps o;
      o.create = &Create;
      o.setProperty = &Set;
      o.getAllData = &AllData;
      o.getProperty = &Get;
      if constexpr (requires(const C& c, uint32_t key) { c.WantsKey(key); }) o.wantsKey = &WantsKey;
      if constexpr (requires(const C& c) { c.isDefault(); }) o.isDefaultButton = &IsDefault;
      return o;
    }();
    return ops.Lookup(operation);
  }
};

}  // namespace ts::controls
