#include "document/DocumentHistory.h"

#include <gtest/gtest.h>

namespace keyloom {
namespace {

// A document told apart from others by the first byte of key 0's Level 1.
KeypadDocument Document(uint8_t mark) {
    KeypadDocument document;
    document.keys[0].level1Codes[0] = mark;
    return document;
}
uint8_t MarkOf(const KeypadDocument& document) { return document.keys[0].level1Codes[0]; }

// The user changes the document from A to B to C, each change in another view; "current" is
// what the window shows.
class DocumentHistoryTest : public ::testing::Test {
protected:
    void Change(uint8_t to, HistoryView view) {
        history.Record(current, shown);
        current = Document(to);
        shown = view;
    }
    bool Undo() { return Apply(history.Undo(current)); }
    bool Redo() { return Apply(history.Redo(current)); }
    bool Apply(std::optional<HistoryState> state) {
        if (!state)
            return false;
        current = state->document;
        shown = state->view;
        return true;
    }

    DocumentHistory history;
    KeypadDocument current = Document(0xA);
    HistoryView shown{0, 0, 0};
};

TEST_F(DocumentHistoryTest, UndoAndRedoWalkTheStatesWithTheirViews) {
    Change(0xB, {1, 0, 3});
    Change(0xC, {2, 1, 5});
    ASSERT_TRUE(Undo());
    EXPECT_EQ(MarkOf(current), 0xB);
    EXPECT_EQ(shown, (HistoryView{1, 0, 3}));
    ASSERT_TRUE(Undo());
    EXPECT_EQ(MarkOf(current), 0xA);
    EXPECT_EQ(shown, (HistoryView{0, 0, 0}));
    EXPECT_FALSE(Undo());
    EXPECT_EQ(MarkOf(current), 0xA);

    // Redo shows where each change was made, not where undo was pressed.
    ASSERT_TRUE(Redo());
    EXPECT_EQ(MarkOf(current), 0xB);
    EXPECT_EQ(shown, (HistoryView{0, 0, 0}));
    ASSERT_TRUE(Redo());
    EXPECT_EQ(MarkOf(current), 0xC);
    EXPECT_EQ(shown, (HistoryView{1, 0, 3}));
    EXPECT_FALSE(Redo());

    // A new change after an undo forgets what could be redone.
    ASSERT_TRUE(Undo());
    Change(0xD, {3, 0, 0});
    EXPECT_FALSE(history.canRedo());
    ASSERT_TRUE(Undo());
    EXPECT_EQ(MarkOf(current), 0xB);
}

TEST_F(DocumentHistoryTest, TheOldestStatesGoPastTheCapacity) {
    DocumentHistory small(3);
    history = small;
    for (uint8_t mark = 1; mark <= 5; ++mark)
        Change(mark, {});
    int undone = 0;
    while (Undo())
        ++undone;
    EXPECT_EQ(undone, 3);
    EXPECT_EQ(MarkOf(current), 2);
}

TEST_F(DocumentHistoryTest, ClearStartsAFreshHistory) {
    Change(0xB, {});
    Change(0xC, {});
    Undo();
    history.Clear();
    EXPECT_FALSE(history.canUndo());
    EXPECT_FALSE(history.canRedo());
}

} // namespace
} // namespace keyloom
