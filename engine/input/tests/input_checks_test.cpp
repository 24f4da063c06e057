// What the reader tells the user about a value it cannot take as written:
// refusals name the line, the key, the text and what is accepted; values
// the run changes or leaves unused are warned with the line, the key, the
// value given and the value used, even with warnings switched off; files
// named by a device file are found from the device file's own folder.
#include <sys/stat.h>

#include "inputTestSupport.h"

using namespace inputtest;

namespace {

// LAYER is lines 2 to 5 of every body below.

// "{dir}" in an expected text stands for the scratch folder.
std::string withFolder(std::string text, const TempFolder& scratch)
{
    const std::string mark = "{dir}";
    for (size_t at = text.find(mark); at != std::string::npos; at = text.find(mark)) {
        text.replace(at, mark.size(), scratch.folder().string());
    }
    return text;
}

struct Refusal {
    const char* name;
    std::string body;
    const char* message;  // exact
    int line;             // 0-based line output
};

const Refusal REFUSALS[] = {
    {"unknown word of a word-valued key", LAYER + "[Numeric]\n    Numeric.Method=\"Newtn\"\n",
     "[ERROR]   invalid value at line 7: Numeric.Method = \"Newtn\" (accepted: Newton, Gummel)\n",
     6},
    {"key given twice", LAYER + "    Thickness=2\n",
     "[ERROR]   invalid syntax at line 6: Thickness given twice in [Layer1] (first at line 3)\n",
     5},
    {"key given twice with its prefix", LAYER + "[Anode]\n    Phi=0.5\n    Anode.Phi=0.6\n",
     "[ERROR]   invalid syntax at line 8: Anode.Phi given twice in [Anode] (first at line 7)\n", 7},
    {"unclosed quote", "[Device]\n    Name=\"GaAs cell   # front\n" + LAYER,
     "[ERROR]   invalid syntax at line 3: unclosed quote in Name = \"GaAs cell   # front\n", 2},
    {"mesh file missing", LAYER + "[Numeric]\n    Numeric.Mesh=\"mesh.txt\"\n",
     "[ERROR]   file not found at line 7: Numeric.Mesh = \"mesh.txt\" (looked for "
     "{dir}/mesh.txt)\n",
     6},
    {"guess file missing", LAYER + "[Numeric]\n    Numeric.Guess=\"guess.txt\"\n",
     "[ERROR]   file not found at line 7: Numeric.Guess = \"guess.txt\" (looked for "
     "{dir}/guess.txt)\n",
     6},
    {"bias file missing", LAYER + "[Voltage]\n    Voltage.Source=\"bias.txt\"\n",
     "[ERROR]   invalid value at line 7: Voltage.Source = \"bias.txt\" (accepted: Sweep, None, or "
     "an existing bias file; looked for {dir}/bias.txt)\n",
     6},
    {"layer after a gap", LAYER + "[Layer3]\n    Thickness=1\n    Dopant.N=1e16\n",
     "[ERROR]   invalid device at line 6: [Layer3] without [Layer2] (layers are numbered from "
     "Layer1 without gaps)\n",
     5},
    {"thickness with a unit", "[Layer1]\n    Thickness=3um\n    Dopant.N=1e16\n",
     "[ERROR]   invalid expression at line 3: Thickness = 3um (a number, or an expression of "
     "numbers and $variables, is expected)\n",
     2},
    {"decimal comma", "[Layer1]\n    Thickness=3,5\n    Dopant.N=1e16\n",
     "[ERROR]   invalid expression at line 3: Thickness = 3,5 (a number, or an expression of "
     "numbers and $variables, is expected)\n",
     2},
    {"negative doping", "[Layer1]\n    Thickness=1\n    Dopant.N=-1e17\n",
     "[ERROR]   invalid value at line 4: Dopant.N = \"-1e17\" (accepted: from 0 to 1e+22 "
     "1/cm3)\n",
     3},
    {"unknown doping type", "[Layer1]\n    Thickness=1\n    Dopant.Type=\"X\"\n    Dopant.N=1\n",
     "[ERROR]   invalid value at line 4: Dopant.Type = \"X\" (accepted: N, D, Donor, P, A, "
     "Acceptor, I, Intrinsic)\n",
     3},
    {"trap count outside 0..5", LAYER + "    Trap.Count=7\n",
     "[ERROR]   invalid value at line 6: Trap.Count = \"7\" (accepted: from 0 to 5 traps)\n", 5},
    {"unknown trap type", LAYER + "    Trap1.Type=\"X\"\n",
     "[ERROR]   invalid value at line 6: Trap1.Type = \"X\" (accepted: D, Donor, A, Acceptor)\n",
     5},
    {"trap lifetime out of range",
     LAYER + "    Trap1.Type=\"D\"\n    Trap1.N=1e15\n    Trap1.Nr=1e19\n    Trap1.E=0.2\n"
             "    Trap1.Taun=0\n    Trap1.Taup=1e-9\n",
     "[ERROR]   invalid value at line 10: Trap1.Taun = \"0\" (accepted: from 1e-15 to 1000 s)\n",
     9},
    {"unknown Urbach word", LAYER + "    Urbach.Enable=\"maybe\"\n",
     "[ERROR]   invalid value at line 6: Urbach.Enable = \"maybe\" (accepted: Yes, Y, Def, "
     "Default, None, No, N)\n",
     5},
    {"unknown contact kind", LAYER + "[Anode]\n    Anode.Type=\"Schotky\"\n",
     "[ERROR]   invalid value at line 7: Anode.Type = \"Schotky\" (accepted: Schottky, Ohmic)\n",
     6},
    {"unknown contact metal", LAYER + "[Cathode]\n    Cathode.Material=\"Gold\"\n",
     "[ERROR]   invalid value at line 7: Cathode.Material = \"Gold\" (accepted: Cx (no metal "
     "film), Al, Ag, Au, Cu, Ni, Pt, Ti)\n",
     6},
    {"unknown plot word", LAYER + "[Command]\n    Command.Plot=\"Maybe\"\n",
     "[ERROR]   invalid value at line 7: Command.Plot = \"Maybe\" (accepted: Yes, Y, None, No, "
     "N)\n",
     6},
    // LAYER is silicon, whose bandgap of 1.12 eV bounds the sweep.
    {"voltage step above a fifth of the bandgap",
     LAYER + "[Voltage]\n    Voltage.Start=0\n    Voltage.End=1\n    Voltage.Step=0.5\n",
     "[ERROR]   invalid value at line 9: Voltage.Step = \"0.5\" (accepted: at most 0.224 V, a "
     "fifth of the bandgap of Layer1, 1.12 eV)\n",
     8},
    {"voltage end beyond twenty bandgaps",
     LAYER + "[Voltage]\n    Voltage.Start=0\n    Voltage.End=60\n    Voltage.Step=0.01\n",
     "[ERROR]   invalid value at line 8: Voltage.End = \"60\" (accepted: from -22.4 to 22.4 V, 20 "
     "times the bandgap of Layer1, 1.12 eV)\n",
     7},
    {"voltage start beyond twenty bandgaps",
     LAYER + "[Voltage]\n    Voltage.Start=-22.5\n    Voltage.End=0\n    Voltage.Step=0.1\n",
     "[ERROR]   invalid value at line 7: Voltage.Start = \"-22.5\" (accepted: from -22.4 to "
     "22.4 V, 20 times the bandgap of Layer1, 1.12 eV)\n",
     6},
    {"quoted word for a count", LAYER + "    Mesh.Points=\"abc\"\n",
     "[ERROR]   invalid value at line 6: Mesh.Points = \"abc\" (accepted: a whole number, from 5 "
     "to 5000 points)\n",
     5},
    {"quoted word for a number", "[Layer1]\n    Thickness=\"thick\"\n    Dopant.N=1e16\n",
     "[ERROR]   invalid value at line 3: Thickness = \"thick\" (accepted: a number, from 0.0001 "
     "to 10000 um)\n",
     2},
    {"quoted word for a number that 0 would satisfy", LAYER + "    Dopant.E=\"shallow\"\n",
     "[ERROR]   invalid value at line 6: Dopant.E = \"shallow\" (accepted: a number, from 0 to 10 "
     "eV)\n",
     5},
    {"trap count written as a power of ten", LAYER + "    Trap.Count=1e6\n",
     "[ERROR]   invalid value at line 6: Trap.Count = \"1e6\" (accepted: from 0 to 5 traps)\n", 5},
    // Each rule of a sweep is named with the key that breaks it.
    {"sweep running downwards",
     LAYER + "[Voltage]\n    Voltage.Start=0.6\n    Voltage.End=0\n    Voltage.Step=0.01\n",
     "[ERROR]   invalid value at line 8: Voltage.End = \"0\" (accepted: at least Voltage.Start, "
     "0.6 V at line 7: a sweep runs upwards from Voltage.Start to Voltage.End)\n",
     7},
    {"sweep of one bias with a step",
     LAYER + "[Voltage]\n    Voltage.Start=0.5\n    Voltage.End=0.5\n    Voltage.Step=0.01\n",
     "[ERROR]   invalid value at line 9: Voltage.Step = \"0.01\" (accepted: 0 when Voltage.Start "
     "equals Voltage.End, a sweep of one bias)\n",
     8},
    {"sweep start beyond 100 V",
     LAYER + "[Voltage]\n    Voltage.Start=-150\n    Voltage.End=0\n    Voltage.Step=0.01\n",
     "[ERROR]   invalid value at line 7: Voltage.Start = \"-150\" (accepted: from -100 to 100 V)\n",
     6},
    {"voltage step below a thousandth of kT/q",
     LAYER + "[Voltage]\n    Voltage.Start=0\n    Voltage.End=0.4\n    Voltage.Step=0.00001\n",
     "[ERROR]   invalid value at line 9: Voltage.Step = \"0.00001\" (accepted: from 2.5852e-05 V, "
     "a thousandth of the thermal voltage kT/q at 300 K, to the smaller of End - Start, 0.4 V, "
     "and 0.224 V, a fifth of the bandgap of Layer1, 1.12 eV)\n",
     8},
    {"voltage step above the sweep",
     LAYER + "[Voltage]\n    Voltage.Start=0\n    Voltage.End=0.1\n    Voltage.Step=0.2\n",
     "[ERROR]   invalid value at line 9: Voltage.Step = \"0.2\" (accepted: at most End - Start, "
     "0.1 V)\n",
     8},
    {"current limits crossed",
     LAYER + "[Voltage]\n    Voltage.Start=0\n    Voltage.End=0.4\n    Voltage.Step=0.01\n"
             "    Voltage.Jinf=10\n    Voltage.Jsup=-10\n",
     "[ERROR]   invalid value at line 11: Voltage.Jsup = \"-10\" (accepted: above Voltage.Jinf, 10 "
     "A/cm2 at line 10)\n",
     10},
    {"model script missing", LAYER + "    Mobility.Model=\"nomodel.lua\"\n",
     "[ERROR]   model file not found at line 6: Mobility.Model = \"nomodel.lua\" (looked for "
     "{dir}/nomodel.lua)\n",
     5},
    {"AM1.5 without a voltage source", LAYER + "[Light]\n    Light.Source=\"AM1.5\"\n",
     "[ERROR]   light without a voltage source at line 7: Light.Source = \"AM1.5\" needs a bias "
     "sweep or a bias file in [Voltage] (without one, use Light.Source=\"EQE\" for a wavelength "
     "sweep)\n",
     6},
    {"undefined variable in an expression", LAYER + "    Mesh.Points=2 * $n\n",
     "[ERROR]   Variable not defined at line 6: $n, in Mesh.Points (a variable is defined on a "
     "line \"$n = value\" above its use)\n",
     5},
    {"variable defined by an undefined one", "$a = $b * 2\n" + LAYER,
     "[ERROR]   invalid variable definition at line 2: $a = $b * 2 uses $b, which is not defined "
     "above it\n",
     1},
    {"sixty-fifth variable",
     [] {
         std::string lines;
         for (int i = 1; i <= 65; ++i) {
             lines += "$v" + std::to_string(i) + " = " + std::to_string(i) + "\n";
         }
         return lines + LAYER;
     }(),
     "[ERROR]   invalid variable definition at line 66: $v65: a device file holds at most 64 "
     "variables\n",
     65},
    {"output folder that cannot be made",
     LAYER + "[Command]\n    Command.OutDir=\"device.kovra/out\"\n",
     "[ERROR]   cannot make the output folder at line 7: Command.OutDir = \"device.kovra/out\" "
     "({dir}/device.kovra/out)\n",
     6},
};

class InputRefusedValue : public testing::TestWithParam<Refusal> {};

// Side files that exist as FIFOs (a reader would block on them) are named
// for what they are, not reported missing.
const Refusal FIFO_REFUSALS[] = {
    {"mesh file", LAYER + "[Numeric]\n    Numeric.Mesh=\"pipe.txt\"\n",
     "[ERROR]   not a regular file at line 7: Numeric.Mesh = \"pipe.txt\" ({dir}/pipe.txt is a "
     "FIFO)\n",
     6},
    {"guess file", LAYER + "[Numeric]\n    Numeric.Guess=\"pipe.txt\"\n",
     "[ERROR]   not a regular file at line 7: Numeric.Guess = \"pipe.txt\" ({dir}/pipe.txt is a "
     "FIFO)\n",
     6},
    {"bias file", LAYER + "[Voltage]\n    Voltage.Source=\"pipe.txt\"\n",
     "[ERROR]   invalid value at line 7: Voltage.Source = \"pipe.txt\" (accepted: Sweep, None, or "
     "an existing bias file; {dir}/pipe.txt is a FIFO, not a regular file)\n",
     6},
    {"index file", LAYER + "    Index.File=\"pipe.nk\"\n",
     "[ERROR]   not a regular file at line 6: Index.File = \"pipe.nk\" ({dir}/pipe.nk is a "
     "FIFO)\n",
     5},
    {"index model", LAYER + "    Index.Model=\"pipe.lua\"\n",
     "[ERROR]   not a regular file at line 6: Index.Model = \"pipe.lua\" ({dir}/pipe.lua is a "
     "FIFO)\n",
     5},
    {"spectrum file", LAYER + "[Light]\n    Light.Source=\"pipe.txt\"\n",
     "[ERROR]   unknown light source specified at line 7: Light.Source = \"pipe.txt\" (accepted: "
     "AM1.5, Mono, Sweep, EQE, None, or an existing spectrum file; {dir}/pipe.txt is a FIFO, not "
     "a regular file)\n",
     6},
};

class InputFifoSideFile : public testing::TestWithParam<Refusal> {};

// A case's name as a test name: its letters and digits.
std::string refusalName(const testing::TestParamInfo<Refusal>& info)
{
    std::string name;
    for (const char* c = info.param.name; *c != '\0'; ++c) {
        if (std::isalnum(static_cast<unsigned char>(*c))) {
            name += *c;
        }
    }
    return name;
}

}  // namespace

