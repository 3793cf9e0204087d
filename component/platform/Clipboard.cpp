/** @file Clipboard.cpp
 ** The process-wide clipboard slot. */
#include "Clipboard.h"

namespace {
TSxMemoryClipboard& Fallback() {
  static TSxMemoryClipboard c;
  return c;
}
TSxClipboard* current = nullptr;
}  // namespace

TSxClipboard& ProcessClipboard() { return current ? *current : Fallback(); }
void SetProcessClipboard(TSxClipboard* clipboard) { current = clipboard; }
