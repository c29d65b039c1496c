#pragma once

// The one owner of the theme the editor works on. Every change goes through
// an operation here; each is one named step on the Undo history, and the
// model announces what changed, so the tabs, the picker, the preview and the
// window's labels only show it. The history's clean state is "as last opened
// or saved".

#include "theme/theme_document.h"

#include <QObject>
#include <QUndoStack>

namespace p95 {

class ThemeModel : public QObject {
    Q_OBJECT
public:
    explicit ThemeModel(QObject* parent = nullptr);

    const ThemeDocument& document() const { return m_doc; }
    QUndoStack& undoStack() { return m_undo; }
    // The theme differs from what was last opened or saved.
    bool isModified() const { return !m_undo.isClean(); }
    // While a theme replaces the document (replaceAll): what the slots show
    // is an opened theme's, not the user's choice.
    bool isReplacing() const { return m_replacing; }

    // Steps the user takes; each is one entry of the history.
    // A file chosen for a slot; the wallpaper's JPEG flag follows its ending.
    void chooseFile(SlotRef slot, const QString& path);
    // "&Remove from Theme": the slot emptied (the wallpaper's JPEG flag too).
    void removeFile(SlotRef slot);
    // One colour from the picker.
    void setColour(int index, const QString& text);
    // "&Load Color Scheme": all 25 colours, in own-colours mode.
    void loadColourScheme(const std::array<QString, kColourCount>& colours);
    void setColourMode(ColourMode mode);
    void setPreset(int preset);
    void setTiled(bool tiled);
    void setIncludeReadMe(bool include);
    // Typing in the ReadMe box: a run of typing is one step.
    void typeReadMe(const QString& text);
    // "Use Preset as &My Colors": own colours, starting from the preset's.
    void usePresetAsOwnColours();

    // Outside the history. The name follows the start window and Save As.
    void setName(const QString& name);
    // Opening or installing a theme: everything replaced, a fresh history.
    void replaceAll(const ThemeDocument& doc);
    // A save completed and left doc: what it changed (the colours of the
    // preset, the reloaded ReadMe) is shown, a replaced ReadMe as a step that
    // Undo takes back, and the theme is clean.
    void saved(const ThemeDocument& doc);
    // GetColors, outside the history: in preset mode the preset's colours
    // become the colour texts, as every save does first.
    void getColors();
    // Start-up values the window sets before any history (the default ReadMe).
    void setInitialReadMe(const QString& text);

    // Applies the fields in which from and to differ onto the document. The
    // history's steps call it; fields they did not touch keep what they hold.
    void applyChange(const ThemeDocument& from, const ThemeDocument& to);

Q_SIGNALS:
    void nameChanged();
    void slotChanged(SlotRef slot);
    void colourChanged(int index);
    void colourModeChanged();
    void presetChanged();
    void tiledChanged();
    void includeReadMeChanged();
    void readMeChanged();
    // The files the slots name may be other ones or changed on disk: a slot
    // changed, or a theme was opened or saved.
    void slotFilesChanged();
    // After any of the above.
    void documentChanged();

private:
    void push(const ThemeDocument& changed, const QString& stepName, int mergeId = -1);
    // Sets the document and announces the differences.
    void show(const ThemeDocument& doc, bool filesMayDiffer);

    ThemeDocument m_doc;
    QUndoStack m_undo;
    bool m_replacing = false;
};

// The step names of the history, as the Edit menu shows them after "&Undo".
QString chooseStepName(SlotRef slot);
QString removeStepName(SlotRef slot);

} // namespace p95
