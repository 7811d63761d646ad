#include "storage/Texts.h"

storage::TTexte storage::Texte;

void ClearTexts() {
  storage::Texte = {};
}

std::string SoundLostText() {
  if (!storage::Texte.SoundText[1].empty())
    return storage::Texte.SoundText[1];
  return "The sound output has stopped: the audio server does not answer. The exercise has been "
         "stopped; press Start again when the sound works.";
}
