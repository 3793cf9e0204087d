// The JPEG decoder on the About window's picture, on damaged data and on headers declaring
// a huge size (found by fuzzing: a 65435 x 65435 header asked for 12 GB).
#include <gtest/gtest.h>

#include <QFile>
#include <string>

#include "AppImages.h"
#include "JpegImage.h"

namespace {

std::string AboutJpeg() {
  InitAppResources();
  QFile f(":/app/about1.jpg");
  const QByteArray data = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  return std::string(data.constData(), static_cast<std::size_t>(data.size()));
}

// The message of the decoder's error, or "decoded".
std::string DecodeError(const std::string& jpeg) {
  try {
    DecodeJpeg(jpeg);
    return "decoded";
  } catch (const EJpegError& e) {
    return e.what();
  }
}

TEST(JpegImageTest, DecodesTheAboutPictureAndRefusesDamagedOnes) {
  const std::string jpeg = AboutJpeg();
  // Marker bytes in the middle of the entropy-coded data break the scan: an error, not a grey picture.
  std::string markers = jpeg;
  for (std::size_t i = markers.size() / 2; i < markers.size() / 2 + 64; i += 2) markers[i] = '\xFF', markers[i + 1] = '\xD9';
  for (const std::string& bad : {jpeg.substr(0, jpeg.size() / 2), jpeg.substr(0, 200), jpeg.substr(0, 20),
                                 jpeg.substr(0, 2), std::string(), std::string("not a picture at all"),
                                 jpeg.substr(0, 4) + std::string(4000, '\x55'), markers})
    EXPECT_EQ(DecodeError(bad).rfind("Ошибка изображения JPEG: ", 0), 0u) << DecodeError(bad);
  const QImage img = DecodeJpeg(jpeg);  // also: the decoder recovers after failures
  ASSERT_EQ(img.size(), QSize(100, 100));
  // Sky at the top, grass at the bottom: the decoded colours are those drawn.
  const QColor sky = img.pixelColor(5, 5), grass = img.pixelColor(5, 95);
  EXPECT_GT(sky.blue(), sky.red());
  EXPECT_GT(grass.green(), grass.blue());
}

TEST(JpegImageTest, HugeDeclaredSizeIsRefusedAsTooLarge) {
  std::string jpeg = AboutJpeg();
  const std::size_t sof = jpeg.find("\xFF\xC0");  // baseline frame: height, then width, big-endian
  ASSERT_NE(sof, std::string::npos);
  jpeg.replace(sof + 5, 4, "\xFF\x9B\xFF\x9B");
  EXPECT_NE(DecodeError(jpeg).find("too large"), std::string::npos) << DecodeError(jpeg);
}

TEST(AppImagesTest, EveryGlyphAndBothAboutPicturesLoad) {
  for (const QIcon& icon : LoadImageList()) EXPECT_FALSE(icon.pixmap(16, 16).isNull());
  QString error;
  EXPECT_EQ(LoadAboutPicture(&error).size(), QSize(100, 100)) << error.toStdString();
  EXPECT_EQ(LoadAboutBitmap().size(), QSize(150, 150));
}

}  // namespace
