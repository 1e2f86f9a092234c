#include "gui/QtPrompts.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>

#include <memory>

namespace keyloom {

namespace {

const QString kTitle = QStringLiteral("KeyloomVKxx");

// A question that must be answered, as a Windows Yes/No box is: Qt would take Escape and the
// close button for No, and a closing window's "save your changes?" would then throw them away.
class AnswerOnlyBox final : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->matches(QKeySequence::Cancel)) {
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

} // namespace

QString QtFileFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            for (const QString& spelling : {pattern.trimmed(), pattern.trimmed().toLower(), pattern.trimmed().toUpper()}) {
                if (!patterns.contains(spelling))
                    patterns << spelling;
            }
        }
        // Qt separates the patterns of one filter by blanks, not by ';'.
        filters << QStringLiteral("%1 (%2)").arg(parts[i].trimmed(), patterns.join(QLatin1Char(' ')));
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
    std::unique_ptr<QMessageBox> box;
    if (allowCancel) {
        box = std::make_unique<QMessageBox>(QMessageBox::Question, kTitle, MessageBoxText(text), buttons, m_window);
    } else {
        box = std::make_unique<AnswerOnlyBox>(QMessageBox::Question, kTitle, MessageBoxText(text), buttons, m_window);
        box->setWindowFlag(Qt::WindowCloseButtonHint, false);
    }
    box->setObjectName(QStringLiteral("questionBox"));
    box->setDefaultButton(QMessageBox::Yes);
    switch (box->exec()) {
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
    // The names alone, as a Windows dialog shows them; the patterns are Qt's to read.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.selectNameFilter(dialog.nameFilters().value(request.selectedFilter));
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    // Qt's dialogs answer with forward slashes; the path is shown and handed on as the system
    // writes it.
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

} // namespace keyloom
