/** @file Errors.cpp
 ** Wording of file errors. */
#include "Errors.h"

#include <cstring>

std::string FileErrorMessage(const std::string& verb, const std::string& fileName, int code) {
  return "Не удается " + verb + " файл \"" + fileName + "\": " + std::strerror(code) +
         " (код " + std::to_string(code) + ")";
}

void ThrowFileError(const std::string& verb, const std::string& fileName, int code) {
  throw ESxFileError(FileErrorMessage(verb, fileName, code), code);
}
