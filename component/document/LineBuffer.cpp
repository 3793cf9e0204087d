/** @file LineBuffer.cpp
 ** Token encoding: per token the gap since the previous token's end and the length
 ** as base-128 varints, then the kind byte — about three bytes for a typical token. */
#include "LineBuffer.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

inline std::uint32_t GetVarint(const unsigned char*& p) {
  std::uint32_t v = 0;
  for (int shift = 0;; shift += 7) {
    unsigned char b = *p++;
    v |= std::uint32_t{b & 0x7Fu} << shift;
    if (!(b & 0x80)) return v;
  }
}

}  // namespace

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

char* TLineBuffer::Allocate(std::size_t n) {
  if (n == 0) return nullptr;
  void* p = std::malloc(n);
  if (!p) throw std::bad_alloc();
  return static_cast<char*>(p);
}

void TLineBuffer::Free(Rec& r) {
  if (!(r.flags & kBorrowed)) std::free(r.buf);
  r.buf = nullptr;
  r.flags = static_cast<std::uint8_t>(r.flags & ~kBorrowed);
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
    char* buf = Allocate(size);
    if (size) std::memcpy(buf, r.buf, size);
    r.buf = buf;
    r.flags = static_cast<std::uint8_t>(r.flags & ~kBorrowed);
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
  char* buf = Allocate(s.size() + area);
  if (!s.empty()) std::memcpy(buf, s.data(), s.size());
  if (area) std::memcpy(buf + s.size(), r.buf + r.textLen, area);
  lengths_.Remove(r.textLen);
  lengths_.Add(static_cast<std::uint32_t>(s.size()));
  Free(r);
  r.buf = buf;
  r.textLen = static_cast<std::uint32_t>(s.size());
}

void TLineBuffer::Insert(int i, std::string_view s) {
  Rec r{Allocate(s.size()), static_cast<std::uint32_t>(s.size()), tokText, tokText, 0, tokText};
  if (!s.empty()) std::memcpy(r.buf, s.data(), s.size());
  lines_.insert(static_cast<std::size_t>(i), 1, r);
  lengths_.Add(r.textLen);
}

void TLineBuffer::Erase(int i) {
  Rec& r = lines_[static_cast<std::size_t>(i)];
  lengths_.Remove(r.textLen);
  Free(r);
  lines_.erase(static_cast<std::size_t>(i), 1);
}

void TLineBuffer::Clear() {
  for (std::size_t i = 0; i < lines_.size(); ++i) Free(lines_[i]);
  lines_.clear();
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
    std::uint32_t start = end + GetVarint(p);
    std::uint32_t len = GetVarint(p);
    TToken kind = *p++;
    out.AddToken(start + 1, len, kind);
    end = start + len;
  }
}

namespace {
inline unsigned char* PutVarintRaw(unsigned char* out, std::uint32_t v) {
  while (v >= 0x80) {
    *out++ = static_cast<unsigned char>(v | 0x80);
    v >>= 7;
  }
  *out++ = static_cast<unsigned char>(v);
  return out;
}
}  // namespace

void TLineBuffer::SetTokens(int i, const TSxSyntaxParser& tokens, TToken startState) {
  Rec& r = lines_[static_cast<std::size_t>(i)];
  const auto& toks = tokens.Tokens();
  thread_local std::vector<unsigned char> enc;
  enc.resize(10 + 5 + toks.size() * 11);  // prefix room, the count, then at most 11 bytes a token
  unsigned char* body = enc.data() + 10;  // room for the length prefix in front
  unsigned char* p = PutVarintRaw(body, static_cast<std::uint32_t>(toks.size()));
  std::uint32_t end = 0;
  for (const TSxSyntaxToken& t : toks) {
    p = PutVarintRaw(p, t.Start - end);
    p = PutVarintRaw(p, t.Len);
    *p++ = t.Kind;
    end = t.Start + t.Len;
  }
  const auto bodyLen = static_cast<std::uint32_t>(p - body);
  unsigned char prefix[5];
  const std::size_t prefixLen = static_cast<std::size_t>(PutVarintRaw(prefix, bodyLen) - prefix);
  const std::size_t area = toks.empty() ? 0 : prefixLen + bodyLen;
  if (area != TokenAreaSize(r) || (r.flags & kBorrowed)) {
    char* buf = Allocate(r.textLen + area);
    if (r.textLen) std::memcpy(buf, r.buf, r.textLen);
    Free(r);
    r.buf = buf;
  }
  if (area) {
    std::memcpy(r.buf + r.textLen, prefix, prefixLen);
    std::memcpy(r.buf + r.textLen + prefixLen, body, bodyLen);
  }
  r.flags = static_cast<std::uint8_t>(toks.empty() ? r.flags & ~kHasTokens : r.flags | kHasTokens);
  r.firstKind = tokens.FirstKind();
  r.lastKind = tokens.LastKind();
  r.startState = startState;
}
