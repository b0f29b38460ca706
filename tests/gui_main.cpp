#include <gtest/gtest.h>

#include <QApplication>

#include "ui/qt_translation.h"

int main(int argc, char** argv) {
    // The GUI tests run without a display unless told otherwise.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Qt's own texts as the program shows them.
    ui::InstallQtTranslation();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
