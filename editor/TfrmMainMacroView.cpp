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

namespace {

const QString kNoRoomMessage = QStringLiteral(
    "Not enough room for this key. You can make room by deleting one or more keys.\r\r"
    "If both levels are used then each level can be up to 111 bytes long.\r"
    "If only Level 1 is used then Level 1 can be up to 220 bytes long.");


} // namespace

LevelControls& TfrmMain::Controls(int level) {
    return TabControl1->levels[level == 0 ? 0 : 1];
}

MacroGrid* TfrmMain::CurrentGrid() const {
    return TabControl1->levels[m_state.selectedLevel == 0 ? 0 : 1].StringGrid;
}

void TfrmMain::FocusCurrentGrid() { CurrentGrid()->setFocus(Qt::OtherFocusReason); }

void TfrmMain::RefreshMacroView() {
    // Loading the level controls below raises their change events; the flag tells their
    // handlers that this is not the user editing.
    if (m_state.refreshing)
        return;
    m_state.refreshing = true;

    const int key = m_state.selectedKey;
    const Level level = LevelOf(m_state.selectedLevel);
    const int room = m_document.LevelCapacity(level, key);

    const QString header =
        QStringLiteral("Key Codes for Key %1, Level %2").arg(key + 1).arg(m_state.selectedLevel + 1);
    Controls(0).lblMacroHeader->setText(header);
    Controls(1).lblMacroHeader->setText(header);

    m_cells.FreeCells();
    const int length = m_cells.RenderLevel(m_document, key, level);
    FillMacroGrid(m_state.selectedLevel);

    const KeyRecord& record = m_document.keys[static_cast<std::size_t>(key)];
    const std::size_t slot = levelIndex(level);
    LevelControls& controls = Controls(m_state.selectedLevel);
    controls.lblLengthOfMacro->setText(QStringLiteral("Length of key data = %1 of %2").arg(length).arg(room));
    // A macro read from a file may be longer than its room (150 of 111): the bar is then full.
    controls.ProgressBar->setRoom(length, room);
    controls.edDescription->setText(QString::fromStdString(record.name[slot]));
    controls.cboxAutoRepeat->setChecked(record.autoRepeat[slot] != 0);
    controls.comboMacroMode->setCurrentIndex(record.macroMode[slot]);

    for (int keyIndex = 0; keyIndex < m_document.numberOfKeys; ++keyIndex)
        ShowKeyType(keyIndex);
    // A step changes only the selected key; every other key was described when the document or
    // the layout changed.
    DescribeKey(key);

    if (lblModified != nullptr)
        lblModified->setText(m_state.modified ? QStringLiteral("Modified") : QString());

    m_state.refreshing = false;
}

void TfrmMain::FillMacroGrid(int level) {
    const std::size_t mine = level == 0 ? 0 : 1;
    const std::size_t others = 1 - mine;
    MacroGrid* shown = Controls(level).StringGrid;
    MacroGrid* other = Controls(static_cast<int>(others)).StringGrid;
    other->clearTexts();

    std::vector<QString> texts;
    texts.reserve(m_cells.cells().size());
    for (const MacroCell& cell : m_cells.cells()) {
        if (cell.byteCount == 0)
            break;
        texts.push_back(QString::fromStdString(m_state.revealCodes ? cell.codeText : cell.name));
    }
    shown->setCellTexts(texts);

    // A macro that ends with a modifier still pressed makes the keypad hold it down.
    const ModifierState held = m_cells.HeldAtEnd();
    shown->setHeldMark(held != 0 ? m_cells.cellCount() - 1 : -1);
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

void TfrmMain::SelectEndCell() {
    CurrentGrid()->selectIndex(m_cells.CountCells(LevelOf(m_state.selectedLevel)));
}

void TfrmMain::ShowModifierState() {
    // At or beyond the end the state after the last code shows: what an added code will see.
    const int index = std::min(CurrentGrid()->selectedIndex(), m_cells.cellCount() - 1);
    KeyboardPanel->showModifierState(m_cells.ModifiersAtCell(index));
}

void TfrmMain::AdvanceSelection(MacroGrid* grid) {
    // One cell on; from column 7 that is column 0 of the next row. It starts from the selected
    // cell, not the insertion cell, so a selection beyond the end walks on with each append.
    grid->selectIndex(grid->selectedIndex() + 1);
}

int TfrmMain::InsertionCell() const {
    return std::min(CurrentGrid()->selectedIndex(), m_cells.cellCount());
}

int TfrmMain::InsertionOffset() const { return m_cells.BytesBeforeCell(InsertionCell()); }

bool TfrmMain::RecordCodes(std::span<const uint8_t> codes, int cells) {
    const int offset = InsertionOffset();
    if (m_document.InsertCodes(LevelOf(m_state.selectedLevel), m_state.selectedKey, offset, codes) != 0) {
        m_prompts.warning(kNoRoomMessage);
        return false;
    }
    for (int cell = 0; cell < cells; ++cell)
        AdvanceSelection(CurrentGrid());
    m_state.modified = true;
    RefreshMacroView();
    ShowModifierState();
    FocusCurrentGrid();
    return true;
}

namespace {

// Makes a level's tab the shown one without its change signal running the tab handlers again.
void ShowLevelTab(MacroTabs* tabs, int level) {
    const QSignalBlocker blocker(tabs);
    tabs->setCurrentIndex(level);
}

} // namespace

void TfrmMain::tabLevelClick(int level) {
    if (m_state.refreshing)
        return;
    m_state.selectedLevel = level == 0 ? 0 : 1;
    ShowLevelTab(TabControl1, m_state.selectedLevel);
    RefreshMacroView();
    SelectEndCell();
    ShowModifierState();
    FocusCurrentGrid();
}

} // namespace keyloom
