// paletteer95-cli: the theme core from the command line, for batch work,
// scripting and black-box tests.

#include "cli/cli_io.h"
#include "cli/image_commands.h"
#include "cli/package_commands.h"
#include "cli/preview_command.h"
#include "cli/read_command.h"
#include "cli/save_command.h"
#include "platform/text_file.h"
#include "theme/theme_writer.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QStringList>

#include <cstdio>
#include <cstring>
#include <memory>
#include <tuple>

using namespace p95;
using namespace p95::cli;

namespace {

const char* const kUsage = R"(Usage: paletteer95-cli COMMAND [ARGUMENTS]

Builds Windows 95 desktop themes from the command line.

Commands:
  write DOC.json [-o FILE]   Write the .theme text of the document in DOC.json
                             to FILE, or to standard output without -o.
                             The text is exactly what a save writes, except
                             that preset colours are not applied: the colours
                             written are the document's own "colours".
  save DOC.json [--skip-missing]
                             Save the theme of the document as the program's
                             Save does after its question: apply the preset,
                             reload the default ReadMe, copy every chosen file
                             into C:\Program Files\Plus!\Themes\NAME\ under
                             its standard name, write NAME.theme and, when
                             included, ReadMe.txt. Drive C is the folder
                             $PALETTEER95_DRIVE_C, else
                             ~/.local/share/paletteer95/drive_c. Relative
                             file paths are taken from the working directory.
                             Nothing is written when a chosen file is missing
                             (exit 1, naming every one) unless --skip-missing
                             is given: the theme is then saved without them.
                             Exit 1 too when the themes folder does not exist
                             on drive C, or when the theme was saved but its
                             clean-up or ReadMe.txt did not complete.
  read FILE.theme [--into DOC.json]
                             Open FILE.theme as the program's Open does and
                             print the document afterwards as JSON, with
                             "messages": every message the reading shows, in
                             order. The reading starts from the start-up
                             document, or from DOC.json on top of it. The
                             output can be given to write and save again.
                             Exit 1 when FILE.theme cannot be read, 2 when
                             it is no theme file (nothing is printed then).
  preview DOC.json -o FILE.png [--size WIDTHxHEIGHT] [--screen WIDTHxHEIGHT]
                             Draw the theme of the document as a Windows 95
                             desktop and write it to FILE.png: the Background
                             colour and the wallpaper (bitmap or JPEG,
                             centred or tiled), the desktop icons, an
                             inactive and an active window, a message box,
                             a tool tip and the 14 pointers, in the theme's
                             25 colours (in preset mode the preset's), with
                             the sizes and fonts of its metric records.
                             The desktop is a screen of --screen pixels
                             (default 800x600; 640x480 and 1024x768 as in
                             the window) drawn scaled to --size, its
                             proportions kept, the pointers in a strip below
                             it. Default size: the screen pixel for pixel
                             and the strip (800x644), at most 4096 a side.
                             Empty icon and pointer slots show the standard
                             ones. A file the document names that is
                             missing or not a picture is drawn as absent and
                             named on standard error; the picture is still
                             written. Needs no display.
  pack NAME [-o FILE.zip]    Pack the saved theme NAME (the folder
                             C:\Program Files\Plus!\Themes\NAME\ with every
                             file in it) into a zip archive to give away,
                             NAME.zip in the working directory without -o.
                             Refused (exit 2) when the theme does not exist
                             or its NAME.theme names files the folder lacks;
                             they are listed.
  install FILE [--force]     Install a theme package (zip, 7z, rar, lha/lzh,
                             cab, tar, tar.gz, tar.bz2, tar.xz, tar.zst) into
                             the themes folder, so that every %ThemeDir% name
                             of every .theme file in it finds its file; print
                             each installed .theme file and the names the
                             package had no file for. Whole or nothing: an
                             unsafe or damaged package installs nothing
                             (exit 2, or 1 when it cannot be read), and the
                             files of a theme already installed are replaced
                             only with --force.
  image info IMAGE           The disk image of an emulated Windows 95 machine:
                             format, partitions (numbered as Linux numbers
                             them: 1-4 primary, 5 onwards logical) with
                             label, FAT type, size and free space, and
                             whether a program has it open.
  image list IMAGE [--partition N]
                             The themes in the image's themes folder.
  image check IMAGE [--partition N]
                             Check the FAT volume: exit 0 consistent, 1 not,
                             naming what is wrong.
  --help                     Show this help.
  --version                  Show the version.

read, save, preview, pack and install take --drive-c PATH [--partition N]:
drive C is the folder PATH, or a FAT partition of the disk image PATH (raw,
fixed VHD, HDI, HDX; or $PALETTEER95_DRIVE_C naming an image). On an image,
save and install write whole or nothing, and refuse (exit 1, nothing written)
while another program has the image open or locked, or when the volume is
dirty, inconsistent, full or read-only. The program directory stays in the
local drive C folder.

DOC.json may be "-" for standard input.

The JSON form of a theme document is one object; every field is optional and
a missing field takes its start-up value:
  name              string   the theme name
  pointers          14 strings, pointer slots 0..13 (Normal Select .. Alternate Select)
  sounds            20 strings, sound slots 0..19 (Asterisk .. Start Windows)
  icons             6 strings: 0 wallpaper, 1 My Computer, 2 Network
                    Neighbourhood, 3 Recycle Bin Empty, 4 Recycle Bin Full,
                    5 screen saver
  jpegWallpaper     bool     the wallpaper is a JPEG (when absent: true exactly
                             when the wallpaper path ends in ".jpg")
  tiled             bool     Tiled rather than Center
  colourMode        "preset" or "own"
  preset            0..10    the preset scheme (0 Default .. 10 Travel)
  colours           25 strings, colour texts such as "0 0 128"
  iconMetrics       string   the [Metrics] IconMetrics value
  nonclientMetrics  string   the [Metrics] NonclientMetrics value
  includeReadMe     bool     write ReadMe.txt into the theme directory
  readMe            string   the ReadMe text
An empty string is an empty slot. File paths are host paths or Windows paths
such as "C:\\Windows\\Media\\ding.wav".

Exit status: 0 done, 1 the operation failed, 2 bad input or usage.
)";

int writeCommand(const QStringList& args) {
    CommandArgs given;
    if (auto status =
            parseCommandArgs(QStringLiteral("write"), args, {kOutput}, QStringLiteral("document"),
                             QStringLiteral(" (DOC.json)"), true, given))
        return *status;
    const QString& input = given.operand;
    const QString output = given.values.value(QStringLiteral("-o"));

    const auto doc = readDocument(input, ThemeDocument(), Failed);
    if (!doc.ok())
        return doc.status;
    auto bytes = themeFileBytes(*doc.value);
    if (!bytes)
        return fail(BadInput, QStringLiteral("%1: %2").arg(input, bytes.error().reason));
    if (output.isEmpty())
        return writeStdout(bytes.value())
                   ? Done
                   : fail(Failed, QStringLiteral("cannot write to standard output"));
    if (auto status = writeFileAtomically(output, bytes.value()); !status.ok())
        return fail(Failed, status.error().text());
    return Done;
}

// Qt's own notes while it starts the GUI side (a missing XDG_RUNTIME_DIR on a
// server) are not the command's: standard error carries its lines only.
void quietQt(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(text));
}

} // namespace

