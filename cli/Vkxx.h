#pragma once

#include "document/KeypadDocument.h"

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace keyloom::cli {

// Exit statuses that other programs rely on.
enum ExitStatus : int {
    kDone = 0,
    kUnreadableInput = 1, // also: check found problems
    kUnwritableOutput = 2,
    kUsage = 64,
};

// Runs vkxx with its arguments (without the program name).
int RunVkxx(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

// The printed sheets. They are drawn with Qt, so vkxx has vkxx-print beside it draw them.
enum class PrintSheet { Keymap, Labels, SmallLabels };
struct PrintJob {
    PrintSheet sheet = PrintSheet::Keymap;
    std::filesystem::path input;
    std::filesystem::path output;
};
// Draws the sheet of a job to its output; throws FileError when it cannot be written.
using PrintWriter = std::function<void(const KeypadDocument& document, const PrintJob& job)>;

// Runs "keymap FILE.ckd -o OUT.pdf" or "labels FILE.ckd [--small] -o OUT.pdf" (the arguments
// begin with the command) with the exit statuses of the other commands: the document is read,
// an output that is the input or its device image is refused, and write draws the sheet.
int RunPrintJob(const std::vector<std::string>& arguments, std::ostream& err, const PrintWriter& write);

} // namespace keyloom::cli
