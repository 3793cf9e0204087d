/** @file Tokenizer.cpp
 ** The line tokenizer: standard mode (character classes, literals inside words)
 ** and blank-separated mode (one token per blank-delimited word). */
#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "../base/Cp1251.h"
#include "SyntaxAttributes.h"
#include "TokenList.h"

namespace {

inline bool IsBlank(unsigned char c) { return c <= 32; }

// Word-building classes: 0 blank, 1 punctuation, 2 word.
inline int CharClass(unsigned char c) {
  if (c <= 32) return 0;
  if (c <= 47 || (c >= 58 && c <= 64)) return 1;
  return 2;
}

using cp1251::IsWordChar;
inline bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
inline bool IsHexDigit(unsigned char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// A literal character of code 0 stands for an empty value: it never matches. Nor
// does a blank one: blanks separate tokens, so a blank cannot open a string or
// be a decimal point or a reference without putting blanks inside tokens.
inline bool IsLitChar(char c, char lit) { return static_cast<unsigned char>(lit) > 32 && c == lit; }

inline bool StartsWith(std::string_view s, std::size_t at, const std::string& lit) {
  return !lit.empty() && s.size() - at >= lit.size() && s[at] == lit[0] &&
         (lit.size() == 1 || s.compare(at, lit.size(), lit) == 0);
}
inline bool EndsWith(std::string_view s, const std::string& lit) {
  return !lit.empty() && s.size() >= lit.size() && s.compare(s.size() - lit.size(), lit.size(), lit) == 0;
}

// The first character, '\0' for an empty literal (a string's terminator).
inline char First(const std::string& lit) { return *lit.c_str(); }

// The states inside a comment or directive body, as a table: the test runs at every token.
constexpr std::array<bool, 256> kInBody = [] {
  std::array<bool, 256> t{};
  for (TToken s : {tokILComment, tokMLCommentBeg, tokELCommentBeg, tokILCompDir, tokMLCompDirBeg}) t[s] = true;
  return t;
}();
inline bool InBody(TToken s) { return kInBody[s]; }

// What a byte can do in the standard mode. Plain bytes only build words (or end
// them, for blanks); special ones may start a literal, an opener, a number or a
// one-character token and take the full rule chain. Digits are special only where
// a number may start; inside a word they continue it. kSymbol is a word-class byte
// that is not a word character (a brace, "|", "~", "№"): a digit after it starts a
// number, so a run of plain bytes ends there.
enum : std::uint8_t { kBlank, kPunct, kWord, kSpecial, kSymbol };

struct TByteTable {
  std::uint8_t kind[256];
  bool opener[256] = {};      // first bytes of the enabled comment and directive openers
  bool wordChar[256];         // cp1251::IsWordChar, without a call
  // The token of a byte that is one by itself wherever it stands outside a body (";", "(",
  // a reference character...); 0 for any other byte.
  TToken single[256] = {};
  // Whether every byte of code 32 or less is a blank here (a literal may make one special).
  bool blanksPlain = true;
  // Whole ranges of word bytes with no special one among them: Latin letters, Cyrillic А
  // to я, digits. The line's masks mark their bytes 16 at a time.
  bool latinPlain = true, cyrillicPlain = true, digitsPlain = true;
  explicit TByteTable(const TSxSyntaxAttributes& a) {
    for (int c = 0; c < 256; ++c) {
      const auto u = static_cast<unsigned char>(c);
      wordChar[c] = IsWordChar(u);
      kind[c] = static_cast<std::uint8_t>(CharClass(u));
      if (kind[c] == kWord && !IsWordChar(u) && !IsDigit(u)) kind[c] = kSymbol;
    }
    auto mark = [&](char c) {
      if (c != '\0') kind[static_cast<unsigned char>(c)] = kSpecial;
    };
    auto markLiteral = [&](char c) {
      if (static_cast<unsigned char>(c) > 32) kind[static_cast<unsigned char>(c)] = kSpecial;
    };
    auto markOpener = [&](std::uint16_t flag, const std::string& lit) {
      if (!a.Has(flag) || lit.empty()) return;
      mark(lit[0]);
      opener[static_cast<unsigned char>(lit[0])] = true;
    };
    markOpener(HasELComment, a.LitELCommentB);
    markOpener(HasMLComment, a.LitMLCommentB);
    markOpener(HasILComment, a.LitILComment);
    markOpener(HasILCompDir, a.LitILCompDir);
    markOpener(HasMLCompDir, a.LitMLCompDirB);
    if (a.Has(HasHexPrefix) && !a.LitHexPrefix.empty()) mark(a.LitHexPrefix[0]);
    markLiteral(a.LitString);
    if (a.Has(HasChar)) markLiteral(a.LitChar);
    for (char c : {';', '[', ']', '.', '(', ')', ','}) mark(c);
    if (a.Has(HasReference)) markLiteral(a.LitReference);
    if (a.Has(HasDereference)) markLiteral(a.LitDereference);
    for (int c = '0'; c <= '9'; ++c)
      if (kind[c] != kSpecial) kind[c] = kWord;
    const std::pair<char, TToken> singles[] = {{';', tokEndLine}, {'[', tokBrackedBeg}, {']', tokBracketEnd},
                                               {'.', tokPoint},   {'(', tokParenBeg},   {')', tokParenEnd},
                                               {',', tokComma}};
    for (auto [c, token] : singles) single[static_cast<unsigned char>(c)] = token;
    auto markSingle = [&](bool on, char c, TToken token) {
      const auto u = static_cast<unsigned char>(c);
      if (on && u > 32 && !single[u]) single[u] = token;
    };
    markSingle(a.Has(HasReference), a.LitReference, tokReference);
    markSingle(a.Has(HasDereference), a.LitDereference, tokDereference);
    // A byte that may start anything longer goes the whole way.
    auto unmark = [&](char c) { single[static_cast<unsigned char>(c)] = 0; };
    for (int c = 0; c < 256; ++c)
      if (opener[c] || IsDigit(static_cast<unsigned char>(c))) single[c] = 0;
    unmark(a.LitString);
    if (a.Has(HasChar)) unmark(a.LitChar);
    if (a.Has(HasHexPrefix) && !a.LitHexPrefix.empty()) unmark(a.LitHexPrefix[0]);
    for (int c = 0; c < 256; ++c) {
      const bool word = kind[c] == kWord;
      if (c <= 32) blanksPlain &= kind[c] == kBlank;
      if ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') latinPlain &= word;
      if (c >= 0xC0) cyrillicPlain &= word;
      if (IsDigit(static_cast<unsigned char>(c))) digitsPlain &= word;
    }
  }
};

// The scanner reads the line as if a blank followed it (unless it ends in a control
// character): that blank flushes the last word or piece. A line of ordinary length is read
// from a copy followed by kPad real blanks, so a read needs no test of the line's end, and
// with two masks of one bit a byte (bit p % 64 of word p / 64): blank, a byte of code 32 or
// less, and plain, a byte of a range the table keeps whole, so every plain byte is kWord.
// Past the line, bytes are blanks in the copy and in the masks; runs of blanks and of plain
// bytes are passed a word of the masks at a time.
constexpr std::size_t kPad = 16;
struct TPaddedLine {
  static constexpr std::size_t kMax = 4096;
  static constexpr std::size_t kWords = kMax / 64 + 2;
  char text[kMax + kPad];
  std::uint64_t blank[kWords], plain[kWords];

  void Fill(std::string_view line, const TByteTable& tb) {
    const std::size_t n = line.size();
    const char* src = line.data();
    std::uint64_t b = 0, w = 0;  // the word under way
    std::size_t i = 0;
#if defined(__SSE2__)
    if (n >= 16 && tb.blanksPlain) {
      const __m128i letters = Everywhere(tb.latinPlain), cyrillic = Everywhere(tb.cyrillicPlain),
                    digits = Everywhere(tb.digitsPlain);
      auto masks = [&](__m128i v, unsigned& blanks, unsigned& plains) {
        blanks = Mask(_mm_cmpeq_epi8(_mm_min_epu8(v, _mm_set1_epi8(32)), v));
        const __m128i latin = InRange(_mm_or_si128(v, _mm_set1_epi8(0x20)), 'a', 'z');
        const __m128i high = _mm_cmpeq_epi8(_mm_max_epu8(v, _mm_set1_epi8(static_cast<char>(0xC0))), v);
        plains = Mask(_mm_or_si128(_mm_or_si128(_mm_and_si128(letters, latin), _mm_and_si128(cyrillic, high)),
                                   _mm_and_si128(digits, InRange(v, '0', '9'))));
      };
      unsigned blanks, plains;
      for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(text + i), v);
        masks(v, blanks, plains);
        b |= std::uint64_t{blanks} << (i & 63);
        w |= std::uint64_t{plains} << (i & 63);
        if (((i + 16) & 63) == 0) {
          blank[i >> 6] = b, plain[i >> 6] = w;
          b = w = 0;
        }
      }
      if (i < n) {
        // The last 16 bytes of the line, of which the first 16 - (n - i) are done.
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + n - 16));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(text + n - 16), v);
        masks(v, blanks, plains);
        const unsigned done = static_cast<unsigned>(16 - (n - i));
        b |= std::uint64_t{blanks >> done} << (i & 63);
        w |= std::uint64_t{plains >> done} << (i & 63);
      }
      _mm_storeu_si128(reinterpret_cast<__m128i*>(text + n), _mm_set1_epi8(' '));
      i = n;
    }
