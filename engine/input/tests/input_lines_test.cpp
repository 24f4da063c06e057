// The reader's line rules: first line, header block, comments, directives,
// variables and values, sections and keys, and the messages of verbose
// loading.
#include "inputTestSupport.h"

using namespace inputtest;

namespace {

std::string valueOf(const DeviceRun& run, const wchar_t* section, const wchar_t* key)
{
    wchar_t value[foRecord::VALUE_SIZE] = {};
    if (!run.input.getValue(section, key, value, nullptr)) {
        return "(absent)";
    }
    return kov_toUtf8(value);
}

std::string commentOf(const DeviceRun& run, const wchar_t* section, const wchar_t* key)
{
    const foSection* found = run.input.getSection(section);
    const foRecord* record = found != nullptr ? found->findRecord(key) : nullptr;
    return record != nullptr ? kov_toUtf8(record->getComment()) : "(absent)";
}

}  // namespace

TEST(LoadFirstLine, TrailingBlanksAreTrimmedButTheTextIsExact)
{
    TempFolder scratch;
    const std::string good = scratch.file("good.kovra");
    writeText(good, "# Kovra <SL>   \t\n" + LAYER);
    DeviceRun run;
    EXPECT_TRUE(run.load(good)) << run.message();

    for (const char* first : {"# kovra <SL>", "#  Kovra <SL>", "# Kovra <SL> x"}) {
        writeText(good, std::string(first) + "\n" + LAYER);
        DeviceRun bad;
        EXPECT_FALSE(bad.load(good)) << first;
        EXPECT_EQ(bad.message(), "[ERROR]   invalid input file header at line 1: \"" +
                                     std::string(first) +
                                     "\" (the first line of a device file is exactly \"# Kovra "
                                     "<SL>\")\n")
            << first;
        EXPECT_EQ(bad.line, 0);
    }
}

TEST(LoadFirstLine, ByteOrderMarkAndWindowsLineEndsAreRead)
{
    DeviceRun run;
    ASSERT_TRUE(run.load(corpusPath("valid/crlf-bom.kovra"))) << run.message();
    EXPECT_EQ(valueOf(run, L"Layer1", L"Name"), "caf\xc3\xa9");
    EXPECT_DOUBLE_EQ(run.layer(0)->getThickness(), 1.0);
}

TEST(LoadHeaderBlock, CommentsAfterTheFirstLineBecomeTheDeviceHeader)
{
    TempFolder scratch;
    DeviceRun run;
    ASSERT_TRUE(run.load(
        deviceFile(scratch, "# first note\n\n; second note\n" + LAYER + "# a later comment\n")))
        << run.message();
    EXPECT_EQ(kov_toUtf8(run.device->getHeader()), "# Kovra <SL>\n# first note\n#; second note\n");
}

TEST(LoadComments, AttachToTheNextKeyUnlessABlankLineOrTheirOwnCommentIntervenes)
{
    TempFolder scratch;
    DeviceRun run;
    ASSERT_TRUE(run.load(deviceFile(scratch, "[Device]\n"
                                             "    # the name\n"
                                             "    Name=\"x\"\n"
                                             "    # not for the temperature\n"
                                             "\n"
                                             "    Temperature=300\n"
                                             "    # replaced\n"
                                             "    Polarization.Scale=0    # its own\n" +
                                                 LAYER)))
        << run.message();
    EXPECT_EQ(commentOf(run, L"Device", L"Name"), "# the name");
    EXPECT_EQ(commentOf(run, L"Device", L"Temperature"), "");
    EXPECT_EQ(commentOf(run, L"Device", L"Polarization.Scale"), "its own");
}

TEST(LoadComments, MarksInsideDoubleQuotesBelongToTheValue)
{
    TempFolder scratch;
    DeviceRun run;
    ASSERT_TRUE(run.load(deviceFile(scratch, "[Device]\n    Name=\"a#b;c@d\"   ; note\n" + LAYER)))
        << run.message();
    EXPECT_EQ(kov_toUtf8(run.device->getName()), "a#b;c@d");
}

