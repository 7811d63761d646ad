#include "base/TextFile.h"

#include "base/BareFile.h"

#include <algorithm>
#include <utility>

std::optional<std::vector<uint8_t>> ReadTextBytes(const std::string& BareName) {
  return ReadBareFile(BareName, TextFileMaxBytes);
}

bool TTextReader::Open(const std::string& BareName) {
  Close();
  std::optional<std::vector<uint8_t>> Bytes = ReadTextBytes(BareName);
  if (!Bytes)
    return false;
  FOwned = std::move(*Bytes);
  Use(FOwned);
  return true;
}

void TTextReader::OpenBytes(std::span<const uint8_t> Bytes) {
  Close();
  Use(Bytes);
}

void TTextReader::Use(std::span<const uint8_t> Bytes) {
  // Nothing after a Ctrl-Z is ever read.
  const auto End = std::find(Bytes.begin(), Bytes.end(), static_cast<uint8_t>(CtrlZ));
  FData = Bytes.first(static_cast<size_t>(End - Bytes.begin()));
  FPos = 0;
}

void TTextReader::Close() {
  FOwned.clear();
  FData = {};
  FPos = 0;
}

std::string TTextReader::ReadLine(size_t MaxLen) {
  const size_t Start = std::min(FPos, FData.size());
  const auto Begin = FData.begin() + static_cast<std::ptrdiff_t>(Start);
  const auto LineEnd = std::find(Begin, FData.end(), static_cast<uint8_t>('\r'));
  const size_t Length = static_cast<size_t>(LineEnd - Begin);
  std::string Line(reinterpret_cast<const char*>(FData.data()) + Start, std::min(Length, MaxLen));
  FPos = Start + Length;
  if (FPos < FData.size()) {
    ++FPos; // the carriage return
    if (FPos < FData.size() && FData[FPos] == '\n')
      ++FPos;
  }
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
