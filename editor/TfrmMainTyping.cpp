#include "editor/TfrmMain.h"

#include "editor/CodeFinder.h"
#include "editor/MacroGrid.h"
#include "editor/MacroTabs.h"
#include "keys/KeyAdapter.h"
#include "keys/Typing.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <optional>

namespace keyloom {

void TfrmMain::ConnectTyping() {
    for (const LevelControls& level : TabControl1->levels) {
        connect(level.StringGrid, &MacroGrid::keyDown, this, [this](QKeyEvent* event) {
            if (const std::optional<TypedKey> key = TypedKeyOf(*event))
                RunTypingCommand([this, key] { StringGridKeyDown(key->keyCode, key->character); });
        });
        connect(level.StringGrid, &MacroGrid::keyUp, this, [this](QKeyEvent* event) {
            if (const std::optional<TypedKey> key = TypedKeyOf(*event))
                RunTypingCommand([this, key] { StringGridKeyUp(key->keyCode); });
        });
    }
    // A Tab release is recorded wherever the focus is, and the press has usually moved the focus
    // on already. Releases are watched application-wide because a control may keep a release to
    // itself (an edit box does); each is taken once, where it is first delivered: to this window's
    // focus widget, or to the window itself when nothing has the focus. The code finder's field
    // records nothing: what is typed there is a query.
    new KeyAdapter(
        QCoreApplication::instance(), this, {},
        [this](TypedKey key) { RunTypingCommand([this, key] { FormKeyUp(key.keyCode); }, TypedDescription::Keep); },
        [this](const QObject* receiver) {
            const QWidget* first = QApplication::focusWidget();
            if (first == nullptr)
                first = this;
            return receiver == first && first->window() == this && first != codeFinder->edFindCode;
        });
}

void TfrmMain::StringGridKeyDown(int keyCode, int character) {
    const TypingStep step = GridKeyDownStep({keyCode, character});
    switch (step.effect) {
    case TypingEffect::Records:
        if (const std::optional<std::size_t> flag = TypingHeldFlag(step.tag))
            Render(m_session.TypeModifierDown(step.tag, *flag));
        else
            RecordTag(step.tag);
        return;
    case TypingEffect::ErasesBefore:
        if (m_session.selectedCell() > 0)
            Render(m_session.EraseBefore());
        return;
    case TypingEffect::MovesSelection: // the grid moves it itself
    case TypingEffect::RecordsModifier:
    case TypingEffect::NotRecorded:
        return;
    }
}

void TfrmMain::StringGridKeyUp(int keyCode) {
    const TypingStep step = GridKeyUpStep(keyCode);
    switch (step.effect) {
    case TypingEffect::RecordsModifier:
        Render(m_session.TypeModifierUp(step.tag, *TypingHeldFlag(step.tag)));
        return;
    case TypingEffect::Records:
        RecordTag(step.tag);
        return;
    case TypingEffect::MovesSelection:
        ShowModifierState();
        return;
    case TypingEffect::ErasesBefore:
    case TypingEffect::NotRecorded:
        return;
    }
}

void TfrmMain::FormKeyUp(int keyCode) {
    if (const TypingStep step = WindowKeyUpStep(keyCode); step.effect == TypingEffect::Records)
        RecordTag(step.tag);
}

} // namespace keyloom
