#include "cli/Vkxx.h"

#include "cli/Commands.h"
#include "cli/SiblingProgram.h"
#include "files/DeviceImage.h"
#include "files/FileError.h"
#include "files/KeyDefinitionFile.h"
#include "files/PathText.h"

#include <filesystem>
#include <optional>

namespace keyloom::cli {

namespace {

constexpr const char* kHelp = R"(vkxx - read, check and convert VK24/VK48 key definition files (.ckd)

Usage:
  vkxx show [--json] FILE.ckd
      Print the configuration: the keypad settings, then every key of the layout with its
      type and, per level, mode, auto-repeat, description, length and room, and its cells by
      name. With --json, print one JSON object holding all 48 keys whatever the layout.
  vkxx image FILE.ckd [--keys 24|48] [-o OUT.bin]
      Write the device image that the keypad reads. The number of key records defaults to
      the layout the file selects; the output defaults to FILE with the extension .bin, and
      is never the input itself.
  vkxx resave [--force] IN.ckd OUT.ckd
      Read IN and write it with the editor's own writer on top of what OUT holds. An OUT that
      exists and is no key definition file (by the test an input must pass) is refused; with
      --force it is replaced by the document alone.
  vkxx check FILE.ckd
      List what a hand-edited file gets wrong, one line per problem naming the section and
      key: odd-length or non-hex codes texts, unassigned codes, 00 pairs, levels over their
      room, more than two level shift or level toggle keys, values out of range, unknown keys.
  vkxx keymap FILE.ckd -o OUT.pdf
      Write a keymap to print: the keypad in the file's layout with each key's number, type
      and Level 1 and Level 2 descriptions, then a table of every key's macros by cell name.
  vkxx labels FILE.ckd [--small] -o OUT.pdf
      Write the keycap label sheet filled with each key's descriptions: 48 frames the size of
      the large keycaps' label windows (0.75 in), with --small of the small ones (0.5 in), with
      crop marks; print at 100 % and cut. keymap and labels are drawn by vkxx-print, the
      program beside vkxx. The output is never the input nor its device image (.bin).
  vkxx --help
      Show this text.

An input must be a key definition file: a device image, binary data, text without a
[GLOBAL_PARAMETERS] or [KEYn] section, a folder or a file over 16 MB is named and refused.

Saving: an output is replaced in one step. The new contents go into .NAME.saving beside it,
are flushed to the disk and renamed over it; a file that a rename would change (another owner
or group, hard links, a folder we may not add to) is rewritten in place after a whole copy
.NAME.saved beside it, which the next open or save puts back if the rewrite was stopped. Saves
of one file take turns; one that waits over 5 seconds fails. A failed save leaves the old file
whole.

Exit status:
  0   done (check: the file is clean)
  1   the input cannot be read as a document (missing file, unreadable file, no key
      definition file, or a codes text of odd length: "Range check error"; nothing is
      written then); check: problems found
  2   an output cannot be written (or vkxx-print, which draws it, cannot be started)
  64  wrong usage (an output that is the input, too)
)";

int Usage(std::ostream& err, const std::string& problem) {
    err << "vkxx: " << problem << "\nTry 'vkxx --help'.\n";
    return kUsage;
}

// A missing input is named as such; any other kind of file is left to the reader, which says
// what it is.
bool InputExists(const std::filesystem::path& path, std::ostream& err) {
    std::error_code ignored;
    if (std::filesystem::symlink_status(path, ignored).type() == std::filesystem::file_type::not_found ||
        std::filesystem::status(path, ignored).type() == std::filesystem::file_type::not_found) {
        err << "vkxx: cannot read " << PathText(path) << ": no such file\n";
        return false;
    }
    return true;
}

// Reads a document the way the editor opens one. Prints the reason and returns false on failure.
bool LoadDocument(const std::filesystem::path& path, KeypadDocument& document, std::ostream& err) {
    if (!InputExists(path, err))
        return false;
    try {
        document.ResetDocument();
        ReadKeyDefinitionFile(document, path);
        return true;
    } catch (const FileError& error) {
        err << "vkxx: " << ErrorLine(error) << "\n";
        return false;
    }
}

std::optional<IniFile> LoadIni(const std::filesystem::path& path, std::ostream& err) {
    if (!InputExists(path, err))
        return std::nullopt;
    try {
        return LoadKeyDefinitionIni(path);
    } catch (const FileError& error) {
        err << "vkxx: " << error.what() << "\n";
        return std::nullopt;
    }
}

int Show(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    bool json = false;
    std::optional<std::string> file;
    for (const std::string& arg : args) {
        if (arg == "--json")
            json = true;
        else if (!file && (arg.empty() || arg[0] != '-'))
            file = arg;
        else
            return Usage(err, "show: unexpected argument '" + arg + "'");
    }
    if (!file)
        return Usage(err, "show: missing FILE.ckd");
    KeypadDocument document;
    if (!LoadDocument(PathFromText(*file), document, err))
        return kUnreadableInput;
    if (json)
        PrintDocumentJson(document, out);
    else
        PrintDocument(document, out);
    return kDone;
}

int Image(const std::vector<std::string>& args, std::ostream& err) {
    std::optional<std::string> file;
    std::optional<std::string> output;
    std::optional<int> keys;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--keys" || arg == "-o") {
            if (i + 1 >= args.size())
                return Usage(err, "image: " + arg + " needs a value");
            const std::string& value = args[++i];
            if (arg == "-o") {
                output = value;
            } else if (value == "24" || value == "48") {
                keys = value == "24" ? 24 : 48;
            } else {
                return Usage(err, "image: --keys takes 24 or 48");
            }
        } else if (!file && (arg.empty() || arg[0] != '-')) {
            file = arg;
        } else {
            return Usage(err, "image: unexpected argument '" + arg + "'");
        }
    }
    if (!file)
        return Usage(err, "image: missing FILE.ckd");
    const std::filesystem::path ckdPath = PathFromText(*file);
    const std::optional<IniFile> ini = LoadIni(ckdPath, err);
    if (!ini)
        return kUnreadableInput;
    // The image is built from the values alone, which would take a file that the editor cannot
    // open (an odd-length codes text); reading it into a scratch document refuses it the same way.
    try {
        KeypadDocument scratch;
        ReadKeyDefinition(scratch, *ini, ckdPath);
    } catch (const FileError& error) {
        err << "vkxx: " << ErrorLine(error) << "\n";
        return kUnreadableInput;
    }
    if (!keys)
        keys = LayoutOfFile(*ini);
    const std::filesystem::path binPath = output ? PathFromText(*output) : DeviceImagePath(ckdPath);
    if (SameFile(ckdPath, binPath))
        return Usage(err, "image: the output " + PathText(binPath) + " is the input; nothing is written");
    try {
        WriteDeviceImageFile(*ini, binPath, *keys);
    } catch (const FileError& error) {
        err << "vkxx: " << error.what() << "\n";
        return kUnwritableOutput;
    }
    return kDone;
}

