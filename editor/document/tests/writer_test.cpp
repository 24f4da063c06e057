// Sections, contacts and the device-file writer: which records a file
// holds, in what form, and that the engine's spelling is written.
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "deviceFile.h"
#include "docTestSupport.h"

namespace {

class Writer : public DocTest {
protected:
    std::string save()
    {
        const std::string path = folder.path() + "saved.kovra";
        EXPECT_EQ(Device_save(document(), path.c_str()), 1);
        return readText(path);
    }
    // The lines of one section of a saved text.
    static std::string section(const std::string& text, const std::string& name)
    {
        const size_t start = text.find("[" + name + "]\n");
        if (start == std::string::npos) {
            return "";
        }
        const size_t end = text.find("\n\n", start);
        return text.substr(start, end - start + 1);
    }
};

TEST_F(Writer, NewDeviceWritesItsLiveRecordsOnly)
{
    const std::string text = save();
    EXPECT_EQ(
        section(text, "Anode"),
        "[Anode]\n    Anode.Type=\"Ohmic\"\n    Anode.Phi=0\n    Anode.Boundary=\"Neumann\"\n");
    EXPECT_EQ(section(text, "Voltage"),
              "[Voltage]\n    Voltage.Source=\"Sweep\"\n    Voltage.Start=-1\n    Voltage.End=1\n"
              "    Voltage.Step=0.02\n    Voltage.Jinf=-1000\n    Voltage.Jsup=1000\n");
    EXPECT_EQ(section(text, "Light"),
              "[Light]\n    Light.Source=\"None\"\n    Light.Start=0.2\n    Light.End=1.2\n"
              "    Light.Step=0.01\n    Light.Flux=1e+15\n");
    EXPECT_EQ(section(text, "Command"), "[Command]\n    Command.Plot=\"No\"\n    "
                                        "Command.OutDir=\"\"\n    Command.OutDirDate=\"No\"\n");
    EXPECT_NE(text.find("    Numeric.Guess=\"\"\n"), std::string::npos);
    EXPECT_EQ(text.rfind("# Kovra <SL>\n", 0), 0u);           // the standard header first
    EXPECT_EQ(text.find("\n\n[Device]"), std::string::npos);  // no variables, no blank line
    EXPECT_EQ(recorder.trapModelCalls, device()->layerCount);
}

// A new file starts with the mandatory first line, then the note, the
// version line in the engine's result-file form and the save time; the
// editor reads it back with its header kept.
TEST_F(Writer, ANewFileCarriesTheStandardHeader)
{
    const std::string text = save();
    const std::regex header(
        "# Kovra <SL>\n# The above first line is mandatory\n#\n"
        "# Kovra Version 3\\.0 Build 2412 Linux\n#\n"
        "# Saved: [0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} \n\\[Device\\]\n");
    std::smatch match;
    EXPECT_TRUE(std::regex_search(text, match, header, std::regex_constants::match_continuous))
        << text;
    // Read back, each header line is kept trimmed.
    std::string firstHeader = text.substr(0, text.find("[Device]"));
    firstHeader.replace(firstHeader.size() - 2, 2, "\n");
    ASSERT_EQ(Device_load(document(), (folder.path() + "saved.kovra").c_str()), 1)
        << recorder.console();
    EXPECT_EQ(std::string(device()->header), firstHeader);
}

TEST_F(Writer, AliasTunnelSchottkyAndModels)
{
    Device* d = device();
    EXPECT_EQ(Device_setLightItem(d, "Light.Wavelength", "0.5", nullptr, nullptr, 0), 1);
    EXPECT_DOUBLE_EQ(d->light->records[1]->value.real, 0.5);
    EXPECT_EQ(d->light->records[2]->revision, 0);
    EXPECT_EQ(Device_setLightItem(d, "Light.Propagation", "1", nullptr, nullptr, 0), 0);
    EXPECT_EQ(Device_setVoltageParam(d, "voltage.start", "0", nullptr, nullptr, 0), 0);

    recorder.lines.clear();
    // Tunnelling is off (0) or on (1), as the engine reads it.
    EXPECT_EQ(Device_setAnodeItem(d, "Anode.Tunnel", "0", nullptr, nullptr, 1), 1);
    EXPECT_EQ(Device_setAnodeItem(d, "Anode.Tunnel", "1", nullptr, nullptr, 1), 1);
    EXPECT_EQ(Device_setAnodeItem(d, "Anode.Tunnel", "2", nullptr, nullptr, 1), 0);
    EXPECT_EQ(recorder.console(),
              "[ERROR]   invalid value for Anode.Tunnel: 2 (accepted: from 0 to 1)\n");
    EXPECT_EQ(Device_setAnodeItem(d, "Anode.Name", "x", nullptr, nullptr, 0), 0);
    EXPECT_NE(Contact_findParam(d->anode, "Anode.Name"), nullptr);

    int changed = 0;
    EXPECT_EQ(Device_setCathodeItem(d, "Cathode.Type", "Schottky", nullptr, &changed, 0), 1);
    EXPECT_EQ(d->cathode->color[0], 210);
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(Device_setCathodeItem(d, "Cathode.Type", "schottky", nullptr, &changed, 0), 1);
    EXPECT_EQ(d->cathode->color[0], 192);

    Layer* layer = d->layers[0];
    EXPECT_EQ(Layer_setParam(layer, "Doping.Model", "\"lua/doping.lua\"", nullptr, nullptr, 0), 1);
    EXPECT_EQ(Layer_setParam(layer, "Index.File", "\"glass.nk\"", nullptr, nullptr, 0), 1);
    Layer_setParam(layer, "Thickness", "$t", nullptr, nullptr, 0);  // no such variable: refused
    ASSERT_EQ(Device_defineVariable(d, "t", "2.5", 0), 1);
    EXPECT_EQ(Layer_setParam(layer, "Thickness", "$t", nullptr, nullptr, 0), 1);
    EXPECT_EQ(Layer_setParam(layer, "Bandgap", "1.1 # a note", nullptr, nullptr, 0), 1);
    const std::string text = save();
    const std::string layer1 = section(text, "Layer1");
    EXPECT_NE(layer1.find("    Dopant.Model=\"lua/doping.lua\"\n"), std::string::npos) << layer1;
    EXPECT_EQ(layer1.find("Doping.Model"), std::string::npos) << layer1;
    EXPECT_NE(layer1.find("    Index.File=\"glass.nk\"\n"), std::string::npos) << layer1;
    EXPECT_EQ(layer1.find("Bandgap.Model"), std::string::npos) << layer1;
    EXPECT_NE(layer1.find("    Thickness=$t\n"), std::string::npos) << layer1;
    EXPECT_NE(layer1.find("    Bandgap=1.1    # a note\n"), std::string::npos) << layer1;
    EXPECT_NE(text.find("\n\n$t=2.5\n\n[Device]"), std::string::npos) << text;
}

TEST_F(Writer, LongTextsAndCommentsStayWithinTheLineTheReadersTake)
{
    Device* d = device();
    const std::string path(PARAM_TEXT_MAX, 'p');
    ASSERT_EQ(Device_setNumericParam(d, "Numeric.Guess", ("\"" + path + "\"").c_str(),
                                     "# a comment that would make the line too long", nullptr, 0),
              1);
    const std::string text = save();
    size_t longest = 0;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        longest = std::max(longest, end - start);
        start = end + 1;
    }
    EXPECT_LE(longest, DEVICE_LINE_MAX);
    EXPECT_NE(text.find("Numeric.Guess=\"" + path + "\""), std::string::npos);
    const std::string saved = folder.path() + "saved.kovra";
    ASSERT_EQ(Device_load(document(), saved.c_str()), 1) << recorder.console();
    EXPECT_EQ(std::string(device()->numeric->records[5]->value.text), path);
    EXPECT_STREQ(device()->numeric->records[5]->comment,
                 "a comment that would make the line too long");
}

