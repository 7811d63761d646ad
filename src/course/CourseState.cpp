#include "course/CourseState.h"

#include <utility>

course::TKurs course::Kurs;
course::TFolge course::Folge;
course::TTastatur course::Tastatur;

void ResetCourseState() {
  course::Kurs = {};
  course::Folge = {};
  course::Tastatur = {};
}

void course::StartAtRecord(uint8_t MaxLektNr, uint8_t MaxUebNr) {
  Kurs.LektNr = MaxLektNr;
  Kurs.MaxLektNr = MaxLektNr;
  Kurs.UebNr = MaxUebNr;
  Kurs.MaxUebNr = MaxUebNr;
}

void course::RollBackBeforeSaving() {
  if (!Folge.NeuVorn)
    return;
  Kurs.MaxUebNr = static_cast<uint8_t>(Kurs.MaxUebNr - 1);
  if (Kurs.UebNr > Kurs.MaxUebNr)
    Kurs.UebNr = Kurs.MaxUebNr;
}

void course::SetAlphabetFile(std::string Name) {
  Kurs.AlphabetFile = std::move(Name);
}

void course::SetKeyboardRows(const std::array<const char*, 4>& Rows, int32_t TastLinks) {
  for (size_t R = 0; R < Rows.size(); ++R)
    Tastatur.TastReihen[R + 1] = Rows[R] != nullptr ? Rows[R] : "";
  Tastatur.TastLinks = TastLinks;
}

void course::SetInputLayout(int32_t LayoutNr) {
  Tastatur.InputLayoutNr = LayoutNr;
}

void course::SetSequence(std::vector<int32_t> Sequence) {
  Folge.UebLaenge = static_cast<int32_t>(Sequence.size());
  Folge.UebFolge = std::move(Sequence);
}

void course::SetUebLaenge(int32_t Length) {
  Folge.UebLaenge = Length;
}

void course::ClearSequence() {
  Folge.UebFolge.clear();
}

void course::ReleaseSequence() {
  Folge.UebFolge.clear();
  Folge.UebFolge.shrink_to_fit();
}

void course::SetMarkModus(bool On) {
  Folge.MarkModus = On;
}

void course::SetNeuVorn(bool On) {
  Folge.NeuVorn = On;
}
