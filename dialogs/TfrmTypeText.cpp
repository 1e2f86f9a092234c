#include "dialogs/TfrmTypeText.h"

#include "document/CellList.h"
#include "document/KeypadDocument.h"
#include "gui/Controls.h"
#include "gui/DesignUnits.h"

#include <QBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QTextDocument>

#include <algorithm>
#include <memory>
#include <span>
#include <utility>
#include <vector>

namespace keyloom {

namespace {

// The text box shows this many lines, the codes view this many rows of cells.
constexpr int kTextLines = 3;
constexpr int kCodeRows = 4;
constexpr int kDialogWidth = 400;
constexpr int kCellPadding = 12;

QString RoomText(std::size_t bytes, int left) {
    QString text = QStringLiteral("%1 bytes of %2 left").arg(bytes).arg(left);
    if (bytes > static_cast<std::size_t>(left))
        text += QStringLiteral(": too long for this macro");
    return text;
}

QString CharacterText(char32_t character) {
    if (QChar::isPrint(character))
        return QStringLiteral("\u201C%1\u201D").arg(QString::fromUcs4(&character, 1));
    return QStringLiteral("U+%1").arg(static_cast<uint>(character), 4, 16, QLatin1Char('0')).toUpper();
}

QString UntypableText(const std::vector<UntypableCharacter>& untypable) {
    if (untypable.empty())
        return {};
    QStringList names;
    for (const UntypableCharacter& entry : untypable)
        names << QStringLiteral("%1 (character %2)").arg(CharacterText(entry.character)).arg(entry.position + 1);
    return QStringLiteral("Cannot be typed: ") + names.join(QStringLiteral(", "));
}

} // namespace

TfrmTypeText::TfrmTypeText(int bytesLeft, Recorder record, QWidget* parent)
    : QDialog(parent), m_bytesLeft(std::max(bytesLeft, 0)), m_record(std::move(record)) {
    setObjectName(QStringLiteral("frmTypeText"));
    setWindowTitle(QStringLiteral("Type Text"));
    setModal(true);
    const DesignUnits units(font());

    lblText = Named(new QLabel(QStringLiteral("&Text to type:"), this), "lblText");
    edText = Named(new QPlainTextEdit(this), "edText");
    // Tab moves on, as in every other dialog; a tab in pasted text still types Tab.
    edText->setTabChangesFocus(true);
    edText->setAccessibleName(QStringLiteral("Text to type"));
    edText->setToolTip(
        QStringLiteral("The text to type into the macro: what a US keyboard types, a new line as Enter"));
    const int frame = 2 * (edText->frameWidth() + static_cast<int>(edText->document()->documentMargin()));
    edText->setFixedHeight(edText->fontMetrics().lineSpacing() * kTextLines + frame);
    lblText->setBuddy(edText);

    lblCodes = Named(new QLabel(QStringLiteral("&Codes:"), this), "lblCodes");
    listboxCodes = Named(new QListWidget(this), "listboxCodes");
    listboxCodes->setFlow(QListView::LeftToRight);
    listboxCodes->setWrapping(true);
    listboxCodes->setResizeMode(QListView::Adjust);
    listboxCodes->setSelectionMode(QAbstractItemView::NoSelection);
    listboxCodes->setAccessibleName(QStringLiteral("Codes"));
    listboxCodes->setToolTip(QStringLiteral("The codes the text becomes, named as the macro grid shows them"));
    m_cellHeight = listboxCodes->fontMetrics().lineSpacing() + units(kCellPadding / 2);
    listboxCodes->setFixedHeight(m_cellHeight * kCodeRows + 2 * listboxCodes->frameWidth());
    lblCodes->setBuddy(listboxCodes);

    lblRoom = Named(new QLabel(this), "lblRoom");
    lblRoom->setToolTip(QStringLiteral("The bytes the codes take, and the room left in this macro"));
    lblUntypable = Named(new QLabel(this), "lblUntypable");
    lblUntypable->setWordWrap(true);
    lblUntypable->setToolTip(QStringLiteral("Characters that no key of a US keyboard types; take them out to insert"));

    btnInsert = Named(new QPushButton(QStringLiteral("&Insert"), this), "btnInsert");
    btnInsert->setToolTip(QStringLiteral("Record the codes at the selected cell of the macro, as one step to undo"));
    btnInsert->setAccessibleName(QStringLiteral("Insert"));
    btnCancel = Named(new QPushButton(QStringLiteral("Cancel"), this), "btnCancel");
    btnCancel->setToolTip(QStringLiteral("Close without recording anything"));
    btnCancel->setAccessibleName(QStringLiteral("Cancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnInsert);
    buttons->addWidget(btnCancel);
    auto* column = new QVBoxLayout(this);
    for (QWidget* control : {static_cast<QWidget*>(lblText), static_cast<QWidget*>(edText),
                             static_cast<QWidget*>(lblCodes), static_cast<QWidget*>(listboxCodes),
                             static_cast<QWidget*>(lblRoom), static_cast<QWidget*>(lblUntypable)})
        column->addWidget(control);
    column->addLayout(buttons);
    setMinimumWidth(units(kDialogWidth));

    connect(edText, &QPlainTextEdit::textChanged, this, &TfrmTypeText::edTextChange);
    connect(btnInsert, &QPushButton::clicked, this, &TfrmTypeText::btnInsertClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    edTextChange();
    edText->setFocus(Qt::OtherFocusReason);
}

void TfrmTypeText::edTextChange() {
    m_typed = TypeText(edText->toPlainText().toStdU32String());
    ShowCodes();
    lblRoom->setText(RoomText(m_typed.codes.size(), m_bytesLeft));
    lblUntypable->setText(UntypableText(m_typed.untypable));
    btnInsert->setEnabled(!m_typed.codes.empty() && m_typed.untypable.empty());
}

void TfrmTypeText::ShowCodes() {
    // Rendered by the grid's own rules, through a scratch document: the names are the grid's,
    // shifted names under Shift included. A level holds at most 220 bytes; beyond that the view
    // ends with an ellipsis (such a text cannot be inserted anyway).
    constexpr std::size_t kMostBytes = kLevel1ArraySize - 1;
    auto scratch = std::make_unique<KeypadDocument>();
    std::span<uint8_t> level = scratch->keys[0].codes(Level::One);
    std::size_t shown = 0;
    for (const std::size_t end : m_typed.codeEnds) {
        if (end > kMostBytes)
            break;
        shown = end;
    }
    std::copy_n(m_typed.codes.begin(), shown, level.begin());
    CellList cells;
    cells.RenderLevel(*scratch, 0, Level::One);

    QStringList names;
    for (const MacroCell& cell : cells.cells()) {
        if (cell.byteCount != 0)
            names << QString::fromStdString(cell.name.empty() ? cell.codeText : cell.name);
    }
    if (shown < m_typed.codes.size())
        names << QStringLiteral("\u2026");
    int widest = 0;
    for (const QString& name : names)
        widest = std::max(widest, listboxCodes->fontMetrics().horizontalAdvance(name));
    listboxCodes->clear();
    listboxCodes->addItems(names);
    listboxCodes->setGridSize(QSize(widest + kCellPadding, m_cellHeight));
}

void TfrmTypeText::btnInsertClick() {
    if (!btnInsert->isEnabled())
        return;
    if (m_record && m_record(m_typed))
        accept();
}

} // namespace keyloom
