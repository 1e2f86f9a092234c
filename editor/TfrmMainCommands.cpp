#include "editor/TfrmMain.h"

#include "editor/KeypadPanel.h"

#include "files/DeviceImage.h"
#include "files/FileError.h"
#include "files/KeyDefinitionFile.h"
#include "files/PathText.h"
#include "gui/Prompts.h"
#include "gui/QtPaths.h"
#include "platform/Platform.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QStatusBar>

#include <filesystem>
#include <system_error>

namespace keyloom {

namespace fs = std::filesystem;

namespace {

const QString kSaveChanges = QStringLiteral("Do you want to save your changes?");
const QString kFileExists = QStringLiteral("File exists. Overwrite?");
const QString kSaving = QStringLiteral("Saving...");
const QString kOpenTitle = QStringLiteral("Open KeydeckKey Definition File");
const QString kSaveTitle = QStringLiteral("Save VKxx Custom Key Definition File");
const QString kFilter = QStringLiteral("Custom Keypad Definition Files |*.ckd");
const QString kDefaultSuffix = QStringLiteral("ckd");
const QString kUtilityMissing = QStringLiteral("The VKxxLoad.exe file download utility was not found.");

// What failed first, then where: the file and, for a faulty value, its section and key.
QString ReadErrorText(const FileError& error) { return QString::fromStdString(ErrorText(error)); }

// An image opens the key definition file it was made from, chosen in the dialog or given on the
// command line (the desktop opens images with the editor). Exact case, as the images this program
// writes are named.
QString KeyDefinitionPathOf(const QString& path) {
    if (ToPath(path).extension() != ".bin")
        return path;
    return path.left(path.size() - 4) + QStringLiteral(".ckd");
}

} // namespace

void TfrmMain::FormCreate(const QStringList& arguments) {
    // The samples and Location.ini lie beside the program in a build folder, under
    // <prefix>/share/keyloomvkxx when installed.
    m_folders = PrepareWorkingFolders(m_platform.userDocumentsFolder(), m_platform.sharedDocumentsFolder(),
                                      m_platform.dataFolder());
    if (!m_folders.problems.empty()) {
        QStringList lines;
        for (const std::string& problem : m_folders.problems)
            lines << QString::fromStdString(problem);
        m_prompts.warning(lines.join(QLatin1Char('\n')));
    }

    m_session.New();
    keypadPanel->cboxKeyDescriptions->setChecked(ReadShowKeyDescriptions(m_folders.area));

    // A file that cannot be read leaves the New document in the stored layout, never a part of
    // the file under its name.
    if (arguments.size() == 1 && LoadFrom(KeyDefinitionPathOf(arguments.front())).has_value())
        return;
    SwitchLayout(ReadKeyCount(m_folders.area) == 24 ? 24 : 48);
}

void TfrmMain::FormShow() { FocusCurrentGrid(); }

void TfrmMain::FormClose() {
    // The window may be closed more than once (a second close, quitting the application); the
    // user is asked once.
    if (m_closed)
        return;
    m_closed = true;
    // Asked again after a save that did not happen (cancelled or refused), until the document is
    // saved or the user lets the changes go.
    if (m_session.modified()) {
        while (m_prompts.question(kSaveChanges, false) == Answer::Yes) {
            btnSaveAsClick();
            if (m_saveAsCompleted)
                break;
        }
    }
    try {
        WriteKeyCount(m_folders.area, m_document.numberOfKeys);
        WriteShowKeyDescriptions(m_folders.area, keypadPanel->cboxKeyDescriptions->isChecked());
    } catch (const FileError& error) {
        m_prompts.error(QString::fromStdString(error.what()));
    }
}

void TfrmMain::btnNewClick() {
    if (m_session.modified()) {
        const Answer answer = m_prompts.question(kSaveChanges, true);
        if (answer != Answer::No) {
            // Yes saves and stops: the saved document stays on screen.
            if (answer == Answer::Yes)
                btnSaveAsClick();
            FocusCurrentGrid();
            return;
        }
    }
    Render(m_session.New());
}

void TfrmMain::btnOpenClick() {
    if (m_session.modified()) {
        const Answer answer = m_prompts.question(kSaveChanges, true);
        if (answer == Answer::Cancel) {
            FocusCurrentGrid();
            return;
        }
        // Yes goes on to the open dialog whether or not the save happened.
        if (answer == Answer::Yes)
            btnSaveAsClick();
    }

    const std::optional<QString> chosen = m_prompts.openFileName(
        {kOpenTitle, kFilter, kDefaultSuffix, ToQString(m_folders.macroFiles), m_openDialogFileName});
    if (!chosen) {
        FocusCurrentGrid();
        return;
    }
    const QString path = KeyDefinitionPathOf(*chosen);
    m_openDialogFileName = path;
    const std::optional<IniFile> values = LoadFrom(path);
    if (!values) {
        FocusCurrentGrid();
        return;
    }
    // After loading, so that the image has the key count of the file's own layout; from the
    // values already read, not the file read again. Its failure is not the open's: the image is
    // written again with every save.
    try {
        WriteDeviceImageFile(*values, DeviceImagePath(ToPath(path)), m_document.numberOfKeys);
    } catch (const FileError&) {
    }
}

void TfrmMain::btnSaveAsClick() {
    m_saveAsCompleted = false;
    // The dialog proposes the last name chosen in its start folder, not in the last folder.
    m_saveDialogFileName = QFileInfo(m_saveDialogFileName).fileName();
    const std::optional<QString> chosen = m_prompts.saveFileName(
        {kSaveTitle, kFilter, kDefaultSuffix, ToQString(m_folders.macroFiles), m_saveDialogFileName});
    if (!chosen) {
        FocusCurrentGrid();
        return;
    }
    m_saveDialogFileName = *chosen;
    m_saveAsCompleted = SaveTo(*chosen);
    FocusCurrentGrid();
}

void TfrmMain::btnSaveClick() {
    if (!m_session.path()) {
        btnSaveAsClick();
        return;
    }
    const std::filesystem::path path = *m_session.path();
    if (Exists(path)) {
        const Answer answer = m_prompts.question(kFileExists, true);
        if (answer == Answer::Cancel) {
            FocusCurrentGrid();
            return;
        }
        if (answer == Answer::No) {
            btnSaveAsClick();
            return;
        }
    }
    SaveTo(ToQString(path));
    FocusCurrentGrid();
}

void TfrmMain::btnDownloadClick() {
    const fs::path utility = m_platform.helperProgram(kDownloadUtility);
    if (!Exists(utility)) {
        m_prompts.warning(kUtilityMissing);
        FocusCurrentGrid();
        return;
    }
    if (!m_session.path()) {
        btnSaveAsClick();
        if (!m_saveAsCompleted)
            return;
    }
    if (m_session.modified()) {
        if (m_prompts.question(kSaveChanges, true) != Answer::Yes) {
            FocusCurrentGrid();
            return;
        }
        // The utility loads the file as it is on disk, saved or not.
        btnSaveAsClick();
    }
    // The path travels as one argument; the Windows backend quotes it in the parameter string.
    Launch("open", utility, {PathText(*m_session.path())},
           QStringLiteral("The download utility %1 could not be started.").arg(ToQString(utility)));
    FocusCurrentGrid();
}

bool TfrmMain::SaveTo(const QString& path) {
    // The image is written beside the file under its name with ".bin": a key definition file of
    // that name would be replaced by its own image right after being written.
    if (QFileInfo(path).suffix().compare(QLatin1String("bin"), Qt::CaseInsensitive) == 0) {
        m_prompts.error(QStringLiteral("Unable to write to %1 (the name of a device image: key definition "
                                       "files are saved as .ckd)").arg(path));
        return false;
    }
    lblModified->setText(kSaving);
    // Painted now: the event loop does not run again until the save is over.
    statusBar()->layout()->activate();
    repaint();
    try {
        const SessionChange saved = m_session.Save(ToPath(path));
        ShowDocumentState();
        // An image that cannot be written does not undo the save: the .ckd is the document.
        if (!saved.warning.empty())
            m_prompts.error(QString::fromStdString(saved.warning));
        return true;
    } catch (const FileError& error) {
        ShowDocumentState();
        m_prompts.error(QString::fromStdString(error.what()));
        return false;
    }
}

std::optional<IniFile> TfrmMain::LoadFrom(const QString& path) {
    IniFile values;
    try {
        values = m_session.Open(ToPath(path));
    } catch (const FileError& error) {
        if (!Exists(ToPath(path)))
            m_prompts.warning(QStringLiteral("The file %1 was not found.").arg(path));
        else
            m_prompts.error(ReadErrorText(error));
        return std::nullopt;
    }
    SwitchLayout(m_document.numberOfKeys);
    return values;
}

} // namespace keyloom
