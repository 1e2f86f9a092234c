#include "editor/TfrmMain.h"

#include "editor/MacroGrid.h"
#include "editor/MacroTabs.h"
#include "gui/Prompts.h"
#include "keys/KeyAdapter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>

namespace keyloom {

namespace {

const QString kNothingToErase = QStringLiteral("Nothing to erase!");
constexpr int kEnterKey = 13;

} // namespace

void TfrmMain::ConnectLevels() {
    for (int level = 0; level < 2; ++level) {
        const LevelControls& controls = Controls(level);
        QObject* context = &m_levelConnections;
        connect(controls.cboxRevealCodes, &QCheckBox::toggled, context,
                Command([this, level] { cboxRevealCodesChange(level); }));
        connect(controls.cboxAutoRepeat, &QCheckBox::toggled, context,
                Command([this, level] { cboxAutoRepeatChange(level); }));
        connect(controls.comboMacroMode, &QComboBox::currentIndexChanged, context,
                Command([this, level] { comboMacroModeChange(level); }));
        connect(controls.edDescription, &QLineEdit::editingFinished, context,
                Command([this, level] { edDescriptionChange(level); }));
        connect(controls.btnEraseAll, &QPushButton::clicked, context, Command([this, level] { btnEraseAllClick(level); }));
        connect(controls.btnEraseSelected, &QPushButton::clicked, context,
                Command([this, level] { btnEraseSelectedClick(level); }));
        // The press that comes with a double click has already selected the cell under the pointer.
        connect(controls.StringGrid, &QTableWidget::cellDoubleClicked, context,
                Command([this, level] { btnEraseSelectedClick(level); }));
        new KeyAdapter(
            controls.edDescription, controls.edDescription,
            [this, level](TypedKey key) {
                RunCommand([this, level, key] { edDescriptionKeyDown(level, key.keyCode); }, TypedDescription::Keep);
            },
            {});
    }
}

void TfrmMain::cboxRevealCodesChange(int level) {
    const bool reveal = Controls(level).cboxRevealCodes->isChecked();
    m_state.revealCodes = reveal;
    {
        // The other box only follows; its own change must not run this again.
        QCheckBox* other = Controls(level == 0 ? 1 : 0).cboxRevealCodes;
        const QSignalBlocker blocker(other);
        other->setChecked(reveal);
    }
    RefreshMacroView();
    Controls(level).StringGrid->setFocus(Qt::OtherFocusReason);
}

void TfrmMain::cboxAutoRepeatChange(int level) {
    if (m_state.refreshing)
        return;
    KeyRecord& record = m_document.keys[static_cast<std::size_t>(m_state.selectedKey)];
    record.autoRepeat[levelIndex(LevelOf(level))] = Controls(level).cboxAutoRepeat->isChecked() ? 1 : 0;
    m_state.modified = true;
    RefreshMacroView();
    Controls(level).StringGrid->setFocus(Qt::OtherFocusReason);
}

void TfrmMain::comboMacroModeChange(int level) {
    if (m_state.refreshing)
        return;
    KeyRecord& record = m_document.keys[static_cast<std::size_t>(m_state.selectedKey)];
    record.macroMode[levelIndex(LevelOf(level))] = Controls(level).comboMacroMode->currentIndex();
    m_state.modified = true;
    RefreshMacroView();
    Controls(level).StringGrid->setFocus(Qt::OtherFocusReason);
}

void TfrmMain::edDescriptionChange(int level) {
    QLineEdit* box = Controls(level).edDescription;
    // Only what the user typed since it was stored or loaded: a box that loses the focus after a
    // command has stored it (or changed the selected key or the document) holds nothing new, and
    // the hidden level's box may still show another key's name.
    if (m_state.refreshing || !box->isModified())
        return;
    // A name is a label for the user, not part of what the keypad plays: it is kept without
    // marking the document changed.
    KeyRecord& record = m_document.keys[static_cast<std::size_t>(m_state.selectedKey)];
    record.name[levelIndex(LevelOf(level))] = box->text().toStdString();
    box->setModified(false);
    DescribeKey(m_state.selectedKey);
}

void TfrmMain::StoreEditedDescription() {
    const int level = m_state.selectedLevel == 0 ? 0 : 1;
    edDescriptionChange(level);
}

void TfrmMain::edDescriptionKeyDown(int level, int keyCode) {
    if (keyCode == kEnterKey)
        Controls(level).StringGrid->setFocus(Qt::OtherFocusReason);
}

void TfrmMain::btnEraseAllClick(int level) {
    LevelControls& controls = Controls(level);
    // The bar's value stops at its maximum, and a level with no room (a file may hold one) has a
    // bar of maximum 0 even when it holds codes: the level's own length decides.
    if (m_document.Length(LevelOf(level), m_state.selectedKey) > 0) {
        std::span<uint8_t> codes = m_document.keys[static_cast<std::size_t>(m_state.selectedKey)].codes(LevelOf(level));
        std::fill(codes.begin(), codes.end(), uint8_t{0});
        m_state.modified = true;
        RefreshMacroView();
        ShowModifierState();
        controls.StringGrid->selectIndex(0);
    } else {
        m_prompts.warning(kNothingToErase);
    }
    controls.StringGrid->setFocus(Qt::OtherFocusReason);
}

void TfrmMain::btnEraseSelectedClick(int level) {
    MacroGrid* grid = Controls(level).StringGrid;
    const int cell = grid->selectedIndex();
    if (cell >= m_cells.cellCount()) {
        m_prompts.warning(kNothingToErase);
        grid->setFocus(Qt::OtherFocusReason);
        return;
    }
    // The whole cell goes: a delay's three bytes, an extended key's two.
    const int offset = m_cells.BytesBeforeCell(cell);
    const int count = m_cells.BytesBeforeCell(cell + 1) - offset;
    m_document.EraseCodes(LevelOf(m_state.selectedLevel), m_state.selectedKey, offset, count);
    m_state.modified = true;
    RefreshMacroView();
    ShowModifierState();
    // The next modifier typed or clicked here starts from the state the macro now has at this cell.
    const ModifierState state = m_cells.ModifiersAtCell(cell);
    for (std::size_t bit = 0; bit < m_state.heldModifiers.size(); ++bit)
        m_state.heldModifiers[bit] = (state & (1u << bit)) != 0;
    grid->setFocus(Qt::OtherFocusReason);
}

} // namespace keyloom