TEST_P(InputRefusedValue, NamesLineKeyTextAndWhatIsAccepted)
{
    const Refusal& refusal = GetParam();
    TempFolder scratch;
    DeviceRun run;
    EXPECT_FALSE(run.load(deviceFile(scratch, refusal.body)));
    EXPECT_EQ(run.message(), withFolder(refusal.message, scratch));
    EXPECT_EQ(run.line, refusal.line);
}

INSTANTIATE_TEST_SUITE_P(Values, InputRefusedValue, testing::ValuesIn(REFUSALS), refusalName);

TEST_P(InputFifoSideFile, IsNamedAsNoRegularFile)
{
    const Refusal& refusal = GetParam();
    TempFolder scratch;
    ASSERT_EQ(::mkfifo(scratch.file("pipe.txt").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(scratch.file("pipe.nk").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(scratch.file("pipe.lua").c_str(), 0600), 0);
    DeviceRun run;
    EXPECT_FALSE(run.load(deviceFile(scratch, refusal.body)));
    EXPECT_EQ(run.message(), withFolder(refusal.message, scratch));
    EXPECT_EQ(run.line, refusal.line);
}

INSTANTIATE_TEST_SUITE_P(Files, InputFifoSideFile, testing::ValuesIn(FIFO_REFUSALS), refusalName);

TEST(InputRefusedValue, AnUnknownMaterialNamesItsLineAndTheKnownNames)
{
    TempFolder scratch;
    DeviceRun run;
    EXPECT_FALSE(run.load(deviceFile(scratch, "[Layer1]\n    Thickness=1\n    Material=\"GaAz\"\n"
                                              "    Dopant.N=1e16\n")));
    const std::string message = run.message();
    EXPECT_EQ(message.rfind("[ERROR]   unknown material at line 4: Material = \"GaAz\" (known: Si, "
                            "Ge, ",
                            0),
              0u)
        << message;
    EXPECT_NE(message.find("GaAs"), std::string::npos) << message;
    EXPECT_EQ(run.line, 3);
}

namespace {

struct Change {
    const char* name;
    std::string body;
    const char* warning;  // one whole line of the log
};

const Change CHANGES[] = {
    {"mesh points above the layer's limit", LAYER + "    Mesh.Points=10000\n",
     "[WARNING] at line 6: Mesh.Points = \"10000\" changed to 5000 (accepted: from 5 to 5000 "
     "points)\n"},
    {"mesh points below the layer's limit", LAYER + "    Mesh.Points=2\n",
     "[WARNING] at line 6: Mesh.Points = \"2\" changed to 5 (accepted: from 5 to 5000 "
     "points)\n"},
    {"device points clamped", LAYER + "[Numeric]\n    Numeric.Points=30000\n",
     "[WARNING] at line 7: Numeric.Points = \"30000\" changed to 20000 (accepted: from 50 to "
     "20000 points)\n"},
    {"voltage step fitted to the point cap",
     LAYER + "[Voltage]\n    Voltage.Start=-0.2\n    Voltage.End=0.9\n    Voltage.Step=0.0001\n",
     "[WARNING] at line 9: Voltage.Step = \"0.0001\" changed to 0.000220044 (a sweep has at most "
     "5000 points)\n"},
    {"partial sweep", LAYER + "[Voltage]\n    Voltage.Start=0\n    Voltage.End=0.5\n",
     "[WARNING] at line 7: Voltage.Start = \"0\" is not used (a bias sweep needs all of "
     "Voltage.Start, Voltage.End and Voltage.Step)\n"},
    {"velocity on an ohmic anode", LAYER + "[Anode]\n    Anode.Type=\"Ohmic\"\n    Anode.Rn=1e4\n",
     "[WARNING] at line 8: Anode.Rn = \"1e4\" is not used (an ohmic contact recombines without "
     "limit; surface recombination velocities apply to a Schottky contact)\n"},
    {"velocity on a cathode of no kind", LAYER + "[Cathode]\n    Rp=100\n",
     "[WARNING] at line 7: Cathode.Rp = \"100\" is not used (an ohmic contact recombines without "
     "limit; surface recombination velocities apply to a Schottky contact)\n"},
    {"own lifetime of a doped layer", LAYER + "    Taun=1e-9\n",
     "[WARNING] at line 6: Taun = \"1e-9\" is not used (a doped layer recombines through its "
     "dopant level: give Dopant.Taun)\n"},
    {"trap too thin to count",
     LAYER + "    Trap1.Type=\"D\"\n    Trap1.N=1e5\n    Trap1.Nr=1e19\n    Trap1.E=0.2\n"
             "    Trap1.Taun=1e-9\n    Trap1.Taup=1e-9\n",
     "[WARNING] at line 7: Trap1.N = \"1e5\" is not used (a trap below 1e6 1/cm3 takes no part "
     "in the run)\n"},
    {"lattice structure that is no known word", LAYER + "    Lattice.Type=\"Wurzite\"\n",
     "[WARNING] at line 6: Lattice.Type = \"Wurzite\" changed to 0 (no polarisation charges: "
     "only Wurtzite is a polar structure)\n"},
    {"model that is no script", LAYER + "    Mobility.Model=\"caughey\"\n",
     "[WARNING] at line 6: Mobility.Model = \"caughey\" is not used (a model is a Lua script, a "
     "file name ending in .lua)\n"},
    {"dopant keys beside a doping model",
     "[Layer1]\n    Thickness=1\n    Dopant.Model=\"doping.lua\"\n    Dopant.N=1e17\n",
     "[WARNING] at line 5: Dopant.N = \"1e17\" is not used (Dopant.Model sets the doping)\n"},
    {"trap keys beside a trap model",
     LAYER + "    Trap.Model=\"traps.lua\"\n    Trap.Count=1\n    Trap1.N=1e15\n",
     "[WARNING] at line 8: Trap1.N = \"1e15\" is not used (Trap.Model sets the traps)\n"},
    {"wavelength beside a start",
     LAYER + "[Voltage]\n    Voltage.Start=0\n    Voltage.End=0.5\n    Voltage.Step=0.1\n"
             "[Light]\n    Light.Source=\"AM1.5\"\n    Light.Start=0.4\n    Light.Wavelength=0.5\n",
     "[WARNING] at line 13: Light.Wavelength = \"0.5\" is not used (Light.Start gives the "
     "wavelength)\n"},
    // Values the run caps or cuts are said, never changed silently.
    {"dopant energy above half the bandgap", LAYER + "    Dopant.E=0.7\n",
     "[WARNING] at line 6: Dopant.E = \"0.7\" changed to 0.56 (a level lies at most half the "
     "bandgap of Layer1, 1.12 eV, from its band edge)\n"},
    {"trap energy above half the bandgap",
     LAYER + "    Trap1.Type=\"A\"\n    Trap1.N=1e15\n    Trap1.Nr=1e19\n    Trap1.E=0.9\n"
             "    Trap1.Taun=1e-9\n    Trap1.Taup=1e-9\n",
     "[WARNING] at line 9: Trap1.E = \"0.9\" changed to 0.56 (a level lies at most half the "
     "bandgap of Layer1, 1.12 eV, from midgap)\n"},
    {"degeneracy factor that is no whole number", LAYER + "    Dopant.F=1.5\n",
     "[WARNING] at line 6: Dopant.F = \"1.5\" changed to 2 (a degeneracy factor is a whole "
     "number)\n"},
    {"device name over 31 characters",
     "[Device]\n    Name=\"A name of more than thirty-one characters\"\n" + LAYER,
     "[WARNING] at line 3: Name = \"A name of more than thirty-one characters\" changed to \"A "
     "name of more than thirty-one \" (a name holds at most 31 characters)\n"},
    {"flux of a quantum-efficiency sweep below its range",
     LAYER + "[Light]\n    Light.Source=\"EQE\"\n    Light.Start=0.4\n    Light.End=0.8\n"
             "    Light.Step=0.02\n    Light.Flux=1e14\n",
     "[WARNING] at line 11: Light.Flux = \"1e14\" changed to 1e+15 (a quantum-efficiency sweep "
     "takes a flux from 1e+15 to 1e+22 1/cm2/s)\n"},
    {"monochromatic light out of range",
     LAYER + "[Light]\n    Light.Source=\"Mono\"\n    Light.Wavelength=0.05\n    Light.Flux=1e17\n",
     "[WARNING] light parameters at line 6 not valid (wavelength: from 0.1 to 10 um; step at "
     "most End - Start; flux: from 0 to 1e+28 1/cm2/s): the run has no light\n"},
};

class InputChangedValue : public testing::TestWithParam<Change> {};

}  // namespace

// Warnings switched off (as the editor runs the engine) still show what the
// run changed: the run would otherwise not be the one the file describes.
TEST_P(InputChangedValue, IsWarnedEvenWithWarningsOff)
{
    const Change& change = GetParam();
    TempFolder scratch;
    // The model scripts some cases name, which the reader checks are there.
    for (const char* name : {"doping.lua", "traps.lua"}) {
        writeText(scratch.file(name), "-- a model script the reader finds\n");
    }
    const std::string log = scratch.file("log.txt");
    DeviceRun run(0, log);
    run.sigma.nowarn = true;
    ASSERT_TRUE(run.load(deviceFile(scratch, change.body))) << run.message();
    const std::string text = readText(log);
    EXPECT_NE(text.find(change.warning), std::string::npos) << text;
    EXPECT_EQ(run.sigma.err, 0);
}

INSTANTIATE_TEST_SUITE_P(Values, InputChangedValue, testing::ValuesIn(CHANGES),
                         [](const testing::TestParamInfo<Change>& info) {
                             std::string name;
                             for (const char* c = info.param.name; *c != '\0'; ++c) {
                                 if (std::isalnum(static_cast<unsigned char>(*c))) {
                                     name += *c;
                                 }
                             }
                             return name;
                         });

// A lattice word keeps its meaning: Wurtzite (any case) is polar, any
// other word is not, whatever the material's own structure.
TEST(InputChangedValue, LatticeWordsGiveTheTypeTheyName)
{
    const struct {
        const char* material;
        const char* word;
        int type;
    } cases[] = {{"Si", "wurtzite", 0x20},
                 {"GaN", "Zincblende", 0},
                 {"GaN", "Wurzite", 0},
                 {"GaN", nullptr, 0x20},
                 {"Si", nullptr, 0}};
    for (const auto& c : cases) {
        TempFolder scratch;
        DeviceRun run;
        std::string body = "[Layer1]\n    Material=\"" + std::string(c.material) +
                           "\"\n    Thickness=1\n    Dopant.Type=\"N\"\n    Dopant.N=1e16\n";
        if (c.word != nullptr) {
            body += "    Lattice.Type=\"" + std::string(c.word) + "\"\n";
        }
        ASSERT_TRUE(run.load(deviceFile(scratch, body))) << run.message();
        EXPECT_EQ(run.layer(0)->getLatticeType(), c.type)
            << c.material << " " << (c.word ? c.word : "-");
    }
}

namespace {

// How an integer key written in any number form is used.
struct CountCase {
    const char* line;     // in [Layer1], or in [Numeric] for Numeric.Points
    long used;            // the layer's points, or the device's total
    const char* warning;  // the one warning line expected (or a part of it), null for none
};

const CountCase COUNTS[] = {
    {"Mesh.Points=100000", 5000,
     "[WARNING] at line 6: Mesh.Points = \"100000\" changed to 5000 (accepted: from 5 to 5000 "
     "points)\n"},
    {"Mesh.Points=1e5", 5000,
     "[WARNING] at line 6: Mesh.Points = \"1e5\" changed to 5000 (accepted: from 5 to 5000 "
     "points)\n"},
    {"Mesh.Points=1e6", 5000, "Mesh.Points = \"1e6\" changed to 5000 ("},
    {"Mesh.Points=1e300", 5000, "Mesh.Points = \"1e300\" changed to 5000 ("},
    {"Mesh.Points=100000.0", 5000, "Mesh.Points = \"100000.0\" changed to 5000 ("},
    {"Mesh.Points=2e3", 2000, nullptr},
    {"Mesh.Points=400.0", 400, nullptr},
    {"Mesh.Points=1e1 * 40", 400, nullptr},
    {"Mesh.Points=12.5", 13,
     "[WARNING] at line 6: Mesh.Points = \"12.5\" changed to 13 (a count is a whole number; "
     "accepted: from 5 to 5000 points)\n"},
    {"Mesh.Points=-1e9", 5, "Mesh.Points = \"-1e9\" changed to 5 ("},
    {"Numeric.Points=100000", 20000,
     "[WARNING] at line 7: Numeric.Points = \"100000\" changed to 20000 (accepted: from 50 to "
     "20000 points)\n"},
    {"Numeric.Points=1.5e4", 15000, nullptr},
};

}  // namespace

// A count is read as the number it evaluates to: 1e5 is a hundred thousand,
// not the 1 before its exponent. Only a value the run changes is warned.
TEST(InputChangedValue, CountsAreReadInEveryNumberForm)
{
    for (const CountCase& c : COUNTS) {
        TempFolder scratch;
        const std::string log = scratch.file("log.txt");
        DeviceRun run(0, log);
        const bool numeric = std::string(c.line).rfind("Numeric.", 0) == 0;
        const std::string body = LAYER + (numeric ? "[Numeric]\n    " : "    ") + c.line + "\n";
        ASSERT_TRUE(run.load(deviceFile(scratch, body))) << c.line << ": " << run.message();
        const long used = numeric ? run.param.points : run.layer(0)->getMeshPoints();
        EXPECT_EQ(used, c.used) << c.line;
        const std::string text = readText(log);
        if (c.warning == nullptr) {
            EXPECT_EQ(text.find("[WARNING]"), std::string::npos) << c.line << "\n" << text;
            continue;
        }
        EXPECT_NE(text.find(c.warning), std::string::npos) << c.line << "\n" << text;
        // One decision, said once.
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << c.line << "\n" << text;
    }
}

// A step too small for a sweep is refused once: no warning that it was
// widened comes before the refusal.
TEST(InputRefusedValue, ATooSmallVoltageStepIsOneDecision)
{
    TempFolder scratch;
    const std::string log = scratch.file("log.txt");
    DeviceRun run(0, log);
    EXPECT_FALSE(
        run.load(deviceFile(scratch, LAYER + "[Voltage]\n    Voltage.Start=0\n    Voltage.End=0.4\n"
                                             "    Voltage.Step=0.00001\n")));
    const std::string text = readText(log);
    EXPECT_EQ(text.find("[WARNING]"), std::string::npos) << text;
    EXPECT_NE(text.find("[ERROR]   invalid value at line 9: Voltage.Step"), std::string::npos)
        << text;
}

TEST(InputChangedValue, ClampedValuesAreTheOnesUsed)
{
    TempFolder scratch;
    DeviceRun run;
    ASSERT_TRUE(run.load(deviceFile(scratch, LAYER + "    Mesh.Points=20000\n"))) << run.message();
    EXPECT_EQ(run.layer(0)->getMeshPoints(), ekLayer::MESH_POINTS_MAX);
}

// Files named in a device file lie beside it, wherever the run starts.
TEST(InputPaths, RelativeNamesAreTakenFromTheDeviceFilesFolder)
{
    TempFolder scratch;
    std::filesystem::create_directories(scratch.file("cell/models"));
    writeText(scratch.file("cell/mesh.txt"), "0\n1\n");
    writeText(scratch.file("cell/guess.txt"), "0\t0\t0\n");
    writeText(scratch.file("cell/models/mu.lua"), "function kov_mobility() return 1, 1 end\n");
    const std::string device = deviceFile(
        scratch,
        "[Layer1]\n    Thickness=1\n    Dopant.N=1e16\n    Mobility.Model=\"models/mu.lua\"\n"
        "[Numeric]\n    Numeric.Mesh=\"mesh.txt\"\n    Numeric.Guess=\"guess.txt\"\n"
        "[Command]\n    Command.OutDir=\"results\"\n",
        "cell/device.kovra");
    DeviceRun run;
    ASSERT_TRUE(run.load(device)) << run.message();
    EXPECT_EQ(kov_toUtf8(run.simulator->getMeshFilename()), scratch.file("cell/mesh.txt"));
    EXPECT_EQ(kov_toUtf8(run.simulator->getInitialGuessFilename()), scratch.file("cell/guess.txt"));
    EXPECT_EQ(kov_toUtf8(run.layer(0)->getScript(ekLayer::MODEL_MOBILITY)),
              scratch.file("cell/models/mu.lua"));
    EXPECT_EQ(kov_toUtf8(run.param.outDir), scratch.file("cell/results"));
    EXPECT_TRUE(std::filesystem::is_directory(scratch.file("cell/results")));
}

TEST(InputPaths, AnyNameBeforeTheExtensionIsAValidDeviceFile)
{
    TempFolder scratch;
    DeviceRun run;
    ASSERT_TRUE(run.load(deviceFile(scratch, LAYER, "a.kovra"))) << run.message();
    EXPECT_EQ(run.device->getLayerCount(), 1);
}

// The contact line of a verbose load gives the recombination velocities in
// the unit the file gives them.
TEST(InputChangedValue, ContactVelocitiesArePrintedInCentimetresPerSecond)
{
    TempFolder scratch;
    const std::string log = scratch.file("log.txt");
    DeviceRun run(0x11, log);
    ASSERT_TRUE(run.load(deviceFile(scratch, LAYER + "[Anode]\n    Anode.Rn=1e5\n")))
        << run.message();
    const std::string text = readText(log);
    EXPECT_NE(text.find("Rn = 100000 cm/s   Rp = 1e+07 cm/s"), std::string::npos) << text;
    EXPECT_EQ(text.find("m/s   "), text.find("cm/s   ") + 1) << text;
}

// "None" or an empty name asks for no model and is no mistake.
TEST(InputChangedValue, NoModelIsNoWarning)
{
    TempFolder scratch;
    const std::string log = scratch.file("log.txt");
    DeviceRun run(0, log);
    ASSERT_TRUE(run.load(
        deviceFile(scratch, LAYER + "    Mobility.Model=\"None\"\n    Index.Model=\"\"\n")))
        << run.message();
    EXPECT_EQ(readText(log).find("[WARNING]"), std::string::npos) << readText(log);
    EXPECT_FALSE(run.layer(0)->isScript(ekLayer::MODEL_MOBILITY));
}

// A file that is valid line by line loads without a single warning.
TEST(InputChangedValue, AValidFileIsLoadedWithoutWarning)
{
    TempFolder scratch;
    const std::string log = scratch.file("log.txt");
    DeviceRun run(0x11, log);
    ASSERT_TRUE(run.load(deviceFile(
        scratch, LAYER +
                     "    Mesh.Points=5000\n    Dopant.Taun=1e-6\n    Lattice.Type=\"zincblende\"\n"
                     "[Voltage]\n    Voltage.Start=0\n    Voltage.End=0.5\n    Voltage.Step=0.01\n"
                     "[Numeric]\n    Numeric.Points=20000\n    Numeric.Method=\"Newton\"\n")))
        << run.message();
    EXPECT_EQ(readText(log).find("[WARNING]"), std::string::npos) << readText(log);
}
