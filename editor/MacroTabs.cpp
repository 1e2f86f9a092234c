#include "editor/MacroTabs.h"

#include "editor/MacroGrid.h"
#include "gui/Controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyleOptionProgressBar>
#include <QVBoxLayout>

namespace keyloom {

namespace {

constexpr QSize kTabsSize{560, 366};

constexpr const char* kMacroModes[] = {
    "Default (Auto Sense)",
    "Separate Up Codes",
    "Macro  (Advanced)",
    "Literal   (Advanced)",
};

// A level with no room has a bar of maximum 0, which Qt would draw as an endless busy
// animation; it is drawn as an empty bar instead.
class RoomBar final : public QProgressBar {
public:
    using QProgressBar::QProgressBar;

protected:
    void initStyleOption(QStyleOptionProgressBar* option) const override {
        QProgressBar::initStyleOption(option);
        if (option->minimum == 0 && option->maximum == 0) {
            option->maximum = 1;
            option->progress = 0;
        }
    }
};

// Level 1's controls end their names in "1", "L1" or "Lvl1", Level 2's in "2", "L2" or "Lvl2".
LevelControls BuildLevel(int level) {
    const QString n = QString::number(level + 1);
    const QString l = QStringLiteral("L") + n;
    const QString lvl = QStringLiteral("Lvl") + n;

    LevelControls c;
    c.tab = Named(new QWidget, QStringLiteral("tabLevel") + n);

    c.lblMacroHeader = Named(new QLabel(QStringLiteral("Key Codes for Key 1, Level 1")),
                             QStringLiteral("lblMacroHeader") + lvl);
    QFont headerFont = c.lblMacroHeader->font();
    headerFont.setPointSize(14);
    c.lblMacroHeader->setFont(headerFont);

    c.cboxAutoRepeat = Named(new QCheckBox(QStringLiteral("  This macro can auto-repeat")),
                             QStringLiteral("cboxAutoRepeat") + l);
    c.lblMode = Named(new QLabel(QStringLiteral("Mode:")), QStringLiteral("lblMode") + n);
    c.comboMacroMode = Named(new QComboBox, QStringLiteral("comboMacroMode") + n);
    for (const char* mode : kMacroModes)
        c.comboMacroMode->addItem(QString::fromLatin1(mode));
    c.comboMacroMode->setCurrentIndex(0);

    c.lblDescription = Named(new QLabel(QStringLiteral("Description: ")), QStringLiteral("lblDescription") + n);
    c.edDescription = Named(new QLineEdit, QStringLiteral("edDescription") + n);
    c.lblLengthOfMacro = Named(new QLabel(QStringLiteral("Length of key data = 0")),
                               QStringLiteral("lblLengthOfMacro") + n);
    c.ProgressBar = Named(new RoomBar, QStringLiteral("ProgressBar") + n);
    c.ProgressBar->setOrientation(Qt::Horizontal);
    c.ProgressBar->setRange(0, 111);
    c.ProgressBar->setValue(0);
    c.ProgressBar->setTextVisible(false);
    c.ProgressBar->setFixedHeight(14);

    c.StringGrid = Named(new MacroGrid, QStringLiteral("StringGrid") + n);

    c.lblRevealCodes = Named(new QLabel(QStringLiteral("Reveal Codes: ")), QStringLiteral("lblRevealCodes") + n);
    c.cboxRevealCodes = Named(new QCheckBox, QStringLiteral("cboxRevealCodes") + n);
    c.btnEraseSelected = Named(new QPushButton(QStringLiteral("Erase Selected")),
                               QStringLiteral("btnEraseSelected") + l);
    c.btnEraseAll = Named(new QPushButton(QStringLiteral("Erase All")), QStringLiteral("btnEraseAll") + l);

    // Header and the level settings on the left, description and room on the right, the grid
    // across the middle, reveal codes and erasing along the bottom.
    auto* left = new QVBoxLayout;
    left->addWidget(c.lblMacroHeader);
    left->addWidget(c.cboxAutoRepeat);
    auto* mode = new QHBoxLayout;
    mode->addWidget(c.lblMode);
    mode->addWidget(c.comboMacroMode);
    mode->addStretch();
    left->addLayout(mode);

    auto* right = new QGridLayout;
    right->addWidget(c.lblDescription, 0, 0);
    right->addWidget(c.edDescription, 0, 1);
    right->addWidget(c.lblLengthOfMacro, 1, 0, 1, 2);
    right->addWidget(c.ProgressBar, 2, 0, 1, 2);
    right->setColumnMinimumWidth(1, 140);

    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addStretch();
    top->addLayout(right);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(c.lblRevealCodes);
    bottom->addWidget(c.cboxRevealCodes);
    bottom->addStretch();
    bottom->addWidget(c.btnEraseSelected);
    bottom->addWidget(c.btnEraseAll);

    auto* page = new QVBoxLayout(c.tab);
    page->setContentsMargins(8, 6, 8, 6);
    page->addLayout(top);
    page->addWidget(c.StringGrid, 0, Qt::AlignHCenter);
    page->addLayout(bottom);
    return c;
}

} // namespace

MacroTabs::MacroTabs(QWidget* parent) : QTabWidget(parent) {
    setObjectName(QStringLiteral("TabControl1"));
    for (int level = 0; level < 2; ++level) {
        levels[static_cast<std::size_t>(level)] = BuildLevel(level);
        addTab(levels[static_cast<std::size_t>(level)].tab, QStringLiteral("Level %1          ").arg(level + 1));
    }
    setCurrentIndex(0);
    // The grid's columns follow its font, and the page grows with them.
    setFixedSize(kTabsSize.expandedTo(sizeHint()));
}

} // namespace keyloom
