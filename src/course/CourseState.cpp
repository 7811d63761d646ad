#include "course/CourseState.h"

uint8_t LektNr = 1;
uint8_t UebNr = 1;
uint8_t MaxLektNr = 1;
uint8_t MaxUebNr = 1;
int32_t LektBuchEnde = 0;
int32_t LektZiffEnde = 0;
int32_t LektZeichEnde = 0;
std::string KursFolge;
std::string LektZeichen;
std::string NeueZeichen;
bool RBSperre = false;
int32_t GruppenZahl = 10;

std::string BuchFolge;
std::string AlphabetFile;
std::array<std::string, MaxLetters + 1> MerkWoerter;

std::vector<int32_t> UebFolge;
int32_t UebLaenge = 0;
int32_t UebPos = 0;
int32_t GruppenPos = 0;
std::string GruppenZeichen;
std::string OnlyZeichen;
bool NeuVorn = false;
bool TestLaeuft = false;
bool MarkModus = false;
std::array<bool, MaxLetters + 1> Markiert{};

std::array<std::string, 5> TastReihen;
int32_t TastLinks = 0;
std::string TastZeichen;

void ResetCourseState() {
  LektNr = 1;
  UebNr = 1;
  MaxLektNr = 1;
  MaxUebNr = 1;
  LektBuchEnde = 0;
  LektZiffEnde = 0;
  LektZeichEnde = 0;
  KursFolge.clear();
  LektZeichen.clear();
  NeueZeichen.clear();
  RBSperre = false;
  GruppenZahl = 10;

  BuchFolge.clear();
  AlphabetFile.clear();
  for (std::string& Wort : MerkWoerter)
    Wort.clear();

  UebFolge.clear();
  UebLaenge = 0;
  UebPos = 0;
  GruppenPos = 0;
  GruppenZeichen.clear();
  OnlyZeichen.clear();
  NeuVorn = false;
  TestLaeuft = false;
  MarkModus = false;
  Markiert.fill(false);

  for (std::string& Reihe : TastReihen)
    Reihe.clear();
  TastLinks = 0;
  TastZeichen.clear();
}
