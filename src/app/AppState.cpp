#include "app/AppState.h"

namespace StandIn {
int32_t GruppenZahl = 10;
int32_t UebNr = 1;
bool Idle = true;
} // namespace StandIn

void SetInitialValues() {
  // GroupLabel shows this after start-up, not its built-in "50".
  StandIn::GruppenZahl = 10;
  StandIn::UebNr = 1;
  StandIn::Idle = true;
}
