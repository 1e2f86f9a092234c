#include "platform/desktop/DesktopPlatform.h"

#include "files/AtomicFile.h"
#include "files/FileError.h"
#include "files/PathText.h"
#include "platform/DesktopEntry.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>

#include <array>
#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace keyloom {

namespace fs = std::filesystem;

namespace {

QString ToQString(const fs::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

fs::path ToPath(const QString& text) {
    return text.isEmpty() ? fs::path() : fs::path(QFile::encodeName(text).toStdString());
}

QStringList ToQStringList(const std::vector<std::string>& texts) {
    QStringList list;
    for (const std::string& text : texts)
        list.append(QString::fromStdString(text));
    return list;
}

// A file that is run itself; documents and folders go to the desktop's default application.
bool IsProgram(const QFileInfo& info) { return info.isFile() && info.isExecutable(); }

// The desktop's own choice of application: Qt asks the desktop (through its portal inside a
// sandbox); where Qt's platform cannot (offscreen, or no GUI), xdg-open does. False when neither
// could start anything.
bool OpenWithDesktop(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path)) ||
           QProcess::startDetached(QStringLiteral("xdg-open"), {path});
}

std::string LockFileName(const std::string& name) {
    std::string file;
    for (char c : name) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
        file += plain ? c : '_';
    }
    return file + ".lock";
}

} // namespace

// Qt can say whether a modifier is held but not whether a particular key is, so the digits of
// the numeric keypad are followed through the application's key events. That covers the one
// question asked about them: at a key press in one of our own windows.
class DesktopPlatform::KeypadDigits : public QObject {
public:
    bool isDown(int digit) const { return m_down[static_cast<std::size_t>(digit)]; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
            const auto* key = static_cast<const QKeyEvent*>(event);
            if ((key->modifiers() & Qt::KeypadModifier) && key->key() >= Qt::Key_0 &&
                key->key() <= Qt::Key_9) {
                // Auto-repeat arrives as release and press pairs while the key stays down.
                if (type == QEvent::KeyPress)
                    m_down[static_cast<std::size_t>(key->key() - Qt::Key_0)] = true;
                else if (!key->isAutoRepeat())
                    m_down[static_cast<std::size_t>(key->key() - Qt::Key_0)] = false;
            }
        } else if (type == QEvent::ApplicationStateChange) {
            // Releases that happen in another application's window never reach us.
            if (static_cast<const QApplicationStateChangeEvent*>(event)->applicationState() !=
                Qt::ApplicationActive)
                m_down.fill(false);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::array<bool, 10> m_down{};
};

DesktopPlatform::DesktopPlatform() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        m_keypadDigits = std::make_unique<KeypadDigits>();
        QCoreApplication::instance()->installEventFilter(m_keypadDigits.get());
    }
}

DesktopPlatform::~DesktopPlatform() {
    for (const auto& [name, descriptor] : m_instanceLocks)
        ::close(descriptor);
}

fs::path DesktopPlatform::programFolder() const {
    if (QCoreApplication::instance())
        return ToPath(QCoreApplication::applicationDirPath());
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : program.parent_path();
}

fs::path DesktopPlatform::userDocumentsFolder() const {
    return ToPath(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}

fs::path DesktopPlatform::sharedDocumentsFolder() const { return kSharedDocumentsFolder; }

fs::path DesktopPlatform::desktopFolder() const {
    return ToPath(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
}

// An advisory lock on a file in the user's runtime folder. The kernel drops it with the last
// descriptor, so a crashed or killed editor never blocks the next start; close-on-exec keeps
// the programs the editor starts from holding it after the editor ends. When no lock can be set
// up at all the program is allowed to start: a guard that fails must not lock the user out.
bool DesktopPlatform::acquireSingleInstance(const std::string& name) {
    if (m_instanceLocks.count(name))
        return true;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        return true;
    const fs::path file = ToPath(folder) / LockFileName(name);
    const int descriptor = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (descriptor < 0)
        return true;
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(descriptor);
        return error != EWOULDBLOCK;
    }
    m_instanceLocks.emplace(name, descriptor);
    return true;
}

bool DesktopPlatform::shellExecute(const std::string& verb, const fs::path& file,
                                   const std::vector<std::string>& arguments) {
    const QString path = ToQString(file);
    const QFileInfo info(path);
    if (verb == "open") {
        if (IsProgram(info))
            return QProcess::startDetached(path, ToQStringList(arguments));
        // A document opens in its application, which takes no arguments from us.
        return OpenWithDesktop(path);
    }
    // Desktops have no separate action for editing; the default application is the editor.
    if (verb == "edit")
        return OpenWithDesktop(path);
    if (verb == "explore")
        return info.isDir() && OpenWithDesktop(path);
    return false;
}

bool DesktopPlatform::keyIsDown(int virtualKey) const {
    if (virtualKey >= 0x60 && virtualKey <= 0x69)
        return m_keypadDigits && m_keypadDigits->isDown(virtualKey - 0x60);
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return false;
    const Qt::KeyboardModifiers held = QGuiApplication::queryKeyboardModifiers();
    switch (virtualKey) {
    case 16: return held.testFlag(Qt::ShiftModifier);
    case 17: return held.testFlag(Qt::ControlModifier);
    case 18: return held.testFlag(Qt::AltModifier);
    default: return false;
    }
}

// A freedesktop desktop entry "<name>.desktop" carries the fields of the shell link. The three
// failures map onto its steps: no program to run or no name for the entry (CannotCreateLink),
// no folder to put it in (NoPersistFile), writing it or making it executable, which desktops
// require before they launch an entry from the desktop (SaveFailed).
ShortcutResult DesktopPlatform::createShortcut(const ShellLink& link, const fs::path& shortcutFile) {
    fs::path file = shortcutFile;
    file.replace_extension(".desktop");
    if (link.target.empty() || file.stem().empty())
        return ShortcutResult::CannotCreateLink;

    DesktopEntry entry;
    entry.name = PathText(file.stem());
    entry.comment = link.description;
    entry.workingFolder = PathText(link.workingFolder);
    entry.shortcut = HotKeyText(link.hotKey);
    // A document has to go through the desktop's opener; a program (or one not installed yet)
    // is run with the arguments.
    const QFileInfo target(ToQString(link.target));
    if (link.arguments.empty() && target.exists() && !IsProgram(target)) {
        entry.command = {"xdg-open", PathText(link.target)};
    } else {
        entry.command = {PathText(link.target)};
        entry.command.insert(entry.command.end(), link.arguments.begin(), link.arguments.end());
    }

    std::error_code error;
    if (!fs::is_directory(file.parent_path(), error))
        return ShortcutResult::NoPersistFile;
    try {
        WriteFileAtomically(file, DesktopEntryText(entry));
    } catch (const FileError&) {
        return ShortcutResult::SaveFailed;
    }
    // Executable for whoever may read it.
    const fs::perms mode = fs::status(file, error).permissions();
    fs::perms execute = fs::perms::owner_exec;
    if ((mode & fs::perms::group_read) != fs::perms::none)
        execute |= fs::perms::group_exec;
    if ((mode & fs::perms::others_read) != fs::perms::none)
        execute |= fs::perms::others_exec;
    if (!error)
        fs::permissions(file, execute, fs::perm_options::add, error);
    return error ? ShortcutResult::SaveFailed : ShortcutResult::Success;
}

} // namespace keyloom
