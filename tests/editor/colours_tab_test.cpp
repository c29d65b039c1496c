// The Colors tab: the two modes, the presets, the colour picker opened from
// the colour names, and colour scheme files.

#include "tabs_test_support.h"
#include "test_support.h"
#include "ui/frm_color.h"

#include <QPointer>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>

namespace p95::test {
namespace {

class ColoursTabTest : public TabsFixture {
protected:
    QRadioButton* radio(const QString& name) { return control<QRadioButton>(name); }
    void ownColours() { radio(QStringLiteral("Option13"))->click(); }
    QString colour(int i) { return window->document().colours[i]; }

    FrmColor* picker() { return window->findChild<FrmColor*>(QStringLiteral("frmColor")); }
    FrmColor* clickName(int i) {
        QTest::mouseClick(control<QLabel>("Label4", i), Qt::LeftButton);
        return picker();
    }
    template <typename T> T* in(FrmColor* dialog, const char* name) {
        T* widget = dialog->findChild<T*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QScrollBar* bar(FrmColor* dialog, int n) {
        return in<QScrollBar>(dialog, QStringLiteral("HScroll%1").arg(n).toLatin1().constData());
    }
    QString caption(FrmColor* dialog, const char* name) { return in<QLabel>(dialog, name)->text(); }
    QColor preview(FrmColor* dialog) {
        return in<QFrame>(dialog, "Shape1")->palette().color(QPalette::Window);
    }
    void press(FrmColor* dialog, const char* button) {
        QPointer<FrmColor> guard(dialog);
        in<QPushButton>(dialog, button)->click();
        // Closing unloads the picker.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(guard.isNull()) << button << " left the picker loaded";
    }
    QString schemeFile(const QString& name) { return m_programDir + QLatin1Char('/') + name; }
};

// ---------------------------------------------------------------- modes and presets

TEST_F(ColoursTabTest, EachModeEnablesExactlyItsOwnControls) {
    for (const bool own : {true, false, true}) {
        radio(own ? QStringLiteral("Option13") : QStringLiteral("Option14"))->click();
        EXPECT_EQ(window->document().colourMode, own ? ColourMode::Own : ColourMode::Preset);
        EXPECT_EQ(radio(QStringLiteral("Option13"))->isChecked(), own);
        EXPECT_EQ(radio(QStringLiteral("Option14"))->isChecked(), !own);
        for (int i = 0; i < kColourCount; ++i)
            EXPECT_EQ(control<QLabel>("Label4", i)->isEnabled(), own) << i;
        EXPECT_EQ(control<QLabel>(QStringLiteral("Label6"))->isEnabled(), own);
        EXPECT_EQ(control<QPushButton>(QStringLiteral("Command12"))->isEnabled(), own);
        EXPECT_EQ(control<QPushButton>(QStringLiteral("Command13"))->isEnabled(), own);
        for (int k = 0; k < kPresetCount; ++k)
            EXPECT_EQ(control<QRadioButton>("Option1", k)->isEnabled(), !own) << k;
        // The two option buttons themselves stay usable.
        EXPECT_TRUE(radio(QStringLiteral("Option13"))->isEnabled());
        EXPECT_TRUE(radio(QStringLiteral("Option14"))->isEnabled());
    }
}

TEST_F(ColoursTabTest, APresetIsRememberedButNotAppliedUntilTheSave) {
    control<QRadioButton>("Option1", 10)->click();
    EXPECT_EQ(window->document().preset, 10);
    EXPECT_EQ(colour(0), QStringLiteral("0 0 128"));
    EXPECT_EQ(window->document().colours[0], QStringLiteral("0 0 128"));
    // Switching back to own colours keeps the colours as they were.
    ownColours();
    EXPECT_EQ(colour(0), QStringLiteral("0 0 128"));
    EXPECT_EQ(window->document().preset, 10);
}

TEST_F(ColoursTabTest, AClickOnANameInPresetModeOpensNothing) {
    EXPECT_EQ(clickName(1), nullptr);
}

// ---------------------------------------------------------------- the picker

TEST_F(ColoursTabTest, ThePickerOpensOnTheClickedColourAndSelectStoresItUnchanged) {
    ownColours();
    FrmColor* dialog = clickName(1);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    // The specified caption stays; the preview square names the colour it edits.
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Color Selection"));
    EXPECT_EQ(in<QFrame>(dialog, "Shape1")->toolTip(),
              QStringLiteral("Editing the color ") + toQString(kColourSlots[1].caption));
    EXPECT_TRUE(fakes.pictures.icons.contains(programFile("theme.icp")));
    EXPECT_EQ(caption(dialog, "Index"), QStringLiteral("1"));
    EXPECT_EQ(in<QLineEdit>(dialog, "txtColor")->text(), QStringLiteral("0 128 128"));
    EXPECT_EQ(in<QLineEdit>(dialog, "Text2")->text(), QStringLiteral("128"));
    EXPECT_EQ(bar(dialog, 1)->value(), 0);
    EXPECT_EQ(bar(dialog, 2)->value(), 128);
    EXPECT_EQ(bar(dialog, 3)->value(), 128);
    EXPECT_EQ(caption(dialog, "Label4"), QStringLiteral("0"));
    EXPECT_EQ(caption(dialog, "Label5"), QStringLiteral("128"));
    EXPECT_EQ(caption(dialog, "Label6"), QStringLiteral("128"));
    EXPECT_EQ(preview(dialog), QColor(0, 128, 128));
    // Its texts, and the state of this opening kept out of sight.
    EXPECT_EQ(caption(dialog, "Label7"), QStringLiteral("Use the scroll bars to select a color:"));
    EXPECT_EQ(caption(dialog, "Label8"), QStringLiteral("Color Preview:"));
    EXPECT_EQ(in<QPushButton>(dialog, "Command2")->text(), QStringLiteral("&Select"));
    EXPECT_TRUE(in<QPushButton>(dialog, "Command2")->isDefault());
    EXPECT_EQ(in<QPushButton>(dialog, "Command1")->text(), QStringLiteral("&Cancel"));
    for (const char* hidden : {"Index", "txtColor", "Text1", "Text2", "Text3", "Command3"})
        EXPECT_TRUE(in<QWidget>(dialog, hidden)->isHidden()) << hidden;

    // The editor stays usable while the picker is open.
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    press(dialog, "Command2");
    EXPECT_EQ(colour(1), QStringLiteral("0 128 128"));
    EXPECT_EQ(window->document().colours[1], QStringLiteral("0 128 128"));
}

TEST_F(ColoursTabTest, TheBarsDriveTheNumbersAndThePreviewAndSelectWritesNoLeadingZeros) {
    ownColours();
    FrmColor* dialog = clickName(6); // "Window Text", "0 0 0"
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(preview(dialog), QColor(0, 0, 0));
    EXPECT_EQ(caption(dialog, "Label4"), QStringLiteral("0"));

    for (int n = 1; n <= 3; ++n) {
        EXPECT_EQ(bar(dialog, n)->minimum(), 0);
        EXPECT_EQ(bar(dialog, n)->maximum(), 255);
        EXPECT_EQ(bar(dialog, n)->singleStep(), 1);
        EXPECT_EQ(bar(dialog, n)->pageStep(), 10);
    }
    bar(dialog, 1)->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(caption(dialog, "Label4"), QStringLiteral("10"));
    bar(dialog, 1)->triggerAction(QAbstractSlider::SliderSingleStepSub);
    bar(dialog, 1)->triggerAction(QAbstractSlider::SliderSingleStepSub);
    bar(dialog, 1)->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(caption(dialog, "Label4"), QStringLiteral("7"));
    bar(dialog, 3)->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(caption(dialog, "Label6"), QStringLiteral("255"));
    EXPECT_EQ(preview(dialog), QColor(7, 0, 255));
    // The value label changes only on Select.
    EXPECT_EQ(colour(6), QStringLiteral("0 0 0"));

    press(dialog, "Command2");
    EXPECT_EQ(colour(6), QStringLiteral("7 0 255"));
    EXPECT_EQ(window->document().colours[6], QStringLiteral("7 0 255"));
}

TEST_F(ColoursTabTest, CancelAndTheCloseBoxStoreNothing) {
    ownColours();
    FrmColor* dialog = clickName(1);
    ASSERT_NE(dialog, nullptr);
    bar(dialog, 1)->setValue(200);
    press(dialog, "Command1");
    EXPECT_EQ(colour(1), QStringLiteral("0 128 128"));

    // Each opening starts afresh, from the stored colour.
    dialog = clickName(1);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(bar(dialog, 1)->value(), 0);
    bar(dialog, 2)->setValue(3);
    QPointer<FrmColor> guard(dialog);
    dialog->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
    EXPECT_EQ(colour(1), QStringLiteral("0 128 128"));
    EXPECT_EQ(window->document().colours[1], QStringLiteral("0 128 128"));
}

// The picker edits the colour it shows: moved to another colour, Select
// writes that colour's values into it and nothing into the first.
TEST_F(ColoursTabTest, AClickOnAnotherNameMovesTheOpenPickerThere) {
    ownColours();
    FrmColor* dialog = clickName(1);
    ASSERT_NE(dialog, nullptr);
    bar(dialog, 1)->setValue(50);

    EXPECT_EQ(clickName(5), dialog); // "Window", "255 255 255"
    EXPECT_EQ(window->findChildren<FrmColor*>().size(), 1);
    for (int n = 1; n <= 3; ++n)
        EXPECT_EQ(bar(dialog, n)->value(), 255) << n;
    EXPECT_EQ(caption(dialog, "Label4"), QStringLiteral("255"));
    EXPECT_EQ(preview(dialog), QColor(255, 255, 255));
    EXPECT_EQ(caption(dialog, "Index"), QStringLiteral("5"));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Color Selection"));
    EXPECT_EQ(in<QFrame>(dialog, "Shape1")->toolTip(),
              QStringLiteral("Editing the color ") + toQString(kColourSlots[5].caption));

    bar(dialog, 3)->setValue(0);
    press(dialog, "Command2");
    EXPECT_EQ(colour(5), QStringLiteral("255 255 0"));
    EXPECT_EQ(colour(1), QStringLiteral("0 128 128"));
}

TEST_F(ColoursTabTest, AClickRightAfterClosingOpensAFreshPicker) {
    ownColours();
    FrmColor* first = clickName(1);
    ASSERT_NE(first, nullptr);
    bar(first, 1)->setValue(99);
    in<QPushButton>(first, "Command1")->click(); // closed; deleted when the loop runs
    QTest::mouseClick(control<QLabel>("Label4", 2), Qt::LeftButton);
    FrmColor* second = window->coloursTab().picker();
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_TRUE(second->isVisible());
    EXPECT_EQ(second->colour(), (Rgb{0, 0, 128}));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window->findChildren<FrmColor*>().size(), 1);
}

TEST_F(ColoursTabTest, EnterSelects) {
    ownColours();
    FrmColor* dialog = clickName(9); // "Menu", "192 192 192"
    ASSERT_NE(dialog, nullptr);
    bar(dialog, 2)->triggerAction(QAbstractSlider::SliderPageStepSub);
    QPointer<FrmColor> guard(dialog);
    QTest::keyClick(dialog, Qt::Key_Return);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
    EXPECT_EQ(colour(9), QStringLiteral("192 182 192"));
}

// ---------------------------------------------------------------- scheme files

TEST_F(ColoursTabTest, ASchemeSavedAndLoadedBackGivesTheSameColoursInOwnColoursMode) {
    window->setThemeName(QStringLiteral("Sunset"));
    ownColours();
    FrmColor* dialog = clickName(24);
    ASSERT_NE(dialog, nullptr);
    bar(dialog, 1)->setValue(1);
    press(dialog, "Command2");
    const auto saved = window->document().colours;

    fakes.input.queue(QStringLiteral("Sunset"));
    control<QPushButton>(QStringLiteral("Command13"))->click();
    ASSERT_EQ(fakes.input.asked.size(), 1u);
    EXPECT_EQ(fakes.input.asked[0].prompt,
              QStringLiteral("What would you like to save the color scheme as?"));
    EXPECT_EQ(fakes.input.asked[0].title, QStringLiteral("Paletteer 95"));
    EXPECT_EQ(fakes.input.asked[0].defaultAnswer, QStringLiteral("Sunset"));
    const QList<QByteArray> lines =
        crlfLines(readBytes(schemeFile(QStringLiteral("Sunset.scheme"))));
    ASSERT_EQ(lines.size(), kColourCount);
    EXPECT_EQ(lines[24], QByteArray("1 255 225"));

    // Change everything, then load the scheme back from preset mode.
    control<QRadioButton>("Option1", 7)->click();
    radio(QStringLiteral("Option14"))->click();
    window->GetColors();
    ASSERT_NE(window->document().colours, saved);

    fakes.fileDialog.queue(schemeFile(QStringLiteral("Sunset.scheme")));
    window->coloursTab().Command12_Click();
    const CommonDialog& shown = fakes.fileDialog.shown.back();
    EXPECT_EQ(shown.dialogTitle, QStringLiteral("Choose a Color Scheme to Open"));
    EXPECT_EQ(shown.filter, QStringLiteral("Color Schemes (*.scheme)|*.scheme"));
    EXPECT_EQ(shown.filterIndex, 1);
    EXPECT_EQ(shown.defaultExt, QStringLiteral(".scheme"));
    EXPECT_EQ(shown.initDir, programDirectory());
    EXPECT_TRUE(shown.fileName.isEmpty());

    EXPECT_EQ(window->document().colours, saved);
    for (int i = 0; i < kColourCount; ++i)
        EXPECT_EQ(colour(i), saved[i]) << i;
    EXPECT_EQ(window->document().colourMode, ColourMode::Own);
    EXPECT_TRUE(radio(QStringLiteral("Option13"))->isChecked());
    EXPECT_TRUE(control<QLabel>("Label4", 0)->isEnabled());
    EXPECT_TRUE(fakes.messages.shown.empty());
}

TEST_F(ColoursTabTest, CancellingTheNameOrTheDialogChangesNothing) {
    ownColours();
    const ThemeDocument before = window->document();
    fakes.input.queue(QString());
    control<QPushButton>(QStringLiteral("Command13"))->click();
    EXPECT_TRUE(QDir(m_programDir).entryList({QStringLiteral("*.scheme")}).isEmpty());
    choose(control<QPushButton>(QStringLiteral("Command12")), std::nullopt);
    EXPECT_EQ(window->document(), before);
    EXPECT_TRUE(fakes.messages.shown.empty());
}

TEST_F(ColoursTabTest, AShortSchemeFileOrAnUnwritableNameIsReportedAndChangesNothing) {
    ownColours();
    const ThemeDocument before = window->document();
    writeFile(schemeFile(QStringLiteral("Short.scheme")), "1 2 3\r\n4 5 6\r\n");
    choose(control<QPushButton>(QStringLiteral("Command12")),
           schemeFile(QStringLiteral("Short.scheme")));
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].title, QStringLiteral("Paletteer 95"));
    EXPECT_EQ(window->document(), before);
    EXPECT_EQ(colour(0), before.colours[0]);

