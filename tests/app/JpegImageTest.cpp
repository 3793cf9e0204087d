// The JPEG decoder on the About window's picture and on damaged data.
#include <gtest/gtest.h>

#include <QFile>
#include <string>

#include "AppImages.h"
#include "JpegImage.h"

namespace {

TEST(JpegImageTest, DecodesTheAboutPictureAndRefusesDamagedOnes) {
  InitAppResources();
  QFile f(":/app/about1.jpg");
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray data = f.readAll();
  const std::string jpeg(data.constData(), static_cast<std::size_t>(data.size()));
  // Marker bytes in the middle of the entropy-coded data break the scan: an error, not a grey picture.
  std::string markers = jpeg;
  for (std::size_t i = markers.size() / 2; i < markers.size() / 2 + 64; i += 2) markers[i] = '\xFF', markers[i + 1] = '\xD9';
  for (const std::string& bad : {jpeg.substr(0, jpeg.size() / 2), jpeg.substr(0, 200), jpeg.substr(0, 20),
                                 jpeg.substr(0, 2), std::string(), std::string("not a picture at all"),
                                 jpeg.substr(0, 4) + std::string(4000, '\x55'), markers}) {
    try {
      DecodeJpeg(bad);
      ADD_FAILURE() << "decoded " << bad.size() << " bytes";
    } catch (const EJpegError& e) {
      EXPECT_EQ(std::string(e.what()).rfind("Ошибка изображения JPEG: ", 0), 0u) << e.what();
    }
  }
  const QImage img = DecodeJpeg(jpeg);  // also: the decoder recovers after failures
  ASSERT_EQ(img.size(), QSize(100, 100));
  // Sky at the top, grass at the bottom: the decoded colours are those drawn.
  const QColor sky = img.pixelColor(5, 5), grass = img.pixelColor(5, 95);
  EXPECT_GT(sky.blue(), sky.red());
  EXPECT_GT(grass.green(), grass.blue());
}

TEST(AppImagesTest, EveryGlyphAndBothAboutPicturesLoad) {
  std::vector<QIcon> icons = LoadImageList();
  ASSERT_EQ(icons.size(), 18u);
  for (std::size_t i = 0; i < icons.size(); ++i) EXPECT_FALSE(icons[i].pixmap(16, 16).isNull()) << i;
  QString error;
  EXPECT_EQ(LoadAboutPicture(&error).size(), QSize(100, 100)) << error.toStdString();
  EXPECT_EQ(LoadAboutBitmap().size(), QSize(150, 150));
}

}  // namespace
