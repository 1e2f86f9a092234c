#include "EditorFixture.h"

#include "editor/MacroGrid.h"
#include "gui/QtPaths.h"
#include "files/DeviceImage.h"
#include "files/IniFile.h"
#include "files/KeyDefinitionFile.h"

#include <QApplication>
#include <QEvent>
#include <QLayout>
#include <QLabel>
#include <QTest>
#include <QToolButton>

#include <optional>
#include <string>
#include <vector>

// Failures print texts, not bytes.
static void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace keyloom::test {
namespace {

namespace fs = std::filesystem;

const QString kSaveChanges = "question: Do you want to save your changes?";
const QString kOpenDialog = "open: Open KeydeckKey Definition File";
const QString kSaveDialog = "save: Save VKxx Custom Key Definition File";

QString Q(const fs::path& path) { return QString::fromStdString(path.string()); }

// A key definition file in the given layout whose key index 4 holds one code on Level 1.
void WriteSample(const fs::path& path, int numberOfKeys, uint8_t code = 0x1c) {
    KeypadDocument sample;
    sample.ResetDocument();
    sample.numberOfKeys = numberOfKeys;
    sample.keys[4].level1Codes[0] = code;
    sample.keys[4].name[0] = "sample";
    WriteKeyDefinitionFile(sample, path);
}

std::string ExpectedImage(const fs::path& ckd, int numberOfKeys) {
    const std::vector<uint8_t> bytes = BuildDeviceImage(IniFile::Load(ckd), numberOfKeys);
    return {bytes.begin(), bytes.end()};
}

// The texts a label showed each time it was painted.
class PaintedTexts : public QObject {
public:
    explicit PaintedTexts(QLabel* label) : m_label(label) { label->installEventFilter(this); }
    QStringList texts;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_label && event->type() == QEvent::Paint)
            texts << m_label->text();
        return false;
    }

private:
    QLabel* m_label;
};

class CommandsTest : public EditorFixture {
protected:
    fs::path Area() const { return platform.userDocuments / "Quorvane" / "KeyloomVKxx"; }
    fs::path MacroFiles() const { return Area() / "Macro_Files"; }

    void StoreLayout(const std::string& value) {
        fs::create_directories(Area());
        WriteFile(Area() / "KeyloomVKxx.ini", "[CONFIGURATION]\r\nNumber_of_Keys=" + value + "\r\n");
    }

    QString Label(const char* name) const { return window->findChild<QLabel*>(name)->text(); }
    QString Filename() const { return Label("lblFilename"); }
    QString Modified() const { return Label("lblModified"); }

    // Clicks a toolbar button as the user does, on the shown window.
    void Click(const char* name) {
        if (!window->isVisible()) {
            window->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        }
        auto* button = window->findChild<QToolButton*>(name);
        ASSERT_NE(button, nullptr) << name;
        QTest::mouseClick(button, Qt::LeftButton);
    }

    // An edit of the document: a code on Level 1 of key 1, which makes it differ from its file.
    void Edit(uint8_t code = 0x32) {
        document.keys[0].level1Codes[0] = code;
        window->RefreshMacroView();
    }

    void ExpectNewDocument() {
        KeypadDocument fresh;
        fresh.ResetDocument();
        EXPECT_EQ(document.keys, fresh.keys);
        EXPECT_EQ(document.settings, fresh.settings);
    }

    void Script(std::initializer_list<Answer> answers, std::initializer_list<std::optional<QString>> names = {}) {
        prompts.answers = answers;
        prompts.fileNames = names;
        prompts.shown.clear();
    }

    // Start-up in the 24-key layout with nothing to ask, then an opened sample file.
    void StartWithOpenFile(const fs::path& ckd, int numberOfKeys = 24) {
        Start();
        WriteSample(ckd, numberOfKeys);
        Script({}, {Q(ckd)});
        window->btnOpenClick();
        ASSERT_EQ(Filename(), Q(ckd));
        prompts.shown.clear();
    }
};

