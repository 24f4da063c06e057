// The document and the engine agree: every example opened and saved runs in
// the engine (kovracomp) to the same results as the original, and every
// built-in template and example, written to a file, runs to a converged
// result.
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "docTestSupport.h"
#include "materials.h"

namespace fs = std::filesystem;

namespace {

// Moves the result files of a run ("simulout*") into a folder of their own.
void collectResults(const std::string& folder, const std::string& into)
{
    fs::create_directories(into);
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("simulout", 0) == 0) {
            fs::rename(entry.path(), fs::path(into) / name);
        }
    }
}

// Every number of two result files agrees to 1e-9 relative, line by line.
void compareResults(const std::string& a, const std::string& b)
{
    std::ifstream fa(a), fb(b);
    std::string la, lb;
    int line = 0;
    while (std::getline(fa, la)) {
        ++line;
        ASSERT_TRUE(static_cast<bool>(std::getline(fb, lb))) << b << " is shorter";
        std::istringstream ta(la), tb(lb);
        std::string wa, wb;
        while (ta >> wa) {
            ASSERT_TRUE(static_cast<bool>(tb >> wb)) << b << ":" << line;
            char* ea = nullptr;
            char* eb = nullptr;
            const double va = std::strtod(wa.c_str(), &ea);
            const double vb = std::strtod(wb.c_str(), &eb);
            if (*ea == '\0' && *eb == '\0' && ea != wa.c_str()) {
                EXPECT_LE(std::fabs(va - vb),
                          1e-9 * std::max(std::fabs(va), std::fabs(vb)) + 1e-300)
                    << b << ":" << line << " " << wa << " vs " << wb;
            }
            // Words (the run's time, the input file's name) may differ.
        }
    }
    EXPECT_FALSE(static_cast<bool>(std::getline(fb, lb))) << b << " is longer";
}

TEST_F(DocTest, EveryExampleSavedByTheEditorRunsToTheSameResults)
{
    const std::string work = folder.path() + "examples/";
    fs::copy(std::string(KOVRA_SOURCE_DIR) + "/examples", work, fs::copy_options::recursive);
    int compared = 0;
    for (const auto& entry : fs::directory_iterator(std::string(KOVRA_SOURCE_DIR) + "/examples")) {
        if (entry.path().extension() != ".kovra") {
            continue;
        }
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        const std::string original = work + name;
        const std::string saved = work + "saved_" + name;
        ASSERT_EQ(Device_load(document(), original.c_str()), 1) << recorder.console();
        ASSERT_EQ(Device_save(document(), saved.c_str()), 1);

        ASSERT_EQ(runEngine(work, name), 0) << readText(work + "run.log");
        collectResults(work, work + "original_" + name);
        ASSERT_EQ(runEngine(work, "saved_" + name), 0)
            << readText(work + "run.log") << readText(saved);
        collectResults(work, work + "resaved_" + name);

        int files = 0;
        for (const auto& result : fs::directory_iterator(work + "original_" + name)) {
            const fs::path twin = fs::path(work + "resaved_" + name) / result.path().filename();
            ASSERT_TRUE(fs::exists(twin)) << twin;
            compareResults(result.path().string(), twin.string());
            ++files;
        }
        EXPECT_GT(files, 0);
        ++compared;
    }
    EXPECT_GE(compared, 8);
}

// Bounds a cell of each example's absorber must keep under AM1.5: Voc
// below the bandgap's reach, Jsc below what the spectrum above the gap can
// give (the detailed-balance limit), a fill factor of a working cell.
struct CellBounds {
    int id;
    double vocMin, vocMax;  // V
    double jscMax;          // A/cm2
};
const CellBounds CELLS[] = {
    {0, 0.7, 1.3, 0.025},   // a-Si, gap about 1.75 eV
    {1, 0.8, 1.15, 0.033},  // GaAs, 1.42 eV
    {2, 0.5, 0.8, 0.045},   // CIGS, 1.15 eV; swept from -1.8 V through forward bias
};

