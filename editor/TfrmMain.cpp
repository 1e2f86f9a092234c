#include "editor/TfrmMain.h"

#include "editor/CodeFinder.h"
#include "editor/OnScreenKeyboard.h"
#include "editor/KeypadPanel.h"
#include "editor/MacroGrid.h"
#include "editor/MacroTabs.h"
#include "gui/Contrast.h"
#include "gui/Controls.h"
#include "gui/DesignUnits.h"
#include "gui/Prompts.h"
#include "gui/QtPaths.h"

#include <QAction>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QKeySequence>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>

#include <algorithm>
#include <exception>

namespace keyloom {

namespace {

constexpr int kMargin = 8;
constexpr int kToolIconSize = 32;
constexpr int kToolButtonWidth = 72;
constexpr int kBlankWidth = 16;
constexpr int kFinderWidth = 180;

// An icon drawn here, for a desktop that has neither a theme icon nor a style icon for a place.
QIcon DrawnIcon(QChar glyph, QColor colour) {
    QPixmap pixmap(kToolIconSize, kToolIconSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour.darker(150), 1.5));
    painter.setBrush(colour);
    painter.drawRoundedRect(QRectF(2.5, 2.5, kToolIconSize - 5, kToolIconSize - 5), 5, 5);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(kToolIconSize / 2);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QString(glyph));
    return QIcon(pixmap);
}

// A mark painted over a style icon where the style has no picture of its own for the place.
enum class Badge { None, Pencil, LinkArrow };

struct ToolPlace {
    QToolButton* TfrmMain::*button; // nullptr: a disabled blank
    const char* name;
    const char* caption;
    const char* tip;  // what the command does, for the tooltip
    const char* chord; // its keyboard way
    const char* themeIcon;
    const char* secondThemeIcon;
    QStyle::StandardPixmap styleIcon;
    Badge badge;
    char glyph;
    QRgb colour;
};