int main(int argc, char* argv[]) {
    // The preview draws text, which needs a GUI application; it opens no
    // window, so the offscreen platform serves everywhere, display or not.
    std::unique_ptr<QCoreApplication> app;
    if (argc > 1 && std::strcmp(argv[1], "preview") == 0) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(quietQt);
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QStringList args = app->arguments();
    args.removeFirst();
    if (args.isEmpty())
        return usage(QStringLiteral("no command given"));
    const QString command = args.takeFirst();
    if (command == QStringLiteral("--help") || command == QStringLiteral("-h") ||
        command == QStringLiteral("help")) {
        writeStdout(QByteArray(kUsage));
        return Done;
    }
    if (command == QStringLiteral("--version")) {
        writeStdout(QByteArray("paletteer95-cli " P95_VERSION "\n"));
        return Done;
    }
    if (command == QStringLiteral("write"))
        return writeCommand(args);
    if (command == QStringLiteral("image"))
        return imageCommand(args);
    using Command = int (*)(const QStringList&);
    const QList<std::tuple<QString, Command, bool>> onDrive{
        {QStringLiteral("save"), saveCommand, true},
        {QStringLiteral("read"), readCommand, false},
        {QStringLiteral("preview"), previewCommand, false},
        {QStringLiteral("pack"), packCommand, false},
        {QStringLiteral("install"), installCommand, true},
    };
    for (const auto& [name, run, writes] : onDrive) {
        if (command != name)
            continue;
        // Drive C may be an image: its changes are written when the command has run.
        DriveSession drive;
        if (auto status = drive.open(args, writes))
            return *status;
        return drive.finish(run(args));
    }
    return usage(QStringLiteral("unknown command %1").arg(command));
}
