#pragma once

#include "document/CellList.h"
#include "document/KeypadDocument.h"
#include "editor/CodeCatalogue.h"
#include "files/WorkingFolders.h"
#include "session/EditorSession.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <optional>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QScrollArea;
class QToolButton;

namespace keyloom {

class CodeFinder;
class KeypadPanel;
class MacroGrid;
class MacroTabs;
class OnScreenKeyboard;
class Platform;
class Prompts;
class TfrmAbout;
class TfrmProperties;
class TfrmShortcut;
struct LevelControls;
struct TypedText;

// The main window: the keypad panel, the two macro grids, the on-screen keyboard and the
// document commands over one editor session. Each handler runs session commands and renders what
// they changed (Render); no state of the document lives here. Handlers keep the names of the
// events they answer (btnSaveClick, KeypadClick, ...); a handler of a control that each level or
// LED has once takes the level (0 = Level 1) or the LED's index. The .cpp files are split by
// concern.
class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    static constexpr const char* kUntitled = "Untitled.ckd";

    // Builds the window and runs its creation (FormCreate). arguments: the command line without
    // the program name; exactly one argument is a .ckd to open.
    TfrmMain(KeypadDocument& document, Platform& platform, Prompts& prompts, const QStringList& arguments,
             QWidget* parent = nullptr);
    ~TfrmMain() override;

    const KeypadDocument& document() const { return m_session.document(); }
    const EditorSession& session() const { return m_session; }
    EditorSession& session() { return m_session; }
    const CellList& cells() const { return m_session.cells(); }
    const WorkingFolders& folders() const { return m_folders; }
    // The codes the finder lists, in the list's order.
    const std::vector<CatalogueEntry>& foundCodes() const { return m_foundCodes; }

    // Fits the window to a screen's available area (less the window's frame): the whole window
    // where it fits; otherwise as large as the area allows, with scroll bars to the rest.
    void FitToScreen(const QRect& available, const QMargins& frame);
    // The same for the screen the window is on.
    void FitToScreen();

    // Takes back the last change to the document, or makes it again, and shows where it was.
    void Undo();
    void Redo();

    // Start-up and document commands (TfrmMainCommands.cpp).
    void FormShow();
    void FormClose();
    void btnNewClick();
    void btnOpenClick();
    void btnSaveClick();
    void btnSaveAsClick();
    void btnDownloadClick();

    // The macro view (TfrmMainMacroView.cpp).
    void RefreshMacroView();
    void FillMacroGrid(int level);
    void ShowModifierState();
    void SelectEndCell() { Render(m_session.SelectEndCell()); }
    int InsertionCell() const { return m_session.insertionCell(); }
    int InsertionOffset() const { return m_session.insertionOffset(); }
    // The common recording step: inserts codes (ended by a 0) at the insertion point, or shows
    // the no-room message and changes nothing. True when inserted.
    // cells: how many cells the codes make; the selection moves on past them.
    bool RecordCodes(std::span<const uint8_t> codes, int cells = 1);
    // Shows what a session command changed, and its refusal or notice; the grid takes the focus
    // unless the command was refused. True when it was not.
    bool Render(const SessionChange& change);
    void tabLevelClick(int level);
    // The grid of the selected level, and giving it the keyboard focus.
    MacroGrid* CurrentGrid() const;
    void FocusCurrentGrid();

    // The keypad panel (TfrmMainKeypad.cpp).
    void KeypadClick(QPushButton* button);
    void KeypadMouseDown(QPushButton* button, QPoint globalPosition);
    void menuKeyTypePopup();
    void menuKeyTypeClick(int keyType);
    void mnuCopyKeyMacroClick();
    void mnuPasteKeyMacroClick();
    void btn24KeysClick();
    void btn48KeysClick();
    int KeyIndexOfButton(const QPushButton* button) const;
    QPushButton* ButtonOfKeyIndex(int keyIndex) const;
    void ShowKeyType(int keyIndex);
    // "Key 5" and what it does: its type and both levels' descriptions and lengths.
    QString KeyDescription(int keyIndex) const;
    // Gives the key's button its accessible name and description (screen readers read them).
    void DescribeKey(int keyIndex);

