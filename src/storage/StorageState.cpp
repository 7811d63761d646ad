#include "storage/StorageState.h"

TKund Kund;

void KundSetzen(uint8_t MaxLektNr, uint8_t MaxUebNr, uint8_t Speed, uint8_t Ton, uint8_t Abstand,
                uint8_t Front, uint8_t SprachNr) {
  Kund.MaxLektNr = MaxLektNr;
  Kund.MaxUebNr = MaxUebNr;
  Kund.Speed = Speed;
  Kund.Ton = Ton;
  Kund.Abstand = Abstand;
  Kund.Front = Front;
  Kund.SprachNr = SprachNr;
}

void ResetStorageState() {
  Kund = TKund{};
}
