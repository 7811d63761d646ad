#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The program's data files are opened by bare name in the working directory.
// Their names were chosen on a file system that ignores case, and the files
// shipped or copied by the learner may differ in case ("KA.Wav", "ka.wav"),
// so a name matches a file that differs only in ASCII letter case. Names are
// bytes; bytes above 127 must match exactly.

// The name of the regular file in the working directory that Name denotes:
// Name itself if it exists, otherwise the first of the files whose name equals
// it ignoring ASCII case (in byte order, so the choice does not depend on the
// directory's order). Nothing for an empty name, a name with a path separator,
// or no such file.
std::optional<std::string> FindBareFile(const std::string& Name);

// The same search, in the working directory only: the file the program
// writes, never a shipped one found elsewhere.
std::optional<std::string> FindOwnFile(const std::string& Name);

// The first MaxBytes bytes (all of a shorter file) of the file FindBareFile
// finds. Nothing when there is no such file or it cannot be opened or read.
// The readers parse these bytes; the cap keeps an enormous file from taking
// the memory.
std::optional<std::vector<uint8_t>> ReadBareFile(const std::string& Name, size_t MaxBytes);
