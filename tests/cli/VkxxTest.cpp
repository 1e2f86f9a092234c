#include "cli/SiblingProgram.h"
#include "cli/Vkxx.h"

#include "files/FileError.h"
#include "files/KeyDefinitionFile.h"
#include "files/PathText.h"
#include "support/TemporaryFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <regex>
#include <sstream>
#include <thread>

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace keyloom::cli {
namespace {

using testing::HasSubstr;
using testing::Not;

using test::ReadFile;
using test::TemporaryFolder;
using test::WriteFile;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome Vkxx(const std::vector<std::string>& arguments) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunVkxx(arguments, out, err);
    return {status, out.str(), err.str()};
}

const std::string kSamples = KEYLOOM_SOURCE_DIR "/examples/Macro_Files/";

TEST(Vkxx, WrongUsageExits64) {
    const std::vector<std::vector<std::string>> cases = {
        {}, {"frobnicate"}, {"show"}, {"show", "a.ckd", "b.ckd"}, {"show", "--xml", "a.ckd"},
        {"image", "a.ckd", "--keys", "36"}, {"image", "a.ckd", "-o"}, {"resave", "a.ckd"}, {"check"},
        {"keymap", "a.ckd"}, {"keymap", "-o", "a.pdf"}, {"keymap", "a.ckd", "-o"},
        {"keymap", "a.ckd", "--small", "-o", "a.pdf"}, {"labels", "a.ckd", "--large", "-o", "a.pdf"},
    };
    for (const auto& arguments : cases) {
        const Outcome run = Vkxx(arguments);
        EXPECT_EQ(run.status, 64) << testing::PrintToString(arguments);
        EXPECT_THAT(run.err, HasSubstr("vkxx --help"));
    }
    const Outcome help = Vkxx({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_THAT(help.out, HasSubstr("vkxx image FILE.ckd [--keys 24|48] [-o OUT.bin]"));
    EXPECT_THAT(help.out, HasSubstr("vkxx labels FILE.ckd [--small] -o OUT.pdf"));
}

TEST(Vkxx, PrintJobsReadTheDocumentAndNeverWriteOntoIt) {
    TemporaryFolder folder;
    const std::string ckd = PathText(folder / "k.ckd");
    const std::string pdf = PathText(folder / "k.pdf");
    WriteFile(folder / "k.ckd", "[GLOBAL_PARAMETERS]\r\nNumber_Of_Keys=48\r\n[KEY0]\r\nLevel_1_Name=Hello\r\n");
    WriteFile(folder / "odd.ckd", "[KEY0]\r\nLevel_1_Codes=1c0\r\n");
    const struct {
        std::vector<std::string> arguments;
        int status;
        std::string message;
        std::optional<PrintSheet> drawn;
    } cases[] = {
        {{"keymap", ckd, "-o", pdf}, 0, "", PrintSheet::Keymap},
        {{"labels", "-o", pdf, ckd}, 0, "", PrintSheet::Labels},
        {{"labels", ckd, "--small", "-o", pdf}, 0, "", PrintSheet::SmallLabels},
        {{"keymap", PathText(folder / "absent.ckd"), "-o", pdf}, 1, "absent.ckd: no such file", {}},
        {{"keymap", PathText(folder / "odd.ckd"), "-o", pdf}, 1, "Range check error", {}},
        {{"labels", ckd, "-o", ckd}, 64, "is the input;", {}},
        {{"keymap", ckd, "-o", PathText(folder / "sub" / ".." / "k.bin")}, 64, "is the input's device image", {}},
        {{"keymap", ckd, "-o", PathText(folder / "full.pdf")}, 2, "Unable to write to", PrintSheet::Keymap},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        std::optional<PrintSheet> drawn;
        std::ostringstream err;
        const int status = RunPrintJob(c.arguments, err, [&](const KeypadDocument& document, const PrintJob& job) {
            drawn = job.sheet;
            EXPECT_EQ(document.numberOfKeys, 48);
            EXPECT_EQ(document.keys[0].name[0], "Hello");
            if (job.output.filename() == "full.pdf")
                throw UnableToWrite(job.output, "No space left on device");
        });
        EXPECT_EQ(status, c.status);
        EXPECT_THAT(err.str(), HasSubstr(c.message));
        EXPECT_EQ(drawn, c.drawn);
    }
}

TEST(Vkxx, UnreadableInputExits1AndWritesNothing) {
    TemporaryFolder folder;
    WriteFile(folder / "odd.ckd", "[KEY0]\r\nLevel_1_Codes=1c\r\n[KEY1]\r\nLevel_1_Codes=1c0\r\n");
    WriteFile(folder / "out.ckd", "[KEEP]\r\nx=1\r\n");

    // Every command that reads the document refuses the file as the editor's Open does.
    const std::string odd = PathText(folder / "odd.ckd");
    const std::vector<std::vector<std::string>> readers = {
        {"show", odd}, {"image", odd}, {"image", odd, "-o", PathText(folder / "out.bin")},
        {"resave", odd, PathText(folder / "out.ckd")}};
    for (const std::vector<std::string>& arguments : readers) {
        const Outcome refused = Vkxx(arguments);
        EXPECT_EQ(refused.status, 1) << arguments[0];
        EXPECT_THAT(refused.err, HasSubstr("[KEY1] Level_1_Codes: Range check error")) << refused.err;
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "odd.bin"));
    EXPECT_FALSE(std::filesystem::exists(folder / "out.bin"));
    EXPECT_EQ(ReadFile(folder / "out.ckd"), "[KEEP]\r\nx=1\r\n");

    for (const char* command : {"show", "image", "check"}) {
        const Outcome missing = Vkxx({command, (folder / "absent.ckd").string()});
        EXPECT_EQ(missing.status, 1) << command;
        EXPECT_THAT(missing.err, HasSubstr("absent.ckd"));
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "absent.bin"));
}

TEST(Vkxx, ShowPrintsSettingsKeysAndCells) {
    TemporaryFolder folder;
    WriteFile(folder / "a.ckd",
              "[GLOBAL_PARAMETERS]\r\nNumber_Of_Keys=24\r\nUSB_Device_Type=12\r\n"
              "[KEY2]\r\nKeyType=1\r\nL1_AutoRepeat=1\r\nLevel_1_Codes=121cf012e20132\r\nLevel_1_Name=Shift A\r\n");
    const Outcome run = Vkxx({"show", (folder / "a.ckd").string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(run.out, HasSubstr("Layout: 24 keys"));
    EXPECT_THAT(run.out, HasSubstr("USB device type: 12 (multimedia keyboard and mouse)"));
    EXPECT_THAT(run.out, HasSubstr("Key 3 [KEY2]: level shift key\n"
                           "  Level 1: 7/220 bytes, mode 0 (Default (Auto Sense)), auto-repeat on\n"
                           "    Description: Shift A\n"
                           "    Cells: [L Shift Dn] [A] [L Shift Up] [Dly 200ms]\n"))
        << run.out;
    EXPECT_THAT(run.out, HasSubstr("Key 24 [KEY23]"));
    EXPECT_THAT(run.out, Not(HasSubstr("Key 25 [KEY24]")));
}

// A description may hold what a terminal acts on (here: set the window title, clear the screen,
// a C1 escape); show prints such characters escaped, never raw.
TEST(Vkxx, ShowEscapesControlCharactersOfDescriptions) {
    TemporaryFolder folder;
    WriteFile(folder / "a.ckd", "[KEY0]\r\nLevel_1_Name=\x1B]0;owned\x07\x1B[2J\xC2\x9B\\ caf\xC3\xA9\r\n");
    const Outcome run = Vkxx({"show", (folder / "a.ckd").string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(run.out, HasSubstr("    Description: \\x1b]0;owned\\x07\\x1b[2J\\u009b\\\\ caf\xC3\xA9\n"));
    EXPECT_EQ(run.out.find('\x1B'), std::string::npos);
    EXPECT_EQ(run.out.find("\xC2\x9B"), std::string::npos);
}

TEST(Vkxx, ShowJsonHoldsAll48KeysWithRenderedCells) {
    TemporaryFolder folder;
    WriteFile(folder / "a.ckd",
              "[GLOBAL_PARAMETERS]\r\nNumber_Of_Keys=24\r\n"
              "[KEY0]\r\nLevel_1_Codes=121c\r\nLevel_1_Name=say \"hi\" \\ there\r\n"
              "[KEY1]\r\nLevel_2_Codes=1c02\r\n");
    const Outcome run = Vkxx({"show", "--json", (folder / "a.ckd").string()});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string& json = run.out;
    EXPECT_EQ(json.rfind("{\"numberOfKeys\": 24, \"settings\": {\"keyRollOver\": 2, \"characterPacing\": 2, "
                         "\"ledFunction\": [1, 2, 4], \"usbDeviceType\": 11}, \"keys\": [",
                         0),
              0u)
        << json.substr(0, 200);
    EXPECT_THAT(json, HasSubstr("{\"index\": 0, \"keyType\": 0, \"levels\": [{\"autoRepeat\": 0, \"macroMode\": 0, "
                        "\"name\": \"say \\\"hi\\\" \\\\ there\", \"codes\": \"121c\", \"room\": 220, "
                        "\"length\": 2, \"rendered\": 2, \"cells\": [{\"name\": \"L Shift Dn\", \"code\": \"12\", "
                        "\"bytes\": 1, \"state\": 2}, {\"name\": \"A\", \"code\": \"1c\", \"bytes\": 1, \"state\": 2}]}"))
        << json.substr(0, 600);
    // An unassigned code stops the rendering: RenderLevel's result is 0, the cells before it stay.
    EXPECT_THAT(json, HasSubstr("\"codes\": \"1c02\", \"room\": 111, \"length\": 2, \"rendered\": 0, \"cells\": "
                        "[{\"name\": \"a\""));
    EXPECT_THAT(json, HasSubstr("{\"index\": 47,"));
    EXPECT_EQ(json.back(), '\n');
}

TEST(Vkxx, ImageFollowsTheFilesLayoutUnlessTold) {
    TemporaryFolder folder;
    WriteFile(folder / "k.ckd", "[GLOBAL_PARAMETERS]\r\nNumber_Of_Keys=48\r\n");
    ASSERT_EQ(Vkxx({"image", (folder / "k.ckd").string()}).status, 0);
    EXPECT_EQ(ReadFile(folder / "k.bin").size(), 400u);
    ASSERT_EQ(Vkxx({"image", (folder / "k.ckd").string(), "--keys", "24", "-o", (folder / "o.bin").string()}).status, 0);
    EXPECT_EQ(ReadFile(folder / "o.bin").size(), 208u);

    WriteFile(folder / "plain", "x");
    const Outcome refused = Vkxx({"image", (folder / "k.ckd").string(), "-o", (folder / "plain" / "o.bin").string()});
    EXPECT_EQ(refused.status, 2);
    EXPECT_THAT(refused.err, HasSubstr("Unable to write to"));
}

TEST(Vkxx, ImageSaysWhyItCannotBeWritten) {
    TemporaryFolder folder;
    WriteFile(folder / "k.ckd", "[GLOBAL_PARAMETERS]\r\nNumber_Of_Keys=24\r\n");
    std::filesystem::create_directory(folder / "k.bin");
    const struct {
        std::filesystem::path output;
        std::string reason;
    } cases[] = {
        // The system's own words follow.
        {folder / "absent" / "o.bin", "cannot create a file in the folder: "},
        {folder / "k.bin", "not a file)"},
    };
    for (const auto& c : cases) {
        const Outcome refused = Vkxx({"image", PathText(folder / "k.ckd"), "-o", PathText(c.output)});
        EXPECT_EQ(refused.status, 2);
        EXPECT_THAT(refused.err, testing::HasSubstr("Unable to write to " + PathText(c.output) + " (" + c.reason));
    }
}

// Arguments are UTF-8 on every system; on Windows they must not pass through the ANSI code page.
TEST(Vkxx, FileNamesBeyondAsciiArePathsAndMessages) {
    TemporaryFolder folder;
    const std::u8string name = u8"B\u00fcro \u2713";
    const std::string text(name.begin(), name.end());
    const std::string ckd = PathText(folder.path()) + "/" + text + ".ckd";
    WriteFile(PathFromText(ckd), "[GLOBAL_PARAMETERS]\r\nNumber_Of_Keys=24\r\n");

    ASSERT_EQ(Vkxx({"image", ckd}).status, 0);
    EXPECT_EQ(ReadFile(folder.path() / (name + u8".bin")).size(), 208u);
    ASSERT_EQ(Vkxx({"resave", ckd, PathText(folder.path()) + "/" + text + " 2.ckd"}).status, 0);
    EXPECT_TRUE(std::filesystem::exists(folder.path() / (name + u8" 2.ckd")));

    const Outcome missing = Vkxx({"show", PathText(folder.path()) + "/" + text + " 3.ckd"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_THAT(missing.err, HasSubstr(text + " 3.ckd")) << missing.err;
}

TEST(Vkxx, ResaveWritesOnTopOfTheOutput) {
    TemporaryFolder folder;
    WriteFile(folder / "out.ckd", "[KEY30]\r\nLevel_1_Codes=1c\r\n");
    ASSERT_EQ(Vkxx({"resave", kSamples + "DefaultVK24.ckd", (folder / "out.ckd").string()}).status, 0);
    const std::string out = ReadFile(folder / "out.ckd");
    EXPECT_EQ(out.rfind("[KEY30]\r\nLevel_1_Codes=1c\r\n[GLOBAL_PARAMETERS]\r\nModel_Number=VK24\r\n", 0), 0u);
    EXPECT_EQ(Vkxx({"resave", kSamples + "DefaultVK24.ckd", (folder / "plain" / "x.ckd").string()}).status, 2);
}

// resave writes on top of key definition files only: anything else in OUT's place is refused,
// untouched, unless --force, which replaces it with the document alone.
TEST(Vkxx, ResaveKeepsOffWhatIsNoKeyDefinitionFile) {
    TemporaryFolder folder;
    const std::string input = kSamples + "DefaultVK24.ckd";
    const struct {
        const char* name;
        std::string bytes;
        std::uintmax_t size; // grown to this with zeros, when not 0
    } cases[] = {
        {"device image", std::string("\xE4\x01\x0C\xE0\x70\x00\x10", 7), 0},
        {"picture", std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11), 0},
        {"text", "Dear diary,\r\ntoday=rain\r\n", 0},
        {"zeros beyond the size limit", "", kMaxKeyDefinitionSize + 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::filesystem::path out = folder / "out.bin";
        WriteFile(out, c.bytes);
        if (c.size)
            std::filesystem::resize_file(out, c.size);

        const Outcome refused = Vkxx({"resave", input, out.string()});
        EXPECT_EQ(refused.status, 2);
        EXPECT_THAT(refused.err, HasSubstr("not written over (--force replaces it)"));
        EXPECT_EQ(std::filesystem::file_size(out), c.size ? c.size : c.bytes.size());
        if (!c.size) {
            EXPECT_EQ(ReadFile(out), c.bytes);
        }

        EXPECT_EQ(Vkxx({"resave", "--force", input, out.string()}).status, 0);
        EXPECT_EQ(ReadFile(out), ReadFile(input));
    }
}

// The editor saves through SaveKeyDefinitionFile, and vkxx may save the same file at the same
// moment: each pair of saves ends with one of the two whole, and neither reports a failure.
TEST(Vkxx, TheEditorsSaveAndResaveOfOneFileTakeTurns) {
#ifdef _WIN32
    // Under Wine both saves of a pair can fail with a sharing violation, leaving the old file
    // whole: the lock does not yet cover every step of the Windows save.
    GTEST_SKIP() << "overlapping saves do not yet take turns on Windows";
#endif
    TemporaryFolder folder;
    const std::filesystem::path target = folder / "target.ckd";
    // 100 KB, most of it lines that both saves keep; both set the same sections and keys, so
    // either save on top of the other gives what it gives alone.
    ASSERT_EQ(Vkxx({"resave", kSamples + "DefaultVK48.ckd", target.string()}).status, 0);
    std::string start = ReadFile(target) + "[NOTES]\r\n";
    for (int line = 0; start.size() < 100'000; ++line)
        start += "Line_" + std::to_string(line) + "=" + std::string(50, 'n') + "\r\n";
    KeypadDocument editors;
    ReadKeyDefinitionFile(editors, kSamples + "MouseClicks.ckd");
    const std::vector<std::string> resave = {"resave", kSamples + "MultiMediaKeys.ckd", target.string()};
    WriteFile(target, start);
    SaveKeyDefinitionFile(editors, target);
    const std::string editorsWhole = ReadFile(target);
    WriteFile(target, start);
    ASSERT_EQ(Vkxx(resave).status, 0);
    const std::string vkxxWhole = ReadFile(target);

    for (int round = 0; round < 40; ++round) {
        WriteFile(target, start);
        std::string editorsError;
        std::thread editor([&] {
            try {
                SaveKeyDefinitionFile(editors, target);
            } catch (const FileError& error) {
                editorsError = error.what();
            }
        });
        std::string failure;
        EXPECT_EQ(RunProgram(VKXX_PROGRAM, resave, failure), 0) << round << failure;
        editor.join();
        EXPECT_EQ(editorsError, "") << round;
        const std::string result = ReadFile(target);
        ASSERT_TRUE(result == editorsWhole || result == vkxxWhole) << round << ": " << result.size() << " bytes";
    }
}

TEST(Vkxx, CheckNamesEveryProblemOfAHandEditedFile) {
    TemporaryFolder folder;
    WriteFile(folder / "bad.ckd",
              "[GLOBAL_PARAMETERS]\r\nNumber_Of_Keys=36\r\nKey_Roll_Over=17\r\nCharacter_Pacing=ten\r\n"
              "USB_Device_Type=5\r\n"
              "[KEY0]\r\nKeyType=1\r\nLevel_1_Codes=1c0\r\n"
              "[KEY1]\r\nKeyType=1\r\nLevel_1_Codes=1czz\r\n"
              "[KEY2]\r\nKeyType=1\r\nLevel_1_Codes=1c0032\r\nL2_MacroMode=4\r\n"
              "[KEY3]\r\nLevel_1_Codes=1c021c\r\n"
              "[KEY4]\r\nLevel_1_Codes=" + std::string(300, '1') + "\r\nLevel_2_Codes=1c\r\n"
              "[KEY5]\r\nLevel_2_Codes=121c\r\n[KEY6]\r\nLevel_1_Codes=e014e01f1c\r\n");
    const Outcome run = Vkxx({"check", (folder / "bad.ckd").string()});
    EXPECT_EQ(run.status, 1);
    for (const char* line : {
             "[GLOBAL_PARAMETERS] Number_Of_Keys: 36 is not 24 or 48",
             "[GLOBAL_PARAMETERS] Key_Roll_Over: 17 is out of range 1..16",
             "[GLOBAL_PARAMETERS] Character_Pacing: 'ten' is not a number",
             "[GLOBAL_PARAMETERS] USB_Device_Type: 5 is not 3, 11 or 12",
             "[KEY0] Level_1_Codes: odd number of hex digits (3)",
             "[KEY1] Level_1_Codes: character 3 is not a hex digit",
             "[KEY2] Level_1_Codes: 00 pair at byte 2",
             "[KEY2] L2_MacroMode: 4 is out of range 0..3",
             "[KEY2] KeyType: more than two level shift keys",
             "[KEY3] Level_1_Codes: unassigned code 02 at byte 2",
             "[KEY4] Level_1_Codes: 150 bytes but the room is 111",
             "[KEY5] Level_2_Codes: ends with Left Shift still held down: the keypad keeps it pressed",
             "[KEY6] Level_1_Codes: ends with Left Win, Right Ctrl still held down: the keypad keeps them",
         })
        EXPECT_THAT(run.out, HasSubstr(line)) << line << "\n" << run.out;
}

// check says "Range check error" exactly when opening the file fails, and names keys the reader
// would silently pass over.
TEST(Vkxx, CheckAgreesWithTheReader) {
    TemporaryFolder folder;
    const struct {
        const char* name;
        std::string key1;      // the [KEY1] section's lines
        bool opens;            // show reads it
        const char* reported;  // a line check prints; nullptr: clean
    } cases[] = {
        {"odd length within the room", "Level_1_Codes=1c2", false, "[KEY1] Level_1_Codes: odd number of hex digits"},
        // 220 pairs fill the room (X, which leaves no key held); the lone digit after them is
        // never read.
        {"odd length past the room", "Level_1_Codes=" + std::string(441, '2'), true, nullptr},
        {"a long even text", "Level_1_Codes=" + std::string(10000, '1'), true, "only the first 220 are read"},
        {"a misspelt key", "Level_1_Code=1c", true, "[KEY1] Level_1_Code: unknown key; the editor does not read it"},
        {"known keys in any case", "level_1_codes=1c\r\nKEYTYPE=0", true, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(folder / "k.ckd", "[GLOBAL_PARAMETERS]\r\nNumber_Of_Keys=24\r\n[KEY1]\r\n" + c.key1 + "\r\n");
        const Outcome shown = Vkxx({"show", (folder / "k.ckd").string()});
        const Outcome checked = Vkxx({"check", (folder / "k.ckd").string()});
        EXPECT_EQ(shown.status, c.opens ? 0 : 1);
        EXPECT_EQ(checked.out.find("range check error") == std::string::npos, c.opens) << checked.out;
        if (c.reported)
            EXPECT_THAT(checked.out, HasSubstr(c.reported));
        else
            EXPECT_EQ(checked.out, "");
    }
}

// An input that is no key definition file is named and refused by every command, and an image
// is never written onto its own input.
TEST(Vkxx, InputThatIsNoKeyDefinitionFileIsRefused) {
    TemporaryFolder folder;
    const std::string image("\xE4\x01\x0C\xE0\x70\x00\x10\x20", 8);
    WriteFile(folder / "k.bin", image);
    WriteFile(folder / "notes.ckd", "Shopping list\r\n");
    std::filesystem::create_directory(folder / "folder.ckd");
    const struct {
        std::filesystem::path input;
        const char* reason;
    } inputs[] = {
        {folder / "k.bin", "is a device image, not a key definition file"},
        {folder / "notes.ckd", "is not a key definition file (no [GLOBAL_PARAMETERS] or [KEYn] section)"},
        {folder / "folder.ckd", "(a folder, not a file)"},
    };
    for (const auto& c : inputs) {
        for (const std::string command : {"show", "image", "check"}) {
            SCOPED_TRACE(command + " " + c.input.string());
            const Outcome run = Vkxx({command, c.input.string()});
            EXPECT_EQ(run.status, 1);
            EXPECT_THAT(run.err, HasSubstr(c.reason));
        }
    }
    // "image k.bin" would have replaced the image by one of defaults under its own name.
    EXPECT_EQ(ReadFile(folder / "k.bin"), image);

    const std::string ckd = "[GLOBAL_PARAMETERS]\r\nNumber_Of_Keys=24\r\n";
    WriteFile(folder / "k.ckd", ckd);
    const Outcome onto = Vkxx({"image", (folder / "k.ckd").string(), "-o", (folder / "." / "k.ckd").string()});
    EXPECT_EQ(onto.status, 64);
    EXPECT_THAT(onto.err, HasSubstr("is the input; nothing is written"));
    EXPECT_EQ(ReadFile(folder / "k.ckd"), ckd);
}

TEST(Vkxx, SamplesAreClean) {
    for (const char* sample : {"DefaultVK24.ckd", "DefaultVK48.ckd", "MultiMediaKeys.ckd", "MouseClicks.ckd"}) {
        const Outcome run = Vkxx({"check", kSamples + sample});
        EXPECT_EQ(run.status, 0) << sample << "\n" << run.out << run.err;
        EXPECT_EQ(run.out, "");
    }
}

TEST(Vkxx, ProgramPassesItsArgumentsAndStatus) {
#ifdef _WIN32
    const std::string quiet = " > NUL 2>&1";
#else
    const std::string quiet = " > /dev/null 2>&1";
#endif
    EXPECT_EQ(std::system((std::string(VKXX_PROGRAM) + " --help" + quiet).c_str()), 0);
    EXPECT_NE(std::system((std::string(VKXX_PROGRAM) + " show" + quiet).c_str()), 0);
}

#ifdef VKXX_PRINT_BUILT
// Runs vkxx, a copy of it elsewhere or the program itself, as a process with an argument list;
// its standard error is kept in a file where a shell can redirect it. (Under Wine the status of
// a command run through cmd.exe with its error output redirected is lost, so Windows gets the
// status alone, from the process itself.)
Outcome Program(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                const std::filesystem::path& errors) {
#ifdef _WIN32
    (void)errors;
    std::string failure;
    return {RunProgram(program, arguments, failure), "", failure};
#else
    std::string command = "\"" + PathText(program) + "\"";
    for (const std::string& argument : arguments)
        command += " \"" + argument + "\"";
    command += " 2> \"" + PathText(errors) + "\"";
    const int result = std::system(command.c_str());
    return {WIFEXITED(result) ? WEXITSTATUS(result) : -1, "", ReadFile(errors)};
#endif
}

// What a program wrote to its standard error says this, where it could be read.
void ExpectError(const Outcome& run, const std::string& text) {
#ifdef _WIN32
    (void)run;
    (void)text;
#else
    EXPECT_THAT(run.err, HasSubstr(text));
#endif
}

// The fonts a PDF uses, by name without a subset's tag ("DejaVuSans-Bold"), and how many of them
// carry the map from glyphs back to characters that makes the text extractable. Qt writes the font
// dictionaries uncompressed, so the bytes are read as they are.
struct PdfFonts {
    std::vector<std::string> names;
    int withUnicodeMap = 0;
};

PdfFonts FontsOfPdf(const std::string& pdf) {
    PdfFonts fonts;
    static const std::regex baseFont(R"(/BaseFont\s*/(?:[A-Z]{6}\+)?([^\s/<>\[\]()]+))");
    for (auto match = std::sregex_iterator(pdf.begin(), pdf.end(), baseFont); match != std::sregex_iterator(); ++match) {
        if (std::find(fonts.names.begin(), fonts.names.end(), (*match)[1].str()) == fonts.names.end())
            fonts.names.push_back((*match)[1].str());
    }
    for (std::size_t at = pdf.find("/ToUnicode"); at != std::string::npos; at = pdf.find("/ToUnicode", at + 1))
        ++fonts.withUnicodeMap;
    return fonts;
}

// The sheets' text is text on every system, in a sans-serif face: with no font found a PDF holds
// black boxes and no font at all, and a face the system did not know came out serif on Windows.
TEST(Vkxx, VkxxPrintBesideItDrawsTheSheets) {
    TemporaryFolder folder;
    const std::string sample = kSamples + "MultiMediaKeys.ckd";
#ifndef _WIN32
    // Runs without a session's runtime folder (over ssh, from cron) say nothing but errors.
    const std::string runtime = std::getenv("XDG_RUNTIME_DIR") ? std::getenv("XDG_RUNTIME_DIR") : "";
    ::unsetenv("XDG_RUNTIME_DIR");
#endif
    for (const auto& arguments : {std::vector<std::string>{"keymap", sample, "-o", PathText(folder / "a b.pdf")},
                                  std::vector<std::string>{"labels", sample, "--small", "-o", PathText(folder / "a b.pdf")}}) {
        const Outcome run = Program(VKXX_PROGRAM, arguments, folder / "err.txt");
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        const std::string pdf = ReadFile(folder / "a b.pdf");
        EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
        const PdfFonts fonts = FontsOfPdf(pdf);
        EXPECT_THAT(fonts.names, Not(testing::IsEmpty())) << arguments[0];
        EXPECT_GE(fonts.withUnicodeMap, 1) << arguments[0];
        for (const std::string& name : fonts.names)
            EXPECT_FALSE(std::regex_search(name, std::regex("Serif|Times|Roman|Georgia|Cambria"))) << name;
    }
#ifndef _WIN32
    if (!runtime.empty())
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
#endif
    const Outcome missing = Program(VKXX_PROGRAM, {"keymap", PathText(folder / "absent.ckd"), "-o", PathText(folder / "c.pdf")},
                                    folder / "err.txt");
    EXPECT_EQ(missing.status, 1);
    ExpectError(missing, "absent.ckd: no such file");
    EXPECT_FALSE(std::filesystem::exists(folder / "c.pdf"));

    // A copy of vkxx without vkxx-print beside it says what is missing.
    const std::filesystem::path copy = folder.path() / std::filesystem::path(VKXX_PROGRAM).filename();
    std::filesystem::copy_file(VKXX_PROGRAM, copy);
    const Outcome alone = Program(copy, {"keymap", sample, "-o", PathText(folder / "c.pdf")}, folder / "err.txt");
    EXPECT_EQ(alone.status, 2);
    ExpectError(alone, "cannot start");
    ExpectError(alone, "vkxx-print");
}
#endif

} // namespace
} // namespace keyloom::cli