// The toolbar from left to right.
constexpr ToolPlace kToolPlaces[] = {
    {&TfrmMain::btnNew, "btnNew", "New", "Start a new key definition for the keypad", "Alt+N", "document-new",
     nullptr, QStyle::SP_FileIcon, Badge::None, 'N', 0xFF4A7FC1},
    {&TfrmMain::btnOpen, "btnOpen", "Open", "Open a key definition file (.ckd)", "Alt+O", "document-open", nullptr,
     QStyle::SP_DialogOpenButton, Badge::None, 'O', 0xFFC9A227},
    {&TfrmMain::btnSave, "btnSave", "Save", "Save the key definition file and its device image (.bin)", "Alt+S",
     "document-save", nullptr, QStyle::SP_DialogSaveButton, Badge::None, 'S', 0xFF3C8D5A},
    {&TfrmMain::btnSaveAs, "btnSaveAs", "Save As", "Save the key definition file under another name", "Alt+A",
     "document-save-as", nullptr, QStyle::SP_DialogSaveButton, Badge::Pencil, 'A', 0xFF3C8D5A},
    {nullptr, "", "", "", "", nullptr, nullptr, QStyle::SP_CustomBase, Badge::None, ' ', 0},
    {&TfrmMain::btnProperties, "btnProperties", "Properties",
     "The keypad's properties: key roll-over, LEDs, character pacing, USB device type", "Alt+P", "document-properties",
     nullptr, QStyle::SP_FileDialogDetailedView, Badge::None, 'P', 0xFF7A5BA6},
    {&TfrmMain::btnDownload, "btnDownload", "Download",
     "Save, then load the file into the keypad with the download utility", "Alt+D", "go-down", "download",
     QStyle::SP_ArrowDown, Badge::None, 'D', 0xFFC1554A},
    {&TfrmMain::btnTest, "btnTest", "Test", "Start the key test program: what the keypad's keys send", "Alt+T",
     "system-run", nullptr, QStyle::SP_MediaPlay, Badge::None, 'T', 0xFF4A9CA6},
    {nullptr, "", "", "", "", nullptr, nullptr, QStyle::SP_CustomBase, Badge::None, ' ', 0},
    {&TfrmMain::btnHelp, "btnHelp", "Help", "The manual and About", "Alt+H", "help-contents", nullptr,
     QStyle::SP_DialogHelpButton, Badge::None, '?', 0xFF4A7FC1},
    {&TfrmMain::btnLabels, "btnLabels", "Key Labels", "Open a keycap label template to fill in and print", "Alt+L",
     "x-office-document", "printer", QStyle::SP_FileDialogContentsView, Badge::None, 'L', 0xFF8A8A3C},
    {&TfrmMain::btnShortcut, "btnShortcut", "Shortcut",
     "Make a desktop shortcut, with a hot key, that loads a key definition file into the keypad", "Alt+W",
     "emblem-symbolic-link", nullptr, QStyle::SP_FileIcon, Badge::LinkArrow, 'K', 0xFF5A6F80},
    {nullptr, "", "", "", "", nullptr, nullptr, QStyle::SP_CustomBase, Badge::None, ' ', 0},
    // Alt+Backspace is the classic undo key, and Backspace without Alt still erases. Redo is not
    // Shift+Alt+Backspace: the Shift pressed on the way would be recorded, as every typed Shift is.
    {&TfrmMain::btnUndo, "btnUndo", "Undo", "Take back the last change to the document", "Alt+Backspace",
     "edit-undo", nullptr, QStyle::SP_ArrowBack, Badge::None, '<', 0xFF6A7F3C},
    {&TfrmMain::btnRedo, "btnRedo", "Redo", "Make the change last taken back again", "Alt+Y", "edit-redo", nullptr,
     QStyle::SP_ArrowForward, Badge::None, '>', 0xFF6A7F3C},
    {&TfrmMain::btnTypeText, "btnTypeText", "Type Text",
     "Type a whole text, such as an e-mail address, into the macro at the selected cell", "Alt+I", "insert-text",
     "accessories-text-editor", QStyle::SP_CustomBase, Badge::None, 'T', 0xFF3C7A8D},
    {nullptr, "", "", "", "", nullptr, nullptr, QStyle::SP_CustomBase, Badge::None, ' ', 0},
    {&TfrmMain::btnPrint, "btnPrint", "Print",
     "Save the keymap or the keycap labels, filled with the keys' descriptions, as a PDF to print", "Alt+X",
     "document-print", "printer", QStyle::SP_FileDialogListView, Badge::None, 'P', 0xFF6A5A8A},
};

void PaintBadge(QPainter& painter, Badge badge) {
    painter.setRenderHint(QPainter::Antialiasing);
    if (badge == Badge::Pencil) {
        // A pencil lying across the lower right corner, its point down to the left.
        painter.translate(24, 22);
        painter.rotate(45);
        painter.setPen(QPen(QColor(0x5a, 0x3d, 0x12), 1));
        painter.setBrush(QColor(0xf2, 0xb1, 0x34));
        painter.drawRect(QRectF(-3, -10, 6, 13));
        painter.setBrush(QColor(0xf4, 0xdd, 0xb0));
        painter.drawPolygon(QPolygonF({QPointF(-3, 3), QPointF(3, 3), QPointF(0, 9)}));
        painter.resetTransform();
    } else if (badge == Badge::LinkArrow) {
        // The shell's mark of a link: a curved arrow on a white square in the lower left corner.
        painter.setPen(QPen(QColor(0x70, 0x70, 0x70), 1));
        painter.setBrush(Qt::white);
        painter.drawRoundedRect(QRectF(1.5, 17.5, 14, 14), 2, 2);
        painter.setPen(QPen(QColor(0x1f, 0x4e, 0x9c), 2, Qt::SolidLine, Qt::RoundCap));
        painter.setBrush(Qt::NoBrush);
        QPainterPath curve(QPointF(5, 29));
        curve.quadTo(QPointF(5, 23), QPointF(11, 23));
        painter.drawPath(curve);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x1f, 0x4e, 0x9c));
        painter.drawPolygon(QPolygonF({QPointF(10, 19.5), QPointF(14.5, 23), QPointF(10, 26.5)}));
    }
}