TEST(LoadValues, AnAtSignOutsideQuotesEndsTheValue)
{
    TempFolder scratch;
    DeviceRun run;
    ASSERT_TRUE(run.load(deviceFile(scratch, "[Layer1]\n    Thickness = 2 @ 3\n"
                                             "    Dopant.Type=\"N\"\n    Dopant.N=1e16\n")))
        << run.message();
    EXPECT_DOUBLE_EQ(run.layer(0)->getThickness(), 2.0);
}

TEST(LoadDirectives, ClsInAnyCaseClearsTheConsole)
{
    TempFolder scratch;
    DeviceRun run;
    testing::internal::CaptureStdout();
    const bool loaded = run.load(deviceFile(scratch, "@CLS\n" + LAYER));
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(loaded) << run.message();
    EXPECT_NE(output.find("[COMM]LUA:cls()\n"), std::string::npos) << output;
}

TEST(LoadDirectives, AreIgnoredWherever)
{
    TempFolder scratch;
    DeviceRun run;
    EXPECT_TRUE(run.load(deviceFile(scratch, "@echo off\n&x\n?y\n" + LAYER + ">z\n")))
        << run.message();
}

TEST(LoadVariables, ExpressionsAreEvaluatedAndQuotedTextIsNot)
{
    TempFolder scratch;
    DeviceRun run;
    ASSERT_TRUE(run.load(deviceFile(scratch, "$t = 0.5\n"
                                             "$  n = 2e16 : the doping\n"
                                             "$label = \"2*3\"\n"
                                             "[Device]\n    Name=$label\n"
                                             "[Layer1]\n    Thickness=4*$t\n"
                                             "    Dopant.Type=\"N\"\n    Dopant.N=$n\n"
                                             "    Label=\"1+1\"\n    Taun=$t * 2e-6\n")))
        << run.message();
    EXPECT_EQ(kov_toUtf8(run.device->getName()), "2*3");
    EXPECT_DOUBLE_EQ(run.layer(0)->getThickness(), 2.0);
    EXPECT_DOUBLE_EQ(run.layer(0)->getDopant()->getN(), 2e16);
    EXPECT_DOUBLE_EQ(run.layer(0)->getTaun(), 1e-6);
    EXPECT_EQ(valueOf(run, L"Layer1", L"Label"), "1+1");
    ASSERT_EQ(run.device->getVariableCount(), 3);
    EXPECT_EQ(kov_toUtf8(run.device->getVariableValue(1)), "2e+16");
}

TEST(LoadVariables, AChainOfReferencesIsEvaluatedInOrder)
{
    TempFolder scratch;
    std::string body = "$v0 = 1\n";
    for (int i = 1; i < 40; ++i) {
        body += "$v" + std::to_string(i) + " = $v" + std::to_string(i - 1) + " + 1\n";
    }
    DeviceRun run;
    ASSERT_TRUE(run.load(deviceFile(scratch, body + "[Layer1]\n    Thickness=$v39 / 10\n"
                                                    "    Dopant.Type=\"N\"\n    Dopant.N=1e16\n")))
        << run.message();
    EXPECT_DOUBLE_EQ(run.layer(0)->getThickness(), 4.0);
}

