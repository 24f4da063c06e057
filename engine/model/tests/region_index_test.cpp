// The optical index of a region: index sources, the index table parser,
// index files of any size, and the interpolation with its cached bracket.
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "ekRegion.h"
#include "layerTestSupport.h"

namespace {

// n and k linear in the wavelength: the interpolation must reproduce them
// exactly between any two table points.
double nLinear(double wl) { return 2.0 + 0.5 * wl; }
double kLinear(double wl) { return 0.1 + 0.02 * wl; }

// Writes the linear closed form at the given table wavelengths.
std::string linearTable(const std::vector<double>& grid, const std::string& header = "")
{
    std::string text = header;
    char line[128];
    for (double wl : grid) {
        snprintf(line, sizeof line, "%.6f\t%.17g\t%.17g\n", wl, nLinear(wl), kLinear(wl));
        text += line;
    }
    return text;
}

// A non-uniform grid of table wavelengths (um).
const std::vector<double> GRID = {0.3, 0.35, 0.5, 0.52, 0.8, 1.1, 1.15, 1.6};

class RegionIndex : public ::testing::Test {
protected:
    nuSigma sigma;
    ekRegion region{&sigma};

    bool loadFile(const TempFile& file)
    {
        const std::wstring path = file.path();
        if (!region.updateIndexFile(path.c_str(), true)) {
            return false;
        }
        return region.loadIndexFile();
    }

    void expectIndex(double wl, double n, double k)
    {
        double gotN = -1.0, gotK = -1.0;
        ASSERT_TRUE(region.getIndex(0.0, 1.0, 1.1, wl, &gotN, &gotK, false));
        EXPECT_NEAR(gotN, n, 1e-12) << "wavelength " << wl;
        EXPECT_NEAR(gotK, k, 1e-12) << "wavelength " << wl;
    }
};

TEST_F(RegionIndex, NewRegionHasConstantIndex)
{
    EXPECT_STREQ(region.getName(), L"RegionX");
    EXPECT_STREQ(region.getMaterial(), L"Mx");
    EXPECT_EQ(region.getIndexModel(), ekRegion::INDEX_CONSTANT);
    expectIndex(0.5, 1.0, 0.0);
    ASSERT_TRUE(region.updateIndexnk(3.5, 0.02));
    expectIndex(0.5, 3.5, 0.02);
}

TEST_F(RegionIndex, ConstantIndexRange)
{
    struct {
        double n, k;
        bool accepted;
    } cases[] = {{1e-3, 0.0, true},  {99.9, 99.9, true},  {0.0, 0.0, false}, {100.0, 0.0, false},
                 {3.0, -0.1, false}, {3.0, 100.0, false}, {NAN, 0.0, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.n) + ", " + std::to_string(c.k));
        region.updateIndexnk(2.0, 0.5);
        EXPECT_EQ(region.updateIndexnk(c.n, c.k), c.accepted);
        EXPECT_EQ(sigma.isOK(), c.accepted);
        EXPECT_EQ(region.getIndexn(), c.accepted ? c.n : 2.0);
        EXPECT_EQ(region.getIndexk(), c.accepted ? c.k : 0.5);
        if (!c.accepted) {
            EXPECT_EQ(lastLine(sigma), L"[ERROR]   invalid optical index (n, k)\n");
        }
        sigma.reset();
    }
}

TEST_F(RegionIndex, IndexSourceNames)
{
    struct {
        const wchar_t* name;
        bool script;
        bool accepted;
    } cases[] = {
        {L"data/si.nk", false, true}, {L"ab.nk", false, true},      {L"x.nk", false, false},
        {L"si.NK", false, false},     {L"si.nk.txt", false, false}, {L"model.lua", true, true},
        {L"a.lua", true, true},       {L".lua", true, false},       {L"model.LUA", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(kov_toUtf8(c.name)));
        const uint8_t model = c.script ? ekRegion::INDEX_LUA : ekRegion::INDEX_FILE;
        const bool result = c.script ? region.updateIndexScript(c.name, true)
                                     : region.updateIndexFile(c.name, true);
        EXPECT_EQ(result, c.accepted);
        EXPECT_EQ(region.getIndexModel(), c.accepted ? model : ekRegion::INDEX_CONSTANT);
        const wchar_t* stored = c.script ? region.getIndexScript() : region.getIndexFile();
        if (c.accepted) {
            EXPECT_STREQ(stored, c.name);
            EXPECT_TRUE(sigma.isOK());
        } else {
            EXPECT_EQ(stored, nullptr);
            const std::wstring prefix =
                c.script ? L"[ERROR]   invalid index model: " : L"[ERROR]   invalid index file: ";
            EXPECT_EQ(lastLine(sigma), prefix + c.name + L"\n");
        }
        sigma.reset();
    }
}