#endif
    if (i < n) {
      std::memcpy(text, src, n);
      std::memset(text + n, ' ', kPad);
      for (; i < n; ++i) {
        const auto c = static_cast<unsigned char>(src[i]);
        b |= std::uint64_t{IsBlank(c)} << (i & 63);
        w |= std::uint64_t{tb.kind[c] == kWord} << (i & 63);
        if ((i & 63) == 63) {
          blank[i >> 6] = b, plain[i >> 6] = w;
          b = w = 0;
        }
      }
    }
    blank[n >> 6] = b | ~std::uint64_t{0} << (n & 63), plain[n >> 6] = w;
  }

  // The first position at or after p whose bit in m is set; the masks' last word stops it.
  static std::size_t NextSet(const std::uint64_t* m, std::size_t p, std::uint64_t flip) {
    std::size_t i = p >> 6;
    std::uint64_t bits = (m[i] ^ flip) & (~std::uint64_t{0} << (p & 63));
    while (!bits) bits = m[++i] ^ flip;
    return (i << 6) + static_cast<std::size_t>(__builtin_ctzll(bits));
  }
  std::size_t NextBlank(std::size_t p) const { return NextSet(blank, p, 0); }
  std::size_t NextNotPlain(std::size_t p) const { return NextSet(plain, p, ~std::uint64_t{0}); }
  // The first non-blank at or after p, or limit when there is none before it.
  std::size_t NextSolid(std::size_t p, std::size_t limit) const {
    std::size_t i = p >> 6;
    std::uint64_t bits = ~blank[i] & (~std::uint64_t{0} << (p & 63));
    while (!bits) {
      if (++i > (limit >> 6)) return limit;
      bits = ~blank[i];
    }
    return std::min((i << 6) + static_cast<std::size_t>(__builtin_ctzll(bits)), limit);
  }

 private:
