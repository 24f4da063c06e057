// The Contacts dialog: the frame's fields bound to the anode's or the
// cathode's records, the type and boundary lists, the contact list and the
// contact's index model.
#include "DialogTestSupport.h"

#include <fstream>
#include "kovraHandles.h"

namespace {

const DialogDescription& C = ContactDialog;

Contact* anode(Device* device) { return device->anode; }

std::string contactText(Contact* contact, const char* key)
{
    char text[PARAM_VALUE_SIZE] = "";
    Contact_getValueText(contact, key, text);
    return text;
}

void chooseContact(int number)
{
    Ihandle* list = IupGetHandle(KOV_WindowContact_ContactList);
    IupSetInt(list, "VALUE", number);
    auto action = reinterpret_cast<int (*)(Ihandle*, char*, int, int)>(
        reinterpret_cast<void (*)()>(IupGetCallback(list, "ACTION")));
    action(list, IupGetAttribute(list, "VALUESTRING"), number, 1);
}

class ContactTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        IupSetInt(nullptr, KOV_WindowContact_Selected, 1);
    }
};

// (field, text) -> the anode's record, modified flag, refusal words.
struct ContactCase {
    const char* word;
    const char* key;
    const char* text;
    const char* stored;   // null: unchanged
    const char* refusal;  // null: taken
};

TEST_F(ContactTest, TableOfEntries)
{
    ASSERT_EQ(Device_setVariable(device(), "$phi", "4.1"), 1);
    const ContactCase cases[] = {
        {"Thickness", "Anode.Thickness", "0.05", "0.05", nullptr},
        {"Phi", "Anode.Phi", "$phi", "$phi", nullptr},
        {"Rn", "Anode.Rn", "2*5e4", "2*5e4", nullptr},
        {"Rp", "Anode.Rp", "1e3", "1000", nullptr},
        {"n", "Anode.Index.n", "2.1", "2.1", nullptr},
        {"k", "Anode.Index.k", "0.3", "0.3", nullptr},
        {"Rp", "Anode.Rp", "-5", nullptr, "Rp (cm/s): invalid value"},
        {"n", "Anode.Index.n", "abc", nullptr, "n: invalid expression for Anode.Index.n"},
        {"Phi", "Anode.Phi", "$nowhere", nullptr, "Phi (eV):"},
        {"Thickness", "Anode.Thickness", "5000", nullptr, "Thickness (um): invalid value"},
    };
    for (const ContactCase& c : cases) {
        SCOPED_TRACE(std::string(c.word) + " <- " + c.text);
        const std::string before = contactText(anode(device()), c.key);
        Document_setModified(document(), 0);
        WindowContact_show();
        type(C, c.word, c.text);
        click(C, "OK");
        if (c.refusal == nullptr) {
            EXPECT_FALSE(Dialog_isOpen(&C));
            EXPECT_EQ(contactText(anode(device()), c.key), c.stored);
            EXPECT_TRUE(Document_isModified(document()));
        } else {
            EXPECT_TRUE(Dialog_isOpen(&C)) << "a refused value keeps the dialog open";
            EXPECT_EQ(contactText(anode(device()), c.key), before);
            EXPECT_NE(message(C).find(c.refusal), std::string::npos) << message(C);
            EXPECT_EQ(value(ctl(C, c.word)), c.text) << "the refused text stays";
            EXPECT_FALSE(Document_isModified(document()));
            Dialog_close(&C);
        }
    }
}

// The cathode's velocities take what the engine runs: 0 (which the engine
// refuses) and 1e9 are refused in the dialog with the engine's range, the
// limits themselves are stored.
TEST_F(ContactTest, CathodeVelocitiesAreRefusedWithTheEnginesRange)
{
    Contact* c = device()->cathode;
    const struct {
        const char* text;
        double stored;  // 0: refused
    } cases[] = {{"0", 0}, {"1e9", 0}, {"1e-4", 1e-4}, {"1e8", 1e8}};
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.text);
        const ParamRecord* rn = Contact_findParam(c, "Cathode.Rn");
        const double before = rn->value.real;
        WindowContact_show();
        chooseContact(2);
        type(C, "Rn", entry.text);
        click(C, "OK");
        if (entry.stored != 0) {
            EXPECT_FALSE(Dialog_isOpen(&C));
            EXPECT_EQ(rn->value.real, entry.stored);
            continue;
        }
        EXPECT_TRUE(Dialog_isOpen(&C));
        EXPECT_EQ(rn->value.real, before);
        EXPECT_NE(message(C).find("accepted: from 0.0001 to 1e+08 cm/s"), std::string::npos)
            << message(C);
        Dialog_close(&C);
    }
}

