#include "print/KeymapPdf.h"

#include "document/CellList.h"
#include "document/KeypadGeometry.h"
#include "print/PdfSheet.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

#include <array>

namespace keyloom::print {

namespace {

constexpr int kDotsPerInch = 300;
constexpr qreal kTablePoints = 8;
constexpr qreal kCellPadding = 8;

const QColor kKeypadBody(0xe4, 0xe6, 0xe9);
const QColor kLevelKey(0xd0, 0xd4, 0xd9); // shift and toggle keys stand out
const QColor kSecondLevel(0x40, 0x40, 0x40);
const QColor kRule(0xa0, 0xa0, 0xa0);

QString KeyTypeName(int32_t keyType) {
    switch (keyType) {
    case kNormalKey: return QStringLiteral("Normal");
    case kLevelShiftKey: return QStringLiteral("Level Shift");
    case kLevelToggleKey: return QStringLiteral("Level Toggle");
    default: return QStringLiteral("Type %1").arg(keyType);
    }
}

QString Name(const KeyRecord& key, Level level) { return QString::fromStdString(key.name[levelIndex(level)]); }

void SetPoints(QPainter& painter, qreal points, bool bold = false, bool italic = false) {
    QFont font = painter.font();
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    painter.setFont(font);
}

// One key as the keypad panel places it, scaled: its number, its Level 1 description upright and
// its Level 2 one in italics, its type at the bottom.
void DrawKey(QPainter& painter, const QRectF& place, int keyIndex, const KeyRecord& key) {
    painter.setPen(QPen(Qt::black, 2));
    painter.setBrush(key.KeyType == kNormalKey ? QColor(Qt::white) : kLevelKey);
    painter.drawRoundedRect(place, place.width() / 14, place.width() / 14);
    const QRectF inside = place.adjusted(place.width() / 16, place.width() / 20, -place.width() / 16,
                                         -place.width() / 20);
    const qreal line = inside.height() / 6;
    SetPoints(painter, 9, true);
    painter.drawText(QRectF(inside.left(), inside.top(), inside.width(), line * 1.2), Qt::AlignLeft | Qt::AlignTop,
                     QString::number(keyIndex + 1));
    SetPoints(painter, 6);
    painter.drawText(QRectF(inside.left(), inside.bottom() - line, inside.width(), line),
                     Qt::AlignLeft | Qt::AlignBottom, KeyTypeName(key.KeyType));
    const QRectF descriptions(inside.left(), inside.top() + line * 1.3, inside.width(), line * 3.5);
    const QRectF first(descriptions.topLeft(), QSizeF(descriptions.width(), descriptions.height() / 2));
    DrawFittedText(painter, first, Name(key, Level::One), Qt::AlignLeft | Qt::AlignTop, 7, 4.5);
    SetPoints(painter, 7, false, true);
    painter.setPen(kSecondLevel);
    DrawFittedText(painter, first.translated(0, first.height()), Name(key, Level::Two), Qt::AlignLeft | Qt::AlignTop,
                   7, 4.5);
    SetPoints(painter, 7);
}

// The keypad scaled to the page's width for the 48-key layout; the 24-key one is half as wide,
// at the same scale, centred.
qreal DrawKeypad(QPainter& painter, const KeypadDocument& document, int numberOfKeys, const QRectF& page, qreal top) {
    const int panels = numberOfKeys == 48 ? 2 : 1;
    const qreal scale = page.width() / (2 * keypad::kPanelWidth);
    const qreal left = page.center().x() - panels * keypad::kPanelWidth * scale / 2;
    painter.setPen(QPen(QColor(0x60, 0x60, 0x60), 3));
    painter.setBrush(kKeypadBody);
    painter.drawRoundedRect(QRectF(left, top, panels * keypad::kPanelWidth * scale, keypad::kPanelHeight * scale), 12,
                            12);
    for (int key = 0; key < numberOfKeys; ++key) {
        const QRectF place(left + keypad::ColumnLeft(keypad::KeyColumn(key, numberOfKeys)) * scale,
                           top + keypad::RowTop(keypad::KeyRow(key, numberOfKeys)) * scale,
                           keypad::kKeySize * scale, keypad::kKeySize * scale);
        DrawKey(painter, place, key, document.keys[static_cast<std::size_t>(key)]);
    }
    return top + keypad::kPanelHeight * scale;
}

// The macro table: one row per level of every key of the layout, broken over as many pages as it
// takes, its heading repeated on each.
class MacroTable {
public:
    MacroTable(QPdfWriter& writer, QPainter& painter, const QRectF& page)
        : m_writer(writer), m_painter(painter), m_page(page) {
        const std::array<qreal, 5> shares{0.07, 0.12, 0.07, 0.26, 0.48};
        qreal x = page.left();
        for (std::size_t i = 0; i < shares.size(); ++i) {
            m_columns[i] = {x, shares[i] * page.width()};
            x += m_columns[i].width;
        }
    }

    void begin() {
        m_writer.newPage();
        m_y = m_page.top();
        SetPoints(m_painter, 12, true);
        m_painter.setPen(Qt::black);
        const qreal height = QFontMetricsF(m_painter.font(), m_painter.device()).height();
        m_painter.drawText(QRectF(m_page.left(), m_y, m_page.width(), height), Qt::AlignLeft,
                           QStringLiteral("Macros by cell name"));
        m_y += height * 1.4;
        heading();
    }

