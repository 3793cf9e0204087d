/** @file RecentFiles.h
 ** The names of the last five files opened in this run, most recent first; kept in memory only. */
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// Invariant: Files[0..Count-1] hold distinct names (compared byte for byte), the rest are empty.
// Positions in the operations below are 1-based, as the submenu numbers its entries.
struct TRecentFiles {
  static constexpr int Capacity = 5;
  std::array<std::string, Capacity> Files;
  std::int32_t Count = 0;
};

void ClearRecentFiles(TRecentFiles& recent);
// Position 1..5 of the name (exact comparison), 0 when absent.
int FindRecentFile(const TRecentFiles& recent, std::string_view name);
// Puts the name at position 1: a new name pushes the others down and drops the fifth,
// a known one moves up from its position.
void AddRecentFile(TRecentFiles& recent, std::string_view name);