TEST_F(ContactTest, TypeAndBoundaryShowOnlyExactWordsAndStoreThem)
{
    Contact* a = anode(device());
    ASSERT_EQ(Param_setValueText(Contact_findParam(a, "Anode.Type"), "schottky", "", 0), 1);
    ASSERT_EQ(Param_setValueText(Contact_findParam(a, "Anode.Boundary"), "Whatever", "", 0), 1);
    Document_setModified(document(), 0);
    WindowContact_show();
    EXPECT_EQ(IupGetInt(ctl(C, "TypeList"), "VALUE"), 1) << "only \"Schottky\" is Schottky";
    EXPECT_EQ(IupGetInt(ctl(C, "ContactBoundary"), "VALUE"), 2)
        << "anything but \"Neumann\" is Dirichlet";
    click(C, "Apply");
    EXPECT_EQ(contactText(a, "Anode.Type"), "Ohmic");
    EXPECT_EQ(contactText(a, "Anode.Boundary"), "Dirichlet");
    EXPECT_TRUE(Document_isModified(document()));

    Document_setModified(document(), 0);
    IupSetInt(ctl(C, "TypeList"), "VALUE", 2);
    click(C, "OK");
    EXPECT_EQ(contactText(a, "Anode.Type"), "Schottky");
    EXPECT_EQ(a->schottky, CONTACT_SCHOTTKY);
    EXPECT_EQ(a->color[0], ContactColors[1][0]);
    EXPECT_TRUE(Document_isModified(document()));
}

TEST_F(ContactTest, SwitchingContactStoresIntoTheOldOneAndIsRemembered)
{
    Contact* a = anode(device());
    Contact* c = device()->cathode;
    WindowContact_show();
    type(C, "Phi", "4.7");
    chooseContact(2);
    EXPECT_EQ(contactText(a, "Anode.Phi"), "4.7");
    EXPECT_EQ(value(ctl(C, "Phi")), contactText(c, "Cathode.Phi"));
    EXPECT_EQ(reinterpret_cast<ParamRecord*>(IupGetAttribute(ctl(C, "Phi"), KOV_Record)),
              Contact_findParam(c, "Cathode.Phi"));
    EXPECT_EQ(IupGetInt(nullptr, KOV_WindowContact_Selected), 2);

    type(C, "Rn", "-1");
    chooseContact(1);
    EXPECT_EQ(IupGetInt(ctl(C, "ContactList"), KOV_WindowContact_Selected), 2) << "a refusal stays";
    EXPECT_EQ(IupGetInt(ctl(C, "ContactList"), "VALUE"), 2);
    EXPECT_NE(message(C).find("Rn (cm/s)"), std::string::npos) << message(C);

    closeBox(C);
    WindowContact_show();
    EXPECT_EQ(IupGetInt(ctl(C, "ContactList"), "VALUE"), 2)
        << "opens again on the contact last shown";
    EXPECT_EQ(value(ctl(C, "Rn")), contactText(c, "Cathode.Rn"))
        << "the close box dropped the typed text";
}

class ContactModelTest : public ContactTest {
protected:
    void SetUp() override
    {
        ContactTest::SetUp();
        folder =
            std::string(KOVRA_BIN_DIR) + "/../dialog-contact-" + std::to_string(::getpid()) + "/";
        QDir().mkpath(QString::fromStdString(folder));
        std::ofstream(folder + "cell.kovra") << "# Kovra\n";
        std::ofstream(folder + "ito.lua") << "--\n";
        Document_setFilename(document(), (folder + "cell.kovra").c_str());
    }
    void TearDown() override
    {
        QDir(QString::fromStdString(folder)).removeRecursively();
        ContactTest::TearDown();
    }
    std::string model() { return contactText(anode(device()), "Anode.Index.Model"); }
    std::string folder;
};

TEST_F(ContactModelTest, ModelGovernsTheIndexAndCancelChangesNothing)
{
    WindowContact_show();
    const std::string n = value(ctl(C, "n"));
    IupScriptAnswer("Select contact index model?", "YES");
    IupScriptAnswer(nullptr, "");
    click(C, "Model");
    EXPECT_EQ(model(), "None") << "a cancelled file choice changes nothing";
    EXPECT_FALSE(Document_isModified(document()));

    IupScriptAnswer("Select contact index model?", "YES");
    IupScriptAnswer(nullptr, (folder + "ito.lua").c_str());
    click(C, "Model");
    EXPECT_EQ(model(), "ito.lua");
    EXPECT_TRUE(Document_isModified(document()));
    EXPECT_EQ(std::string(IupGetAttribute(ctl(C, "Model"), "TITLE")), "Model*...");
    EXPECT_EQ(value(ctl(C, "n")), "Model");
    EXPECT_EQ(IupGetInt(ctl(C, "k"), "ACTIVE"), 0);
    EXPECT_EQ(IupGetInt(ctl(C, "Phi"), "ACTIVE"), 1);
    click(C, "Apply");
    EXPECT_EQ(contactText(anode(device()), "Anode.Index.n"), n) << "\"Model\" is never stored";

    IupScriptAnswer("Select contact index model?", "CANCEL");
    click(C, "Model");
    EXPECT_EQ(model(), "ito.lua");
    IupScriptAnswer("Select contact index model?", "NO");
    click(C, "Model");
    EXPECT_EQ(model(), "None");
    EXPECT_EQ(std::string(IupGetAttribute(ctl(C, "Model"), "TITLE")), "Model...");
    EXPECT_EQ(IupGetInt(ctl(C, "n"), "ACTIVE"), 1);
}

TEST_F(ContactTest, Screenshot)
{
    WindowContact_show();
    screenshot(C);
}

}  // namespace
