#include "storage/StorageState.h"

storage::TKund storage::Kund;

void KundSetzen(uint8_t MaxLektNr, uint8_t MaxUebNr, uint8_t Speed, uint8_t Ton, uint8_t Abstand,
                uint8_t Front, uint8_t SprachNr) {
  storage::Kund.MaxLektNr = MaxLektNr;
  storage::Kund.MaxUebNr = MaxUebNr;
  storage::Kund.Speed = Speed;
  storage::Kund.Ton = Ton;
  storage::Kund.Abstand = Abstand;
  storage::Kund.Front = Front;
  storage::Kund.SprachNr = SprachNr;
}

void storage::SetSprachNr(uint8_t SprachNr) {
  Kund.SprachNr = SprachNr;
}

void ResetStorageState() {
  storage::Kund = storage::TKund{};
}
