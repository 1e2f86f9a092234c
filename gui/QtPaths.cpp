#include "gui/QtPaths.h"

#include <QFile>

#include <system_error>

namespace keyloom {

namespace fs = std::filesystem;

fs::path ToPath(const QString& text) {
#ifdef _WIN32
    return fs::path(text.toStdWString());
#else
    return fs::path(QFile::encodeName(text).toStdString());
#endif
}

QString ToQString(const fs::path& path) {
#ifdef _WIN32
    return QString::fromStdWString(path.native());
#else
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
#endif
}

bool Exists(const fs::path& path) {
    std::error_code error;
    return fs::exists(path, error);
}

} // namespace keyloom
