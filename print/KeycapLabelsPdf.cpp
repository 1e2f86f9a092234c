#include "print/KeycapLabelsPdf.h"

#include "document/KeycapSheet.h"
#include "print/PdfSheet.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

namespace keyloom::print {

namespace {

using namespace keycaps;

// The template's colours: a light frame that a slightly inaccurate cut does not show, black crop
// marks, a grey number.
const QColor kFrameColour(192, 192, 192);
const QColor kCropMarkColour(0, 0, 0);
const QColor kNumberColour(160, 160, 160);
const QColor kSecondLevelColour(64, 64, 64);

constexpr qreal kMinimumPoints = 4.5;

void DrawFrame(QPainter& painter, int x, int y, int frame) {
    painter.fillRect(x, y, frame, kFrameLine, kFrameColour);
    painter.fillRect(x, y + frame - kFrameLine, frame, kFrameLine, kFrameColour);
    painter.fillRect(x, y, kFrameLine, frame, kFrameColour);
    painter.fillRect(x + frame - kFrameLine, y, kFrameLine, frame, kFrameColour);
    for (int edgeX : {x, x + frame - kCropWidth}) {
        painter.fillRect(edgeX, y - kCropOffset - kCropLength, kCropWidth, kCropLength, kCropMarkColour);
        painter.fillRect(edgeX, y + frame + kCropOffset, kCropWidth, kCropLength, kCropMarkColour);
    }
    for (int edgeY : {y, y + frame - kCropWidth}) {
        painter.fillRect(x - kCropOffset - kCropLength, edgeY, kCropLength, kCropWidth, kCropMarkColour);
        painter.fillRect(x + frame + kCropOffset, edgeY, kCropLength, kCropWidth, kCropMarkColour);
    }
}

// Level 1's description fills the label; Level 2's, when there is one, takes its lower third in a
// smaller, lighter type, as the level a key plays less often.
void DrawLabel(QPainter& painter, const QRectF& inside, const KeyRecord& key, qreal largestPoints) {
    const QString first = QString::fromStdString(key.name[0]);
    const QString second = QString::fromStdString(key.name[1]);
    QRectF firstRect = inside;
    if (!second.isEmpty()) {
        const QRectF secondRect = inside.adjusted(0, inside.height() * 2 / 3, 0, 0);
        if (!first.isEmpty())
            firstRect.setBottom(secondRect.top());
        painter.setPen(kSecondLevelColour);
        DrawFittedText(painter, first.isEmpty() ? inside : secondRect, second, Qt::AlignCenter,
                       largestPoints * 0.6, kMinimumPoints);
    }
    painter.setPen(Qt::black);
    DrawFittedText(painter, firstRect, first, Qt::AlignCenter, largestPoints, kMinimumPoints);
}

} // namespace

QByteArray KeycapLabelsPdf(const KeypadDocument& document, int numberOfKeys, KeycapSize size, const QString& title) {
    const int frame = size == KeycapSize::Large ? kLargeFrame : kSmallFrame;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    QPainter painter;
    if (!BeginSheet(writer, painter, kDotsPerInch, QStringLiteral("Keycap labels of %1").arg(title)))
        return {};

    const qreal largestPoints = size == KeycapSize::Large ? 14 : 10;
    const int padding = frame / 12;
    for (int key = 0; key < kColumns * kRows; ++key) {
        const int x = FrameLeft(key, frame);
        const int y = FrameTop(key, frame);
        DrawFrame(painter, x, y, frame);
        const KeyRecord& record = document.keys[static_cast<std::size_t>(key)];
        if (key < numberOfKeys && !(record.name[0].empty() && record.name[1].empty())) {
            DrawLabel(painter, QRectF(x, y, frame, frame).adjusted(padding, padding, -padding, -padding), record,
                      largestPoints);
        } else {
            // Where the template has its number, so an unused key can still be told apart.
            painter.setPen(kNumberColour);
            DrawFittedText(painter, QRectF(x + 8, y + 6, frame / 2, frame / 4), QString::number(key + 1),
                           Qt::AlignLeft | Qt::AlignTop, 6, 6);
        }
    }

    QFont font = painter.font();
    font.setPointSizeF(8);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QString caption =
        QStringLiteral("Keycap labels of %1 for the %2 keycaps (%3 in). Print at 100 %, actual size, and cut "
                       "along the crop marks.")
            .arg(title, size == KeycapSize::Large ? QStringLiteral("large") : QStringLiteral("small"),
                 size == KeycapSize::Large ? QStringLiteral("0.75") : QStringLiteral("0.5"));
    painter.drawText(QRectF(kMargin, SheetHeight(frame) + kGap, SheetWidth(frame) - 2 * kMargin, kDotsPerInch),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, caption);
    painter.end();
    return buffer.data();
}

void WriteKeycapLabelsPdf(const KeypadDocument& document, int numberOfKeys, KeycapSize size, const QString& title,
                          const std::filesystem::path& path) {
    SavePdf(KeycapLabelsPdf(document, numberOfKeys, size, title), path);
}

} // namespace keyloom::print
