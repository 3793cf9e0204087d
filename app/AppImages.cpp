/** @file AppImages.cpp
 ** Loading the compiled-in pictures. */
#include "AppImages.h"

#include <QFile>

#include "JpegImage.h"

void InitAppResources() {
  static const bool done = [] {
    Q_INIT_RESOURCE(app);
    return true;
  }();
  (void)done;
}

std::vector<QIcon> LoadImageList() {
  InitAppResources();
  std::vector<QIcon> icons;
  icons.reserve(ImageCount);
  for (int i = 0; i < ImageCount; ++i)
    icons.emplace_back(QString(":/app/glyph_%1.png").arg(i, 2, 10, QLatin1Char('0')));
  return icons;
}

QImage LoadAboutPicture(QString* error) {
  InitAppResources();
  QFile f(":/app/about1.jpg");
  if (!f.open(QIODevice::ReadOnly)) {
    if (error) *error = f.errorString();
    return {};
  }
  QByteArray data = f.readAll();
  try {
    return DecodeJpeg(std::string_view(data.constData(), static_cast<std::size_t>(data.size())));
  } catch (const EJpegError& e) {
    if (error) *error = QString::fromUtf8(e.what());
    return {};
  }
}

QImage LoadAboutBitmap() {
  InitAppResources();
  return QImage(":/app/about2.bmp");
}
