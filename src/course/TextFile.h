#pragma once

#include <array>
#include <cstddef>
#include <fstream>
#include <string>

// The program's text files: bytes of an 8-bit code page, kept exactly as they
// are. A line ends at a carriage return; a line feed directly after it
// belongs to that line end, while a line feed on its own is an ordinary byte
// of the line. A Ctrl-Z byte ends the file wherever it stands. The last line
// needs no line end.
//
// Lines are read with a cap on the bytes kept, the rest of the line being
// skipped, so a file costs one buffer whatever it holds.

inline constexpr char CtrlZ = '\x1A';
// The longest line kept unless the caller asks for less: a line of the
// design's short strings.
inline constexpr size_t DefaultLineMax = 255;

class TTextReader {
public:
  TTextReader() = default;
  TTextReader(const TTextReader&) = delete;
  TTextReader& operator=(const TTextReader&) = delete;

  // Opens the file that a bare name denotes in the working directory or the
  // shipped data (FindBareFile; letter case ignored) for reading. False when there is none or it cannot be read;
  // a file opened before is closed first.
  bool Open(const std::string& BareName);
  bool IsOpen() const { return FFile.is_open(); }
  void Close();

  // True at the end of the data, at a Ctrl-Z and when no file is open.
  bool Eof();

  // The next line without its line end, at most MaxLen bytes of it; the rest
  // of the line is skipped. Empty at the end of the file.
  std::string ReadLine(size_t MaxLen = DefaultLineMax);

private:
  // The next byte (0..255) without taking it; -1 at the end of the file.
  int Peek();
  bool Fill();

  std::fstream FFile;
  std::array<char, 8192> FBuf{};
  size_t FPos = 0;
  size_t FLen = 0;
  bool FEnd = true; // the data is used up, or a Ctrl-Z was reached
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
