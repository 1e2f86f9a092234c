#include "dialogs/TfrmShortcut.h"

#include "platform/Platform.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>

#include <algorithm>
#include <iterator>
#include <string>
#include <utility>

namespace keyloom {

namespace fs = std::filesystem;

namespace {


constexpr int kShiftKey = 16;
constexpr int kCtrlKey = 17;
constexpr int kAltKey = 18;
constexpr int kKeypadDigit0 = 0x60;
constexpr int kFirstFunctionKey = 0x70; // F1
constexpr int kLastFunctionKey = 0x87;  // F24
// A key the capture has no use for; clears the capture like Delete.
constexpr int kOtherKey = 0xFF;

const QString kInstructions = QStringLiteral(
    "This wizard creates a shortcut on the desktop to a CKD file for downloading, or to any other file or "
    "application, launched from a hot key.\n"
    "\n"
    " 1. Select the targe CKD (or other) file that the shortcut will activate.\n"
    " 2. Fill in the Comment (the hint that you see when you hover the mouse over it).\n"
    " 3. Set up a hot key to launch the shortcut (press and release a letter key).\n"
    " 4. Click on Create.\n"
    "\n"
    "The hot key can also be added to a keypad macro, so that a key of the keypad launches the target.\n"
    "\n"
    "The shortcut can be changed later through its Properties on the desktop.\n"
    "\n"
    "Shortcut keys only work for shortcuts on the desktop, on the Start menu or in the Start Menu's Programs "
    "folder. A simple alphanumeric character launched with Ctrl+Alt is best.");

// Shifted digits of the US layout, taken as their digits.
constexpr std::pair<char, char> kShiftedDigits[] = {
    {'!', '1'}, {'@', '2'}, {'#', '3'}, {'$', '4'}, {'%', '5'},
    {'^', '6'}, {'&', '7'}, {'*', '8'}, {'(', '9'}, {')', '0'},
};

struct PunctuationKey {
    char unshifted;
    char shifted;
    uint8_t virtualKey;
};

// Both characters of a punctuation key capture the key, shown by its unshifted character.
constexpr PunctuationKey kPunctuationKeys[] = {
    {'`', '~', 0xC0},  {'-', '_', 0xBD}, {'=', '+', 0xBB}, {'[', '{', 0xDB}, {']', '}', 0xDD}, {'\\', '|', 0xDC},
    {';', ':', 0xBA},  {'\'', '"', 0xDE}, {',', '<', 0xBC}, {'.', '>', 0xBE}, {'/', '?', 0xBF},
};

struct NavigationKey {
    uint8_t virtualKey;
    const char* name;
};

constexpr NavigationKey kNavigationKeys[] = {
    {0x21, "Page Up"}, {0x22, "Page Down"}, {0x23, "End"},  {0x24, "Home"},   {0x25, "Left"},
    {0x26, "Up"},      {0x27, "Right"},     {0x28, "Down"}, {0x2D, "Insert"},
};

// Qt keys without a character, by their Windows virtual-key code.
constexpr std::pair<int, int> kQtKeys[] = {
    {Qt::Key_Shift, kShiftKey},   {Qt::Key_Control, kCtrlKey}, {Qt::Key_Alt, kAltKey},  {Qt::Key_AltGr, kAltKey},
    {Qt::Key_PageUp, 0x21},       {Qt::Key_PageDown, 0x22},    {Qt::Key_End, 0x23},     {Qt::Key_Home, 0x24},
    {Qt::Key_Left, 0x25},         {Qt::Key_Up, 0x26},          {Qt::Key_Right, 0x27},   {Qt::Key_Down, 0x28},
    {Qt::Key_Insert, 0x2D},       {Qt::Key_Delete, 0x2E},      {Qt::Key_Escape, 0x1B},  {Qt::Key_Pause, 0x13},
    {Qt::Key_Backspace, 0x08},    {Qt::Key_Return, 0x0D},      {Qt::Key_Enter, 0x0D},   {Qt::Key_Print, 0x2C},
    {Qt::Key_CapsLock, 0x14},     {Qt::Key_NumLock, 0x90},     {Qt::Key_ScrollLock, 0x91},
    {Qt::Key_Meta, 0x5B},         {Qt::Key_Menu, 0x5D},        {Qt::Key_Clear, 0x0C},
};

// Folder and file name as the shell link takes them: the folder keeps its trailing separator.
qsizetype LastSeparator(const QString& path) {
#ifdef _WIN32
    return std::max({path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')),
                     path.lastIndexOf(QLatin1Char(':'))});
#else
    return path.lastIndexOf(QLatin1Char('/'));
#endif
}

QString FolderOf(const QString& path) { return path.left(LastSeparator(path) + 1); }
QString NameOf(const QString& path) { return path.mid(LastSeparator(path) + 1); }

QString ExtensionOf(const QString& path) {
    const QString name = NameOf(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

QString WithExtension(const QString& name, const QString& extension) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return (dot < 0 ? name : name.left(dot)) + extension;
}

fs::path ToPath(const QString& text) { return fs::path(text.toStdU16String()); }
QString ToQString(const fs::path& path) { return QString::fromStdU16String(path.u16string()); }

QPixmap Banner(int width, int height) {
    QPixmap pixmap(width, height);
    QPainter painter(&pixmap);
    QLinearGradient gradient(0, 0, width, 0);
    gradient.setColorAt(0, QColor(0x1f, 0x4e, 0x9c));
    gradient.setColorAt(1, QColor(0x8f, 0xb4, 0xe3));
    painter.fillRect(pixmap.rect(), gradient);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(height / 4);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(pixmap.rect().adjusted(20, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Shortcut Wizard"));
    return pixmap;
}

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

uint16_t EncodeHotKey(const CapturedHotKey& hotKey) {
    if (hotKey.characterKey != 0) {
        // A digit of the numeric keypad works alone; any other character key with Ctrl + Alt.
        if (hotKey.characterKey >= kKeypadDigit0 && hotKey.characterKey <= kKeypadDigit0 + 9)
            return hotKey.characterKey;
        return kHotKeyControl | kHotKeyAlt | hotKey.characterKey;
    }
    if (hotKey.specialKey == 0)
        return 0;
    if (hotKey.navigation)
        return kHotKeyControl | kHotKeyAlt | kHotKeyExtended | hotKey.specialKey;
    uint16_t word = hotKey.specialKey;
    if (hotKey.shift)
        word |= kHotKeyShift;
    if (hotKey.ctrl)
        word |= kHotKeyControl;
    if (hotKey.alt)
        word |= kHotKeyAlt;
    return word;
}

KeyStroke KeyStrokeOf(const QKeyEvent& event) {
    KeyStroke stroke;
    const int key = event.key();
    const QString text = event.text();
    if (text.size() == 1 && text[0].unicode() >= 0x20 && text[0].unicode() < 0x7F)
        stroke.character = static_cast<char>(text[0].unicode());
    else if (key >= 0x20 && key < 0x7F && !(event.modifiers() & Qt::KeypadModifier))
        // With Ctrl held the text is a control character; Qt's key is the character itself.
        stroke.character = static_cast<char>(key);

    if ((event.modifiers() & Qt::KeypadModifier) && key >= Qt::Key_0 && key <= Qt::Key_9) {
        stroke.key = kKeypadDigit0 + (key - Qt::Key_0);
    } else if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9) ||
               key == Qt::Key_Space) {
        stroke.key = key;
    } else if (key >= Qt::Key_F1 && key <= Qt::Key_F24) {
        stroke.key = kFirstFunctionKey + (key - Qt::Key_F1);
    } else {
        stroke.key = kOtherKey;
        for (const auto& [qtKey, virtualKey] : kQtKeys) {
            if (qtKey == key)
                stroke.key = virtualKey;
        }
        for (const PunctuationKey& punctuation : kPunctuationKeys) {
            if (key == punctuation.unshifted || key == punctuation.shifted)
                stroke.key = punctuation.virtualKey;
        }
        // Qt names a shifted digit key by its symbol.
        for (const auto& [shifted, digit] : kShiftedDigits) {
            if (key == shifted)
                stroke.key = digit;
        }
    }
#ifdef Q_OS_WIN
    // Windows hands over the virtual-key code itself; events made by a program carry none.
    if (event.nativeVirtualKey() > 0 && event.nativeVirtualKey() < 256)
        stroke.key = static_cast<int>(event.nativeVirtualKey());
#endif
    return stroke;
}

TfrmShortcut::TfrmShortcut(Platform& platform, ShortcutPrompts prompts, const fs::path& macroFilesFolder,
                           QWidget* parent)
    : QDialog(parent), m_platform(platform), m_prompts(std::move(prompts)), m_macroFilesFolder(macroFilesFolder) {
    setObjectName(QStringLiteral("frmShortcut"));
    setWindowTitle(QStringLiteral("Shortcut Wizard"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);

    Image1 = Named(new QLabel(this), "Image1");
    Image1->setGeometry(15, 6, 449, 102);
    Image1->setPixmap(Banner(449, 102));
    Memo1 = Named(new QPlainTextEdit(kInstructions, this), "Memo1");
    Memo1->setReadOnly(true);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setGeometry(15, 114, 449, 164);

    lblCkdFile = Named(new QLabel(QStringLiteral("Target File:"), this), "lblCkdFile");
    lblCkdFile->setGeometry(15, 290, 90, 20);
    edCkdFile = Named(new QLineEdit(this), "edCkdFile");
    edCkdFile->setGeometry(110, 288, 354, 24);
    btnChooseShortcutCKD = Named(new QPushButton(QStringLiteral("Choose Target File..."), this), "btnChooseShortcutCKD");
    btnChooseShortcutCKD->setGeometry(110, 316, 170, 26);

    lblHint = Named(new QLabel(QStringLiteral("Comment:"), this), "lblHint");
    lblHint->setGeometry(15, 352, 90, 20);
    edHint = Named(new QLineEdit(this), "edHint");
    edHint->setGeometry(110, 350, 354, 24);

    lblShortcut = Named(new QLabel(QStringLiteral("Shortcut key:"), this), "lblShortcut");
    lblShortcut->setGeometry(15, 384, 90, 20);
    edShortcut = Named(new QLineEdit(this), "edShortcut");
    edShortcut->setGeometry(110, 382, 130, 24);
    edShortcut->installEventFilter(this);
    Label1 = Named(new QLabel(QStringLiteral("(Press a key in this box for shortcut)"), this), "Label1");
    Label1->setGeometry(246, 384, 226, 20);

    btnCreate = Named(new QPushButton(QStringLiteral("Create"), this), "btnCreate");
    btnCreate->setGeometry(300, 416, 80, 26);
    btnCancel = Named(new QPushButton(QStringLiteral("Cancel"), this), "btnCancel");
    btnCancel->setGeometry(384, 416, 80, 26);
    setFixedSize(480, 449);

    connect(btnChooseShortcutCKD, &QPushButton::clicked, this, &TfrmShortcut::btnChooseShortcutCKDClick);
    connect(btnCreate, &QPushButton::clicked, this, &TfrmShortcut::btnCreateClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmShortcut::btnCancelClick);
}

void TfrmShortcut::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

bool TfrmShortcut::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edShortcut && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        // Tab still moves the focus on.
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            return false;
        if (event->type() == QEvent::KeyPress)
            edShortcutKeyDown(KeyStrokeOf(*key));
        else if (!key->isAutoRepeat())
            edShortcutKeyUp(KeyStrokeOf(*key));
        // The box shows the capture, never the typed text.
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmShortcut::FormShow() {
    edCkdFile->clear();
    edShortcut->clear();
    edHint->setText(QString::fromLatin1(kDefaultHint));
    m_hotKey = CapturedHotKey{};
}

void TfrmShortcut::btnChooseShortcutCKDClick() {
    if (const std::optional<QString> path = m_prompts.chooseFile(QString::fromLatin1(kFilter),
                                                                 ToQString(m_macroFilesFolder)))
        edCkdFile->setText(*path);
}

void TfrmShortcut::edShortcutKeyDown(const KeyStroke& stroke) {
    if (stroke.character >= '0' && stroke.character <= '9') {
        const int digit = stroke.character - '0';
        m_keypadDigit = m_platform.keyIsDown(kKeypadDigit0 + digit) ? stroke.character : 0;
    }
}

void TfrmShortcut::Capture(const QString& shown, const CapturedHotKey& hotKey) {
    edShortcut->setText(shown);
    m_hotKey = hotKey;
}

void TfrmShortcut::edShortcutKeyUp(const KeyStroke& stroke) {
    const int key = stroke.key;
    // Releasing a modifier never changes the capture.
    if (key == kShiftKey || key == kCtrlKey || key == kAltKey)
        return;
    char character = stroke.character;
    if (character != 0) {
        for (const auto& [shifted, digit] : kShiftedDigits) {
            if (character == shifted)
                character = digit;
        }
        if (character >= '0' && character <= '9' && m_keypadDigit != 0) {
            const int digit = character - '0';
            Capture(QStringLiteral("Num %1").arg(digit),
                    {.characterKey = static_cast<uint8_t>(kKeypadDigit0 + digit)});
            return;
        }
        uint8_t virtualKey = 0;
        char shown = 0;
        for (const PunctuationKey& punctuation : kPunctuationKeys) {
            if (character == punctuation.unshifted || character == punctuation.shifted) {
                virtualKey = punctuation.virtualKey;
                shown = punctuation.unshifted;
            }
        }
        if (virtualKey == 0) {
            if (character >= 'a' && character <= 'z')
                character = static_cast<char>(character - 'a' + 'A');
            virtualKey = static_cast<uint8_t>(character);
            shown = character;
        }
        Capture(QStringLiteral("Ctrl + Alt + ") + QLatin1Char(shown), {.characterKey = virtualKey});
        return;
    }
    if (key == 0)
        return;

    const bool shift = m_platform.keyIsDown(kShiftKey);
    const bool ctrl = m_platform.keyIsDown(kCtrlKey);
    const bool alt = m_platform.keyIsDown(kAltKey);
    for (const NavigationKey& navigation : kNavigationKeys) {
        if (key == navigation.virtualKey) {
            // A navigation key always goes with Ctrl + Alt, whatever is held.
            Capture(QStringLiteral("Ctrl + Alt + %1").arg(QLatin1String(navigation.name)),
                    {.specialKey = navigation.virtualKey, .navigation = true});
            return;
        }
    }
    if (key >= kFirstFunctionKey && key <= kLastFunctionKey) {
        QString shown;
        if (ctrl)
            shown += QStringLiteral("Ctrl + ");
        if (shift)
            shown += QStringLiteral("Shift + ");
        if (alt)
            shown += QStringLiteral("Alt + ");
        shown += QStringLiteral("F%1").arg(key - kFirstFunctionKey + 1);
        Capture(shown, {.specialKey = static_cast<uint8_t>(key), .shift = shift, .ctrl = ctrl, .alt = alt});
        return;
    }
    // Delete, Escape and every other key without a character: no hot key.
    Capture(QString(), CapturedHotKey{});
}

void TfrmShortcut::btnCreateClick() {
    const QString target = edCkdFile->text();
    ShellLink link;
    if (ExtensionOf(target).toUpper() == QLatin1String(".CKD")) {
        // The utility loads the file into the keypad; it takes the path as typed, unquoted.
        link.target = m_platform.helperProgram(kDownloadUtility);
        link.workingFolder = m_platform.programFolder() / "";
        link.arguments = {target.toStdString()};
    } else {
        link.target = ToPath(target);
        link.workingFolder = ToPath(FolderOf(target));
    }
    link.description = edHint->text().toStdString();
    link.hotKey = EncodeHotKey(m_hotKey);
    const fs::path file = m_platform.desktopFolder() / ToPath(WithExtension(NameOf(target), QStringLiteral(".lnk")));

    // The number of exclamation marks tells the user (and support) where it failed.
    switch (m_platform.createShortcut(link, file)) {
    case ShortcutResult::CannotCreateLink:
        m_prompts.error(QStringLiteral("Could not make shortcut!!!"));
        return;
    case ShortcutResult::NoPersistFile:
        m_prompts.error(QStringLiteral("Could not make shortcut!!"));
        return;
    case ShortcutResult::SaveFailed:
        m_prompts.error(QStringLiteral("Could not make shortcut!"));
        return;
    case ShortcutResult::Success:
        break;
    }
    m_prompts.information(QStringLiteral("Success!"));
    accept();
}

void TfrmShortcut::btnCancelClick() { reject(); }

} // namespace keyloom
