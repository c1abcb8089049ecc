// Test entry shared by every test program; starts a QCoreApplication-free
// gtest main for core tests and leaves Qt programs to create their own app.
#include <gtest/gtest.h>

#ifdef ORVALIS_TEST_QT_APP
#include <QApplication>
#endif

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
