#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// The program's data files are opened by bare name in the working directory,
// which is the learner's own folder; a name not found there is looked for in
// the shipped data folder, so a file the learner puts in their folder
// replaces the shipped one and an updated installation takes effect.
// Their names were chosen on a file system that ignores case, and the files
// shipped or copied by the learner may differ in case ("KA.Wav", "ka.wav"),
// so a name matches a file that differs only in ASCII letter case. Names are
// bytes; bytes above 127 must match exactly.

// The file the program reads for Name: the match in the working directory
// (Name itself if it exists, otherwise the first of the files whose name
// equals it ignoring ASCII case, in byte order, so the choice does not depend
// on the directory's order), else the match in the shipped data folder, as a
// path through that folder. Nothing for an empty name, a name with a path
// separator, or no such file.
std::optional<std::string> FindBareFile(const std::string& Name);

// The same search, in the working directory only: the file the program
// writes, never a shipped one found elsewhere.
std::optional<std::string> FindOwnFile(const std::string& Name);

// The shipped data folder; empty (the default) for none. The program entry
// sets it from the program's own location.
void SetShippedDataDir(const std::filesystem::path& Dir);
const std::filesystem::path& ShippedDataDir();

// The whole content of the file at Path (bytes, relative to the working
// directory or absolute), or nothing when it cannot be read. For readers that
// would otherwise name the file through Qt, which decodes bytes that are not
// UTF-8 lossily.
std::optional<std::string> ReadFileBytes(const std::string& Path);
// The first MaxBytes bytes (all of a shorter file) of the file FindBareFile
// finds. Nothing when there is no such file or it cannot be opened or read.
// The readers parse these bytes; the cap keeps an enormous file from taking
// the memory.
std::optional<std::vector<uint8_t>> ReadBareFile(const std::string& Name, size_t MaxBytes);
