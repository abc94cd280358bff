#include <gtest/gtest.h>

#include <QCoreApplication>

// The command service runs on an event loop, so its tests need an application object.
int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
