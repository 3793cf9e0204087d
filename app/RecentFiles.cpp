/** @file RecentFiles.cpp
 ** The recent-files list operations. */
#include "RecentFiles.h"

void ClearRecentFiles(TRecentFiles& recent) {
  for (std::string& f : recent.Files) f.clear();
  recent.Count = 0;
}

int FindRecentFile(const TRecentFiles& recent, std::string_view name) {
  // Positions after Count are empty and never match: an empty name is not a file.
  for (int p = 1; p <= recent.Count; ++p)
    if (recent.Files[static_cast<std::size_t>(p - 1)] == name) return p;
  return 0;
}

void AddRecentFile(TRecentFiles& recent, std::string_view name) {
  int p = FindRecentFile(recent, name);
  // A new name shifts positions 1..4 down and drops position 5; a known name at p
  // shifts positions 1..p-1 down over itself.
  int last = p == 0 ? TRecentFiles::Capacity : p;
  for (int i = last - 1; i >= 1; --i)
    recent.Files[static_cast<std::size_t>(i)] = std::move(recent.Files[static_cast<std::size_t>(i - 1)]);
  recent.Files[0] = std::string(name);
  if (p == 0 && recent.Count < TRecentFiles::Capacity) ++recent.Count;
}