#if defined(__SSE2__)
  static __m128i Everywhere(bool on) { return _mm_set1_epi8(on ? -1 : 0); }
  static unsigned Mask(__m128i v) { return static_cast<unsigned>(_mm_movemask_epi8(v)); }
  // Bytes from lo to hi: those that taking lo leaves at most hi - lo.
  static __m128i InRange(__m128i v, char lo, char hi) {
    const __m128i d = _mm_sub_epi8(v, _mm_set1_epi8(lo));
    return _mm_cmpeq_epi8(_mm_subs_epu8(d, _mm_set1_epi8(static_cast<char>(hi - lo))), _mm_setzero_si128());
  }
#endif
};

// With Padded, the text is a TPaddedLine's copy; without, reads past the text see the
// virtual blank.
template <bool Padded>
class TStandardScanner {
 public:
  TStandardScanner(TSxSyntaxParser& list, std::string_view text, int lineIndex,
                   const TSxSyntaxAttributes& a, TSxResumePoint from)
      : list_(list), t_(text), n_(text.size() + (static_cast<unsigned char>(text.back()) < 32 ? 0 : 1)),
        line_(lineIndex), a_(a), state_(from.State),
        // A hex prefix holding a blank could only make tokens with blanks inside: it never matches.
        hexPrefix_(a.Has(HasHexPrefix) && std::none_of(a.LitHexPrefix.begin(), a.LitHexPrefix.end(), [](char c) {
                     return IsBlank(static_cast<unsigned char>(c));
                   })),
        from_(from.Column), p_(from.Column) {}
  TStandardScanner(TSxSyntaxParser& list, const TPaddedLine& padded, std::size_t size, int lineIndex,
                   const TSxSyntaxAttributes& a, TToken from)
      : TStandardScanner(list, std::string_view(padded.text, size), lineIndex, a, TSxResumePoint{0, from}) {
    padded_ = &padded;
  }

