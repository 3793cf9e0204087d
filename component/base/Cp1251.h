/** @file Cp1251.h
 ** The Windows-1251 code page: conversion to and from Unicode, letters, case and collation.
 ** Document text is cp1251 bytes everywhere; Unicode appears only at the platform boundary. */
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace cp1251 {

// Unicode code point of a cp1251 byte (total: every byte has one).
char32_t ToUnicode(unsigned char c);
// cp1251 byte of a code point; '?' when the code page cannot represent it.
char FromUnicode(char32_t u);

std::u32string Decode(std::string_view bytes);
std::string Encode(std::u32string_view text);
// UTF-8 (file names, clipboard, typed text) to cp1251 and back.
std::string FromUtf8(std::string_view utf8);
std::string ToUtf8(std::string_view bytes);

// ASCII letters and digits and every Cyrillic letter of the code page.
bool IsAlphaNumeric(unsigned char c);
// The characters that build words: letters, digits and '_'.
inline bool IsWordChar(unsigned char c) { return c == '_' || IsAlphaNumeric(c); }
unsigned char ToLower(unsigned char c);
// ToLower for every byte, for loops that fold many bytes (Latin and Cyrillic, Ё to ё).
const unsigned char* LowerTable();
// Case-ignoring comparison for Latin and Cyrillic letters (Ё/ё included, sorted
// right after Е); the same order for sorting and searching. <0, 0, >0.
int CompareText(std::string_view a, std::string_view b);

}  // namespace cp1251
