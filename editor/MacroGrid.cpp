#include "editor/MacroGrid.h"

#include "document/CellList.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

#include <algorithm>

namespace keyloom {

namespace {

constexpr int kColumnWidth = 60; // the narrowest column, whatever the font
// Room around a cell's text: the item view's margins on both sides, and the grid line.
constexpr int kCellPadding = 10;
constexpr int kRowHeight = 22;
constexpr int kVisibleRows = 9;

// Wide enough for the longest name or code text any cell can show, in the grid's font.
int ColumnWidth(const QFontMetrics& metrics) {
    int widest = 0;
    for (const std::string& text : EveryCellText())
        widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(text)));
    return std::max(kColumnWidth, widest + kCellPadding);
}

} // namespace

MacroGrid::MacroGrid(QWidget* parent) : QTableWidget(kRows, kColumns, parent) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    QFont cellFont = font();
    cellFont.setPointSize(11);
    setFont(cellFont);
    const int columnWidth = ColumnWidth(QFontMetrics(cellFont));
    horizontalHeader()->setMinimumSectionSize(columnWidth);
    horizontalHeader()->setDefaultSectionSize(columnWidth);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(kRowHeight);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);

    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setAlternatingRowColors(true);
    setShowGrid(true);
    setTabKeyNavigation(false);
    setWordWrap(false);
    // The columns fit every name; were a name still too long (a font that changed later), cut at
    // the cell's edge says more than an ellipsis.
    setTextElideMode(Qt::ElideNone);

    // Every cell exists from the start, so writing a macro only changes texts.
    for (int index = 0; index < kRows * kColumns; ++index) {
        auto* item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        setItem(index / kColumns, index % kColumns, item);
    }

    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    const int frame = 2 * frameWidth();
    setFixedSize(kColumns * columnWidth + verticalScrollBar()->sizeHint().width() + frame,
                 kVisibleRows * kRowHeight + frame);
    selectIndex(0);
}

int MacroGrid::selectedIndex() const {
    const int row = currentRow();
    const int column = currentColumn();
    if (row < 0 || column < 0)
        return 0;
    return column + kColumns * row;
}

void MacroGrid::selectIndex(int index) {
    if (index < 0 || index >= kRows * kColumns)
        return; // past the last row the selection stays where it is
    setCurrentCell(index / kColumns, index % kColumns);
}

void MacroGrid::setCellText(int index, const QString& text) {
    if (index < 0 || index >= kRows * kColumns)
        return;
    QTableWidgetItem* cell = item(index / kColumns, index % kColumns);
    // Unchanged cells are left alone: a refresh rewrites every cell and most stay as they were.
    if (cell->text() != text)
        cell->setText(text);
}

QString MacroGrid::cellText(int index) const {
    if (index < 0 || index >= kRows * kColumns)
        return {};
    return item(index / kColumns, index % kColumns)->text();
}

void MacroGrid::clearTexts() {
    for (int index = 0; index < kRows * kColumns; ++index)
        setCellText(index, QString());
}

bool MacroGrid::isNavigationKey(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        return true;
    default:
        return false;
    }
}

void MacroGrid::keyPressEvent(QKeyEvent* event) {
    emit keyDown(event);
    // Every other key is typed into the macro: the view must not also search for it, copy a
    // cell (Ctrl+C) or pass it on to the tabs (Ctrl+Tab).
    if (isNavigationKey(event->key()))
        QTableWidget::keyPressEvent(event);
    else
        event->accept();
}

void MacroGrid::keyReleaseEvent(QKeyEvent* event) {
    emit keyUp(event);
    QTableWidget::keyReleaseEvent(event);
}

} // namespace keyloom
