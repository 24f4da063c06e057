// The device-file reader over a corpus of valid and refused files: the
// message and line of every refusal, and what an accepted file gives.
#include <cstdio>
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
        {HEAD + "$pi = 3\n" + MINIMAL, "[ERROR]   reserved variable name at line 2\n"},
        {HEAD + "$x = \n" + MINIMAL, "[ERROR]   invalid variable definition at line 2 {x = }\n"},
        {HEAD + "\n$PI = 3\n" + MINIMAL,
         "[ERROR]   invalid variable definition at line 3 {PI = 3}\n"},
        {HEAD + MINIMAL + "    Thickness=$nothere\n",
         "[ERROR]   variable not defined at line 6: {Thickness = $nothere}\n"},
        {HEAD + MINIMAL + "    Thickness=2 +* 3\n",
         "[ERROR]   invalid value at line 6: {Thickness = 2 +* 3}: "},
        {HEAD + MINIMAL + "    Thickness=# only a comment\n",
         "[ERROR]   value missing at line 6: {Thickness = }\n"},
        {HEAD + MINIMAL + "    Name=\"" + std::string(1100, 'n') + "\"\n",
         "[ERROR]   line too long at line 6 (more than 1021 characters)\n"},
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
    const std::string text = HEAD +
                             "  # first note\n#\n\n; second note\n"
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
                             "    NoSuchKey=1\n"  // line 6
                             "    just words\n"   // line 7
                             "[Layer1]\n"         // line 8: repeated
                             "    Thickness=9\n"  // line 9: in the ignored section
                             "[Nowhere]\n"        // line 10
                             "@cls\n";            // line 11
    ASSERT_EQ(load(text), 1);
    const std::string printed = recorder.console();
    // Lines are counted as an editor counts them: the header is line 1.
    for (const char* expected :
         {"[WARNING] at line 6: unknown key skipped: NoSuchKey\n",
          "[WARNING] at line 7: line without key and value skipped: just words\n",
          "[WARNING] at line 8: repeated section skipped: [Layer1]\n",
          "[WARNING] at line 9: line outside a known section skipped: Thickness=9\n",
          "[WARNING] at line 10: unknown section skipped: [Nowhere]\n",
          "[WARNING] at line 11: directive skipped: @cls\n"}) {
        EXPECT_NE(printed.find(expected), std::string::npos) << expected << "\nprinted:\n"
                                                             << printed;
    }
    EXPECT_DOUBLE_EQ(Layer_findParam(layer(0), "Thickness")->value.real, 1);
}

