#pragma once

#include "keys/HotKeyCapture.h"

#include <QDialog>
#include <QString>

#include <filesystem>

class QKeyEvent;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace keyloom {

class Platform;
class Prompts;

// Puts a shortcut with an optional system-wide hot key on the desktop. A key definition file is
// not opened by its shortcut but handed to the download utility, so the hot key loads that
// configuration into the keypad; any other file opens itself.
class TfrmShortcut : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kDefaultHint = "My shortcut comment (hint)";
    static constexpr const char* kFilter = "CKD Files (*.CKD)|*.CKD|All Files (*.*)|*.*";

    // macroFilesFolder is read when the file dialog opens: the main window finds it after
    // creating this.
    TfrmShortcut(Platform& platform, Prompts& prompts, const std::filesystem::path& macroFilesFolder,
                 QWidget* parent = nullptr);

    void FormShow();
    void btnChooseShortcutCKDClick();
    void edShortcutKeyDown(const HotKeyStroke& stroke);
    void edShortcutKeyUp(const HotKeyStroke& stroke);
    void btnCreateClick();
    void btnCancelClick();

    const CapturedHotKey& capturedHotKey() const { return m_hotKey; }

    QLabel* Image1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QLabel* lblCkdFile = nullptr;
    QLineEdit* edCkdFile = nullptr;
    QPushButton* btnChooseShortcutCKD = nullptr;
    QLabel* lblHint = nullptr;
    QLineEdit* edHint = nullptr;
    QLabel* lblShortcut = nullptr;
    QLineEdit* edShortcut = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* btnCreate = nullptr;
    QPushButton* btnCancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:

    Platform& m_platform;
    Prompts& m_prompts;
    const std::filesystem::path& m_macroFilesFolder;
    CapturedHotKey m_hotKey;
    // The digit of the last digit key-down when it came from the numeric keypad, else 0. Only
    // digit key-downs change it, so a shifted symbol released after a keypad digit still counts
    // as that keypad digit.
    char m_keypadDigit = 0;
};

} // namespace keyloom
