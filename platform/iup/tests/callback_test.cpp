// Callback dispatch: each element kind calls its callbacks with its own
// handle and the arguments its callback name promises, when the user acts
// (a click, a key, a choice, the close box, a timer tick), and honours what
// the callback returns: IUP_IGNORE refuses the action, IUP_DEFAULT lets it
// happen, IUP_CONTINUE passes a key on to the parents, IUP_CLOSE ends the
// main loop.
#include <QCoreApplication>
#include <QTimer>
#include <QWidget>

#include <cctype>
#include <ostream>
#include <string>
#include <vector>

#include "iupQt.h"
#include "iupTestApp.h"
#include "waitUntil.h"

namespace {

struct Call {
    Ihandle* who;
    std::string args;
};
std::vector<Call> calls;
int reply = IUP_DEFAULT;

int record(Ihandle* ih)
{
    calls.push_back({ih, ""});
    return reply;
}

int recordInt(Ihandle* ih, int value)
{
    calls.push_back({ih, std::to_string(value)});
    return reply;
}

int recordEdit(Ihandle* ih, int c, char* after)
{
    calls.push_back({ih, std::to_string(c) + " " + after});
    return reply;
}

int recordChoice(Ihandle* ih, char* text, int item, int state)
{
    calls.push_back(
        {ih, std::string(text) + " " + std::to_string(item) + " " + std::to_string(state)});
    return reply;
}

enum class Fire { CLICK, TYPE_A, SELECT_SECOND, CLOSE_BOX, SHOW, TIMER_TICK, CTRL_N };

struct CallbackCase {
    const char* what;
    const char* kind;
    const char* callback;
    Icallback function;
    Fire fire;
    int returned;
    const char* args;        // the arguments after the handle, as recorded
    const char* effectName;  // attribute read from the element afterwards (nullptr: none)
    const char* effectValue;
};

Icallback cb(int (*f)(Ihandle*)) { return f; }
template <typename... Args>
Icallback cb(int (*f)(Ihandle*, Args...))
{
    return iupCallbackCast(f);
}

const CallbackCase CALLBACK_CASES[] = {
    {"button click", "button", "ACTION", cb(record), Fire::CLICK, IUP_DEFAULT, "", nullptr,
     nullptr},
    {"toggle click gives the new state", "toggle", "ACTION", cb(recordInt), Fire::CLICK,
     IUP_DEFAULT, "1", "VALUE", "ON"},
    {"toggle click reports the change", "toggle", "VALUECHANGED_CB", cb(record), Fire::CLICK,
     IUP_DEFAULT, "", "VALUE", "ON"},
    {"text edit accepted", "text", "ACTION", cb(recordEdit), Fire::TYPE_A, IUP_DEFAULT, "0 a",
     "VALUE", "a"},
    {"text edit refused", "text", "ACTION", cb(recordEdit), Fire::TYPE_A, IUP_IGNORE, "0 a",
     "VALUE", ""},
    {"text edit reported", "text", "VALUECHANGED_CB", cb(record), Fire::TYPE_A, IUP_DEFAULT, "",
     "VALUE", "a"},
    {"list choice", "list", "ACTION", cb(recordChoice), Fire::SELECT_SECOND, IUP_DEFAULT,
     "GaAs 2 1", "VALUE", "2"},
    {"menu item chosen", "item", "ACTION", cb(record), Fire::CLICK, IUP_DEFAULT, "", nullptr,
     nullptr},
    {"auto-toggle item switches before its action", "autotoggle", "ACTION", cb(record), Fire::CLICK,
     IUP_DEFAULT, "", "VALUE", "ON"},
    {"close box kept open", "dialog", "CLOSE_CB", cb(record), Fire::CLOSE_BOX, IUP_IGNORE, "",
     "VISIBLE", "YES"},
    {"close box closes", "dialog", "CLOSE_CB", cb(record), Fire::CLOSE_BOX, IUP_DEFAULT, "",
     "VISIBLE", "NO"},
    {"dialog shown", "dialog", "SHOW_CB", cb(recordInt), Fire::SHOW, IUP_DEFAULT, "0", "VISIBLE",
     "YES"},
    {"dialog key binding", "dialog", "K_cN", cb(record), Fire::CTRL_N, IUP_DEFAULT, "", nullptr,
     nullptr},
    {"timer keeps running", "timer", "ACTION_CB", cb(record), Fire::TIMER_TICK, IUP_DEFAULT, "",
     "RUN", "YES"},
    {"timer stopped by its action", "timer", "ACTION_CB", cb(record), Fire::TIMER_TICK, IUP_CLOSE,
     "", "RUN", "NO"},
};

void PrintTo(const CallbackCase& c, std::ostream* os) { *os << c.what; }

class CallbackTest : public ::testing::TestWithParam<CallbackCase> {
protected:
    void SetUp() override
    {
        calls.clear();
        reply = IUP_DEFAULT;
        IupScriptBegin();
    }
    void TearDown() override
    {
        if (element != nullptr && element != dialog) {
            IupDestroy(element);
        }
        if (dialog != nullptr) {
            IupDestroy(dialog);
        }
        EXPECT_EQ(IupScriptEnd(), 0);
        IupFlush();
    }