TEST_F(Reader, LayerHeadersOrderAndTheUnnumberedLayer)
{
    ASSERT_EQ(
        load(HEAD + "[Device]\n[Layer3]\n    Layer3.Thickness=3\n[Layer1]\n    Thickness=1\n"), 1);
    ASSERT_EQ(device()->layerCount, 2);
    EXPECT_STREQ(layer(0)->name, "Layer1");
    EXPECT_DOUBLE_EQ(Layer_findParam(layer(0), "Thickness")->value.real, 3);
    EXPECT_DOUBLE_EQ(Layer_findParam(layer(1), "Thickness")->value.real, 1);

    ASSERT_EQ(load(HEAD + "[Device]\n[Layer]\n    Thickness=4\n[Layer1]\n    Thickness=5\n"), 1);
    EXPECT_NE(
        recorder.console().find("[WARNING] at line 3: defing a non-numbered layer is not advised"),
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

// Opening never writes the file: a plot request is read as "No" (the
// editor starts its plot tool itself) and written so only when the user
// saves.
TEST_F(Reader, PlotRequestIsReadAsNoAndSavedSoOnlyOnSave)
{
    const std::string text = HEAD + MINIMAL + "[Command]\n    Command.Plot=\"Yes\"\n";
    ASSERT_EQ(load(text), 1);
    EXPECT_EQ(readText(path), text);
    EXPECT_STREQ(Device_findCommandParam(device(), "Command.Plot")->value.text, "No");
    ASSERT_EQ(Device_save(document(), path.c_str()), 1);
    const std::string saved = readText(path);
    EXPECT_NE(saved.find("    Command.Plot=\"No\"\n"), std::string::npos) << saved;
}

TEST_F(Reader, SourceFilesReachTheApplicationRecord)
{
    ASSERT_EQ(load(HEAD + MINIMAL +
                   "[Voltage]\n    Voltage.Source=\"bias.voltage\"\n"
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
        if (light) {
            Device_getLightValueText(device(), c.sourceKey, text);
        } else {
            Device_getVoltageValueText(device(), c.sourceKey, text);
        }
        EXPECT_STREQ(text, c.source);
    }
    EXPECT_EQ(Device_setSourceFile(nullptr, "Voltage.Source"), 0);
}

// Each message names the line an editor shows for it (the header is line
// 1), found here by searching the file for the line's text, and says what
// is wrong with the value.
TEST_F(Reader, MessagesNameTheFileLineAndWhatIsWrong)
{
    const struct {
        std::string bad;      // the line written after MINIMAL's Material line
        const char* message;  // what the console says, "%d" the line
    } cases[] = {
        {"    Bandgap=1/0",
         "[ERROR]   invalid value at line %d: {Bandgap = 1/0}: division by zero\n"},
        {"    Dopant.N=1e400",
         "[ERROR]   invalid value at line %d: {Dopant.N = 1e400}: value out of range"},
        {"    Thickness=$nothere",
         "[ERROR]   variable not defined at line %d: {Thickness = $nothere}\n"},
        {std::string("    Name=\"cell\0name\"", 20),
         "[ERROR]   invalid character at line %d: a NUL byte"},
        {"    Dopant.Taun=1e30", "[WARNING] at line %d: value kept as written: Dopant.Taun=1e30\n"},
        {"    Shoe.Size=42", "[WARNING] at line %d: unknown key skipped: Shoe.Size\n"},
    };
    for (const auto& c : cases) {
        // Some blank and comment lines first, so that a count off by one
        // or two shows.
        const std::string text =
            HEAD + "# a\n\n" + MINIMAL + "\n" + c.bad + "\n    Mesh.Points=120\n";
        load(text);
        int line = 1;
        for (size_t at = 0; at < text.find(c.bad); ++at) {
            line += text[at] == '\n' ? 1 : 0;
        }
        char expected[256];
        std::snprintf(expected, sizeof expected, c.message, line);
        EXPECT_NE(recorder.console().find(expected), std::string::npos)
            << c.bad << "\nexpected: " << expected << "\nprinted: " << recorder.console();
    }
}

// Every message ends its own line: two never run together.
TEST_F(Reader, EveryMessageEndsItsLine)
{
    ParamRecord* thickness = Layer_findParam(device()->layers[0], "Thickness");
    recorder.lines.clear();
    EXPECT_EQ(Param_setValueText(thickness, "-1", nullptr, 1), 0);
    EXPECT_EQ(Param_setValueText(thickness, "xyz", nullptr, 1), 0);
    ASSERT_GE(recorder.lines.size(), 3u);
    for (const std::string& line : recorder.lines) {
        EXPECT_EQ(line.back(), '\n') << line;
        EXPECT_EQ(line.find('\n'), line.size() - 1) << line;
        EXPECT_EQ(line.rfind("[ERROR]", 0), 0u) << line;
    }
}

// A file of thousands of foreign sections opens at once: a few warnings of
// each kind, then one line that counts the rest.
TEST_F(Reader, ManyWarningsOfOneKindAreSummedUp)
{
    std::string text = HEAD + MINIMAL;
    for (int i = 0; i < 10000; ++i) {
        text += "[Unknown" + std::to_string(i) + "]\n";
    }
    text += "    Thickness=2\n";
    ASSERT_EQ(load(text), 1);
    // The last section header is line 5 + 10000.
    const std::string printed = recorder.console();
    EXPECT_NE(printed.find("[WARNING] at line 6: unknown section skipped: [Unknown0]\n"),
              std::string::npos);
    EXPECT_NE(printed.find("[WARNING] at line 10: unknown section skipped: [Unknown4]\n"),
              std::string::npos);
    EXPECT_EQ(printed.find("[Unknown5]"), std::string::npos);
    EXPECT_NE(
        printed.find(
            "[WARNING] ... and 9,995 more unknown sections skipped (the last at line 10005)\n"),
        std::string::npos)
        << printed;
    EXPECT_NE(printed.find(
                  "[WARNING] at line 10006: line outside a known section skipped: Thickness=2\n"),
              std::string::npos);
    EXPECT_LE(recorder.lines.size(), 10u);

    // 20,000 of them: reading ends at its limit, which is said too.
    text = HEAD + MINIMAL;
    for (int i = 0; i < 20000; ++i) {
        text += "[Unknown" + std::to_string(i) + "]\n";
    }
    ASSERT_EQ(load(text), 1);
    // Lines 6 .. 16386 are read: 16381 unknown sections, five shown.
    EXPECT_NE(
        recorder.console().find(
            "[WARNING] ... and 16,376 more unknown sections skipped (the last at line 16386)\n"),
        std::string::npos)
        << recorder.console();
    EXPECT_NE(recorder.console().find("[WARNING] at line 16386: reading ended"), std::string::npos);
    EXPECT_LE(recorder.lines.size(), 10u);
}

}  // namespace
