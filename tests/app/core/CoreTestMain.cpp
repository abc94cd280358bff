#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QStandardPaths>

// The window's logic runs under Qt Core alone, as the fuzz targets run it: no display, no
// widget, and never the user's own data folders.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
