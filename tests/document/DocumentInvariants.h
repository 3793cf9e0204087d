// The promises a document keeps after every operation, and snapshots of text and sections
// for comparing states; shared by the edit property test and the soak.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TSxMemoModel;

// The first broken promise of the document, described; empty when all hold.
std::string CheckDocumentInvariants(TSxMemoModel& memo);

// Lines and section ranges (first, last, level, in pre-order); folding is no change.
struct TDocumentSnapshot {
  std::vector<std::string> Lines;
  std::vector<std::int32_t> Sections;
  friend bool operator==(const TDocumentSnapshot&, const TDocumentSnapshot&) = default;
};
TDocumentSnapshot TakeSnapshot(const TSxMemoModel& memo);
// Without blanks (codes up to 32) at line ends: the caret trims the line it leaves without
// an undo record, so undo and the save point are exact up to those blanks.
TDocumentSnapshot WithoutTrailingBlanks(TDocumentSnapshot s);
// Where two snapshots first differ, for failure messages.
std::string DescribeDifference(const TDocumentSnapshot& expected, const TDocumentSnapshot& actual);

// The bytes a save writes: lines with CR LF, and section markers if the options ask.
std::string ExpectedFileBytes(const TSxMemoModel& memo);
