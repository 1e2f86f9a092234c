#include "dialogs/TfrmAbout.h"

#include "gui/Controls.h"
#include "gui/DesignUnits.h"
#include "gui/QtPaths.h"
#include "platform/Platform.h"

#include <QDate>
#include <QFont>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>

namespace keyloom {

namespace {


// The maker's mark: a rounded square with the initial, drawn rather than shipped.
QPixmap Logo(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x1f, 0x4e, 0x9c), 2));
    painter.setBrush(QColor(0x4a, 0x7f, 0xc1));
    painter.drawRoundedRect(QRectF(2, 2, size - 4, size - 4), 10, 10);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(size / 2);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("Q"));
    return pixmap;
}

} // namespace

TfrmAbout::TfrmAbout(Platform& platform, const std::filesystem::path& documentsArea, QWidget* parent)
    : QDialog(parent), m_platform(platform), m_documentsArea(documentsArea) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About KeyloomVKxx"));
    // Fixed border, no border icons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);

    Image1 = Named(new QLabel(this), "Image1");
    Image1->setGeometry(12, 12, 64, 64);

    Label1 = Named(new QLabel(QStringLiteral("Quorvane KeyloomVKxx"), this), "Label1");
    QFont large = Label1->font();
    large.setPointSizeF(large.pointSizeF() * 1.5);
    large.setBold(true);
    Label1->setFont(large);
    Label1->setGeometry(88, 12, 300, 30);
    Label2 = Named(new QLabel(QStringLiteral("Configuration program for VKxx-series Keydeck keypads"), this), "Label2");
    Label2->setWordWrap(true);
    Label2->setGeometry(88, 44, 300, 36);
    Label4 = Named(new QLabel(QString::fromLatin1(kVersion), this), "Label4");
    Label4->setGeometry(88, 84, 300, 20);
    Label5 = Named(new QLabel(this), "Label5");
    Label5->setGeometry(88, 106, 300, 20);

    Memo1 = Named(new QPlainTextEdit(this), "Memo1");
    Memo1->setReadOnly(true);
    Memo1->setAccessibleName(QStringLiteral("Documents Area"));
    Memo1->setGeometry(12, 136, 376, 60);

    btnExplore = Named(new QPushButton(QStringLiteral("Explore..."), this), "btnExplore");
    btnExplore->setGeometry(12, 206, 100, 26);
    Button1 = Named(new QPushButton(QStringLiteral("OK"), this), "Button1");
    Button1->setGeometry(308, 206, 80, 26);
    Button1->setDefault(true);
    setFixedSize(400, 244);
    const DesignUnits units(font());
    ScaleForm(this, units);
    Image1->setPixmap(Logo(units(64)));

    connect(btnExplore, &QPushButton::clicked, this, &TfrmAbout::btnExploreClick);
    connect(Button1, &QPushButton::clicked, this, &TfrmAbout::Button1Click);
}

QString TfrmAbout::BuildDate() {
    // __DATE__ pads a one-digit day with a space ("Feb  4 2019"); shown with a zero instead.
    QString date = QString::fromLatin1(__DATE__);
    if (date.size() > 4 && date[4] == QLatin1Char(' '))
        date[4] = QLatin1Char('0');
    return date;
}

void TfrmAbout::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TfrmAbout::FormShow() {
    Label5->setText(BuildDate());
    Memo1->setPlainText(QStringLiteral("Documents Area:\n") + ToQString(m_documentsArea));
}

void TfrmAbout::btnExploreClick() { m_platform.shellExecute("explore", m_documentsArea, {}); }

void TfrmAbout::Button1Click() { accept(); }

} // namespace keyloom
