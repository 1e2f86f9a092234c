#pragma once

#include <QTableWidget>

#include <span>

namespace keyloom {

// A macro shown as 8 columns x 28 rows of read-only cells, one selected at a time. Cell n of a
// macro sits at row n / 8, column n % 8.
class MacroGrid : public QTableWidget {
    Q_OBJECT
public:
    static constexpr int kColumns = 8;
    static constexpr int kRows = 28;

    explicit MacroGrid(QWidget* parent = nullptr);

    // column + 8 x row of the selected cell.
    int selectedIndex() const;
    void selectIndex(int index);
    // Cell n shows texts[n], the cells after the last text none. The view hears of the changed
    // cells at once, as one range: a whole macro is written on every refresh.
    void setCellTexts(std::span<const QString> texts);
    QString cellText(int index) const;
    void clearTexts();
    // Marks cell index (-1: none) as the end of a macro that leaves modifier keys held down.
    void setHeldMark(int index);
    int heldMark() const { return m_heldMark; }

    // Home, End, Page Up, Page Down and the arrows: the keys that move the selection.
    static bool isNavigationKey(int qtKey);

signals:
    // Key events reach the window before the grid's own handling (typing records codes).
    void keyDown(QKeyEvent* event);
    void keyUp(QKeyEvent* event);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    int m_heldMark = -1;
};

} // namespace keyloom
