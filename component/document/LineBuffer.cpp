/** @file LineBuffer.cpp
 ** A line's block: its text, then its token records (see Varint.h: two bytes for a
 ** typical token) and, for a long line, its checkpoints. */
#include "LineBuffer.h"
#include "Varint.h"

#include <cstdlib>
#include <cstring>
#include <new>

void TLineLengths::Add(std::uint32_t len) {
  if (len < kDense) ++dense_[len];
  else ++long_[len];
  if (len > max_) max_ = len;
}

void TLineLengths::Remove(std::uint32_t len) {
  if (len < kDense) {
    --dense_[len];
  } else {
    auto it = long_.find(len);
    if (--it->second == 0) long_.erase(it);
  }
  if (len != max_) return;
  if (!long_.empty()) {
    max_ = long_.rbegin()->first;
    return;
  }
  // Amortised: the maximum only walks down past lengths no line has any more.
  if (max_ >= kDense) max_ = kDense - 1;
  while (max_ > 0 && dense_[max_] == 0) --max_;
}

void TLineLengths::Clear() {
  std::fill(dense_.begin(), dense_.end(), 0);
  long_.clear();
  max_ = 0;
}

char* TLineBuffer::Allocate(std::size_t n, std::uint8_t& where) {
  where = 0;
  if (n == 0) return nullptr;
  if (n <= TBlockPool::kLargest) {
    char* p = pool_.Allocate(n);
    where = kPooled;
    return p;
  }
  void* p = std::malloc(n);
  if (!p) throw std::bad_alloc();
  return static_cast<char*>(p);
}

void TLineBuffer::Free(Rec& r) {
  if (edit_.buf == r.buf) edit_ = TEdit{};
  if (r.flags & kInArena) arena_.Free(r.buf);
  else if (r.flags & kPooled) pool_.Free(r.buf, r.textLen + TokenAreaSize(r));
  else if (!(r.flags & kBorrowed)) std::free(r.buf);
  r.buf = nullptr;
  r.flags = static_cast<std::uint8_t>(r.flags & ~(kBorrowed | kInArena | kPooled));
}

void TLineBuffer::Move(Rec& r, std::size_t n, std::size_t keep) {
  std::uint8_t where = kInArena;
  char* buf = (r.flags & kBorrowed) && n > 0 ? arena_.Allocate(n) : Allocate(n, where);
  if (keep) std::memcpy(buf, r.buf, keep);
  Free(r);
  r.buf = buf;
  r.flags = static_cast<std::uint8_t>(r.flags | where);
}

void TLineBuffer::AppendBorrowed(std::string_view s) {
  Rec r{const_cast<char*>(s.data()), static_cast<std::uint32_t>(s.size()), tokText, tokText, kBorrowed, tokText};
  lines_.insert(lines_.size(), 1, r);
  lengths_.Add(r.textLen);
}

void TLineBuffer::Materialize() {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    Rec& r = lines_[i];
    if (!(r.flags & kBorrowed)) continue;
    const std::size_t size = r.textLen + TokenAreaSize(r);
    Move(r, size, size);
  }
}

std::size_t TLineBuffer::TokenAreaSize(const Rec& r) {
  if (!(r.flags & kHasTokens)) return 0;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(r.buf + r.textLen);
  const unsigned char* start = p;
  const std::uint32_t body = GetVarint(p);
  return static_cast<std::size_t>(p - start) + body;
}

int TLineBuffer::TokenCount(int i) const {
  const Rec& r = lines_[static_cast<std::size_t>(i)];
  if (!(r.flags & kHasTokens)) return 0;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(r.buf + r.textLen);
  GetVarint(p);
  return static_cast<int>(GetVarint(p));
}

