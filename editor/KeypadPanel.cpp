#include "editor/KeypadPanel.h"

#include "document/KeypadGeometry.h"
#include "gui/Controls.h"
#include "gui/DesignUnits.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QToolTip>
#include <QVariant>

namespace keyloom {

namespace {

constexpr int kKeyButtons = 48;
constexpr QSize kKeyPanelSize{keypad::kPanelWidth, keypad::kPanelHeight};

constexpr int kPanelTop = 26;
constexpr int kPanel1Left24 = 88;
constexpr int kPanel1Left48 = 18;
// The specified panel ends under lblKeyOptions, at 262; the descriptions' check box lies below.
constexpr QSize kPanelSize{316, 286};
constexpr int kCaptionPixels = 8; // the key's number and description, in design units

struct MenuItem {
    const char* name;
    int keyType;
    const char* text;
};

// The three key types, their Tags being the key type they set. The texts keep their spacing.
constexpr MenuItem kKeyTypeItems[] = {
    {"menuKeyNormal", 0, "Normal key   -- Not a Shift or Toggle key"},
    {"menuKeyShift", 1, "Level Shift     -- Will cause the keypad to switch levels while held down."},
    {"menuKeyToggle", 2, "Level Toggle -- Will cause the keypad to switch levels after key is released."},
};

// The two layout buttons read as one rocker switch: each is rounded on its outer side only. The
// switch has colours of its own, light with dark text, in light and dark themes alike.
constexpr const char* kLayoutButtonStyle =
    "QPushButton { border: 1px solid #6e6e6e; background: #f4f4f4; color: #101010; padding: 0; %1 }"
    "QPushButton:checked { background: #8fb8de; }"
    "QPushButton:hover:!checked { background: #e2eaf2; }";

QFont PointFont(const QWidget* widget, int points) {
    QFont font = widget->font();
    font.setPointSize(points);
    return font;
}

// Right presses on the key buttons (the buttons themselves only answer the left button), and
// their tooltips.
class KeyEventFilter final : public QObject {
public:
    explicit KeyEventFilter(KeypadPanel* panel) : QObject(panel), m_panel(panel) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ToolTip && m_panel->keyToolTip) {
            if (auto* key = qobject_cast<QPushButton*>(watched)) {
                QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), m_panel->keyToolTip(key), key);
                return true;
            }
        }
        if (event->type() == QEvent::MouseButtonPress) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::RightButton) {
                if (auto* key = qobject_cast<QPushButton*>(watched)) {
                    emit m_panel->keyRightPressed(key, mouse->globalPosition().toPoint());
                    return true;
                }
            }
        }
        return false;
    }

private:
    KeypadPanel* m_panel;
};

// What a key does, written on its picture: its number in the top left corner and its
// description, shortened to the key's width, along the bottom edge; the key type's letter keeps
// the middle. It lets every mouse event through to the key.
class KeyCaption final : public QWidget {
public:
    explicit KeyCaption(QPushButton* key) : QWidget(key), m_key(key) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        QFont small = key->parentWidget()->font();
        small.setPixelSize(DesignUnits(small)(kCaptionPixels));
        setFont(small);
        setGeometry(key->rect());
    }

    void show(int number, const QString& description) {
        const QString shortened =
            fontMetrics().elidedText(description.simplified(), Qt::ElideRight, width() - 4);
        if (number == m_number && shortened == m_shown)
            return;
        m_number = number;
        m_shown = shortened;
        update();
    }
    const QString& shown() const { return m_shown; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(m_key->palette().color(QPalette::ButtonText));
        const QRect inside = rect().adjusted(2, 1, -2, -1);
        painter.drawText(inside, Qt::AlignLeft | Qt::AlignTop, QString::number(m_number));
        painter.drawText(inside, Qt::AlignHCenter | Qt::AlignBottom, m_shown);
    }

private:
    QPushButton* m_key;
    int m_number = 0;
    QString m_shown;
};

