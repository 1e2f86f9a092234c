#include "EditorFixture.h"

#include "editor/KeyButtons.h"
#include "editor/OnScreenKeyboard.h"
#include "editor/KeypadPanel.h"
#include "editor/MacroGrid.h"
#include "editor/MacroTabs.h"
#include "gui/Controls.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include <algorithm>
#include <vector>

namespace keyloom {
namespace {

using test::Bytes;


class KeypadPanelFixture : public test::EditorFixture {
protected:
    void SetUp() override {
        Start();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        panel = window->keypadPanel;
    }

    QPushButton* Key(int number) {
        auto* key = window->findChild<QPushButton*>(QStringLiteral("Key%1").arg(number));
        EXPECT_NE(key, nullptr) << "Key" << number;
        return key;
    }
    QString Header() { return window->findChild<QLabel*>("lblMacroHeaderLvl1")->text(); }
    void UseLayout(int numberOfKeys) {
        QTest::mouseClick(numberOfKeys == 48 ? panel->btn48Keys : panel->btn24Keys, Qt::LeftButton);
        ASSERT_EQ(document.numberOfKeys, numberOfKeys);
    }
    void ShowLevel(int level) {
        QTabBar* tabs = window->TabControl1->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(level).center());
        ASSERT_EQ(window->session().selectedLevel(), level);
    }
    // Right-clicks a key and leaves its menu open.
    void RightClick(QPushButton* key) {
        QTest::mousePress(key, Qt::RightButton, {}, key->rect().center());
        ASSERT_TRUE(panel->menuKeyType->isVisible());
    }
    // Right-clicks a key and chooses an item of its menu by mouse, as the user does.
    void Choose(QPushButton* key, QAction* item) {
        RightClick(key);
        QTest::mouseClick(panel->menuKeyType, Qt::LeftButton, {}, panel->menuKeyType->actionGeometry(item).center());
        panel->menuKeyType->hide();
    }

    KeypadPanel* panel = nullptr;
};

TEST_F(KeypadPanelFixture, KeyButtonsAreOneRadioGroupInTwoPanelsOfFourBySix) {
    EXPECT_TRUE(panel->keyGroup->exclusive());
    EXPECT_TRUE(Key(1)->isChecked());
    for (int number = 1; number <= 48; ++number) {
        QPushButton* key = Key(number);
        const int tag = number - 1;
        const int inPanel = tag % 24;
        QPushButton* first = Key(tag < 24 ? 1 : 25);
        EXPECT_EQ(TagOf(key), tag);
        EXPECT_EQ(key->parentWidget(), tag < 24 ? panel->KeyPanel1 : panel->KeyPanel2);
        EXPECT_EQ(key->size(), QSize(30, 30));
        EXPECT_EQ(key->pos() - first->pos(), QPoint(34 * (inPanel % 4), 34 * (inPanel / 4))) << "Key" << number;
        EXPECT_EQ(key->font().pointSize(), 14);
        EXPECT_TRUE(key->isCheckable());
        EXPECT_EQ(key->group(), panel->keyGroup);
    }
    EXPECT_EQ(panel->KeyPanel1->size(), QSize(140, 209));
    EXPECT_EQ(panel->KeyPanel2->size(), QSize(140, 209));
}

TEST_F(KeypadPanelFixture, KeyTypeMenuHasItsItemsInOrder) {
    const QList<QAction*> items = panel->menuKeyType->actions();
    ASSERT_EQ(items.size(), 6);
    EXPECT_EQ(items[0]->text(), "Normal key   -- Not a Shift or Toggle key");
    EXPECT_EQ(items[1]->text(), "Level Shift     -- Will cause the keypad to switch levels while held down.");
    EXPECT_EQ(items[2]->text(), "Level Toggle -- Will cause the keypad to switch levels after key is released.");
    EXPECT_TRUE(items[3]->isSeparator());
    EXPECT_EQ(items[4]->text(), "Copy key macro data");
    EXPECT_EQ(items[5]->text(), "Paste key macro data");
    for (int type = 0; type < 3; ++type)
        EXPECT_EQ(items[type]->data().toInt(), type);
}

struct LayoutCase {
    int numberOfKeys;
    const char* title;
    int keyPanel1Left;
    int led1Left;
};

void PrintTo(const LayoutCase& c, std::ostream* out) { *out << c.numberOfKeys << " keys"; }

class KeypadLayout : public KeypadPanelFixture, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(KeypadLayout, LayoutButtonPlacesThePanelsAndTheLedButtons) {
    const LayoutCase& c = GetParam();
    const bool wide = c.numberOfKeys == 48;
    UseLayout(wide ? 24 : 48);
    UseLayout(c.numberOfKeys);