// Value words need no quotes; anything else that is no expression still
// fails as one.
TEST(LoadValues, UnquotedWordsAreTakenByKeysThatExpectWords)
{
    TempFolder scratch;
    DeviceRun run;
    ASSERT_TRUE(run.load(deviceFile(scratch, "[Layer1]\n    Material=GaAs\n    Thickness=1\n"
                                             "    Dopant.Type=Acceptor\n    Dopant.N=1e17\n"
                                             "    Trap1.Type=Donor\n    Trap1.N=1e15\n"
                                             "    Trap1.Nr=1e19\n    Trap1.E=0.3\n"
                                             "    Trap1.Taun=1e-9\n    Trap1.Taup=1e-9\n"
                                             "[Voltage]\n    Voltage.Start=0\n"
                                             "    Voltage.End=0.5\n    Voltage.Step=0.1\n"
                                             "[Light]\n    Light.Source=AM1.5\n"
                                             "[Numeric]\n    Numeric.Method=Gummel\n")))
        << run.message();
    EXPECT_EQ(kov_toUtf8(run.layer(0)->getMaterial()), "GaAs");
    EXPECT_EQ(run.layer(0)->getDopant()->getType(), ekLevel::TYPE_ACCEPTOR);
    EXPECT_EQ(run.layer(0)->getTrapCount(), 1);
    EXPECT_EQ(run.excitation->lightType, ekExcitation::LIGHT_AM15);
    EXPECT_EQ(run.param.method, nuParam::METHOD_GUMMEL);

    DeviceRun word;
    EXPECT_FALSE(word.load(deviceFile(scratch, "[Layer1]\n    Thickness=thick\n", "word.kovra")));
    EXPECT_EQ(word.message(),
              "[ERROR]   invalid expression at line 3: Thickness = thick (a number, "
              "or an expression of numbers and $variables, is expected)\n");
}

TEST(LoadSections, NamesIgnoreCaseAndAnUnnumberedLayerIsTheFirstWithAWarning)
{
    TempFolder scratch;
    const std::string log = scratch.file("log.txt");
    DeviceRun run(0, log);
    ASSERT_TRUE(run.load(deviceFile(scratch, "\n[Layer]\n    Thickness=3\n    Dopant.N=1e16\n"
                                             "[LAYER2]\n    Thickness=1\n    Dopant.N=1e15\n")))
        << run.message();
    ASSERT_EQ(run.device->getLayerCount(), 2);
    EXPECT_DOUBLE_EQ(run.layer(0)->getThickness(), 3.0);
    EXPECT_DOUBLE_EQ(run.layer(1)->getThickness(), 1.0);
    EXPECT_NE(
        readText(log).find("[WARNING] at line 3: defining a non-numbered layer is not advised, "
                           "even for one-layer device\n"),
        std::string::npos)
        << readText(log);
}

// Messages about a layer name its own header, whatever order the headers
// come in.
TEST(LoadSections, ALayerMessageNamesThatLayersHeader)
{
    TempFolder scratch;
    DeviceRun run;
    EXPECT_FALSE(run.load(deviceFile(scratch, "[layer2]\n    Dopant.N=1e16\n" + LAYER)));
    EXPECT_EQ(run.message(), "[ERROR]   layer at line 2: thickness not specified\n");
    EXPECT_EQ(run.line, 1);
}

TEST(LoadSections, ALayerAfterAGapIsRefused)
{
    TempFolder scratch;
    DeviceRun run;
    EXPECT_FALSE(run.load(deviceFile(scratch, LAYER + "[Layer3]\n    Thickness=2\n"
                                                      "    Dopant.N=1e15\n")));
    EXPECT_EQ(run.message(),
              "[ERROR]   invalid device at line 6: [Layer3] without [Layer2] (layers "
              "are numbered from Layer1 without gaps)\n");
    EXPECT_EQ(run.line, 5);
}

TEST(LoadSections, KeysMayCarryTheirSectionPrefix)
{
    TempFolder scratch;
    DeviceRun run;
    ASSERT_TRUE(run.load(deviceFile(scratch, "[Device]\n    Device.Name=\"prefixed\"\n"
                                             "[Layer1]\n    Layer1.Thickness=2\n"
                                             "    Dopant.Type=\"N\"\n    Dopant.N=1e16\n"
                                             "[Anode]\n    Phi=0.6\n"
                                             "[Numeric]\n    Points=400\n")))
        << run.message();
    EXPECT_EQ(kov_toUtf8(run.device->getName()), "prefixed");
    EXPECT_DOUBLE_EQ(run.layer(0)->getThickness(), 2.0);
    EXPECT_DOUBLE_EQ(run.device->getAnode()->getPhi(), 0.6);
    EXPECT_EQ(run.param.points, 400);
}