int Resave(const std::vector<std::string>& arguments, std::ostream& err) {
    std::vector<std::string> args;
    bool force = false;
    for (const std::string& arg : arguments) {
        if (arg == "--force")
            force = true;
        else
            args.push_back(arg);
    }
    if (args.size() != 2)
        return Usage(err, "resave takes [--force] IN.ckd OUT.ckd");
    KeypadDocument document;
    if (!LoadDocument(PathFromText(args[0]), document, err))
        return kUnreadableInput;
    const std::filesystem::path output = PathFromText(args[1]);
    // Writing on top of a device image, a picture or anything else would turn it into a key
    // definition file without a word: what OUT holds must pass the reader's test first.
    bool keyDefinition = true;
    try {
        LoadKeyDefinitionIni(output);
    } catch (const FileError& error) {
        keyDefinition = false;
        if (!force) {
            err << "vkxx: " << error.what() << "; not written over (--force replaces it)\n";
            return kUnwritableOutput;
        }
    }
    try {
        if (keyDefinition) {
            WriteKeyDefinitionFile(document, output);
        } else {
            // Nothing of what it held is worth keeping in a key definition file.
            IniFile ini;
            WriteKeyDefinition(document, ini);
            ini.Save(output);
        }
    } catch (const FileError& error) {
        err << "vkxx: " << error.what() << "\n";
        return kUnwritableOutput;
    }
    return kDone;
}

