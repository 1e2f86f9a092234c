#pragma once

#include <QProgressBar>
#include <QTabWidget>

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace keyloom {

class MacroGrid;

// The bar of a level's room: how much of it the macro takes.
class RoomBar final : public QProgressBar {
public:
    using QProgressBar::QProgressBar;

    // Shows used of room (a macro longer than its room fills the bar). Only a change is
    // painted, and later with the window's other updates: QProgressBar would repaint at once on
    // reaching its maximum, apart from them.
    void setRoom(int used, int room);

protected:
    // A framed groove filled in the highlight colour as far as the macro goes: the bar is painted
    // on every recording step, and the styles' own bars (gradients, chunks) cost more than the
    // rest of the step.
    void paintEvent(QPaintEvent* event) override;
};

// The controls of one level's tab; the Level 2 tab has the same set.
struct LevelControls {
    QWidget* tab = nullptr;                 // tabLevel1 / tabLevel2
    QLabel* lblMacroHeader = nullptr;       // lblMacroHeaderLvl1
    QCheckBox* cboxAutoRepeat = nullptr;    // cboxAutoRepeatL1
    QLabel* lblMode = nullptr;              // lblMode1
    QComboBox* comboMacroMode = nullptr;    // comboMacroMode1
    QLabel* lblDescription = nullptr;       // lblDescription1
    QLineEdit* edDescription = nullptr;     // edDescription1
    QLabel* lblLengthOfMacro = nullptr;     // lblLengthOfMacro1
    RoomBar* ProgressBar = nullptr;         // ProgressBar1
    MacroGrid* StringGrid = nullptr;        // StringGrid1
    QLabel* lblRevealCodes = nullptr;       // lblRevealCodes1
    QCheckBox* cboxRevealCodes = nullptr;   // cboxRevealCodes1
    QLabel* lblHeldModifiers = nullptr;     // lblHeldModifiers1: the keys the macro leaves held
    QPushButton* btnEraseSelected = nullptr; // btnEraseSelectedL1
    QPushButton* btnEraseAll = nullptr;     // btnEraseAllL1
};

// TabControl1: one tab per level with its macro grid and level settings.
class MacroTabs : public QTabWidget {
    Q_OBJECT
public:
    explicit MacroTabs(QWidget* parent = nullptr);

    std::array<LevelControls, 2> levels; // [0] Level 1, [1] Level 2
};

} // namespace keyloom