TEST_F(CommandsTest, TheWindowHasItsToolbarStatusBarAndFixedSize) {
    Start();
    EXPECT_EQ(window->windowTitle(), "Quorvane KeyloomVKxx (VK24)");
    EXPECT_EQ(Filename(), "Untitled.ckd");
    EXPECT_EQ(Modified(), "");

    QStringList places;
    const QLayout* row = window->MenuPanel->layout();
    for (int i = 0; i < row->count(); ++i) {
        if (const auto* button = qobject_cast<QToolButton*>(row->itemAt(i)->widget())) {
            places << (button->objectName().isEmpty() ? QString("-") : button->objectName() + "=" + button->text());
            EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
            if (!button->objectName().isEmpty()) {
                EXPECT_FALSE(button->icon().isNull()) << button->objectName().toStdString();
            }
        }
    }
    EXPECT_EQ(places.join(' '),
              "btnNew=New btnOpen=Open btnSave=Save btnSaveAs=Save As - btnProperties=Properties "
              "btnDownload=Download btnTest=Test - btnHelp=Help btnLabels=Key Labels btnShortcut=Shortcut "
              "- btnUndo=Undo btnRedo=Redo btnTypeText=Type Text - btnPrint=Print");

    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    // It fits a 1280 x 1024 screen, with the grid's columns wide enough for every name. (Wine's
    // offscreen tests measure text in a stand-in font of 15 pixels a character.)
#ifndef Q_OS_WIN
    EXPECT_LT(window->width(), 1280);
#endif
    EXPECT_LT(window->height(), 800);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
}

TEST_F(CommandsTest, FirstStartCopiesTheSamplesAndAsksNothing) {
    const fs::path samples = platform.program / "Examples" / "Macro_Files";
    fs::create_directories(samples);
    WriteSample(samples / "DefaultVK24.ckd", 24);
    WriteSample(samples / "MouseClicks.ckd", 48);

    Start();

    EXPECT_EQ(ReadFile(MacroFiles() / "DefaultVK24.ckd"), ReadFile(samples / "DefaultVK24.ckd"));
    EXPECT_EQ(ReadFile(MacroFiles() / "MouseClicks.ckd"), ReadFile(samples / "MouseClicks.ckd"));
    EXPECT_EQ(window->folders().macroFiles, MacroFiles());
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.join('\n').toStdString();
    EXPECT_EQ(window->session().selectedKey(), 0);
    EXPECT_EQ(window->session().selectedLevel(), 0);
    EXPECT_FALSE(window->session().modified());
}

TEST_F(CommandsTest, FolderProblemsAreShownOnceAndStartUpGoesOn) {
    // A file where the maker's folder belongs: the area can be neither found nor made.
    WriteFile(platform.userDocuments / "Quorvane", "not a folder");

    Start();

    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_TRUE(prompts.shown[0].startsWith("warning: ")) << prompts.shown[0].toStdString();
    EXPECT_THAT(prompts.shown[0].toStdString(), testing::HasSubstr("is a file, not a folder."));
    EXPECT_EQ(window->windowTitle(), "Quorvane KeyloomVKxx (VK24)");

    // Nor can the layout be stored at closing: shown once, and the window closes.
    window->close();
    ASSERT_EQ(prompts.shown.size(), 2);
    EXPECT_TRUE(prompts.shown[1].startsWith("error: Unable to write to ")) << prompts.shown[1].toStdString();
    EXPECT_FALSE(window->isVisible());
}

struct StartLayoutCase {
    const char* name;
    std::optional<std::string> stored; // Number_of_Keys in the settings file
    QStringList arguments;
    int keys;
};
void PrintTo(const StartLayoutCase& c, std::ostream* out) { *out << c.name; }

class StartLayoutTest : public CommandsTest, public ::testing::WithParamInterface<StartLayoutCase> {};

