#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

class QKeyEvent;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace keyloom {

class Platform;

// The hot key the wizard captured: none (both codes 0), a character key (a letter, digit or
// punctuation key, or a digit of the numeric keypad), or a special key (a function key with the
// modifiers held, or a navigation key). Codes are Windows virtual-key codes.
struct CapturedHotKey {
    uint8_t characterKey = 0;
    uint8_t specialKey = 0;
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
    bool navigation = false;

    bool operator==(const CapturedHotKey&) const = default;
};

// The hot key word of the shortcut (virtual-key code in the low byte, modifier flags in the
// high byte); 0 when nothing was captured.
uint16_t EncodeHotKey(const CapturedHotKey& hotKey);

// A key event as the capture reads it: the Windows virtual-key code and the printable ASCII
// character the key produced (0 when none).
struct KeyStroke {
    int key = 0;
    char character = 0;
};
KeyStroke KeyStrokeOf(const QKeyEvent& event);

// The questions and messages of the wizard, answered by the main window's prompts.
struct ShortcutPrompts {
    // The chosen file, or nothing when the dialog was cancelled.
    std::function<std::optional<QString>(const QString& filter, const QString& folder)> chooseFile;
    std::function<void(const QString&)> error;
    std::function<void(const QString&)> information;
};

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
    TfrmShortcut(Platform& platform, ShortcutPrompts prompts, const std::filesystem::path& macroFilesFolder,
                 QWidget* parent = nullptr);

    void FormShow();
    void btnChooseShortcutCKDClick();
    void edShortcutKeyDown(const KeyStroke& stroke);
    void edShortcutKeyUp(const KeyStroke& stroke);
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
    void Capture(const QString& shown, const CapturedHotKey& hotKey);

    Platform& m_platform;
    ShortcutPrompts m_prompts;
    const std::filesystem::path& m_macroFilesFolder;
    CapturedHotKey m_hotKey;
    // The digit of the last digit key-down when it came from the numeric keypad, else 0. Only
    // digit key-downs change it, so a shifted symbol released after a keypad digit still counts
    // as that keypad digit.
    char m_keypadDigit = 0;
};

} // namespace keyloom
