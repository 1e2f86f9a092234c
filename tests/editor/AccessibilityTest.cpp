#include "EditorFixture.h"

#include "dialogs/TfrmTypeText.h"

#include <QAccessible>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QToolTip>

#include <gmock/gmock.h>

#include <string>
#include <vector>

namespace keyloom {
namespace {

using ::testing::HasSubstr;

class Accessibility : public test::EditorFixture {
protected:
    void SetUp() override {
        Start();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
};

bool IsInteractive(QAccessible::Role role) {
    switch (role) {
    case QAccessible::Button:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::Slider:
    case QAccessible::SpinBox:
    case QAccessible::Table:
    case QAccessible::PageTab:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
        return true;
    default:
        return false;
    }
}

// The object names (or roles) of the shown, enabled interactive controls below item that have no
// accessible name. A table's cells are its content, named by what they show.
void CollectUnnamed(QAccessibleInterface* item, std::vector<std::string>& unnamed) {
    if (item == nullptr || item->state().invisible)
        return;
    if (IsInteractive(item->role()) && !item->state().disabled && item->text(QAccessible::Name).trimmed().isEmpty()) {
        const QObject* object = item->object();
        unnamed.push_back(object != nullptr && !object->objectName().isEmpty() ? object->objectName().toStdString()
                                                                               : std::to_string(item->role()));
    }
    if (item->role() == QAccessible::Table)
        return;
    for (int i = 0; i < item->childCount(); ++i)
        CollectUnnamed(item->child(i), unnamed);
}

TEST_F(Accessibility, EveryShownControlHasAName) {
    for (const bool fortyEight : {false, true}) {
        if (fortyEight)
            window->btn48KeysClick();
        std::vector<std::string> unnamed;
        CollectUnnamed(QAccessible::queryAccessibleInterface(window.get()), unnamed);
        EXPECT_THAT(unnamed, ::testing::IsEmpty()) << (fortyEight ? "48 keys" : "24 keys");
    }
}

TEST_F(Accessibility, EveryControlOfTheDialogsHasAName) {
    // Made for each showing, so it joins the dialogs made at the start for this test.
    TfrmTypeText typeText(220, {}, window.get());
    for (QDialog* dialog : window->findChildren<QDialog*>(QString(), Qt::FindDirectChildrenOnly)) {
        dialog->show();
        std::vector<std::string> unnamed;
        CollectUnnamed(QAccessible::queryAccessibleInterface(dialog), unnamed);
        EXPECT_THAT(unnamed, ::testing::IsEmpty()) << dialog->objectName().toStdString();
        dialog->hide();
    }
}

TEST_F(Accessibility, KeysAreNamedByWhatTheyAreAndWhatTheyHold) {
    SetCodes(4, Level::One, {0x1C, 0xF0, 0x1C});
    document.keys[4].name[0] = "Copy";
    document.keys[4].KeyType = kLevelShiftKey;
    window->btn24KeysClick();

    QAccessibleInterface* key = QAccessible::queryAccessibleInterface(window->ButtonOfKeyIndex(4));
    EXPECT_EQ(key->text(QAccessible::Name), "Key 5");
    EXPECT_THAT(key->text(QAccessible::Description).toStdString(), HasSubstr("Level shift key"));
    EXPECT_THAT(key->text(QAccessible::Description).toStdString(), HasSubstr("Level 1: 3 bytes, \u201CCopy\u201D"));
    EXPECT_THAT(window->KeyDescription(4).toStdString(), HasSubstr("Level 2: empty"));

    // On-screen keys by their full names, their tooltips saying what they record.
    for (const auto& [name, full] : std::vector<std::pair<const char*, const char*>>{
             {"keyLShift", "Left Shift"}, {"keyRShift", "Right Shift"}, {"keySpace", "Space"},
             {"keyNum1", "1 and !"}, {"kp7", "Keypad 7"}, {"keyF5", "F5"}}) {
        auto* button = window->findChild<QPushButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        EXPECT_EQ(QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name).toStdString(), full);
        EXPECT_THAT(button->toolTip().toStdString(), HasSubstr(full));
    }
    EXPECT_EQ(window->findChild<QPushButton*>("keySpace")->toolTip(), "Space: records 29");
}

} // namespace
} // namespace keyloom
