#include "training/SessionState.h"

training::TSitzung training::Sitzung;

void ResetSessionState() {
  training::Sitzung = {};
}
