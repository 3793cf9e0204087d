/** @file QtPlatform.cpp
 ** Installs the Qt services of the platform layer. */
#include "QtPlatform.h"

#include "QtClipboard.h"
#include "QtResources.h"

void InstallQtPlatform() {
  InstallQtBitmapLoader();
  InstallQtClipboard();
}
