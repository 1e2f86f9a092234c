// Turns the Markdown pages of the manual into one PDF with Qt's own Markdown reader and PDF
// writer. Each page starts on a new sheet; pictures are found relative to the page's folder, so
// the same links work when the Markdown is read on its own. A missing picture fails the build.
//
// make_manual <output.pdf> <docs folder> <version> <page.md>...

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextImageFormat>
#include <QUrl>

#include <cstdio>
#include <cstdlib>

namespace {

// Wider pictures are scaled down to this width (layout units) to fit between the margins.
constexpr double kMaxPictureWidth = 600;

bool ReadPage(const QString& file, QString& text) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    text = QString::fromUtf8(in.readAll());
    return true;
}

// Loads every picture of a page into the manual, which then needs no file look-ups when it is
// laid out, and gives wide ones a size that fits the page, keeping their proportions.
void AddPictures(QTextDocument& document, const QString& pageFolder, QTextDocument& manual) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextFragment part = fragment.fragment();
            if (!part.charFormat().isImageFormat())
                continue;
            QTextImageFormat format = part.charFormat().toImageFormat();
            const QImage picture(QFileInfo(pageFolder + QLatin1Char('/') + format.name()).absoluteFilePath());
            if (picture.isNull()) {
                std::fprintf(stderr, "make_manual: cannot read the picture %s in %s\n",
                             qPrintable(format.name()), qPrintable(pageFolder));
                std::exit(1);
            }
            manual.addResource(QTextDocument::ImageResource, QUrl(format.name()), picture);
            if (picture.width() <= kMaxPictureWidth)
                continue;
            format.setWidth(kMaxPictureWidth);
            format.setHeight(kMaxPictureWidth * picture.height() / picture.width());
            QTextCursor cursor(&document);
            cursor.setPosition(part.position());
            cursor.setPosition(part.position() + part.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
        }
    }
}

} // namespace

int main(int argc, char* argv[]) {
    QGuiApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() < 5) {
        std::fprintf(stderr, "usage: make_manual <output.pdf> <docs folder> <version> <page.md>...\n");
        return 2;
    }
    const QString output = arguments[1];
    const QString version = arguments[3];

    QTextDocument manual;
    QTextCursor end(&manual);
    for (qsizetype index = 4; index < arguments.size(); ++index) {
        QString text;
        if (!ReadPage(arguments[index], text)) {
            std::fprintf(stderr, "make_manual: cannot read %s\n", qPrintable(arguments[index]));
            return 1;
        }
        const QString pageFolder = QFileInfo(arguments[index]).absolutePath();
        text.replace(QStringLiteral("@VERSION@"), version);

        QTextDocument page;
        page.setMarkdown(text);
        AddPictures(page, pageFolder, manual);
        if (index > 4) {
            end.movePosition(QTextCursor::End);
            end.insertBlock();
            QTextBlockFormat breakBefore;
            breakBefore.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            end.mergeBlockFormat(breakBefore);
        }
        end.movePosition(QTextCursor::End);
        end.insertFragment(QTextDocumentFragment(&page));
    }
    manual.setMetaInformation(QTextDocument::DocumentTitle, QStringLiteral("KeyloomVKxx User Manual"));

    QPdfWriter writer(output);
    writer.setTitle(QStringLiteral("KeyloomVKxx User Manual"));
    writer.setCreator(QStringLiteral("KeyloomVKxx %1").arg(version));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
    manual.print(&writer);
    if (!QFileInfo(output).isFile() || QFileInfo(output).size() == 0) {
        std::fprintf(stderr, "make_manual: cannot write %s\n", qPrintable(output));
        return 1;
    }
    return 0;
}
