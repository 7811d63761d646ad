#include "base/BareFile.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

fs::path ShippedDir;

char AsciiLower(char C) { return C >= 'A' && C <= 'Z' ? static_cast<char>(C - 'A' + 'a') : C; }

bool SameIgnoringAsciiCase(const std::string& A, const std::string& B) {
  if (A.size() != B.size())
    return false;
  for (size_t I = 0; I < A.size(); ++I)
    if (AsciiLower(A[I]) != AsciiLower(B[I]))
      return false;
  return true;
}

// The name's bytes as the file system gives them.
std::string EntryName(const fs::path& Path) {
#ifdef _WIN32
  return Path.filename().string();
#else
  return Path.filename().native();
#endif
}

// The name of the file in Dir that Name denotes, without the folder.
std::optional<std::string> FindIn(const fs::path& Dir, const std::string& Name) {
  if (Name.empty() || Name.find('/') != std::string::npos ||
      Name.find('\0') != std::string::npos)
    return std::nullopt;

  std::error_code Error;
  fs::directory_iterator It(Dir, Error);
  if (Error)
    return std::nullopt;

  std::optional<std::string> Best;
  for (; It != fs::directory_iterator(); It.increment(Error)) {
    if (Error)
      break;
    const std::string Entry = EntryName(It->path());
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

} // namespace

void SetShippedDataDir(const fs::path& Dir) { ShippedDir = Dir; }
const fs::path& ShippedDataDir() { return ShippedDir; }

std::optional<std::string> FindBareFile(const std::string& Name) {
  if (std::optional<std::string> Own = FindOwnFile(Name))
    return Own;
  if (ShippedDir.empty())
    return std::nullopt;
  const std::optional<std::string> Shipped = FindIn(ShippedDir, Name);
  if (!Shipped)
    return std::nullopt;
#ifdef _WIN32
  return (ShippedDir / *Shipped).string();
#else
  return (ShippedDir / *Shipped).native();
#endif
}

std::optional<std::string> FindOwnFile(const std::string& Name) { return FindIn(".", Name); }

std::optional<std::vector<uint8_t>> ReadBareFile(const std::string& Name, size_t MaxBytes) {
  const std::optional<std::string> Found = FindBareFile(Name);
  if (!Found)
    return std::nullopt;
  // Read-only: a write-protected file, or one in a read-only folder, is read too.
  std::ifstream File(*Found, std::ios::in | std::ios::binary);
  if (!File.is_open())
    return std::nullopt;
  std::vector<uint8_t> Bytes;
  // Grown as the file delivers, so that the cap is not allocated up front.
  constexpr size_t Chunk = 64 * 1024;
  while (Bytes.size() < MaxBytes) {
    const size_t Want = std::min(Chunk, MaxBytes - Bytes.size());
    const size_t Had = Bytes.size();
    Bytes.resize(Had + Want);
    File.read(reinterpret_cast<char*>(Bytes.data() + Had), static_cast<std::streamsize>(Want));
    const std::streamsize Got = File.gcount();
    Bytes.resize(Had + static_cast<size_t>(Got > 0 ? Got : 0));
    if (File.bad())
      return std::nullopt;
    if (!File)
      break; // the end of the file
  }
  return Bytes;
}

std::optional<std::string> ReadFileBytes(const std::string& Path) {
  std::ifstream File(Path, std::ios::binary | std::ios::ate);
  if (!File)
    return std::nullopt;
  const std::streamoff Size = File.tellg();
  if (Size < 0)
    return std::nullopt;
  std::string Bytes(static_cast<size_t>(Size), '\0');
  File.seekg(0);
  if (!File.read(Bytes.data(), static_cast<std::streamsize>(Size)))
    return std::nullopt;
  return Bytes;
}
