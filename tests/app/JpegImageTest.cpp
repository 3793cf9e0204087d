// The JPEG decoder on the About window's picture and on damaged data.
#include <gtest/gtest.h>

#include <QFile>
#include <string>

#include "AppImages.h"
#include "JpegImage.h"

namespace {

class JpegImageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitAppResources();
    QFile f(":/app/about1.jpg");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray data = f.readAll();
    jpeg_.assign(data.constData(), static_cast<std::size_t>(data.size()));
  }
  std::string jpeg_;
};

TEST_F(JpegImageTest, DecodesTheAboutPicture) {
  QImage img = DecodeJpeg(jpeg_);
  ASSERT_FALSE(img.isNull());
  EXPECT_EQ(img.width(), 100);
  EXPECT_EQ(img.height(), 100);
  // Sky at the top, grass at the bottom: the decoded colours are those drawn.
  QColor sky = img.pixelColor(5, 5), grass = img.pixelColor(5, 95);
  EXPECT_GT(sky.blue(), sky.red());
  EXPECT_GT(grass.green(), grass.blue());
}

TEST_F(JpegImageTest, TruncatedPictureFailsWithAMessage) {
  for (std::size_t keep : {jpeg_.size() / 2, std::size_t{200}, std::size_t{20}, std::size_t{2}}) {
    try {
      DecodeJpeg(jpeg_.substr(0, keep));
      ADD_FAILURE() << "decoded " << keep << " bytes";
    } catch (const EJpegError& e) {
      EXPECT_EQ(std::string(e.what()).rfind("Ошибка изображения JPEG: ", 0), 0u) << e.what();
    }
  }
}

TEST_F(JpegImageTest, GarbageEmptyAndCorruptedDataFail) {
  EXPECT_THROW(DecodeJpeg(""), EJpegError);
  EXPECT_THROW(DecodeJpeg("not a picture at all"), EJpegError);
  EXPECT_THROW(DecodeJpeg(jpeg_.substr(0, 4) + std::string(4000, '\x55')), EJpegError);
  // Marker bytes in the middle of the entropy-coded data break the scan: an error, not a grey picture.
  std::string bad = jpeg_;
  for (std::size_t i = bad.size() / 2; i < bad.size() / 2 + 64; i += 2) {
    bad[i] = '\xFF';
    bad[i + 1] = '\xD9';
  }
  EXPECT_THROW(DecodeJpeg(bad), EJpegError);
  EXPECT_EQ(DecodeJpeg(jpeg_).size(), QSize(100, 100)) << "the decoder recovers after a failure";
}

TEST(AppImagesTest, EveryGlyphAndBothAboutPicturesLoad) {
  std::vector<QIcon> icons = LoadImageList();
  ASSERT_EQ(icons.size(), 18u);
  for (std::size_t i = 0; i < icons.size(); ++i)
    EXPECT_FALSE(icons[i].pixmap(16, 16).isNull()) << i;
  QString error;
  EXPECT_EQ(LoadAboutPicture(&error).size(), QSize(100, 100)) << error.toStdString();
  EXPECT_EQ(LoadAboutBitmap().size(), QSize(150, 150));
}

}  // namespace
