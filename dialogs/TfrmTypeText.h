#pragma once

#include "keys/TypedText.h"

#include <QDialog>

#include <functional>

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace keyloom {

// Types a whole text into a macro: shows, while the text is written, the cells it becomes, the
// bytes it takes against the room left and the characters no key types; Insert hands the codes
// to the window that records them.
class TfrmTypeText : public QDialog {
    Q_OBJECT
public:
    // Records the text's codes at the macro's insertion point; false when they were refused, and
    // the dialog then stays open so that the text can be shortened.
    using Recorder = std::function<bool(const TypedText&)>;

    TfrmTypeText(int bytesLeft, Recorder record, QWidget* parent = nullptr);

    const TypedText& typed() const { return m_typed; }

    void edTextChange();
    void btnInsertClick();

    QLabel* lblText = nullptr;
    QPlainTextEdit* edText = nullptr;
    QLabel* lblCodes = nullptr;
    QListWidget* listboxCodes = nullptr;
    QLabel* lblRoom = nullptr;
    QLabel* lblUntypable = nullptr;
    QPushButton* btnInsert = nullptr;
    QPushButton* btnCancel = nullptr;

private:
    void ShowCodes();

    int m_bytesLeft;
    // The height of a row of cells in the codes view.
    int m_cellHeight = 0;
    Recorder m_record;
    TypedText m_typed;
};

} // namespace keyloom