    // Recording from the on-screen keyboard and its menus (TfrmMainRecording.cpp).
    // Records the bytes of a Tag as KeyboardClick does.
    void RecordTag(int tag);
    // Handlers take the clicked control and read its Tag.
    void KeyboardClick(const QObject* sender);
    void ModifierClick(const QObject* sender);
    void keyDelayClick();
    void MouseClick(const QObject* sender);
    void MouseMoveClick(const QObject* sender);
    void TrackBar1Change(int value);
    void keyMediaClick();
    void keyMouseClick();
    void keyMoreClick();
    void keyLEDClick(int led);
    // The codes of a typed text, in one recording step: all of them or, without room, none.
    bool RecordText(const TypedText& text);

    // Each level's settings and erasing (TfrmMainLevels.cpp).
    // Both reveal-codes boxes follow the one flag; not a change of the document.
    void cboxRevealCodesChange(int level);
    void cboxAutoRepeatChange(int level);
    void comboMacroModeChange(int level);
    // The box's text becomes the level's name when the edit is committed (Enter or focus loss).
    void edDescriptionChange(int level);
    // keyCode: a Windows virtual-key code; Enter (13) moves the focus to the level's grid.
    void edDescriptionKeyDown(int level, int keyCode);
    void btnEraseAllClick(int level);
    // Also the grid's double click: the press that comes with it has selected the cell.
    void btnEraseSelectedClick(int level);

    // Typing into the grids (TfrmMainTyping.cpp): keys as (Windows virtual-key code, character)
    // pairs; a printable character arrives with key code 0 (see KeyAdapter.h).
    void StringGridKeyDown(int keyCode, int character);
    void StringGridKeyUp(int keyCode);
    // Every key release in the window, wherever the focus is (a Tab release records 0D).
    void FormKeyUp(int keyCode);

    // Dialogs and help (TfrmMainDialogs.cpp).
    void btnPropertiesClick();
    void btnShortcutClick();
    void btnHelpClick();
    void mnuAboutClick();
    void mnuManualClick();
    void btnTestClick();
    void btnLabelsClick();
    // Opens the Type Text dialog for the selected key and level.
    void btnTypeTextClick();

    // Printing (TfrmMainPrint.cpp): the Print button's menu, and saving one of its sheets as PDF.
    enum class PrintedSheet { Keymap, Labels, SmallLabels };
    void btnPrintClick();
    void mnuPrintClick(PrintedSheet sheet);
    // Finding a code by name (TfrmMainFinding.cpp).
    // Lists the codes that match the field's text.
    void edFindCodeChange();
    // Records the listed code at row as its key or menu item does.
    void listboxFoundCodesClick(int row);

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
    QToolButton* btnUndo = nullptr;
    QToolButton* btnRedo = nullptr;
    QToolButton* btnPrint = nullptr;
    QToolButton* btnTypeText = nullptr;
    QLabel* lblFilename = nullptr;
    QLabel* lblModified = nullptr;
    KeypadPanel* keypadPanel = nullptr;
    MacroTabs* TabControl1 = nullptr;
    OnScreenKeyboard* KeyboardPanel = nullptr;
    // The search field over the recordable codes (edFindCode) and its list of matches.
    CodeFinder* codeFinder = nullptr;
    // The Help button's popup menu, which is also its context menu.
    QMenu* menuHelp = nullptr;
    QAction* mnuAbout = nullptr;
    QAction* mnuManual = nullptr;
    // The Print button's popup menu, one item per sheet.
    QMenu* menuPrint = nullptr;
    QAction* mnuPrintKeymap = nullptr;
    QAction* mnuPrintLabels = nullptr;
    QAction* mnuPrintSmallLabels = nullptr;
    // Created once, right after the main window, in this order; children of the window, shown
    // modally.
    TfrmAbout* frmAbout = nullptr;
    TfrmProperties* frmProperties = nullptr;
    TfrmShortcut* frmShortcut = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildToolbar();
    void BuildStatusBar();
    // Places the toolbar, the panels and the keyboard, and gives the window its fixed size.
    void PlacePanels();
    // Makes the finder's list as wide as its widest row, where the window has the room.
    void SizeFinderList();
    void ConnectPanels();
    // Each wires its own controls; called by the constructor after ConnectPanels.
    void ConnectRecording();
    void ConnectLevels();
    void ConnectTyping();
    void ConnectDialogs();
    void ConnectPrint();
    void ConnectFinder();
    // Alt chords for the commands: a key typed with Alt records what it records without, so
    // no chord takes away anything a user can record.
    void ConnectChords();
    // The key button beside the selected key, dx columns and dy rows away, or nullptr at the edge.
    QPushButton* NeighbourKey(int dx, int dy) const;
    void FormCreate(const QStringList& arguments);

