#include "print/PdfSheet.h"

#include "files/AtomicFile.h"
#include "files/FileError.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLocale>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPainter>

#include <algorithm>
#include <string_view>

namespace keyloom::print {

namespace {

constexpr qreal kPointStep = 0.5;

// Plain sans-serif faces as the systems name them, the common printed ones first (the UI font's
// list starts with screen faces): "sans-serif" is fontconfig's alias, which Windows does not know,
// and it gave the sheets a serif face there.
constexpr const char* kSansFamilies[] = {"Arial", "Helvetica", "DejaVu Sans", "Liberation Sans", "Noto Sans",
                                         "Segoe UI", "Tahoma"};

// The sheets' font: the first of those the system has, else its own sans-serif face.
QFont SheetFont(QFont font) {
    font.setStyleHint(QFont::SansSerif);
    QStringList families;
    for (const char* family : kSansFamilies) {
        if (QFontDatabase::hasFamily(QString::fromLatin1(family)))
            families << QString::fromLatin1(family);
    }
    font.setFamilies(families);
    return font;
}

} // namespace

QPageSize LocalPaper() {
    return QPageSize(QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                                         : QPageSize::A4);
}

bool BeginSheet(QPdfWriter& writer, QPainter& painter, int dotsPerInch, const QString& title) {
    writer.setResolution(dotsPerInch);
    writer.setPageLayout(QPageLayout(LocalPaper(), QPageLayout::Portrait, QMarginsF(12.7, 12.7, 12.7, 12.7),
                                     QPageLayout::Millimeter));
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("KeyloomVKxx"));
    if (!painter.begin(&writer))
        return false;
    painter.setFont(SheetFont(painter.font()));
    return true;
}

void SavePdf(const QByteArray& bytes, const std::filesystem::path& path) {
    if (bytes.isEmpty())
        throw UnableToWrite(path, "the PDF could not be drawn");
    WriteFileAtomically(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void DrawFittedText(QPainter& painter, const QRectF& rect, const QString& text, int alignment, qreal maxPoints,
                    qreal minPoints) {
    if (text.isEmpty())
        return;
    QFont font = painter.font();
    int flags = alignment | Qt::TextWordWrap;
    for (qreal points = maxPoints;; points -= kPointStep) {
        font.setPointSizeF(std::max(points, minPoints));
        const QRectF needed = QFontMetricsF(font, painter.device()).boundingRect(rect, flags, text);
        if (points <= minPoints) {
            // A word longer than the line is broken rather than run over the frame.
            flags = alignment | Qt::TextWrapAnywhere;
            break;
        }
        if (needed.width() <= rect.width() && needed.height() <= rect.height())
            break;
    }
    painter.save();
    painter.setFont(font);
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.drawText(rect, flags, text);
    painter.restore();
}

} // namespace keyloom::print
