// The report tests paint with Qt's font machinery, which needs a GUI application object.

#include <gtest/gtest.h>

#include <QGuiApplication>

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
