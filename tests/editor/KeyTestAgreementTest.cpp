// KeyTest shows what the editor does with each key: the same events typed into the window and
// into KeyTest's list give the same bytes.
#include "EditorFixture.h"
#include "keytest/KeyStroke.h"

#include <QApplication>
#include <QKeyEvent>

namespace keyloom::test {
namespace {

struct Event {
    QEvent::Type type;
    int key;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    const char* text = "";
    bool autoRepeat = false;
    quint32 nativeKey = 0; // an X11 key symbol, where the key needs one
};

constexpr QEvent::Type kDown = QEvent::KeyPress;
constexpr QEvent::Type kUp = QEvent::KeyRelease;

struct AgreementCase {
    const char* name;
    std::vector<Event> events;
};
void PrintTo(const AgreementCase& c, std::ostream* out) { *out << c.name; }

class KeyTestAgreement : public EditorFixture, public ::testing::WithParamInterface<AgreementCase> {
protected:
    void SetUp() override {
        Start();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        ShowKey(0, 0);
    }
};

TEST_P(KeyTestAgreement, KeyTestListsTheBytesTheEditorRecords) {
    Bytes listed;
    ModifierState held = 0;
    for (const Event& e : GetParam().events) {
        const QKeyEvent event(e.type, e.key, e.modifiers, 0, e.nativeKey, 0, QString::fromLatin1(e.text),
                              e.autoRepeat);
        if (const std::optional<KeyStroke> stroke = KeyStrokeOf(event, held)) {
            listed.insert(listed.end(), stroke->codes.begin(), stroke->codes.end());
            held = stroke->modifiersAfter;
        }
        // As a keyboard delivers it: to whatever has the focus now (Tab moves it on).
        QKeyEvent typed(e.type, e.key, e.modifiers, 0, e.nativeKey, 0, QString::fromLatin1(e.text), e.autoRepeat);
        QApplication::sendEvent(QApplication::focusWidget(), &typed);
    }
    EXPECT_EQ(CodesOf(0, Level::One), listed);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyTestAgreement,
    ::testing::Values(
        AgreementCase{"Letters", {{kDown, Qt::Key_A, {}, "a"}, {kUp, Qt::Key_A, {}, "a"}, {kDown, Qt::Key_B, {}, "b"},
                                  {kUp, Qt::Key_B, {}, "b"}}},
        AgreementCase{"ShiftHeldWithRepeats",
                      {{kDown, Qt::Key_Shift}, {kDown, Qt::Key_Shift, Qt::ShiftModifier, "", true},
                       {kDown, Qt::Key_A, Qt::ShiftModifier, "A"}, {kUp, Qt::Key_A, Qt::ShiftModifier, "A"},
                       {kUp, Qt::Key_Shift, Qt::ShiftModifier}}},
        AgreementCase{"CtrlC", {{kDown, Qt::Key_Control}, {kDown, Qt::Key_C, Qt::ControlModifier, "\x03"},
                                {kUp, Qt::Key_C, Qt::ControlModifier, "\x03"},
                                {kUp, Qt::Key_Control, Qt::ControlModifier}}},
        AgreementCase{"AltAndAltGr", {{kDown, Qt::Key_Alt}, {kUp, Qt::Key_Alt, Qt::AltModifier},
                                      {kDown, Qt::Key_AltGr}, {kUp, Qt::Key_AltGr}}},
        AgreementCase{"NavigationKeys", {{kDown, Qt::Key_A, {}, "a"}, {kDown, Qt::Key_Left}, {kUp, Qt::Key_Left},
                                         {kDown, Qt::Key_Home, Qt::KeypadModifier},
                                         {kUp, Qt::Key_Home, Qt::KeypadModifier}, {kDown, Qt::Key_End},
                                         {kUp, Qt::Key_End}}},
        AgreementCase{"TabOnItsRelease", {{kDown, Qt::Key_Tab, {}, "\t"}, {kUp, Qt::Key_Tab, {}, "\t"}}},
        AgreementCase{"CapsLock", {{kDown, Qt::Key_CapsLock}, {kUp, Qt::Key_CapsLock}, {kDown, Qt::Key_A, {}, "A"},
                                   {kUp, Qt::Key_A, {}, "A"}}},
        AgreementCase{"PrintScreenAndMenu", {{kDown, Qt::Key_Print}, {kUp, Qt::Key_Print}, {kDown, Qt::Key_Menu},
                                             {kUp, Qt::Key_Menu}}},
        AgreementCase{"KeypadFunctionAndEditingKeys",
                      {{kDown, Qt::Key_1, Qt::KeypadModifier, "1"}, {kUp, Qt::Key_1, Qt::KeypadModifier, "1"},
                       {kDown, Qt::Key_F5}, {kUp, Qt::Key_F5}, {kDown, Qt::Key_Delete, {}, "\x7f"},
                       {kUp, Qt::Key_Delete, {}, "\x7f"}, {kDown, Qt::Key_Return, {}, "\r"},
                       {kUp, Qt::Key_Return, {}, "\r"}, {kDown, Qt::Key_Pause}, {kUp, Qt::Key_Pause}}}
#ifndef Q_OS_WIN
        ,
        AgreementCase{"WindowsKeysByTheirKeySymbols",
                      {{kDown, Qt::Key_Meta, {}, "", false, 0xffec}, {kUp, Qt::Key_Meta, {}, "", false, 0xffec},
                       {kDown, Qt::Key_Meta, {}, "", false, 0xffeb}, {kUp, Qt::Key_Meta, {}, "", false, 0xffeb}}}
#endif
        ),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace keyloom::test
