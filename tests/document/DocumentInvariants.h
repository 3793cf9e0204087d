// The promises a document keeps after every operation: the section tree's shape, each
// line's innermost section, the visible-line map and a normalised selection; and
// snapshots of text and sections for comparing states. Shared by the edit property
// test and the soak.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TSxMemoModel;

// The first broken promise of the document, described; empty when all hold.
std::string CheckDocumentInvariants(TSxMemoModel& memo);

// Lines and section ranges (first, last, level, in pre-order). Folding is not part of
// it: folding records no undo and is not a change of the document.
struct TDocumentSnapshot {
  std::vector<std::string> Lines;
  std::vector<std::int32_t> Sections;
  friend bool operator==(const TDocumentSnapshot&, const TDocumentSnapshot&) = default;
};
TDocumentSnapshot TakeSnapshot(const TSxMemoModel& memo);
// The snapshot with blanks (codes up to 32) removed from every line end: the caret trims
// the line it leaves silently, without an undo record, so undo and the save point are
// exact up to those blanks.
TDocumentSnapshot WithoutTrailingBlanks(TDocumentSnapshot s);
// Where two snapshots first differ, for failure messages.
std::string DescribeDifference(const TDocumentSnapshot& expected, const TDocumentSnapshot& actual);

// The bytes a save writes: every line and CR LF, with section markers when the
// document's options ask for them.
std::string ExpectedFileBytes(const TSxMemoModel& memo);
