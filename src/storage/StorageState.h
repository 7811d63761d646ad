#pragma once

#include <cstdint>

// The learner record as read at start-up, owned by the storage; interface
// thread only.

// The learner record: record 0 of "CWK.dat", seven unsigned bytes in this
// order, no header. Its layout is the file's, so it must not change.
namespace storage {
struct TKund {
  uint8_t MaxLektNr = 0; // highest lesson reached
  uint8_t MaxUebNr = 0;  // highest exercise reached in that lesson, 1..4
  uint8_t Speed = 0;     // SpeedUD position, characters per minute
  uint8_t Ton = 0;       // TnBar position, samples per tone period
  uint8_t Abstand = 0;   // AbstandUD position, tenths
  uint8_t Front = 0;     // FrontBar position; Atacke is 13 minus it
  uint8_t SprachNr = 0;  // layout and interface language: 1 English, 2 German, 3 Russian, 4 Turkish
};
} // namespace storage
static_assert(sizeof(storage::TKund) == 7, "TKund is the 7-byte file record");

constexpr int32_t KundSize = 7;

// The record a first run starts with: lesson 1, exercise 1, speed 60, tone
// 23, spacing 3.0, attack position 8, Russian layout.
constexpr storage::TKund DefaultKund = {1, 1, 60, 23, 30, 8, 3};

// The in-memory copy of the record. SprachNr is read by other parts of the
// program and changed by every successful layout switch; the other fields are
// used only at start-up and at close.
namespace storage {
extern storage::TKund Kund;
} // namespace storage

// The layout and interface language in force (the layout switch, and a
// close before the start-up applied the record's values).
namespace storage {
void SetSprachNr(uint8_t SprachNr);
} // namespace storage

// Stores the seven values into Kund in field order. No checks.
void KundSetzen(uint8_t MaxLektNr, uint8_t MaxUebNr, uint8_t Speed, uint8_t Ton, uint8_t Abstand,
                uint8_t Front, uint8_t SprachNr);

// Puts the state above back to its start-up value.
void ResetStorageState();
