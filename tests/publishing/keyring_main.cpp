#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    // The home, the session bus and the keyring are the test's own, made by
    // with_keyring.sh.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
