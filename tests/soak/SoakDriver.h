// A random user of the real main window: keys from the whole key table, typed text,
// mouse, folding, sections, the clipboard, undo and the file commands, each followed by
// a check of the document's promises.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "document/DocumentInvariants.h"

class TForm1;
class TSxCustomSyntaxMemo;
class TScriptedDialogs;
class TSxMemoryClipboard;
class TSxSyntaxMemo;
class TSxSynMemoUndoItem;

// The document's promises plus the view's: the top line is a visible line.
std::string CheckControlInvariants(TSxCustomSyntaxMemo& memo);

class TSoakDriver {
 public:
  // dir is a scratch directory the driver may fill with files.
  TSoakDriver(TForm1& form, TScriptedDialogs& dialogs, TSxMemoryClipboard& clipboard, std::filesystem::path dir,
              std::uint64_t seed);

  // Applies one random operation and checks the promises; the first broken one, described.
  std::string Step();

  std::uint64_t Operations() const { return operations_; }
  std::uint64_t Undos() const { return undosChecked_; }
  std::uint64_t Saves() const { return savesChecked_; }
  std::uint64_t Rewinds() const { return rewindsChecked_; }
  // The latest operations, oldest first, for failure reports.
  std::string RecentOperations() const;

 private:
  // An undo record seen after an operation and the document as it stood before the
  // operation that made it, when known.
  struct TRecord {
    const TSxSynMemoUndoItem* Item;
    std::string Fingerprint;
    std::optional<TDocumentSnapshot> Before;
  };

  TSxSyntaxMemo& Memo();
  int Pick(int n) { return static_cast<int>(rng_() % static_cast<std::uint64_t>(n)); }
  bool Chance(int percent) { return Pick(100) < percent; }
  void Note(const std::string& op);
  std::string RandomText(int maxLen);
  std::string RandomDocument();
  void WriteInputs();

  void Apply();
  void PressKey();
  void TypeText();
  void Mouse();
  void ClipboardOp();
  void SectionOp();
  void FileOp();
  void ViewOp();
  void UndoOp();
  void Rewind();
  bool SaveAs();
  void Save();

  std::string AfterOperation(const TDocumentSnapshot& before, bool wasUndo);
  std::string CheckSaved();
  std::string FingerprintOf(const TSxSynMemoUndoItem& item) const;

  TForm1& form_;
  TScriptedDialogs& dialogs_;
  TSxMemoryClipboard& clipboard_;
  std::filesystem::path dir_;
  std::mt19937_64 rng_;
  std::uint64_t operations_ = 0, undosChecked_ = 0, savesChecked_ = 0, rewindsChecked_ = 0;
  std::deque<std::string> recent_;
  std::vector<TRecord> records_;
  std::vector<std::string> inputs_;
  std::size_t errorsExpected_ = 0;
  // The save point: the undo record on top when the document was saved, and the bytes.
  bool saveKnown_ = false;
  const TSxSynMemoUndoItem* saveTop_ = nullptr;
  std::string saveTopFingerprint_;
  std::string savedBytes_;
  bool saveDue_ = false;
  std::string stepError_;
  std::string lastFileName_;
};