TEST_P(StartLayoutTest, StartsInTheStoredLayout) {
    const StartLayoutCase& c = GetParam();
    if (c.stored)
        StoreLayout(*c.stored);

    Start(c.arguments);

    EXPECT_EQ(document.numberOfKeys, c.keys);
    EXPECT_EQ(window->windowTitle(), QString("Quorvane KeyloomVKxx (VK%1)").arg(c.keys));
    EXPECT_EQ(Filename(), "Untitled.ckd");
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Settings, StartLayoutTest,
    ::testing::Values(StartLayoutCase{"NoSettingsFile", std::nullopt, {}, 24},
                      StartLayoutCase{"Stored48", "48", {}, 48}, StartLayoutCase{"Stored24", "24", {}, 24},
                      StartLayoutCase{"OtherValueIs48", "12", {}, 48},
                      // An unquoted path with a blank arrives as two arguments: not a file to open.
                      StartLayoutCase{"TwoArguments", "48", {"My", "Keys.ckd"}, 48}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandsTest, CommandLineFileOpensInItsOwnLayoutWithoutWritingAnImage) {
    StoreLayout("24");
    const fs::path ckd = folder / "Command Line.ckd";
    WriteSample(ckd, 48);

    Start({Q(ckd)});

    EXPECT_EQ(window->windowTitle(), "Quorvane KeyloomVKxx (VK48)");
    EXPECT_EQ(Filename(), Q(ckd));
    EXPECT_EQ(Modified(), "");
    EXPECT_EQ(document.keys[4].level1Codes[0], 0x1c);
    EXPECT_EQ(document.keys[4].name[0], "sample");
    EXPECT_FALSE(fs::exists(DeviceImagePath(ckd)));
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.join('\n').toStdString();

    // Closing stores the layout the file chose.
    window->close();
    EXPECT_EQ(ReadKeyCount(Area()), 48);
}

TEST_F(CommandsTest, DamagedCommandLineFileLeavesANewUntitledDocument) {
    StoreLayout("24");
    const fs::path ckd = folder / "damaged.ckd";
    WriteFile(ckd, "[GLOBAL_PARAMETERS]\r\nNumber_Of_Keys=48\r\n[KEY0]\r\nLevel_1_Codes=1c\r\n"
                   "[KEY3]\r\nLevel_1_Codes=1c2\r\n");

    Start({Q(ckd)});

    EXPECT_EQ(prompts.shown, QStringList{"error: Range check error\n\n" + Q(ckd) + ", [KEY3] Level_1_Codes"});
    EXPECT_EQ(Filename(), "Untitled.ckd");
    EXPECT_EQ(window->windowTitle(), "Quorvane KeyloomVKxx (VK24)");
    ExpectNewDocument();
}

TEST_F(CommandsTest, MissingCommandLineFileIsReported) {
    const fs::path ckd = folder / "absent.ckd";
    Start({Q(ckd)});
    EXPECT_EQ(prompts.shown, QStringList{"warning: The file " + Q(ckd) + " was not found."});
    EXPECT_EQ(Filename(), "Untitled.ckd");
}

#ifndef _WIN32
// A name from a system with another encoding is not UTF-8; it still names its file.
TEST_F(CommandsTest, CommandLineFileWhoseNameIsNotUtf8Opens) {
    const fs::path ckd = folder / "caf\xe9.ckd";
    WriteSample(ckd, 48);
    std::string program = "KeyloomVKxx";
    std::string argument = ckd.string();
    char* argv[] = {program.data(), argument.data(), nullptr};

    Start(CommandLineArguments(2, argv));

    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.join('\n').toStdString();
    EXPECT_EQ(document.keys[4].level1Codes[0], 0x1c);
    EXPECT_EQ(ToPath(Filename()), ckd);
}
#endif

// The desktop opens device images with the editor too: an image stands for the key definition
// file it was made from, as in the Open dialog.
TEST_F(CommandsTest, CommandLineImageOpensItsKeyDefinitionFile) {
    const fs::path ckd = folder / "Imaged.ckd";
    WriteSample(ckd, 48);
    WriteFile(DeviceImagePath(ckd), "the old image");

    Start({Q(folder / "Imaged.bin")});

    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.shown.join('\n').toStdString();
    EXPECT_EQ(Filename(), Q(ckd));
    EXPECT_EQ(document.keys[4].level1Codes[0], 0x1c);
    EXPECT_EQ(ReadFile(DeviceImagePath(ckd)), "the old image");
}

TEST_F(CommandsTest, CommandLineImageWithoutItsKeyDefinitionFileIsReported) {
    WriteFile(folder / "Lone.bin", "an image");
    Start({Q(folder / "Lone.bin")});
    EXPECT_EQ(prompts.shown, QStringList{"warning: The file " + Q(folder / "Lone.ckd") + " was not found."});
    EXPECT_EQ(Filename(), "Untitled.ckd");
}

// A file that is no key definition file is named and refused; the open document stays, and the
// file is not written over by a later save.
TEST_F(CommandsTest, OpeningWhatIsNoKeyDefinitionFileKeepsTheDocument) {
    const fs::path kept = folder / "kept.ckd";
    StartWithOpenFile(kept, 48);
    const fs::path junk = folder / "notes.ckd";
    WriteFile(junk, "Shopping list\r\n");
    Script({}, {Q(junk)});

    window->btnOpenClick();

    ASSERT_EQ(prompts.shown.size(), 2);
    EXPECT_THAT(prompts.shown[1].toStdString(),
                testing::HasSubstr("is not a key definition file (no [GLOBAL_PARAMETERS] or [KEYn] section)"));
    EXPECT_EQ(Filename(), Q(kept));
    EXPECT_EQ(document.keys[4].level1Codes[0], 0x1c);
    EXPECT_EQ(ReadFile(junk), "Shopping list\r\n");
    EXPECT_FALSE(fs::exists(DeviceImagePath(junk)));
}

// New, on a changed document, for each answer.
struct NewCase {
    const char* name;
    Answer answer;
    bool saved; // Yes: whether the Save As dialog then saves
    bool cleared;
};
void PrintTo(const NewCase& c, std::ostream* out) { *out << c.name; }

class NewTest : public CommandsTest, public ::testing::WithParamInterface<NewCase> {};

TEST_P(NewTest, AsksToSaveAChangedDocument) {
    const NewCase& c = GetParam();
    StoreLayout("48");
    Start();
    Edit();
    const fs::path target = folder / "kept.ckd";
    Script({c.answer});
    if (c.answer == Answer::Yes)
        prompts.fileNames = {c.saved ? std::optional(Q(target)) : std::nullopt};

    Click("btnNew");

    QStringList expected{kSaveChanges};
    if (c.answer == Answer::Yes)
        expected << kSaveDialog;
    EXPECT_EQ(prompts.shown, expected);
    EXPECT_EQ(fs::exists(target), c.saved);
    // Yes saves and stops: the document stays on screen, clean only when it was saved.
    EXPECT_EQ(document.keys[0].level1Codes[0], c.cleared ? 0 : 0x32);
    EXPECT_EQ(window->session().modified(), !c.cleared && !c.saved);
    EXPECT_EQ(Modified(), !c.cleared && !c.saved ? "Modified" : "");
    EXPECT_EQ(Filename(), c.saved ? Q(target) : QString("Untitled.ckd"));
    EXPECT_EQ(document.numberOfKeys, 48);
}

INSTANTIATE_TEST_SUITE_P(Answers, NewTest,
                         ::testing::Values(NewCase{"Cancel", Answer::Cancel, false, false},
                                           NewCase{"No", Answer::No, false, true},
                                           NewCase{"YesSaved", Answer::Yes, true, false},
                                           NewCase{"YesSaveCancelled", Answer::Yes, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandsTest, NewAfterAFileKeepsTheLayoutAndForgetsTheFile) {
    StartWithOpenFile(folder / "wide.ckd", 48);

    Click("btnNew");

    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_EQ(Filename(), "Untitled.ckd");
    EXPECT_EQ(window->windowTitle(), "Quorvane KeyloomVKxx (VK48)");
    ExpectNewDocument();
}

TEST_F(CommandsTest, OpenReadsTheFileInItsLayoutAndRewritesItsImage) {
    Start();
    fs::create_directories(MacroFiles());
    const fs::path ckd = MacroFiles() / "wide.ckd";
    WriteSample(ckd, 48);
    Script({}, {Q(ckd)});

    Click("btnOpen");

    EXPECT_EQ(prompts.shown, QStringList{kOpenDialog});
    EXPECT_EQ(prompts.lastRequest.filter, "Custom Keypad Definition Files |*.ckd");
    EXPECT_EQ(prompts.lastRequest.defaultSuffix, "ckd");
    EXPECT_EQ(prompts.lastRequest.folder, Q(MacroFiles()));
    EXPECT_EQ(window->windowTitle(), "Quorvane KeyloomVKxx (VK48)");
    EXPECT_EQ(Filename(), Q(ckd));
    EXPECT_EQ(Modified(), "");
    EXPECT_EQ(document.keys[4].level1Codes[0], 0x1c);
    // The image has the 48 key records of the file's own layout, not the 24 shown before.
    EXPECT_EQ(ReadFile(DeviceImagePath(ckd)), ExpectedImage(ckd, 48));
    EXPECT_EQ(window->session().selectedKey(), 0);
}

// The open dialog's answer and what is opened for it.
struct OpenNameCase {
    const char* name;
    const char* chosen;
    const char* opened; // nullptr: nothing is opened, the file is reported missing
};
void PrintTo(const OpenNameCase& c, std::ostream* out) { *out << c.name; }

class OpenNameTest : public CommandsTest, public ::testing::WithParamInterface<OpenNameCase> {};

TEST_P(OpenNameTest, AnImageOpensItsKeyDefinitionFile) {
    const OpenNameCase& c = GetParam();
    Start();
    WriteSample(folder / "keys.ckd", 24);
    const fs::path chosen = folder / c.chosen;
    Script({}, {Q(chosen)});

    window->btnOpenClick();

    if (c.opened) {
        EXPECT_EQ(prompts.shown, QStringList{kOpenDialog});
        EXPECT_EQ(Filename(), Q(folder / c.opened));
        EXPECT_EQ(ReadFile(folder / "keys.bin"), ExpectedImage(folder / c.opened, 24));
    } else {
        EXPECT_EQ(prompts.shown, (QStringList{kOpenDialog, "warning: The file " + Q(chosen) + " was not found."}));
        EXPECT_EQ(Filename(), "Untitled.ckd");
    }
    // The dialog proposes the name last opened (the .ckd of a chosen image) next time.
    Script({}, {std::nullopt});
    window->btnOpenClick();
    EXPECT_EQ(prompts.lastRequest.fileName, Q(folder / (c.opened ? c.opened : c.chosen)));
}

INSTANTIATE_TEST_SUITE_P(Names, OpenNameTest,
                         ::testing::Values(OpenNameCase{"Ckd", "keys.ckd", "keys.ckd"},
                                           OpenNameCase{"Image", "keys.bin", "keys.ckd"},
                                           // Only ".bin" in lower case names an image.
                                           OpenNameCase{"UpperCaseImage", "keys.BIN", nullptr}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandsTest, OpenOfAMissingFileLeavesTheImageAlone) {
    Start();
    const fs::path image = folder / "orphan.bin";
    WriteFile(image, "keypad image bytes");
    Script({}, {Q(image)});

    window->btnOpenClick();

    EXPECT_EQ(prompts.shown,
              (QStringList{kOpenDialog, "warning: The file " + Q(folder / "orphan.ckd") + " was not found."}));
    EXPECT_EQ(ReadFile(image), "keypad image bytes");
    EXPECT_EQ(Filename(), "Untitled.ckd");
}

TEST_F(CommandsTest, DamagedFileDoesNotReplaceTheOpenDocument) {
    const fs::path good = folder / "good.ckd";
    StartWithOpenFile(good, 24);
    Edit(0x44);
    const KeypadDocument before = document;
    const fs::path damaged = folder / "damaged.ckd";
    WriteFile(damaged, "[GLOBAL_PARAMETERS]\r\nNumber_Of_Keys=48\r\n[KEY0]\r\nLevel_1_Codes=1c\r\n"
                       "[KEY3]\r\nLevel_2_Codes=1c2\r\n");
    Script({Answer::No}, {Q(damaged)});

    window->btnOpenClick();

    EXPECT_EQ(prompts.shown, (QStringList{kSaveChanges, kOpenDialog,
                                          "error: Range check error\n\n" + Q(damaged) + ", [KEY3] Level_2_Codes"}));
    EXPECT_EQ(document, before);
    EXPECT_EQ(Filename(), Q(good));
    EXPECT_TRUE(window->session().modified());
    EXPECT_EQ(Modified(), "Modified");
    EXPECT_EQ(window->windowTitle(), "Quorvane KeyloomVKxx (VK24)");
    EXPECT_FALSE(fs::exists(DeviceImagePath(damaged)));
}

// Open, on a changed document, for each answer: Yes saves and goes on whatever the save did.
struct OpenCase {
    const char* name;
    Answer answer;
    bool saveAsSaves;
    QStringList shown;
    bool opened;
};
void PrintTo(const OpenCase& c, std::ostream* out) { *out << c.name; }

class OpenAnswerTest : public CommandsTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(OpenAnswerTest, AsksToSaveAChangedDocument) {
    const OpenCase& c = GetParam();
    Start();
    Edit();
    const fs::path saved = folder / "saved.ckd";
    const fs::path other = folder / "other.ckd";
    WriteSample(other, 24, 0x1d);
    prompts.answers = {c.answer};
    if (c.answer == Answer::Yes)
        prompts.fileNames.push_back(c.saveAsSaves ? std::optional(Q(saved)) : std::nullopt);
    if (c.answer != Answer::Cancel)
        prompts.fileNames.push_back(Q(other));

    window->btnOpenClick();

    EXPECT_EQ(prompts.shown, c.shown);
    EXPECT_EQ(fs::exists(saved), c.saveAsSaves);
    EXPECT_EQ(Filename(), c.opened ? Q(other) : QString("Untitled.ckd"));
    EXPECT_EQ(document.keys[4].level1Codes[0], c.opened ? 0x1d : 0);
    EXPECT_EQ(window->session().modified(), !c.opened);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, OpenAnswerTest,
    ::testing::Values(OpenCase{"Cancel", Answer::Cancel, false, {kSaveChanges}, false},
                      OpenCase{"No", Answer::No, false, {kSaveChanges, kOpenDialog}, true},
                      OpenCase{"YesSaved", Answer::Yes, true, {kSaveChanges, kSaveDialog, kOpenDialog}, true},
                      OpenCase{"YesSaveCancelled", Answer::Yes, false, {kSaveChanges, kSaveDialog, kOpenDialog},
                               true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandsTest, OpenDialogCancelledChangesNothing) {
    Start();
    Script({}, {std::nullopt});
    window->btnOpenClick();
    EXPECT_EQ(prompts.shown, QStringList{kOpenDialog});
    EXPECT_EQ(Filename(), "Untitled.ckd");
}

TEST_F(CommandsTest, SaveOfAnUntitledDocumentRunsSaveAsAndWritesTheImage) {
    StoreLayout("48");
    Start();
    Edit();
    const fs::path ckd = folder / "first.ckd";
    Script({}, {Q(ckd)});

    Click("btnSave");

    EXPECT_EQ(prompts.shown, QStringList{kSaveDialog});
    EXPECT_EQ(prompts.lastRequest.fileName, "untitled.ckd");
    EXPECT_EQ(prompts.lastRequest.folder, Q(MacroFiles()));
    EXPECT_EQ(prompts.lastRequest.filter, "Custom Keypad Definition Files |*.ckd");
    EXPECT_EQ(prompts.lastRequest.defaultSuffix, "ckd");
    EXPECT_EQ(Filename(), Q(ckd));
    EXPECT_EQ(Modified(), "");
    EXPECT_FALSE(window->session().modified());
    KeypadDocument reread;
    ReadKeyDefinitionFile(reread, ckd);
    EXPECT_EQ(reread.keys[0].level1Codes[0], 0x32);
    EXPECT_EQ(ReadFile(DeviceImagePath(ckd)), ExpectedImage(ckd, 48));

    // The next Save As proposes the name just chosen, in the macro files folder.
    Script({}, {std::nullopt});
    Click("btnSaveAs");
    EXPECT_EQ(prompts.lastRequest.fileName, "first.ckd");
    EXPECT_EQ(prompts.lastRequest.folder, Q(MacroFiles()));
}

TEST_F(CommandsTest, SaveAsCancelledChangesNothing) {
    Start();
    Edit();
    Script({}, {std::nullopt});
    Click("btnSaveAs");
    EXPECT_EQ(prompts.shown, QStringList{kSaveDialog});
    EXPECT_EQ(Filename(), "Untitled.ckd");
    EXPECT_EQ(Modified(), "Modified");
}

// Save of a titled document whose file exists, for each answer to "File exists. Overwrite?".
struct SaveCase {
    const char* name;
    Answer answer;
    QStringList shown;
    bool overwritten;
};
void PrintTo(const SaveCase& c, std::ostream* out) { *out << c.name; }

class SaveAnswerTest : public CommandsTest, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(SaveAnswerTest, AsksBeforeOverwriting) {
    const SaveCase& c = GetParam();
    const fs::path ckd = folder / "keys.ckd";
    StartWithOpenFile(ckd);
    fs::remove(DeviceImagePath(ckd));
    Edit();
    Script({c.answer}, {std::nullopt});

    window->btnSaveClick();

    EXPECT_EQ(prompts.shown, c.shown);
    KeypadDocument reread;
    ReadKeyDefinitionFile(reread, ckd);
    EXPECT_EQ(reread.keys[0].level1Codes[0], c.overwritten ? 0x32 : 0);
    EXPECT_EQ(fs::exists(DeviceImagePath(ckd)), c.overwritten);
    EXPECT_EQ(Modified(), c.overwritten ? "" : "Modified");
}

INSTANTIATE_TEST_SUITE_P(
    Answers, SaveAnswerTest,
    ::testing::Values(SaveCase{"Yes", Answer::Yes, {"question: File exists. Overwrite?"}, true},
                      SaveCase{"No", Answer::No, {"question: File exists. Overwrite?", kSaveDialog}, false},
                      SaveCase{"Cancel", Answer::Cancel, {"question: File exists. Overwrite?"}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandsTest, SaveOfAFileThatIsGoneWritesWithoutAsking) {
    const fs::path ckd = folder / "keys.ckd";
    StartWithOpenFile(ckd);
    fs::remove(ckd);
    Edit();
    window->btnSaveClick();
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_EQ(ReadFile(DeviceImagePath(ckd)), ExpectedImage(ckd, 24));
}

TEST_F(CommandsTest, FailedSaveKeepsTheChangeAndWritesNoImage) {
    Start();
    Edit();
    WriteFile(folder / "plain", "a file, not a folder");
    const fs::path ckd = folder / "plain" / "keys.ckd";
    Script({}, {Q(ckd)});
    PaintedTexts painted(window->lblModified);

    Click("btnSaveAs");

    // The event loop does not run during a save: "Saving..." shows only if painted at once.
    EXPECT_TRUE(painted.texts.contains("Saving...")) << painted.texts.join('|').toStdString();
    ASSERT_EQ(prompts.shown.size(), 2);
    EXPECT_TRUE(prompts.shown[1].startsWith("error: Unable to write to " + Q(ckd))) << prompts.shown[1].toStdString();
    EXPECT_TRUE(window->session().modified());
    EXPECT_EQ(Modified(), "Modified");
    EXPECT_EQ(Filename(), "Untitled.ckd");
    EXPECT_FALSE(fs::exists(DeviceImagePath(ckd)));
}

TEST_F(CommandsTest, SaveAsUnderTheNameOfADeviceImageIsRefused) {
    for (const char* name : {"keys.bin", "keys.BIN"}) {
        SCOPED_TRACE(name);
        window.reset();
        Start();
        Edit();
        const fs::path image = folder / name;
        WriteFile(image, "an image written earlier");
        Script({}, {Q(image)});

        Click("btnSaveAs");

        ASSERT_EQ(prompts.shown.size(), 2);
        EXPECT_TRUE(prompts.shown[1].startsWith("error: Unable to write to " + Q(image))) << prompts.shown[1].toStdString();
        EXPECT_EQ(ReadFile(image), "an image written earlier");
        EXPECT_TRUE(window->session().modified());
        EXPECT_EQ(Filename(), "Untitled.ckd");
    }
}

TEST_F(CommandsTest, CommandsGiveTheFocusBackToTheGridOfTheLevel) {
    Start();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EXPECT_EQ(QApplication::focusWidget(), window->findChild<MacroGrid*>("StringGrid1"));

    window->tabLevelClick(1);
    window->btnNew->setFocus();
    Script({}, {std::nullopt});
    Click("btnSaveAs");
    EXPECT_EQ(QApplication::focusWidget(), window->findChild<MacroGrid*>("StringGrid2"));

    Click("btnNew");
    EXPECT_EQ(QApplication::focusWidget(), window->findChild<MacroGrid*>("StringGrid1"));
}

TEST_F(CommandsTest, AnErrorInsideACommandIsShownNotThrown) {
    const fs::path ckd = folder / "keys.ckd";
    StartWithOpenFile(ckd);
    Edit();
    // No answer for the overwrite question: the scripted prompts throw from inside the click.
    Script({}, {});
    Click("btnSave");
    EXPECT_EQ(prompts.shown.last(), "error: no scripted answer for the question");
}

class DownloadTest : public CommandsTest {
protected:
    // "VKxxLoad", on Windows "VKxxLoad.exe".
    fs::path Utility() const { return platform.helperProgram(kDownloadUtility); }
};

TEST_F(DownloadTest, MissingUtilityIsReportedAndNothingElseHappens) {
    Start();
    Edit();
    Click("btnDownload");
    EXPECT_EQ(prompts.shown, QStringList{"warning: The VKxxLoad.exe file download utility was not found."});
    EXPECT_TRUE(platform.launches.empty());
}

// Download with the utility present, from each state of the document.
struct DownloadCase {
    const char* name;
    bool titled;
    bool modified;
    std::optional<Answer> answer;
    std::optional<const char*> saveAs; // the Save As dialog's answer when shown; nullptr cancels
    QStringList shown;
    const char* launched; // the file the utility gets; nullptr: not started
};
void PrintTo(const DownloadCase& c, std::ostream* out) { *out << c.name; }

class DownloadCaseTest : public DownloadTest, public ::testing::WithParamInterface<DownloadCase> {};

TEST_P(DownloadCaseTest, SavesWhenNeededAndStartsTheUtilityWithThePath) {
    const DownloadCase& c = GetParam();
    if (c.titled)
        StartWithOpenFile(folder / "titled.ckd");
    else
        Start();
    WriteFile(Utility(), "#!/bin/sh\n");
    if (c.modified)
        Edit();
    Script({}, {});
    if (c.answer)
        prompts.answers = {*c.answer};
    if (c.saveAs)
        prompts.fileNames = {*c.saveAs ? std::optional(Q(folder / *c.saveAs)) : std::nullopt};

    Click("btnDownload");

    EXPECT_EQ(prompts.shown, c.shown);
    if (!c.launched) {
        EXPECT_TRUE(platform.launches.empty());
        return;
    }
    ASSERT_EQ(platform.launches.size(), 1u);
    EXPECT_EQ(platform.launches[0].verb, "open");
    EXPECT_EQ(platform.launches[0].file, Utility());
    EXPECT_EQ(platform.launches[0].arguments, std::vector<std::string>{(folder / c.launched).string()});
}

INSTANTIATE_TEST_SUITE_P(
    States, DownloadCaseTest,
    ::testing::Values(
        DownloadCase{"UntitledSaved", false, true, std::nullopt, "new file.ckd", {kSaveDialog}, "new file.ckd"},
        DownloadCase{"UntitledSaveCancelled", false, false, std::nullopt, nullptr, {kSaveDialog}, nullptr},
        DownloadCase{"TitledClean", true, false, std::nullopt, std::nullopt, {}, "titled.ckd"},
        DownloadCase{"TitledChangedNo", true, true, Answer::No, std::nullopt, {kSaveChanges}, nullptr},
        DownloadCase{"TitledChangedCancel", true, true, Answer::Cancel, std::nullopt, {kSaveChanges}, nullptr},
        DownloadCase{"TitledChangedYes", true, true, Answer::Yes, "other.ckd", {kSaveChanges, kSaveDialog},
                     "other.ckd"},
        // The file on disk is what the utility loads, saved or not.
        DownloadCase{"TitledChangedYesSaveCancelled", true, true, Answer::Yes, nullptr,
                     {kSaveChanges, kSaveDialog}, "titled.ckd"}),
    [](const auto& info) { return std::string(info.param.name); });

// Closing, for each state of the document and the answers given. A save that did not happen
// (cancelled or refused) asks again: the changes go only when the user says No.
struct CloseCase {
    const char* name;
    bool modified;
    std::vector<Answer> answers;
    std::vector<const char*> fileNames; // chosen in the Save As dialogs; nullptr cancels
    QStringList shown;                  // "%1" stands for the folder, with its separator
    bool saved;
};
void PrintTo(const CloseCase& c, std::ostream* out) { *out << c.name; }

const QString kCloseQuestion = "yes/no question: Do you want to save your changes?";

class CloseTest : public CommandsTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(CloseTest, AsksYesOrNoAndStoresTheLayout) {
    const CloseCase& c = GetParam();
    Start();
    window->btn48KeysClick();
    if (c.modified)
        Edit();
    const fs::path ckd = folder / "closing.ckd";
    Script({});
    prompts.answers = {c.answers.begin(), c.answers.end()};
    for (const char* name : c.fileNames)
        prompts.fileNames.push_back(name ? std::optional(Q(folder / name)) : std::nullopt);
    window->show();

    window->close();
    window->close();

    QStringList expected;
    for (const QString& line : c.shown)
        expected << (line.contains("%1") ? line.arg(Q(folder / "")) : line);
    EXPECT_EQ(prompts.shown, expected);
    EXPECT_EQ(fs::exists(ckd), c.saved);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(ReadKeyCount(Area()), 48);
}

INSTANTIATE_TEST_SUITE_P(
    States, CloseTest,
    ::testing::Values(
        CloseCase{"Clean", false, {}, {}, {}, false},
        CloseCase{"ChangedYes", true, {Answer::Yes}, {"closing.ckd"}, {kCloseQuestion, kSaveDialog}, true},
        CloseCase{"ChangedNo", true, {Answer::No}, {}, {kCloseQuestion}, false},
        CloseCase{"SaveCancelledThenNo", true, {Answer::Yes, Answer::No}, {nullptr},
                  {kCloseQuestion, kSaveDialog, kCloseQuestion}, false},
        CloseCase{"SaveRefusedThenSaved", true, {Answer::Yes, Answer::Yes}, {"closing.bin", "closing.ckd"},
                  {kCloseQuestion, kSaveDialog,
                   "error: Unable to write to %1closing.bin (the name of a device image: key definition files "
                   "are saved as .ckd)",
                   kCloseQuestion, kSaveDialog},
                  true}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace keyloom::test
