#include "theme/reader_steps.h"

namespace p95::reader {

const std::array<FieldStep, kFieldSteps>& fieldSteps() {
    static const std::array<FieldStep, kFieldSteps> steps = [] {
        const QByteArray defaultValue("DefaultValue=");
        const QString ico = QStringLiteral(".ico");
        const QString cur = QStringLiteral(".cur");
        const QString ani = QStringLiteral(".ani");
        std::array<FieldStep, kFieldSteps> s;
        int n = 0;
        const auto bytes = [](std::string_view text) {
            return QByteArray(text.data(), qsizetype(text.size()));
        };
        // Steps 1, 2: the two icons whose value follows their section header.
        s[n++] = {Match::Headed,
                  bytes(kMyComputerSection),
                  {SlotFamily::Icons, 1},
                  {PathKind::UpperCasedPicture, defaultValue, ico, {}, true}};
        s[n++] = {Match::Headed,
                  bytes(kNetworkSection),
                  {SlotFamily::Icons, 2},
                  {PathKind::UpperCasedPicture, defaultValue, ico, {}, true}};
        // Steps 3, 4: the recycle bin, full before empty.
        s[n++] = {Match::Contains,
                  "full=",
                  {SlotFamily::Icons, 4},
                  {PathKind::Picture, "full=", ico, {}, true}};
        s[n++] = {Match::Contains,
                  "empty=",
                  {SlotFamily::Icons, 3},
                  {PathKind::Picture, "empty=", ico, {}, true}};
        // Step 5 wants "Arrow=" at the start so that "UpArrow=" is not taken
        // for it. It accepts ".ani" like the other pointers, but still fails
        // when it finds neither extension.
        for (const int index : kPointerFileOrder) {
            const QByteArray key = bytes(kPointerSlots[index].key) + '=';
            s[n++] = {index == 0 ? Match::BeginsWith : Match::Contains,
                      key,
                      {SlotFamily::Pointer, index},
                      {PathKind::Picture, key, cur, ani, index == 0}};
        }
        // Step 19: the screen saver; step 20: the wallpaper.
        s[n++] = {Match::Contains,
                  "SCRNSAVE.EXE=",
                  {SlotFamily::Icons, kScreenSaverIndex},
                  {PathKind::QuietFile, "SCRNSAVE.EXE=", QStringLiteral(".scr"), {}, true}};
        s[n++] = {Match::Contains,
                  "Wallpaper=",
                  {SlotFamily::Icons, kWallpaperIndex},
                  {PathKind::Picture, "Wallpaper=", QStringLiteral(".bmp"), QStringLiteral(".jpg"),
                   false}};
        // Steps 21..40: sounds, whose value follows their section header.
        for (const int index : kSoundFileOrder) {
            s[n++] = {Match::Headed,
                      bytes(kSoundHeaderStart) + bytes(kSoundSlots[index].eventPath) +
                          "\\.Current]",
                      {SlotFamily::Sound, index},
                      {PathKind::ReportedFile, defaultValue, QStringLiteral(".wav"), {}, true}};
        }
        return s;
    }();
    return steps;
}

const std::array<std::vector<int>, 256>& keysByLastLetter() {
    static const std::array<std::vector<int>, 256> table = [] {
        std::array<std::vector<int>, 256> t;
        const auto& steps = fieldSteps();
        for (int s = 0; s < kFieldSteps; ++s) {
            const QByteArray& key = steps[s].needle;
            if (steps[s].match == Match::Contains) {
                Q_ASSERT(key.size() >= 2 && key.endsWith('='));
                t[static_cast<unsigned char>(key.at(key.size() - 2))].push_back(s);
            }
        }
        return t;
    }();
    return table;
}

namespace {

StepSet stepsMatching(Match match) {
    StepSet set = 0;
    for (int s = 0; s < kFieldSteps; ++s) {
        if (fieldSteps()[s].match == match)
            set |= bit(s);
    }
    return set;
}

} // namespace

StepSet headedSteps() {
    static const StepSet set = stepsMatching(Match::Headed);
    return set;
}

StepSet beginsWithSteps() {
    static const StepSet set = stepsMatching(Match::BeginsWith);
    return set;
}

const std::array<std::vector<std::pair<QByteArray, int>>, 32>& lineKeysByLength() {
    static const auto table = [] {
        std::array<std::vector<std::pair<QByteArray, int>>, 32> t;
        for (int i = 0; i < kColourCount; ++i) {
            const QByteArray key =
                QByteArray(kColourSlots[i].key.data(), qsizetype(kColourSlots[i].key.size())) + '=';
            t.at(key.size()).push_back({key, i});
        }
        const QByteArray tile("TileWallpaper=");
        t.at(tile.size()).push_back({tile, kTileKey});
        return t;
    }();
    return table;
}

} // namespace p95::reader
