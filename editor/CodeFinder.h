#pragma once

#include <QObject>
#include <QStringList>

class QLineEdit;
class QListWidget;
class QWidget;

namespace keyloom {

// The search field over the recordable codes and the list of its matches, which opens under it
// over whatever lies there (the field may sit in a toolbar's layout; the list stays a child of
// the parent given, kept inside it). The field keeps the focus while the list is open: Up and Down choose
// a row, Enter takes it (the first row when none is chosen), Escape closes the list; a click on
// a row takes it too. What a query matches and what taking a row does are the window's.
class CodeFinder : public QObject {
    Q_OBJECT
public:
    // The field and its list become children of parent.
    explicit CodeFinder(QWidget* parent);

    // The list's width and the most rows it shows at once.
    void setListSize(int width, int rows);
    // Fills the list with rows and opens it, or closes it when there are none.
    void showMatches(const QStringList& rows);
    void closeList();

    QLineEdit* edFindCode = nullptr;
    QListWidget* listboxFoundCodes = nullptr;

signals:
    // The user took a row of the list.
    void chosen(int row);
    // Escape in the field: the list is closed and the field is done with.
    void dismissed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_parent;
    int m_rows = 0;
};

} // namespace keyloom