// The desktop's own icon where its theme has one, else the style's, else one drawn here, so that
// every place always shows a picture of a toolbar's size. A theme's or style's picture that
// would not show on the toolbar's background (a dark glyph in a dark theme) counts as none.
QIcon ToolIcon(const ToolPlace& place, const QStyle* style, const QColor& background) {
    for (const char* name : {place.themeIcon, place.secondThemeIcon}) {
        if (name && QIcon::hasThemeIcon(QString::fromLatin1(name))) {
            const QIcon themed = QIcon::fromTheme(QString::fromLatin1(name));
            if (StandsOut(themed, kToolIconSize, background))
                return themed;
        }
    }
    const QIcon standard = style->standardIcon(place.styleIcon);
    const QList<QSize> sizes = standard.availableSizes();
    // An icon without listed sizes scales; a list of small pictures only would look lost.
    const bool fits = !standard.isNull() &&
                      (sizes.isEmpty() || std::any_of(sizes.begin(), sizes.end(), [](QSize size) {
                           return size.width() >= kToolIconSize * 3 / 4;
                       }));
    if (!fits || !StandsOut(standard, kToolIconSize, background))
        return DrawnIcon(QChar::fromLatin1(place.glyph), QColor::fromRgba(place.colour));
    if (place.badge == Badge::None)
        return standard;
    QPixmap pixmap(kToolIconSize, kToolIconSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    standard.paint(&painter, pixmap.rect());
    PaintBadge(painter, place.badge);
    painter.end();
    return QIcon(pixmap);
}

// The panels give themselves a fixed size; a panel that only hints at one gets its hint.
QSize PanelSize(const QWidget* panel) {
    if (panel->minimumSize() == panel->maximumSize() && !panel->minimumSize().isEmpty())
        return panel->minimumSize();
    return panel->sizeHint().expandedTo(panel->minimumSize());
}

} // namespace

TfrmMain::TfrmMain(KeypadDocument& document, Platform& platform, Prompts& prompts, const QStringList& arguments,
                   QWidget* parent)
    : QMainWindow(parent), m_session(document), m_document(m_session.document()), m_platform(platform),
      m_prompts(prompts) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Quorvane KeyloomVKxx"));
    // A picture of fixed hardware: minimise, but never maximise or resize.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    // The panels lie on one client area of fixed size; the scroll area around it shows scroll
    // bars only on a screen too small for the window (see FitToScreen).
    m_scroller = new QScrollArea(this);
    m_scroller->setObjectName(QStringLiteral("frmMainScroller"));
    m_scroller->setFrameShape(QFrame::NoFrame);
    m_scroller->setFocusPolicy(Qt::NoFocus);
    m_scroller->setAlignment(Qt::AlignCenter);
    auto* central = new QWidget;
    central->setObjectName(QStringLiteral("frmMainClient"));
    m_client = central;
    setCentralWidget(m_scroller);

    codeFinder = new CodeFinder(central);
    BuildToolbar();
    keypadPanel = new KeypadPanel(central);
    TabControl1 = new MacroTabs(central);
    // The finder lies beside the level tabs, over the grid it records into; the toolbar has no
    // room left for it in the window's width.
    // It sits in a box of its own: the tab widget sizes a corner by its size hint, which a line
    // edit does not take from a fixed width.
    auto* finderCorner = new QWidget;
    auto* finderRow = new QHBoxLayout(finderCorner);
    finderRow->setContentsMargins(0, 0, 2, 0);
    codeFinder->edFindCode->setFixedWidth(DesignUnits(font())(kFinderWidth));
    finderRow->addWidget(codeFinder->edFindCode);
    TabControl1->setCornerWidget(finderCorner, Qt::TopRightCorner);
    KeyboardPanel = new OnScreenKeyboard(central);
    BuildStatusBar();

    PlacePanels();

    ConnectPanels();
    ConnectRecording();
    ConnectLevels();
    ConnectTyping();
    ConnectDialogs();
    ConnectPrint();
    ConnectFinder();
    ConnectChords();
    FormCreate(arguments);

    m_scroller->setWidget(central);
    // Without scroll bars the scroll area wants exactly the client area.
    m_scroller->setMinimumSize(central->size());
    layout()->activate();
    m_fullSize = sizeHint();
    setFixedSize(m_fullSize);
    if (const QScreen* screen = this->screen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TfrmMain::FitToScreen(const QRect& available, const QMargins& frame) {
    const QRect area = available.marginsRemoved(frame);
    const QSize room = area.size();
    QRect placed(QPoint(), m_fullSize);
    if (m_fullSize.width() <= room.width() && m_fullSize.height() <= room.height()) {
        m_scroller->setMinimumSize(m_client->size());
        setFixedSize(m_fullSize);
    } else {
        // Too large for the screen: as large as the screen allows, scrolled to the rest, and
        // free to be resized up to the whole window.
        m_scroller->setMinimumSize(0, 0);
        setMinimumSize(0, 0);
        setMaximumSize(m_fullSize);
        placed.setSize(m_fullSize.boundedTo(room));
        resize(placed.size());
    }
    // Centred, but never with the title bar off the top or the left edge off the screen.
    placed.moveCenter(area.center());
    placed.moveTopLeft(QPoint(std::max(placed.left(), area.left()), std::max(placed.top(), area.top())));
    // A window is moved by its frame's corner.
    move(placed.topLeft() - QPoint(frame.left(), frame.top()));
}

void TfrmMain::FitToScreen() {
    const QScreen* screen = this->screen();
    if (screen == nullptr)
        return;
    // Before its first showing the window does not know its frame: allow for a title bar and
    // borders of the style's size.
    const int title = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    const int border = style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, this);
    FitToScreen(screen->availableGeometry(), QMargins(border, title + border, border, border));
}

