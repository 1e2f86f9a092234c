#include "editor/CodeFinder.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QRect>
#include <QWidget>

#include <algorithm>

namespace keyloom {

CodeFinder::CodeFinder(QWidget* parent) : QObject(parent), m_parent(parent) {
    edFindCode = new QLineEdit(parent);
    edFindCode->setObjectName(QStringLiteral("edFindCode"));
    edFindCode->setPlaceholderText(QStringLiteral("Find a code"));
    edFindCode->setClearButtonEnabled(true);
    // Reached by Alt+F or a click, never by Tab: Tab typed into a grid moves on as it always did.
    edFindCode->setFocusPolicy(Qt::ClickFocus);
    edFindCode->setAccessibleName(QStringLiteral("Find a code"));
    edFindCode->setToolTip(QStringLiteral("Find a code (Alt+F): type a name or hex bytes (\"vol\", \"e0 32\", "
                                          "\"double\"); Enter records the chosen code as its key or menu item does"));

    listboxFoundCodes = new QListWidget(parent);
    listboxFoundCodes->setObjectName(QStringLiteral("listboxFoundCodes"));
    listboxFoundCodes->setAccessibleName(QStringLiteral("Codes found"));
    listboxFoundCodes->setToolTip(QStringLiteral("Codes that match the search; Enter or a click records one"));
    // The field keeps the focus, so typing goes on refining the query.
    listboxFoundCodes->setFocusPolicy(Qt::NoFocus);
    listboxFoundCodes->setUniformItemSizes(true);
    listboxFoundCodes->hide();

    edFindCode->installEventFilter(this);
    connect(listboxFoundCodes, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { emit chosen(listboxFoundCodes->row(item)); });
}

void CodeFinder::setListSize(int width, int rows) {
    listboxFoundCodes->resize(std::min(width, m_parent->width()), listboxFoundCodes->height());
    m_rows = rows;
}

void CodeFinder::showMatches(const QStringList& rows) {
    listboxFoundCodes->clear();
    if (rows.isEmpty()) {
        closeList();
        return;
    }
    listboxFoundCodes->addItems(rows);
    listboxFoundCodes->setCurrentRow(0);
    const int shown = std::min<int>(static_cast<int>(rows.size()), m_rows);
    const int frame = 2 * listboxFoundCodes->frameWidth();
    const QSize size(listboxFoundCodes->width(), shown * listboxFoundCodes->sizeHintForRow(0) + frame);
    // Under the field, from its left edge, or from its right edge where the parent ends first.
    const QPoint below = edFindCode->mapTo(m_parent, QPoint(0, edFindCode->height()));
    const int right = edFindCode->mapTo(m_parent, QPoint(edFindCode->width(), 0)).x();
    const int left = below.x() + size.width() <= m_parent->width() ? below.x() : std::max(0, right - size.width());
    listboxFoundCodes->setGeometry(QRect(QPoint(left, below.y()), size));
    listboxFoundCodes->raise();
    listboxFoundCodes->show();
}

void CodeFinder::closeList() { listboxFoundCodes->hide(); }

bool CodeFinder::eventFilter(QObject* watched, QEvent* event) {
    if (watched != edFindCode)
        return QObject::eventFilter(watched, event);
    // A list left open would lie over the keys after the field is done with.
    if (event->type() == QEvent::FocusOut)
        closeList();
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool open = listboxFoundCodes->isVisible();
    switch (key->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        if (listboxFoundCodes->count() == 0)
            return false;
        if (!open) {
            listboxFoundCodes->raise();
            listboxFoundCodes->show();
            return true;
        }
        int step = m_rows;
        if (key->key() == Qt::Key_Up)
            step = -1;
        else if (key->key() == Qt::Key_Down)
            step = 1;
        else if (key->key() == Qt::Key_PageUp)
            step = -m_rows;
        const int last = listboxFoundCodes->count() - 1;
        listboxFoundCodes->setCurrentRow(std::clamp(listboxFoundCodes->currentRow() + step, 0, last));
        return true;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (open)
            emit chosen(std::max(listboxFoundCodes->currentRow(), 0));
        return true;
    case Qt::Key_Escape:
        closeList();
        emit dismissed();
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        // Tab would move the focus on and its release would record a Tab wherever it landed.
        return true;
    default: return QObject::eventFilter(watched, event);
    }
}

} // namespace keyloom
