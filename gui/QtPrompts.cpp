#include "gui/QtPrompts.h"

#include <QFileDialog>
#include <QMessageBox>

namespace keyloom {

namespace {

const QString kTitle = QStringLiteral("KeyloomVKxx");

} // namespace

QString QtFileFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // Qt separates the patterns of one filter by blanks, not by ';'.
        const QString patterns = parts[i + 1].trimmed().replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << QStringLiteral("%1 (%2)").arg(parts[i].trimmed(), patterns);
    }
    return filters.join(QStringLiteral(";;"));
}

QString MessageBoxText(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

void QtPrompts::warning(const QString& text) { QMessageBox::warning(m_window, kTitle, MessageBoxText(text)); }

void QtPrompts::information(const QString& text) {
    QMessageBox::information(m_window, kTitle, MessageBoxText(text));
}

void QtPrompts::error(const QString& text) { QMessageBox::critical(m_window, kTitle, MessageBoxText(text)); }

Answer QtPrompts::question(const QString& text, bool allowCancel) {
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (allowCancel)
        buttons |= QMessageBox::Cancel;
    QMessageBox box(QMessageBox::Question, kTitle, MessageBoxText(text), buttons, m_window);
    box.setDefaultButton(QMessageBox::Yes);
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
    }
}

std::optional<QString> QtPrompts::openFileName(const FileDialogRequest& request) {
    return fileName(request, false);
}

std::optional<QString> QtPrompts::saveFileName(const FileDialogRequest& request) {
    return fileName(request, true);
}

std::optional<QString> QtPrompts::fileName(const FileDialogRequest& request, bool save) {
    QFileDialog dialog(m_window, request.title, request.folder, QtFileFilter(request.filter));
    // The open dialog takes only an existing file; the save dialog asks before replacing one.
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace keyloom
