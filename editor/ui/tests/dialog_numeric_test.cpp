// The Numeric dialog: solver lists, tolerance and damping, and the mesh
// modes (uniform, per layer, mesh file, guess file).
#include "DialogTestSupport.h"

#include <cstdlib>
#include <fstream>
#include "kovraHandles.h"

namespace {

const DialogDescription& N = NumericDialog;

std::string numeric(Device* device, const char* key)
{
    char text[PARAM_VALUE_SIZE] = "";
    Device_getNumericValueText(device, key, text);
    return text;
}

void setNumeric(Device* device, const char* key, const char* text)
{
    ASSERT_EQ(Device_setNumericParam(device, key, text, "", nullptr, 0), 1) << key << "=" << text;
}

int chooseItem(Ihandle* list, int item)
{
    IupSetInt(list, "VALUE", item);
    auto action = reinterpret_cast<int (*)(Ihandle*, char*, int, int)>(
        reinterpret_cast<void (*)()>(IupGetCallback(list, "ACTION")));
    return action(list, IupGetAttribute(list, "VALUESTRING"), item, 1);
}

struct NumericCase {
    const char* word;
    const char* key;
    const char* text;
    const char* stored;   // null: unchanged
    const char* refusal;  // null: taken
};

TEST_F(DialogTest, NumericTableOfEntries)
{
    setNumeric(device(), "Numeric.Mesh", "Uniform");
    const NumericCase cases[] = {
        {"Tol", "Numeric.Tol", "1e-7", "1e-07", nullptr},
        {"Damp", "Numeric.Damp", "0.25*2", "0.25*2", nullptr},
        {"Points", "Numeric.Points", "400", "400", nullptr},
        {"Tol", "Numeric.Tol", "-1", nullptr, "Tolerance: invalid value"},
        {"Points", "Numeric.Points", "3", "50",
         nullptr},  // the fewest points, as the engine takes it
        {"Damp", "Numeric.Damp", "2000", nullptr, "accepted: from 0 to 1000"},
    };
    for (const NumericCase& c : cases) {
        SCOPED_TRACE(std::string(c.word) + " <- " + c.text);
        const std::string before = numeric(device(), c.key);
        Document_setModified(document(), 0);
        WindowNumeric_show();
        type(N, c.word, c.text);
        click(N, "OK");
        if (c.refusal == nullptr) {
            EXPECT_FALSE(Dialog_isOpen(&N));
            EXPECT_EQ(numeric(device(), c.key), c.stored);
            EXPECT_TRUE(Document_isModified(document()));
        } else {
            EXPECT_TRUE(Dialog_isOpen(&N));
            EXPECT_EQ(numeric(device(), c.key), before);
            EXPECT_NE(message(N).find(c.refusal), std::string::npos) << message(N);
            EXPECT_FALSE(Document_isModified(document()));
            Dialog_close(&N);
        }
    }
}

// A file without [Numeric] runs on the per-layer mesh with the engine's
// solver settings: the dialog shows those, and looking changes nothing.
TEST_F(DialogTest, NumericShowsWhatARunWithoutNumericKeysUses)
{
    const std::string path = std::string(KOVRA_SOURCE_DIR) + "/examples/variables.kovra";
    ASSERT_EQ(Device_load(document(), path.c_str()), 1);
    Document_setModified(document(), 0);
    WindowNumeric_show();
    EXPECT_EQ(IupGetInt(ctl(N, "MeshList"), "VALUE"), 2) << "per layer";
    EXPECT_EQ(value(ctl(N, "Points")), "Layer");
    EXPECT_EQ(IupGetInt(ctl(N, "Points"), "ACTIVE"), 0);
    EXPECT_EQ(value(ctl(N, "LayerPoints")), "150") << "the first layer's Mesh.Points";
    EXPECT_EQ(IupGetInt(ctl(N, "MethodList"), "VALUE"), 2) << "Newton";
    EXPECT_EQ(IupGetInt(ctl(N, "InnermostSolverList"), "VALUE"), 7) << "tfqmr";
    EXPECT_EQ(std::strtod(value(ctl(N, "Tol")).c_str(), nullptr), 1e-6);
    EXPECT_EQ(std::strtod(value(ctl(N, "Damp")).c_str(), nullptr), 1.0);
    click(N, "OK");
    EXPECT_FALSE(Document_isModified(document())) << "the shown settings are the file's own";

    // Switched to a uniform mesh, the count starts from the layers' points.
    WindowNumeric_show();
    chooseItem(ctl(N, "MeshList"), 1);
    EXPECT_EQ(value(ctl(N, "Points")), "550");
    Dialog_close(&N);
}

TEST_F(DialogTest, NumericMethodAndSolverLists)
{
    const struct {
        const char* method;
        int item;
    } methods[] = {{"Newton", 2}, {"Gummel", 1}, {"", 1}, {"Other", 1}};
    for (const auto& m : methods) {
        SCOPED_TRACE(m.method);
        setNumeric(device(), "Numeric.Method", m.method);
        WindowNumeric_show();
        EXPECT_EQ(IupGetInt(ctl(N, "MethodList"), "VALUE"), m.item);
        Dialog_close(&N);
    }
    setNumeric(device(), "Numeric.InnermostSolver", "gmres");
    WindowNumeric_show();
    EXPECT_EQ(IupGetInt(ctl(N, "InnermostSolverList"), "VALUE"), 4);
    IupSetInt(ctl(N, "MethodList"), "VALUE", 2);
    IupSetInt(ctl(N, "InnermostSolverList"), "VALUE", 8);
    click(N, "OK");
    EXPECT_EQ(numeric(device(), "Numeric.Method"), "Newton");
    EXPECT_EQ(numeric(device(), "Numeric.InnermostSolver"), "bicrstab");
    EXPECT_TRUE(Document_isModified(document()));
}

TEST_F(DialogTest, NumericMeshListSwitchesTheModeAtOnce)
{
    setNumeric(device(), "Numeric.Mesh", "Uniform");
    ASSERT_EQ(Layer_setParam(layer(2), "Mesh.Points", "120", nullptr, nullptr, 0), 1);
    recorder.mainLayer = 2;
    WindowNumeric_show();
    EXPECT_EQ(value(ctl(N, "LayerPoints")), "") << "its cue says Uniform";
    EXPECT_EQ(std::string(IupGetAttribute(ctl(N, "LayerPoints"), "CUEBANNER")), "Uniform");
    EXPECT_EQ(IupGetInt(ctl(N, "LayerPoints"), "ACTIVE"), 0);
    EXPECT_EQ(IupGetInt(ctl(N, "LayerList"), "ACTIVE"), 0);
    EXPECT_EQ(IupGetInt(ctl(N, "Points"), "ACTIVE"), 1);

    chooseItem(ctl(N, "MeshList"), 2);
    EXPECT_EQ(numeric(device(), "Numeric.Mesh"), "Layer") << "stored at once";
    EXPECT_TRUE(Document_isModified(document()));
    EXPECT_EQ(value(ctl(N, "Points")), "Layer");
    EXPECT_EQ(IupGetInt(ctl(N, "Points"), "ACTIVE"), 0);
    EXPECT_EQ(value(ctl(N, "LayerPoints")), "120");
    EXPECT_EQ(IupGetInt(ctl(N, "LayerList"), "ACTIVE"), 1);

    // Per layer: the layer list moves between the layers' own counts; a
    // count below a layer's fewest takes the fewest, as the engine does.
    type(N, "LayerPoints", "80");
    chooseLayer(N, 1);
    EXPECT_EQ(recordText(Layer_findParam(layer(2), "Mesh.Points")), "80");
    EXPECT_EQ(recorder.selected, std::vector<int>{1});
    type(N, "LayerPoints", "1");
    chooseLayer(N, 3);
    EXPECT_EQ(recordText(Layer_findParam(layer(1), "Mesh.Points")), "5");
    EXPECT_EQ(IupGetInt(ctl(N, "LayerList"), KOV_WindowNumeric_LayerSelected), 3);
    chooseLayer(N, 1);
    EXPECT_EQ(value(ctl(N, "LayerPoints")), "5");

    // Back to uniform.
    type(N, "LayerPoints", "60");
    chooseItem(ctl(N, "MeshList"), 1);
    EXPECT_EQ(numeric(device(), "Numeric.Mesh"), "Uniform");
    EXPECT_EQ(value(ctl(N, "LayerPoints")), "");
    EXPECT_EQ(recordText(Layer_findParam(layer(1), "Mesh.Points")), "60");
}

class NumericFileTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        folder =
            std::string(KOVRA_BIN_DIR) + "/../dialog-numeric-" + std::to_string(::getpid()) + "/";
        QDir().mkpath(QString::fromStdString(folder));
        std::ofstream(folder + "cell.kovra") << "# Kovra\n";
        std::ofstream(folder + "fine.mesh") << "0 1\n";
        std::ofstream(folder + "start.guess") << "0 1\n";
        Document_setFilename(document(), (folder + "cell.kovra").c_str());
        setNumeric(device(), "Numeric.Mesh", "Uniform");
        Document_setModified(document(), 0);
    }
    void TearDown() override
    {
        QDir(QString::fromStdString(folder)).removeRecursively();
        DialogTest::TearDown();
    }
    void expectFileMode()
    {
        for (const char* word : {"Points", "LayerPoints"}) {
            EXPECT_EQ(value(ctl(N, word)), "File") << word;
            EXPECT_EQ(IupGetInt(ctl(N, word), "ACTIVE"), 0) << word;
        }
        EXPECT_EQ(IupGetInt(ctl(N, "MeshList"), "ACTIVE"), 0);
        EXPECT_EQ(IupGetInt(ctl(N, "LayerList"), "ACTIVE"), 0);
    }
    std::string folder;
};

