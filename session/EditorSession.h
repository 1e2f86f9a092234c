#pragma once

#include "document/CellList.h"
#include "document/DocumentHistory.h"
#include "document/KeypadDocument.h"
#include "files/IniFile.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

namespace keyloom {

// What a command changed, so that the window redraws exactly that.
struct SessionChange {
    // The shown key's level: its cells, length, settings and the key's caption.
    bool level = false;
    // The selected key, level or cell moved.
    bool selection = false;
    // Every key may look different: a new document, an undo, another layout.
    bool allKeys = false;
    // A refusal or a notice to show in a warning box; nothing changed when it refuses.
    std::string warning;

    SessionChange& operator|=(const SessionChange& other);
};

// The editor's one session: the document with its history, its file, the state it was saved in,
// and what the user is looking at (key, level, cell). Every editing rule lives here, as a command
// that says what it changed; the window only shows it. Modified is computed from the saved state,
// never set.
class EditorSession {
public:
    explicit EditorSession(KeypadDocument& document);

    const KeypadDocument& document() const { return m_document; }
    // The program's one document; changing it behind the session's back is for tests and for
    // the Properties dialog, whose changes count at the next command.
    KeypadDocument& documentForEditing() { return m_document; }
    // The open file, or none for a new document.
    const std::optional<std::filesystem::path>& path() const { return m_path; }
    // The document differs from the file it was opened from or saved to (a new one: from New).
    bool modified() const;

    int selectedKey() const { return m_selectedKey; }
    int selectedLevel() const { return m_selectedLevel; }
    Level level() const { return LevelOf(m_selectedLevel); }
    // The selected cell; it may lie beyond the last code, where appending goes on.
    int selectedCell() const { return m_selectedCell; }
    // Where codes go in: the selected cell, or the end.
    int insertionCell() const;
    int insertionOffset() const;
    // The shown level rendered into cells.
    const CellList& cells() const { return m_cells; }
    // The bytes the rendering read: 0 when it stopped at a code it does not know.
    int renderedLength() const { return m_renderedLength; }
    bool revealCodes() const { return m_revealCodes; }
    // The modifiers recording last saw held, in modifier bit order (L Ctrl, L Shift, L Alt,
    // L Win, R Ctrl, R Shift, R Alt, R Win).
    const std::array<bool, 8>& heldModifiers() const { return m_heldModifiers; }
    // The modifiers held at the insertion point (what an added code sees).
    ModifierState modifiersAtSelection() const;

    bool canUndo() const { return m_history.canUndo(); }
    bool canRedo() const { return m_history.canRedo(); }

    // A command of several recordings (a double click: click, delay, click) is one undo step:
    // the commands between BeginStep and EndStep join. A typed character stays open while a typed modifier is
    // down, so Shift, a, Shift up is one step too.
    void BeginStep(bool typed = false);
    void EndStep();

    // Document commands. Open and Save throw FileError; nothing changes when they do.
    SessionChange New();
    // Reads the file into a scratch document and takes it whole; gives back the file's values.
    IniFile Open(const std::filesystem::path& path);
    // Writes the .ckd and then its image; an image that cannot be written is reported in the
    // warning and does not undo the save.
    SessionChange Save(const std::filesystem::path& path);
    SessionChange SetLayout(int numberOfKeys);

    // Viewing.
    SessionChange SelectKey(int keyIndex);
    SessionChange SelectLevel(int level);
    SessionChange SelectCell(int cell);
    // The cell after the last code, where recording appends.
    SessionChange SelectEndCell();
    // Renders the shown level again after its codes were changed outside the session (a test, or
    // a dialog that writes the document itself).
    void Refresh() { Render(); }
    // The document as it stands is the one in its file: for a document filled in outside the
    // editor, as the tests fill theirs.
    void TakeAsSaved();
    SessionChange SetRevealCodes(bool reveal);

    // Recording at the insertion point; a refusal (no room) changes nothing. cells: how many
    // cells the codes make; the selection moves on past them.
    SessionChange RecordCodes(std::span<const uint8_t> codes, int cells = 1);
    SessionChange RecordTag(int tag);
    // A modifier's press or release, as the macro's state at the selected cell decides.
    SessionChange RecordModifier(int tag);
    SessionChange RecordDelay(int count);
    SessionChange RecordMouseMove(uint8_t move, int distance);

    // Typing: a typed modifier press is recorded once per stroke; its release as the macro's
    // state decides.
    SessionChange TypeModifierDown(int tag, std::size_t flag);
    SessionChange TypeModifierUp(int tag, std::size_t flag);
    // Backspace: one cell back, then erase it.
    SessionChange EraseBefore();

    // Level settings and erasing, on the shown key.
    SessionChange SetAutoRepeat(bool on);
    SessionChange SetMacroMode(int mode);
    SessionChange SetDescription(int level, const std::string& text);
    SessionChange EraseAll();
    SessionChange EraseSelected();

    // The keypad panel.
    SessionChange SetKeyType(int32_t keyType);
    // Which key types the menu offers: a level key changes only back to a normal key.
    bool canSetLevelKeyType() const;
    void CopyKey();
    bool canCopyKey() const;
    bool canPasteKey() const { return m_clipboard[0] != 0; }
    SessionChange PasteKey();

    SessionChange Undo();
    SessionChange Redo();

private:
    // Renders the shown level again after the document or the view changed.
    void Render();
    SessionChange Recorded(bool inserted, int cells);
    // Takes a document whole as the new state (New, Open): a fresh history, key 1, Level 1.
    void TakeFresh();
    SessionChange ShowState(std::optional<HistoryState> state);
    HistoryView View() const { return {m_selectedKey, m_selectedLevel, m_selectedCell}; }
    KeyRecord& SelectedRecord() { return m_document.keys[static_cast<std::size_t>(m_selectedKey)]; }
    void SyncHeldModifiers(int cell);

    KeypadDocument& m_document;
    // The document as it is in its file, and as the last step left it (so that a step costs one
    // comparison, and only a change a copy).
    KeypadDocument m_saved;
    KeypadDocument m_last;
    DocumentHistory m_history;
    std::optional<std::filesystem::path> m_path;

    int m_selectedKey = 0;
    int m_selectedLevel = 0;
    int m_selectedCell = 0;
    bool m_revealCodes = false;
    CellList m_cells;
    int m_renderedLength = 0;

    std::array<uint8_t, kLevel1ArraySize> m_clipboard{};
    std::array<bool, 8> m_heldModifiers{};

    // Undo steps: how deep the running steps are nested, the view the outermost began in, and
    // whether it is a typed key joining an open typed character.
    int m_stepDepth = 0;
    HistoryView m_stepView;
    bool m_stepJoins = false;
    bool m_stepTyped = false;
    unsigned m_typedModifiersDown = 0;
    bool m_typedStepOpen = false;
    // An undo, redo, New or Open set the document itself: not a change to record.
    bool m_historyTouched = false;
};

} // namespace keyloom