void TLineBuffer::SetText(int i, std::string_view s) {
  Rec& r = lines_[static_cast<std::size_t>(i)];
  const std::size_t area = TokenAreaSize(r);
  TEdit edit;
  // Known only while every change since the tokens were made went through here for this
  // block: the first change, and then each one that follows it directly.
  const bool known = !(r.flags & kStale) || edit_.buf == r.buf;
  if ((r.flags & kIndexed) && known) {
    // What the edit kept at both ends decides where re-tokenizing may resume.
    const std::string_view old(r.buf, r.textLen);
    const std::size_t most = std::min(old.size(), s.size());
    // Each end is measured on its own: both are facts about the two texts, whatever the
    // overlap. Blocks first, then bytes.
    constexpr std::size_t kBlock = 64;
    std::size_t pre = 0, suf = 0;
    while (pre + kBlock <= most && std::memcmp(old.data() + pre, s.data() + pre, kBlock) == 0) pre += kBlock;
    while (pre < most && old[pre] == s[pre]) ++pre;
    while (suf + kBlock <= most &&
           std::memcmp(old.data() + old.size() - suf - kBlock, s.data() + s.size() - suf - kBlock, kBlock) == 0)
      suf += kBlock;
    while (suf < most && old[old.size() - 1 - suf] == s[s.size() - 1 - suf]) ++suf;
    edit = TEdit{nullptr, static_cast<std::uint32_t>(pre), static_cast<std::uint32_t>(suf), r.textLen};
    if (edit_.buf == r.buf) {
      edit.prefix = std::min(edit.prefix, edit_.prefix);
      edit.suffix = std::min(edit.suffix, edit_.suffix);
      edit.oldLength = edit_.oldLength;
    }
  }
  std::uint8_t where;
  char* buf = Allocate(s.size() + area, where);
  if (!s.empty()) std::memcpy(buf, s.data(), s.size());
  if (area) std::memcpy(buf + s.size(), r.buf + r.textLen, area);
  lengths_.Remove(r.textLen);
  lengths_.Add(static_cast<std::uint32_t>(s.size()));
  Free(r);
  r.buf = buf;
  r.flags = static_cast<std::uint8_t>(r.flags | where);
  r.textLen = static_cast<std::uint32_t>(s.size());
  if (r.flags & kIndexed) {
    if (known) {
      edit.buf = r.buf;
      edit_ = edit;
    }
  }
  r.flags = static_cast<std::uint8_t>(r.flags | kStale);
}

void TLineBuffer::Insert(int i, std::string_view s) {
  std::uint8_t where;
  char* buf = Allocate(s.size(), where);
  Rec r{buf, static_cast<std::uint32_t>(s.size()), tokText, tokText, where, tokText};
  if (!s.empty()) std::memcpy(r.buf, s.data(), s.size());
  try {
    lines_.insert(static_cast<std::size_t>(i), 1, r);
  } catch (...) {
    Free(r);
    throw;
  }
  lengths_.Add(r.textLen);
}

void TLineBuffer::Erase(int i) {
  Rec& r = lines_[static_cast<std::size_t>(i)];
  lengths_.Remove(r.textLen);
  Free(r);
  lines_.erase(static_cast<std::size_t>(i), 1);
}

void TLineBuffer::Clear() {
  // Arena and pool blocks go with their chunks, all at once.
  for (std::size_t i = 0; i < lines_.size(); ++i)
    if (!(lines_[i].flags & (kInArena | kPooled | kBorrowed))) std::free(lines_[i].buf);
  edit_ = TEdit{};
  lines_.clear();
  arena_.Reset();
  pool_.Reset();
  lengths_.Clear();
}

void TLineBuffer::GetTokens(int i, TSxSyntaxParser& out) const {
  const Rec& r = lines_[static_cast<std::size_t>(i)];
  out.Clear();
  if (!(r.flags & kHasTokens)) return;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(r.buf + r.textLen);
  GetVarint(p);
  const std::uint32_t count = GetVarint(p);
  std::uint32_t end = 0;
  for (std::uint32_t k = 0; k < count; ++k) {
    std::uint32_t gap, len;
    const TToken kind = GetToken(p, gap, len);
    out.AddToken(end + gap + 1, len, kind);
    end += gap + len;
  }
}


void TLineBuffer::SetTokens(int i, const TSxSyntaxParser& tokens, TToken startState) {
  const std::size_t most = MaxTokenAreaSize(tokens.Tokens().size());
  if (records_.size() < most) records_.resize(most);
  const std::size_t size = EncodeTokenArea(tokens.Tokens(), records_.data());
  StoreTokenArea(i, records_.data(), size, tokens.FirstKind(), tokens.LastKind(), startState);
}

std::size_t TLineBuffer::MaxTokenAreaSize(std::size_t tokenCount) {
  return 5 + 5 + tokenCount * kMaxTokenRecord;  // the prefix, the count, the records
}