    // The element of the case, inside a shown dialog when it is a control;
    // the field is where keys are typed.
    Ihandle* make(const std::string& kind)
    {
        field = IupText(nullptr);
        Ihandle* control = nullptr;
        if (kind == "button") {
            control = IupButton("Run", nullptr);
        } else if (kind == "toggle") {
            control = IupToggle("Light", nullptr);
        } else if (kind == "text") {
            control = field;
        } else if (kind == "list") {
            control = IupList(nullptr);
            IupSetAttributes(control, "1=Si, 2=GaAs");
        }
        dialog = IupDialog(control != nullptr && control != field ? IupVbox(field, control, nullptr)
                                                                  : IupVbox(field, nullptr));
        if (kind == "dialog") {
            return dialog;
        }
        if (kind != "timer" && kind != "item" && kind != "autotoggle") {
            IupShow(dialog);
            IupFlush();
            return control;
        }
        if (kind == "timer") {
            Ihandle* timer = IupTimer();
            IupSetAttribute(timer, "TIME", "1");
            return timer;
        }
        Ihandle* item = IupItem("Line Numbers", nullptr);
        if (kind == "autotoggle") {
            IupSetAttributes(item, "AUTOTOGGLE=YES, VALUE=OFF");
        }
        return item;
    }

    void fire(Fire how)
    {
        switch (how) {
        case Fire::CLICK: IupTestClick(element); break;
        case Fire::TYPE_A: IupTestKey(element, 'a'); break;
        case Fire::SELECT_SECOND: IupTestSelect(element, 2); break;
        case Fire::CLOSE_BOX:
            IupShow(element);
            IupFlush();
            iupWidget(element)->close();
            break;
        case Fire::SHOW: IupShow(element); break;
        case Fire::CTRL_N:
            IupShow(dialog);
            IupFlush();
            IupTestKey(field, K_cN);
            break;
        case Fire::TIMER_TICK: {
            IupSetAttribute(element, "RUN", "YES");
            waitUntil([&] {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
                return !calls.empty();
            });
            break;
        }
        }
        IupFlush();
    }