  // Pause at the first resume point after `minTokens` tokens or at or after `column`.
  void PauseAt(std::size_t minTokens, std::uint32_t column) {
    minTokens_ = minTokens;
    pauseColumn_ = column;
  }
  bool Paused() const { return paused_; }
  std::size_t Position() const { return p_; }

  TToken Run(const TByteTable& tb) {
    const std::size_t n = n_;
    while (p_ < n) {
      const unsigned char c = At(p_);
      if (!InBody(state_)) {
        const std::uint8_t k = tb.kind[c];
        if (k == kBlank) {
          if (PassBlanks(tb)) break;
          continue;
        }
        if (const TToken one = tb.single[c]) {
          FlushWord();
          state_ = one;
          Add(p_, 1, one);
          ++p_;
          continue;
        }
        const bool numberStart = IsDigit(c) && (p_ == 0 || !tb.wordChar[At(p_ - 1)]);
        if (k != kSpecial && !numberStart) {
          // Fast path: extend the word by the whole run of plain bytes of its class,
          // up to a digit that starts a number. Reads past the text see the line's
          // final blank, which stops every run.
          state_ = tokText;
          const int cls = k == kSymbol ? int{kWord} : k;
          if (wordLen_ > 0 && cls != CharClass(At(p_ - 1))) FlushWord();
          if (wordLen_ == 0) wordStart_ = p_;
          std::size_t q = p_;
          if (k == kPunct) {
            while (tb.kind[At(q)] == kPunct) ++q;
          } else {
            for (;;) {
              if constexpr (Padded) q = padded_->NextNotPlain(q);
              while (tb.kind[At(q)] == kWord) ++q;
              if (tb.kind[At(q)] != kSymbol || IsDigit(At(++q))) break;
            }
          }
          wordLen_ += q - p_;
          p_ = q;
          // Most runs end at a blank: it is passed here, without another turn of the loop.
          if (p_ < n && tb.kind[At(p_)] == kBlank && PassBlanks(tb)) break;
          continue;
        }
      }
      const char ch = static_cast<char>(c);
      if (InBody(state_) || (tb.opener[c] && OpenerAt())) {
        FlushWord();
        ScanBody();
        if (paused_) break;
      } else if (IsLitChar(ch, a_.LitString)) {
        FlushWord();
        ScanQuoted(a_.LitString, tokString, tokStringEnd);
      } else if (a_.Has(HasChar) && IsLitChar(ch, a_.LitChar)) {
        FlushWord();
        ScanQuoted(a_.LitChar, tokChar, tokCharEnd);
      } else if (hexPrefix_ && StartsWith(t_, p_, a_.LitHexPrefix)) {
        FlushWord();
        ScanHex();
      } else if (IsDigit(c) && (p_ == 0 || !tb.wordChar[At(p_ - 1)])) {
        FlushWord();
        ScanNumber();
      } else {
        Other(ch);
      }
    }
    return state_;
  }

