#pragma once

#include <istream>
#include <string>

// Lines of an 8-bit text file: a line ends at a carriage return, and a line
// feed right after it belongs to that end; a line feed alone is part of the
// line. A Ctrl-Z byte (0x1A) ends the file. Lines have no length limit.
//
// Stands in for the course's shared text reader, which follows the same
// rules; replace it with that reader once it is in the tree.
class TLineReader {
public:
  explicit TLineReader(std::istream& In) : FIn(In) {}

  // No more lines: the stream has ended, failed, or reached a Ctrl-Z.
  bool Eof();
  // The next line without its end; an empty string at the end of the file.
  std::string ReadLine();

private:
  std::istream& FIn;
  bool FEnded = false;  // a Ctrl-Z was read
};
