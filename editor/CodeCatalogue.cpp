#include "editor/CodeCatalogue.h"


#include "document/CellList.h"
#include "document/KeypadDocument.h"
#include "document/Protocol.h"
#include "editor/OnScreenKeyboard.h"
#include "editor/RecordingMenus.h"
#include "gui/Controls.h"
#include "keys/TagCodeTable.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

namespace keyloom {

namespace {

// The bytes the slider's codes and a double click record, as the window's handlers record them:
// a delay is E2 01 and its count, a double click its button's Tag + 1000.
constexpr int kDoubleClickTags = 1000;

using Bytes = std::vector<uint8_t>;

Bytes TagBytes(int tag) {
    const std::span<const uint8_t> codes = TagCodes(tag);
    return Bytes(codes.begin(), codes.end());
}

// Names and code texts as the grid shows them, rendered by the grid's own rendering.
class CellNames {
public:
    void add(const Bytes& bytes, CodeSearchEntry& entry) {
        std::span<uint8_t> level = m_document.keys[0].codes(Level::One);
        std::fill(level.begin(), level.end(), 0);
        std::copy(bytes.begin(), bytes.end(), level.begin());
        m_cells.RenderLevel(m_document, 0, Level::One);
        std::string codeText;
        for (const MacroCell& cell : m_cells.cells()) {
            if (cell.byteCount == 0)
                continue;
            if (!cell.name.empty() && std::find(entry.names.begin(), entry.names.end(), cell.name) == entry.names.end())
                entry.names.push_back(cell.name);
            if (!codeText.empty())
                codeText += ' ';
            codeText += cell.codeText;
        }
        entry.codeTexts.push_back(codeText);
    }

private:
    KeypadDocument m_document;
    CellList m_cells;
};

QString Caption(QString text) { return text.replace(QStringLiteral("&&"), QStringLiteral("&")).simplified(); }

} // namespace

std::vector<CatalogueEntry> CodeCatalogue(const OnScreenKeyboard& panel) {
    const auto slider = static_cast<uint8_t>(panel.TrackBar1->value());
    const Bytes delay{kDevicePrefix, kDelayCommand, slider};
    CellNames cellNames;
    std::vector<CatalogueEntry> entries;
    const auto add = [&](QObject* control, const QString& caption, const QString& place,
                         std::vector<QString> otherNames, const std::vector<Bytes>& codes) {
        CatalogueEntry& entry = entries.emplace_back(CatalogueEntry{control, caption, place, {}});
        otherNames.insert(otherNames.begin(), caption);
        for (const QString& name : otherNames)
            entry.search.names.push_back(name.toStdString());
        for (const Bytes& bytes : codes)
            cellNames.add(bytes, entry.search);
    };

    const QString keyboard = QStringLiteral("Keyboard");
    for (const OnScreenKeyboard::Key& key : panel.keys) {
        QPushButton* button = key.button;
        const int tag = TagOf(button);
        const QString name = button->accessibleName();
        const QString caption = Caption(button->text());
        switch (key.handler) {
        case KeyHandler::Keyboard:
            if (!TagCodes(tag).empty())
                add(button, name, keyboard, {caption}, {TagBytes(tag)});
            break;
        case KeyHandler::Modifier: {
            // Its press or its release, as the macro holds it at the insertion point.
            const std::array<uint8_t, 4> release = ModifierReleaseCodes(tag);
            add(button, name, keyboard, {caption},
                {TagBytes(tag), Bytes(release.begin(), std::find(release.begin(), release.end(), 0))});
            break;
        }
        case KeyHandler::Delay:
            add(button, QStringLiteral("Delay = %1 ms").arg(4 * slider), keyboard, {caption}, {delay});
            break;
        case KeyHandler::Media:
        case KeyHandler::Mouse:
        case KeyHandler::More:
        case KeyHandler::Led1:
        case KeyHandler::Led2:
        case KeyHandler::Led3: break;
        }
    }

    const RecordingMenus& menus = panel.menus;
    const auto placeOf = [&](const QAction* action) -> const QPushButton* {
        const auto* menu = qobject_cast<const QMenu*>(action->parent());
        if (menu == menus.menuMedia)
            return panel.keyMedia;
        if (menu == menus.menuMore)
            return panel.keyMore;
        if (menu == menus.menuMouse)
            return panel.keyMouse;
        const auto led = std::find(menus.menuLED.begin(), menus.menuLED.end(), menu);
        return led != menus.menuLED.end() ? panel.keyLED[static_cast<std::size_t>(led - menus.menuLED.begin())]
                                          : nullptr;
    };
    for (const RecordingMenus::Item& item : menus.items) {
        QAction* action = item.action;
        const QPushButton* button = placeOf(action);
        // An LED menu is offered only with its button: the 24-key keypad has one LED.
        if (button == nullptr || button->isHidden())
            continue;
        const int tag = TagOf(action);
        QString caption = Caption(action->text());
        std::vector<Bytes> codes;
        switch (item.handler) {
        case MenuHandler::Keyboard: codes = {TagBytes(tag)}; break;
        case MenuHandler::MouseButton:
            if (tag < kDoubleClickTags) {
                codes = {TagBytes(tag)};
            } else {
                Bytes twice = TagBytes(tag - kDoubleClickTags);
                twice.insert(twice.end(), delay.begin(), delay.end());
                const Bytes click = TagBytes(tag - kDoubleClickTags);
                twice.insert(twice.end(), click.begin(), click.end());
                codes = {twice};
            }
            break;
        case MenuHandler::MouseMove:
            caption.replace(QStringLiteral("<value>"), QString::number(slider));
            codes = {Bytes{static_cast<uint8_t>(tag), slider}};
            break;
        }
        add(action, caption, button->accessibleName(), {}, codes);
    }
    return entries;
}

QString CatalogueRow(const CatalogueEntry& entry) {
    QStringList codes;
    for (const std::string& code : entry.search.codeTexts)
        codes.push_back(QString::fromStdString(code));
    return QStringLiteral("%1  \u2013  %2  \u2013  %3").arg(entry.caption, codes.join(QStringLiteral(" / ")), entry.place);
}

} // namespace keyloom