std::size_t TLineBuffer::EncodeTokenArea(const std::vector<TSxSyntaxToken>& toks, unsigned char* area) {
  if (toks.empty()) return 0;
  // The body goes after a prefix of one byte, which holds the length of every body under 128 bytes.
  unsigned char* const body = area + 1;
  unsigned char* p = PutVarint(body, static_cast<std::uint32_t>(toks.size()));
  std::uint32_t end = 0;
  for (const TSxSyntaxToken& t : toks) {
    p = PutToken(p, t.Start - end, t.Len, t.Kind);
    end = t.Start + t.Len;
  }
  const auto bodyLen = static_cast<std::uint32_t>(p - body);
  unsigned char prefix[5];
  const std::size_t prefixLen = static_cast<std::size_t>(PutVarint(prefix, bodyLen) - prefix);
  if (prefixLen != 1) std::memmove(area + prefixLen, body, bodyLen);
  std::memcpy(area, prefix, prefixLen);
  return prefixLen + bodyLen;
}

void TLineBuffer::StoreTokenArea(int i, const unsigned char* area, std::size_t size, TToken firstKind,
                                 TToken lastKind, TToken startState) {
  Rec& r = lines_[static_cast<std::size_t>(i)];
  if (size != TokenAreaSize(r) || (r.flags & kBorrowed)) Move(r, r.textLen + size, r.textLen);
  if (size) std::memcpy(r.buf + r.textLen, area, size);
  r.flags = static_cast<std::uint8_t>(size == 0 ? r.flags & ~kHasTokens : r.flags | kHasTokens);
  r.flags = static_cast<std::uint8_t>(r.flags & ~(kIndexed | kStale));
  r.firstKind = firstKind;
  r.lastKind = lastKind;
  r.startState = startState;
}

// --- Checkpoints ---

const unsigned char* TLineBuffer::Records(const Rec& r, std::uint32_t& count, const unsigned char** areaEnd) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(r.buf + r.textLen);
  const std::uint32_t body = GetVarint(p);
  if (areaEnd) *areaEnd = p + body;
  count = GetVarint(p);
  return p;
}

unsigned char* TLineBuffer::Tail(const Rec& r) {
  std::uint32_t count;
  const unsigned char* end;
  Records(r, count, &end);
  return const_cast<unsigned char*>(end - kTailSize);
}

