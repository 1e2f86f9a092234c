#pragma once

#include "gui/Prompts.h"

class QWidget;

namespace keyloom {

// "Name |*.ext" (pairs of name and pattern joined by '|') as Qt writes it: "Name (*.ext *.EXT)".
// Each pattern also comes in lower and upper case, since a Windows dialog matches regardless of
// case and the desktop's own dialogs on Linux do not; the dialog shows only the names.
QString QtFileFilter(const QString& filter);

// A message as a Qt message box shows it: the texts break lines with a carriage return, as
// Windows message boxes do, and Qt breaks them only at line feeds.
QString MessageBoxText(QString text);

// The prompts as Qt message boxes and file dialogs.
class QtPrompts final : public Prompts {
public:
    explicit QtPrompts(QWidget* window = nullptr) : m_window(window) {}
    // The window the boxes belong to; the prompts exist before it does.
    void setWindow(QWidget* window) { m_window = window; }

    void warning(const QString& text) override;
    void information(const QString& text) override;
    void error(const QString& text) override;
    Answer question(const QString& text, bool allowCancel) override;
    std::optional<QString> openFileName(const FileDialogRequest& request) override;
    std::optional<QString> saveFileName(const FileDialogRequest& request) override;

private:
    std::optional<QString> fileName(const FileDialogRequest& request, bool save);

    QWidget* m_window = nullptr;
};

} // namespace keyloom