 private:
  // The character at p; the virtual blank after the line's last character.
  unsigned char At(std::size_t p) const {
    if constexpr (Padded) return static_cast<unsigned char>(t_.data()[p]);
    else return p < t_.size() ? static_cast<unsigned char>(t_[p]) : ' ';
  }
  // Does lit occur at p, the virtual blank included?
  bool LiteralAt(std::size_t p, const std::string& lit) const {
    if (lit.empty() || n_ - p < lit.size()) return false;
    for (std::size_t i = 0; i < lit.size(); ++i)
      if (At(p + i) != static_cast<unsigned char>(lit[i])) return false;
    return true;
  }
  // At a blank: it ends the word and resets the state, and a run of blanks does nothing
  // more. Answers whether to pause after them.
  bool PassBlanks(const TByteTable& tb) {
    state_ = tokText;
    FlushWord();
    if constexpr (Padded) {
      if (tb.blanksPlain) {
        p_ = padded_->NextSolid(p_ + 1, n_);
        return false;
      }
    }
    do ++p_; while (p_ < n_ && tb.kind[At(p_)] == kBlank);
    return p_ < t_.size() && PauseHere();
  }
  // At a resume point p_ (after a blank, no word pending): stop here when asked to.
  bool PauseHere() {
    if constexpr (Padded) return false;  // a copied line is tokenized whole
    if (p_ <= from_ || (list_.Count() < static_cast<int>(std::min<std::size_t>(minTokens_, 0x7FFFFFFF)) &&
                        p_ < pauseColumn_))
      return false;
    paused_ = true;
    return true;
  }

  bool OpenerAt() {
    struct Opener { std::uint16_t flag; const std::string& lit; TToken kind; };
    const Opener openers[] = {{HasELComment, a_.LitELCommentB, tokELCommentBeg},
                              {HasMLComment, a_.LitMLCommentB, tokMLCommentBeg},
                              {HasILComment, a_.LitILComment, tokILComment},
                              {HasILCompDir, a_.LitILCompDir, tokILCompDir},
                              {HasMLCompDir, a_.LitMLCompDirB, tokMLCompDirBeg}};
    for (const Opener& o : openers) {
      if (a_.Has(o.flag) && LiteralAt(p_, o.lit)) {
        state_ = o.kind;
        return true;
      }
    }
    return false;
  }

  void Add(std::size_t start, std::size_t len, TToken kind) {
    list_.AddToken(static_cast<std::uint32_t>(start + 1), static_cast<std::uint32_t>(len), kind);
  }

  void FlushWord() {
    if (wordLen_ == 0) return;
    TToken kind = tokText;
    if (a_.OnParseWord)
      a_.OnParseWord(list_, std::string_view(t_.data() + wordStart_, wordLen_), static_cast<int>(wordStart_ + 1),
                     line_, kind);
    Add(wordStart_, wordLen_, kind);
    wordLen_ = 0;
  }

  // Does the piece [start, p_] end with the closer of the current body kind?
  bool Closes(std::size_t start) {
    const std::string* closer = nullptr;
    TToken ends = state_;
    if (state_ == tokMLCommentBeg) closer = &a_.LitMLCommentE, ends = tokMLCommentEnd;
    else if (state_ == tokELCommentBeg) closer = &a_.LitELCommentE, ends = tokELCommentEnd;
    else if (state_ == tokMLCompDirBeg) closer = &a_.LitMLCompDirE, ends = tokMLCompDirEnd;
    if (!closer || closer->empty() || At(p_) != static_cast<unsigned char>(closer->back()) ||
        !EndsWith(t_.substr(start, p_ + 1 - start), *closer))
      return false;
    state_ = ends;
    return true;
  }

