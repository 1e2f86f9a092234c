#include "gui/UiFont.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>

namespace keyloom {

QString AvailableSansSerif(const QStringList& families) {
    for (const char* face : {"Segoe UI", "Tahoma", "Arial", "Liberation Sans", "DejaVu Sans", "Noto Sans"}) {
        const QString name = QString::fromLatin1(face);
        if (families.contains(name, Qt::CaseInsensitive))
            return name;
    }
    return {};
}

void UseAvailableUiFont() {
#ifdef Q_OS_WIN
    QFont font = QApplication::font();
    if (QFontInfo(font).exactMatch())
        return;
    const QString face = AvailableSansSerif(QFontDatabase::families());
    if (face.isEmpty())
        return;
    font.setFamily(face);
    QApplication::setFont(font);
#endif
}

} // namespace keyloom