TEST_F(NumericFileTest, MeshFileRestsTheMeshControlsUntilItIsDropped)
{
    WindowNumeric_show();
    IupScriptAnswer("Select custom mesh file?", "YES");
    IupScriptAnswer(nullptr, "");
    click(N, "MeshFile");
    EXPECT_EQ(numeric(device(), "Numeric.Mesh"), "Uniform") << "a cancelled choice changes nothing";
    EXPECT_FALSE(Document_isModified(document()));

    IupScriptAnswer("Select custom mesh file?", "YES");
    IupScriptAnswer(nullptr, (folder + "fine.mesh").c_str());
    click(N, "MeshFile");
    EXPECT_EQ(numeric(device(), "Numeric.Mesh"), "fine.mesh");
    EXPECT_TRUE(Document_isModified(document()));
    EXPECT_EQ(std::string(IupGetAttribute(ctl(N, "MeshFile"), "TITLE")), "Mesh File*...");
    EXPECT_EQ(std::string(IupGetAttribute(ctl(N, "MeshFile"), "TIP")), "fine.mesh");
    expectFileMode();
    click(N, "Apply");
    EXPECT_EQ(numeric(device(), "Numeric.Mesh"), "fine.mesh") << "a store keeps the file";

    IupScriptAnswer("Select custom mesh file?", "NO");
    click(N, "MeshFile");
    EXPECT_EQ(numeric(device(), "Numeric.Mesh"), "Uniform") << "the mode the list chose last";
    EXPECT_EQ(std::string(IupGetAttribute(ctl(N, "MeshFile"), "TITLE")), "Mesh File...");
    EXPECT_EQ(IupGetInt(ctl(N, "MeshList"), "ACTIVE"), 1) << "the mesh list is live again";
    EXPECT_EQ(IupGetInt(ctl(N, "Points"), "ACTIVE"), 1);
    EXPECT_NE(value(ctl(N, "Points")), "File");
    chooseItem(ctl(N, "MeshList"), 2);
    EXPECT_EQ(numeric(device(), "Numeric.Mesh"), "Layer");
}

