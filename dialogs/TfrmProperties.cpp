#include "dialogs/TfrmProperties.h"

#include "gui/Controls.h"
#include "gui/DesignUnits.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSpinBox>

namespace keyloom {

namespace {

// The LED mode of a list is the position of its item.
constexpr const char* kLedModes[] = {
    "Not Used", "Caps Lock", "Num Lock", "Level Indicator", "Host/Macro Control", "Power Indicator", "Scroll Lock",
};

struct LedPlace {
    QGroupBox* TfrmProperties::*group;
    QListWidget* TfrmProperties::*list;
    const char* groupName;
    const char* listName;
    const char* caption;
    int left;
};

constexpr int kWidth = 480;
constexpr int kLedTop = 108;
constexpr int kLedWidth = 150;
constexpr int kLedHeight = 168;

constexpr LedPlace kLedPlaces[] = {
    {&TfrmProperties::gboxLED1, &TfrmProperties::listboxLed1, "gboxLED1", "listboxLed1", "LED 1 Mode", 8},
    {&TfrmProperties::gboxLED2, &TfrmProperties::listboxLed2, "gboxLED2", "listboxLed2", "LED 2 Mode*", 165},
    {&TfrmProperties::gboxLED3, &TfrmProperties::listboxLed3, "gboxLED3", "listboxLed3", "LED 3 Mode*", 322},
};

struct DeviceTypePlace {
    QRadioButton* TfrmProperties::*button;
    const char* name;
    const char* caption;
    int32_t tag;
    QRect geometry;
};

const DeviceTypePlace kDeviceTypePlaces[] = {
    {&TfrmProperties::rbK1, "rbK1", "Basic Keyboard", TfrmProperties::kBasicKeyboard, QRect(12, 22, 180, 20)},
    {&TfrmProperties::rbK2, "rbK2", "Multimedia Keyboard", TfrmProperties::kMultimediaKeyboard,
     QRect(12, 46, 180, 20)},
    {&TfrmProperties::rbKbm, "rbKbm", "Multimedia Keyboard-", TfrmProperties::kMultimediaKeyboardMouse,
     QRect(240, 22, 200, 20)},
};

// A spin box under its question, inside its group.
QSpinBox* AddSpin(QGroupBox* group, const char* name, const char* question, int minimum, int maximum, int step) {
    auto* text = new QLabel(QString::fromLatin1(question), group);
    text->setWordWrap(true);
    text->setGeometry(10, 20, 208, 36);
    auto* spin = Named(new QSpinBox(group), name);
    spin->setRange(minimum, maximum);
    spin->setSingleStep(step);
    spin->setGeometry(10, 60, 70, 24);
    return spin;
}

void SelectLedMode(QListWidget* list, int32_t mode) {
    // A mode the list does not have (a hand-edited file) shows no item selected.
    if (mode >= 0 && mode < list->count()) {
        list->setCurrentRow(mode);
    } else {
        list->setCurrentRow(-1);
        list->clearSelection();
    }
}

} // namespace

TfrmProperties::TfrmProperties(KeypadDocument& document, QWidget* parent)
    : QDialog(parent), m_document(document) {
    setObjectName(QStringLiteral("frmProperties"));
    setWindowTitle(QStringLiteral("Keypad Properties"));
    // A tool window with a title and no border icons.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);

    gboxRollover = Named(new QGroupBox(QStringLiteral("Key Rollover"), this), "gboxRollover");
    gboxRollover->setGeometry(8, 8, 228, 92);
    spinRollover = AddSpin(gboxRollover, "spinRollover", "How many keys can be pressed down simultaneously?", 1, 16, 1);

    gbocCharPacing = Named(new QGroupBox(QStringLiteral("Character Pacing"), this), "gbocCharPacing");
    gbocCharPacing->setGeometry(244, 8, 228, 92);
    // The parameter is in steps of 2 ms; the box shows milliseconds.
    spinCharPacing = AddSpin(gbocCharPacing, "spinCharPacing", "Time between characters in miiliseconds:", 0, 20, 2);

    for (const LedPlace& place : kLedPlaces) {
        auto* group = Named(new QGroupBox(QString::fromLatin1(place.caption), this), place.groupName);
        group->setGeometry(place.left, kLedTop, kLedWidth, kLedHeight);
        auto* list = Named(new QListWidget(group), place.listName);
        for (const char* mode : kLedModes)
            list->addItem(QString::fromLatin1(mode));
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setGeometry(8, 22, kLedWidth - 16, kLedHeight - 30);
        this->*place.group = group;
        this->*place.list = list;
    }
    auto* note = Named(new QLabel(QStringLiteral("*LED2 and LED3 are a VK48 Option"), this), "lblLedNote");
    note->setGeometry(8, kLedTop + kLedHeight + 4, kWidth - 16, 18);

    gboxDeviceType = Named(new QGroupBox(QStringLiteral("USB Device Type"), this), "gboxDeviceType");
    gboxDeviceType->setGeometry(8, kLedTop + kLedHeight + 28, kWidth - 16, 78);
    for (const DeviceTypePlace& place : kDeviceTypePlaces) {
        auto* button = Named(new QRadioButton(QString::fromLatin1(place.caption), gboxDeviceType), place.name);
        SetTag(button, place.tag);
        button->setGeometry(place.geometry);
        this->*place.button = button;
        connect(button, &QRadioButton::clicked, this, [this, button] { DeviceTypeClick(button); });
    }
    // "Mouse" on the line below rbKbm, under its caption, so that the two read as one choice.
    lbKbm = Named(new QLabel(QStringLiteral("Mouse"), gboxDeviceType), "lbKbm");
    lbKbm->setGeometry(260, 44, 160, 20);
    lbKbm->setCursor(Qt::PointingHandCursor);
    lbKbm->installEventFilter(this);

    const int buttonTop = gboxDeviceType->geometry().bottom() + 10;
    btnOk = Named(new QPushButton(QStringLiteral("OK"), this), "btnOk");
    btnOk->setGeometry(kWidth - 176, buttonTop, 80, 26);
    btnOk->setDefault(true);
    btnCancel = Named(new QPushButton(QStringLiteral("Cancel"), this), "btnCancel");
    btnCancel->setGeometry(kWidth - 88, buttonTop, 80, 26);
    setFixedSize(kWidth, buttonTop + 26 + 8);
    ScaleForm(this, DesignUnits(font()));

    connect(btnOk, &QPushButton::clicked, this, &TfrmProperties::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmProperties::btnCancelClick);
    connect(spinRollover, &QSpinBox::valueChanged, this, [this] { ControlChange(Rollover); });
    connect(spinCharPacing, &QSpinBox::valueChanged, this, [this] { ControlChange(CharPacing); });
    connect(listboxLed1, &QListWidget::currentRowChanged, this, [this] { ControlChange(Led1); });
    connect(listboxLed2, &QListWidget::currentRowChanged, this, [this] { ControlChange(Led2); });
    connect(listboxLed3, &QListWidget::currentRowChanged, this, [this] { ControlChange(Led3); });
}

void TfrmProperties::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
    // Windows shows a tool window without activating it: the keys would stay with the main
    // window, and the caption drawn inactive, until the dialog is clicked. Once it is on screen,
    // it takes them as every other dialog does.
    QMetaObject::invokeMethod(this, [this] {
        if (isVisible())
            activateWindow();
    }, Qt::QueuedConnection);
}

