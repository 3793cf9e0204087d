/** @file LineMetrics.cpp
 ** Pixel positions in long lines without walking them: a line's checkpoints carry the
 ** pixel where their token run starts, measured once per line and font, and every
 ** column, pixel or row query walks the stored tokens from the nearest checkpoint. */
#include <algorithm>

#include "SyntaxMemo.h"

std::uint64_t TSxCustomSyntaxMemo::MetricsKey() const {
  std::uint64_t h = 1469598103934665603ull;
  auto mix = [&h](std::uint64_t v) { h = (h ^ v) * 1099511628211ull; };
  for (const auto& table : CharWidths)
    for (std::uint8_t w : table) mix(w);
  for (int k = 0; k < 256; ++k) mix((SyntaxAttributes->GetTokenStyle(static_cast<TToken>(k)) & fsBold) ? 1 : 2);
  return h | 1;  // 0 marks positions not measured
}

void TSxCustomSyntaxMemo::Advance(TLineWalk& w, const TSxSyntaxToken& t, std::string_view text) const {
  if (t.Start > w.P) {
    w.X += (t.Start - w.P) * BlankWidth();
    w.P = t.Start;
  }
  const auto& table = CharWidths[(SyntaxAttributes->GetTokenStyle(t.Kind) & fsBold) ? 1 : 0];
  const std::int64_t end = std::int64_t{t.Start} + t.Len;
  const std::int64_t inText = std::min<std::int64_t>(end, static_cast<std::int64_t>(text.size()));
  std::int64_t x = w.X;
  for (std::int64_t p = w.P; p < inText; ++p) x += table[static_cast<unsigned char>(text[static_cast<std::size_t>(p)])];
  if (end > std::max(w.P, inText)) x += (end - std::max(w.P, inText)) * BlankWidth();
  w.X = x;
  w.P = std::max(w.P, end);
}

const std::vector<std::int64_t>& TSxCustomSyntaxMemo::CheckpointXs(std::int32_t line) const {
  checkpointX_.clear();
  const int n = Lines->CheckpointCount(line);
  if (n == 0) return checkpointX_;
  // Pixels kept under this font stand; after an edit only the checkpoints in the
  // re-tokenized stretch are measured, walking from the checkpoint before each, and the
  // ones after it move by what their anchor moved.
  const bool sameFont = Lines->CheckpointKey(line) == MetricsKey();
  const std::string_view text = Lines->Get(line);
  checkpointX_.resize(static_cast<std::size_t>(n));
  bool changed = false;
  std::int64_t shift = 0;
  for (int k = 0; k < n; ++k) {
    const TSxCheckpoint c = Lines->Checkpoint(line, k);
    std::int64_t& x = checkpointX_[static_cast<std::size_t>(k)];
    if (sameFont && c.XState == TSxCheckpoint::xMeasured) {
      x = c.X;
      continue;
    }
    if (sameFont && c.XState == TSxCheckpoint::xShifted) {
      x = c.X + shift;
      changed = true;
      continue;
    }
    TLineWalk w{Lines->Cursor(line, k - 1)};
    if (k > 0) {
      w.P = Lines->Checkpoint(line, k - 1).PrevEnd;
      w.X = checkpointX_[static_cast<std::size_t>(k - 1)];
    }
    TSxSyntaxToken t;
    while (w.Cursor.Index() < static_cast<int>(c.Token) && w.Cursor.Next(t)) Advance(w, t, text);
    x = w.X;
    if (sameFont && c.XState == TSxCheckpoint::xAnchor) shift = x - c.X;
    changed = true;
  }
  if (changed) Lines->SetCheckpointX(line, MetricsKey(), checkpointX_);
  return checkpointX_;
}

TSxCustomSyntaxMemo::TLineWalk TSxCustomSyntaxMemo::WalkFromColumn(std::int32_t line, std::int64_t col) const {
  const std::vector<std::int64_t>& xs = CheckpointXs(line);
  int lo = 0, hi = static_cast<int>(xs.size());  // the last checkpoint whose run starts at or before col
  while (lo < hi) {
    const int mid = (lo + hi) / 2;
    if (Lines->Checkpoint(line, mid).PrevEnd <= col) lo = mid + 1;
    else hi = mid;
  }
  if (lo == 0) return TLineWalk{Lines->Cursor(line)};
  return TLineWalk{Lines->Cursor(line, lo - 1), Lines->Checkpoint(line, lo - 1).PrevEnd, xs[static_cast<std::size_t>(lo - 1)]};
}

TSxCustomSyntaxMemo::TLineWalk TSxCustomSyntaxMemo::WalkFromX(std::int32_t line, std::int64_t x) const {
  const std::vector<std::int64_t>& xs = CheckpointXs(line);
  const auto k = std::upper_bound(xs.begin(), xs.end(), x) - xs.begin();
  if (k == 0) return TLineWalk{Lines->Cursor(line)};
  return TLineWalk{Lines->Cursor(line, static_cast<int>(k - 1)), Lines->Checkpoint(line, static_cast<int>(k - 1)).PrevEnd,
                   xs[static_cast<std::size_t>(k - 1)]};
}

void TSxCustomSyntaxMemo::VisibleTokens(std::int32_t line, std::int64_t left, std::int64_t right,
                                        TSxSyntaxParser& out, std::int64_t& p0, std::int64_t& x0) const {
  out.Clear();
  const std::string_view text = Lines->Get(line);
  TLineWalk w = WalkFromX(line, left);
  p0 = w.P;
  x0 = w.X;
  TSxSyntaxToken t, beyond;
  bool past = false;  // right of the view, inside the run that crosses its edge
  TToken head = tokBlank;
  while (w.Cursor.Next(t)) {
    const bool absorbed = out.Count() > 0 && TSxSyntaxParser::Absorbs(head, t.Kind);
    if (!past && w.X + (t.Start > w.P ? (t.Start - w.P) * BlankWidth() : 0) > right) {
      if (!absorbed) break;
      past = true;
      beyond = t;
    }
    if (past) {
      // Only the kind the run ends with shows: one token beyond the edge stands for the rest.
      if (!absorbed) break;
      beyond.Kind = t.Kind;
      continue;
    }
    if (!absorbed) head = t.Kind;
    out.AddToken(t.Start + 1, t.Len, t.Kind);
    Advance(w, t, text);
  }
  if (past) out.AddToken(beyond.Start + 1, beyond.Len, beyond.Kind);
}

TSxSyntaxToken TSxCustomSyntaxMemo::StoredToken(std::int32_t line, int index) const {
  int lo = 0, hi = Lines->CheckpointCount(line);  // the last checkpoint at or before the token
  while (lo < hi) {
    const int mid = (lo + hi) / 2;
    if (static_cast<int>(Lines->Checkpoint(line, mid).Token) <= index) lo = mid + 1;
    else hi = mid;
  }
  TSxTokenCursor c = Lines->Cursor(line, lo - 1);
  TSxSyntaxToken t;
  while (c.Index() <= index && c.Next(t)) {
  }
  return t;
}
