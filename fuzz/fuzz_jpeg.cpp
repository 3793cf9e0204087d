// Fuzzes the About picture's JPEG decoding: any bytes decode to a picture of the
// declared size or fail with the picture error; nothing else escapes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "JpegImage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const QImage image = DecodeJpeg(std::string_view(reinterpret_cast<const char*>(data), size));
    if (image.isNull() || image.width() <= 0 || image.height() <= 0) std::abort();
    if (image.format() != QImage::Format_RGB888) std::abort();
  } catch (const EJpegError&) {
  }
  return 0;
}
