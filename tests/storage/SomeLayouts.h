#pragma once

#include "storage/Layouts.h"

#include <initializer_list>
#include <set>
#include <string>
#include <vector>

// Lines of a text file as the program writes them, each ended by CR LF.
inline std::string Lines(std::initializer_list<std::string> L) {
  std::string Out;
  for (const std::string& Line : L)
    Out += Line + "\r\n";
  return Out;
}

// Layouts the platform has, all but those named missing.
class TSomeLayouts final : public TKeyboardLayouts {
public:
  bool LoadKeyboardLayout(const std::string& LocaleId) override {
    Loaded.push_back(LocaleId);
    return Missing.count(LocaleId) == 0 && FBuiltIn.LoadKeyboardLayout(LocaleId);
  }
  std::set<std::string> Missing;
  std::vector<std::string> Loaded; // every layout asked for, in order

private:
  TBuiltInLayouts FBuiltIn;
};
