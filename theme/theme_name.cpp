#include "theme/theme_name.h"

#include "platform/text_codec.h"
#include "theme/theme_document.h"

#include <QFile>
#include <QStringList>

#include <iterator>

namespace p95 {

namespace {

bool isControl(QChar c) {
    return c.unicode() < 0x20 || c == QChar(0x7f);
}

const QString kWindowsForbidden = QStringLiteral("\\/:*?\"<>|");

const QString kDevices = QStringLiteral("CON, PRN, AUX, NUL, COM0 to COM9, LPT0 to LPT9, CONIN$, "
                                        "CONOUT$");

// The names of QChar's scripts from Script_Latin on, in its order; the
// first three (unknown, inherited, common) name no script.
constexpr int kFirstNamedScript = QChar::Script_Latin;
// clang-format off
constexpr const char* kScriptNames[] = {
    "Latin", "Greek", "Cyrillic", "Armenian", "Hebrew", "Arabic", "Syriac", "Thaana", "Devanagari",
    "Bengali", "Gurmukhi", "Gujarati", "Oriya", "Tamil", "Telugu", "Kannada", "Malayalam",
    "Sinhala", "Thai", "Lao", "Tibetan", "Myanmar", "Georgian", "Hangul", "Ethiopic", "Cherokee",
    "Canadian Aboriginal", "Ogham", "Runic", "Khmer", "Mongolian", "Hiragana", "Katakana",
    "Bopomofo", "Han", "Yi", "Old Italic", "Gothic", "Deseret", "Tagalog", "Hanunoo", "Buhid",
    "Tagbanwa", "Coptic", "Limbu", "Tai Le", "Linear B", "Ugaritic", "Shavian", "Osmanya",
    "Cypriot", "Braille", "Buginese", "New Tai Lue", "Glagolitic", "Tifinagh", "Syloti Nagri",
    "Old Persian", "Kharoshthi", "Balinese", "Cuneiform", "Phoenician", "Phags-pa", "N'Ko",
    "Sundanese", "Lepcha", "Ol Chiki", "Vai", "Saurashtra", "Kayah Li", "Rejang", "Lycian",
    "Carian", "Lydian", "Cham", "Tai Tham", "Tai Viet", "Avestan", "Egyptian Hieroglyphs",
    "Samaritan", "Lisu", "Bamum", "Javanese", "Meetei Mayek", "Imperial Aramaic",
    "Old South Arabian", "Inscriptional Parthian", "Inscriptional Pahlavi", "Old Turkic", "Kaithi",
    "Batak", "Brahmi", "Mandaic", "Chakma", "Meroitic Cursive", "Meroitic Hieroglyphs", "Miao",
    "Sharada", "Sora Sompeng", "Takri", "Caucasian Albanian", "Bassa Vah", "Duployan", "Elbasan",
    "Grantha", "Pahawh Hmong", "Khojki", "Linear A", "Mahajani", "Manichaean", "Mende Kikakui",
    "Modi", "Mro", "Old North Arabian", "Nabataean", "Palmyrene", "Pau Cin Hau", "Old Permic",
    "Psalter Pahlavi", "Siddham", "Khudawadi", "Tirhuta", "Warang Citi", "Ahom",
    "Anatolian Hieroglyphs", "Hatran", "Multani", "Old Hungarian", "SignWriting", "Adlam",
    "Bhaiksuki", "Marchen", "Newa", "Osage", "Tangut", "Masaram Gondi", "Nushu", "Soyombo",
    "Zanabazar Square", "Dogra", "Gunjala Gondi", "Hanifi Rohingya", "Makasar", "Medefaidrin",
    "Old Sogdian", "Sogdian", "Elymaic", "Nandinagari", "Nyiakeng Puachue Hmong", "Wancho",
    "Chorasmian", "Dives Akuru", "Khitan Small Script", "Yezidi", "Cypro Minoan", "Old Uyghur",
    "Tangsa", "Toto", "Vithkuqi"};
// clang-format on
// A later Qt may add scripts: those are named by their code point only.
static_assert(std::size(kScriptNames) <= QChar::ScriptCount - kFirstNamedScript);

// "U+03A9, Greek" for Ω; a character of no one script (an emoji, a sign) by
// its code point alone ("U+1F30A").
QString describeCharacter(const QString& character) {
    if (character.isEmpty())
        return {};
    // A lone surrogate is named as it stands (toUcs4 would make it U+FFFD).
    const bool pair = character.size() == 2 && character.at(0).isHighSurrogate() &&
                      character.at(1).isLowSurrogate();
    const char32_t code =
        pair ? QChar::surrogateToUcs4(character.at(0), character.at(1)) : character.at(0).unicode();
    QString out = QStringLiteral("U+%1").arg(uint(code), 4, 16, QLatin1Char('0')).toUpper();
    const int script = QChar::script(code);
    if (script >= kFirstNamedScript && script < QChar::ScriptCount)
        out += QStringLiteral(", ") + QLatin1String(kScriptNames[script - kFirstNamedScript]);
    return out;
}

qsizetype hostBytes(const QString& name) {
    return QFile::encodeName(name).size();
}

// The longest standard file name of a theme of this name.
QString longestFileName(const QString& name) {
    ThemeDocument doc;
    doc.name = name;
    QString longest;
    for (SlotRef slot : copyOrder()) {
        doc.path(slot) = QStringLiteral("x.cur"); // pointers take ".cur", as long as ".ani"
        const QString file = standardFileName(doc, slot);
        if (file.size() > longest.size())
            longest = file;
    }
    return longest;
}

} // namespace

bool isReservedDeviceName(QStringView component) {
    // Windows looks only at what comes before the first dot, blanks dropped.
    QStringView base = component.left(component.indexOf(u'.'));
    while (base.endsWith(u' '))
        base.chop(1);
    for (const QStringView device : {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"}) {
        if (base.compare(device, Qt::CaseInsensitive) == 0)
            return true;
    }
    if (base.size() != 4 || (base.first(3).compare(u"COM", Qt::CaseInsensitive) != 0 &&
                             base.first(3).compare(u"LPT", Qt::CaseInsensitive) != 0))
        return false;
    // Windows takes the superscript digits for ports too.
    const char16_t digit = base[3].unicode();
    return (digit >= u'0' && digit <= u'9') || digit == u'\u00b9' || digit == u'\u00b2' ||
           digit == u'\u00b3';
}

std::optional<QString> fileNameProblem(const QString& component) {
    if (component.isEmpty())
        return QStringLiteral("it is empty");
    if (component == QStringLiteral(".") || component == QStringLiteral(".."))
        return QStringLiteral("\"%1\" names a folder, not a file").arg(component);
    for (QChar c : component) {
        if (isControl(c))
            return QStringLiteral("it contains a control character");
        if (kWindowsForbidden.contains(c))
            return QStringLiteral("it contains one of the characters \\ / : * ? \" < > |");
    }
    if (isReservedDeviceName(component))
        return QStringLiteral("Windows keeps the name for a device (") + kDevices +
               QLatin1Char(')');
    if (component.endsWith(QLatin1Char(' ')) || component.endsWith(QLatin1Char('.')))
        return QStringLiteral("it ends in a blank or a dot, which Windows drops");
    if (hostBytes(component) > kMaxHostNameBytes)
        return QStringLiteral("it is longer than the %1 bytes a file name can have on this "
                              "computer")
            .arg(kMaxHostNameBytes);
    return std::nullopt;
}

namespace {

std::optional<QString> themeNameMessage(const QString& name) {
    if (name.isEmpty())
        return QStringLiteral("You must enter a name for your theme");
    if (name == QStringLiteral(".") || name == QStringLiteral(".."))
        return QStringLiteral("\"%1\" cannot be used as a theme name.").arg(name);
    for (QChar c : name) {
        if (isControl(c))
            return QStringLiteral("A theme name cannot contain control characters.");
        if (kWindowsForbidden.contains(c))
            return QStringLiteral("A theme name cannot contain any of the characters "
                                  "\\ / : * ? \" < > |");
        if (c == QLatin1Char(',') || c == QLatin1Char('='))
            return QStringLiteral("A theme name cannot contain a comma or an equals sign, "
                                  "because the theme could not be read back.");
    }
    if (!fitsWindows1252(name)) {
        // A look-alike letter (Greek Ω, Cyrillic о) is told by its script.
        QString character = firstUnencodable(name);
        // A high surrogate without its pair comes with the character after it.
        if (character.size() == 2 && !character.at(1).isLowSurrogate())
            character.truncate(1);
        return QStringLiteral("The character \"%1\" (%2) is not in the Windows Western (1252) "
                              "character set, so it cannot be used in a Windows 95 file name.")
            .arg(character, describeCharacter(character));
    }
    static const QStringList extensions{QStringLiteral(".cur"), QStringLiteral(".ani"),
                                        QStringLiteral(".wav"), QStringLiteral(".bmp"),
                                        QStringLiteral(".jpg"), QStringLiteral(".ico"),
                                        QStringLiteral(".scr")};
    for (const QString& ext : extensions) {
        if (name.contains(ext, Qt::CaseInsensitive))
            return QStringLiteral("A theme name cannot contain \"%1\", because the theme could "
                                  "not be read back.")
                .arg(ext);
    }
    if (isReservedDeviceName(name))
        return QStringLiteral("\"%1\" cannot be used as a theme name: Windows keeps it for a "
                              "device (%2).")
            .arg(name, kDevices);
    if (name.endsWith(QLatin1Char(' ')) || name.endsWith(QLatin1Char('.')))
        return QStringLiteral("A theme name cannot end in a blank or a dot: Windows drops them, "
                              "so the theme's files would no longer match its directory.");
    const QString longest = longestFileName(name);
    if (themeDirectory(name).size() + 1 + longest.size() > kMaxWindowsPath)
        return QStringLiteral("The theme name is too long: its files would have paths longer "
                              "than Windows 95 can open. Please choose a shorter name.");
    if (hostBytes(longest) > kMaxHostNameBytes) // it begins with the name
        return QStringLiteral("The theme name is too long: its file names would pass the limit "
                              "of %1 bytes for one file name on this computer. Please choose a "
                              "shorter name.")
            .arg(kMaxHostNameBytes);
    return std::nullopt;
}

} // namespace

Status checkThemeName(const QString& name) {
    if (const auto message = themeNameMessage(name))
        return Error{QStringLiteral("Checking the theme name"), name, *message};
    return {};
}

} // namespace p95
