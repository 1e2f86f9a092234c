#pragma once

#include "document/KeypadDocument.h"

#include <QDialog>

#include <array>
#include <cstdint>

class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace keyloom {

// The keypad-wide parameters: rollover, character pacing, the three LED modes and the USB
// device type. Works on the document directly; OK writes all six parameters together, and only
// when something was changed.
class TfrmProperties : public QDialog {
    Q_OBJECT
public:
    // Device types, by the Tag of their radio button.
    static constexpr int32_t kBasicKeyboard = 3;
    static constexpr int32_t kMultimediaKeyboard = 11;
    static constexpr int32_t kMultimediaKeyboardMouse = 12;

    explicit TfrmProperties(KeypadDocument& document, QWidget* parent = nullptr);

    // Fills the controls from the document; runs at every showing.
    void FormShow();
    // Closes with OK; writes the parameters first when something was changed.
    void btnOkClick();
    void btnCancelClick();
    // A click on one of the device type radio buttons, or on the "Mouse" label.
    void DeviceTypeClick(QRadioButton* button);
    void lbKbmClick();

    bool changed() const { return m_changed; }
    int32_t pendingDeviceType() const { return m_pendingDeviceType; }

    QGroupBox* gboxRollover = nullptr;
    QSpinBox* spinRollover = nullptr;
    QGroupBox* gbocCharPacing = nullptr;
    QSpinBox* spinCharPacing = nullptr;
    QGroupBox* gboxLED1 = nullptr;
    QListWidget* listboxLed1 = nullptr;
    QGroupBox* gboxLED2 = nullptr;
    QListWidget* listboxLed2 = nullptr;
    QGroupBox* gboxLED3 = nullptr;
    QListWidget* listboxLed3 = nullptr;
    QGroupBox* gboxDeviceType = nullptr;
    QRadioButton* rbK1 = nullptr;
    QRadioButton* rbK2 = nullptr;
    QRadioButton* rbKbm = nullptr;
    QLabel* lbKbm = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

signals:
    // OK wrote the parameters: the document is modified.
    void settingsWritten();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The controls in the order of m_touched.
    enum Control { Rollover, CharPacing, Led1, Led2, Led3, ControlCount };

    void ControlChange(Control control);

    KeypadDocument& m_document;
    bool m_loading = false;
    bool m_changed = false;
    int32_t m_pendingDeviceType = kMultimediaKeyboard;
    // Which controls the user changed since the showing. A hand-edited file may hold a value
    // that a control cannot show; OK writes such a value back as it was unless its control was
    // changed, so that changing one parameter never quietly rewrites another.
    std::array<bool, ControlCount> m_touched{};
};

} // namespace keyloom
