/** @file Errors.h
 ** Exceptions that carry a message the user must see. */
#pragma once

#include <stdexcept>
#include <string>

// A failure the user must see: the message is shown as it stands.
class ESxError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A file that could not be opened, read, created or written. Code is the errno value.
class ESxFileError : public ESxError {
 public:
  ESxFileError(const std::string& message, int code) : ESxError(message), Code(code) {}
  int Code;
};

// "Cannot open file "name". reason" — the wording every file error of the component uses.
std::string FileErrorMessage(const std::string& verb, const std::string& fileName, int code);
[[noreturn]] void ThrowFileError(const std::string& verb, const std::string& fileName, int code);