TEST_F(RegionIndex, RefusedNameWithoutReportIsSilent)
{
    EXPECT_FALSE(region.updateIndexFile(L"si.NK", false));
    EXPECT_TRUE(sigma.isOK());
    EXPECT_EQ(region.getIndexModel(), ekRegion::INDEX_CONSTANT);
}

TEST_F(RegionIndex, EmptyNameMeansConstantIndexAndTooLongNameIsRefused)
{
    ASSERT_TRUE(region.updateIndexScript(L"m.lua", true));
    EXPECT_TRUE(region.updateIndexScript(L"", true));
    EXPECT_EQ(region.getIndexModel(), ekRegion::INDEX_CONSTANT);
    EXPECT_EQ(region.getIndexScript(), nullptr);
    EXPECT_TRUE(region.updateIndexFile(nullptr, true));

    const std::wstring tooLong = std::wstring(1021, L'a') + L".nk";  // 1024 characters
    EXPECT_FALSE(region.updateIndexFile(tooLong.c_str(), true));
    EXPECT_EQ(lastLine(sigma), L"[ERROR]   invalid index filename\n");
    sigma.reset();
    const std::wstring longest = std::wstring(1020, L'a') + L".nk";  // 1023 characters
    EXPECT_TRUE(region.updateIndexFile(longest.c_str(), true));
    EXPECT_EQ(std::wstring(region.getIndexFile()), longest);
}

TEST_F(RegionIndex, SmallIndexFileIsRead)
{
    // Far below the 1024 bytes of a database blob, yet a complete table.
    TempFile file("small.nk", "# wl\tn\tk\n" + linearTable(GRID));
    ASSERT_TRUE(loadFile(file)) << kov_toUtf8(lastLine(sigma));
    EXPECT_EQ(region.getIndexModel(), ekRegion::INDEX_FILE);
    double first = 0, last = 0;
    int count = 0;
    ASSERT_TRUE(region.getDataIndex(&first, &last, &count));
    EXPECT_EQ(count, static_cast<int>(GRID.size()));
    EXPECT_DOUBLE_EQ(first, 0.3);
    EXPECT_DOUBLE_EQ(last, 1.6);
    EXPECT_FALSE(region.isDatabaseIndex());
}

TEST_F(RegionIndex, IndexFileWithWindowsLineEndsAndShortLinesIsRead)
{
    TempFile file("crlf.nk",
                  "wavelength n k\r\n1\t3\t0\r\n2\t2\t0\r\n3\t1\t0\r\n4\t2\t0\r\n5\t3\t0\r\n");
    ASSERT_TRUE(loadFile(file)) << kov_toUtf8(lastLine(sigma));
    expectIndex(1.5, 2.5, 0.0);
    expectIndex(4.25, 2.25, 0.0);
}