  void ScanBody() {
    std::size_t start = p_;
    bool inPiece = true;
    if (state_ == tokILComment || state_ == tokILCompDir) {
      // Nothing closes an in-line body: it is cut into pieces at blanks up to the end. The
      // piece under way at the start may be empty (the body went on from the line before).
      const std::size_t n = n_;
      std::size_t p = p_;
      while (p < n) {
        if constexpr (Padded) {
          p = std::min(padded_->NextBlank(p), n);
          Add(start, p - start, state_);
          p = padded_->NextSolid(p, n);
        } else {
          while (p < n && !IsBlank(At(p))) ++p;
          Add(start, p - start, state_);
          while (p < n && IsBlank(At(p))) ++p;
        }
        if (p < n) {
          p_ = p;
          if (PauseHere()) return;
          start = p;
        }
      }
      p_ = p;
      return;
    }
    for (; p_ < n_; ++p_) {
      if (!IsBlank(At(p_))) {
        if (!inPiece) {
          if (PauseHere()) return;
          start = p_, inPiece = true;
        }
        if (Closes(start)) {
          ++p_;
          Add(start, p_ - start, state_);
          return;
        }
      } else if (inPiece) {
        Add(start, p_ - start, state_);
        inPiece = false;
      }
    }
  }

  void ScanQuoted(char q, TToken pieceKind, TToken endKind) {
    std::size_t start = p_;
    ++p_;
    bool inPiece = true;
    for (; p_ < n_; ++p_) {
      const char ch = static_cast<char>(At(p_));
      if (!IsBlank(static_cast<unsigned char>(ch))) {
        if (!inPiece) start = p_, inPiece = true;
        if (ch == q) {
          ++p_;
          Add(start, p_ - start, endKind);
          return;
        }
      } else if (inPiece) {
        Add(start, p_ - start, pieceKind);
        inPiece = false;
      }
    }
  }

  void ScanHex() {
    std::size_t start = p_;
    p_ += a_.LitHexPrefix.size();
    while (p_ < n_ && IsHexDigit(At(p_))) ++p_;
    Add(start, p_ - start, tokHexValue);
  }

  void ScanNumber() {
    std::size_t start = p_;
    TToken kind = tokInteger;
    for (;;) {
      ++p_;
      if (p_ < n_ && IsLitChar(static_cast<char>(At(p_)), a_.LitDecimalPoint)) {
        if (kind == tokFloat) break;
        kind = tokFloat;
      }
      if (p_ >= n_) break;
      const char ch = static_cast<char>(At(p_));
      if (!IsDigit(static_cast<unsigned char>(ch)) && !IsLitChar(ch, a_.LitDecimalPoint)) break;
    }
    Add(start, p_ - start, kind);
  }

  void Other(char ch) {
    state_ = tokText;
    switch (ch) {
      case ';': state_ = tokEndLine; break;
      case '[': state_ = tokBrackedBeg; break;
      case ']': state_ = tokBracketEnd; break;
      case '.': state_ = tokPoint; break;
      case '(': state_ = tokParenBeg; break;
      case ')': state_ = tokParenEnd; break;
      case ',': state_ = tokComma; break;
      default:
        if (a_.Has(HasReference) && IsLitChar(ch, a_.LitReference)) state_ = tokReference;
        else if (a_.Has(HasDereference) && IsLitChar(ch, a_.LitDereference)) state_ = tokDereference;
    }
    const unsigned char c = static_cast<unsigned char>(ch);
    if (state_ != tokText) {
      FlushWord();
      Add(p_, 1, state_);
    } else if (!IsBlank(c)) {
      if (wordLen_ > 0 && CharClass(c) != CharClass(At(p_ - 1))) FlushWord();
      if (wordLen_ == 0) wordStart_ = p_;
      ++wordLen_;
    } else {
      FlushWord();
    }
    ++p_;
  }

