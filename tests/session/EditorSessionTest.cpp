#include "session/EditorSession.h"

#include "files/FileError.h"
#include "support/HexBytes.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace keyloom::test {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr int kTagA = 30;       // records 1C
constexpr int kTagLeftShift = 42; // records 12, released as F0 12

class EditorSessionTest : public ::testing::Test {
protected:
    EditorSessionTest() {
        document.ResetDocument();
        document.numberOfKeys = 24;
        session.emplace(document);
    }

    Bytes Codes(int key, Level level) const {
        const std::span<const uint8_t> codes = document.keys[static_cast<std::size_t>(key)].codes(level);
        return Bytes(codes.begin(), codes.begin() + static_cast<std::ptrdiff_t>(MacroLength(codes)));
    }
    // One command as the window runs it: one undo step.
    template <typename Command> SessionChange Step(Command command) {
        session->BeginStep();
        SessionChange change = command(*session);
        session->EndStep();
        return change;
    }
    SessionChange Record(const std::string& hex) {
        Bytes codes = HexBytes(hex);
        codes.push_back(0);
        return Step([&](EditorSession& s) { return s.RecordCodes(codes); });
    }

    KeypadDocument document;
    std::optional<EditorSession> session;
};

TEST_F(EditorSessionTest, ModifiedMeansDiffersFromTheSavedStateWhateverChangedIt) {
    EXPECT_FALSE(session->modified());
    Record("1c");
    EXPECT_TRUE(session->modified());
    Step([](EditorSession& s) { return s.Undo(); });
    EXPECT_FALSE(session->modified()) << "back at the saved state";
    Step([](EditorSession& s) { return s.Redo(); });
    EXPECT_TRUE(session->modified());

    // Everything the file stores counts, descriptions and key types included; the layout shown
    // does not.
    session->New();
    Step([](EditorSession& s) { return s.SetDescription(0, "Copy"); });
    EXPECT_TRUE(session->modified());
    session->New();
    Step([](EditorSession& s) { return s.SetKeyType(kLevelToggleKey); });
    EXPECT_TRUE(session->modified());
    session->New();
    session->SetLayout(48);
    EXPECT_FALSE(session->modified());
}

TEST_F(EditorSessionTest, SavingMakesTheSavedStateAndWalkingBackToItClearsModified) {
    TemporaryFolder folder;
    Record("1c");
    session->Save(folder / "a.ckd");
    EXPECT_FALSE(session->modified());
    EXPECT_EQ(session->path(), folder / "a.ckd");
    EXPECT_TRUE(std::filesystem::exists(folder / "a.bin"));
    Record("32");
    Step([](EditorSession& s) { return s.Undo(); });
    EXPECT_FALSE(session->modified());
    Step([](EditorSession& s) { return s.Undo(); });
    EXPECT_TRUE(session->modified()) << "before the saved state";
    // Changed anew from there: the saved state is behind, but equal contents are still unmodified.
    Record("32");
    Step([](EditorSession& s) { return s.Undo(); });
    EXPECT_TRUE(session->modified());
}

TEST_F(EditorSessionTest, OpenTakesAFileWholeOrNothing) {
    TemporaryFolder folder;
    Record("1c");
    const Bytes before = Codes(0, Level::One);
    std::ofstream(folder / "bad.ckd") << "[GLOBAL_PARAMETERS]\nNumber_Of_Keys=48\n[KEY0]\nLevel_1_Codes=1c3\n";
    EXPECT_THROW(session->Open(folder / "bad.ckd"), FileError);
    EXPECT_THROW(session->Open(folder / "missing.ckd"), FileError);
    EXPECT_EQ(Codes(0, Level::One), before);
    EXPECT_EQ(document.numberOfKeys, 24);
    EXPECT_FALSE(session->path().has_value());
    EXPECT_TRUE(session->canUndo());

    std::ofstream(folder / "good.ckd") << "[GLOBAL_PARAMETERS]\nNumber_Of_Keys=48\n[KEY5]\nLevel_1_Codes=1c32\n";
    session->Open(folder / "good.ckd");
    EXPECT_EQ(document.numberOfKeys, 48);
    EXPECT_EQ(Codes(5, Level::One), HexBytes("1c 32"));
    EXPECT_EQ(Codes(0, Level::One), Bytes{});
    EXPECT_FALSE(session->modified());
    EXPECT_FALSE(session->canUndo()) << "an opened file starts a fresh history";
    EXPECT_EQ(session->selectedKey(), 0);
}

TEST_F(EditorSessionTest, RecordingInsertsAtTheSelectedCellOrRefusesWhole) {
    Record("1c");
    Record("32");
    session->SelectCell(1);
    Record("12");
    EXPECT_EQ(Codes(0, Level::One), HexBytes("1c 12 32"));
    EXPECT_EQ(session->selectedCell(), 2);

    session->SelectKey(1);
    Bytes full(219, 0x1c);
    full.push_back(0);
    Step([&](EditorSession& s) { return s.RecordCodes(full); });
    const SessionChange refused = Record("e0 75");
    EXPECT_FALSE(refused.warning.empty());
    EXPECT_EQ(Codes(1, Level::One).size(), 219u) << "two bytes do not fit in one byte of room";
}

TEST_F(EditorSessionTest, AModifierButtonPressesOrReleasesAsTheMacroAtTheCellSays) {
    Step([](EditorSession& s) { return s.RecordModifier(kTagLeftShift); });
    Step([](EditorSession& s) { return s.RecordTag(kTagA); });
    Step([](EditorSession& s) { return s.RecordModifier(kTagLeftShift); });
    EXPECT_EQ(Codes(0, Level::One), HexBytes("12 1c f0 12"));
    // Between the press and the release, Shift is held: the button releases it there.
    session->SelectCell(1);
    Step([](EditorSession& s) { return s.RecordModifier(kTagLeftShift); });
    EXPECT_EQ(Codes(0, Level::One), HexBytes("12 f0 12 1c f0 12"));
}