TEST_F(RegionIndex, UnusableIndexFileIsRefusedWithAMessage)
{
    struct {
        const char* label;
        std::string content;
        const wchar_t* parserLine;  // null: only the file line
        const wchar_t* filePrefix;
    } cases[] = {
        {"four points", "0.3\t3\t0\n0.4\t3\t0\n0.5\t3\t0\n0.6\t3\t0\n", nullptr,
         L"[ERROR]   invalid index file (fewer than 5 data points): "},
        {"empty", "", nullptr, L"[ERROR]   invalid index file (fewer than 5 data points): "},
        {"only comments", "# nothing\n# here\n", nullptr,
         L"[ERROR]   invalid index file (fewer than 5 data points): "},
        {"repeated wavelength", linearTable({0.3, 0.3, 0.4, 0.5, 0.6}),
         L"[ERROR]   invalid refractive index data (wavelength)", L"[ERROR]   in index file: "},
        {"decreasing wavelength", linearTable({0.3, 0.4, 0.35, 0.5, 0.6}),
         L"[ERROR]   invalid refractive index data (wavelength)", L"[ERROR]   in index file: "},
        {"wavelength out of range", linearTable({0.05, 0.3, 0.4, 0.5, 0.6}),
         L"[ERROR]   invalid refractive index data (wavelength)", L"[ERROR]   in index file: "},
        {"n out of range", "0.3\t0.05\t0\n0.4\t3\t0\n0.5\t3\t0\n0.6\t3\t0\n0.7\t3\t0\n",
         L"[ERROR]   invalid refractive index data (n)", L"[ERROR]   in index file: "},
        {"k out of range", "0.3\t3\t0\n0.4\t3\t101\n0.5\t3\t0\n0.6\t3\t0\n0.7\t3\t0\n",
         L"[ERROR]   invalid refractive index data (k)", L"[ERROR]   in index file: "},
        {"two fields", "0.3\t3\n0.4\t3\t0\n0.5\t3\t0\n0.6\t3\t0\n0.7\t3\t0\n",
         L"[ERROR]   invalid refractive index data", L"[ERROR]   in index file: "},
        {"four fields", "0.3\t3\t0\t1\n0.4\t3\t0\n0.5\t3\t0\n0.6\t3\t0\n0.7\t3\t0\n",
         L"[ERROR]   invalid refractive index data", L"[ERROR]   in index file: "},
        {"not a number", "0.3\t3x\t0\n0.4\t3\t0\n0.5\t3\t0\n0.6\t3\t0\n0.7\t3\t0\n",
         L"[ERROR]   invalid refractive index data", L"[ERROR]   in index file: "},
        {"space separated", "0.3 3 0\n0.4 3 0\n0.5 3 0\n0.6 3 0\n0.7 3 0\n",
         L"[ERROR]   invalid refractive index data", L"[ERROR]   in index file: "},
        {"too large", std::string(40000, '#'), nullptr,
         L"[ERROR]   index file too large (at most 32767 bytes): "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TempFile file("bad.nk", c.content);
        const std::wstring path = file.path();
        ASSERT_TRUE(region.updateIndexFile(path.c_str(), true));
        testing::internal::CaptureStdout();
        EXPECT_FALSE(region.loadIndexFile());
        const std::string console = testing::internal::GetCapturedStdout();
        EXPECT_FALSE(sigma.isOK());
        EXPECT_EQ(lastLine(sigma), c.filePrefix + path + L"\n");
        if (c.parserLine) {
            EXPECT_NE(console.find(kov_toUtf8(c.parserLine)), std::string::npos) << console;
        }
        EXPECT_EQ(region.getIndexModel(), ekRegion::INDEX_CONSTANT);
        EXPECT_FALSE(region.getDataIndex(nullptr, nullptr, nullptr));
        sigma.reset();
    }
}

TEST_F(RegionIndex, MissingIndexFileIsRefused)
{
    ASSERT_TRUE(region.updateIndexFile(L"/nonexistent/folder/missing.nk", true));
    EXPECT_FALSE(region.loadIndexFile());
    EXPECT_EQ(lastLine(sigma),
              L"[ERROR]   cannot open the index file: /nonexistent/folder/missing.nk\n");
    EXPECT_EQ(region.getIndexModel(), ekRegion::INDEX_CONSTANT);
    sigma.reset();
    // Nothing named: nothing to read.
    EXPECT_FALSE(region.loadIndexFile());
    EXPECT_FALSE(sigma.isOK());
}

TEST_F(RegionIndex, InterpolationFollowsTheLinearClosedFormInAnyOrder)
{
    TempFile file("linear.nk", linearTable(GRID));
    ASSERT_TRUE(loadFile(file));
    std::vector<double> queries;
    for (double wl = 0.3; wl <= 1.6; wl += 0.0137) {
        queries.push_back(wl);  // rising, as the optics asks
    }
    for (double wl = 1.6; wl >= 0.3; wl -= 0.0213) {
        queries.push_back(wl);  // falling
    }
    std::mt19937 random(42);
    std::uniform_real_distribution<double> any(0.3, 1.6);
    for (int i = 0; i < 200; ++i) {
        queries.push_back(any(random));  // jumping
    }
    for (double grid : GRID) {
        queries.push_back(grid);  // on the table points
    }
    for (double wl : queries) {
        expectIndex(wl, nLinear(wl), kLinear(wl));
    }
}

TEST_F(RegionIndex, InterpolationUsesTheBracketingPairOnly)
{
    // Piecewise data with a different slope in every interval: a stale or
    // wrong bracket gives a visibly wrong value.
    TempFile file("kinked.nk", "0.3\t1\t0\n0.4\t3\t1\n0.5\t2\t0\n0.6\t6\t2\n0.7\t5\t0\n");
    ASSERT_TRUE(loadFile(file));
    struct {
        double wl, n, k;
    } cases[] = {{0.65, 5.5, 1.0}, {0.35, 2.0, 0.5}, {0.45, 2.5, 0.5},
                 {0.55, 4.0, 1.0}, {0.31, 1.2, 0.1}, {0.69, 5.1, 0.2}};
    for (const auto& c : cases) {
        expectIndex(c.wl, c.n, c.k);
    }
}

TEST_F(RegionIndex, OutsideTheTableTheEndRowsAnswer)
{
    TempFile file("linear.nk", linearTable(GRID));
    ASSERT_TRUE(loadFile(file));
    expectIndex(0.1, nLinear(0.3), kLinear(0.3));
    expectIndex(0.3, nLinear(0.3), kLinear(0.3));
    expectIndex(1.6, nLinear(1.6), kLinear(1.6));
    expectIndex(9.0, nLinear(1.6), kLinear(1.6));
}

TEST_F(RegionIndex, GetIndexRefusesNullOutputsAndAPendingError)
{
    double n = 0, k = 0;
    EXPECT_FALSE(region.getIndex(0, 1, 1, 0.5, nullptr, &k, false));
    EXPECT_FALSE(region.getIndex(0, 1, 1, 0.5, &n, nullptr, false));
    sigma.update(L"[ERROR]   earlier failure\n", 1);
    EXPECT_FALSE(region.getIndex(0, 1, 1, 0.5, &n, &k, false));
}

std::string databaseBlob()
{
    // A table padded by comment lines to the size of a database blob.
    std::string text = linearTable(GRID, "# refractive index of a test material\n");
    while (text.size() < 1500) {
        text = "# padding line of the stored index table\n" + text;
    }
    return text;
}

TEST_F(RegionIndex, DatabaseBlobKeepsItsSizeWindow)
{
    const std::string blob = databaseBlob();
    const std::string small = linearTable(GRID);
    ASSERT_LT(small.size(), 1024u);
    EXPECT_FALSE(region.setDataIndex(small.c_str(), static_cast<int>(small.size())));
    EXPECT_FALSE(region.isDatabaseIndex());

    ASSERT_TRUE(region.setDataIndex(blob.c_str(), static_cast<int>(blob.size())));
    EXPECT_TRUE(region.isDatabaseIndex());
    EXPECT_EQ(region.getIndexModel(), ekRegion::INDEX_CONSTANT) << "setDataIndex leaves the model";
    ASSERT_TRUE(region.updateDataIndex(true));
    EXPECT_EQ(region.getIndexModel(), ekRegion::INDEX_DATABASE);
    expectIndex(0.9, nLinear(0.9), kLinear(0.9));
}

TEST_F(RegionIndex, BadDatabaseBlobIsReleased)
{
    std::string blob = databaseBlob();
    blob += "1.7\t0.01\t0\n";  // n below 0.1
    EXPECT_FALSE(region.setDataIndex(blob.c_str(), static_cast<int>(blob.size())));
    EXPECT_EQ(lastLine(sigma), L"[ERROR]   invalid refractive index data (n)\n");
    EXPECT_FALSE(region.isDatabaseIndex());
    EXPECT_FALSE(region.updateDataIndex(true));  // nothing left to take
    EXPECT_EQ(region.getIndexModel(), ekRegion::INDEX_CONSTANT);
}

TEST_F(RegionIndex, FirstTableLookupWritesOneInfoLineInVerboseMode)
{
    sigma.setOutputType(nuSigma::OUTPUT_VERBOSE);
    TempFile file("linear.nk", linearTable(GRID));
    ASSERT_TRUE(loadFile(file));
    EXPECT_FALSE(region.isIndexScriptFirstCall());
    double n = 0, k = 0;
    testing::internal::CaptureStdout();
    region.getIndex(0.25, 1.0, 1.1, 0.5, &n, &k, true);
    region.getIndex(0.5, 1.0, 1.1, 0.6, &n, &k, true);
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_NE(
        console.find("[INFO]    index from file (z = 0.25 um): (wl   n   k) = (0.5   2.25   0.11)"),
        std::string::npos)
        << console;
    EXPECT_EQ(console.find("index from file", console.find("index from file") + 1),
              std::string::npos);
    EXPECT_TRUE(region.isIndexScriptFirstCall());
}

TEST_F(RegionIndex, SpectrumIsFilledPointByPoint)
{
    EXPECT_FALSE(region.assignSpectrum(0));
    EXPECT_FALSE(region.assignSpectrum(20001));
    EXPECT_FALSE(region.isIndexSpectrumAcquired());
    ASSERT_TRUE(region.assignSpectrum(3));
    EXPECT_FALSE(region.setIndexFromSpectrum(3, 0.9, 1.0));
    EXPECT_FALSE(region.setIndexFromSpectrum(-1, 0.9, 1.0));
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(region.isIndexSpectrumAcquired());
        EXPECT_TRUE(region.setIndexFromSpectrum(i, 0.4 + 0.1 * i, 3.0 - i));
    }
    EXPECT_TRUE(region.isIndexSpectrumAcquired());
    EXPECT_FALSE(region.setIndexFromSpectrum(0, 0.4, 3.0)) << "every point already acquired";
    double wl = 0, value = 0;
    ASSERT_TRUE(region.getIndexFromSpectrum(2, &wl, &value));
    EXPECT_DOUBLE_EQ(wl, 0.6);
    EXPECT_DOUBLE_EQ(value, 1.0);
    EXPECT_FALSE(region.getIndexFromSpectrum(2, nullptr, &value));
    region.releaseSpectrum();
    EXPECT_FALSE(region.getIndexFromSpectrum(0, &wl, &value));
}

