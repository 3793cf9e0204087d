/** @file SyntaxAttributes.cpp
 ** Built-in defaults and the reader of the Name=Value syntax definition file. */
#include "SyntaxAttributes.h"

#include <limits>
#include <unordered_map>

#include "../base/Errors.h"
#include "TextLines.h"

namespace {

void SetDefaultAttributes(std::array<TTokenAttr, 256>& attrs) {
  attrs.fill(TTokenAttr{});
  auto set = [&](std::initializer_list<int> kinds, TColor fore, TColor back, std::uint8_t style) {
    for (int k : kinds) attrs[static_cast<std::size_t>(k)] = {fore, back, style};
  };
  set({tokString, tokStringEnd, tokChar, tokCharEnd}, 0xFF0000, DefaultColor, fsItalic | fsUnderline);
  set({tokHexValue}, 0x800000, DefaultColor, fsBold);
  set({tokInteger}, 0x800000, DefaultColor, 0);
  set({tokFloat}, 0x800000, DefaultColor, fsItalic);
  set({tokILComment, tokMLCommentBeg, tokMLCommentEnd}, 0x808080, DefaultColor, fsItalic);
  set({tokELCommentBeg, tokELCommentEnd}, 0x808080, SystemColor(5), fsItalic);
  set({tokParenBeg, tokParenEnd, tokBrackedBeg, tokBracketEnd}, 0xFF0000, DefaultColor, 0);
  set({tokILCompDir, tokMLCompDirBeg, tokMLCompDirEnd}, 0x008000, DefaultColor, 0);
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Lowered(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = AsciiLower(c);
  return r;
}

// Name=Value entries by lower-cased name; the first occurrence of a name counts.
// Names longer than any key can never match, so they are not kept.
class TNameValues {
 public:
  explicit TNameValues(std::string_view text) {
    ForEachTextLine(text, [&](std::string_view line) {
      std::size_t eq = line.find('=');
      if (eq == std::string_view::npos || eq > kLongestKey) return;
      values_.try_emplace(Lowered(line.substr(0, eq)), line.substr(eq + 1));
    });
  }
  std::string_view Value(std::string_view key) const {
    auto it = values_.find(Lowered(key));
    return it == values_.end() ? std::string_view() : std::string_view(it->second);
  }

 private:
  static constexpr std::size_t kLongestKey = 16;
  std::unordered_map<std::string, std::string> values_;
};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::int64_t ReadIntegerOr(std::string_view s, std::int64_t fallback) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  bool hex = false;
  if (i < s.size() && s[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= s.size()) return fallback;
  std::uint64_t v = 0;
  for (; i < s.size(); ++i) {
    int d = hex ? HexDigit(s[i]) : (s[i] >= '0' && s[i] <= '9' ? s[i] - '0' : -1);
    if (d < 0) return fallback;
    v = v * (hex ? 16 : 10) + static_cast<unsigned>(d);
    if (v > 0xFFFFFFFFull) return fallback;
  }
  // Hexadecimal values use the full 32 bits; decimal ones must fit a signed integer.
  if (hex) {
    std::int64_t r = static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
    return negative ? -r : r;
  }
  if (v > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()) + (negative ? 1 : 0))
    return fallback;
  return negative ? -static_cast<std::int64_t>(v) : static_cast<std::int64_t>(v);
}

TSxSyntaxAttributes::TSxSyntaxAttributes(TSxSyntaxHost* owner) : Owner(owner) {
  SetDefaultAttributes(TokenAttrs);
}

void TSxSyntaxAttributes::LoadSyntax(const std::string& fileName) {
  if (Owner) Owner->BeginUpdate();
  try {
    LoadSyntaxText(ReadFileBytes(fileName));
  } catch (...) {
    if (Owner) Owner->EndUpdate();
    throw;
  }
  if (Owner) Owner->EndUpdate();
}

void TSxSyntaxAttributes::LoadSyntaxText(std::string_view text) {
  // The whole load is one update of the owner's lines, so closing it re-tokenizes
  // every line with the new definitions (also when the version check fails, the
  // update still closes and leaves the editor usable).
  if (Owner) Owner->BeginUpdate();
  try {
    Apply(text);
  } catch (...) {
    if (Owner) Owner->EndUpdate();
    throw;
  }
  if (Owner) Owner->EndUpdate();
}

void TSxSyntaxAttributes::Apply(std::string_view text) {
  TNameValues values(text);
  if (values.Value("SyntaxVersion") != "1.0") throw ESxError("Неподходящая версия синтаксиса");

  auto ch = [&](const char* key) {
    std::string_view v = values.Value(key);
    return v.empty() ? '\0' : v[0];
  };
  auto str = [&](const char* key) { return std::string(values.Value(key)); };
  LitString = ch("LitString");
  LitChar = ch("LitChar");
  LitILCompDir = str("LitILCompDir");
  LitMLCompDirB = str("LitMLCompDirB");
  LitMLCompDirE = str("LitMLCompDirE");
  LitILComment = str("LitILComment");
  LitMLCommentB = str("LitMLCommentB");
  LitMLCommentE = str("LitMLCommentE");
  LitELCommentB = str("LitELCommentB");
  LitELCommentE = str("LitELCommentE");
  LitHexPrefix = str("LitHexPrefix");
  LitDecimalPoint = ch("LitDecimalPoint");
  LitReference = ch("LitReference");
  LitDereference = ch("LitDereference");

  static const std::pair<const char*, std::uint16_t> kFlags[] = {
      {"HasChar", HasChar},         {"HasELComment", HasELComment}, {"HasMLComment", HasMLComment},
      {"HasILComment", HasILComment}, {"HasILCompDir", HasILCompDir}, {"HasMLCompDir", HasMLCompDir},
      {"HasHexPrefix", HasHexPrefix}, {"ValidFloat", ValidFloat},     {"HasReference", HasReference},
      {"HasDereference", HasDereference}, {"BLSeparated", BLSeparated}};
  SyntaxFlags = 0;
  for (const auto& [key, bit] : kFlags)
    if (values.Value(key) == "Y") SyntaxFlags |= bit;

  for (int n = 0; n < 256; ++n) {
    const std::string num = std::to_string(n);
    TTokenAttr& a = TokenAttrs[static_cast<std::size_t>(n)];
    a.Fore = static_cast<TColor>(ReadIntegerOr(values.Value("Fore" + num), DefaultColor));
    a.Back = static_cast<TColor>(ReadIntegerOr(values.Value("Back" + num), DefaultColor));
    a.Style = 0;
    if (values.Value("Bold" + num) == "Y") a.Style |= fsBold;
    if (values.Value("ULin" + num) == "Y") a.Style |= fsUnderline;
    if (values.Value("Ital" + num) == "Y") a.Style |= fsItalic;
  }
  if (Owner) Owner->RequestRetokenizeAll();
}
