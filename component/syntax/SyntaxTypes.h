/** @file SyntaxTypes.h
 ** Token kinds of the tokenizer and the kinds' properties. */
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "../base/Color.h"
#include "../base/SmallSet.h"

// A token kind. 0..30 belong to the tokenizer; the host may use any other value.
using TToken = std::uint8_t;

inline constexpr TToken tokBlank = 0;
inline constexpr TToken tokText = 1;
inline constexpr TToken tokString = 2;
inline constexpr TToken tokStringEnd = 3;
inline constexpr TToken tokHexValue = 4;
inline constexpr TToken tokInteger = 5;
inline constexpr TToken tokFloat = 6;
inline constexpr TToken tokILComment = 7;
inline constexpr TToken tokMLCommentBeg = 8;
inline constexpr TToken tokMLCommentEnd = 9;
inline constexpr TToken tokELCommentBeg = 10;
inline constexpr TToken tokELCommentEnd = 11;
inline constexpr TToken tokEndLine = 12;
inline constexpr TToken tokParenBeg = 13;
inline constexpr TToken tokParenEnd = 14;
inline constexpr TToken tokBrackedBeg = 15;
inline constexpr TToken tokBracketEnd = 16;
inline constexpr TToken tokOperator = 17;
inline constexpr TToken tokPoint = 18;
inline constexpr TToken tokComma = 19;
inline constexpr TToken tokReference = 20;
inline constexpr TToken tokDereference = 21;
inline constexpr TToken tokReserved = 22;
inline constexpr TToken tokILCompDir = 23;
inline constexpr TToken tokMLCompDirBeg = 24;
inline constexpr TToken tokMLCompDirEnd = 25;
inline constexpr TToken tokChar = 26;
inline constexpr TToken tokCharEnd = 27;
inline constexpr TToken tokErroneous = 28;
inline constexpr TToken tokErroneous2 = 29;
inline constexpr TToken tokReservedSIO = 30;

// True for the kinds whose token leaves a multi-line comment or directive open.
constexpr bool IsOpenMultiLineKind(TToken k) {
  return k == tokMLCommentBeg || k == tokELCommentBeg || k == tokMLCompDirBeg;
}

// The state a line starts in, given the last kind of the nearest earlier line with tokens.
constexpr TToken CarriedState(TToken lastKind) { return IsOpenMultiLineKind(lastKind) ? lastKind : tokText; }