TEST_F(NumericFileTest, GuessFileWinsOverAnyMesh)
{
    setNumeric(device(), "Numeric.Mesh", "Layer");
    WindowNumeric_show();
    IupScriptAnswer("Select custom initial guess file?", "YES");
    IupScriptAnswer(nullptr, (folder + "start.guess").c_str());
    click(N, "GuessFile");
    EXPECT_EQ(numeric(device(), "Numeric.Guess"), "start.guess");
    EXPECT_EQ(std::string(IupGetAttribute(ctl(N, "GuessFile"), "TITLE")), "Guess File*...");
    expectFileMode();
    IupSetInt(ctl(N, "MeshList"), "VALUE", 1);
    click(N, "Apply");
    EXPECT_EQ(numeric(device(), "Numeric.Mesh"), "Layer")
        << "a guess file leaves the mesh as it is";

    IupScriptAnswer("Select custom initial guess file?", "NO");
    click(N, "GuessFile");
    EXPECT_EQ(numeric(device(), "Numeric.Guess"), "");
    EXPECT_EQ(IupGetInt(ctl(N, "MeshList"), "ACTIVE"), 1);
    EXPECT_EQ(IupGetInt(ctl(N, "MeshList"), "VALUE"), 2);
    EXPECT_EQ(IupGetInt(ctl(N, "LayerPoints"), "ACTIVE"), 1);
}

TEST_F(DialogTest, NumericScreenshot)
{
    setNumeric(device(), "Numeric.Mesh", "Layer");
    WindowNumeric_show();
    screenshot(N);
}

}  // namespace