    fakes.input.queue(QStringLiteral("No such folder/Mine"));
    control<QPushButton>(QStringLiteral("Command13"))->click();
    ASSERT_EQ(fakes.messages.shown.size(), 2u);
    EXPECT_TRUE(fakes.messages.shown[1].text.contains(QStringLiteral("could not be saved")));
}

TEST_F(ColoursTabTest, ASchemeWithALineThatIsNoColourIsRefusedNamingTheLine) {
    QByteArray scheme;
    for (int i = 0; i < kColourCount; ++i)
        scheme += i == 6 ? "hello there\r\n" : i == 9 ? "300 -5 7\r\n" : "1 2 3\r\n";
    writeFile(schemeFile(QStringLiteral("Words.scheme")), scheme);
    const ThemeDocument before = window->document(); // preset mode
    fakes.fileDialog.queue(schemeFile(QStringLiteral("Words.scheme")));
    window->coloursTab().Command12_Click();

    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].title, QStringLiteral("Paletteer 95"));
    EXPECT_TRUE(fakes.messages.shown[0].text.contains(QStringLiteral("line 7, \"hello there\"")))
        << fakes.messages.shown[0].text.toStdString();
    EXPECT_EQ(window->document(), before);
    EXPECT_EQ(colour(6), before.colours[6]);
    EXPECT_TRUE(radio(QStringLiteral("Option14"))->isChecked());
}

