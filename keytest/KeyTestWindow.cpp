#include "keytest/KeyTestWindow.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace keyloom {

namespace {

enum Column { kNumberColumn, kKeyColumn, kEventColumn, kCodesColumn, kNamesColumn, kColumnCount };

// The modifier keys as their keycaps and the editor's on-screen keyboard name them: Qt would call
// the Windows key "Meta" and has no printable name for AltGr.
QString ModifierKeyName(int key) {
    switch (key) {
    case Qt::Key_Shift: return QStringLiteral("Shift");
    case Qt::Key_Control: return QStringLiteral("Ctrl");
    case Qt::Key_Alt: return QStringLiteral("Alt");
    case Qt::Key_AltGr: return QStringLiteral("AltGr");
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R: return QStringLiteral("Win");
    default: return {};
    }
}

QString KeyName(const QKeyEvent& event) {
    const int key = event.key();
    if (const QString name = ModifierKeyName(key); !name.isEmpty())
        return name;
    if (key == 0 || key == Qt::Key_unknown)
        return event.text().isEmpty() ? QStringLiteral("Unknown key") : event.text();
    // The keypad modifier names the keypad's own keys ("Num+1").
    const QKeyCombination combination(event.modifiers() & Qt::KeypadModifier, Qt::Key(key));
    return QKeySequence(combination).toString(QKeySequence::NativeText);
}

QString NamesText(const std::vector<std::string>& names) {
    QStringList texts;
    for (const std::string& name : names)
        texts << QString::fromStdString(name);
    return texts.join(QStringLiteral(", "));
}

} // namespace

KeyTestWindow::KeyTestWindow(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("KeyloomVKxx Key Test"));
    setObjectName(QStringLiteral("KeyTestWindow"));
    setFocusPolicy(Qt::StrongFocus);
    createControls();
    showCount();
    resize(760, 440);
}

void KeyTestWindow::createControls() {
    m_instructions = new QLabel(
        QStringLiteral("Press keys on the keypad or the keyboard. Each press and release is listed with "
                       "what typing it into the editor's macro grid does: the codes it records, or what "
                       "happens instead."),
        this);
    m_instructions->setObjectName(QStringLiteral("lblInstructions"));
    m_instructions->setWordWrap(true);

    m_strokes = new QTreeWidget(this);
    m_strokes->setObjectName(QStringLiteral("lstStrokes"));
    m_strokes->setFocusPolicy(Qt::NoFocus);
    m_strokes->setRootIsDecorated(false);
    m_strokes->setUniformRowHeights(true);
    m_strokes->setColumnCount(kColumnCount);
    m_strokes->setHeaderLabels({QStringLiteral("#"), QStringLiteral("Key"), QStringLiteral("Event"),
                                QStringLiteral("Codes"), QStringLiteral("Names")});
    m_strokes->header()->setStretchLastSection(true);
    m_strokes->setColumnWidth(kNumberColumn, 50);
    m_strokes->setColumnWidth(kKeyColumn, 110);
    m_strokes->setColumnWidth(kEventColumn, 70);
    // Wide enough for every action and for the longest code of one key (Pause's eight bytes).
    const QFontMetrics metrics = m_strokes->fontMetrics();
    int codesWidth = metrics.horizontalAdvance(QStringLiteral("e1 14 77 e1 f0 14 f0 77"));
    for (const std::string& action : KeyStrokeActions())
        codesWidth = std::max(codesWidth, metrics.horizontalAdvance(QString::fromStdString(action)));
    const int margins = 2 * (m_strokes->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_strokes) + 1);
    m_strokes->setColumnWidth(kCodesColumn, codesWidth + margins + metrics.averageCharWidth());

    m_countLabel = new QLabel(this);
    m_countLabel->setObjectName(QStringLiteral("lblCount"));
    m_clearButton = new QPushButton(QStringLiteral("Clear"), this);
    m_clearButton->setObjectName(QStringLiteral("btnClear"));
    m_clearButton->setFocusPolicy(Qt::NoFocus);
    connect(m_clearButton, &QPushButton::clicked, this, &KeyTestWindow::clear);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_countLabel, 1);
    bottom->addWidget(m_clearButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_instructions);
    layout->addWidget(m_strokes, 1);
    layout->addLayout(bottom);
}

bool KeyTestWindow::event(QEvent* event) {
    // Taken before QWidget::event, which would move the focus on Tab.
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        const auto& keyEvent = *static_cast<QKeyEvent*>(event);
        if (const std::optional<KeyStroke> stroke = KeyStrokeOf(keyEvent, m_modifiers))
            addStroke(keyEvent, *stroke);
        return true;
    }
    return QWidget::event(event);
}

void KeyTestWindow::addStroke(const QKeyEvent& event, const KeyStroke& stroke) {
    m_modifiers = stroke.modifiersAfter;
    ++m_count;
    auto* row = new QTreeWidgetItem(m_strokes);
    row->setText(kNumberColumn, QString::number(m_count));
    row->setText(kKeyColumn, KeyName(event));
    row->setText(kEventColumn, stroke.press ? QStringLiteral("Press") : QStringLiteral("Release"));
    row->setText(kCodesColumn, QString::fromStdString(stroke.recorded() ? HexText(stroke.codes) : stroke.action));
    row->setText(kNamesColumn, NamesText(stroke.names));
    m_strokes->scrollToItem(row);
    showCount();
}

void KeyTestWindow::clear() {
    m_strokes->clear();
    m_count = 0;
    showCount();
}

void KeyTestWindow::showCount() { m_countLabel->setText(QStringLiteral("Events: %1").arg(m_count)); }

} // namespace keyloom
