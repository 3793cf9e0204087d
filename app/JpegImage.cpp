/** @file JpegImage.cpp
 ** libjpeg decompression into a QImage. libjpeg reports errors by calling back; the
 ** callback jumps out of the library to the one frame below that holds only plain data. */
#include "JpegImage.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>

#include <jpeglib.h>

namespace {

struct TJpegErrorMgr {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void OnJpegError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<TJpegErrorMgr*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

// Warnings (level -1) mean damaged data that libjpeg would paper over with grey; they fail too.
void OnJpegMessage(j_common_ptr cinfo, int level) {
  if (level < 0) OnJpegError(cinfo);
}

// Everything between setjmp and a possible longjmp lives in this frame and is plain
// data, so the jump skips no destructor. out is owned by the caller.
bool DecodeInto(const unsigned char* data, unsigned long size, QImage& out, char* message) {
  jpeg_decompress_struct cinfo;
  TJpegErrorMgr err;
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = OnJpegError;
  err.pub.emit_message = OnJpegMessage;
  err.message[0] = '\0';
  if (setjmp(err.jump)) {
    std::strcpy(message, err.message);
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, const_cast<unsigned char*>(data), size);
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&cinfo);
  // A header may declare up to 65500 x 65500 pixels (12 GB); refuse before allocating.
  constexpr unsigned long long MaxPixels = 1ull << 26;
  const bool fits = static_cast<unsigned long long>(cinfo.output_width) * cinfo.output_height <= MaxPixels;
  if (fits)
    out = QImage(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height), QImage::Format_RGB888);
  if (!fits || out.isNull()) {
    std::snprintf(message, JMSG_LENGTH_MAX, "picture of %ux%u is too large", cinfo.output_width,
                  cinfo.output_height);
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = out.scanLine(static_cast<int>(cinfo.output_scanline));
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

}  // namespace

QImage DecodeJpeg(std::string_view bytes) {
  if (bytes.empty()) throw EJpegError("Ошибка изображения JPEG: нет данных");
  QImage image;
  char message[JMSG_LENGTH_MAX];
  if (!DecodeInto(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()),
                  image, message))
    throw EJpegError(std::string("Ошибка изображения JPEG: ") + message);
  return image;
}
