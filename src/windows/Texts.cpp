#include "windows/Texts.h"

std::array<std::string, 8> MenuText;
std::array<std::string, 6> RadiogrText;
std::array<std::string, 5> LektText;
std::array<std::string, 5> SParamText;
std::array<std::string, 4> ButtonsText;
std::array<std::string, 6> TextFormText;
std::array<std::string, 5> LabelText;
std::array<std::string, 7> MessagesText;

void ClearTexts() {
  MenuText = {};
  RadiogrText = {};
  LektText = {};
  SParamText = {};
  ButtonsText = {};
  TextFormText = {};
  LabelText = {};
  MessagesText = {};
}
