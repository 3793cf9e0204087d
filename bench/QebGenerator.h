/** @file QebGenerator.h
 ** Deterministic QEB-like cp1251 source for benchmarks: nested braces, // and { }
 ** comments, strings, numbers and Cyrillic words, with CR LF line ends. */
#pragma once

#include <cstddef>
#include <string>

// About `bytes` bytes of source (whole lines, so slightly more).
std::string GenerateQebBytes(std::size_t bytes, unsigned seed = 1);
// Exactly `lines` lines of source.
std::string GenerateQebLines(std::size_t lines, unsigned seed = 1);

// Resident memory now and at its peak, in bytes.
std::size_t CurrentRss();
std::size_t PeakRss();
// Resident memory that is not file-backed: the heap, without the code pages a first run
// of some code brings in.
std::size_t CurrentAnonymousRss();
