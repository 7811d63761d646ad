#include "training/SessionState.h"

bool Idle = true;
int32_t Wiederholungen = 0;
int32_t Fehler = 0;
bool FehlerGezeigt = false;
int32_t KorrZaehler = 0;
int32_t RepZaehler = 0;
std::array<bool, 51> TastenAktiv{};
std::string SollCode;
int32_t VorlaufZaehler = 0;
bool TasteUnten = false;
uint16_t TastenCode = 0;
uint16_t GehalteneTaste = 0;
int32_t TastPos = 0;
int32_t NeuPos = 0;
char TastChar = 0;

void ResetSessionState() {
  Idle = true;
  Wiederholungen = Fehler = KorrZaehler = RepZaehler = VorlaufZaehler = 0;
  FehlerGezeigt = false;
  TastenAktiv = {};
  SollCode.clear();
  TasteUnten = false;
  TastenCode = GehalteneTaste = 0;
  TastPos = NeuPos = 0;
  TastChar = 0;
}
