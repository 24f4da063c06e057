// The reader over the corpus of device files: every valid file loads, and
// every refused file gives its message exactly, with the line it names.
#include <cctype>

#include <sys/stat.h>

#include "inputTestSupport.h"

using namespace inputtest;

namespace {

// The caller's value of the line output; a refusal that names no line
// leaves it alone.
constexpr int UNCHANGED = 77;

struct Refusal {
    const char* file;     // under corpus/errors/, or a name given as it stands
    const char* message;  // as the channel received it, without the line end
    int line;             // 0-based line output
};

// The first 63 letters of the variable of long-reference.kovra.
#define LONG_NAME "wwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwww"

const Refusal REFUSALS[] = {
    // File name and first line.
    // Any name before the extension will do; a missing file is named.
    {"=a.kovra", "[ERROR]   cannot open input filename a.kovra (no such file, or not readable)\n",
     UNCHANGED},
    {"=.kovra",
     "[ERROR]   invalid input filename: .kovra (a name is needed before the extension)\n",
     UNCHANGED},
    {"=device.KOVRA",
     "[ERROR]   invalid input filename extension: device.KOVRA (valid extension: kovra)\n",
     UNCHANGED},
    {"empty.kovra", "[ERROR]   invalid input file\n", 0},
    {"header.kovra",
     "[ERROR]   invalid input file header at line 1: \"#Kovra <SL>\" (the first line of a device "
     "file is exactly \"# Kovra <SL>\")\n",
     0},
    {"xml-file.xml", "[ERROR]   XML input file format not yet supported\n", 0},
    // Lines, variables and sections.
    {"variable-empty.kovra",
     "[ERROR]   invalid variable definition at line 2: $width has no value\n", 1},
    {"variable-reserved.kovra",
     "[ERROR]   reserved variable name at line 3: $Pi is a constant (pi, _q, _m, _k, _h, _c, _e "
     "and _n cannot be redefined)\n",
     2},
    {"section-syntax.kovra", "[ERROR]   invalid syntax at line 6", 5},
    {"signal.kovra",
     "[ERROR]   invalid syntax at line 6: harmonic signal simulation not yet implemented", 5},
    {"unknown-section.kovra",
     "[ERROR]   invalid syntax at line 2: unknown section [ Layer1 ] "
     "(sections: Device, Layer1 to Layer9, Anode, Cathode, Voltage, Light, Numeric, Command)\n",
     1},
    {"long-section-name.kovra",
     "[ERROR]   invalid syntax at line 2: unknown section "
     "(sections: Device, Layer1 to Layer9, Anode, Cathode, Voltage, Light, Numeric, Command)\n",
     1},
    {"too-many-sections.kovra",
     "[ERROR]   Maximum number of sections reached at line 21 (a device file holds at most 16 "
     "sections)\n",
     20},
    {"outside-section.kovra", "[ERROR]   invalid syntax at line 2: item outside section", 1},
    {"key-syntax.kovra", "[ERROR]   invalid syntax at line 3", 2},
    {"key-empty-value.kovra", "[ERROR]   invalid syntax at line 3", 2},
    {"undefined-variable.kovra",
     "[ERROR]   Variable not defined at line 3: $width, in Thickness (a variable is defined on a "
     "line \"$width = value\" above its use)\n",
     2},
    {"long-reference.kovra",
     "[ERROR]   Variable not defined at line 3: $" LONG_NAME "..., in Thickness (a variable is "
     "defined on a line \"$" LONG_NAME "... = value\" above its use)\n",
     2},
    {"expression.kovra",
     "[ERROR]   invalid expression at line 3: Thickness = 2*/3 (a number, or an expression of "
     "numbers and $variables, is expected)\n",
     2},
    {"unknown-key.kovra",
     "[ERROR]   invalid syntax at line 3: unknown parameter 'Thicknes' (did you mean "
     "'Thickness'?)\n",
     2},
    {"unknown-prefixed-key.kovra",
     "[ERROR]   invalid syntax at line 7: unknown parameter 'Anode.anode.Phi' (the keys of every "
     "section are listed in the device-file reference, docs/device-file.md)\n",
     6},
    {"line-too-long.kovra", "[ERROR]   invalid syntax at line 3: line too long", 2},
    {"no-section.kovra", "[ERROR]   input file not loaded: no section found\n", 0},
    // Device and layers.
    {"polarization.kovra",
     "[ERROR]   invalid value at line 3: Polarization.Scale = \"11\" (accepted: from -10 to 10)\n",
     2},
    {"temperature.kovra",
     "[ERROR]   invalid value at line 4: Temperature = \"5000\" (accepted: from 1 to 2000 K)\n", 3},
    {"thickness-missing.kovra", "[ERROR]   layer at line 6: thickness not specified\n", 5},
    {"no-layers.kovra",
     "[ERROR]   invalid device: no layers (a device file describes its layers in sections "
     "[Layer1], [Layer2] and so on)\n",
     0},
    {"layers-from-two.kovra",
     "[ERROR]   invalid device at line 2: [Layer2] without [Layer1] (layers are numbered from "
     "Layer1 without gaps)\n",
     1},
    {"trap-count.kovra",
     "[ERROR]   layer at line 2: Trap.Count and Trap.Model must be correctly defined together\n",
     1},
    {"trap-model.kovra",
     "[ERROR]   layer at line 2: Trap.Count and Trap.Model must be correctly defined together\n",
     1},
    {"index-file.kovra",
     "[ERROR]   layer at line 6: Index.File not found: Index.File = \"missing-kovra-index.nk\" "
     "(looked for " KOVRA_SOURCE_DIR "/engine/input/tests/corpus/errors/missing-kovra-index.nk, "
     "then in the program's etc/refractiveindex/ and etc/)\n",
     5},
    {"index-database.kovra",
     "[ERROR]   layer at line 2: no index data in the material database for Si\n", 1},
    {"dopant-type.kovra",
     "[ERROR]   invalid value at line 4: Dopant.Type = \"X\" (accepted: N, D, Donor, P, A, "
     "Acceptor, I, Intrinsic)\n",
     3},
    {"dopant-density.kovra",
     "[ERROR]   layer at line 2: doping not specified: a donor or acceptor layer needs Dopant.N "
     "(or Dopant.Type=\"Intrinsic\")\n",
     1},
    {"trap-incomplete.kovra",
     "[ERROR]   incomplete trap at line 6: Trap2 misses Trap2.Nr, Trap2.E, Trap2.Taun, Trap2.Taup "
     "(a trap is given by its Type, N, Nr, E, Taun and Taup; F is optional)\n",
     5},
    {"layer-thickness.kovra",
     "[ERROR]   invalid value at line 3: Thickness = \"0\" (accepted: from 0.0001 to 10000 um)\n",
     2},
    {"layer-energy.kovra",
     "[ERROR]   invalid value at line 6: Bandgap = \"25\" (accepted: from 0.001 to 20 eV)\n", 5},
    {"unknown-material.kovra",
     "[ERROR]   unknown material at line 6: Material = \"Unobtainium\" (known: Si, Ge, SiGe, a-Si, "
     "GaAs, InAs, AlAs, GaP, InP, InGaAs, InGaP, AlGaAs, InSb, GaSb, C, AlN, GaN, InN, AlGaN, "
     "InGaN, 6H-SiC, CIGS, CZTS, CdS, In2S3, CdTe, ZnO, Cu2O, CuO, TiO2, and the materials of the "
     "database semiconductor.kovradb)\n",
     5},
    {"script-name.kovra", "[ERROR]   invalid mobility model: mobility.lua.txt", 1},
    {"level-parameters.kovra",
     "[ERROR]   invalid value at line 6: Dopant.Nr = \"1\" (accepted: from 1e+06 to 1e+22 1/cm3)\n",
     5},
    // Contacts.
    {"schottky-anode.kovra",
     "[ERROR]   Schottky contact without its barrier at line 7: Anode.Type = \"Schottky\" needs "
     "Anode.Phi (the barrier height in eV, counted from the conduction band)\n",
     6},
    {"schottky-cathode.kovra",
     "[ERROR]   Schottky contact without its barrier at line 8: Cathode.Type = \"Schottky\" needs "
     "Cathode.Phi (the barrier height in eV, counted from the conduction band)\n",
     7},
    {"boundary.kovra",
     "[ERROR]   invalid value at line 7: Anode.Boundary = \"Robin\" (accepted: Neumann, "
     "Dirichlet)\n",
     6},
    {"contact-parameters.kovra",
     "[ERROR]   invalid value at line 7: Cathode.Rn = \"0\" (accepted: from 0.0001 to 1e+08 "
     "cm/s)\n",
     6},
    {"contact-index.kovra",
     "[ERROR]   invalid value at line 7: Anode.Index.n = \"0\" (accepted: from 1e-06 to 99.99)\n",
     6},
    // Voltage, light, numeric.
    {"voltage-sweep.kovra",
     "[ERROR]   sweep voltage source start/end/step not specified at line 6\n", 5},
    {"voltage-range.kovra",
     "[ERROR]   invalid value at line 8: Voltage.End = \"200\" (accepted: from -100 to 100 V)\n",
     7},
    {"light-mono.kovra",
     "[ERROR]   monochromatic light source wavelength and flux not specified at line 6\n", 5},
    {"light-sweep.kovra",
     "[ERROR]   sweep monochromatic light source start/end/step wavelength and flux not specified "
     "at line 6\n",
     5},
    {"light-unknown.kovra",
     "[ERROR]   unknown light source specified at line 7: Light.Source = \"Sun\" (accepted: "
     "AM1.5, Mono, Sweep, EQE, None, or an existing spectrum file; looked for " KOVRA_SOURCE_DIR
     "/engine/input/tests/corpus/errors/Sun)\n",
     6},
    {"light-range.kovra",
     "[ERROR]   light parameters not valid at line 6 (wavelength: from 0.1 to 10 um; step at most "
     "End - Start; flux: from 0 to 1e+28 1/cm2/s)\n",
     5},
    {"solver.kovra",
     "[ERROR]   InnermostSolver not valid at line 7: Numeric.InnermostSolver = \"cg\" (innermost "
     "solvers: bicgstab bicgstabl bicgsafe gmres fgmres minres tfqmr bicrstab)\n",
     6},
};

class InputRefusedFile : public testing::TestWithParam<Refusal> {};

std::string pathOf(const Refusal& refusal)
{
    const std::string file = refusal.file;
    return file[0] == '=' ? file.substr(1) : corpusPath("errors/" + file);
}

// Every error line ends with a line end; the table leaves it out.
std::string asErrorLine(const char* text)
{
    std::string line = text;
    if (line.empty() || line.back() != '\n') {
        line.push_back('\n');
    }
    return line;
}

}  // namespace