// Closing is FormClose's; a window destroyed without being closed (a test, or the end of the
// event loop) asks nothing and writes nothing.
TfrmMain::~TfrmMain() = default;

void TfrmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // Only the window's own showing; a restore from the task bar keeps the focus where it was.
    if (!event->spontaneous())
        RunCommand([this] { FormShow(); });
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    RunCommand([this] { FormClose(); });
    event->accept();
}

void TfrmMain::PlacePanels() {
    // Toolbar on top; the keypad with the macro tabs beside it; the keyboard across the bottom.
    const QSize keypad = PanelSize(keypadPanel);
    const QSize tabs = PanelSize(TabControl1);
    const QSize keyboard = PanelSize(KeyboardPanel);
    const int toolbarHeight = MenuPanel->sizeHint().height();
    const int width = std::max({keypad.width() + kMargin + tabs.width(), keyboard.width(),
                                MenuPanel->sizeHint().width() - 2 * kMargin}) +
                      2 * kMargin;
    const int rowTop = toolbarHeight + kMargin;
    const int rowHeight = std::max(keypad.height(), tabs.height());
    const int keyboardTop = rowTop + rowHeight + kMargin;
    MenuPanel->setGeometry(0, 0, width, toolbarHeight);
    auto* toolbarEdge = new QFrame(m_client);
    toolbarEdge->setFrameShape(QFrame::HLine);
    toolbarEdge->setFrameShadow(QFrame::Sunken);
    toolbarEdge->setGeometry(0, toolbarHeight, width, 2);
    keypadPanel->setGeometry(QRect(QPoint(kMargin, rowTop), keypad));
    TabControl1->setGeometry(QRect(QPoint(width - kMargin - tabs.width(), rowTop), tabs));
    KeyboardPanel->setGeometry(QRect(QPoint((width - keyboard.width()) / 2, keyboardTop), keyboard));
    m_client->setFixedSize(width, keyboardTop + keyboard.height() + kMargin);
    SizeFinderList();
}

void TfrmMain::RunCommand(const std::function<void()>& command, TypedDescription typedDescription) {
    // Nothing may unwind into the event loop: what a command did not handle itself is shown.
    const auto run = [this](const std::function<void()>& step, bool typed) {
        m_session.BeginStep(typed);
        try {
            step();
        } catch (const std::exception& error) {
            m_prompts.error(QString::fromStdString(error.what()));
        }
        m_session.EndStep();
    };
    // A description is confirmed by Enter or by leaving its box, but buttons that take no focus
    // act while it is still being typed: it is stored first, as a step of its own, so that undo
    // takes back the command and the description one at a time. The keys typed into the box
    // themselves do not confirm it.
    if (typedDescription == TypedDescription::Store)
        run([this] { StoreEditedDescription(); }, false);
    run(command, m_typingCommand);
    ShowDocumentState();
}

