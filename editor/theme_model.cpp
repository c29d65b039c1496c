#include "editor/theme_model.h"

#include "colour/presets.h"
#include "theme/get_colors.h"

#include <QUndoCommand>

namespace p95 {

namespace {

// Typing in the ReadMe box: consecutive steps become one.
constexpr int kTypingStep = 1;

// One step: the document before and after. Undo and Redo apply only the
// fields the step changed, so that what happened outside the history since
// (a new name, the colours a save set) stays.
class ChangeStep : public QUndoCommand {
public:
    ChangeStep(ThemeModel& model, ThemeDocument before, ThemeDocument after, const QString& name,
               int mergeId)
        : QUndoCommand(name), m_model(model), m_before(std::move(before)),
          m_after(std::move(after)), m_mergeId(mergeId) {}

    void undo() override { m_model.applyChange(m_after, m_before); }
    void redo() override { m_model.applyChange(m_before, m_after); }
    int id() const override { return m_mergeId; }
    bool mergeWith(const QUndoCommand* other) override {
        if (other->id() != id())
            return false;
        m_after = static_cast<const ChangeStep*>(other)->m_after;
        // Typing undone in the box itself back to where the step began: no step.
        setObsolete(m_before == m_after);
        return true;
    }

private:
    ThemeModel& m_model;
    ThemeDocument m_before;
    ThemeDocument m_after;
    int m_mergeId;
};

template <typename T> void take(T& target, const T& from, const T& to) {
    if (from != to)
        target = to;
}

QString familyWord(SlotRef slot) {
    switch (slot.family) {
    case SlotFamily::Pointer:
        return QStringLiteral(" Pointer");
    case SlotFamily::Sound:
        return QStringLiteral(" Sound");
    case SlotFamily::Icons:
        if (slot.index >= kFirstDesktopIcon && slot.index <= kLastDesktopIcon)
            return QStringLiteral(" Icon");
        return QString();
    }
    return QString();
}

} // namespace

QString chooseStepName(SlotRef slot) {
    return QStringLiteral("Choose ") + slotCaption(slot) + familyWord(slot);
}

QString removeStepName(SlotRef slot) {
    return QStringLiteral("Remove ") + slotCaption(slot) + familyWord(slot);
}

ThemeModel::ThemeModel(QObject* parent) : QObject(parent) {}

void ThemeModel::push(const ThemeDocument& changed, const QString& stepName, int mergeId) {
    if (changed == m_doc)
        return;
    m_undo.push(new ChangeStep(*this, m_doc, changed, stepName, mergeId));
}

void ThemeModel::chooseFile(SlotRef slot, const QString& path) {
    ThemeDocument doc = m_doc;
    doc.path(slot) = path;
    if (slot == SlotRef{SlotFamily::Icons, kWallpaperIndex})
        doc.jpegWallpaper = path.endsWith(QStringLiteral(".jpg"), Qt::CaseInsensitive);
    push(doc, chooseStepName(slot));
}

void ThemeModel::removeFile(SlotRef slot) {
    ThemeDocument doc = m_doc;
    doc.path(slot).clear();
    if (slot == SlotRef{SlotFamily::Icons, kWallpaperIndex})
        doc.jpegWallpaper = false;
    push(doc, removeStepName(slot));
}

void ThemeModel::setColour(int index, const QString& text) {
    if (index < 0 || index >= kColourCount)
        return;
    ThemeDocument doc = m_doc;
    doc.colours[index] = text;
    push(doc, QStringLiteral("Change ") + toQString(kColourSlots[index].caption) +
                  QStringLiteral(" Color"));
}

void ThemeModel::loadColourScheme(const std::array<QString, kColourCount>& colours) {
    ThemeDocument doc = m_doc;
    doc.colours = colours;
    doc.colourMode = ColourMode::Own;
    push(doc, QStringLiteral("Load Color Scheme"));
}

void ThemeModel::setColourMode(ColourMode mode) {
    ThemeDocument doc = m_doc;
    doc.colourMode = mode;
    push(doc, mode == ColourMode::Own ? QStringLiteral("Choose Your Own Colors")
                                      : QStringLiteral("Colors From Other Themes"));
}

void ThemeModel::setPreset(int preset) {
    if (preset < 0 || preset >= kPresetCount)
        return;
    ThemeDocument doc = m_doc;
    doc.preset = preset;
    push(doc, QStringLiteral("Preset ") + toQString(kPresets[preset].caption));
}

void ThemeModel::setTiled(bool tiled) {
    ThemeDocument doc = m_doc;
    doc.tiled = tiled;
    push(doc, tiled ? QStringLiteral("Tiled Wallpaper") : QStringLiteral("Centered Wallpaper"));
}

void ThemeModel::setIncludeReadMe(bool include) {
    ThemeDocument doc = m_doc;
    doc.includeReadMe = include;
    push(doc, include ? QStringLiteral("Include ReadMe") : QStringLiteral("Leave Out ReadMe"));
}

void ThemeModel::typeReadMe(const QString& text) {
    ThemeDocument doc = m_doc;
    doc.readMe = text;
    push(doc, QStringLiteral("Typing in ReadMe"), kTypingStep);
}

void ThemeModel::usePresetAsOwnColours() {
    if (m_doc.colourMode != ColourMode::Preset)
        return;
    ThemeDocument doc = m_doc;
    doc.colours = colourTextsInUse(m_doc);
    doc.colourMode = ColourMode::Own;
    push(doc, QStringLiteral("Use Preset as My Colors"));
}

void ThemeModel::setName(const QString& name) {
    if (name == m_doc.name)
        return;
    ThemeDocument doc = m_doc;
    doc.name = name;
    show(doc, false);
}

void ThemeModel::replaceAll(const ThemeDocument& doc) {
    m_undo.clear();
    m_replacing = true;
    show(doc, true);
    m_replacing = false;
    m_undo.setClean();
}

void ThemeModel::saved(const ThemeDocument& doc) {
    ThemeDocument shown = m_doc;
    shown.name = doc.name;
    shown.colours = doc.colours;
    shown.iconMetrics = doc.iconMetrics;
    shown.nonclientMetrics = doc.nonclientMetrics;
    show(shown, true);
    // The save gave the theme the default ReadMe in place of the typed text.
    if (doc.readMe != m_doc.readMe) {
        ThemeDocument replaced = m_doc;
        replaced.readMe = doc.readMe;
        push(replaced, QStringLiteral("Default ReadMe"));
    }
    m_undo.setClean();
}

void ThemeModel::getColors() {
    ThemeDocument doc = m_doc;
    GetColors(doc);
    show(doc, false);
}

void ThemeModel::setInitialReadMe(const QString& text) {
    ThemeDocument doc = m_doc;
    doc.readMe = text;
    show(doc, false);
}

void ThemeModel::applyChange(const ThemeDocument& from, const ThemeDocument& to) {
    ThemeDocument doc = m_doc;
    take(doc.name, from.name, to.name);
    for (SlotRef slot : copyOrder())
        take(doc.path(slot), from.path(slot), to.path(slot));
    take(doc.jpegWallpaper, from.jpegWallpaper, to.jpegWallpaper);
    take(doc.tiled, from.tiled, to.tiled);
    take(doc.colourMode, from.colourMode, to.colourMode);
    take(doc.preset, from.preset, to.preset);
    for (int i = 0; i < kColourCount; ++i)
        take(doc.colours[i], from.colours[i], to.colours[i]);
    take(doc.iconMetrics, from.iconMetrics, to.iconMetrics);
    take(doc.nonclientMetrics, from.nonclientMetrics, to.nonclientMetrics);
    take(doc.includeReadMe, from.includeReadMe, to.includeReadMe);
    take(doc.readMe, from.readMe, to.readMe);
    show(doc, false);
}

void ThemeModel::show(const ThemeDocument& doc, bool filesMayDiffer) {
    const ThemeDocument old = std::exchange(m_doc, doc);
    if (old == m_doc && !filesMayDiffer)
        return;
    if (old.name != m_doc.name)
        Q_EMIT nameChanged();
    bool slotsChanged = filesMayDiffer;
    for (SlotRef slot : copyOrder()) {
        if (filesMayDiffer || old.path(slot) != m_doc.path(slot)) {
            slotsChanged = true;
            Q_EMIT slotChanged(slot);
        }
    }
    for (int i = 0; i < kColourCount; ++i) {
        if (old.colours[i] != m_doc.colours[i])
            Q_EMIT colourChanged(i);
    }
    if (old.colourMode != m_doc.colourMode)
        Q_EMIT colourModeChanged();
    if (old.preset != m_doc.preset)
        Q_EMIT presetChanged();
    if (old.tiled != m_doc.tiled)
        Q_EMIT tiledChanged();
    if (old.includeReadMe != m_doc.includeReadMe)
        Q_EMIT includeReadMeChanged();
    if (old.readMe != m_doc.readMe)
        Q_EMIT readMeChanged();
    if (slotsChanged)
        Q_EMIT slotFilesChanged();
    Q_EMIT documentChanged();
}

} // namespace p95