TEST_F(ColoursTabTest, ColourTextThatIsNotThreeNumbersOpensOnWhatCanBeRead) {
    // A .theme file's colours are taken as they stand (a scheme file's are not).
    const QString odd = tmp() + QStringLiteral("/Odd.theme");
    writeFile(odd, "[Control Panel\\Colors]\r\nActiveTitle=12 abc 300\r\nBackground=\r\n"
                   "Hilight=-4 77\r\n");
    ASSERT_TRUE(window->openThemeFile(odd));
    ASSERT_EQ(colour(0), QStringLiteral("12 abc 300")); // stored as read

    const Rgb expected[3] = {{12, 0, 255}, {0, 0, 0}, {0, 77, 0}};
    for (int i = 0; i < 3; ++i) {
        FrmColor* dialog = clickName(i);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->colour(), expected[i]) << i;
        EXPECT_EQ(preview(dialog), QColor(expected[i].red, expected[i].green, expected[i].blue))
            << i;
        press(dialog, "Command1");
    }
    // Select writes the colour as the program writes colours.
    FrmColor* dialog = clickName(0);
    ASSERT_NE(dialog, nullptr);
    press(dialog, "Command2");
    EXPECT_EQ(colour(0), QStringLiteral("12 0 255"));
}

} // namespace
} // namespace p95::test
