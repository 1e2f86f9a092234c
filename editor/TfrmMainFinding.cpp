#include "editor/TfrmMain.h"

#include "editor/CodeFinder.h"
#include "editor/CodeSearch.h"
#include "editor/OnScreenKeyboard.h"

#include <QAbstractButton>
#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QStyle>

#include <algorithm>

namespace keyloom {

namespace {

constexpr int kListRows = 12;

} // namespace

void TfrmMain::ConnectFinder() {
    connect(codeFinder->edFindCode, &QLineEdit::textEdited, this, &TfrmMain::edFindCodeChange);
    connect(codeFinder, &CodeFinder::chosen, this,
            [this](int row) { RunCommand([this, row] { listboxFoundCodesClick(row); }); });
    connect(codeFinder, &CodeFinder::dismissed, this, &TfrmMain::FocusCurrentGrid);
}

void TfrmMain::SizeFinderList() {
    const QListWidget* list = codeFinder->listboxFoundCodes;
    const QFontMetrics metrics = list->fontMetrics();
    int widest = 0;
    for (const CatalogueEntry& entry : CodeCatalogue(*KeyboardPanel))
        widest = std::max(widest, metrics.horizontalAdvance(CatalogueRow(entry)));
    const int chrome = 2 * list->frameWidth() + list->style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                       2 * metrics.averageCharWidth();
    codeFinder->setListSize(widest + chrome, kListRows);
}

void TfrmMain::edFindCodeChange() {
    // Built afresh for each query: the slider and the layout decide some of the codes.
    std::vector<CatalogueEntry> catalogue = CodeCatalogue(*KeyboardPanel);
    std::vector<CodeSearchEntry> searches;
    searches.reserve(catalogue.size());
    for (const CatalogueEntry& entry : catalogue)
        searches.push_back(entry.search);
    m_foundCodes.clear();
    QStringList rows;
    for (const std::size_t index : FindCodes(searches, codeFinder->edFindCode->text().toStdString())) {
        rows.push_back(CatalogueRow(catalogue[index]));
        m_foundCodes.push_back(std::move(catalogue[index]));
    }
    codeFinder->showMatches(rows);
}

void TfrmMain::listboxFoundCodesClick(int row) {
    if (row < 0 || row >= static_cast<int>(m_foundCodes.size()))
        return;
    codeFinder->closeList();
    // The control's own handler records it, so the insertion point, the room and the view are
    // dealt with as for a click on it.
    QObject* control = m_foundCodes[static_cast<std::size_t>(row)].control;
    if (auto* item = qobject_cast<QAction*>(control))
        item->trigger();
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->click();
}

} // namespace keyloom