TEST_F(RegionIndex, MaterialAlloysAndThickness)
{
    struct {
        const wchar_t* material;
        const wchar_t* ac;
        const wchar_t* bc;
    } alloys[] = {{L"AlGaN", L"AlN", L"GaN"},    {L"ingan", L"InN", L"GaN"},
                  {L"AlGaAs", L"AlAs", L"GaAs"}, {L"INGAAS", L"InAs", L"GaAs"},
                  {L"InGaP", L"InP", L"GaP"},    {L"SiGe", L"Si", L"Ge"}};
    for (const auto& a : alloys) {
        ekRegion r(&sigma);
        r.updateMaterial(a.material);
        EXPECT_STREQ(r.getMaterialAC(), a.ac);
        EXPECT_STREQ(r.getMaterialBC(), a.bc);
        EXPECT_EQ(r.getGroup(), ekRegion::GROUP_ALLOY);
    }
    ekRegion plain(&sigma);
    plain.updateMaterial(L"GaAs");
    EXPECT_STREQ(plain.getMaterialAC(), L"");
    EXPECT_EQ(plain.getGroup(), ekRegion::GROUP_DEFAULT);

    plain.updateThickness(0.0);
    EXPECT_EQ(plain.getThickness(), 0.0);
    plain.updateThickness(9999.5);
    EXPECT_EQ(plain.getThickness(), 9999.5);
    plain.updateThickness(10000.0);
    plain.updateThickness(-1.0);
    EXPECT_EQ(plain.getThickness(), 9999.5);
}

}  // namespace