    Ihandle* dialog = nullptr;
    Ihandle* field = nullptr;
    Ihandle* element = nullptr;
};

TEST_P(CallbackTest, RunsWithTheElementAndHonoursTheReturnCode)
{
    const CallbackCase& c = GetParam();
    element = make(c.kind);
    IupSetCallback(element, c.callback, c.function);
    EXPECT_EQ(IupGetCallback(element, c.callback), c.function);
    reply = c.returned;
    fire(c.fire);
    ASSERT_GE(calls.size(), 1u);
    if (c.fire != Fire::TIMER_TICK) {
        EXPECT_EQ(calls.size(), 1u) << "one action, one call";
    }
    EXPECT_EQ(calls[0].who, element) << "called with its own handle";
    EXPECT_EQ(calls[0].args, c.args);
    if (c.effectName != nullptr) {
        const char* value = IupGetAttribute(element, c.effectName);
        EXPECT_STREQ(value != nullptr ? value : "", c.effectValue);
    }
    if (c.kind == std::string("timer")) {
        IupSetAttribute(element, "RUN", "NO");
    }
}

INSTANTIATE_TEST_SUITE_P(Dispatch, CallbackTest, ::testing::ValuesIn(CALLBACK_CASES),
                         [](const ::testing::TestParamInfo<CallbackCase>& info) {
                             std::string name;
                             for (const char* p = info.param.what; *p != '\0'; ++p) {
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             }
                             return name;
                         });

// A key goes to the field's K_ANY first; the reply decides whether the
// field takes it and whether the dialog's K_ANY sees it too.
struct KeyCase {
    int fieldReply;
    bool fieldTakesTheKey;
    bool dialogSeesTheKey;
};

const KeyCase KEY_CASES[] = {
    {IUP_DEFAULT, true, false},
    {IUP_CONTINUE, true, true},
    {IUP_IGNORE, false, false},
    {IUP_CLOSE, false, false},
};

int fieldReply = IUP_DEFAULT;

int fieldKey(Ihandle* ih, int code)
{
    calls.push_back({ih, std::to_string(code)});
    return fieldReply;
}

int dialogKey(Ihandle* ih, int code)
{
    calls.push_back({ih, std::to_string(code)});
    return IUP_DEFAULT;
}

TEST(KeyDispatch, TheFieldReplyDecidesWhoElseSeesTheKey)
{
    for (const KeyCase& c : KEY_CASES) {
        SCOPED_TRACE(c.fieldReply);
        calls.clear();
        fieldReply = c.fieldReply;
        Ihandle* field = IupText(nullptr);
        Ihandle* dialog = IupDialog(IupVbox(field, nullptr));
        IupSetCallback(field, "K_ANY", fieldKey);
        IupSetCallback(dialog, "K_ANY", dialogKey);
        IupShow(dialog);
        IupFlush();
        IupTestKey(field, 'a');
        IupFlush();
        ASSERT_GE(calls.size(), 1u);
        EXPECT_EQ(calls[0].who, field);
        EXPECT_EQ(calls[0].args, std::to_string('a'));
        EXPECT_STREQ(IupGetAttribute(field, "VALUE"), c.fieldTakesTheKey ? "a" : "");
        const bool dialogSaw = calls.size() == 2 && calls[1].who == dialog;
        EXPECT_EQ(dialogSaw, c.dialogSeesTheKey);
        EXPECT_LE(calls.size(), 2u);
        IupDestroy(dialog);
        IupFlush();
    }
}

// IUP_CLOSE from any callback ends the main loop the program is waiting in.
TEST(MainLoop, ACallbackReturningCloseEndsIt)
{
    calls.clear();
    reply = IUP_CLOSE;
    Ihandle* button = IupButton("Quit", nullptr);
    Ihandle* dialog = IupDialog(IupVbox(button, nullptr));
    IupSetCallback(button, "ACTION", record);
    IupShow(dialog);
    QTimer::singleShot(0, [button] { IupTestClick(button); });
    // A loop that never ends would hang the test: a guard ends it and the
    // call count tells.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { IupExitLoop(); });
    guard.start(5000);
    IupMainLoop();
    EXPECT_TRUE(guard.isActive()) << "the loop ended by the callback, not by the guard";
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].who, button);
    IupDestroy(dialog);
    IupFlush();
    reply = IUP_DEFAULT;
}

// A constructor's action name binds the function registered under it.
TEST(NamedFunctions, AConstructorActionNameBindsTheRegisteredFunction)
{
    calls.clear();
    EXPECT_EQ(IupSetFunction("T_OnRun", record), nullptr);
    EXPECT_EQ(IupGetFunction("T_OnRun"), record);
    Ihandle* button = IupButton("Run", "T_OnRun");
    Ihandle* dialog = IupDialog(IupVbox(button, nullptr));
    IupShow(dialog);
    IupTestClick(button);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].who, button);
    EXPECT_EQ(IupSetFunction("T_OnRun", nullptr), record) << "returns the function it replaced";
    EXPECT_EQ(IupGetFunction("T_OnRun"), nullptr);
    IupDestroy(dialog);
    IupFlush();
}

}  // namespace