  TSxSyntaxParser& list_;
  std::string_view t_;
  std::size_t n_;  // the line's length with the virtual blank
  int line_;
  const TSxSyntaxAttributes& a_;
  TToken state_;
  bool hexPrefix_;
  std::size_t from_;
  std::size_t p_;
  std::size_t minTokens_ = static_cast<std::size_t>(-1);
  std::size_t pauseColumn_ = static_cast<std::size_t>(-1);
  bool paused_ = false;
  std::size_t wordStart_ = 0;
  std::size_t wordLen_ = 0;
  const TPaddedLine* padded_ = nullptr;  // set exactly when Padded
};

}  // namespace

TToken TSxSyntaxParser::Parse(std::string_view lineText, int lineIndex,
                              const TSxSyntaxAttributes* attributes, TToken prevState) {
  TToken result = (attributes && attributes->Has(BLSeparated))
                      ? ParseBlankSeparated(lineText, lineIndex, *attributes, prevState)
                      : ParseStandard(lineText, lineIndex, attributes, prevState);
  NeedsParse = 0;
  return result;
}

namespace {
// Scans under way on this thread. A word handler may tokenize another line while its own
// line is scanned: the scan it interrupted keeps reading the padded copy and the table it
// started with, so neither may change until it ends.
thread_local int scansUnderWay = 0;
struct TScanning {
  TScanning() { ++scansUnderWay; }
  ~TScanning() { --scansUnderWay; }
  TScanning(const TScanning&) = delete;
  TScanning& operator=(const TScanning&) = delete;
};

// The byte table depends only on the flags and the literals' first characters; it is
// rebuilt when those change, not per line. A scan that starts inside another one with
// other attributes gets a table of its own in `own`, and the cached one stays.
const TByteTable& TableFor(const TSxSyntaxAttributes& a, std::unique_ptr<TByteTable>& own) {
  const std::array<char, 12> key = {
      static_cast<char>(a.SyntaxFlags & 0xFF), static_cast<char>(a.SyntaxFlags >> 8), a.LitString, a.LitChar,
      a.LitReference, a.LitDereference, First(a.LitELCommentB), First(a.LitMLCommentB), First(a.LitILComment),
      First(a.LitILCompDir), First(a.LitMLCompDirB), First(a.LitHexPrefix)};
  thread_local std::array<char, 12> cachedKey{};
  thread_local std::unique_ptr<TByteTable> table;
  if (table && key == cachedKey) return *table;
  if (scansUnderWay > 0) {
    own = std::make_unique<TByteTable>(a);
    return *own;
  }
  table = std::make_unique<TByteTable>(a);
  cachedKey = key;
  return *table;
}
}  // namespace

TToken TSxSyntaxParser::ParseStandard(std::string_view lineText, int lineIndex,
                                      const TSxSyntaxAttributes* attributes, TToken prevState) {
  Clear();
  if (lineText.empty() || !attributes) return prevState;
  // A line of ordinary length is copied before blanks that end every run of bytes. A line
  // tokenized by a word handler is read in place, so the copy the outer line is read from
  // stays as it is.
  const bool nested = scansUnderWay > 0;
  std::unique_ptr<TByteTable> own;
  const TByteTable& table = TableFor(*attributes, own);
  const TScanning scanning;
  if (lineText.size() > TPaddedLine::kMax || nested)
    return TStandardScanner<false>(*this, lineText, lineIndex, *attributes, TSxResumePoint{0, prevState})
        .Run(table);
  thread_local TPaddedLine copy;
  copy.Fill(lineText, table);
  return TStandardScanner<true>(*this, copy, lineText.size(), lineIndex, *attributes, prevState).Run(table);
}

TSxChunkEnd TSxSyntaxParser::ParseStandardChunk(std::string_view lineText, int lineIndex,
                                                const TSxSyntaxAttributes& attributes, TSxResumePoint from,
                                                std::size_t minTokens, std::uint32_t pauseColumn) {
  Clear();
  if (lineText.empty()) return TSxChunkEnd{false, from};
  std::unique_ptr<TByteTable> own;
  const TByteTable& table = TableFor(attributes, own);
  const TScanning scanning;
  TStandardScanner<false> scanner(*this, lineText, lineIndex, attributes, from);
  scanner.PauseAt(minTokens, pauseColumn);
  const TToken state = scanner.Run(table);
  return TSxChunkEnd{scanner.Paused(), {static_cast<std::uint32_t>(scanner.Position()), state}};
}

