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
    // Key buttons take no focus, so a description not yet confirmed is still in its box: it
    // belongs to the key being left. Only the shown level's box is taken: the hidden one was
    // loaded for whichever key was shown on that level last (or not at all since an Open), and
    // whatever was typed into it was confirmed when its tab was left.
    const int level = m_state.selectedLevel == 0 ? 0 : 1;
    m_document.keys[static_cast<std::size_t>(m_state.selectedKey)].name[static_cast<std::size_t>(level)] =
        Controls(level).edDescription->text().toStdString();

    m_state.selectedKey = keyIndex;
    RefreshMacroView();
    SelectEndCell();
    ShowModifierState();
    FocusCurrentGrid();
}

void TfrmMain::KeypadMouseDown(QPushButton* button, QPoint globalPosition) {
    // The right-clicked key becomes the selected key before its menu shows.
    button->setChecked(true);
    KeypadClick(button);

    const KeyRecord& key = m_document.keys[static_cast<std::size_t>(m_state.selectedKey)];
    keypadPanel->mnuCopyKeyMacro->setEnabled(key.codes(LevelOf(m_state.selectedLevel))[0] != 0);
    keypadPanel->mnuPasteKeyMacro->setEnabled(m_macroClipboard[0] != 0);
    // popup, not exec: the menu's items call back into the window when chosen.
    keypadPanel->menuKeyType->popup(globalPosition);
}

void TfrmMain::menuKeyTypePopup() {
    // A shift key becomes a toggle key (and back) only by way of the normal type, which keeps
    // the two-key limits honest.
    const int32_t keyType = m_document.keys[static_cast<std::size_t>(m_state.selectedKey)].KeyType;
    const bool levelKey = keyType == kLevelShiftKey || keyType == kLevelToggleKey;
    keypadPanel->menuKeyNormal->setEnabled(true);
    keypadPanel->menuKeyShift->setEnabled(!levelKey);
    keypadPanel->menuKeyToggle->setEnabled(!levelKey);
}

void TfrmMain::menuKeyTypeClick(int keyType) {
    if (keyType != kNormalKey && keyType != kLevelShiftKey && keyType != kLevelToggleKey)
        return;
    KeyRecord& key = m_document.keys[static_cast<std::size_t>(m_state.selectedKey)];
    if (keyType == kNormalKey) {
        key.KeyType = kNormalKey;
    } else if (key.KeyType != keyType) {
        // Only the keys of the layout in use count: the others are not on the keypad.
        const auto begin = m_document.keys.begin();
        const auto count = std::count_if(begin, begin + m_document.numberOfKeys,
                                         [keyType](const KeyRecord& other) { return other.KeyType == keyType; });
        if (count >= 2) {
            m_prompts.warning(keyType == kLevelShiftKey ? QStringLiteral("Already have two Shift keys!")
                                                        : QStringLiteral("Already have two Toggle keys!"));
            key.KeyType = kNormalKey;
        } else {
            key.KeyType = keyType;
        }
    }
    m_state.modified = true;
    RefreshMacroView();
    FocusCurrentGrid();
}

void TfrmMain::mnuCopyKeyMacroClick() {
    m_macroClipboard.fill(0);
    const std::span<const uint8_t> codes =
        m_document.keys[static_cast<std::size_t>(m_state.selectedKey)].codes(LevelOf(m_state.selectedLevel));
    std::copy(codes.begin(), codes.end(), m_macroClipboard.begin());
    FocusCurrentGrid();
}

void TfrmMain::mnuPasteKeyMacroClick() {
    const Level level = LevelOf(m_state.selectedLevel);
    const int keyIndex = m_state.selectedKey;
    const int room = m_document.LevelCapacity(level, keyIndex);
    if (level == Level::Two && room == 0) {
        m_prompts.warning(QStringLiteral("No room for this key. L1 for this key is using double space which "
                                         "leaves no room for a L2 macro for this key."));
        FocusCurrentGrid();
        return;
    }

    const std::span<uint8_t> target = m_document.keys[static_cast<std::size_t>(keyIndex)].codes(level);
    std::fill(target.begin(), target.end(), 0);
    // A longer macro is cut at the room, even inside a multi-byte code.
    int copied = 0;
    while (copied < room && m_macroClipboard[static_cast<std::size_t>(copied)] != 0) {
        target[static_cast<std::size_t>(copied)] = m_macroClipboard[static_cast<std::size_t>(copied)];
        ++copied;
    }
    if (copied > 0)
        m_state.modified = true;

    RefreshMacroView();
    SelectEndCell();
    ShowModifierState();
    FocusCurrentGrid();
}

void TfrmMain::btn24KeysClick() { SwitchLayout(24); }

void TfrmMain::btn48KeysClick() { SwitchLayout(48); }

void TfrmMain::SwitchLayout(int numberOfKeys) {
    if (m_switchingLayout)
        return;
    m_switchingLayout = true;

    m_document.numberOfKeys = numberOfKeys;
    setWindowTitle(numberOfKeys == 48 ? QStringLiteral("Quorvane KeyloomVKxx (VK48)")
                                      : QStringLiteral("Quorvane KeyloomVKxx (VK24)"));
    keypadPanel->applyLayout(numberOfKeys);
    KeyboardPanel->applyLayout(numberOfKeys);
    // Every document change that is not a step on the selected key comes through here.
    for (int keyIndex = 0; keyIndex < numberOfKeys; ++keyIndex)
        DescribeKey(keyIndex);

    SelectFirstKey();
    RefreshMacroView();
    SelectEndCell();
    ShowModifierState();
    Controls(0).StringGrid->setFocus(Qt::OtherFocusReason);

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
    keypadPanel->showKeyCaption(ButtonTagOfKeyIndex(keyIndex, m_document.numberOfKeys), keyIndex + 1,
                                QString::fromStdString(m_document.keys[static_cast<std::size_t>(keyIndex)].name[0]));
}

QPushButton* TfrmMain::NeighbourKey(int dx, int dy) const {
    // Keys are numbered row by row: 4 columns of 6 rows, or 8 columns of 6 rows with 48 keys.
    const int columns = m_document.numberOfKeys == 48 ? 8 : 4;
    const int column = m_state.selectedKey % columns + dx;
    const int row = m_state.selectedKey / columns + dy;
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
        QLineEdit* description = Controls(m_state.selectedLevel).edDescription;
        description->setFocus(Qt::ShortcutFocusReason);
        description->selectAll();
    });
    chord(QStringLiteral("Alt+R"), [this] { Controls(m_state.selectedLevel).cboxAutoRepeat->click(); });
    chord(QStringLiteral("Alt+M"), [this] {
        QComboBox* mode = Controls(m_state.selectedLevel).comboMacroMode;
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
        QPushButton* key = ButtonOfKeyIndex(m_state.selectedKey);
        KeypadMouseDown(key, key->mapToGlobal(key->rect().center()));
    });
}

void TfrmMain::SelectFirstKey() {
    m_state.selectedKey = 0;
    m_state.selectedLevel = 0;
    keypadPanel->keys[0]->setChecked(true);
    {
        // Only the selection changes here; the callers refresh.
        const QSignalBlocker blocker(TabControl1);
        TabControl1->setCurrentIndex(0);
    }
    m_state.heldModifiers.fill(false);
}

} // namespace keyloom
