/** @file RangeClipboard.cpp
 ** Copy, cut and paste (plain text and text carrying section markers), and the
 ** section commands that act at the caret. */
#include <algorithm>
#include <cstring>
#include <vector>

#include "../syntax/TextLines.h"
#include "MemoModel.h"
#include "Range.h"

namespace {

constexpr std::size_t kMarkerLen = 4;
constexpr const char* kExpandedMarker = "{<+}";
constexpr const char* kCollapsedMarker = "{<-}";
constexpr const char* kEndMarker = "{>>}";

}  // namespace

void ExtractSectionMarkers(std::string& text, TSectionPairs& pairs) {
  pairs.clear();
  std::vector<std::int32_t> open;
  std::string out;
  out.reserve(text.size() + 2);
  std::int32_t i = 0;
  ForEachTextLine(text, [&](std::string_view line) {
    switch (TSxSynMemoSections::MarkerKind(line)) {
      case 1:
        open.push_back(i + 1);
        line.remove_prefix(kMarkerLen);
        break;
      case 2:
        open.push_back(-(i + 1));
        line.remove_prefix(kMarkerLen);
        break;
      case 3:
        if (!open.empty()) {
          pairs.push_back(open.back());
          pairs.push_back(i);
          open.pop_back();
        }
        line.remove_prefix(kMarkerLen);
        break;
      default:
        break;
    }
    out += line;
    out += "\r\n";
    ++i;
  });
  text = std::move(out);
}

void TSxSynMemoRange::CopyToClipboard() {
  if (IsEmpty()) return;
  TSxClipboard& clip = Memo.Clipboard();
  clip.SetText(GetSelText());
  if (!Memo.Options().Contains(smoSkipSectionsOnCopy) && StartPos.Y != EndPos.Y) {
    std::string block = GetSelTextWithMarkers();
    block.push_back('\0');
    clip.AddSectionsBlock(block);
  }
}

void TSxSynMemoRange::CutToClipboard() {
  if (IsEmpty() || Memo.Options().Contains(smoReadOnly)) return;
  CopyToClipboard();
  ReplaceSelection("", ukCut);
}

void TSxSynMemoRange::PasteFromClipboard() {
  if (Memo.Options().Contains(smoReadOnly)) return;
  TSxClipboard& clip = Memo.Clipboard();
  TSxSynMemoStrings& lines = *Memo.Lines;
  lines.BeginUpdate();
  if (!Memo.Options().Contains(smoSkipSectionsOnPaste) && clip.HasSections()) {
    // The block is bounded by its size; its text ends at the first NUL, if any.
    std::string block = clip.GetSectionsBlock();
    const std::size_t nul = block.find('\0');
    if (nul != std::string::npos) block.resize(nul);
    PasteWithSections(std::move(block));
  } else if (clip.HasText()) {
    ReplaceSelection(clip.GetText(), ukPaste);
  }
  lines.EndUpdate();
}

std::string TSxSynMemoRange::GetSelTextWithMarkers() const {
  const TSxSynMemoStrings& lines = *Memo.Lines;
  if (lines.Count() == 0) return {};
  TTextPos s = ClampToText(StartPos);
  TTextPos e = ClampToText(EndPos);
  if (e < s) std::swap(s, e);
  TSxSynMemoSections& tree = *Memo.SectionTree;
  const std::int32_t first = s.X > 0 ? s.Y + 1 : s.Y;
  const auto lastLen = static_cast<std::int32_t>(lines.Get(e.Y).size());
  const std::int32_t last = lastLen > e.X ? e.Y - 1 : e.Y;
  std::string out;
  if (s.X > 0) {
    std::string_view t = lines.Get(s.Y);
    if (static_cast<std::size_t>(s.X) < t.size()) out += t.substr(static_cast<std::size_t>(s.X));
    out += "\r\n";
  }
  for (std::int32_t l = first; l <= last; ++l) {
    const TSxSynMemoSection* sec = tree.SectionOf(l);
    if (sec && sec->Parent && l == sec->FirstLine() && sec->LastLine() <= last)
      out += sec->Collapsed ? kCollapsedMarker : kExpandedMarker;
    else if (sec && sec->Parent && l == sec->LastLine() && sec->FirstLine() >= first)
      out += kEndMarker;
    out += lines.Get(l);
    out += "\r\n";
  }
  if (last == e.Y) {
    if (out.size() >= 2) out.resize(out.size() - 2);
  } else {
    std::string_view t = lines.Get(e.Y);
    out += t.substr(0, std::min<std::size_t>(t.size(), static_cast<std::size_t>(e.X)));
  }
  return out;
}

