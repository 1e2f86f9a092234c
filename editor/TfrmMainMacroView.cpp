#include "editor/TfrmMain.h"

#include "editor/OnScreenKeyboard.h"
#include "editor/MacroGrid.h"
#include "editor/MacroTabs.h"
#include "gui/Prompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include <algorithm>
#include <vector>

namespace keyloom {

LevelControls& TfrmMain::Controls(int level) {
    return TabControl1->levels[level == 0 ? 0 : 1];
}

MacroGrid* TfrmMain::CurrentGrid() const {
    return TabControl1->levels[m_session.selectedLevel() == 0 ? 0 : 1].StringGrid;
}

void TfrmMain::FocusCurrentGrid() { CurrentGrid()->setFocus(Qt::OtherFocusReason); }

void TfrmMain::RefreshMacroView() {
    // Loading the level controls below raises their change events; the flag tells their
    // handlers that this is not the user editing.
    if (m_refreshing)
        return;
    m_refreshing = true;
    m_session.Refresh();

    const int key = m_session.selectedKey();
    const int shown = m_session.selectedLevel();
    const Level level = m_session.level();
    const int room = m_document.LevelCapacity(level, key);

    const QString header = QStringLiteral("Key Codes for Key %1, Level %2").arg(key + 1).arg(shown + 1);
    Controls(0).lblMacroHeader->setText(header);
    Controls(1).lblMacroHeader->setText(header);

    FillMacroGrid(shown);

    const KeyRecord& record = m_document.keys[static_cast<std::size_t>(key)];
    const std::size_t slot = levelIndex(level);
    LevelControls& controls = Controls(shown);
    const int length = m_session.renderedLength();
    controls.lblLengthOfMacro->setText(QStringLiteral("Length of key data = %1 of %2").arg(length).arg(room));
    // A macro read from a file may be longer than its room (150 of 111): the bar is then full.
    controls.ProgressBar->setRoom(length, room);
    controls.edDescription->setText(QString::fromStdString(record.name[slot]));
    controls.cboxAutoRepeat->setChecked(record.autoRepeat[slot] != 0);
    controls.comboMacroMode->setCurrentIndex(record.macroMode[slot]);
    {
        const QSignalBlocker blocker(controls.cboxRevealCodes);
        controls.cboxRevealCodes->setChecked(m_session.revealCodes());
    }
    // A step changes only the selected key; every other key was described when the document or
    // the layout changed.
    DescribeKey(key);
    ShowDocumentState();

    m_refreshing = false;
}

void TfrmMain::FillMacroGrid(int level) {
    const std::size_t mine = level == 0 ? 0 : 1;
    const std::size_t others = 1 - mine;
    MacroGrid* shown = Controls(level).StringGrid;
    MacroGrid* other = Controls(static_cast<int>(others)).StringGrid;
    other->clearTexts();

    std::vector<QString> texts;
    texts.reserve(m_session.cells().cells().size());
    for (const MacroCell& cell : m_session.cells().cells()) {
        if (cell.byteCount == 0)
            break;
        texts.push_back(QString::fromStdString(m_session.revealCodes() ? cell.codeText : cell.name));
    }
    shown->setCellTexts(texts);

    // A macro that ends with a modifier still pressed makes the keypad hold it down.
    const ModifierState held = m_session.cells().HeldAtEnd();
    shown->setHeldMark(held != 0 ? m_session.cells().cellCount() - 1 : -1);
    other->setHeldMark(-1);
    Controls(static_cast<int>(others)).lblHeldModifiers->setText(QString());
    m_heldLineShows[others] = 0;
    // The line is measured and its tooltip made only when the held keys change.
    if (m_heldLineShows[mine] == held)
        return;
    m_heldLineShows[mine] = held;
    QLabel* heldLine = Controls(level).lblHeldModifiers;
    const QString names = QString::fromStdString(HeldModifierNames(held));
    const QString line = held != 0 ? QStringLiteral("Still held at the end: ") + names : QString();
    heldLine->setText(heldLine->fontMetrics().elidedText(line, Qt::ElideRight, heldLine->contentsRect().width()));
    heldLine->setToolTip(held != 0 ? names + QStringLiteral(" pressed and never released: the keypad keeps ") +
                                         (((held & (held - 1)) == 0) ? QStringLiteral("it") : QStringLiteral("them")) +
                                         QStringLiteral(" held down after playing this macro")
                                   : QString());
}

void TfrmMain::ShowModifierState() { KeyboardPanel->showModifierState(m_session.modifiersAtSelection()); }

bool TfrmMain::RecordCodes(std::span<const uint8_t> codes, int cells) {
    return Render(m_session.RecordCodes(codes, cells));
}

void TfrmMain::tabLevelClick(int level) {
    if (m_refreshing)
        return;
    Render(m_session.SelectLevel(level));
}

} // namespace keyloom
