// vkxx-print: draws the keymap and the keycap labels of a key definition file as PDF, for vkxx's
// keymap and labels commands. It takes the same arguments and exits with the same statuses.

#include "cli/Vkxx.h"
#include "files/PathText.h"
#include "print/KeycapLabelsPdf.h"
#include "print/KeymapPdf.h"

#include <QGuiApplication>
#include <QMessageLogContext>
#include <QString>

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace {

QtMessageHandler g_qtHandler = nullptr;

// Without XDG_RUNTIME_DIR (over ssh, from cron, in containers) Qt warns on every start about a
// folder that printing never uses; that one warning is dropped, every other message shown.
void DropRuntimeFolderWarning(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    if (g_qtHandler)
        g_qtHandler(type, context, message);
    else
        std::cerr << qUtf8Printable(qFormatLogMessage(type, context, message)) << "\n";
}

int Run(const std::vector<std::string>& arguments) {
    // Printing needs fonts, not a screen: it runs over ssh, in scripts and on build machines too.
    // The minimal platform with its fonts enabled reads the system's fonts everywhere; the
    // offscreen one reads only Qt's own font folder on Windows, and its PDFs had no text there.
    // Qt is given nothing of the arguments, so that none is taken for one of its own options.
    char name[] = "vkxx-print";
    char platformOption[] = "-platform";
    char platform[] = "minimal:enable_fonts";
    char* argv[] = {name, platformOption, platform, nullptr};
    int argc = 3;
    g_qtHandler = qInstallMessageHandler(DropRuntimeFolderWarning);
    QGuiApplication application(argc, argv);
    using namespace keyloom;
    return cli::RunPrintJob(arguments, std::cerr, [](const KeypadDocument& document, const cli::PrintJob& job) {
        const QString title = QString::fromStdString(PathText(job.input.filename()));
        if (job.sheet == cli::PrintSheet::Keymap)
            print::WriteKeymapPdf(document, document.numberOfKeys, title, job.output);
        else
            print::WriteKeycapLabelsPdf(document, document.numberOfKeys,
                                        job.sheet == cli::PrintSheet::Labels ? print::KeycapSize::Large
                                                                             : print::KeycapSize::Small,
                                        title, job.output);
    });
}

} // namespace

#ifdef _WIN32
// Wide arguments, as vkxx passes them: they spell every file name.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(keyloom::PathText(std::filesystem::path(argv[i])));
    return Run(arguments);
}
#else
int main(int argc, char** argv) { return Run(std::vector<std::string>(argv + 1, argv + argc)); }
#endif
