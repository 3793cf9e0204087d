// Console demo: loads the demo document with the demo syntax and prints each line's tokens.
#include <cstdio>
#include <exception>

#include "document/MemoModel.h"
#include "platform/Cp1251.h"

int main(int argc, char** argv) {
  const char* file = argc > 1 ? argv[1] : "Main.qbl";
  const char* syntax = argc > 2 ? argv[2] : "qeb.syn";
  try {
    TSxMemoModel memo;
    memo.SyntaxAttributes->LoadSyntax(syntax);
    memo.Lines->LoadFromFile(file);
    for (int i = 0; i < memo.Lines->Count(); ++i) {
      std::printf("%4d| %s\n", i + 1, cp1251::ToUtf8(memo.Lines->Get(i)).c_str());
      TSxSyntaxParser tokens = memo.Lines->TokenList(i);
      for (const TSxSyntaxToken& t : tokens.Tokens())
        std::printf("      [%u,%u) kind %d \"%s\"\n", t.Start, t.Start + t.Len, t.Kind,
                    cp1251::ToUtf8(memo.Lines->Get(i).substr(t.Start, t.Len)).c_str());
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