TEST_P(InputRefusedFile, GivesItsMessageAndLine)
{
    const Refusal& refusal = GetParam();
    DeviceRun run;
    EXPECT_FALSE(run.load(pathOf(refusal), UNCHANGED));
    EXPECT_EQ(run.message(), asErrorLine(refusal.message));
    EXPECT_EQ(run.line, refusal.line);
    EXPECT_NE(run.sigma.err, 0);
}

INSTANTIATE_TEST_SUITE_P(Corpus, InputRefusedFile, testing::ValuesIn(REFUSALS),
                         [](const testing::TestParamInfo<Refusal>& info) {
                             std::string name;
                             for (const char* c = info.param.file; *c != '\0'; ++c) {
                                 if (std::isalnum(static_cast<unsigned char>(*c))) {
                                     name += *c;
                                 }
                             }
                             return name;
                         });

// Every file of the error folder has its row, so no refusal goes untested.
TEST(InputCorpus, EveryErrorFileHasItsExpectedMessage)
{
    std::vector<std::string> listed;
    for (const Refusal& refusal : REFUSALS) {
        listed.push_back(pathOf(refusal));
    }
    for (const auto& entry : std::filesystem::directory_iterator(corpusPath("errors"))) {
        const std::string path = entry.path().string();
        EXPECT_NE(std::find(listed.begin(), listed.end(), path), listed.end()) << path;
    }
}