    EXPECT_EQ(window->windowTitle(), c.title);
    EXPECT_EQ(panel->btn24Keys->isChecked(), !wide);
    EXPECT_EQ(panel->btn48Keys->isChecked(), wide);
    EXPECT_EQ(panel->KeyPanel1->x(), c.keyPanel1Left);
    EXPECT_EQ(panel->KeyPanel2->isVisible(), wide);
    EXPECT_EQ(panel->KeyPanel2->x(), c.keyPanel1Left + 140);
    const auto& leds = window->KeyboardPanel->keyLED;
    EXPECT_EQ(leds[0]->x(), c.led1Left);
    EXPECT_TRUE(leds[0]->isVisible());
    EXPECT_EQ(leds[1]->isVisible(), wide);
    EXPECT_EQ(leds[2]->isVisible(), wide);
    EXPECT_EQ(QApplication::focusWidget(), window->findChild<MacroGrid*>("StringGrid1"));
}

INSTANTIATE_TEST_SUITE_P(Layouts, KeypadLayout,
                         ::testing::Values(LayoutCase{24, "Quorvane KeyloomVKxx (VK24)", 88, 557},
                                           LayoutCase{48, "Quorvane KeyloomVKxx (VK48)", 18, 522}),
                         [](const auto& info) { return std::to_string(info.param.numberOfKeys) + "Keys"; });

struct SelectionCase {
    int numberOfKeys;
    int button;
    int keyIndex;
};

void PrintTo(const SelectionCase& c, std::ostream* out) {
    *out << "Key" << c.button << " in " << c.numberOfKeys << " keys";
}

class KeypadSelection : public KeypadPanelFixture, public ::testing::WithParamInterface<SelectionCase> {};

TEST_P(KeypadSelection, ClickedButtonSelectsItsKeyIndex) {
    const SelectionCase& c = GetParam();
    UseLayout(c.numberOfKeys);
    QTest::mouseClick(Key(c.button), Qt::LeftButton);
    EXPECT_EQ(window->session().selectedKey(), c.keyIndex);
    EXPECT_EQ(Header(), QStringLiteral("Key Codes for Key %1, Level 1").arg(c.keyIndex + 1));
    EXPECT_EQ(panel->keyGroup->checkedButton(), Key(c.button));
    EXPECT_EQ(window->ButtonOfKeyIndex(c.keyIndex), Key(c.button));
}

INSTANTIATE_TEST_SUITE_P(Buttons, KeypadSelection,
                         ::testing::Values(SelectionCase{24, 5, 4}, SelectionCase{24, 24, 23},
                                           SelectionCase{48, 25, 4}, SelectionCase{48, 5, 8},
                                           SelectionCase{48, 21, 40}, SelectionCase{48, 48, 47}),
                         [](const auto& info) {
                             return std::to_string(info.param.numberOfKeys) + "KeysKey" +
                                    std::to_string(info.param.button);
                         });

TEST_F(KeypadPanelFixture, ClickKeepsTheSelectedLevel) {
    ShowLevel(1);
    QTest::mouseClick(Key(7), Qt::LeftButton);
    EXPECT_EQ(window->session().selectedLevel(), 1);
    EXPECT_EQ(window->findChild<QLabel*>("lblMacroHeaderLvl2")->text(), "Key Codes for Key 7, Level 2");
}

TEST_F(KeypadPanelFixture, SwitchingLayoutsKeepsKeyDataAndReturnsToTheFirstKey) {
    UseLayout(48);
    QTest::mouseClick(Key(25), Qt::LeftButton);
    ASSERT_TRUE(window->RecordCodes(Bytes{0x1C}));
    ASSERT_TRUE(window->RecordCodes(Bytes{0x32}));
    QTest::mouseClick(Key(29), Qt::LeftButton);
    ShowLevel(1);
    const KeypadDocument before = document;

    UseLayout(24);
    EXPECT_EQ(document.keys, before.keys);
    EXPECT_EQ(window->session().selectedKey(), 0);
    EXPECT_EQ(window->session().selectedLevel(), 0);
    EXPECT_TRUE(Key(1)->isChecked());
    EXPECT_EQ(Header(), "Key Codes for Key 1, Level 1");

    auto* grid = window->findChild<MacroGrid*>("StringGrid1");
    QTest::mouseClick(Key(5), Qt::LeftButton);
    EXPECT_EQ(grid->cellText(0), "a");
    EXPECT_EQ(grid->cellText(1), "b");

    UseLayout(48);
    EXPECT_EQ(document.keys, before.keys);
    QTest::mouseClick(Key(25), Qt::LeftButton);
    EXPECT_EQ(window->session().selectedKey(), 4);
    EXPECT_EQ(grid->cellText(1), "b");
}

TEST_F(KeypadPanelFixture, LayoutCommandInsideALayoutCommandDoesNothing) {
    // The layout button changes state in the middle of the switch; a command started from there
    // must not run.
    QObject::connect(panel->btn24Keys, &QPushButton::toggled, window.get(), [this] { window->btn24KeysClick(); });
    UseLayout(48);
    EXPECT_EQ(window->windowTitle(), "Quorvane KeyloomVKxx (VK48)");
    EXPECT_TRUE(panel->KeyPanel2->isVisible());
}

class KeypadCaption : public KeypadPanelFixture, public ::testing::WithParamInterface<std::pair<int32_t, const char*>> {};

TEST_P(KeypadCaption, ButtonShowsItsKeyType) {
    document.keys[4].KeyType = GetParam().first;
    Loaded();
    UseLayout(48);
    EXPECT_EQ(Key(25)->text(), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(KeyTypes, KeypadCaption,
                         ::testing::Values(std::pair<int32_t, const char*>{0, ""}, std::pair<int32_t, const char*>{1, "S"},
                                           std::pair<int32_t, const char*>{2, "T"},
                                           std::pair<int32_t, const char*>{7, ""}));

TEST_F(KeypadPanelFixture, AtMostTwoShiftAndTwoToggleKeys) {
    Choose(Key(2), panel->menuKeyShift);
    Choose(Key(3), panel->menuKeyShift);
    Choose(Key(4), panel->menuKeyToggle);
    Choose(Key(5), panel->menuKeyToggle);
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.join('|').toStdString();
    EXPECT_EQ(Key(3)->text(), "S");
    EXPECT_EQ(Key(5)->text(), "T");

    Choose(Key(6), panel->menuKeyShift);
    Choose(Key(7), panel->menuKeyToggle);
    EXPECT_EQ(prompts.shown,
              (QStringList{"warning: Already have two Shift keys!", "warning: Already have two Toggle keys!"}));
    EXPECT_EQ(document.keys[5].KeyType, kNormalKey);
    EXPECT_EQ(document.keys[6].KeyType, kNormalKey);
    EXPECT_EQ(Key(6)->text(), "");
    EXPECT_EQ(Key(7)->text(), "");
    EXPECT_EQ(window->findChild<QLabel*>("lblModified")->text(), "Modified");
}

TEST_F(KeypadPanelFixture, KeysOutsideTheLayoutDoNotCountTowardTheLimit) {
    ASSERT_EQ(document.numberOfKeys, 24);
    document.keys[30].KeyType = kLevelShiftKey;
    document.keys[31].KeyType = kLevelShiftKey;
    document.keys[40].KeyType = kLevelShiftKey;
    Choose(Key(1), panel->menuKeyShift);
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_EQ(document.keys[0].KeyType, kLevelShiftKey);
}

TEST_F(KeypadPanelFixture, LevelKeyOffersOnlyTheNormalTypeUntilItIsNormalAgain) {
    auto typesOffered = [&] {
        return std::vector<bool>{panel->menuKeyNormal->isEnabled(), panel->menuKeyShift->isEnabled(),
                                 panel->menuKeyToggle->isEnabled()};
    };
    Choose(Key(9), panel->menuKeyShift);
    EXPECT_EQ(Key(9)->text(), "S");
    RightClick(Key(9));
    EXPECT_EQ(typesOffered(), (std::vector<bool>{true, false, false}));
    QTest::mouseClick(panel->menuKeyType, Qt::LeftButton, {},
                      panel->menuKeyType->actionGeometry(panel->menuKeyToggle).center());
    panel->menuKeyType->hide();
    EXPECT_EQ(document.keys[8].KeyType, kLevelShiftKey) << "a disabled item does nothing";

    Choose(Key(9), panel->menuKeyNormal);
    EXPECT_EQ(Key(9)->text(), "");
    RightClick(Key(9));
    EXPECT_EQ(typesOffered(), (std::vector<bool>{true, true, true}));
    panel->menuKeyType->hide();
}

TEST_F(KeypadPanelFixture, RightClickSelectsTheKeyAndOffersCopyAndPasteOnlyWithSomethingToMove) {
    SetCodes(10, Level::One, {0x1C});
    RightClick(Key(11));
    EXPECT_EQ(window->session().selectedKey(), 10);
    EXPECT_TRUE(Key(11)->isChecked());
    EXPECT_TRUE(panel->mnuCopyKeyMacro->isEnabled());
    EXPECT_FALSE(panel->mnuPasteKeyMacro->isEnabled()) << "nothing copied yet";
    QTest::mouseClick(panel->menuKeyType, Qt::LeftButton, {},
                      panel->menuKeyType->actionGeometry(panel->mnuCopyKeyMacro).center());
    panel->menuKeyType->hide();

    RightClick(Key(12));
    EXPECT_FALSE(panel->mnuCopyKeyMacro->isEnabled()) << "the level is empty";
    EXPECT_TRUE(panel->mnuPasteKeyMacro->isEnabled());
    panel->menuKeyType->hide();
    EXPECT_FALSE(window->session().modified());
}

// A Level 1 macro of 150 distinct-looking bytes, so a cut shows where it fell.
Bytes LongMacro() {
    Bytes bytes(150);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = i % 2 == 0 ? 0x1C : 0x32;
    return bytes;
}

struct PasteCase {
    const char* name;
    int targetLevel;
    bool otherLevelInUse;
    std::size_t keptBytes;
};

void PrintTo(const PasteCase& c, std::ostream* out) { *out << c.name; }

class KeypadPaste : public KeypadPanelFixture, public ::testing::WithParamInterface<PasteCase> {};

TEST_P(KeypadPaste, PasteReplacesTheLevelCutToItsRoomAndKeepsTheSettings) {
    const PasteCase& c = GetParam();
    const Level target = c.targetLevel == 0 ? Level::One : Level::Two;
    const Level other = c.targetLevel == 0 ? Level::Two : Level::One;
    SetCodes(0, Level::One, LongMacro());
    document.keys[0].name = {"source", "source 2"};
    SetCodes(1, target, Bytes(60, 0x21));
    SetCodes(1, other, c.otherLevelInUse ? Bytes{0x23} : Bytes{});
    KeyRecord& key = document.keys[1];
    key.name = {"target", "target 2"};
    key.macroMode = {2, 3};
    key.autoRepeat = {0, 0};
    key.KeyType = kLevelToggleKey;
    window->RefreshMacroView();
    const KeyRecord sourceBefore = document.keys[0];
    const KeyRecord targetBefore = document.keys[1];

    Choose(Key(1), panel->mnuCopyKeyMacro);
    QTest::mouseClick(Key(2), Qt::LeftButton);
    ShowLevel(c.targetLevel);
    Choose(Key(2), panel->mnuPasteKeyMacro);

    const Bytes source = LongMacro();
    EXPECT_EQ(CodesOf(1, target), Bytes(source.begin(), source.begin() + static_cast<std::ptrdiff_t>(c.keptBytes)));
    const KeyRecord& after = document.keys[1];
    EXPECT_EQ(after.codes(other)[0], c.otherLevelInUse ? 0x23 : 0);
    EXPECT_EQ(after.name, targetBefore.name);
    EXPECT_EQ(after.macroMode, targetBefore.macroMode);
    EXPECT_EQ(after.autoRepeat, targetBefore.autoRepeat);
    EXPECT_EQ(after.KeyType, targetBefore.KeyType);
    EXPECT_EQ(document.keys[0], sourceBefore);
    EXPECT_TRUE(window->session().modified());
    EXPECT_TRUE(prompts.shown.isEmpty());
    auto* grid = window->findChild<MacroGrid*>(c.targetLevel == 0 ? "StringGrid1" : "StringGrid2");
    EXPECT_EQ(grid->selectedIndex(), static_cast<int>(c.keptBytes)) << "the selection is after the last cell";
}

INSTANTIATE_TEST_SUITE_P(Room, KeypadPaste,
                         ::testing::Values(PasteCase{"IntoLevel2", 1, false, 111},
                                           PasteCase{"IntoLevel1BesideEmptyLevel2", 0, false, 150},
                                           PasteCase{"IntoLevel1BesideLevel2InUse", 0, true, 111}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(KeypadPanelFixture, PasteIntoLevel2BesideDoubleSpaceIsRefused) {
    SetCodes(0, Level::One, {0x1C, 0x32});
    SetCodes(1, Level::One, Bytes(112, 0x21));
    Choose(Key(1), panel->mnuCopyKeyMacro);
    QTest::mouseClick(Key(2), Qt::LeftButton);
    ShowLevel(1);
    const KeypadDocument before = document;

    Choose(Key(2), panel->mnuPasteKeyMacro);

    EXPECT_EQ(prompts.shown, QStringList{"warning: No room for this key. L1 for this key is using double space "
                                         "which leaves no room for a L2 macro for this key."});
    EXPECT_EQ(document, before);
    EXPECT_FALSE(window->session().modified());
}

TEST_F(KeypadPanelFixture, UnconfirmedDescriptionStaysWithTheKeyItWasTypedFor) {
    auto* description1 = window->findChild<QLineEdit*>("edDescription1");
    auto* description2 = window->findChild<QLineEdit*>("edDescription2");
    document.keys[4].name = {"key five", "key five, Level 2"};
    Loaded();

    QTest::mouseClick(description1, Qt::LeftButton);
    QTest::keyClicks(description1, "Volume up");
    QTest::mouseClick(Key(5), Qt::LeftButton);
    EXPECT_EQ(document.keys[0].name[0], "Volume up");
    EXPECT_EQ(description1->text(), "key five");

    ShowLevel(1);
    QTest::mouseClick(description2, Qt::LeftButton);
    description2->selectAll();
    QTest::keyClicks(description2, "Mute");
    QTest::mouseClick(Key(6), Qt::LeftButton);
    EXPECT_EQ(document.keys[4].name[1], "Mute");
    EXPECT_EQ(document.keys[4].name[0], "key five");
    EXPECT_TRUE(window->session().modified()) << "a description is part of the file";
}

// A caption shows the description, or where the key is too narrow for it (as in the wide stand-in
// font of Wine's offscreen tests) its start and an ellipsis.
::testing::AssertionResult ShowsStartOf(const QString& caption, const QString& description) {
    const QString ellipsis(QChar(0x2026));
    if (caption == description ||
        (caption.size() > 1 && caption.endsWith(ellipsis) && description.startsWith(caption.chopped(1))))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << '"' << caption.toStdString() << "\" does not show \""
                                         << description.toStdString() << '"';
}

// Each key writes its number and Level 1 description on its picture, shortened to the key's
// width, in either layout; the description typed into the box shows once it is confirmed.
TEST_F(KeypadPanelFixture, KeysShowTheirLevel1Descriptions) {
    document.keys[9].name = {"Play", "Level two is not shown"};
    document.keys[40].name = {"A description far too long for any key", ""};
    UseLayout(48);
    const auto caption = [&](int keyIndex) {
        return panel->keyCaption(ButtonTagOfKeyIndex(keyIndex, document.numberOfKeys));
    };
    EXPECT_TRUE(ShowsStartOf(caption(9), "Play"));
    EXPECT_EQ(caption(0), "");
    const std::string shortened = caption(40).toStdString();
    EXPECT_THAT(shortened, ::testing::StartsWith("A"));
    EXPECT_THAT(shortened, ::testing::EndsWith("\u2026"));

    UseLayout(24);
    EXPECT_TRUE(ShowsStartOf(caption(9), "Play"));
    QTest::mouseClick(Key(3), Qt::LeftButton);
    QLineEdit* box = window->findChild<QLineEdit*>("edDescription1");
    box->setFocus();
    QTest::keyClicks(box, "Mute");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_TRUE(ShowsStartOf(caption(2), "Mute"));
}

// The setting hides the captions, Alt+V turns them back on, and the choice outlives the window.
TEST_F(KeypadPanelFixture, DescriptionsOnKeysAreASettingKeptAcrossRuns) {
    document.keys[0].name = {"Copy", ""};
    Loaded();
    UseLayout(48);
    ASSERT_TRUE(ShowsStartOf(panel->keyCaption(0), "Copy"));
    panel->cboxKeyDescriptions->click();
    EXPECT_EQ(panel->keyCaption(0), "");
    window->close();

    Start();
    EXPECT_FALSE(window->keypadPanel->cboxKeyDescriptions->isChecked()) << "kept in the settings file";
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window->CurrentGrid(), Qt::Key_V, Qt::AltModifier);
    EXPECT_TRUE(window->keypadPanel->cboxKeyDescriptions->isChecked());
    EXPECT_EQ(document.Length(Level::One, 0), 0u) << "the chord records nothing";
}

} // namespace
} // namespace keyloom