void TSxSynMemoRange::PasteWithSections(std::string text) {
  TSxSynMemoStrings& lines = *Memo.Lines;
  lines.BeginUpdate();
  NormalizeRange();
  const std::int32_t base = StartPos.Y;
  if (StartPos.X > 0 && TSxSynMemoSections::MarkerKind(text) != 0) text.erase(0, kMarkerLen);
  TSectionPairs pairs;
  ExtractSectionMarkers(text, pairs);
  ReplaceSelection(text, ukPaste);
  TSxSynMemoSections& tree = *Memo.SectionTree;
  tree.RebuildVisibleMap();
  for (std::size_t i = 0; i + 1 < pairs.size(); i += 2) {
    const std::int32_t a = pairs[i];
    const std::int32_t b = pairs[i + 1];
    tree.AddSection((a < 0 ? -a : a) - 1 + base, b + base, a < 0);
  }
  lines.EndUpdate();
}

void TSxSynMemoRange::CreateSectionFromSelection() {
  TSxSynMemoStrings& lines = *Memo.Lines;
  if (lines.Count() == 0) return;
  TSxSynMemoSections& tree = *Memo.SectionTree;
  lines.BeginUpdate();
  NormalizeRange();
  if (StartPos.Y == EndPos.Y) {
    const std::int32_t l = StartPos.Y;
    if (tree.LineRole(l) == 0) {
      ClearSelection();
      TSxSynMemoUndoItem* r = AddUndoItem("");
      if (l + 1 < lines.Count()) {
        r->StartPos = {0, l + 1};
        r->EndPos = {0, l + 2};
      } else {
        // On the last line there is no line l + 2 to join; undo removes the line
        // break before the added line instead.
        r->StartPos = {static_cast<std::int32_t>(lines.Get(l).size()), l};
        r->EndPos = {0, l + 1};
      }
      lines.Insert(l + 1, "");
      tree.AddSection(l, l + 1, false);
    }
  } else if (tree.LineRole(StartPos.Y) == 0 && tree.LineRole(EndPos.Y) == 0) {
    TSxSynMemoUndoItem* r = AddUndoItem("");
    r->StartPos = r->EndPos = CaretPos;
    tree.AddSection(StartPos.Y, EndPos.Y, false);
    ClearSelection();
  }
  // An ordinary caret move: after a new section it makes its own caret record, so the
  // first undo walks the caret back and the second removes the section.
  SetCaretPos({0, StartPos.Y});
  lines.EndUpdate();
}

void TSxSynMemoRange::RemoveCaretSection(bool nested) {
  if (!Memo.Lines->IsValidLine(CaretPos.Y)) return;
  ClearSelection();
  AddUndoItem("");
  Memo.SectionTree->RemoveSection(CaretPos.Y, nested);
}

void TSxSynMemoRange::CollapseCaretSection(bool nested) {
  TSxSynMemoSections& tree = *Memo.SectionTree;
  if (!Memo.Lines->IsValidLine(CaretPos.Y)) return;
  const int role = tree.LineRole(CaretPos.Y);
  if (role != 1 && role != 2) {
    const TSxSynMemoSection* s = tree.SectionOf(CaretPos.Y);
    // A line in no section has nothing to fold; the caret stays where it is.
    if (!s || !s->Parent) return;
    SetCaretPos({0, s->FirstLine()});
  }
  tree.CollapseSection(CaretPos.Y, nested, nested);
}

void TSxSynMemoRange::ExpandCaretSection(bool nested) {
  if (!Memo.Lines->IsValidLine(CaretPos.Y)) return;
  Memo.SectionTree->ExpandSection(CaretPos.Y, nested, false);
}

void TSxSynMemoRange::GotoSection(bool forward) {
  TSxSynMemoSections& tree = *Memo.SectionTree;
  if (!Memo.Lines->IsValidLine(CaretPos.Y)) return;
  TSxSynMemoSection* s = tree.SectionOf(CaretPos.Y);
  do {
    s = forward ? tree.NextSection(s) : tree.PrevSection(s);
  } while (s && !tree.IsSectionVisible(s));
  if (s) SetCaretPos({0, s->FirstLine()});
}
