/** @file SyntaxAttributes.h
 ** The language definition the tokenizer follows and the display attributes of all 256 kinds. */
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "SyntaxTypes.h"

class TSxSyntaxParser;

// One entry of the attribute table.
struct TTokenAttr {
  TColor Fore = DefaultColor;
  TColor Back = DefaultColor;
  std::uint8_t Style = 0;
  friend bool operator==(const TTokenAttr&, const TTokenAttr&) = default;
};

// Sender, Word, Pos (1-based column), Line (0-based), Token (in: tokText; out: the kind).
using TUserTokenEvent =
    std::function<void(TSxSyntaxParser& sender, std::string_view word, int pos, int line, TToken& token)>;

// Bits of SyntaxFlags.
enum : std::uint16_t {
  HasELComment = 1 << 0, HasMLComment = 1 << 1, HasILComment = 1 << 2, HasHexPrefix = 1 << 3,
  ValidFloat = 1 << 4, HasReference = 1 << 5, HasDereference = 1 << 6, BLSeparated = 1 << 7,
  HasILCompDir = 1 << 8, HasMLCompDir = 1 << 9, HasChar = 1 << 10
};

// What the attributes need from the editor that owns them: a load runs inside
// one update of the line storage and asks it to re-tokenize every line.
class TSxSyntaxHost {
 public:
  virtual ~TSxSyntaxHost() = default;
  virtual void BeginUpdate() = 0;
  virtual void EndUpdate() = 0;
  virtual void RequestRetokenizeAll() = 0;
};

class TSxSyntaxAttributes {
 public:
  explicit TSxSyntaxAttributes(TSxSyntaxHost* owner = nullptr);

  // Replaces literals, flags and the whole attribute table from a Name=Value
  // file. Throws ESxFileError when the file cannot be read and ESxError
  // "Неподходящая версия синтаксиса" on a version mismatch; either way nothing changes.
  void LoadSyntax(const std::string& fileName);
  // The same from text already in memory (the file reader and the fuzzer use it).
  void LoadSyntaxText(std::string_view text);

  TColor GetTokenColor(TToken kind, bool isBack) const {
    return isBack ? TokenAttrs[kind].Back : TokenAttrs[kind].Fore;
  }
  std::uint8_t GetTokenStyle(TToken kind) const { return TokenAttrs[kind].Style; }
  bool Has(std::uint16_t flag) const { return (SyntaxFlags & flag) != 0; }

  TSxSyntaxHost* Owner;
  char LitString = '\'';
  char LitChar = '\'';
  std::string LitILCompDir = "#";
  std::string LitMLCompDirB = "{$";
  std::string LitMLCompDirE = "}";
  std::string LitILComment = "//";
  std::string LitMLCommentB = "{";
  std::string LitMLCommentE = "}";
  std::string LitELCommentB = "(*";
  std::string LitELCommentE = "*)";
  std::string LitHexPrefix = "$";
  char LitDecimalPoint = '.';
  char LitReference = '@';
  char LitDereference = '^';
  std::uint16_t SyntaxFlags = 0x027F;
  std::array<TTokenAttr, 256> TokenAttrs{};
  TUserTokenEvent OnParseWord;
  // The word handler may be called on several threads at once: it changes nothing another
  // call reads. Tokenizing every line of a long document then takes two threads.
  bool ParseWordOnAnyThread = false;

 private:
  void Apply(std::string_view text);
};

// The integer reading of colour values: decimal, or hexadecimal after "$" or
// "0x"; leading blanks and a sign allowed; anything else gives fallback.
std::int64_t ReadIntegerOr(std::string_view s, std::int64_t fallback);
