// The practice's lists (common words of a course, abbreviations): text
// files of one entry a line, read through the program's data lookup.
#pragma once

#include "course/PracticeText.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace course {

// A practice file larger than this is refused, not read in part.
inline constexpr size_t PracticeFileMaxBytes = 10 * 1024 * 1024;

// A file whose bytes hold a NUL, or more than three tenths control bytes
// (line ends, tabs and form feeds not counted), is no text.
bool LooksBinary(std::span<const uint8_t> Bytes);

struct TWordList {
  // The first word of each line, in file order: what stands before a tab or
  // a space, spaces around it taken off; empty lines are passed over.
  std::vector<std::string> Words;
  // None, EmptyList, TooLarge or Binary; NoList from ReadWordList only.
  TPracticeText::TError Error = TPracticeText::TError::None;
};

// The lines end at CR, LF or CR LF; a Ctrl-Z ends the data.
TWordList ParseWordList(std::span<const uint8_t> Bytes);
// The list of that bare name, learner's folder first; NoList when there is
// none or it cannot be read.
TWordList ReadWordList(const std::string& BareName);

} // namespace course
