// The device-file reader over a corpus of valid and refused files: the
// message and line of every refusal, and what an accepted file gives.
#include <string>

#include "docTestSupport.h"

namespace {

const std::string HEAD = "# Kovra <SL>\n";
const std::string MINIMAL = "[Device]\n    Name=\"d\"\n[Layer1]\n    Material=\"Si\"\n";

class Reader : public DocTest {
protected:
    // Loads text as a device file; the console lines printed are kept.
    int load(const std::string& text, const std::string& name = "device.kovra")
    {
        recorder.lines.clear();
        path = folder.write(name, text);
        return Device_load(document(), path.c_str());
    }
    Layer* layer(int i) { return device()->layers[i]; }
    std::string value(ParamRecord* r)
    {
        char out[PARAM_VALUE_SIZE];
        Param_valueText(r, out, sizeof out);
        return out;
    }
    std::string path;
};

TEST_F(Reader, RefusedFilesPrintTheirMessageAndKeepTheOpenDevice)
{
    const struct {
        std::string text;
        const char* message;
    } cases[] = {
        {"", "[ERROR]   device not loaded: cannot read file\n"},
        {"#Kovra <SL>\n" + MINIMAL, "[ERROR]   device not loaded: invalid header\n"},
        {"# Kovra\n" + MINIMAL, "[ERROR]   device not loaded: invalid header\n"},
        {HEAD, "[ERROR]   invalid file content: the device section and at least one layer "
               "section should be defined\n"},
        {HEAD + "[Device]\n", "[ERROR]   invalid file content: the device section and at least "
                              "one layer section should be defined\n"},
        {HEAD + "[Layer1]\n", "[ERROR]   invalid file content: the device section and at least "
                              "one layer section should be defined\n"},
        {HEAD + "$pi = 3\n" + MINIMAL, "[ERROR]   reserved variable name at line 1\n"},
        {HEAD + "$x = \n" + MINIMAL, "[ERROR]   invalid variable definition at line 1 {x = }\n"},
        {HEAD + "\n$PI = 3\n" + MINIMAL, "[ERROR]   invalid variable definition at line 2 {PI = 3}\n"},
        {HEAD + MINIMAL + "    Thickness=$nothere\n",
         "[ERROR]   variable not defined at line 5: {Thickness = $nothere}\n"},
        {HEAD + MINIMAL + "    Thickness=2 +* 3\n",
         "[ERROR]   variable not defined at line 5: {Thickness = 2 +* 3}\n"},
        {HEAD + MINIMAL + "    Thickness=# only a comment\n",
         "[ERROR]   variable not defined at line 5: {Thickness = }\n"},
        {HEAD + MINIMAL + "    Name=\"" + std::string(1100, 'n') + "\"\n",
         "[ERROR]   line too long at line 5 (more than 1021 characters)\n"},
    };
    Device* before = device();
    for (const auto& c : cases) {
        EXPECT_EQ(load(c.text), 0) << c.text;
        EXPECT_NE(recorder.console().find(c.message), std::string::npos)
            << c.text << "\nprinted: " << recorder.console();
        EXPECT_EQ(device(), before);
        EXPECT_EQ(document()->loadingDevice, nullptr);
    }
    EXPECT_EQ(Device_load(document(), (folder.path() + "missing.kovra").c_str()), 0);
    EXPECT_NE(recorder.console().find("[ERROR]   device not loaded: cannot open file\n"),
              std::string::npos);
}

TEST_F(Reader, HeaderBlockVariablesSectionsAndKeys)
{
    const std::string text = HEAD + "  # first note\n#\n\n; second note\n"
                             "$t = 0.5   # thickness, um\n"
                             "$w = 2 @ only before the at\n"
                             "[Device]\n    Name=\"My # cell\"    ; a comment\n"
                             "    Device.Temperature=310\n"
                             "[Layer1]\n    Material=\"GaAs\"\n    Thickness=$t\n"
                             "    Layer1.Mesh.Points=200\n    BandgapType=Indirect\n"
                             "    Dopant.Type=\"N\"\n    Dopant.N=1e17\n"
                             "[Layer2]\n    # the base\n    Thickness=$w * 3\n"
                             "[Anode]\n    Phi=0.4   # work function\n    Type=\"Schottky\"\n"
                             "[Cathode]\n    Cathode.Phi=0.2   # kept too\n"
                             "[Light]\n    Light.Source=\"EQE\"\n";
    ASSERT_EQ(load(text), 1) << recorder.console();
    Device* d = device();
    EXPECT_EQ(std::string(d->header), "# Kovra <SL>\n# first note\n#\n; second note\n");
    EXPECT_EQ(value(d->records[0]), "My # cell");
    EXPECT_STREQ(d->records[0]->comment, "a comment");
    EXPECT_DOUBLE_EQ(d->records[1]->value.real, 310);
    ASSERT_EQ(d->layerCount, 2);
    EXPECT_EQ(value(Layer_findParam(layer(0), "Material")), "GaAs");
    EXPECT_EQ(value(Layer_findParam(layer(0), "Thickness")), "$t");
    EXPECT_DOUBLE_EQ(Layer_findParam(layer(0), "Thickness")->value.real, 0.5);
    EXPECT_EQ(Layer_findParam(layer(0), "Mesh.Points")->value.integer, 200);
    EXPECT_EQ(Layer_findParam(layer(0), "BandgapType")->value.integer, 2);
    EXPECT_EQ(value(Layer_findParam(layer(0), "Dopant.Type")), "N");
    EXPECT_DOUBLE_EQ(Layer_findParam(layer(0), "Dopant.N")->value.real, 1e17);
    // The second layer starts from the default material, not from layer 1.
    EXPECT_EQ(value(Layer_findParam(layer(1), "Material")), "Si");
    EXPECT_DOUBLE_EQ(Layer_findParam(layer(1), "Thickness")->value.real, 6);
    EXPECT_STREQ(Layer_findParam(layer(1), "Thickness")->comment, "the base");
    EXPECT_EQ(Layer_findParam(layer(1), "Mesh.Points")->value.integer, 100);
    EXPECT_DOUBLE_EQ(d->anode->records[4]->value.real, 0.4);
    EXPECT_STREQ(d->anode->records[4]->comment, "work function");
    EXPECT_EQ(d->anode->schottky, CONTACT_SCHOTTKY);
    EXPECT_STREQ(d->cathode->records[4]->comment, "kept too");
    EXPECT_EQ(value(d->light->records[0]), "Sweep");
    EXPECT_EQ(Device_variableCount(d), 2);
    EXPECT_STREQ(Document_getFilename(document()), path.c_str());
}

TEST_F(Reader, EveryLineSkippedIsReportedWithItsLine)
{
    const std::string text = HEAD + MINIMAL +
                             "    NoSuchKey=1\n"          // line 5 (the file's sixth)
                             "    just words\n"           // line 6
                             "[Layer1]\n"                 // line 7: repeated
                             "    Thickness=9\n"          // line 8: in the ignored section
                             "[Nowhere]\n"                // line 9
                             "@cls\n";                    // line 10
    ASSERT_EQ(load(text), 1);
    const std::string printed = recorder.console();
    // Lines are counted from the one after the header line, as the
    // reader's other messages count them.
    for (const char* expected : {"[WARNING] at line 5: unknown key skipped: NoSuchKey\n",
                                 "[WARNING] at line 6: line without key and value skipped: just words\n",
                                 "[WARNING] at line 7: repeated section skipped: [Layer1]\n",
                                 "[WARNING] at line 8: line outside a known section skipped: Thickness=9\n",
                                 "[WARNING] at line 9: unknown section skipped: [Nowhere]\n",
                                 "[WARNING] at line 10: directive skipped: @cls\n"})
        EXPECT_NE(printed.find(expected), std::string::npos) << expected << "\nprinted:\n" << printed;
    EXPECT_DOUBLE_EQ(Layer_findParam(layer(0), "Thickness")->value.real, 1);
}

TEST_F(Reader, LayerHeadersOrderAndTheUnnumberedLayer)
{
    ASSERT_EQ(load(HEAD + "[Device]\n[Layer3]\n    Layer3.Thickness=3\n[Layer1]\n    Thickness=1\n"), 1);
    ASSERT_EQ(device()->layerCount, 2);
    EXPECT_STREQ(layer(0)->name, "Layer1");
    EXPECT_DOUBLE_EQ(Layer_findParam(layer(0), "Thickness")->value.real, 3);
    EXPECT_DOUBLE_EQ(Layer_findParam(layer(1), "Thickness")->value.real, 1);

    ASSERT_EQ(load(HEAD + "[Device]\n[Layer]\n    Thickness=4\n[Layer1]\n    Thickness=5\n"), 1);
    EXPECT_NE(recorder.console().find("[WARNING] at line 2: defing a non-numbered layer is not advised"),
              std::string::npos);
    ASSERT_EQ(device()->layerCount, 1);
    EXPECT_DOUBLE_EQ(Layer_findParam(layer(0), "Thickness")->value.real, 4);
}

TEST_F(Reader, MaterialIsAppliedBeforeTheValuesBesideItWhateverTheOrder)
{
    ASSERT_EQ(load(HEAD + "[Device]\n[Layer1]\n    Dopant.N=3e17\n    Bandgap=1.3\n"
                          "    Material=\"GaAs\"\n    Dopant.Type=\"P\"\n"),
              1);
    EXPECT_DOUBLE_EQ(Layer_findParam(layer(0), "Dopant.N")->value.real, 3e17);
    EXPECT_DOUBLE_EQ(Layer_findParam(layer(0), "Bandgap")->value.real, 1.3);
    EXPECT_EQ(Layer_getDopantType(layer(0)), DOPANT_ACCEPTOR);
}

TEST_F(Reader, PlotRequestIsSavedBackAsNo)
{
    ASSERT_EQ(load(HEAD + MINIMAL + "[Command]\n    Command.Plot=\"Yes\"\n"), 1);
    const std::string saved = readText(path);
    EXPECT_NE(saved.find("    Command.Plot=\"No\"\n"), std::string::npos) << saved;
}

TEST_F(Reader, SourceFilesReachTheApplicationRecord)
{
    ASSERT_EQ(load(HEAD + MINIMAL + "[Voltage]\n    Voltage.Source=\"bias.voltage\"\n"
                                    "[Light]\n    Light.Source=\"AM1.5\"\n"),
              1);
    EXPECT_EQ(recorder.voltageFile, "bias.voltage");
    EXPECT_EQ(recorder.lightFile, "");
}

// The reverse way: the kept file becomes the device's source; a kept name
// that is no data file is stored but reported as none, and with nothing
// kept the source is left as it was.
TEST_F(Reader, KeptSourceFilesBecomeTheDevicesSources)
{
    ASSERT_EQ(load(HEAD + MINIMAL + "[Voltage]\n    Voltage.Source=\"Sweep\"\n"), 1);
    char text[PARAM_VALUE_SIZE] = "";
    struct Case {
        const char* key;
        const char* kept;
        int result;
        const char* source;  // the value afterwards
        const char* sourceKey;
    } cases[] = {
        {"Voltage.Source", "", 0, "Sweep", "Voltage.Source"},
        {"Voltage.Source", "bias.voltage", 1, "bias.voltage", "Voltage.Source"},
        {"voltage.source", "steps.dat", 1, "steps.dat", "Voltage.Source"},
        {"Light.Source", "spectrum.light", 1, "spectrum.light", "Light.Source"},
        {"LIGHT.SOURCE", "AM1.5", 0, "AM1.5", "Light.Source"},
        {"Voltage.Start", "bias.voltage", 0, "steps.dat", "Voltage.Source"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " <- " + c.kept);
        const bool light = std::string(c.sourceKey) == "Light.Source";
        (light ? recorder.lightFile : recorder.voltageFile) = c.kept;
        EXPECT_EQ(Device_setSourceFile(document(), c.key), c.result);
        if (light)
            Device_getLightValueText(device(), c.sourceKey, text);
        else
            Device_getVoltageValueText(device(), c.sourceKey, text);
        EXPECT_STREQ(text, c.source);
    }
    EXPECT_EQ(Device_setSourceFile(nullptr, "Voltage.Source"), 0);
}

}  // namespace
