#include "course/TextFile.h"

#include "sound/BareFile.h"

#include <algorithm>

bool TTextReader::Open(const std::string& BareName) {
  Close();
  if (!OpenBareFile(BareName, FFile, std::ios::in))
    return false;
  FEnd = false;
  return true;
}

void TTextReader::Close() {
  if (FFile.is_open())
    FFile.close();
  FFile.clear();
  FPos = 0;
  FLen = 0;
  FEnd = true;
}

bool TTextReader::Fill() {
  if (FEnd || !FFile.is_open())
    return false;
  FFile.read(FBuf.data(), static_cast<std::streamsize>(FBuf.size()));
  const std::streamsize Got = FFile.gcount();
  FPos = 0;
  FLen = Got > 0 ? static_cast<size_t>(Got) : 0;
  if (FLen == 0) {
    FEnd = true; // end of data, or a read error: nothing more to read either way
    return false;
  }
  return true;
}

int TTextReader::Peek() {
  if (FEnd)
    return -1;
  if (FPos >= FLen && !Fill())
    return -1;
  const char C = FBuf[FPos];
  if (C == CtrlZ) {
    FEnd = true;
    return -1;
  }
  return static_cast<unsigned char>(C);
}

bool TTextReader::Eof() {
  return Peek() < 0;
}

std::string TTextReader::ReadLine(size_t MaxLen) {
  std::string Line;
  for (;;) {
    const int C = Peek();
    if (C < 0)
      return Line;
    if (C == '\r')
      break;
    // Take the run of plain bytes in the buffer at once.
    size_t Run = FPos;
    while (Run < FLen && FBuf[Run] != '\r' && FBuf[Run] != CtrlZ)
      ++Run;
    if (Line.size() < MaxLen) {
      const size_t Keep = std::min(Run - FPos, MaxLen - Line.size());
      Line.append(FBuf.data() + FPos, Keep);
    }
    FPos = Run;
  }
  ++FPos; // the carriage return
  if (Peek() == '\n')
    ++FPos;
  return Line;
}

bool TTextWriter::Create(const std::string& BareName) {
  if (FFile.is_open())
    FFile.close();
  FFile.clear();
  if (BareName.empty() || BareName.find('/') != std::string::npos ||
      BareName.find('\0') != std::string::npos)
    return false;
  // Written in the learner's folder only, never over a shipped file.
  const std::string Name = FindOwnFile(BareName).value_or(BareName);
  FFile.open(Name, std::ios::out | std::ios::trunc | std::ios::binary);
  return FFile.is_open();
}

void TTextWriter::WriteLine(const std::string& Bytes) {
  if (!FFile.is_open())
    return;
  FFile.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
  FFile.write("\r\n", 2);
}

bool TTextWriter::Close() {
  if (!FFile.is_open())
    return false;
  FFile.flush();
  const bool Ok = static_cast<bool>(FFile);
  FFile.close();
  return Ok && !FFile.fail();
}
