#pragma once

#include <QWidget>

#include <array>
#include <functional>

class QAction;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;

namespace keyloom {

// The picture of the keypad: 48 latching key buttons in two panels of 4 x 6, the layout buttons
// and the key popup menu. It shows; TfrmMain decides.
class KeypadPanel : public QWidget {
    Q_OBJECT
public:
    explicit KeypadPanel(QWidget* parent = nullptr);

    // Places KeyPanel1, shows or hides KeyPanel2 and presses the matching layout button.
    void applyLayout(int numberOfKeys);
    // Writes the key's number and description on the picture of the button with this Tag, while
    // cboxKeyDescriptions is checked; keyCaption gives the description as shown (shortened), or
    // nothing while the captions are hidden.
    void showKeyCaption(int tag, int number, const QString& description);
    QString keyCaption(int tag) const;

    QWidget* KeyPanel1 = nullptr;
    QWidget* KeyPanel2 = nullptr;
    std::array<QPushButton*, 48> keys{}; // keys[t] is Key(t + 1), Tag t
    QButtonGroup* keyGroup = nullptr;    // exclusive: pressing one key releases the other
    QLabel* lblKeyLayout = nullptr;
    QPushButton* btn24Keys = nullptr;
    QPushButton* btn48Keys = nullptr;
    QLabel* lblKeyOptions = nullptr;
    QLabel* imgEraseKeypadLine = nullptr;
    QCheckBox* cboxKeyDescriptions = nullptr;

    QMenu* menuKeyType = nullptr;
    QAction* menuKeyNormal = nullptr; // data(): the key type 0, 1 or 2
    QAction* menuKeyShift = nullptr;
    QAction* menuKeyToggle = nullptr;
    QAction* mnuCopyKeyMacro = nullptr;
    QAction* mnuPasteKeyMacro = nullptr;

    // The tooltip of a key button, asked for when the tooltip shows: it follows the document.
    std::function<QString(const QPushButton*)> keyToolTip;

signals:
    void keyClicked(QPushButton* button);
    // A right mouse press on a key button, with the pointer's screen position.
    void keyRightPressed(QPushButton* button, QPoint globalPosition);

private:
    std::array<QWidget*, 48> m_captions{};
};

} // namespace keyloom
