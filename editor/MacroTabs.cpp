#include "editor/MacroTabs.h"

#include "editor/MacroGrid.h"
#include "gui/Controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>

namespace keyloom {

namespace {

constexpr QSize kTabsSize{560, 366};

constexpr const char* kMacroModes[] = {
    "Default (Auto Sense)",
    "Separate Up Codes",
    "Macro  (Advanced)",
    "Literal   (Advanced)",
};

} // namespace

void RoomBar::setRoom(int used, int room) {
    used = std::min(used, room);
    if (room == maximum() && used == value())
        return;
    setUpdatesEnabled(false);
    setMaximum(room);
    setValue(used);
    setUpdatesEnabled(true); // asks for one update of the bar
}

void RoomBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect groove = rect().adjusted(0, 0, -1, -1);
    painter.fillRect(groove, palette().brush(QPalette::Base));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(groove);
    // A level with no room (maximum 0) shows an empty bar, not Qt's endless busy animation.
    if (maximum() > 0 && value() > 0) {
        const QRect inside = groove.adjusted(1, 1, 0, 0);
        const int filled = static_cast<int>(static_cast<qint64>(inside.width()) * value() / maximum());
        painter.fillRect(QRect(inside.topLeft(), QSize(filled, inside.height())), palette().brush(QPalette::Highlight));
    }
}

namespace {

// Level 1's controls end their names in "1", "L1" or "Lvl1", Level 2's in "2", "L2" or "Lvl2".
LevelControls BuildLevel(int level) {
    const QString n = QString::number(level + 1);
    const QString l = QStringLiteral("L") + n;
    const QString lvl = QStringLiteral("Lvl") + n;

    LevelControls c;
    c.tab = Named(new QWidget, QStringLiteral("tabLevel") + n);
    const QString levelName = QStringLiteral("Level ") + n;

    c.lblMacroHeader = Named(new QLabel(QStringLiteral("Key Codes for Key 1, Level 1")),
                             QStringLiteral("lblMacroHeader") + lvl);
    QFont headerFont = c.lblMacroHeader->font();
    headerFont.setPointSize(14);
    c.lblMacroHeader->setFont(headerFont);
    FixSizeForTexts(c.lblMacroHeader, EveryDigitIn(QStringLiteral("Key Codes for Key ##, Level #")));

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
    FixSizeForTexts(c.lblLengthOfMacro, EveryDigitIn(QStringLiteral("Length of key data = ### of ###")));
    c.ProgressBar = Named(new RoomBar, QStringLiteral("ProgressBar") + n);
    c.ProgressBar->setOrientation(Qt::Horizontal);
    c.ProgressBar->setRange(0, 111);
    c.ProgressBar->setValue(0);
    c.ProgressBar->setTextVisible(false);
    c.ProgressBar->setFixedHeight(14);

    c.cboxAutoRepeat->setToolTip(QStringLiteral("The keypad repeats this macro while the key is held down"));
    c.comboMacroMode->setAccessibleName(QStringLiteral("Mode"));
    c.comboMacroMode->setToolTip(QStringLiteral("How the keypad plays this macro back"));
    c.lblMode->setBuddy(c.comboMacroMode);
    c.edDescription->setAccessibleName(QStringLiteral("Description"));
    c.edDescription->setToolTip(QStringLiteral("A name for this level's macro, kept in the file; Enter stores it"));
    c.lblDescription->setBuddy(c.edDescription);
    c.ProgressBar->setAccessibleName(QStringLiteral("Room used"));
    c.ProgressBar->setToolTip(QStringLiteral("How much of this level's room the macro takes"));

    c.StringGrid = Named(new MacroGrid, QStringLiteral("StringGrid") + n);

    c.lblRevealCodes = Named(new QLabel(QStringLiteral("Reveal Codes: ")), QStringLiteral("lblRevealCodes") + n);
    c.cboxRevealCodes = Named(new QCheckBox, QStringLiteral("cboxRevealCodes") + n);
    // Empty unless the macro leaves modifier keys held down. Its size is fixed, so that its text
    // changing asks the page for no new layout; a longer list is cut, whole in the tooltip.
    c.lblHeldModifiers = Named(new QLabel, QStringLiteral("lblHeldModifiers") + n);
    FixSizeForTexts(c.lblHeldModifiers, {QStringLiteral("Still held at the end: Right Shift, Right Ctrl")});
    c.lblHeldModifiers->setAccessibleName(QStringLiteral("Keys still held at the end"));
    c.btnEraseSelected = Named(new QPushButton(QStringLiteral("Erase Selected")),
                               QStringLiteral("btnEraseSelected") + l);
    c.btnEraseAll = Named(new QPushButton(QStringLiteral("Erase All")), QStringLiteral("btnEraseAll") + l);
    c.StringGrid->setAccessibleName(QStringLiteral("Key codes, ") + levelName);
    c.StringGrid->setAccessibleDescription(
        QStringLiteral("The macro, a code a cell: typed keys and clicked keys are recorded before the selected cell"));
    c.cboxRevealCodes->setAccessibleName(QStringLiteral("Reveal Codes"));
    c.cboxRevealCodes->setToolTip(QStringLiteral("Show the cells as their code bytes instead of their names"));
    c.lblRevealCodes->setBuddy(c.cboxRevealCodes);
    c.btnEraseSelected->setToolTip(QStringLiteral("Erase the selected code (or double-click it)"));
    c.btnEraseAll->setToolTip(QStringLiteral("Erase the whole macro of this level"));

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
    bottom->addSpacing(12);
    bottom->addWidget(c.lblHeldModifiers);
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
