#include "editor/TfrmMain.h"

#include "editor/CodeFinder.h"
#include "editor/KeyButtons.h"
#include "editor/OnScreenKeyboard.h"
#include "editor/KeypadPanel.h"
#include "editor/MacroGrid.h"
#include "editor/MacroTabs.h"
#include "gui/Controls.h"
#include "gui/Prompts.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QToolButton>

#include <algorithm>
#include <functional>
#include <tuple>

namespace keyloom {

void TfrmMain::KeypadClick(QPushButton* button) {
    const int keyIndex = KeyIndexOfButton(button);
    if (keyIndex < 0)
        return;
    Render(m_session.SelectKey(keyIndex));
}

void TfrmMain::KeypadMouseDown(QPushButton* button, QPoint globalPosition) {
    // The right-clicked key becomes the selected key before its menu shows.
    KeypadClick(button);
    keypadPanel->mnuCopyKeyMacro->setEnabled(m_session.canCopyKey());
    keypadPanel->mnuPasteKeyMacro->setEnabled(m_session.canPasteKey());
    // popup, not exec: the menu's items call back into the window when chosen.
    keypadPanel->menuKeyType->popup(globalPosition);
}

void TfrmMain::menuKeyTypePopup() {
    // A shift key becomes a toggle key (and back) only by way of the normal type, which keeps
    // the two-key limits honest.
    keypadPanel->menuKeyNormal->setEnabled(true);
    keypadPanel->menuKeyShift->setEnabled(m_session.canSetLevelKeyType());
    keypadPanel->menuKeyToggle->setEnabled(m_session.canSetLevelKeyType());
}

void TfrmMain::menuKeyTypeClick(int keyType) {
    Render(m_session.SetKeyType(keyType));
    FocusCurrentGrid();
}

void TfrmMain::mnuCopyKeyMacroClick() {
    m_session.CopyKey();
    FocusCurrentGrid();
}

void TfrmMain::mnuPasteKeyMacroClick() {
    Render(m_session.PasteKey());
    FocusCurrentGrid();
}

void TfrmMain::btn24KeysClick() { SwitchLayout(24); }

void TfrmMain::btn48KeysClick() { SwitchLayout(48); }

void TfrmMain::SwitchLayout(int numberOfKeys) {
    // The layout buttons change state in the middle of a switch; a switch must not start there.
    if (m_switchingLayout)
        return;
    m_switchingLayout = true;
    const SessionChange change = m_session.SetLayout(numberOfKeys);
    setWindowTitle(m_document.numberOfKeys == 48 ? QStringLiteral("Quorvane KeyloomVKxx (VK48)")
                                                 : QStringLiteral("Quorvane KeyloomVKxx (VK24)"));
    keypadPanel->applyLayout(m_document.numberOfKeys);
    KeyboardPanel->applyLayout(m_document.numberOfKeys);
    Render(change);
    m_switchingLayout = false;
}

int TfrmMain::KeyIndexOfButton(const QPushButton* button) const {
    if (button == nullptr)
        return -1;
    return KeyIndexOfButtonTag(TagOf(button), m_document.numberOfKeys);
}

QPushButton* TfrmMain::ButtonOfKeyIndex(int keyIndex) const {
    const int tag = ButtonTagOfKeyIndex(keyIndex, m_document.numberOfKeys);
    return tag < 0 ? nullptr : keypadPanel->keys[static_cast<std::size_t>(tag)];
}

void TfrmMain::ShowKeyType(int keyIndex) {
    QPushButton* button = ButtonOfKeyIndex(keyIndex);
    if (button == nullptr)
        return;
    // Any other value, such as one from a hand-edited file, shows as a normal key.
    const int32_t keyType = m_document.keys[static_cast<std::size_t>(keyIndex)].KeyType;
    button->setText(keyType == kLevelShiftKey    ? QStringLiteral("S")
                    : keyType == kLevelToggleKey ? QStringLiteral("T")
                                                 : QString());
}

QString TfrmMain::KeyDescription(int keyIndex) const {
    const KeyRecord& key = m_document.keys[static_cast<std::size_t>(keyIndex)];
    const QString type = key.KeyType == kLevelShiftKey    ? QStringLiteral("Level shift key")
                         : key.KeyType == kLevelToggleKey ? QStringLiteral("Level toggle key")
                                                          : QStringLiteral("Normal key");
    QString text = QStringLiteral("Key %1: %2").arg(keyIndex + 1).arg(type);
    for (const Level level : {Level::One, Level::Two}) {
        const std::size_t length = m_document.Length(level, keyIndex);
        const QString name = QString::fromStdString(key.name[levelIndex(level)]);
        text += QStringLiteral("\nLevel %1: ").arg(level == Level::One ? 1 : 2);
        text += length == 0 ? QStringLiteral("empty") : QStringLiteral("%1 bytes").arg(length);
        if (!name.isEmpty())
            text += QStringLiteral(", \u201C%1\u201D").arg(name);
    }
    return text;
}

void TfrmMain::DescribeKey(int keyIndex) {
    QPushButton* button = ButtonOfKeyIndex(keyIndex);
    if (button == nullptr)
        return;
    button->setAccessibleName(QStringLiteral("Key %1").arg(keyIndex + 1));
    button->setAccessibleDescription(KeyDescription(keyIndex));
    ShowKeyType(keyIndex);
    keypadPanel->showKeyCaption(ButtonTagOfKeyIndex(keyIndex, m_document.numberOfKeys), keyIndex + 1,
                                QString::fromStdString(m_document.keys[static_cast<std::size_t>(keyIndex)].name[0]));
}

QPushButton* TfrmMain::NeighbourKey(int dx, int dy) const {
    // Keys are numbered row by row: 4 columns of 6 rows, or 8 columns of 6 rows with 48 keys.
    const int columns = m_document.numberOfKeys == 48 ? 8 : 4;
    const int column = m_session.selectedKey() % columns + dx;
    const int row = m_session.selectedKey() / columns + dy;
    if (column < 0 || column >= columns || row < 0 || row * columns >= m_document.numberOfKeys)
        return nullptr;
    return ButtonOfKeyIndex(row * columns + column);
}

void TfrmMain::ConnectChords() {
    const auto chord = [this](const QKeySequence& keys, const std::function<void()>& action) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, action);
    };
    // The toolbar's chords are its buttons' own (BuildToolbar), except that undo and redo act at
    // once and at every repeat of a held chord: a button's own shortcut clicks only after showing
    // itself pressed, and folds the repeats meanwhile into that one click.
    for (QToolButton* button : {btnUndo, btnRedo}) {
        chord(button->shortcut(), [button] { button->click(); });
        button->setShortcut({});
    }
    chord(QStringLiteral("Alt+1"), [this] { TabControl1->setCurrentIndex(0); });
    chord(QStringLiteral("Alt+2"), [this] { TabControl1->setCurrentIndex(1); });
    for (const auto& [keys, dx, dy] : {std::tuple{"Alt+Left", -1, 0}, std::tuple{"Alt+Right", 1, 0},
                                       std::tuple{"Alt+Up", 0, -1}, std::tuple{"Alt+Down", 0, 1}}) {
        chord(QString::fromLatin1(keys), [this, dx = dx, dy = dy] {
            if (QPushButton* key = NeighbourKey(dx, dy))
                key->click();
        });
    }
    chord(QStringLiteral("Alt+E"), [this] {
        QLineEdit* description = Controls(m_session.selectedLevel()).edDescription;
        description->setFocus(Qt::ShortcutFocusReason);
        description->selectAll();
    });
    chord(QStringLiteral("Alt+R"), [this] { Controls(m_session.selectedLevel()).cboxAutoRepeat->click(); });
    chord(QStringLiteral("Alt+M"), [this] {
        QComboBox* mode = Controls(m_session.selectedLevel()).comboMacroMode;
        mode->setFocus(Qt::ShortcutFocusReason);
        mode->showPopup();
    });
    chord(QStringLiteral("Alt+V"), [this] { keypadPanel->cboxKeyDescriptions->click(); });
    // The finder opens its list again on the query it kept, so Enter records the same code again.
    chord(QStringLiteral("Alt+F"), [this] {
        QLineEdit* field = codeFinder->edFindCode;
        field->setFocus(Qt::ShortcutFocusReason);
        field->selectAll();
        edFindCodeChange();
    });
    chord(QStringLiteral("Alt+K"), [this] {
        QPushButton* key = ButtonOfKeyIndex(m_session.selectedKey());
        RunCommand([this, key] { KeypadMouseDown(key, key->mapToGlobal(key->rect().center())); });
    });
}

} // namespace keyloom
