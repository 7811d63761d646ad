#pragma once

#include "base/BareFile.h"
#include "support/WorkDir.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>


using TBytes = std::vector<uint8_t>;

inline void WriteFile(const std::string& Name, const TBytes& Bytes) {
  std::ofstream Out(Name, std::ios::binary | std::ios::trunc);
  Out.write(reinterpret_cast<const char*>(Bytes.data()), static_cast<std::streamsize>(Bytes.size()));
}

inline void WriteFile(const std::string& Name, const std::string& Bytes) {
  std::ofstream Out(Name, std::ios::binary | std::ios::trunc);
  Out << Bytes;
}

inline std::string ReadText(const std::string& Name) {
  return ReadFileBytes(Name).value_or(std::string());
}

inline TBytes ReadFile(const std::string& Name) {
  const std::string Bytes = ReadText(Name);
  return TBytes(Bytes.begin(), Bytes.end());
}

inline TBytes RandomBytes(size_t Count, uint32_t Seed) {
  std::mt19937 Gen(Seed);
  std::uniform_int_distribution<int> Byte(0, 255);
  TBytes Out(Count);
  for (uint8_t& B : Out)
    B = static_cast<uint8_t>(Byte(Gen));
  return Out;
}

inline bool RunningAsRoot() { return geteuid() == 0; }

// The data folder of the source tree, where the shipped files are.
inline std::filesystem::path DataDir() {
  return std::filesystem::path(VELM_SOURCE_DIR) / "data";
}
