#include "storage/Texts.h"

storage::TTexte storage::Texte;

void ClearTexts() {
  storage::Texte = {};
}
