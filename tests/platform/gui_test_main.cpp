// main() of the test programs that need a QApplication: widgets, pixmaps,
// pointers, the clipboard and the media player, with the program's fonts.
// Headless unless the caller chose a platform.

#include "platform/audio/qt_mci_device.h"
#include "platform/pictures/fonts.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    p95::prepareMultimediaBackend();
    QApplication app(argc, argv);
    p95::installProgramFonts(); // the faces the program draws with
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
