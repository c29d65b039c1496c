#pragma once

// The theme document: every slot of one theme, and the fixed tables that say
// where each slot lives (button caption, .theme key, standard file name).
// Plain value type, Qt Core only: the editor window shows and edits one, the
// writer, reader and save take one.

#include "colour/colour_table.h"

#include <QString>

#include <array>
#include <string_view>

namespace p95 {

inline constexpr int kPointerCount = 14;
inline constexpr int kSoundCount = 20;
inline constexpr int kIconsCount = 6; // the shared Icons array: 0 wallpaper, 1..4 icons, 5 saver
inline constexpr int kWallpaperIndex = 0;
inline constexpr int kScreenSaverIndex = 5;
inline constexpr int kFirstDesktopIcon = 1;
inline constexpr int kLastDesktopIcon = 4;

// Windows 95 paths the program's logic is written against; the platform layer
// maps them onto the host.
inline constexpr std::string_view kThemesRoot = "C:\\Program Files\\Plus!\\Themes\\";
inline constexpr std::string_view kWindowsDir = "C:\\Windows\\";

struct PointerSlot {
    std::string_view caption; // Command3(i)
    std::string_view key;     // [Control Panel\Cursors]
};

inline constexpr std::array<PointerSlot, kPointerCount> kPointerSlots{{
    {"Normal Select", "Arrow"},
    {"Help Select", "Help"},
    {"Working in Background", "AppStarting"},
    {"Busy", "Wait"},
    {"Precision Select", "Crosshair"},
    {"Text Select", "IBeam"},
    {"Handwriting", "NWPen"},
    {"Unavailable", "No"},
    {"Vertical Resize", "SizeNS"},
    {"Horizontal Resize", "SizeWE"},
    {"Diagonal Resize 1 (NW-SE)", "SizeNWSE"},
    {"Diagonal Resize 2 (SW-NE)", "SizeNESW"},
    {"Move", "SizeAll"},
    {"Alternate Select", "UpArrow"},
}};

// Order in which pointer keys appear in a .theme file.
inline constexpr std::array<int, kPointerCount> kPointerFileOrder{0, 1, 2, 3,  6,  7,  8,
                                                                  9, 4, 5, 10, 11, 12, 13};

struct SoundSlot {
    std::string_view caption;   // Command4(i); the indexes are alphabetical by caption
    std::string_view eventPath; // [AppEvents\Schemes\Apps\<eventPath>\.Current]
};

inline constexpr std::array<SoundSlot, kSoundCount> kSoundSlots{{
    {"Asterisk", ".Default\\SystemAsterisk"},
    {"Close Program", ".Default\\Close"},
    {"Critical Stop", ".Default\\SystemHand"},
    {"Default Beep", ".Default\\SystemDefault"},
    {"Default Sound", ".Default\\.Default"},
    {"Empty Recycle Bin", "Explorer\\EmptyRecycleBin"},
    {"Exclamation", ".Default\\SystemExclamation"},
    {"Exit Windows", ".Default\\SystemExit"},
    {"Maximize", ".Default\\Maximize"},
    {"Menu Command", ".Default\\MenuCommand"},
    {"Menu Pop-up", ".Default\\MenuPopup"},
    {"Minimize", ".Default\\Minimize"},
    {"Open Program", ".Default\\Open"},
    {"Program Error", ".Default\\AppGPFault"},
    {"Question", ".Default\\SystemQuestion"},
    {"Restore Down", ".Default\\RestoreDown"},
    {"Restore Up", ".Default\\RestoreUp"},
    {"Ring In", ".Default\\RingIn"},
    {"Ring Out", ".Default\\Ringout"}, // "Ringout" with a lower-case o, as the theme manager has it
    {"Start Windows", ".Default\\SystemStart"},
}};

// Order in which sound sections appear in a .theme file.
inline constexpr std::array<int, kSoundCount> kSoundFileOrder{4,  13, 8, 9, 10, 11, 12, 1,  15, 16,
                                                              17, 18, 0, 3, 6,  7,  2,  14, 19, 5};

// Captions of the Icons array entries (the buttons Command7, Command5(1..4), Command6).
inline constexpr std::array<std::string_view, kIconsCount> kIconsCaptions{
    "Wallpaper",         "My Computer",      "Network Neighbourhood",
    "Recycle Bin Empty", "Recycle Bin Full", "Screen Saver"};

inline constexpr std::string_view kMyComputerSection =
    "[CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\DefaultIcon]";
inline constexpr std::string_view kNetworkSection =
    "[CLSID\\{208D2C60-3AEA-1069-A2D7-08002B30309D}\\DefaultIcon]";
inline constexpr std::string_view kRecycleBinSection =
    "[CLSID\\{645FF040-5081-101B-9F08-00AA002F954E}\\DefaultIcon]";

// Metric records as the theme manager stores them: the bytes of ICONMETRICS
// (76) and NONCLIENTMETRICS (340) as decimal numbers.
extern const std::string_view kDefaultIconMetrics;
extern const std::string_view kDefaultNonclientMetrics;

enum class ColourMode { Preset, Own };

// One slot that holds a file: a family and the index within it.
enum class SlotFamily { Pointer, Sound, Icons };
struct SlotRef {
    SlotFamily family;
    int index;
    friend bool operator==(SlotRef, SlotRef) = default;
};

struct ThemeDocument {
    QString name;
    std::array<QString, kPointerCount> pointers;
    std::array<QString, kSoundCount> sounds;
    std::array<QString, kIconsCount> icons;
    bool jpegWallpaper = false;
    bool tiled = false; // false: "Center"
    ColourMode colourMode = ColourMode::Preset;
    int preset = 0;
    std::array<QString, kColourCount> colours;
    QString iconMetrics;
    QString nonclientMetrics;
    bool includeReadMe = false;
    QString readMe;

    // Start-up values: empty slots, "Center", preset mode with the first preset,
    // the default colours and metrics.
    ThemeDocument();

    const QString& path(SlotRef slot) const;
    QString& path(SlotRef slot);
    bool isEmpty(SlotRef slot) const { return path(slot).isEmpty(); }

    friend bool operator==(const ThemeDocument&, const ThemeDocument&) = default;
};

// Every file slot in the order a save copies them: pointers, sounds, the
// wallpaper, icons 1..4, the screen saver.
const std::array<SlotRef, kPointerCount + kSoundCount + kIconsCount>& copyOrder();

QString slotCaption(SlotRef slot);

// ".ani" when the chosen file's name ends in ".ani" in any letter case, else ".cur".
QString pointerExtension(const QString& chosenPath);

// Extension of the slot's file in the theme directory.
QString finalExtension(const ThemeDocument& doc, SlotRef slot);

// Extension of the slot's copy in the save's scratch folder (".ani" for every pointer).
QString scratchExtension(const ThemeDocument& doc, SlotRef slot);

// Theme name + " " + slot caption + extension: the one computation that names a
// slot's copy in the theme directory and in the .theme file.
QString standardFileName(const ThemeDocument& doc, SlotRef slot);

// Themes root + name, without a final backslash (a Windows-form path).
QString themeDirectory(const QString& themeName);
// Themes root + name + "\" + name + ".theme".
QString themeFilePath(const QString& themeName);

QString toQString(std::string_view text);

} // namespace p95