// Opening and saving a file keeps every comment whole, however long: on
// the key's line when it fits there, else on a comment line just above.
TEST_F(Writer, LongCommentsSurviveOpenAndSaveWhole)
{
    std::string euros;
    for (int i = 0; i < 400; ++i) {
        euros += "\u20ac";  // 1200 bytes, 400 characters
    }
    const std::string head = "# Kovra <SL>\n[Device]\n[Layer1]\n";
    const struct {
        const char* what;
        std::string comment;
        std::string lines;  // the layer's lines as the file gives them
    } cases[] = {
        {"64 characters", std::string(64, 'c'), ""},
        {"300 characters", std::string(300, 'x') + " end", ""},
        {"multibyte", euros, ""},
        {"own mark kept", "#tag ;and more", ""},
        {"fills the line", std::string(1009, 'f'), ""},
        {"line above", std::string(500, 'a'), ""},
        {"longest line above", std::string(1020, 'b'), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string layer;
        if (std::string(c.what).find("above") != std::string::npos) {
            layer = "#" + c.comment + "\n    Thickness=2\n";
        } else if (std::string(c.what) == "fills the line") {
            layer = "Thickness=2#" + c.comment + "\n";
        } else {
            layer = "    Thickness=2    # " + c.comment + "\n";
        }
        const std::string source = folder.write("long.kovra", head + layer);
        ASSERT_EQ(Device_load(document(), source.c_str()), 1) << recorder.console();
        EXPECT_EQ(std::string(Layer_findParam(device()->layers[0], "Thickness")->comment),
                  c.comment);
        const std::string text = save();
        size_t start = 0;
        while (start < text.size()) {
            const size_t end = text.find('\n', start);
            EXPECT_LE(DeviceFile_characters(text.substr(start, end - start).c_str()),
                      DEVICE_LINE_MAX);
            start = end + 1;
        }
        EXPECT_NE(text.find(c.comment), std::string::npos) << text;
        const std::string saved = folder.path() + "saved.kovra";
        ASSERT_EQ(Device_load(document(), saved.c_str()), 1) << recorder.console();
        EXPECT_EQ(std::string(Layer_findParam(device()->layers[0], "Thickness")->comment),
                  c.comment);
        EXPECT_EQ(save(), text) << "a second save writes the same file";
    }
}

// Comment lines that are no key's comment are written back where they
// stood: above a section, above a key (the line right above a key without
// a comment of its own becomes that key's comment), beside and above a
// variable, and at the end of the file; a key the writer leaves out keeps
// the lines above it at the end of its section.
TEST_F(Writer, CommentLinesStayWhereTheyStood)
{
    const std::string source =
        folder.write("notes.kovra",
                     "# Kovra <SL>\n# the header\n\n"  // an empty line leaves the header open
                     "# above t\n$t = 2   # thickness, um\n"
                     "[Device]\n    Name=\"cell\"\n"
                     "\n# first of two\n# second of two\n[Layer1]\n"
                     "    # the block above\n    #x\n    # the thickness\n    Thickness=$t\n"
                     "    ; above a key the editor leaves out\n    Light.Wavelength=0.5\n"
                     "[Voltage]\n    # the start\n    Voltage.Start=0.1    # own comment\n"
                     "# the very end\n");
    ASSERT_EQ(Device_load(document(), source.c_str()), 1) << recorder.console();
    EXPECT_STREQ(Layer_findParam(device()->layers[0], "Thickness")->comment, "the thickness");
    const std::string text = save();
    for (const char* expected :
         {"# the header\n# above t\n\n$t=2    # thickness, um\n\n[Device]\n",
          "# first of two\n# second of two\n[Layer1]\n",
          "    # the block above\n    #x\n    Thickness=$t    # the thickness\n",
          "    ; above a key the editor leaves out\n\n[Anode]",
          "[Voltage]\n    # the start\n    Voltage.Start=0.1    # own comment\n",
          "[Command]\n\n# the very end\n"}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\nin:\n" << text;
    }
    // Saving what was saved keeps every line (the lines left at the end of
    // a section are then read as lines above the next one).
    const std::string saved = folder.path() + "saved.kovra";
    ASSERT_EQ(Device_load(document(), saved.c_str()), 1) << recorder.console();
    auto lines = [](const std::string& all) {
        std::multiset<std::string> out;
        std::istringstream in(all);
        for (std::string line; std::getline(in, line);) {
            out.insert(line.substr(line.find_first_not_of(' ') == std::string::npos
                                       ? line.size()
                                       : line.find_first_not_of(' ')));
        }
        return out;
    };
    EXPECT_EQ(lines(save()), lines(text));
}

TEST_F(Writer, ATypedCommentLongerThanALineIsCutToWhatALineCarries)
{
    ParamRecord* r = Layer_findParam(device()->layers[0], "Thickness");
    const std::string typed(3000, 't');
    ASSERT_EQ(Param_setValueText(r, ("2 # " + typed).c_str(), nullptr, 0), 1);
    EXPECT_EQ(std::string(r->comment), typed.substr(0, DEVICE_COMMENT_MAX));
    save();
    ASSERT_EQ(Device_load(document(), (folder.path() + "saved.kovra").c_str()), 1)
        << recorder.console();
    EXPECT_EQ(std::string(Layer_findParam(device()->layers[0], "Thickness")->comment),
              typed.substr(0, DEVICE_COMMENT_MAX));
}

TEST_F(Writer, KeptEngineKeysSurviveOpenAndSave)
{
    const std::string source = folder.write(
        "kept.kovra",
        "# Kovra <SL>\n[Device]\n[Layer1]\n    Lattice.Type=\"Wurtzite\"\n"
        "    Therm.C=1.5   # heat\n    label=\"top\"\n[Anode]\n    Anode.Name=\"front\"\n"
        "[Numeric]\n    Numeric.Verbose=\"Yes\"\n");
    ASSERT_EQ(Device_load(document(), source.c_str()), 1) << recorder.console();
    EXPECT_EQ(recorder.console().find("[WARNING]"), std::string::npos) << recorder.console();
    const std::string text = save();
    for (const char* line :
         {"    Lattice.Type=\"Wurtzite\"\n", "    Therm.C=1.5    # heat\n", "    Label=\"top\"\n",
          "    Anode.Name=\"front\"\n", "    Numeric.Verbose=\"Yes\"\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line << text;
    }
}

}  // namespace
