#pragma once

// The real host services, one of each, for main(). Make it after the
// QApplication and let it go before it.

#include "platform/qt_file_dialog.h"
#include "platform/qt_mci_device.h"
#include "platform/qt_message_box.h"
#include "platform/qt_pictures.h"
#include "platform/services.h"

namespace p95 {

struct RealServices {
    QtFileDialog fileDialog;
    QtMessageBox messages;
    QtInputBox input;
    QtMciDevice audio;
    QtPictures pictures;
    QtClipboard clipboard;
    SystemClock clock;

    Services services();
};

} // namespace p95
