/** @file QtResources.cpp
 ** The glyph resources are compiled into the static sx_qt library, so they are brought
 ** in explicitly before the first load. */
#include "QtResources.h"

#include <QString>

#include "../document/Bookmarks.h"
#include "QtSurface.h"

static void InitComponentResources() { Q_INIT_RESOURCE(component); }

TSxQtBitmap::TSxQtBitmap(QImage image)
    : image_(image.isNull() ? QImage() : image.convertToFormat(QImage::Format_RGB32)) {}

TColor TSxQtBitmap::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) return 0;
  return FromQColor(QColor(image_.pixel(x, y)));
}

std::unique_ptr<TSxBitmap> LoadQtBitmap(const char* name) {
  static const bool initialised = (InitComponentResources(), true);
  (void)initialised;
  QImage image(QStringLiteral(":/") + QString::fromLatin1(name));
  return std::make_unique<TSxQtBitmap>(std::move(image));
}

void InstallQtBitmapLoader() { SetBitmapLoader(&LoadQtBitmap); }
