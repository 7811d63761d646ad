#pragma once

#include "windows/MainView.h"

// Places the pictures of the exercise kinds on IcoPanel for exercise Uebung
// (1..4), or as when no exercise runs (0): listening, speaking, the mouse
// and writing, each kind where its part of the exercise comes.
void ArrangeExerciseIcons(TMainView& View, int Uebung);