    void row(const std::array<QString, 5>& texts, bool lastOfKey) {
        SetPoints(m_painter, kTablePoints);
        const qreal height = rowHeight(texts);
        if (m_y + height > m_page.bottom()) {
            m_writer.newPage();
            m_y = m_page.top();
            heading();
            SetPoints(m_painter, kTablePoints);
        }
        draw(texts);
        m_y += height;
        if (lastOfKey) {
            m_painter.setPen(QPen(kRule, 1));
            m_painter.drawLine(QPointF(m_page.left(), m_y), QPointF(m_page.right(), m_y));
        }
    }

private:
    static constexpr std::size_t kMacroColumn = 4;

    struct Column {
        qreal left, width;
    };

    QRectF cellRect(std::size_t column, qreal height) const {
        return QRectF(m_columns[column].left + kCellPadding, m_y + kCellPadding,
                      m_columns[column].width - 2 * kCellPadding, height);
    }

    qreal rowHeight(const std::array<QString, 5>& texts) const {
        const QFontMetricsF metrics(m_painter.font(), m_painter.device());
        qreal height = metrics.height();
        for (std::size_t i = 0; i < texts.size(); ++i)
            height = std::max(height, metrics.boundingRect(cellRect(i, m_page.height()), flags(i), texts[i]).height());
        return height + 2 * kCellPadding;
    }

    // The macro breaks between cells; a description longer than its column anywhere.
    static int flags(std::size_t column) {
        return Qt::AlignLeft | Qt::AlignTop | (column == kMacroColumn ? Qt::TextWordWrap : Qt::TextWrapAnywhere);
    }

    void draw(const std::array<QString, 5>& texts) {
        m_painter.setPen(Qt::black);
        for (std::size_t i = 0; i < texts.size(); ++i)
            m_painter.drawText(cellRect(i, m_page.height()), flags(i), texts[i]);
    }

    void heading() {
        SetPoints(m_painter, kTablePoints, true);
        const std::array<QString, 5> titles{QStringLiteral("Key"), QStringLiteral("Type"), QStringLiteral("Level"),
                                            QStringLiteral("Description"), QStringLiteral("Macro")};
        const qreal height = rowHeight(titles);
        draw(titles);
        m_y += height;
        m_painter.setPen(QPen(Qt::black, 2));
        m_painter.drawLine(QPointF(m_page.left(), m_y), QPointF(m_page.right(), m_y));
    }

    QPdfWriter& m_writer;
    QPainter& m_painter;
    QRectF m_page;
    std::array<Column, 5> m_columns{};
    qreal m_y = 0;
};

// The cells of a level as the grid names them, each in brackets so that names of two words read
// as one: "[L Ctrl Dn] [c] [L Ctrl Up]". Lines break between cells, never inside a name.
QString CellNames(CellList& cells, const KeypadDocument& document, int key, Level level) {
    cells.RenderLevel(document, key, level);
    QString names;
    for (int c = 0; c < cells.cellCount(); ++c) {
        if (c)
            names += QLatin1Char(' ');
        QString name = QString::fromStdString(cells.cells()[static_cast<std::size_t>(c)].name);
        name.replace(QLatin1Char(' '), QChar::Nbsp);
        names += QLatin1Char('[') + name + QLatin1Char(']');
    }
    return names.isEmpty() ? QStringLiteral("(empty)") : names;
}

} // namespace

QByteArray KeymapPdf(const KeypadDocument& document, int numberOfKeys, const QString& title) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    QPainter painter;
    if (!BeginSheet(writer, painter, kDotsPerInch, QStringLiteral("Keymap of %1").arg(title)))
        return {};
    const QRectF page(QPointF(), writer.pageLayout().paintRectPixels(kDotsPerInch).size());

    SetPoints(painter, 16, true);
    qreal y = 0;
    qreal height = QFontMetricsF(painter.font(), painter.device()).height();
    painter.drawText(QRectF(0, y, page.width(), height), Qt::AlignLeft, QStringLiteral("Keymap of %1").arg(title));
    y += height;
    SetPoints(painter, 10);
    height = QFontMetricsF(painter.font(), painter.device()).height();
    painter.drawText(QRectF(0, y, page.width(), height), Qt::AlignLeft,
                     QStringLiteral("VK%1 layout, %1 keys").arg(numberOfKeys));
    y += height * 2;
    y = DrawKeypad(painter, document, numberOfKeys, page, y);
    SetPoints(painter, 8);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(0, y + kDotsPerInch / 8, page.width(), kDotsPerInch), Qt::AlignLeft | Qt::TextWordWrap,
                     QStringLiteral("Each key shows its number, its Level 1 description (upright), its Level 2 "
                                    "description (italic) and its type. Level shift and level toggle keys are "
                                    "shaded. The macros follow by cell name, as the editor's grid shows them."));

    MacroTable table(writer, painter, page);
    table.begin();
    CellList cells;
    for (int key = 0; key < numberOfKeys; ++key) {
        const KeyRecord& record = document.keys[static_cast<std::size_t>(key)];
        for (const Level level : {Level::One, Level::Two}) {
            const bool first = level == Level::One;
            table.row({first ? QString::number(key + 1) : QString(), first ? KeyTypeName(record.KeyType) : QString(),
                       QString::number(levelNumber(level)), Name(record, level),
                       CellNames(cells, document, key, level)},
                      !first);
        }
    }
    painter.end();
    return buffer.data();
}

void WriteKeymapPdf(const KeypadDocument& document, int numberOfKeys, const QString& title,
                    const std::filesystem::path& path) {
    SavePdf(KeymapPdf(document, numberOfKeys, title), path);
}

} // namespace keyloom::print