TEST_F(EditorSessionTest, EraseAllAndEraseSelectedRefuseWhenThereIsNothing) {
    EXPECT_EQ(Step([](EditorSession& s) { return s.EraseAll(); }).warning, "Nothing to erase!");
    EXPECT_EQ(Step([](EditorSession& s) { return s.EraseSelected(); }).warning, "Nothing to erase!");
    Record("e2 01 32");
    Record("1c");
    session->SelectCell(0);
    Step([](EditorSession& s) { return s.EraseSelected(); });
    EXPECT_EQ(Codes(0, Level::One), HexBytes("1c")) << "a delay's three bytes go together";
    Step([](EditorSession& s) { return s.EraseAll(); });
    EXPECT_EQ(Codes(0, Level::One), Bytes{});
    EXPECT_EQ(session->selectedCell(), 0);
}

TEST_F(EditorSessionTest, AtMostTwoLevelKeysOfATypeAmongTheKeysShown) {
    const auto setType = [&](int key, int32_t type) {
        session->SelectKey(key);
        return Step([type](EditorSession& s) { return s.SetKeyType(type); });
    };
    EXPECT_TRUE(setType(0, kLevelShiftKey).warning.empty());
    EXPECT_TRUE(setType(1, kLevelShiftKey).warning.empty());
    EXPECT_EQ(setType(2, kLevelShiftKey).warning, "Already have two Shift keys!");
    EXPECT_EQ(document.keys[2].KeyType, kNormalKey);
    EXPECT_TRUE(setType(2, kLevelToggleKey).warning.empty());
    EXPECT_FALSE(session->canSetLevelKeyType()) << "a level key becomes a normal key first";

    // Keys beyond the layout shown are not on the keypad and do not count.
    session->SetLayout(48);
    document.keys[30].KeyType = kLevelToggleKey;
    document.keys[31].KeyType = kLevelToggleKey;
    session->SetLayout(24);
    EXPECT_TRUE(setType(3, kLevelToggleKey).warning.empty());
}

TEST_F(EditorSessionTest, PasteIsCutAtTheRoomOfTheTargetLevel) {
    Bytes codes(150, 0x1c);
    codes.push_back(0);
    Step([&](EditorSession& s) { return s.RecordCodes(codes); });
    EXPECT_FALSE(session->canPasteKey());
    session->CopyKey();
    EXPECT_TRUE(session->canPasteKey());

    session->SelectKey(1);
    session->SelectLevel(1);
    Step([](EditorSession& s) { return s.PasteKey(); });
    EXPECT_EQ(Codes(1, Level::Two).size(), 111u);
    // Level 1 of key 0 holds 150 bytes: its Level 2 has no room at all.
    session->SelectKey(0);
    EXPECT_FALSE(Step([](EditorSession& s) { return s.PasteKey(); }).warning.empty());
    EXPECT_EQ(Codes(0, Level::Two), Bytes{});
}

TEST_F(EditorSessionTest, UndoAndRedoShowTheKeyAndLevelOfTheChange) {
    session->SelectKey(4);
    Record("1c");
    session->SelectKey(0);
    session->SelectLevel(1);
    SessionChange undone = Step([](EditorSession& s) { return s.Undo(); });
    EXPECT_TRUE(undone.allKeys);
    EXPECT_EQ(session->selectedKey(), 4);
    EXPECT_EQ(session->selectedLevel(), 0);
    EXPECT_EQ(Codes(4, Level::One), Bytes{});

    session->SelectKey(7);
    Step([](EditorSession& s) { return s.Redo(); });
    EXPECT_EQ(session->selectedKey(), 4) << "where the change was made, not where undo was pressed";
    EXPECT_EQ(session->selectedLevel(), 0);
    EXPECT_EQ(Codes(4, Level::One), HexBytes("1c"));
}

TEST_F(EditorSessionTest, StepsGroupCommandsAndTypedCharacters) {
    // A double click is one step of three recordings.
    session->BeginStep();
    session->RecordTag(163);
    session->RecordDelay(50);
    session->RecordTag(163);
    session->EndStep();
    EXPECT_EQ(Codes(0, Level::One), HexBytes("e0 61 e2 01 32 e0 61"));
    Step([](EditorSession& s) { return s.Undo(); });
    EXPECT_EQ(Codes(0, Level::One), Bytes{});
    EXPECT_FALSE(session->canUndo());

    // Shift down, a, Shift up typed: one character, one step.
    const auto typed = [&](auto command) {
        session->BeginStep(true);
        command(*session);
        session->EndStep();
    };
    typed([](EditorSession& s) { return s.TypeModifierDown(kTagLeftShift, 1); });
    typed([](EditorSession& s) { return s.TypeModifierDown(kTagLeftShift, 1); }); // auto-repeat
    typed([](EditorSession& s) { return s.RecordTag(kTagA); });
    typed([](EditorSession& s) { return s.TypeModifierUp(kTagLeftShift, 1); });
    typed([](EditorSession& s) { return s.RecordTag(kTagA); });
    EXPECT_EQ(Codes(0, Level::One), HexBytes("12 1c f0 12 1c"));
    Step([](EditorSession& s) { return s.Undo(); });
    EXPECT_EQ(Codes(0, Level::One), HexBytes("12 1c f0 12"));
    Step([](EditorSession& s) { return s.Undo(); });
    EXPECT_EQ(Codes(0, Level::One), Bytes{});
}

} // namespace
} // namespace keyloom::test
