#pragma once

#include <QTabWidget>

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace keyloom {

class MacroGrid;

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
    QProgressBar* ProgressBar = nullptr;    // ProgressBar1
    MacroGrid* StringGrid = nullptr;        // StringGrid1
    QLabel* lblRevealCodes = nullptr;       // lblRevealCodes1
    QCheckBox* cboxRevealCodes = nullptr;   // cboxRevealCodes1
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
