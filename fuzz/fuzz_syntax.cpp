// Fuzzes the syntax definition reader: any bytes load or fail with the version
// error, never crash, and a failed load changes nothing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/Errors.h"
#include "syntax/SyntaxAttributes.h"
#include "syntax/TokenList.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TSxSyntaxAttributes attrs;
  const std::string text(reinterpret_cast<const char*>(data), size);
  try {
    attrs.LoadSyntaxText(text);
  } catch (const ESxError&) {
    if (attrs.SyntaxFlags != 0x027F) std::abort();
    return 0;
  }
  // Whatever was loaded, the tokenizer copes with it.
  TSxSyntaxParser list;
  list.Parse(text.substr(0, 200), 0, &attrs, tokText);
  return 0;
}
