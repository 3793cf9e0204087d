/** @file JpegImage.h
 ** Decoding a JPEG picture with libjpeg into a QImage. */
#pragma once

#include <QImage>
#include <string_view>

#include "base/Errors.h"

// A picture that libjpeg cannot decode; the message says why, in libjpeg's words.
class EJpegError : public ESxError {
 public:
  using ESxError::ESxError;
};

// Decodes the whole picture to 24-bit RGB. Corrupt or truncated data (libjpeg's
// warnings included) and pictures too large to hold throw EJpegError.
QImage DecodeJpeg(std::string_view bytes);
