// Test entry shared by every test program. Qt programs get the application
// object they need (ORVALIS_TEST_QT_APP: 1 core, 2 widgets).
#include <gtest/gtest.h>

#if ORVALIS_TEST_QT_APP == 2
#include <QApplication>
using TestApp = QApplication;
#elif ORVALIS_TEST_QT_APP == 1
#include <QCoreApplication>
using TestApp = QCoreApplication;
#endif

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
#ifdef ORVALIS_TEST_QT_APP
  // Tests never need a screen; ORVALIS_TEST_DISPLAY=1 shows the windows.
  if (qEnvironmentVariableIsEmpty("ORVALIS_TEST_DISPLAY")) qputenv("QT_QPA_PLATFORM", "offscreen");
  TestApp app(argc, argv);
#endif
  return RUN_ALL_TESTS();
}
