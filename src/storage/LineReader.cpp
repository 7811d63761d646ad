#include "storage/LineReader.h"

namespace {
constexpr char CtrlZ = '\x1A';
constexpr char CR = '\r';
constexpr int LF = '\n';
} // namespace

bool TLineReader::Eof() {
  if (FEnded || !FIn.good())
    return true;
  const int C = FIn.peek();
  return C == std::istream::traits_type::eof() || C == static_cast<unsigned char>(CtrlZ);
}

std::string TLineReader::ReadLine() {
  std::string Line;
  if (Eof())
    return Line;
  std::getline(FIn, Line, CR);
  const size_t End = Line.find(CtrlZ);
  if (End != std::string::npos) {
    Line.resize(End);
    FEnded = true;
    return Line;
  }
  // getline stopped at a carriage return unless the file ended first.
  if (!FIn.eof() && FIn.peek() == LF)
    FIn.get();
  return Line;
}
