#pragma once

#include <fstream>
#include <optional>
#include <string>

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

// Opens the file FindBareFile finds, in binary mode with Mode added. False
// (and File left closed) when there is no such file or it cannot be opened.
bool OpenBareFile(const std::string& Name, std::fstream& File, std::ios::openmode Mode);
