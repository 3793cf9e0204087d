/** @file LineBuffer.cpp
 ** Token encoding: per token the gap since the previous token's end and the length
 ** as base-128 varints, then the kind byte — about three bytes for a typical token. */
#include "LineBuffer.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

void PutVarint(std::vector<unsigned char>& out, std::uint32_t v) {
  while (v >= 0x80) {
    out.push_back(static_cast<unsigned char>(v | 0x80));
    v >>= 7;
  }
  out.push_back(static_cast<unsigned char>(v));
}

std::uint32_t GetVarint(const unsigned char*& p) {
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
  std::free(r.buf);
  r.buf = nullptr;
}

void TLineBuffer::SetText(int i, std::string_view s) {
  Rec& r = lines_[static_cast<std::size_t>(i)];
  char* buf = Allocate(s.size() + r.tokBytes);
  if (!s.empty()) std::memcpy(buf, s.data(), s.size());
  if (r.tokBytes) std::memcpy(buf + s.size(), r.buf + r.textLen, r.tokBytes);
  lengths_.Remove(r.textLen);
  lengths_.Add(static_cast<std::uint32_t>(s.size()));
  std::free(r.buf);
  r.buf = buf;
  r.textLen = static_cast<std::uint32_t>(s.size());
}

void TLineBuffer::Insert(int i, std::string_view s) {
  Rec r{Allocate(s.size()), static_cast<std::uint32_t>(s.size()), 0, 0, tokText, tokText, 0, tokText};
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
  const unsigned char* p = reinterpret_cast<const unsigned char*>(r.buf + r.textLen);
  std::uint32_t end = 0;
  for (std::uint32_t k = 0; k < r.tokCount; ++k) {
    std::uint32_t start = end + GetVarint(p);
    std::uint32_t len = GetVarint(p);
    TToken kind = *p++;
    out.AddToken(start + 1, len, kind);
    end = start + len;
  }
}

void TLineBuffer::SetTokens(int i, const TSxSyntaxParser& tokens, TToken startState) {
  Rec& r = lines_[static_cast<std::size_t>(i)];
  thread_local std::vector<unsigned char> enc;
  enc.clear();
  std::uint32_t end = 0;
  for (const TSxSyntaxToken& t : tokens.Tokens()) {
    PutVarint(enc, t.Start - end);
    PutVarint(enc, t.Len);
    enc.push_back(t.Kind);
    end = t.Start + t.Len;
  }
  if (enc.size() != r.tokBytes) {
    char* buf = Allocate(r.textLen + enc.size());
    if (r.textLen) std::memcpy(buf, r.buf, r.textLen);
    std::free(r.buf);
    r.buf = buf;
    r.tokBytes = static_cast<std::uint32_t>(enc.size());
  }
  if (!enc.empty()) std::memcpy(r.buf + r.textLen, enc.data(), enc.size());
  r.tokCount = static_cast<std::uint32_t>(tokens.Count());
  r.firstKind = tokens.FirstKind();
  r.lastKind = tokens.LastKind();
  r.startState = startState;
}
