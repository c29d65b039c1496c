#pragma once

// The real host services, one of each, for main(). Make it after the
// QApplication and let it go before it.

#include "platform/gui/qt_file_dialog.h"
#include "platform/gui/qt_message_box.h"
#include "platform/gui/qt_pictures.h"
#include "platform/gui/services.h"
#include "platform/mci_device.h"

#include <memory>

namespace p95 {

// The audio device, made when it is first sent a command (a sound played,
// or the birthday tune): only then are the audio library (p95_audio, on Qt
// Multimedia) and its GStreamer backend loaded, so that the first window
// needs neither. Until then it holds the device type and file name and is
// not open. A library that cannot be loaded makes each command an error.
class LazyMciDevice : public MciDevice {
public:
    LazyMciDevice();
    ~LazyMciDevice() override;
    LazyMciDevice(const LazyMciDevice&) = delete;
    LazyMciDevice& operator=(const LazyMciDevice&) = delete;

    void setDeviceType(const QString& type) override;
    QString deviceType() const override { return m_type; }
    void setFileName(const QString& path) override;
    QString fileName() const override { return m_file; }
    MciMode mode() const override;
    Status command(const QString& command) override;
    Status waitUntilLoaded(int timeoutMs = 2000) override;
    bool hasOutput() const override;

    // Whether the device, and with it the audio library, has been made.
    bool made() const { return m_device != nullptr; }

private:
    Status make();

    QString m_type;
    QString m_file;
    std::unique_ptr<MciDevice> m_device;
};

struct RealServices {
    QtFileDialog fileDialog;
    QtMessageBox messages;
    QtInputBox input;
    QtListChoice choice;
    LazyMciDevice audio;
    QtPictures pictures;
    QtClipboard clipboard;
    SystemClock clock;

    Services services();
};

} // namespace p95