    // Whether a command first stores the description being typed (see RunCommand).
    enum class TypedDescription { Store, Keep };
    // Runs a command so that nothing it throws reaches the event loop; what escapes is shown.
    void RunCommand(const std::function<void()>& command,
                    TypedDescription typedDescription = TypedDescription::Store);
    // Undo and Redo are offered when there is something to take back or make again; the status
    // bar names the file and whether it is modified.
    void ShowDocumentState();
    // Presses the selected key's button and turns to the selected level's tab.
    void ShowSelection();
    // Runs a key typed into a grid as a command; the keys typed while a typed modifier is down
    // are one character with it (Shift, a, Shift up) and one undo step.
    void RunTypingCommand(const std::function<void()>& command,
                          TypedDescription typedDescription = TypedDescription::Store);
    // A slot that runs a handler as a command.
    std::function<void()> Command(std::function<void()> handler);
    std::function<void()> Command(void (TfrmMain::*handler)());
    // Stores the text typed into the shown level's description box and not yet confirmed.
    void StoreEditedDescription();

    void SwitchLayout(int numberOfKeys);
    LevelControls& Controls(int level);
    // Writes the .ckd and then its image; false when the .ckd could not be written (shown).
    bool SaveTo(const QString& path);
    // Opens path in the session and switches the panels to its layout; gives back the file's
    // values, or nothing (shown) when the file could not be read whole, and then nothing changed.
    std::optional<IniFile> LoadFrom(const QString& path);
    // The open file's name as the status bar shows it, "Untitled.ckd" for none.
    QString FileName() const;
    // Starts a helper program or opens a document through the platform; failure is shown when
    // nothing could be started.
    void Launch(const char* verb, const std::filesystem::path& file, const std::vector<std::string>& arguments,
                const QString& failure);

    EditorSession m_session;
    // The session's document, to read.
    const KeypadDocument& m_document;
    Platform& m_platform;
    Prompts& m_prompts;
    WorkingFolders m_folders;
    // Set while the view is redrawn: the level controls' change events are the program's own.
    bool m_refreshing = false;
    // Context of the level controls' connections. A member goes before the window's widgets do, so
    // a description box that loses the focus while the window is torn down commits nothing here.
    QObject m_levelConnections;

    // One layout switch must not run inside another (the layout buttons change state in one).
    bool m_switchingLayout = false;
    bool m_saveAsCompleted = false;
    QString m_openDialogFileName;
    QString m_saveDialogFileName = QStringLiteral("untitled.ckd");
    bool m_closed = false;
    // The client area holding every panel, in the scroll area that is the central widget, and
    // the window's size when it shows the client area whole.
    QScrollArea* m_scroller = nullptr;
    // The held modifier keys each level's line under the grid names.
    std::array<ModifierState, 2> m_heldLineShows{};
    // Whether the running command is a key typed into a grid.
    bool m_typingCommand = false;
    QWidget* m_client = nullptr;
    QSize m_fullSize;
    std::vector<CatalogueEntry> m_foundCodes;
};

} // namespace keyloom
