#pragma once

// The host services a window uses, handed to it at construction. The program
// passes the real ones; widget tests pass scripted fakes.

#include "platform/clock.h"
#include "platform/file_dialog.h"
#include "platform/gui/pictures.h"
#include "platform/mci_device.h"
#include "platform/message_box.h"

namespace p95 {

struct Services {
    FileDialogService& fileDialog;
    MessageBoxService& messages;
    InputBoxService& input;
    ListChoiceService& choice;
    MciDevice& audio; // the editor's one device (MMControl1)
    PictureService& pictures;
    ClipboardService& clipboard;
    Clock& clock;
};

} // namespace p95
