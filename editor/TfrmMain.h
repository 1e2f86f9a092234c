#pragma once

#include "document/CellList.h"
#include "document/KeypadDocument.h"
#include "editor/EditorState.h"
#include "files/WorkingFolders.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <span>

class QLabel;
class QPushButton;
class QToolButton;

namespace keyloom {

class KeyboardPanel;
class KeypadPanel;
class MacroGrid;
class MacroTabs;
class Platform;
class Prompts;
struct LevelControls;

// The main window: the editor state, the keypad panel, the two macro grids, the on-screen
// keyboard and the document commands. Handlers keep the names of the events they answer
// (btnSaveClick, KeypadClick, ...); the .cpp files are split by concern.
class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    static constexpr const char* kUntitled = "Untitled.ckd";

    // Builds the window and runs its creation (FormCreate). arguments: the command line without
    // the program name; exactly one argument is a .ckd to open.
    TfrmMain(KeypadDocument& document, Platform& platform, Prompts& prompts, const QStringList& arguments,
             QWidget* parent = nullptr);
    ~TfrmMain() override;

    KeypadDocument& document() { return m_document; }
    EditorState& state() { return m_state; }
    const CellList& cells() const { return m_cells; }
    const WorkingFolders& folders() const { return m_folders; }

    // Start-up and document commands.
    void FormShow();
    void FormClose();
    void btnNewClick();
    void btnOpenClick();
    void btnSaveClick();
    void btnSaveAsClick();
    void btnDownloadClick();

    // The macro view.
    void RefreshMacroView();
    void FillMacroGrid(int level);
    void SelectEndCell();
    void ShowModifierState();
    void AdvanceSelection(MacroGrid* grid);
    int InsertionCell() const;
    int InsertionOffset() const;
    // The common recording step: inserts codes (ended by a 0) at the insertion point, or shows
    // the no-room message and changes nothing. True when inserted.
    bool RecordCodes(std::span<const uint8_t> codes);

    // The keypad panel.
    void KeypadClick(QPushButton* button);
    void KeypadMouseDown(QPushButton* button, QPoint globalPosition);
    void menuKeyTypePopup();
    void menuKeyTypeClick(int keyType);
    void mnuCopyKeyMacroClick();
    void mnuPasteKeyMacroClick();
    void btn24KeysClick();
    void btn48KeysClick();

    // Key buttons and the editor state.
    int KeyIndexOfButton(const QPushButton* button) const;
    QPushButton* ButtonOfKeyIndex(int keyIndex) const;
    void ShowKeyType(int keyIndex);
    void SelectFirstKey();

    // Level tabs.
    void tabLevel1Click();
    void tabLevel2Click();

    // === Recording: the Tag table, popup menus, on-screen keyboard (TfrmMainRecording.cpp) ===
    // Records the bytes of a Tag as KeyboardClick does (typing uses it too). True when recorded.
    bool RecordTag(int tag);
    // === end of Recording ===

    // === Level settings and erasing (TfrmMainLevels.cpp) ===
    // === end of Level settings ===

    // === Typing into the grids (TfrmMainTyping.cpp) ===
    // === end of Typing ===

    // === Dialogs and help (TfrmMainDialogs.cpp) ===
    // === end of Dialogs ===

    // The grid of the selected level, and giving it the keyboard focus.
    MacroGrid* CurrentGrid() const;
    void FocusCurrentGrid();

    // Controls, under their names (objectName is the same).
    QWidget* MenuPanel = nullptr;
    QToolButton* btnNew = nullptr;
    QToolButton* btnOpen = nullptr;
    QToolButton* btnSave = nullptr;
    QToolButton* btnSaveAs = nullptr;
    QToolButton* btnProperties = nullptr;
    QToolButton* btnDownload = nullptr;
    QToolButton* btnTest = nullptr;
    QToolButton* btnHelp = nullptr;
    QToolButton* btnLabels = nullptr;
    QToolButton* btnShortcut = nullptr;
    QLabel* lblFilename = nullptr;
    QLabel* lblModified = nullptr;
    KeypadPanel* keypadPanel = nullptr;
    MacroTabs* TabControl1 = nullptr;
    KeyboardPanel* KeyboardPanel_ = nullptr; // objectName "KeyboardPanel"

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildToolbar();
    void BuildStatusBar();
    void ConnectPanels();
    // Each wires its own controls; called by the constructor after ConnectPanels.
    void ConnectRecording();
    void ConnectLevels();
    void ConnectTyping();
    void ConnectDialogs();
    void FormCreate(const QStringList& arguments);
    // Runs a command so that nothing it throws reaches the event loop; what escapes is shown.
    void RunCommand(const std::function<void()>& command);

    void SwitchLayout(int numberOfKeys, bool& guard);
    LevelControls& Controls(int level);
    // Writes the .ckd and then its image; false when the .ckd could not be written (shown).
    bool SaveTo(const QString& path);
    // Reads path into a scratch document and takes it only when the whole file was read.
    bool LoadFrom(const QString& path);
    // Shows the result of a document command: key 1, Level 1, the end cell, the grid focused.
    void ShowFreshDocument();

    KeypadDocument& m_document;
    Platform& m_platform;
    Prompts& m_prompts;
    EditorState m_state;
    CellList m_cells;
    WorkingFolders m_folders;

    std::array<uint8_t, kLevel1ArraySize> m_macroClipboard{};
    bool m_layout24Running = false;
    bool m_layout48Running = false;
    bool m_saveAsCompleted = false;
    QString m_openDialogFileName;
    QString m_saveDialogFileName = QStringLiteral("untitled.ckd");
    bool m_closed = false;
};

} // namespace keyloom
