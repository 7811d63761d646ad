#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The program's text files: bytes of an 8-bit code page, kept exactly as they
// are. A line ends at a carriage return; a line feed directly after it
// belongs to that line end, while a line feed on its own is an ordinary byte
// of the line. A Ctrl-Z byte ends the file wherever it stands. The last line
// needs no line end.
//
// Lines are read with a cap on the bytes kept, the rest of the line being
// skipped. A file is read whole, up to TextFileMaxBytes; bytes after that are
// taken as not there, so an enormous file cannot take the memory.

inline constexpr char CtrlZ = '\x1A';
// The longest line kept unless the caller asks for less: a line of the
// design's short strings.
inline constexpr size_t DefaultLineMax = 255;
inline constexpr size_t TextFileMaxBytes = 64 * 1024 * 1024;

// The bytes of the text file a bare name denotes in the working directory
// (letter case ignored), at most TextFileMaxBytes. Nothing when there is none
// or it cannot be read.
std::optional<std::vector<uint8_t>> ReadTextBytes(const std::string& BareName);

class TTextReader {
public:
  TTextReader() = default;
  TTextReader(const TTextReader&) = delete;
  TTextReader& operator=(const TTextReader&) = delete;

  // Opens the file that a bare name denotes in the working directory or the
  // shipped data (FindBareFile; letter case ignored) for reading. False when there is none or it cannot be read;
  // a file opened before is closed first.
  bool Open(const std::string& BareName);
  // Reads the lines of Bytes, which must outlive the reading; no file is
  // touched. A file opened before is closed first.
  void OpenBytes(std::span<const uint8_t> Bytes);
  void Close();

  // True at the end of the data, at a Ctrl-Z and when no file is open.
  bool Eof() const { return FPos >= FData.size(); }

  // The next line without its line end, at most MaxLen bytes of it; the rest
  // of the line is skipped. Empty at the end of the file.
  std::string ReadLine(size_t MaxLen = DefaultLineMax);

private:
  void Use(std::span<const uint8_t> Bytes);

  std::vector<uint8_t> FOwned;       // the bytes of a file opened by name
  std::span<const uint8_t> FData;    // the bytes read, up to the first Ctrl-Z
  size_t FPos = 0;
};

// Writes a text file line by line, each line ended by a carriage return and a
// line feed.
class TTextWriter {
public:
  TTextWriter() = default;
  TTextWriter(const TTextWriter&) = delete;
  TTextWriter& operator=(const TTextWriter&) = delete;

  // Creates the file of that bare name in the working directory, or empties
  // the file that the name denotes when one exists under another letter case.
  bool Create(const std::string& BareName);
  void WriteLine(const std::string& Bytes);
  // True when every line reached the file.
  bool Close();

private:
  std::fstream FFile;
};