namespace {
inline std::uint32_t Get32(const unsigned char* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
inline void Put32(unsigned char* p, std::uint32_t v) { std::memcpy(p, &v, 4); }
}  // namespace

int TLineBuffer::CheckpointCount(int i) const {
  const Rec& r = lines_[static_cast<std::size_t>(i)];
  return (r.flags & kIndexed) ? static_cast<int>(Get32(Tail(r) + 8)) : 0;
}

TSxCheckpoint TLineBuffer::Checkpoint(int i, int k) const {
  const Rec& r = lines_[static_cast<std::size_t>(i)];
  const unsigned char* tail = Tail(r);
  const unsigned char* m = tail - (Get32(tail + 8) - static_cast<std::uint32_t>(k)) * kMarkSize;
  TSxCheckpoint c{Get32(m), Get32(m + 4), Get32(m + 8), Get32(m + 12), static_cast<TToken>(m[16]), m[17]};
  std::memcpy(&c.X, m + 20, 8);
  return c;
}

TSxTokenCursor TLineBuffer::Cursor(int i, int checkpoint) const {
  const Rec& r = lines_[static_cast<std::size_t>(i)];
  TSxTokenCursor c;
  if (!(r.flags & kHasTokens)) return c;
  std::uint32_t count;
  c.p_ = Records(r, count);
  c.count_ = static_cast<int>(count);
  if (checkpoint >= 0) {
    const TSxCheckpoint k = Checkpoint(i, checkpoint);
    c.p_ += k.Offset;
    c.end_ = k.PrevEnd;
    c.index_ = static_cast<int>(k.Token);
  }
  return c;
}

bool TSxTokenCursor::Next(TSxSyntaxToken& t) {
  if (index_ >= count_) return false;
  std::uint32_t gap, len;
  const TToken kind = GetToken(p_, gap, len);
  t = TSxSyntaxToken{end_ + gap, len, kind, 0};
  end_ += gap + len;
  ++index_;
  return true;
}

std::uint64_t TLineBuffer::CheckpointKey(int i) const {
  const Rec& r = lines_[static_cast<std::size_t>(i)];
  if (!(r.flags & kIndexed)) return 0;
  std::uint64_t key;
  std::memcpy(&key, Tail(r), 8);
  return key;
}

void TLineBuffer::SetCheckpointX(int i, std::uint64_t key, const std::vector<std::int64_t>& x) const {
  const Rec& r = lines_[static_cast<std::size_t>(i)];
  if (!(r.flags & kIndexed)) return;
  unsigned char* tail = Tail(r);
  const std::uint32_t n = Get32(tail + 8);
  if (x.size() != n) return;
  for (std::uint32_t k = 0; k < n; ++k) {
    unsigned char* m = tail - (n - k) * kMarkSize;
    m[17] = TSxCheckpoint::xMeasured;
    std::memcpy(m + 20, &x[k], 8);
  }
  std::memcpy(tail, &key, 8);
}

void TSxTokenEncoder::Reset(std::size_t reserveBytes) {
  bytes_.clear();
  bytes_.reserve(reserveBytes);
  marks_.clear();
  count_ = end_ = 0;
  first_ = last_ = tokText;
}

void TSxTokenEncoder::Release() {
  if (bytes_.capacity() > (1u << 20)) std::vector<unsigned char>().swap(bytes_);
  if (marks_.capacity() > (1u << 12)) std::vector<TSxCheckpoint>().swap(marks_);
}

void TSxTokenEncoder::Add(const std::vector<TSxSyntaxToken>& tokens) {
  if (tokens.empty()) return;
  std::size_t at = bytes_.size();
  bytes_.resize(at + tokens.size() * kMaxTokenRecord);
  unsigned char* p = bytes_.data() + at;
  for (const TSxSyntaxToken& t : tokens) {
    p = PutToken(p, t.Start - end_, t.Len, t.Kind);
    end_ = t.Start + t.Len;
  }
  bytes_.resize(static_cast<std::size_t>(p - bytes_.data()));
  if (count_ == 0) first_ = tokens.front().Kind;
  last_ = tokens.back().Kind;
  count_ += static_cast<std::uint32_t>(tokens.size());
}

void TSxTokenEncoder::Mark(TSxResumePoint at) {
  marks_.push_back(TSxCheckpoint{count_, static_cast<std::uint32_t>(bytes_.size()), end_, at.Column, at.State});
}

void TLineBuffer::Store(Rec& r, const TSxTokenEncoder& e, TToken startState, TToken endState,
                        std::uint64_t key) {
  const bool indexed = !e.marks_.empty() && e.count_ > 0;
  unsigned char head[10];
  unsigned char* h = PutVarint(head, e.count_);
  const std::size_t body =
      static_cast<std::size_t>(h - head) + e.bytes_.size() + (indexed ? e.marks_.size() * kMarkSize + kTailSize : 0);
  unsigned char prefix[5];
  const std::size_t prefixLen = static_cast<std::size_t>(PutVarint(prefix, static_cast<std::uint32_t>(body)) - prefix);
  const std::size_t area = e.count_ ? prefixLen + body : 0;
  Move(r, r.textLen + area, r.textLen);
  if (area) {
    unsigned char* p = reinterpret_cast<unsigned char*>(r.buf + r.textLen);
    std::memcpy(p, prefix, prefixLen);
    p += prefixLen;
    std::memcpy(p, head, static_cast<std::size_t>(h - head));
    p += h - head;
    std::memcpy(p, e.bytes_.data(), e.bytes_.size());
    p += e.bytes_.size();
    if (indexed) {
      for (const TSxCheckpoint& m : e.marks_) {
        std::memset(p, 0, kMarkSize);
        Put32(p, m.Token);
        Put32(p + 4, m.Offset);
        Put32(p + 8, m.PrevEnd);
        Put32(p + 12, m.Column);
        p[16] = m.State;
        p[17] = m.XState;
        std::memcpy(p + 20, &m.X, 8);
        p += kMarkSize;
      }
      std::memset(p, 0, kTailSize);
      std::memcpy(p, &key, 8);
      Put32(p + 8, static_cast<std::uint32_t>(e.marks_.size()));
      p[12] = endState;
    }
  }
  r.flags = static_cast<std::uint8_t>(r.flags & ~(kHasTokens | kIndexed | kStale));
  if (e.count_) r.flags = static_cast<std::uint8_t>(r.flags | kHasTokens | (indexed ? kIndexed : 0));
  r.firstKind = e.count_ ? e.first_ : tokText;
  r.lastKind = e.count_ ? e.last_ : tokText;
  r.startState = startState;
}
