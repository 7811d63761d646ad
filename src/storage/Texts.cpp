#include "storage/Texts.h"

TTexte Texte;

void ClearTexts() {
  Texte = {};
}
