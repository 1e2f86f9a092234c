#pragma once

#include <QString>

#include <optional>

namespace keyloom {

enum class Answer { Yes, No, Cancel };

struct FileDialogRequest {
    QString title;
    QString filter;        // "Custom Keypad Definition Files |*.ckd"
    QString defaultSuffix; // without the dot
    QString folder;        // start folder
    QString fileName;      // proposed name, with or without a folder
    int selectedFilter = 0; // the filter entry preselected, counted from 0
};

// Every message box and file dialog of the windows goes through here, so tests can answer them.
class Prompts {
public:
    virtual ~Prompts() = default;

    // Boxes with one OK button.
    virtual void warning(const QString& text) = 0;
    virtual void information(const QString& text) = 0;
    virtual void error(const QString& text) = 0;
    // A confirmation box with a question icon: Yes, No and, when allowCancel, Cancel.
    virtual Answer question(const QString& text, bool allowCancel) = 0;
    // The chosen path in the system's native form, or nothing when the dialog was cancelled.
    virtual std::optional<QString> openFileName(const FileDialogRequest& request) = 0;
    // The save dialog asks itself before replacing an existing file.
    virtual std::optional<QString> saveFileName(const FileDialogRequest& request) = 0;
};

} // namespace keyloom
