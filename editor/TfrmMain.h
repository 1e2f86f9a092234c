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
    // Handlers take the clicked control and read its Tag.
    void KeyboardClick(const QObject* sender);
    void ModifierClick(const QObject* sender);
    // ModifierClick by Tag (29, 42, 56, 101, 87, 54, 90, 102): a press or a release, decided by the
    // macro's state at the selected cell. Typing calls it for a released modifier key.
    void RecordModifier(int tag);
    void keyDelayClick();
    void MouseClick(const QObject* sender);
    void MouseMoveClick(const QObject* sender);
    void TrackBar1Change(int value);
    void keyMediaClick();
    void keyMouseClick();
    void keyMoreClick();
    void keyLED1Click();
    void keyLED2Click();
    void keyLED3Click();
    // === end of Recording ===

    // === Level settings and erasing (TfrmMainLevels.cpp) ===
    // Both reveal-codes boxes follow the one flag; not a change of the document.
    void cboxRevealCodes1Change();
    void cboxRevealCodes2Change();
    void cboxAutoRepeatL1Change();
    void cboxAutoRepeatL2Change();
    void comboMacroMode1Change();
    void comboMacroMode2Change();
    // The box's text becomes the level's name when the edit is committed (Enter or focus loss).
    void edDescription1Change();
    void edDescription2Change();
    // keyCode: a Windows virtual-key code; Enter (13) moves the focus to the level's grid.
    void edDescription1KeyDown(int keyCode);
    void edDescription2KeyDown(int keyCode);
    void btnEraseAllL1Click();
    void btnEraseAllL2Click();
    void btnEraseSelectedL1Click();
    void btnEraseSelectedL2Click();
    void StringGrid1DblClick();
    void StringGrid2DblClick();

private:
    void RevealCodesChange(int level);
    void AutoRepeatChange(int level);
    void MacroModeChange(int level);
    void DescriptionChange(int level);
    void DescriptionKeyDown(int level, int keyCode);
    void EraseAll(int level);
    void EraseSelected(int level);
    // Context of the level controls' connections. A member goes before the window's widgets do, so
    // a description box that loses the focus while the window is torn down commits nothing here.
    QObject m_levelConnections;

public:
    // === end of Level settings ===

    // === Typing into the grids (TfrmMainTyping.cpp) ===
    // Keys typed while a grid has the focus, as (Windows virtual-key code, character) pairs: a
    // printable character arrives with key code 0 (see KeyAdapter.h).
    void StringGridKeyDown(int keyCode, int character);
    void StringGridKeyUp(int keyCode);
    // Every key release in the window, wherever the focus is (a Tab release records 0D).
    void FormKeyUp(int keyCode);
    // === end of Typing ===

    // === Dialogs and help (TfrmMainDialogs.cpp) ===
    void btnPropertiesClick();
    void btnShortcutClick();
    void btnHelpClick();
    void mnuAboutClick();
    void mnuManualClick();
    void btnTestClick();
    void btnLabelsClick();
    // The Help button's popup menu, which is also its context menu.
    QMenu* menuHelp = nullptr;
    QAction* mnuAbout = nullptr;
    QAction* mnuManual = nullptr;
    // Created once, right after the main window, in this order; children of the window, shown
    // modally. (Named with "class" so that they need no declaration outside this block.)
    class TfrmAbout* frmAbout = nullptr;
    class TfrmProperties* frmProperties = nullptr;
    class TfrmShortcut* frmShortcut = nullptr;
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
    // Whether a command first stores the description being typed (see RunCommand).
    enum class TypedDescription { Store, Keep };
    void RunCommand(const std::function<void()>& command,
                    TypedDescription typedDescription = TypedDescription::Store);
    // Stores the text typed into the shown level's description box and not yet confirmed.
    void StoreEditedDescription();

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
