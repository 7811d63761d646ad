#include "windows/Texts.h"

TTexte Texte;

void ClearTexts() {
  Texte = {};
}
