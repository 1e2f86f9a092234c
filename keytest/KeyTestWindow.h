#pragma once

#include "keytest/KeyStroke.h"

#include <QWidget>

class QKeyEvent;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace keyloom {

// The key test window: every key press and release it receives, listed with what typing it into
// the editor's grid does (the codes recorded and their names, or what happens instead), a running
// count, and a Clear button. Its controls take no
// focus, so every key (Tab and Space too) reaches the window instead of moving or clicking.
class KeyTestWindow final : public QWidget {
    Q_OBJECT

public:
    explicit KeyTestWindow(QWidget* parent = nullptr);

    // The number of events listed since the last Clear.
    int count() const { return m_count; }

protected:
    bool event(QEvent* event) override;

private:
    void createControls();
    void addStroke(const QKeyEvent& event, const KeyStroke& stroke);
    void clear();
    void showCount();

    QLabel* m_instructions = nullptr;
    QTreeWidget* m_strokes = nullptr;
    QLabel* m_countLabel = nullptr;
    QPushButton* m_clearButton = nullptr;
    int m_count = 0;
    // The modifiers and Caps Lock as the listed strokes left them; Clear keeps them, since the
    // keys are still held.
    ModifierState m_modifiers = 0;
};

} // namespace keyloom
