// The device summary and the copies of the inputs a run leaves in its
// output folder: every script, module and data file copied, the device file
// rewritten to name the copies, and the copy runnable on its own.
#include <cmath>
#include <filesystem>

#include "runFixture.h"

namespace {

namespace fs = std::filesystem;

class InputCopiesTest : public RunFixture {
protected:
    // A p-n junction at equilibrium whose first layer takes its mobility
    // from a script that requires modules, whose second layer reads an
    // index table, with an anode index script and a mesh file.
    std::string writeDevice()
    {
        write("in/helper.lua", "helper_mu = 1234\n");
        write("in/sub/extra.lua", "extra_mu = 1\n");
        write("evil.lua", "x = 1\n");
        write("in/mobility.lua", "require \"helper\"\n"
                                 "require \"sub.extra\"\n"
                                 "--[[\n"
                                 "require \"../evil\"\n"
                                 "require \"/etc/hostname\"\n"
                                 "]]\n"
                                 "function kov_mobility(z, thickness, T, N)\n"
                                 "  return helper_mu, 400, false\n"
                                 "end\n");
        write("in/anode.lua", "function kov_index(z, t, eg, wl)\n  return 2.0, 0.1, false\nend\n");
        std::string index = "# wavelength\tn\tk\n";
        for (const char* wl : {"0.2000", "0.4000", "0.6000", "0.8000", "1.0000", "2.0000"}) {
            index += std::string(wl) + "\t3.5000\t0.0500\n";
        }
        write("in/table.nk", index);
        std::string mesh;
        for (int r = 0; r <= 120; ++r) {
            mesh += std::to_string(r / 120.0) + "\n";
        }
        write("in/mesh.txt", mesh);
        fs::create_directories(scratch / "out");
        return write("in/pn.kovra",
                     "# Kovra <SL>\n"
                     "[Device]\n    Name=\"copied\"\n"
                     "[Layer1]\n    Material=\"Si\"\n    Thickness=0.5\n    Dopant.Type=\"N\"\n"
                     "    Dopant.N=1e17\n    Mesh.Points=60\n"
                     "    Mobility.Model=\"" +
                         at("in/mobility.lua") +
                         "\"\n"
                         "[Layer2]\n    Material=\"Si\"\n    Thickness=0.5\n    Dopant.Type=\"P\"\n"
                         "    Dopant.N=1e17\n    Mesh.Points=60\n"
                         "    Index.File=\"" +
                         at("in/table.nk") +
                         "\"\n"
                         "[Anode]\n    Anode.Thickness=0.01\n"
                         "    Anode.Index.Model=\"" +
                         at("in/anode.lua") +
                         "\"\n"
                         "[Voltage]\n    Voltage.Source=\"None\"\n"
                         "[Light]\n    Light.Source=\"None\"\n"
                         "[Numeric]\n    Numeric.Mesh=\"" +
                         at("in/mesh.txt") +
                         "\"\n"
                         "[Command]\n    Command.OutDir=\"" +
                         at("out") + "\"\n");
    }
};

TEST_F(InputCopiesTest, EveryInputIsCopiedAndTheCopyNamesThem)
{
    ASSERT_TRUE(run(writeDevice())) << log;
    struct Copy {
        const char* source;
        const char* copy;
    };
    const Copy copies[] = {
        {"in/mobility.lua", "out/simulinput_mobility_layer1.lua"},
        {"in/table.nk", "out/simulinput_index_layer2.nk"},
        {"in/anode.lua", "out/simulinput_anodeindex.lua"},
        {"in/mesh.txt", "out/simulinput_mesh.txt"},
        {"in/helper.lua", "out/helper.lua"},
        {"in/sub/extra.lua", "out/sub/extra.lua"},
    };
    const std::string device = read(at("out/simulinput.kovra"));
    for (const Copy& c : copies) {
        SCOPED_TRACE(c.copy);
        ASSERT_TRUE(fs::exists(at(c.copy)));
        EXPECT_EQ(read(at(c.copy)), read(at(c.source)));
        if (std::string(c.copy).find("simulinput_") != std::string::npos) {
            // Named by its bare name, found beside the copy wherever the
            // folder is moved.
            const std::string bare = std::string(c.copy).substr(4);
            EXPECT_NE(device.find("=\"" + bare + "\""), std::string::npos) << device;
        }
    }
    // A module name that reaches outside its folder is not followed.
    EXPECT_FALSE(fs::exists(scratch / "out" / "evil.lua"));
    EXPECT_FALSE(fs::exists(scratch / "out" / "etc"));
    // No input name is left in the copy, and its results stay beside it.
    EXPECT_EQ(device.find(at("in/")), std::string::npos) << device;
    EXPECT_NE(device.find("Command.OutDir=\".\""), std::string::npos);

    // The summary lists both layers with their values (the first layer's
    // mobilities are those of its script).
    const std::string summary = read(at("out/simuldevice.txt"));
    EXPECT_EQ(summary.rfind("# Kovra <DE>\n# The above first line is mandatory\n", 0), 0u);
    EXPECT_NE(summary.find("# copied\n"), std::string::npos);
    EXPECT_NE(summary.find("   Layer1:\n     ND = 1e+17 1/cm3   t = 0.5 um   Eg = 1.12 eV   "
                           "Chi = 4.17 eV   un = 1234 cm2/Vs   up = 400 cm2/Vs\n"),
              std::string::npos)
        << summary;
    EXPECT_NE(summary.find("   Layer2:\n     NA = 1e+17 1/cm3   t = 0.5 um   Eg = 1.12 eV   "
                           "Chi = 4.17 eV   un = 1000 cm2/Vs   up = 500 cm2/Vs\n"),
              std::string::npos)
        << summary;
    // Without verbose output there is no device line.
    EXPECT_EQ(summary.find("Device '"), std::string::npos);
}

TEST_F(InputCopiesTest, TheCopyRunsOnItsOwnAndIsNotRewritten)
{
    std::wstring names[5];
    ASSERT_TRUE(run(writeDevice(), names)) << log;
    const std::string first = withoutSavedLine(std::string(names[0].begin(), names[0].end()));
    const std::string copy = read(at("out/simulinput.kovra"));
    // The inputs are gone: the copy needs nothing outside its folder.
    fs::remove_all(scratch / "in");
    ASSERT_TRUE(run(at("out/simulinput.kovra"), names)) << log;
    EXPECT_EQ(withoutSavedLine(std::string(names[0].begin(), names[0].end())), first);
    EXPECT_EQ(read(at("out/simulinput.kovra")), copy);
}

TEST_F(InputCopiesTest, AnEarlierRunsResultsAndCopiesGoBeforeTheNewInputsCome)
{
    // An earlier run of another device left a J-V curve, figures and a
    // script copy; this run's inputs must not stand beside them, whether
    // or not it gets as far as writing results.
    const std::string device = writeDevice();
    write("out/simulout_jv.txt", "0\t1\n");
    write("out/simulout_photovoltaic.txt", "1\t2\n");
    write("out/simulinput_recombination_layer3.lua", "-- earlier\n");
    write("out/notes.txt", "the user's own\n");
    ASSERT_TRUE(run(device)) << log;
    EXPECT_FALSE(fs::exists(at("out/simulout_jv.txt")));
    EXPECT_FALSE(fs::exists(at("out/simulout_photovoltaic.txt")));
    EXPECT_FALSE(fs::exists(at("out/simulinput_recombination_layer3.lua")));
    EXPECT_TRUE(fs::exists(at("out/simulinput_mobility_layer1.lua")));
    EXPECT_EQ(read(at("out/notes.txt")), "the user's own\n");
}

TEST_F(InputCopiesTest, AnInputNamedLikeItsCopyIsNeverOverwritten)
{
    // The device file sits in the output folder under the copy's name, and
    // the folder is spelled another way: the file must stay as written.
    const std::string device = read(writeDevice());
    const std::string text = device.substr(0, device.find("[Command]")) +
                             "[Command]\n    Command.OutDir=\"" + at("out/../out") + "\"\n";
    const std::string file = write("out/simulinput.kovra", text);
    write("out/helper.lua", read(at("in/helper.lua")));
    write("out/sub/extra.lua", read(at("in/sub/extra.lua")));
    ASSERT_TRUE(run(file)) << log;
    EXPECT_EQ(read(file), text);
    EXPECT_FALSE(fs::exists(at("out/simulinput_mobility_layer1.lua")));
}

}  // namespace
