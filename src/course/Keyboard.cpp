// The course's share of the on-screen keyboard: which characters its keys
// carry, and the marks the learner sets for Only mode and doubling.

#include "course/Course.h"
#include "course/CourseState.h"

#include <string_view>

void TCourse::BindKeys() {
  course::Kurs.KursFolge = course::Kurs.BuchFolge;
  std::string Rows;
  for (size_t R = 1; R <= 4; ++R)
    Rows += course::Tastatur.TastReihen[R].substr(0, TastReiheMax);
  course::Tastatur.TastZeichen = Rows.substr(0, 60) + std::string(std::string_view(BuiltInSigns));
  FDisplay.BindKeys();
}

void TCourse::NormalRBClick(const void*) {
  course::Folge.Only = false;
  course::Folge.Markiert.fill(false);
  FDisplay.ShowNormal();
}

void TCourse::OnlyRBClick(const void*) {
  course::Folge.Only = true;
}

bool TCourse::Mark(char C) {
  const int32_t P = LetterPos(C);
  if (P < 1 || P > MaxLetters)
    return false;
  course::Folge.Markiert[static_cast<size_t>(P)] = true;
  return true;
}

std::optional<bool> TCourse::FreiClick(char C) {
  if (!((course::Folge.MarkModus || course::Folge.Only) && course::Kurs.UebNr == 4 && !course::Folge.NeuVorn))
    return std::nullopt;
  const int32_t P = LetterPos(C);
  if (P < 1 || P > MaxLetters)
    return std::nullopt;
  const bool Mark = !course::Folge.Markiert[static_cast<size_t>(P)];
  course::Folge.Markiert[static_cast<size_t>(P)] = Mark;
  return Mark;
}