TEST(InputCorpus, EveryValidFileLoads)
{
    const std::vector<std::string> files = deviceFiles(corpusPath("valid"));
    ASSERT_GE(files.size(), 8u);
    for (const std::string& file : files) {
        DeviceRun run;
        EXPECT_TRUE(run.load(file)) << file << ": " << run.message();
        EXPECT_EQ(run.line, -1) << file;
        EXPECT_EQ(run.sigma.err, 0) << file;
        EXPECT_GE(run.device->getLayerCount(), 1) << file;
    }
}

TEST(InputCorpus, AFolderNamedLikeADeviceFileCannotBeOpened)
{
    TempFolder scratch;
    const std::string folder = scratch.file("folder.kovra");
    std::filesystem::create_directory(folder);
    DeviceRun run;
    EXPECT_FALSE(run.load(folder, UNCHANGED));
    EXPECT_EQ(run.message(), "[ERROR]   cannot open input filename " + folder +
                                 " (a folder, not a device file)\n");
    EXPECT_EQ(run.line, UNCHANGED);
}

// A FIFO named like a device file would block the reader; it is refused
// for what it is, not reported missing.
TEST(InputCorpus, AFifoNamedLikeADeviceFileIsNoRegularFile)
{
    TempFolder scratch;
    const std::string fifo = scratch.file("pipe.kovra");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    DeviceRun run;
    EXPECT_FALSE(run.load(fifo, UNCHANGED));
    EXPECT_EQ(run.message(),
              "[ERROR]   cannot open input filename " + fifo + " (a FIFO, not a regular file)\n");
}

// The examples are where users start: they load cleanly, and the default
// one of "make run" is a junction at equilibrium.
TEST(InputExamples, EachLoadsWithoutErrorOrWarning)
{
    const std::vector<std::string> files = deviceFiles(examplesPath(""));
    ASSERT_GE(files.size(), 6u);
    for (const std::string& file : files) {
        TempFolder scratch;
        const std::string log = scratch.file("log.txt");
        DeviceRun run(0x11, log);
        ASSERT_TRUE(run.load(file)) << file << ": " << run.message();
        const std::string text = readText(log);
        EXPECT_EQ(text.find("[WARNING]"), std::string::npos) << file << "\n" << text;
        EXPECT_EQ(text.find("[ERROR]"), std::string::npos) << file << "\n" << text;
        EXPECT_EQ(kov_toUtf8(run.param.outDir),
                  std::filesystem::path(file).parent_path().string() + "/")
            << file;
    }
    DeviceRun equilibrium;
    ASSERT_TRUE(equilibrium.load(examplesPath("silicon-pn.kovra"))) << equilibrium.message();
    EXPECT_FALSE(equilibrium.excitation->isBiasOn());
    EXPECT_FALSE(equilibrium.excitation->isLightOn());
}
