#include "editor/TfrmMain.h"

#include "files/DeviceImage.h"
#include "files/FileError.h"
#include "files/PathText.h"
#include "gui/Prompts.h"
#include "gui/QtPaths.h"
#include "print/KeycapLabelsPdf.h"
#include "print/KeymapPdf.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

#include <filesystem>

namespace keyloom {

namespace fs = std::filesystem;

namespace {

const QString kPdfFilter = QStringLiteral("PDF Documents |*.pdf");
const QString kPdfSuffix = QStringLiteral("pdf");

struct PrintItem {
    QAction* TfrmMain::*action;
    const char* name;
    const char* text;
    const char* tip;
    TfrmMain::PrintedSheet sheet;
    const char* dialogTitle;
    const char* nameEnding; // after the document's name, so the three sheets do not replace each other
};

constexpr PrintItem kPrintItems[] = {
    {&TfrmMain::mnuPrintKeymap, "mnuPrintKeymap", "&Keymap (PDF)...",
     "The keypad with each key's number, type and descriptions, then every key's macro by cell name",
     TfrmMain::PrintedSheet::Keymap, "Save Keymap as PDF", ""},
    {&TfrmMain::mnuPrintLabels, "mnuPrintLabels", "Keycap &Labels (PDF)...",
     "The label sheet of the large keycaps (0.75 in) filled with the keys' descriptions, to print at 100 % and cut",
     TfrmMain::PrintedSheet::Labels, "Save Keycap Labels as PDF", "-labels"},
    {&TfrmMain::mnuPrintSmallLabels, "mnuPrintSmallLabels", "&Small Keycap Labels (PDF)...",
     "The label sheet of the small keycaps (0.5 in) filled with the keys' descriptions, to print at 100 % and cut",
     TfrmMain::PrintedSheet::SmallLabels, "Save Small Keycap Labels as PDF", "-small-labels"},
};

const PrintItem& ItemOf(TfrmMain::PrintedSheet sheet) {
    for (const PrintItem& item : kPrintItems)
        if (item.sheet == sheet)
            return item;
    return kPrintItems[0];
}

} // namespace

void TfrmMain::ConnectPrint() {
    menuPrint = new QMenu(this);
    menuPrint->setObjectName(QStringLiteral("menuPrint"));
    menuPrint->setToolTipsVisible(true);
    for (const PrintItem& item : kPrintItems) {
        QAction* action = menuPrint->addAction(QString::fromLatin1(item.text));
        action->setObjectName(QString::fromLatin1(item.name));
        action->setToolTip(QString::fromLatin1(item.tip));
        connect(action, &QAction::triggered, this, Command([this, sheet = item.sheet] { mnuPrintClick(sheet); }));
        this->*item.action = action;
    }
    connect(btnPrint, &QToolButton::clicked, this, Command(&TfrmMain::btnPrintClick));
}

void TfrmMain::btnPrintClick() {
    // Under the button, so that a click and Alt+X open it in the same place.
    menuPrint->popup(btnPrint->mapToGlobal(QPoint(0, btnPrint->height())));
    FocusCurrentGrid();
}

void TfrmMain::mnuPrintClick(PrintedSheet sheet) {
    const PrintItem& item = ItemOf(sheet);
    const QString open = FileName();
    const bool untitled = open == QLatin1String(kUntitled);
    // Beside the open file, named after it; an untitled document's go to the macro files.
    const QFileInfo document(untitled ? QDir(ToQString(m_folders.macroFiles)).filePath(open) : open);
    const std::optional<QString> chosen = m_prompts.saveFileName(
        {QString::fromLatin1(item.dialogTitle), kPdfFilter, kPdfSuffix, QDir::toNativeSeparators(document.absolutePath()),
         document.completeBaseName() + QString::fromLatin1(item.nameEnding) + QLatin1String(".pdf")});
    if (!chosen) {
        FocusCurrentGrid();
        return;
    }
    const fs::path output = ToPath(*chosen);
    if (!untitled) {
        const fs::path ckd = ToPath(open);
        if (SameFile(ckd, output) || SameFile(DeviceImagePath(ckd), output)) {
            m_prompts.error(QStringLiteral("%1 is the open key definition file or its device image; the PDF is "
                                           "not saved over it. Choose another name.")
                                .arg(*chosen));
            FocusCurrentGrid();
            return;
        }
    }
    try {
        const QString title = document.fileName();
        if (sheet == PrintedSheet::Keymap)
            print::WriteKeymapPdf(m_document, m_document.numberOfKeys, title, output);
        else
            print::WriteKeycapLabelsPdf(m_document, m_document.numberOfKeys,
                                        sheet == PrintedSheet::Labels ? print::KeycapSize::Large
                                                                      : print::KeycapSize::Small,
                                        title, output);
    } catch (const FileError& error) {
        m_prompts.error(QString::fromStdString(ErrorText(error)));
    }
    FocusCurrentGrid();
}

} // namespace keyloom
