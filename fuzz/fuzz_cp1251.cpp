// Fuzzes the cp1251 codec both ways: every byte string survives the trip through
// Unicode and through UTF-8 unchanged, any UTF-8 (valid or not) converts to cp1251
// without growing, and the case-ignoring collation is a consistent order.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/Cp1251.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

int Sign(int v) { return (v > 0) - (v < 0); }

// Well-formed UTF-8 of code points below U+10000, the only ones cp1251 decodes to.
bool IsUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const std::size_t n = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : 9;
    if (n == 9 || i + n >= s.size()) return false;
    for (std::size_t k = 1; k <= n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += n + 1;
  }
  return true;
}

std::string Folded(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = static_cast<char>(cp1251::ToLower(static_cast<unsigned char>(c)));
  return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  // cp1251 -> Unicode -> cp1251 and cp1251 -> UTF-8 -> cp1251 lose nothing.
  const std::u32string wide = cp1251::Decode(bytes);
  Check(wide.size() == bytes.size());
  Check(cp1251::Encode(wide) == bytes);
  const std::string utf8 = cp1251::ToUtf8(bytes);
  Check(IsUtf8(utf8));
  Check(utf8.size() >= bytes.size() && utf8.size() <= 3 * bytes.size());
  Check(cp1251::FromUtf8(utf8) == bytes);

  // The same bytes read as UTF-8 (mostly malformed): one cp1251 byte per character at
  // most, and converting the result again is stable.
  const std::string narrow = cp1251::FromUtf8(bytes);
  Check(narrow.size() <= bytes.size());
  Check(cp1251::FromUtf8(cp1251::ToUtf8(narrow)) == narrow);

  // Letters keep their class under case folding.
  for (unsigned char c : bytes) Check(cp1251::IsAlphaNumeric(cp1251::ToLower(c)) == cp1251::IsAlphaNumeric(c));

  // Collation over three pieces of the input: reflexive, antisymmetric, transitive,
  // and equal only for texts equal when case is ignored.
  const std::string_view all(bytes);
  const std::size_t third = all.size() / 3;
  const std::string_view a = all.substr(0, third), b = all.substr(third, third), c = all.substr(2 * third);
  Check(cp1251::CompareText(a, a) == 0);
  const int ab = Sign(cp1251::CompareText(a, b)), bc = Sign(cp1251::CompareText(b, c)),
            ac = Sign(cp1251::CompareText(a, c));
  Check(ab == -Sign(cp1251::CompareText(b, a)));
  if (ab <= 0 && bc <= 0) Check(ac <= 0);
  if (ab >= 0 && bc >= 0) Check(ac >= 0);
  if (ab == 0) Check(Folded(a) == Folded(b));
  return 0;
}