void expectBelievableCell(const DocRow& row, const std::string& run, const std::string& log)
{
    for (const CellBounds& cell : CELLS) {
        if (cell.id != row.id) {
            continue;
        }
        std::string figures;
        for (const auto& entry : fs::recursive_directory_iterator(run)) {
            if (entry.path().filename() == "simulout_photovoltaic.txt") {
                figures = readText(entry.path().string());
            }
        }
        ASSERT_FALSE(figures.empty()) << log;
        // The last line: Eff (%), Jsc (A/cm2), Voc (V), FF (%), ...
        std::istringstream last(figures.substr(figures.find_last_of('#') + 1));
        double eff = 0, jsc = 0, voc = 0, ff = 0;
        last.ignore(1 << 20, '\n');
        ASSERT_TRUE(static_cast<bool>(last >> eff >> jsc >> voc >> ff)) << figures;
        EXPECT_GT(std::fabs(voc), cell.vocMin) << figures;
        EXPECT_LT(std::fabs(voc), cell.vocMax) << figures;
        EXPECT_GT(std::fabs(jsc), 0.3 * cell.jscMax) << figures;
        EXPECT_LT(std::fabs(jsc), cell.jscMax) << figures;
        EXPECT_GT(ff, 60.0) << figures;
        EXPECT_LT(ff, 90.0) << figures;
        EXPECT_GT(eff, 5.0) << figures;
        EXPECT_LT(eff, 33.0) << figures;
    }
}

TEST_F(DocTest, EveryTemplateAndExampleRunsToAConvergedResult)
{
    for (const DocRow* table : {TemplateTable, ExampleTable}) {
        for (const DocRow* row = table; row->id != -1; ++row) {
            SCOPED_TRACE(row->name);
            ASSERT_NE(Document_create(nullptr, table, row->id), nullptr);
            const std::string run = folder.path() + "row" + std::to_string(row->id) +
                                    (table == TemplateTable ? "t/" : "e/");
            fs::create_directories(run);
            ASSERT_EQ(Device_save(document(), (run + "device.kovra").c_str()), 1);
            EXPECT_EQ(runEngine(run, "device.kovra"), 0) << readText(run + "run.log");
            const std::string log = readText(run + "run.log");
            EXPECT_EQ(log.find("[ERROR]"), std::string::npos) << log;
            bool results = false;
            for (const auto& entry : fs::recursive_directory_iterator(run)) {
                results = results || (entry.path().filename().string().rfind("simulout", 0) == 0 &&
                                      fs::file_size(entry.path()) > 0);
            }
            EXPECT_TRUE(results) << log;
            if (table == ExampleTable) {
                expectBelievableCell(*row, run, log);
            }
        }
    }
}

}  // namespace

namespace {

// Every material the layer dialog offers, built in or taken from the
// material database, makes a p-n junction the engine runs: none of them
// gives a device the engine refuses as an unknown material.
TEST_F(DocTest, EveryMaterialOfferedRunsInTheEngine)
{
    int materials = 0;
    for (const char* const* name = BuiltinMaterials; *name != nullptr; ++name) {
        SCOPED_TRACE(*name);
        ASSERT_NE(Document_create(nullptr, TemplateTable, 0), nullptr);  // the PN template
        ASSERT_EQ(device()->layerCount, 2);
        EXPECT_EQ(Layer_setMaterial(device()->layers[0], *name, nullptr, 0x20), 1);
        EXPECT_EQ(Layer_setMaterial(device()->layers[1], *name, nullptr, 0x10), 1);
        // The junction at equilibrium is enough to show the engine takes it.
        ASSERT_EQ(Params_setByKey(VoltageKeys, device()->voltage->records, nullptr,
                                  "Voltage.Source", "None", nullptr, 0, nullptr, 0),
                  1);
        const std::string run = folder.path() + "material" + std::to_string(materials) + "/";
        fs::create_directories(run);
        ASSERT_EQ(Device_save(document(), (run + "device.kovra").c_str()), 1);
        const std::string saved = readText(run + "device.kovra");
        EXPECT_NE(saved.find(std::string("Material=\"") + *name + "\""), std::string::npos)
            << saved;
        EXPECT_EQ(runEngine(run, "device.kovra"), 0) << readText(run + "run.log") << saved;
        const std::string log = readText(run + "run.log");
        EXPECT_EQ(log.find("[ERROR]"), std::string::npos) << log;
        ++materials;
    }
    EXPECT_EQ(materials, 35);
}

}  // namespace
