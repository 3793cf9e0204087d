/** @file AppImages.h
 ** The application's compiled-in pictures: the 18 glyphs of the image list and the
 ** two pictures of the About window. */
#pragma once

#include <QIcon>
#include <QImage>
#include <QString>
#include <vector>

// Registers the compiled-in pictures; safe to call more than once.
void InitAppResources();

// Glyph meanings by index: 0/1 outline section with children collapsed/expanded, 2 analysis,
// 3 copy, 4 cut, 5 paste, 6 new, 7 open, 8 save, 9 save as, 10 undo, 11 delete, 12 debug
// window and settings, 13 about, 15/16 outline leaf with a known/unknown first word; 14 and 17 free.
constexpr int ImageCount = 18;
std::vector<QIcon> LoadImageList();

// The About window's JPEG picture, decoded; on failure a null image and the reason in error.
QImage LoadAboutPicture(QString* error);
QImage LoadAboutBitmap();
