// Draws the program icon - a keypad: a rounded body holding 4 columns of 6 keys - once as SVG
// and once per PNG size, from the same geometry, so the sizes cannot drift apart.
//
// make_icons <hicolor folder> <size>...
//
// The sizes up to 256 are also written together as <hicolor folder>/keyloomvkxx.ico, the icon of
// the Windows programs.

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>

#include <cstdio>
#include <utility>
#include <vector>

namespace {

// On a 256-unit canvas.
constexpr double kCanvas = 256;
constexpr int kColumns = 4;
constexpr int kRows = 6;
constexpr double kKeySize = 30;
constexpr double kKeyPitch = 36;
constexpr double kKeyRadius = 5;
constexpr double kBodyMargin = 14;
constexpr double kBodyRadius = 26;
const QColor kBodyColour(0x2e, 0x34, 0x40);
const QColor kKeyColour(0xec, 0xef, 0xf4);
// The first key is picked out, as a key being recorded is in the editor.
const QColor kAccentColour(0x5e, 0x81, 0xac);

constexpr double kGridWidth = (kColumns - 1) * kKeyPitch + kKeySize;
constexpr double kGridHeight = (kRows - 1) * kKeyPitch + kKeySize;
constexpr double kGridLeft = (kCanvas - kGridWidth) / 2;
constexpr double kGridTop = (kCanvas - kGridHeight) / 2;

QRectF Body() {
    return {kGridLeft - kBodyMargin, kGridTop - kBodyMargin, kGridWidth + 2 * kBodyMargin,
            kGridHeight + 2 * kBodyMargin};
}

QRectF Key(int column, int row) {
    return {kGridLeft + column * kKeyPitch, kGridTop + row * kKeyPitch, kKeySize, kKeySize};
}

QColor KeyColour(int column, int row) { return column == 0 && row == 0 ? kAccentColour : kKeyColour; }

QString SvgRect(const QRectF& rect, double radius, const QColor& colour) {
    return QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" fill=\"%6\"/>\n")
        .arg(rect.x())
        .arg(rect.y())
        .arg(rect.width())
        .arg(rect.height())
        .arg(radius)
        .arg(colour.name());
}

bool WriteSvg(const QString& file) {
    QString svg = QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" "
                                 "viewBox=\"0 0 %1 %1\">\n")
                      .arg(kCanvas);
    svg += SvgRect(Body(), kBodyRadius, kBodyColour);
    for (int row = 0; row < kRows; ++row)
        for (int column = 0; column < kColumns; ++column)
            svg += SvgRect(Key(column, row), kKeyRadius, KeyColour(column, row));
    svg += QStringLiteral("</svg>\n");
    QFile out(file);
    return out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(svg.toUtf8()) == svg.toUtf8().size();
}

QImage Paint(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / kCanvas, size / kCanvas);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kBodyColour);
    painter.drawRoundedRect(Body(), kBodyRadius, kBodyRadius);
    for (int row = 0; row < kRows; ++row)
        for (int column = 0; column < kColumns; ++column) {
            painter.setBrush(KeyColour(column, row));
            painter.drawRoundedRect(Key(column, row), kKeyRadius, kKeyRadius);
        }
    painter.end();
    return image;
}

bool WritePng(const QString& file, int size) { return Paint(size).save(file, "PNG"); }

void AppendLittleEndian(QByteArray& bytes, quint32 value, int width) {
    for (int index = 0; index < width; ++index)
        bytes.append(static_cast<char>((value >> (8 * index)) & 0xFF));
}

// An icon file whose images are PNG data, as Windows reads them since Vista.
bool WriteIco(const QString& file, const std::vector<int>& sizes) {
    std::vector<std::pair<int, QByteArray>> images;
    for (const int size : sizes) {
        if (size > 256)
            continue;
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!Paint(size).save(&buffer, "PNG"))
            return false;
        images.emplace_back(size, png);
    }
    QByteArray ico;
    AppendLittleEndian(ico, 0, 2); // reserved
    AppendLittleEndian(ico, 1, 2); // an icon, not a cursor
    AppendLittleEndian(ico, static_cast<quint32>(images.size()), 2);
    quint32 offset = 6 + 16 * static_cast<quint32>(images.size());
    for (const auto& [size, png] : images) {
        // A size byte of 0 means 256.
        AppendLittleEndian(ico, size == 256 ? 0 : size, 1);
        AppendLittleEndian(ico, size == 256 ? 0 : size, 1);
        AppendLittleEndian(ico, 0, 2);  // no palette, reserved
        AppendLittleEndian(ico, 1, 2);  // planes
        AppendLittleEndian(ico, 32, 2); // bits per pixel
        AppendLittleEndian(ico, static_cast<quint32>(png.size()), 4);
        AppendLittleEndian(ico, offset, 4);
        offset += static_cast<quint32>(png.size());
    }
    for (const auto& image : images)
        ico += image.second;
    QFile out(file);
    return out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(ico) == ico.size();
}

bool MakeFolder(const QString& folder) { return QDir().mkpath(folder); }

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_icons <hicolor folder> <size>...\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    const QString scalable = root + QStringLiteral("/scalable/apps");
    if (!MakeFolder(scalable) || !WriteSvg(scalable + QStringLiteral("/keyloomvkxx.svg"))) {
        std::fprintf(stderr, "make_icons: cannot write %s/keyloomvkxx.svg\n", qPrintable(scalable));
        return 1;
    }
    std::vector<int> sizes;
    for (int index = 2; index < argc; ++index) {
        const int size = QString::fromLocal8Bit(argv[index]).toInt();
        sizes.push_back(size);
        const QString folder = root + QStringLiteral("/%1x%1/apps").arg(size);
        if (size <= 0 || !MakeFolder(folder) || !WritePng(folder + QStringLiteral("/keyloomvkxx.png"), size)) {
            std::fprintf(stderr, "make_icons: cannot write the %s icon in %s\n", argv[index], qPrintable(folder));
            return 1;
        }
    }
    if (!WriteIco(root + QStringLiteral("/keyloomvkxx.ico"), sizes)) {
        std::fprintf(stderr, "make_icons: cannot write %s/keyloomvkxx.ico\n", qPrintable(root));
        return 1;
    }
    return 0;
}