TToken TSxSyntaxParser::ParseBlankSeparated(std::string_view text, int lineIndex,
                                            const TSxSyntaxAttributes& a, TToken prevState) {
  Clear();
  if (text.empty()) return tokText;
  TToken prevKind = prevState;
  bool inStr = false, inChr = false;
  std::size_t p = 0;
  const std::size_t n = text.size();
  while (p < n) {
    while (p < n && IsBlank(static_cast<unsigned char>(text[p]))) ++p;
    if (p >= n) break;
    const std::size_t start = p;
    while (p < n && !IsBlank(static_cast<unsigned char>(text[p]))) ++p;
    const std::string_view w = text.substr(start, p - start);

    TToken kind = prevKind;
    if (!IsOpenMultiLineKind(kind)) {
      if (a.Has(HasELComment) && StartsWith(w, 0, a.LitELCommentB)) kind = tokELCommentBeg;
      else if (a.Has(HasMLComment) && StartsWith(w, 0, a.LitMLCommentB)) kind = tokMLCommentBeg;
      else if (a.Has(HasILComment) && StartsWith(w, 0, a.LitILComment)) kind = tokILComment;
      else if (a.Has(HasMLCompDir) && StartsWith(w, 0, a.LitMLCompDirB)) kind = tokMLCompDirBeg;
      else if (a.Has(HasILCompDir) && StartsWith(w, 0, a.LitILCompDir)) kind = tokILCompDir;
    }
    if (kind == tokILComment || kind == tokILCompDir) {
      // an in-line comment or directive runs to the end of the line
    } else if (kind == tokMLCommentBeg) {
      if (EndsWith(w, a.LitMLCommentE)) kind = tokMLCommentEnd;
    } else if (kind == tokELCommentBeg) {
      if (EndsWith(w, a.LitELCommentE)) kind = tokELCommentEnd;
    } else if (kind == tokMLCompDirBeg) {
      if (EndsWith(w, a.LitMLCompDirE)) kind = tokMLCompDirEnd;
    } else {
      kind = tokText;
      if (IsLitChar(w.front(), a.LitString)) inStr = true;
      if (inStr) {
        kind = tokStringEnd;
        if (IsLitChar(w.back(), a.LitString)) inStr = false;
      } else if (IsLitChar(w.front(), a.LitChar)) {
        inChr = true;
      }
      if (inChr) {
        kind = tokCharEnd;
        if (IsLitChar(w.back(), a.LitChar)) inChr = false;
      } else {
        const std::string& hex = a.LitHexPrefix;
        auto allFrom = [&](std::size_t from, auto pred) {
          for (std::size_t i = from; i < w.size(); ++i)
            if (!pred(static_cast<unsigned char>(w[i]))) return false;
          return true;
        };
        if (!hex.empty() && w.size() > hex.size() && StartsWith(w, 0, hex) &&
            allFrom(hex.size(), IsHexDigit)) {
          kind = tokHexValue;
        } else if (w.size() >= 2 && (w[0] == '-' || IsDigit(static_cast<unsigned char>(w[0])))) {
          if (allFrom(1, IsDigit)) kind = tokInteger;
          else if (allFrom(1, [&](unsigned char c) { return IsDigit(c) || IsLitChar(static_cast<char>(c), a.LitDecimalPoint); }))
            kind = tokFloat;
        }
      }
    }
    if (kind == tokText && a.OnParseWord) a.OnParseWord(*this, w, static_cast<int>(start + 1), lineIndex, kind);
    AddToken(static_cast<std::uint32_t>(start + 1), static_cast<std::uint32_t>(w.size()), kind);
    prevKind = kind;
  }
  return IsOpenMultiLineKind(prevKind) ? prevKind : tokText;
}
