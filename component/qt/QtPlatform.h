/** @file QtPlatform.h
 ** One call that connects the component to Qt: glyph resources and the clipboard. */
#pragma once

// Call once at start, after the QApplication exists and before the first editor control.
void InstallQtPlatform();