bool TfrmProperties::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lbKbm && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        lbKbmClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmProperties::FormShow() {
    m_loading = true;
    m_changed = false;
    m_touched.fill(false);
    const KeypadSettings& settings = m_document.settings;
    spinRollover->setValue(settings.keyRollOver);
    spinCharPacing->setValue(2 * settings.characterPacing);
    SelectLedMode(listboxLed1, settings.ledFunction[0]);
    SelectLedMode(listboxLed2, settings.ledFunction[1]);
    SelectLedMode(listboxLed3, settings.ledFunction[2]);
    const bool wide = m_document.numberOfKeys == 48;
    gboxLED2->setEnabled(wide);
    gboxLED3->setEnabled(wide);
    m_pendingDeviceType = settings.usbDeviceType;
    // Any type other than the two others shows as "Multimedia Keyboard" and stays as it is
    // until a type is clicked.
    QRadioButton* selected = rbK2;
    if (m_pendingDeviceType == kBasicKeyboard)
        selected = rbK1;
    else if (m_pendingDeviceType == kMultimediaKeyboardMouse)
        selected = rbKbm;
    selected->setChecked(true);
    m_loading = false;
}

void TfrmProperties::ControlChange(Control control) {
    if (m_loading)
        return;
    m_changed = true;
    m_touched[control] = true;
}

void TfrmProperties::DeviceTypeClick(QRadioButton* button) {
    if (m_loading)
        return;
    const int32_t tag = TagOf(button);
    if (tag != m_pendingDeviceType) {
        m_pendingDeviceType = tag;
        m_changed = true;
    }
}

void TfrmProperties::lbKbmClick() {
    rbKbm->setChecked(true);
    DeviceTypeClick(rbKbm);
}

void TfrmProperties::btnOkClick() {
    if (m_changed) {
        KeypadSettings& settings = m_document.settings;
        if (m_touched[Rollover])
            settings.keyRollOver = spinRollover->value();
        if (m_touched[CharPacing])
            settings.characterPacing = spinCharPacing->value() / 2;
        QListWidget* const lists[] = {listboxLed1, listboxLed2, listboxLed3};
        for (int led = 0; led < 3; ++led) {
            if (m_touched[Led1 + led])
                settings.ledFunction[static_cast<std::size_t>(led)] = lists[led]->currentRow();
        }
        settings.usbDeviceType = m_pendingDeviceType;
        emit settingsWritten();
    }
    accept();
}

void TfrmProperties::btnCancelClick() { reject(); }

} // namespace keyloom
