#pragma once
// The one QApplication of a test program that shows widgets, made on first
// use with the program's name as its argv[0].
#include <QApplication>

namespace lw::test {

inline QApplication& testApplication(const char* name) {
  static int argc = 1;
  static char* argv[] = {const_cast<char*>(name), nullptr};
  // Never destroyed: tearing Qt down from an exit handler crashes (at the
  // latest once the print support has been used).
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

}  // namespace lw::test