QWidget* MakeKeyPanel(QWidget* parent, const char* name) {
    auto* panel = new QWidget(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFixedSize(DesignUnits(parent->font())(kKeyPanelSize));
    // The body of the keypad: the seam between the two panels is painted over when both show.
    panel->setAttribute(Qt::WA_StyledBackground);
    panel->setStyleSheet(QStringLiteral("#%1 { background: #3c3f44; border: 1px solid #1f2124; }")
                             .arg(QString::fromLatin1(name)));
    return panel;
}

} // namespace

KeypadPanel::KeypadPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("keypadPanel"));
    const DesignUnits units(font());
    setFixedSize(units(kPanelSize));

    lblKeyLayout = new QLabel(QStringLiteral("Key Layout:"), this);
    lblKeyLayout->setObjectName(QStringLiteral("lblKeyLayout"));
    lblKeyLayout->setGeometry(units(QRect(88, 3, 80, 18)));
    lblKeyLayout->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* layoutGroup = new QButtonGroup(this);
    auto makeLayoutButton = [&](const char* name, const char* caption, int left, const char* corners) {
        auto* button = new QPushButton(QString::fromLatin1(caption), this);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(units(QRect(left, 3, 28, 18)));
        button->setFont(PointFont(this, 11));
        button->setCheckable(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setStyleSheet(QString::fromLatin1(kLayoutButtonStyle).arg(QString::fromLatin1(corners)));
        layoutGroup->addButton(button);
        return button;
    };
    btn24Keys = makeLayoutButton("btn24Keys", "24", 172,
                                 "border-top-left-radius: 7px; border-bottom-left-radius: 7px;");
    btn48Keys = makeLayoutButton("btn48Keys", "48", 199,
                                 "border-top-right-radius: 7px; border-bottom-right-radius: 7px;");
    btn24Keys->setChecked(true);
    btn24Keys->setToolTip(QStringLiteral("The 24-key keypad (VK24)"));
    btn48Keys->setToolTip(QStringLiteral("The 48-key keypad (VK48)"));

    KeyPanel1 = MakeKeyPanel(this, "KeyPanel1");
    KeyPanel2 = MakeKeyPanel(this, "KeyPanel2");

    auto* keyEvents = new KeyEventFilter(this);
    keyGroup = new QButtonGroup(this);
    keyGroup->setObjectName(QStringLiteral("Keys"));
    keyGroup->setExclusive(true);
    for (int tag = 0; tag < kKeyButtons; ++tag) {
        QWidget* panel = tag < keypad::kKeysPerPanel ? KeyPanel1 : KeyPanel2;
        const int number = tag % keypad::kKeysPerPanel;
        auto* key = new QPushButton(panel);
        key->setObjectName(QStringLiteral("Key%1").arg(tag + 1));
        SetTag(key, tag);
        key->setGeometry(units(QRect(keypad::ColumnLeft(number % keypad::kPanelColumns),
                                     keypad::RowTop(number / keypad::kPanelColumns), keypad::kKeySize,
                                     keypad::kKeySize)));
        key->setFont(PointFont(this, 14));
        key->setCheckable(true);
        // A key click must not take the focus: an unconfirmed description stays in its box and
        // is stored with the key being left.
        key->setFocusPolicy(Qt::NoFocus);
        key->installEventFilter(keyEvents);
        keyGroup->addButton(key, tag);
        connect(key, &QPushButton::clicked, this, [this, key] { emit keyClicked(key); });
        keys[static_cast<std::size_t>(tag)] = key;
        m_captions[static_cast<std::size_t>(tag)] = new KeyCaption(key);
    }
    keys[0]->setChecked(true);

    imgEraseKeypadLine = new QLabel(this);
    imgEraseKeypadLine->setObjectName(QStringLiteral("imgEraseKeypadLine"));
    imgEraseKeypadLine->setAutoFillBackground(true);
    QPalette seam = imgEraseKeypadLine->palette();
    seam.setColor(QPalette::Window, QColor(0x3c, 0x3f, 0x44));
    imgEraseKeypadLine->setPalette(seam);

    lblKeyOptions = new QLabel(QStringLiteral("Right-click to set key options."), this);
    lblKeyOptions->setObjectName(QStringLiteral("lblKeyOptions"));
    lblKeyOptions->setGeometry(units(QRect(0, kPanelTop + kKeyPanelSize.height() + 6, kPanelSize.width(), 20)));
    lblKeyOptions->setAlignment(Qt::AlignCenter);

    cboxKeyDescriptions = new QCheckBox(QStringLiteral("Show descriptions on keys"), this);
    cboxKeyDescriptions->setObjectName(QStringLiteral("cboxKeyDescriptions"));
    cboxKeyDescriptions->setGeometry(units(QRect(66, kPanelTop + kKeyPanelSize.height() + 28, 220, 20)));
    cboxKeyDescriptions->setChecked(true);
    cboxKeyDescriptions->setFocusPolicy(Qt::NoFocus);
    cboxKeyDescriptions->setToolTip(
        QStringLiteral("Show descriptions on keys (Alt+V): each key's number and Level 1 description on its picture"));
    cboxKeyDescriptions->setAccessibleName(QStringLiteral("Show descriptions on keys"));
    connect(cboxKeyDescriptions, &QCheckBox::toggled, this, [this](bool shown) {
        for (QWidget* caption : m_captions)
            caption->setVisible(shown);
    });

    menuKeyType = new QMenu(this);
    menuKeyType->setObjectName(QStringLiteral("menuKeyType"));
    QAction** typeActions[] = {&menuKeyNormal, &menuKeyShift, &menuKeyToggle};
    for (std::size_t i = 0; i < std::size(kKeyTypeItems); ++i) {
        QAction* action = menuKeyType->addAction(QString::fromLatin1(kKeyTypeItems[i].text));
        action->setObjectName(QString::fromLatin1(kKeyTypeItems[i].name));
        action->setData(kKeyTypeItems[i].keyType);
        SetTag(action, kKeyTypeItems[i].keyType);
        *typeActions[i] = action;
    }
    menuKeyType->addSeparator();
    mnuCopyKeyMacro = menuKeyType->addAction(QStringLiteral("Copy key macro data"));
    mnuCopyKeyMacro->setObjectName(QStringLiteral("mnuCopyKeyMacro"));
    mnuPasteKeyMacro = menuKeyType->addAction(QStringLiteral("Paste key macro data"));
    mnuPasteKeyMacro->setObjectName(QStringLiteral("mnuPasteKeyMacro"));

    applyLayout(24);
}

void KeypadPanel::showKeyCaption(int tag, int number, const QString& description) {
    static_cast<KeyCaption*>(m_captions[static_cast<std::size_t>(tag)])->show(number, description);
}

QString KeypadPanel::keyCaption(int tag) const {
    const auto* caption = static_cast<const KeyCaption*>(m_captions[static_cast<std::size_t>(tag)]);
    return caption->isVisibleTo(this) ? caption->shown() : QString();
}

void KeypadPanel::applyLayout(int numberOfKeys) {
    const bool wide = numberOfKeys == 48;
    const DesignUnits units(font());
    KeyPanel1->move(units(QPoint(wide ? kPanel1Left48 : kPanel1Left24, kPanelTop)));
    KeyPanel2->move(KeyPanel1->pos() + QPoint(KeyPanel1->width(), 0));
    KeyPanel2->setVisible(wide);
    imgEraseKeypadLine->setGeometry(KeyPanel2->x() - 1, KeyPanel2->y(), 3, KeyPanel2->height());
    imgEraseKeypadLine->setVisible(wide);
    imgEraseKeypadLine->raise();
    btn24Keys->setChecked(!wide);
    btn48Keys->setChecked(wide);
}

} // namespace keyloom
