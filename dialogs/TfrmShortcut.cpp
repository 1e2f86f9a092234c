#include "dialogs/TfrmShortcut.h"

#include "gui/Controls.h"
#include "gui/DesignUnits.h"
#include "gui/Prompts.h"
#include "gui/QtPaths.h"
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

} // namespace

TfrmShortcut::TfrmShortcut(Platform& platform, Prompts& prompts, const fs::path& macroFilesFolder, QWidget* parent)
    : QDialog(parent), m_platform(platform), m_prompts(prompts), m_macroFilesFolder(macroFilesFolder) {
    setObjectName(QStringLiteral("frmShortcut"));
    setWindowTitle(QStringLiteral("Shortcut Wizard"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);

    Image1 = Named(new QLabel(this), "Image1");
    Image1->setGeometry(15, 6, 449, 102);
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
    const DesignUnits units(font());
    ScaleForm(this, units);
    Image1->setPixmap(Banner(units(449), units(102)));

    // Screen readers name each box by the label before it.
    Memo1->setAccessibleName(QStringLiteral("Instructions"));
    for (const auto& [label, box] : {std::pair{lblCkdFile, edCkdFile}, std::pair{lblHint, edHint},
                                     std::pair{lblShortcut, edShortcut}}) {
        label->setBuddy(box);
        box->setAccessibleName(label->text().chopped(1)); // without the colon
    }
    edShortcut->setToolTip(Label1->text());

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
            edShortcutKeyDown(HotKeyStrokeOf(*key));
        else if (!key->isAutoRepeat())
            edShortcutKeyUp(HotKeyStrokeOf(*key));
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
    FileDialogRequest request;
    request.filter = QString::fromLatin1(kFilter);
    // All files: a shortcut may start any document, not only a key definition.
    request.selectedFilter = 1;
    request.folder = ToQString(m_macroFilesFolder);
    if (const std::optional<QString> path = m_prompts.openFileName(request))
        edCkdFile->setText(*path);
}

void TfrmShortcut::edShortcutKeyDown(const HotKeyStroke& stroke) {
    if (stroke.character >= '0' && stroke.character <= '9') {
        const int digit = stroke.character - '0';
        m_keypadDigit = m_platform.keyIsDown(kKeypadDigit0 + digit) ? stroke.character : 0;
    }
}

void TfrmShortcut::edShortcutKeyUp(const HotKeyStroke& stroke) {
    // Windows' key state answers as of the event being handled.
    const HeldModifiers held = stroke.modifiers ? *stroke.modifiers
                                                : HeldModifiers{.shift = m_platform.keyIsDown(kShiftKey),
                                                                .ctrl = m_platform.keyIsDown(kCtrlKey),
                                                                .alt = m_platform.keyIsDown(kAltKey)};
    if (std::optional<HotKeyCapture> capture = CaptureHotKey(stroke, m_keypadDigit, held)) {
        edShortcut->setText(capture->shown);
        m_hotKey = capture->hotKey;
    }
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
