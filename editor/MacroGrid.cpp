#include "editor/MacroGrid.h"

#include "document/CellList.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStaticText>
#include <QStyledItemDelegate>

#include <algorithm>
#include <unordered_map>

namespace keyloom {

namespace {

constexpr int kColumnWidth = 60; // the narrowest column, whatever the font
// Room around a cell's text: the item view's margins on both sides, and the grid line.
constexpr int kCellPadding = 10;
constexpr int kRowHeight = 22;
constexpr int kVisibleRows = 9;

// Wide enough for the longest name or code text any cell can show, in the grid's font. Measuring
// the thousand texts takes milliseconds of a start, and both grids have the same font.
int ColumnWidth(const QFont& font) {
    static QFont measuredFont;
    static int measuredWidth = 0;
    if (measuredWidth == 0 || font != measuredFont) {
        const QFontMetrics metrics(font);
        int widest = 0;
        for (const std::string& text : EveryCellText())
            widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(text)));
        measuredFont = font;
        measuredWidth = std::max(kColumnWidth, widest + kCellPadding);
    }
    return measuredWidth;
}

// Paints a cell as the item views' own delegate does for plain text (the selection, the text,
// the focus frame), without asking the cell for the dozen other things an item may hold: the
// grid is painted whole on every change of level or key, and the full delegate costs ten
// times as much.
class CellDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QPalette::ColorGroup group = !(option.state & QStyle::State_Enabled) ? QPalette::Disabled
                                           : (option.state & QStyle::State_Active) ? QPalette::Active
                                                                                   : QPalette::Inactive;
        const bool selected = (option.state & QStyle::State_Selected) != 0;
        if (selected)
            painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
        const QString text = index.data(Qt::DisplayRole).toString();
        if (!text.isEmpty()) {
            painter->setPen(option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
            const QStaticText& laidOut = LaidOut(text, option.font);
            const int margin = option.widget->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, option.widget) + 1;
            const QSizeF size = laidOut.size();
            painter->setFont(option.font);
            painter->drawStaticText(QPointF(option.rect.left() + margin,
                                            option.rect.top() + (option.rect.height() - size.height()) / 2),
                                    laidOut);
        }
        // The last cell of a macro that leaves keys held down: a corner in the text's colour.
        const auto* grid = static_cast<const MacroGrid*>(option.widget);
        if (grid->heldMark() == index.column() + MacroGrid::kColumns * index.row()) {
            const int side = option.rect.height() / 2;
            const QPoint corner = option.rect.topRight();
            const QPoint points[] = {corner, corner + QPoint(-side, 0), corner + QPoint(0, side)};
            painter->setPen(Qt::NoPen);
            painter->setBrush(option.palette.brush(group, selected ? QPalette::HighlightedText : QPalette::Text));
            painter->drawPolygon(points, 3);
        }
        if (option.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(option);
            focus.backgroundColor = option.palette.color(group, selected ? QPalette::Highlight : QPalette::Base);
            option.widget->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, option.widget);
        }
    }

private:
    // A cell shows one of a few hundred texts: each is laid out once per font.
    const QStaticText& LaidOut(const QString& text, const QFont& font) const {
        if (font != m_font) {
            m_texts.clear();
            m_font = font;
        }
        auto [place, added] = m_texts.try_emplace(text, text);
        if (added) {
            place->second.setTextFormat(Qt::PlainText);
            place->second.prepare(QTransform(), font);
        }
        return place->second;
    }

    mutable QFont m_font;
    mutable std::unordered_map<QString, QStaticText> m_texts;
};

} // namespace

MacroGrid::MacroGrid(QWidget* parent) : QTableWidget(kRows, kColumns, parent) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    QFont cellFont = font();
    cellFont.setPointSize(11);
    setFont(cellFont);
    const int columnWidth = ColumnWidth(cellFont);
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
    setItemDelegate(new CellDelegate(this));

    // Every cell exists from the start, so writing a macro only changes texts.
    for (int index = 0; index < kRows * kColumns; ++index) {
        auto* item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        setItem(index / kColumns, index % kColumns, item);
    }

    // A plain sunken panel in the palette's shades: the style's frame of an item view loses its
    // top and left edges at fractional scale factors (1.25, 1.5).
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
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

void MacroGrid::setCellTexts(std::span<const QString> texts) {
    constexpr int kCells = kRows * kColumns;
    int first = kCells;
    int last = -1;
    {
        // One change signal for the range instead of one per cell: each would look up its cell's
        // place on the screen and ask for its own update.
        const QSignalBlocker blocker(model());
        const QString none;
        for (int index = 0; index < kCells; ++index) {
            const QString& text = index < static_cast<int>(texts.size()) ? texts[static_cast<std::size_t>(index)] : none;
            QTableWidgetItem* cell = item(index / kColumns, index % kColumns);
            if (cell->text() == text)
                continue;
            cell->setText(text);
            first = std::min(first, index);
            last = index;
        }
    }
    if (last < 0)
        return;
    const bool oneRow = first / kColumns == last / kColumns;
    emit model()->dataChanged(model()->index(first / kColumns, oneRow ? first % kColumns : 0),
                              model()->index(last / kColumns, oneRow ? last % kColumns : kColumns - 1),
                              {Qt::DisplayRole});
}

QString MacroGrid::cellText(int index) const {
    if (index < 0 || index >= kRows * kColumns)
        return {};
    return item(index / kColumns, index % kColumns)->text();
}

void MacroGrid::clearTexts() { setCellTexts({}); }

void MacroGrid::setHeldMark(int index) {
    if (index == m_heldMark)
        return;
    for (const int cell : {m_heldMark, index}) {
        if (cell >= 0 && cell < kRows * kColumns)
            viewport()->update(visualRect(model()->index(cell / kColumns, cell % kColumns)));
    }
    m_heldMark = index;
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
