#pragma once

#include "gui/QtPaths.h"

#include <QProcess>
#include <QStandardPaths>
#include <QString>

#include <filesystem>
#include <optional>

namespace keyloom::test {

// Whether pdftotext (poppler-utils) is there to read the PDFs back; it is not under Wine.
inline bool CanReadPdfText() { return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(); }

// The text of a PDF as pdftotext extracts it, each page ended by a form feed; nothing when it
// cannot be read.
inline std::optional<QString> PdfText(const std::filesystem::path& pdf) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), ToQString(pdf),
                                                QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline int PageCount(const QString& text) { return static_cast<int>(text.count(QLatin1Char('\f'))); }

} // namespace keyloom::test
