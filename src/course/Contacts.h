// The exchanges of a contact on the air for the copy practice: a call, the
// answer, reports, names, towns, station and weather, the farewell.
#pragma once

#include "course/Callsigns.h"
#include "course/PracticeChars.h"

#include <string>

namespace course {

// One whole contact, its transmissions separated by single spaces; only the
// allowed characters (a phrase that needs another is said otherwise or left
// out). Empty when not even the callsigns can be written.
std::string MakeContact(TPracticeRng& Rng, const TPracticeChars& Chars, const TCallsigns& Calls);

} // namespace course
