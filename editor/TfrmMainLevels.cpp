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
    {
        // The other box only follows; its own change must not run this again.
        QCheckBox* other = Controls(level == 0 ? 1 : 0).cboxRevealCodes;
        const QSignalBlocker blocker(other);
        other->setChecked(reveal);
    }
    Render(m_session.SetRevealCodes(reveal));
}

void TfrmMain::cboxAutoRepeatChange(int level) {
    if (m_refreshing)
        return;
    Render(m_session.SetAutoRepeat(Controls(level).cboxAutoRepeat->isChecked()));
}

void TfrmMain::comboMacroModeChange(int level) {
    if (m_refreshing)
        return;
    Render(m_session.SetMacroMode(Controls(level).comboMacroMode->currentIndex()));
}

void TfrmMain::edDescriptionChange(int level) {
    QLineEdit* box = Controls(level).edDescription;
    // Only what the user typed since it was stored or loaded: a box that loses the focus after a
    // command has stored it (or changed the selected key or the document) holds nothing new, and
    // the hidden level's box may still show another key's name.
    if (m_refreshing || !box->isModified() || level != m_session.selectedLevel())
        return;
    box->setModified(false);
    m_session.SetDescription(level, box->text().toStdString());
    DescribeKey(m_session.selectedKey());
}

void TfrmMain::StoreEditedDescription() { edDescriptionChange(m_session.selectedLevel()); }

void TfrmMain::edDescriptionKeyDown(int level, int keyCode) {
    if (keyCode == kEnterKey)
        Controls(level).StringGrid->setFocus(Qt::OtherFocusReason);
}

void TfrmMain::btnEraseAllClick(int /*level*/) {
    Render(m_session.EraseAll());
    FocusCurrentGrid();
}

void TfrmMain::btnEraseSelectedClick(int /*level*/) {
    Render(m_session.EraseSelected());
    FocusCurrentGrid();
}

} // namespace keyloom
