#include "editor/TfrmMain.h"

#include "dialogs/TfrmAbout.h"
#include "dialogs/TfrmProperties.h"
#include "dialogs/TfrmShortcut.h"
#include "dialogs/TfrmTypeText.h"
#include "gui/Prompts.h"
#include "gui/QtPaths.h"
#include "platform/Platform.h"

#include <QAction>
#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

#include <filesystem>
#include <system_error>

namespace keyloom {

namespace fs = std::filesystem;

namespace {

constexpr const char* kManual = "KeyloomVKxx.pdf";

const QString kManualMissing = QStringLiteral("The document KeyloomVKxx.pdf was not found.");
const QString kKeyTestMissing = QStringLiteral("The KeyTest.exe file download utility was not found.");

// The Help menu opens this far above the pointer, so that it does not cover the button's caption.
constexpr int kHelpMenuRise = 10;

} // namespace

void TfrmMain::ConnectDialogs() {
    // The folders are found later, in FormCreate: the dialogs keep references to the paths.
    frmAbout = new TfrmAbout(m_platform, m_folders.area, this);
    // The dialog writes the keypad-wide settings itself; the command it runs in records them.
    frmProperties = new TfrmProperties(m_session.documentForEditing(), this);
    frmShortcut = new TfrmShortcut(m_platform, m_prompts, m_folders.macroFiles, this);

    menuHelp = new QMenu(this);
    menuHelp->setObjectName(QStringLiteral("menuHelp"));
    mnuAbout = menuHelp->addAction(QStringLiteral("&About..."));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
    mnuManual = menuHelp->addAction(QStringLiteral("PDF &User Manual"));
    mnuManual->setObjectName(QStringLiteral("mnuManual"));
    btnHelp->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(btnHelp, &QWidget::customContextMenuRequested, this,
            [this](QPoint position) { menuHelp->popup(btnHelp->mapToGlobal(position)); });

    connect(btnProperties, &QToolButton::clicked, this, Command(&TfrmMain::btnPropertiesClick));
    connect(btnShortcut, &QToolButton::clicked, this, Command(&TfrmMain::btnShortcutClick));
    connect(btnHelp, &QToolButton::clicked, this, Command(&TfrmMain::btnHelpClick));
    connect(btnTest, &QToolButton::clicked, this, Command(&TfrmMain::btnTestClick));
    connect(btnLabels, &QToolButton::clicked, this, Command(&TfrmMain::btnLabelsClick));
    connect(btnTypeText, &QToolButton::clicked, this, Command(&TfrmMain::btnTypeTextClick));
    connect(mnuAbout, &QAction::triggered, this, Command(&TfrmMain::mnuAboutClick));
    connect(mnuManual, &QAction::triggered, this, Command(&TfrmMain::mnuManualClick));
}

void TfrmMain::btnPropertiesClick() {
    frmProperties->exec();
    FocusCurrentGrid();
}

void TfrmMain::btnShortcutClick() {
    frmShortcut->exec();
    FocusCurrentGrid();
}

void TfrmMain::btnHelpClick() {
    // At the pointer, wherever on the button it was clicked.
    const QPoint pointer = QCursor::pos();
    menuHelp->popup(QPoint(pointer.x(), pointer.y() - kHelpMenuRise));
    FocusCurrentGrid();
}

void TfrmMain::mnuAboutClick() {
    frmAbout->exec();
    FocusCurrentGrid();
}

void TfrmMain::mnuManualClick() {
    const fs::path manual = m_platform.shippedDocument(kManual);
    if (Exists(manual))
        Launch("open", manual, {}, QStringLiteral("The document KeyloomVKxx.pdf could not be opened: no program "
                                                  "for PDF documents was found."));
    else
        m_prompts.warning(kManualMissing);
    FocusCurrentGrid();
}

void TfrmMain::btnTestClick() {
    const fs::path program = m_platform.helperProgram(kKeyTestProgram);
    // Started and not waited for: the editor goes on at once.
    if (Exists(program))
        Launch("open", program, {}, QStringLiteral("The key test program %1 could not be started.").arg(ToQString(program)));
    else
        m_prompts.warning(kKeyTestMissing);
    FocusCurrentGrid();
}

void TfrmMain::btnLabelsClick() {
    // No title and no filter: the templates are pictures, documents and spreadsheets.
    FileDialogRequest request;
    request.folder = ToQString(m_folders.keycapLabels);
    if (const std::optional<QString> chosen = m_prompts.openFileName(request))
        Launch("edit", ToPath(*chosen), {},
               QStringLiteral("%1 could not be opened for editing: no program for it was found.").arg(*chosen));
    FocusCurrentGrid();
}

void TfrmMain::btnTypeTextClick() {
    const Level level = m_session.level();
    const int key = m_session.selectedKey();
    const int left = m_document.LevelCapacity(level, key) - static_cast<int>(m_document.Length(level, key));
    // Made for each showing: it knows the room of one macro. Insert records inside this command,
    // so the whole text is one step to undo.
    TfrmTypeText dialog(left, [this](const TypedText& text) { return RecordText(text); }, this);
    dialog.exec();
    FocusCurrentGrid();
}

void TfrmMain::Launch(const char* verb, const fs::path& file, const std::vector<std::string>& arguments,
                      const QString& failure) {
    // The program does not wait for what it starts, but a launch the system refused is said.
    if (!m_platform.shellExecute(verb, file, arguments))
        m_prompts.warning(failure);
}

} // namespace keyloom
