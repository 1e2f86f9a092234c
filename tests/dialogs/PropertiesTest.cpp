#include "dialogs/TfrmProperties.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace keyloom {
namespace {

class PropertiesTest : public ::testing::Test {
protected:
    void SetUp() override {
        document.numberOfKeys = 48;
        document.settings = KeypadSettings{.keyRollOver = 6,
                                           .characterPacing = 4,
                                           .ledFunction = {1, 5, 6},
                                           .usbDeviceType = TfrmProperties::kMultimediaKeyboard};
        QObject::connect(&dialog, &TfrmProperties::settingsWritten, [this] { ++written; });
    }

    // Shows the dialog afresh and closes it with OK.
    void Show() { dialog.FormShow(); }
    void Ok() { dialog.btnOkClick(); }

    KeypadDocument document;
    TfrmProperties dialog{document};
    int written = 0;
};

TEST_F(PropertiesTest, ControlsCarryTheirCaptionsRangesAndItems) {
    EXPECT_EQ(dialog.windowTitle(), "Keypad Properties");
    EXPECT_EQ(dialog.gboxRollover->title(), "Key Rollover");
    EXPECT_EQ(dialog.gbocCharPacing->title(), "Character Pacing");
    EXPECT_EQ(dialog.gboxLED2->title(), "LED 2 Mode*");
    EXPECT_EQ(dialog.gboxDeviceType->title(), "USB Device Type");
    EXPECT_EQ(dialog.spinRollover->minimum(), 1);
    EXPECT_EQ(dialog.spinRollover->maximum(), 16);
    EXPECT_EQ(dialog.spinCharPacing->minimum(), 0);
    EXPECT_EQ(dialog.spinCharPacing->maximum(), 20);
    EXPECT_EQ(dialog.spinCharPacing->singleStep(), 2);
    const QStringList modes = {"Not Used",           "Caps Lock",       "Num Lock",   "Level Indicator",
                               "Host/Macro Control", "Power Indicator", "Scroll Lock"};
    for (QListWidget* list : {dialog.listboxLed1, dialog.listboxLed2, dialog.listboxLed3}) {
        QStringList items;
        for (int row = 0; row < list->count(); ++row)
            items << list->item(row)->text();
        EXPECT_EQ(items, modes) << list->objectName().toStdString();
    }
    EXPECT_EQ(dialog.rbK1->text(), "Basic Keyboard");
    EXPECT_EQ(dialog.rbK2->text(), "Multimedia Keyboard");
    EXPECT_EQ(dialog.rbKbm->text(), "Multimedia Keyboard-");
    EXPECT_EQ(dialog.lbKbm->text(), "Mouse");
    QStringList texts;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        texts << label->text();
    EXPECT_TRUE(texts.contains("How many keys can be pressed down simultaneously?"));
    EXPECT_TRUE(texts.contains("Time between characters in miiliseconds:"));
    EXPECT_TRUE(texts.contains("*LED2 and LED3 are a VK48 Option"));
}

TEST_F(PropertiesTest, ShowingFillsTheControlsFromTheDocument) {
    document.settings.usbDeviceType = TfrmProperties::kBasicKeyboard;
    Show();
    EXPECT_EQ(dialog.spinRollover->value(), 6);
    EXPECT_EQ(dialog.spinCharPacing->value(), 8); // milliseconds: twice the parameter
    EXPECT_EQ(dialog.listboxLed1->currentRow(), 1);
    EXPECT_EQ(dialog.listboxLed2->currentRow(), 5);
    EXPECT_EQ(dialog.listboxLed3->currentRow(), 6);
    EXPECT_TRUE(dialog.rbK1->isChecked());
    EXPECT_FALSE(dialog.changed());

    document.settings.usbDeviceType = TfrmProperties::kMultimediaKeyboardMouse;
    Show();
    EXPECT_TRUE(dialog.rbKbm->isChecked());
}

TEST_F(PropertiesTest, OkWithoutAChangeWritesNothing) {
    const KeypadSettings before = document.settings;
    Show();
    Ok();
    EXPECT_EQ(document.settings, before);
    EXPECT_EQ(written, 0);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(PropertiesTest, ChangingAValueAndBackStillCounts) {
    const KeypadSettings before = document.settings;
    Show();
    dialog.spinRollover->setValue(7);
    dialog.spinRollover->setValue(6);
    Ok();
    EXPECT_EQ(written, 1);
    EXPECT_EQ(document.settings, before);
}

TEST_F(PropertiesTest, OkAfterChangesWritesEveryParameter) {
    Show();
    dialog.spinRollover->setValue(16);
    dialog.listboxLed1->setCurrentRow(0);
    dialog.listboxLed3->setCurrentRow(3);
    dialog.rbKbm->click();
    Ok();
    EXPECT_EQ(written, 1);
    EXPECT_EQ(document.settings, (KeypadSettings{.keyRollOver = 16,
                                                 .characterPacing = 4,
                                                 .ledFunction = {0, 5, 3},
                                                 .usbDeviceType = TfrmProperties::kMultimediaKeyboardMouse}));
}

TEST_F(PropertiesTest, AnOddPacingTypedIsStoredRoundedDown) {
    Show();
    dialog.spinCharPacing->selectAll();
    QTest::keyClicks(dialog.spinCharPacing, "7");
    ASSERT_EQ(dialog.spinCharPacing->value(), 7);
    Ok();
    EXPECT_EQ(document.settings.characterPacing, 3);
}

// Opened from the main window, the dialog is the active window and takes the keys at once: an
// arrow changes the first value and Enter is OK.
TEST(PropertiesWindowTest, OpensActiveAndTakesTheKeyboard) {
    KeypadDocument document;
    document.settings.keyRollOver = 6;
    QWidget mainWindow;
    mainWindow.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&mainWindow));
    TfrmProperties dialog(document, &mainWindow);
    QWidget* active = nullptr;
    QTimer::singleShot(0, [&] {
        // Not qWaitForWindowActive: it counts a tool window as active while its parent is.
        (void)QTest::qWaitFor([&] { return QApplication::activeWindow() == &dialog; });
        active = QApplication::activeWindow();
        if (QWidget* focus = QApplication::focusWidget()) {
            QTest::keyClick(focus, Qt::Key_Up);
            QTest::keyClick(focus, Qt::Key_Return);
        }
        if (dialog.isVisible())
            dialog.reject();
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(active, &dialog);
    EXPECT_EQ(document.settings.keyRollOver, 7);
}

TEST_F(PropertiesTest, CancelWritesNothingAndTheNextShowingStartsFromTheDocument) {
    Show();
    dialog.spinRollover->setValue(9);
    dialog.rbK1->click();
    dialog.btnCancelClick();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(document.settings.keyRollOver, 6);
    EXPECT_EQ(document.settings.usbDeviceType, TfrmProperties::kMultimediaKeyboard);
    EXPECT_EQ(written, 0);

    Show();
    EXPECT_EQ(dialog.spinRollover->value(), 6);
    EXPECT_TRUE(dialog.rbK2->isChecked());
    Ok();
    EXPECT_EQ(written, 0);
}

TEST_F(PropertiesTest, AnUnknownDeviceTypeShowsAsMultimediaAndStaysUntilATypeIsClicked) {
    document.settings.usbDeviceType = 5;
    Show();
    EXPECT_TRUE(dialog.rbK2->isChecked());
    dialog.spinRollover->setValue(3);
    Ok();
    EXPECT_EQ(document.settings.usbDeviceType, 5);

    Show();
    dialog.rbK2->click();
    Ok();
    EXPECT_EQ(document.settings.usbDeviceType, TfrmProperties::kMultimediaKeyboard);
}

TEST_F(PropertiesTest, ClickingThePendingDeviceTypeChangesNothing) {
    Show();
    dialog.rbK2->click();
    EXPECT_FALSE(dialog.changed());

    document.settings.usbDeviceType = TfrmProperties::kMultimediaKeyboardMouse;
    Show();
    QTest::mouseClick(dialog.lbKbm, Qt::LeftButton);
    EXPECT_FALSE(dialog.changed());
    Ok();
    EXPECT_EQ(written, 0);
}

TEST_F(PropertiesTest, TheMouseLabelSelectsKeyboardAndMouse) {
    Show();
    QTest::mouseClick(dialog.lbKbm, Qt::LeftButton);
    EXPECT_TRUE(dialog.rbKbm->isChecked());
    EXPECT_EQ(dialog.pendingDeviceType(), TfrmProperties::kMultimediaKeyboardMouse);
    Ok();
    EXPECT_EQ(written, 1);
    EXPECT_EQ(document.settings.usbDeviceType, TfrmProperties::kMultimediaKeyboardMouse);
}

TEST_F(PropertiesTest, TheTwentyFourKeyLayoutLocksLeds2And3AndKeepsTheirModes) {
    document.numberOfKeys = 24;
    Show();
    EXPECT_TRUE(dialog.gboxLED1->isEnabled());
    EXPECT_FALSE(dialog.gboxLED2->isEnabled());
    EXPECT_FALSE(dialog.gboxLED3->isEnabled());
    dialog.listboxLed1->setCurrentRow(2);
    Ok();
    EXPECT_EQ(document.settings.ledFunction, (std::array<int32_t, 3>{2, 5, 6}));

    document.numberOfKeys = 48;
    Show();
    EXPECT_TRUE(dialog.gboxLED2->isEnabled());
    EXPECT_TRUE(dialog.gboxLED3->isEnabled());
}

// Values a hand-edited file may hold that the controls cannot show.
TEST_F(PropertiesTest, OutOfRangeValuesOfUntouchedControlsAreWrittenBackUnchanged) {
    document.settings = KeypadSettings{.keyRollOver = 40, .characterPacing = 15, .ledFunction = {9, -1, 2},
                                       .usbDeviceType = 0};
    Show();
    EXPECT_EQ(dialog.spinRollover->value(), 16);
    EXPECT_EQ(dialog.spinCharPacing->value(), 20);
    EXPECT_EQ(dialog.listboxLed1->currentRow(), -1);
    EXPECT_TRUE(dialog.listboxLed1->selectedItems().isEmpty());
    dialog.listboxLed3->setCurrentRow(4);
    Ok();
    EXPECT_EQ(document.settings, (KeypadSettings{.keyRollOver = 40, .characterPacing = 15,
                                                 .ledFunction = {9, -1, 4}, .usbDeviceType = 0}));

    // A control the user changed writes what it shows.
    Show();
    dialog.spinRollover->setValue(15);
    dialog.listboxLed2->setCurrentRow(1);
    Ok();
    EXPECT_EQ(document.settings, (KeypadSettings{.keyRollOver = 15, .characterPacing = 15,
                                                 .ledFunction = {9, 1, 4}, .usbDeviceType = 0}));
}

} // namespace
} // namespace keyloom