void TfrmMain::RunTypingCommand(const std::function<void()>& command, TypedDescription typedDescription) {
    m_typingCommand = true;
    RunCommand(command, typedDescription);
    m_typingCommand = false;
}

void TfrmMain::ShowDocumentState() {
    btnUndo->setEnabled(m_session.canUndo());
    btnRedo->setEnabled(m_session.canRedo());
    const QString name = FileName();
    if (lblFilename->text() != name)
        lblFilename->setText(name);
    const QString modified = m_session.modified() ? QStringLiteral("Modified") : QString();
    if (lblModified->text() != modified)
        lblModified->setText(modified);
}

QString TfrmMain::FileName() const {
    const std::optional<std::filesystem::path>& path = m_session.path();
    return path ? ToQString(*path) : QString::fromLatin1(kUntitled);
}

void TfrmMain::Undo() { Render(m_session.Undo()); }

void TfrmMain::Redo() { Render(m_session.Redo()); }

bool TfrmMain::Render(const SessionChange& change) {
    if (change.allKeys) {
        for (int keyIndex = 0; keyIndex < m_document.numberOfKeys; ++keyIndex)
            DescribeKey(keyIndex);
    }
    if (change.level || change.selection) {
        ShowSelection();
        if (change.level)
            RefreshMacroView();
        {
            const QSignalBlocker blocker(CurrentGrid());
            CurrentGrid()->selectIndex(m_session.selectedCell());
        }
        ShowModifierState();
    }
    ShowDocumentState();
    if (!change.warning.empty())
        m_prompts.warning(QString::fromStdString(change.warning));
    // A refusal changes nothing, the focus included.
    const bool refused = !change.warning.empty() && !change.level && !change.selection && !change.allKeys;
    if (!refused)
        FocusCurrentGrid();
    return !refused;
}

void TfrmMain::ShowSelection() {
    // The button list is in the panel's order, which is not the keys' order with 48 keys.
    if (QPushButton* button = ButtonOfKeyIndex(m_session.selectedKey()); button && !button->isChecked())
        button->setChecked(true);
    if (TabControl1->currentIndex() != m_session.selectedLevel()) {
        const QSignalBlocker blocker(TabControl1);
        TabControl1->setCurrentIndex(m_session.selectedLevel());
    }
}

std::function<void()> TfrmMain::Command(std::function<void()> handler) {
    return [this, handler = std::move(handler)] { RunCommand(handler); };
}

std::function<void()> TfrmMain::Command(void (TfrmMain::*handler)()) {
    return Command([this, handler] { (this->*handler)(); });
}

void TfrmMain::BuildToolbar() {
    MenuPanel = new QWidget(m_client);
    MenuPanel->setObjectName(QStringLiteral("MenuPanel"));
    auto* row = new QHBoxLayout(MenuPanel);
    row->setContentsMargins(kMargin, 4, kMargin, 4);
    row->setSpacing(2);
    const DesignUnits units(font());
    for (const ToolPlace& place : kToolPlaces) {
        auto* button = new QToolButton(MenuPanel);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setIconSize(QSize(kToolIconSize, kToolIconSize));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        if (!place.button) {
            button->setEnabled(false);
            button->setFixedWidth(units(kBlankWidth));
        } else {
            button->setObjectName(QString::fromLatin1(place.name));
            button->setText(QString::fromLatin1(place.caption));
            button->setToolTip(QStringLiteral("%1 (%2): %3")
                                   .arg(QString::fromLatin1(place.caption), QString::fromLatin1(place.chord),
                                        QString::fromLatin1(place.tip)));
            button->setAccessibleName(QString::fromLatin1(place.caption));
            button->setAccessibleDescription(QString::fromLatin1(place.tip));
            button->setShortcut(QKeySequence(QString::fromLatin1(place.chord)));
            button->setIcon(ToolIcon(place, style(), button->palette().color(QPalette::Window)));
            button->setFixedWidth(units(kToolButtonWidth));
            this->*place.button = button;
        }
        row->addWidget(button);
    }
    row->addStretch(1);
}

