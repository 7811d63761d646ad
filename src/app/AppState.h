#pragma once

#include <cstdint>

// Values of the course and of the training session that the main window and
// the program entry need before those parts are in the program. Each is to
// give way to its owner's program-wide variable of the same name.
namespace StandIn {
extern int32_t GruppenZahl;  // groups of five in exercise 4
extern int32_t UebNr;        // the current exercise, 1..4
extern bool Idle;            // no training session runs
} // namespace StandIn

// The program-wide initial values, set before any window exists.
void SetInitialValues();
