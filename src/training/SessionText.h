#pragma once

#include <cstddef>
#include <string>

// Line I of an interface text table, or empty when the table is shorter.
inline std::string Line(const auto& Table, size_t I) {
  return I < Table.size() ? Table[I] : std::string();
}
