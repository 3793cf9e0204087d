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
  // Markers inside the entropy-coded data break the scan: an error, not a grey picture.
  std::string markers = jpeg, huge = jpeg;
  for (std::size_t i = markers.size() / 2; i < markers.size() / 2 + 64; i += 2) markers[i] = '\xFF', markers[i + 1] = '\xD9';
  const std::size_t sof = huge.find("\xFF\xC0");  // baseline frame: height, then width, big-endian
  ASSERT_NE(sof, std::string::npos);
  huge.replace(sof + 5, 4, "\xFF\x9B\xFF\x9B");
  for (const auto& [bad, says] : {std::pair(jpeg.substr(0, jpeg.size() / 2), "Ошибка изображения JPEG: "),
                                  std::pair(markers, "Ошибка изображения JPEG: "), std::pair(huge, "too large")})
    EXPECT_NE(DecodeError(bad).find(says), std::string::npos) << DecodeError(bad);
  const QImage img = DecodeJpeg(jpeg);  // also: the decoder recovers after failures
  ASSERT_EQ(img.size(), QSize(100, 100));
  const QColor sky = img.pixelColor(5, 5), grass = img.pixelColor(5, 95);
  EXPECT_GT(sky.blue(), sky.red());
  EXPECT_GT(grass.green(), grass.blue());
}

TEST(AppImagesTest, EveryGlyphAndBothAboutPicturesLoad) {
  for (const QIcon& icon : LoadImageList()) EXPECT_FALSE(icon.pixmap(16, 16).isNull());
  QString error;
  EXPECT_EQ(LoadAboutPicture(&error).size(), QSize(100, 100)) << error.toStdString();
  EXPECT_EQ(LoadAboutBitmap().size(), QSize(150, 150));
}

}  // namespace
