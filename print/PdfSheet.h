#pragma once

#include <QByteArray>
#include <QFont>
#include <QPageSize>
#include <QRectF>
#include <QString>

#include <filesystem>

class QPainter;
class QPdfWriter;

namespace keyloom::print {

// The paper of the user's country: Letter where inches are the measure, A4 elsewhere. Both
// sheets fit either with half-inch margins.
QPageSize LocalPaper();

// Starts a sheet of the local paper with half-inch margins, drawn at dotsPerInch, titled for the
// PDF reader, the painter's font a plain sans-serif face that the system has. False when the
// painter cannot begin.
bool BeginSheet(QPdfWriter& writer, QPainter& painter, int dotsPerInch, const QString& title);

// Saves a drawn PDF with the project's atomic writer. An empty one means the drawing failed.
// Throws FileError.
void SavePdf(const QByteArray& bytes, const std::filesystem::path& path);

// Draws text word-wrapped in rect at the largest size from maxPoints down to minPoints at which it
// fits; at the smallest size what does not fit is cut off at the rect's edge.
void DrawFittedText(QPainter& painter, const QRectF& rect, const QString& text, int alignment, qreal maxPoints,
                    qreal minPoints);

} // namespace keyloom::print
