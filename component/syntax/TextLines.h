/** @file TextLines.h
 ** Splitting single-byte text into lines the way every reader of the component does. */
#pragma once

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <string>
#include <string_view>
#include <vector>

// The first CR, LF or NUL in [p, end), or end.
inline const char* FindLineEnd(const char* p, const char* end) {
#if defined(__SSE2__)
  // Sixteen bytes at a time: a line is mostly tens of bytes without a break.
  const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n'), nul = _mm_setzero_si128();
  for (; end - p >= 16; p += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const int hits = _mm_movemask_epi8(
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)), _mm_cmpeq_epi8(v, nul)));
    if (hits) return p + __builtin_ctz(static_cast<unsigned>(hits));
  }
#endif
  while (p < end && *p != '\r' && *p != '\n' && *p != '\0') ++p;
  return p;
}

// Calls emit(line) for each line of text. A line ends at CR, LF or CR LF; a NUL
// ends the text; a final line break adds no empty line; LF followed by CR gives
// an empty line between them.
template <typename Emit>
void ForEachTextLine(std::string_view text, Emit&& emit) {
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end && *p != '\0') {
    const char* s = p;
    p = FindLineEnd(p, end);
    emit(std::string_view(s, static_cast<std::size_t>(p - s)));
    if (p < end && *p == '\r') ++p;
    if (p < end && *p == '\n') ++p;
  }
}

inline std::vector<std::string> SplitTextLines(std::string_view text) {
  std::vector<std::string> lines;
  ForEachTextLine(text, [&](std::string_view l) { lines.emplace_back(l); });
  return lines;
}

// Reads a whole file as bytes; throws ESxFileError naming it when it cannot be opened or read.
std::string ReadFileBytes(const std::string& fileName);
// Opens a file for reading; a directory counts as not openable. Returns -1 with errno set.
int OpenForReading(const std::string& fileName);
// Reads the rest of an open file and closes it; a failure throws ESxFileError naming it.
std::string ReadOpenFile(int fd, const std::string& fileName);