TEST(LoadLines, ReadingStopsQuietlyAfterLine16385)
{
    TempFolder scratch;
    // Line 16385 is the last one read: a bad line there fails, one after it
    // is never seen.
    std::string body = LAYER;
    const int filler = 16384 - 1 - 4;
    for (int i = 0; i < filler; ++i) {
        body += "\n";
    }
    DeviceRun read;
    EXPECT_FALSE(read.load(deviceFile(scratch, body + "[Bogus]\n", "read.kovra")));
    EXPECT_EQ(read.message(), "[ERROR]   invalid syntax at line 16385: unknown section [Bogus] "
                              "(sections: Device, Layer1 to Layer9, Anode, Cathode, Voltage, "
                              "Light, Numeric, Command)\n");
    DeviceRun ignored;
    EXPECT_TRUE(ignored.load(deviceFile(scratch, body + "\n[Bogus]\n", "ignored.kovra")))
        << ignored.message();
}

TEST(LoadVerbose, LoadingIsFramedAndVariablesAreReported)
{
    TempFolder scratch;
    const std::string log = scratch.file("log.txt");
    DeviceRun run(0x11, log);
    ASSERT_TRUE(run.load(deviceFile(scratch, "$t = 2\n[Layer1]\n    Thickness=$t\n"
                                             "    Dopant.N=1e16\n")))
        << run.message();
    const std::string text = readText(log);
    EXPECT_EQ(text.find("[INPUT]   loading... " + std::string(50, '=') + "\n"), 0u) << text;
    EXPECT_NE(text.find("[INFO]    variable defined: $t = 2\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[INFO]    variable used:    $t = 2 (for Thickness)\n"), std::string::npos);
    EXPECT_NE(text.find("[INPUT]   successfully loaded " + std::string(41, '=') + "\n"),
              std::string::npos);
}

// The closing line is shown even when the file turns verbose output off,
// which leaves only the log file on.
TEST(LoadVerbose, TheClosingLineSurvivesAFileThatSwitchesVerboseOff)
{
    TempFolder scratch;
    const std::string log = scratch.file("log.txt");
    DeviceRun run(0x11, log);
    ASSERT_TRUE(run.load(deviceFile(scratch, LAYER + "[Numeric]\n    Numeric.Verbose=\"No\"\n")))
        << run.message();
    EXPECT_NE(readText(log).find("[INPUT]   successfully loaded"), std::string::npos);
    EXPECT_EQ(run.sigma.outputType, 0x01);
}

TEST(LoadArguments, MissingObjectsOrAPendingErrorAreRefused)
{
    DeviceRun run;
    const std::wstring file = kov_toWide(corpusPath("valid/minimal.kovra"));
    EXPECT_FALSE(run.input.load(file.c_str(), run.simulator.get(), run.device.get(),
                                run.excitation.get(), nullptr, &run.param, &run.line));
    EXPECT_FALSE(run.input.load(file.c_str(), run.simulator.get(), run.device.get(),
                                run.excitation.get(), &run.sigma, nullptr, &run.line));
    EXPECT_FALSE(run.input.load(file.c_str(), run.simulator.get(), nullptr, run.excitation.get(),
                                &run.sigma, &run.param, &run.line));
    EXPECT_EQ(run.message(), "[ERROR]   invalid semiconductor device\n");

    // An error already pending is left as it stands.
    run.sigma.update(L"earlier", 1);
    EXPECT_FALSE(run.input.load(file.c_str(), run.simulator.get(), run.device.get(),
                                run.excitation.get(), &run.sigma, &run.param, nullptr));
    EXPECT_EQ(run.message(), "earlier");
}

TEST(LoadArguments, ASecondLoadReplacesTheFirstDevicesLayers)
{
    DeviceRun run;
    ASSERT_TRUE(run.load(corpusPath("valid/alloy.kovra"))) << run.message();
    ASSERT_TRUE(run.load(corpusPath("valid/minimal.kovra"))) << run.message();
    EXPECT_EQ(run.device->getLayerCount(), 1);
    EXPECT_DOUBLE_EQ(run.device->getThickness(), 2.0);
}
