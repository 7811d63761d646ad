#include "training/SessionState.h"

TSitzung Sitzung;

void ResetSessionState() {
  Sitzung = {};
}