void TfrmMain::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(false);
    lblFilename = new QLabel(QString::fromLatin1(kUntitled), bar);
    lblFilename->setObjectName(QStringLiteral("lblFilename"));
    lblModified = new QLabel(bar);
    lblModified->setObjectName(QStringLiteral("lblModified"));
    lblModified->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblFilename->setContentsMargins(kMargin / 2, 0, 0, 0);
    lblModified->setContentsMargins(0, 0, kMargin / 2, 0);
    // Its size is set before any layout pass, so that "Saving..." shows during the save itself,
    // and is fixed, so that marking a change does not lay out the window again.
    FixSizeForTexts(lblModified, {QStringLiteral("Modified"), QStringLiteral("Saving...")});
    bar->addWidget(lblFilename, 1);
    bar->addPermanentWidget(lblModified);
}

void TfrmMain::ConnectPanels() {
    connect(btnNew, &QToolButton::clicked, this, Command(&TfrmMain::btnNewClick));
    connect(btnOpen, &QToolButton::clicked, this, Command(&TfrmMain::btnOpenClick));
    connect(btnSave, &QToolButton::clicked, this, Command(&TfrmMain::btnSaveClick));
    connect(btnSaveAs, &QToolButton::clicked, this, Command(&TfrmMain::btnSaveAsClick));
    connect(btnDownload, &QToolButton::clicked, this, Command(&TfrmMain::btnDownloadClick));
    connect(btnUndo, &QToolButton::clicked, this, Command(&TfrmMain::Undo));
    connect(btnRedo, &QToolButton::clicked, this, Command(&TfrmMain::Redo));
    ShowDocumentState();

    connect(keypadPanel, &KeypadPanel::keyClicked, this,
            [this](QPushButton* button) { RunCommand([this, button] { KeypadClick(button); }); });
    connect(keypadPanel, &KeypadPanel::keyRightPressed, this, [this](QPushButton* button, QPoint position) {
        RunCommand([this, button, position] { KeypadMouseDown(button, position); });
    });
    keypadPanel->keyToolTip = [this](const QPushButton* button) {
        const int keyIndex = KeyIndexOfButton(button);
        return keyIndex >= 0 && keyIndex < m_document.numberOfKeys ? KeyDescription(keyIndex) : QString();
    };
    connect(keypadPanel->btn24Keys, &QPushButton::clicked, this, Command(&TfrmMain::btn24KeysClick));
    connect(keypadPanel->btn48Keys, &QPushButton::clicked, this, Command(&TfrmMain::btn48KeysClick));
    connect(keypadPanel->menuKeyType, &QMenu::aboutToShow, this, Command(&TfrmMain::menuKeyTypePopup));
    for (QAction* item : {keypadPanel->menuKeyNormal, keypadPanel->menuKeyShift, keypadPanel->menuKeyToggle}) {
        connect(item, &QAction::triggered, this, Command([this, item] { menuKeyTypeClick(item->data().toInt()); }));
    }
    connect(keypadPanel->mnuCopyKeyMacro, &QAction::triggered, this, Command(&TfrmMain::mnuCopyKeyMacroClick));
    connect(keypadPanel->mnuPasteKeyMacro, &QAction::triggered, this, Command(&TfrmMain::mnuPasteKeyMacroClick));

    // A change of tab by the user (mouse or keyboard) selects its level. The window turns the tab
    // itself only after the session selected the level, so its own turn runs nothing.
    connect(TabControl1, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == m_session.selectedLevel())
            return;
        RunCommand([this, index] { tabLevelClick(index); });
    });
    // The grid is where the user picks a cell, with the pointer or the keys; the session keeps it.
    for (const LevelControls& level : TabControl1->levels) {
        MacroGrid* grid = level.StringGrid;
        connect(grid, &QTableWidget::currentCellChanged, this, [this, grid] {
            if (grid == CurrentGrid())
                m_session.SelectCell(grid->selectedIndex());
        });
        connect(grid, &QTableWidget::cellClicked, this, Command(&TfrmMain::ShowModifierState));
    }
}

} // namespace keyloom