// The job of a keymap or labels command line (the command first), or nothing after the usage
// problem was printed.
std::optional<PrintJob> ParsePrintJob(const std::vector<std::string>& args, std::ostream& err) {
    const std::string& command = args[0];
    PrintJob job;
    job.sheet = command == "keymap" ? PrintSheet::Keymap : PrintSheet::Labels;
    std::optional<std::string> file;
    std::optional<std::string> output;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-o") {
            if (i + 1 >= args.size()) {
                Usage(err, command + ": -o needs a value");
                return std::nullopt;
            }
            output = args[++i];
        } else if (arg == "--small" && command == "labels") {
            job.sheet = PrintSheet::SmallLabels;
        } else if (!file && (arg.empty() || arg[0] != '-')) {
            file = arg;
        } else {
            Usage(err, command + ": unexpected argument '" + arg + "'");
            return std::nullopt;
        }
    }
    if (!file || !output) {
        Usage(err, command + (file ? ": missing -o OUT.pdf" : ": missing FILE.ckd"));
        return std::nullopt;
    }
    job.input = PathFromText(*file);
    job.output = PathFromText(*output);
    return job;
}

// Has vkxx-print draw the sheet: vkxx itself stays free of Qt, and starts in a few milliseconds
// for every other command.
int Print(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (!ParsePrintJob(args, err))
        return kUsage;
    const std::filesystem::path program = SiblingProgram("vkxx-print");
    out.flush();
    err.flush();
    std::string failure;
    const int status = RunProgram(program, args, failure);
    if (status < 0) {
        err << "vkxx: cannot start " << PathText(program) << ": " << failure << "\n";
        return kUnwritableOutput;
    }
    return status;
}

int Check(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1)
        return Usage(err, "check takes one FILE.ckd");
    const std::optional<IniFile> ini = LoadIni(PathFromText(args[0]), err);
    if (!ini)
        return kUnreadableInput;
    return CheckKeyDefinition(*ini, out) == 0 ? kDone : kUnreadableInput;
}

} // namespace

int RunVkxx(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    if (arguments.empty())
        return Usage(err, "missing command");
    const std::string& command = arguments[0];
    const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    if (command == "--help" || command == "-h" || command == "help") {
        out << kHelp;
        return kDone;
    }
    if (command == "show")
        return Show(rest, out, err);
    if (command == "image")
        return Image(rest, err);
    if (command == "resave")
        return Resave(rest, err);
    if (command == "check")
        return Check(rest, out, err);
    if (command == "keymap" || command == "labels")
        return Print(arguments, out, err);
    return Usage(err, "unknown command '" + command + "'");
}

int RunPrintJob(const std::vector<std::string>& arguments, std::ostream& err, const PrintWriter& write) {
    if (arguments.empty() || (arguments[0] != "keymap" && arguments[0] != "labels"))
        return Usage(err, "missing command: keymap or labels");
    const std::optional<PrintJob> job = ParsePrintJob(arguments, err);
    if (!job)
        return kUsage;
    KeypadDocument document;
    if (!LoadDocument(job->input, document, err))
        return kUnreadableInput;
    for (const std::filesystem::path& input : {job->input, DeviceImagePath(job->input)}) {
        if (SameFile(input, job->output))
            return Usage(err, arguments[0] + ": the output " + PathText(job->output) + " is " +
                                  (input == job->input ? "the input" : "the input's device image") +
                                  "; nothing is written");
    }
    try {
        write(document, *job);
    } catch (const FileError& error) {
        err << "vkxx: " << error.what() << "\n";
        return kUnwritableOutput;
    }
    return kDone;
}

} // namespace keyloom::cli
