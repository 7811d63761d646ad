#include "sound/BareFile.h"

#include <filesystem>

namespace {

char AsciiLower(char C) { return C >= 'A' && C <= 'Z' ? static_cast<char>(C - 'A' + 'a') : C; }

bool SameIgnoringAsciiCase(const std::string& A, const std::string& B) {
  if (A.size() != B.size())
    return false;
  for (size_t I = 0; I < A.size(); ++I)
    if (AsciiLower(A[I]) != AsciiLower(B[I]))
      return false;
  return true;
}

}  // namespace

std::optional<std::string> FindBareFile(const std::string& Name) { return FindOwnFile(Name); }

std::optional<std::string> FindOwnFile(const std::string& Name) {
  namespace fs = std::filesystem;
  if (Name.empty() || Name.find('/') != std::string::npos ||
      Name.find('\0') != std::string::npos)
    return std::nullopt;

  std::error_code Error;
  fs::directory_iterator It(".", Error);
  if (Error)
    return std::nullopt;

  std::optional<std::string> Best;
  for (; It != fs::directory_iterator(); It.increment(Error)) {
    if (Error)
      break;
    const std::string Entry = It->path().filename().native();
    if (!SameIgnoringAsciiCase(Entry, Name))
      continue;
    std::error_code TypeError;
    if (!It->is_regular_file(TypeError))
      continue;
    if (Entry == Name)
      return Entry;
    if (!Best || Entry < *Best)
      Best = Entry;
  }
  return Best;
}

bool OpenBareFile(const std::string& Name, std::fstream& File, std::ios::openmode Mode) {
  const std::optional<std::string> Found = FindBareFile(Name);
  if (!Found)
    return false;
  File.open(*Found, Mode | std::ios::binary);
  return File.is_open();
}
