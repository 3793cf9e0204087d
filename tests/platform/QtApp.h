/** @file QtApp.h
 ** The one application object the Qt tests of this folder share; made on first use. */
#pragma once

#include <QGuiApplication>

inline QGuiApplication& EnsureQtApp() {
  static int argc = 1;
  static char name[] = "test_platform";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication* app =
      QGuiApplication::instance() ? static_cast<QGuiApplication*>(QGuiApplication::instance())
                                  : new QGuiApplication(argc, argv);
  return *app;
}
