// The editor and the engine accept the same numbers. Every key both know
// is walked: a key the editor holds as a number has the range and unit of
// the shared key table in the editor's record; a value just outside the
// range is refused by both (the engine's load fails, the editor keeps its
// value) or clamped by both, each naming the same range; the limits
// themselves are taken by both.
#include <cmath>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ElecDevice.h"
#include "docTestSupport.h"
#include "ekExcitation.h"
#include "ekInput.h"
#include "ekLayer.h"
#include "ekSimulator.h"
#include "kovKeyLimits.h"
#include "kovbase.h"
#include "nucore.h"

namespace {

const std::string TRAP_MODEL =
    std::string(KOVRA_SOURCE_DIR) + "/examples/lua/trap_surface_gaussian.lua";

// The engine's answer to one device file: loaded or not, and every line it
// logged.
struct EngineAnswer {
    bool loaded = false;
    std::string log;
    int meshPoints = 0;    // of the first layer, after a load
    int devicePoints = 0;  // Numeric.Points as the run takes it
    nuParam param;         // the numeric settings after the load
};

EngineAnswer engineLoads(const TempFolder& folder, const std::string& body)
{
    static int count = 0;
    const std::string path = folder.file("probe" + std::to_string(++count) + ".kovra");
    const std::string logPath = path + ".log";
    {
        std::ofstream out(path);
        out << "# Kovra <SL>\n" << body;
    }
    nuSigma sigma;
    sigma.reset();
    sigma.setOutputType(nuSigma::OUTPUT_LOGFILE);
    kov_copyW(sigma.logFilename, nuSigma::PATH_SIZE, kov_toWide(logPath).c_str());
    nuParam param;
    param.reset();
    auto device = std::make_unique<ElecDevice>(&sigma, &param);
    auto simulator = std::make_unique<ekSimulator>(&sigma, &param);
    auto excitation = std::make_unique<ekExcitation>(&sigma);
    excitation->reset();
    ekInput input;
    int line = -1;
    EngineAnswer answer;
    answer.loaded = input.load(kov_toWide(path).c_str(), simulator.get(), device.get(),
                               excitation.get(), &sigma, &param, &line);
    answer.log = readText(logPath) + kov_toUtf8(sigma.message);
    if (answer.loaded && device->getLayerCount() > 0) {
        answer.meshPoints = device->getLayer(0)->getMeshPoints();
    }
    answer.devicePoints = param.points;
    answer.param = param;
    return answer;
}

// A device in which every key takes effect when given: a doped layer, both
// contacts and every other section present. Lines for a section are put
// right after its header.
std::string deviceWith(int section, const std::vector<std::string>& lines)
{
    const char* const headers[] = {"[Device]",  "[Anode]", "[Layer1]", "[Cathode]",
                                   "[Voltage]", "[Light]", "[Numeric]"};
    const int positions[] = {SEC_DEVICE,  SEC_ANODE, SEC_LAYER1, SEC_CATHODE,
                             SEC_VOLTAGE, SEC_LIGHT, SEC_NUMERIC};
    std::string text;
    for (int i = 0; i < 7; ++i) {
        text += std::string(headers[i]) + "\n";
        if (positions[i] == SEC_LAYER1) {
            // The layer's own lines, unless the probe gives one of them.
            for (const char* base : {"Thickness=1", "Dopant.Type=\"N\"", "Dopant.N=1e16"}) {
                const std::string key = std::string(base).substr(0, std::string(base).find('='));
                bool given = false;
                for (const std::string& line : lines) {
                    given = given || (section == SEC_LAYER1 && line.rfind(key + "=", 0) == 0);
                }
                if (!given) {
                    text += std::string(base) + "\n";
                }
            }
            // The engine holds a bias to 20 bandgaps of the first layer: a
            // 5 eV layer lets a sweep reach the table's +-100 V.
            if (section == SEC_VOLTAGE) {
                text += "Bandgap=5\n";
            }
        }
        if (positions[i] == section) {
            for (const std::string& line : lines) {
                text += line + "\n";
            }
        }
    }
    return text;
}

// The key's own line and the lines that make the engine read it with the
// value: a sweep for the voltage and light limits, a whole trap for a
// trap's value, a trap model for a trap count.
std::vector<std::string> probeLines(const KovKeyLimit& limit, const std::string& key,
                                    const std::string& value)
{
    std::vector<std::string> lines;
    auto unless = [&](const char* other, const std::string& line) {
        if (key != other) {
            lines.push_back(line);
        }
    };
    if (limit.outside != KovOutside::OFFERED) {
        if (limit.section == KovKeySection::VOLTAGE) {
            lines.push_back("Voltage.Source=\"Sweep\"");
            unless("Voltage.Start", "Voltage.Start=-100");
            unless("Voltage.End", "Voltage.End=100");
            // A sweep has a step of at least kT/1000; a sweep of one bias
            // (a limit of one end probed against the other) has none.
            const double start =
                key == "Voltage.Start" ? std::strtod(value.c_str(), nullptr) : -100;
            const double end = key == "Voltage.End" ? std::strtod(value.c_str(), nullptr) : 100;
            lines.push_back(start == end ? "Voltage.Step=0" : "Voltage.Step=1");
            unless("Voltage.Jinf", "Voltage.Jinf=-1e6");
            unless("Voltage.Jsup", "Voltage.Jsup=1e6");
        }
        if (limit.section == KovKeySection::LIGHT) {
            lines.push_back("Light.Source=\"Sweep\"");
            if (key != "Light.Start" && key != "Light.Wavelength") {
                lines.push_back("Light.Start=0.1");
            }
            unless("Light.End", "Light.End=10");
            lines.push_back("Light.Step=0");
            unless("Light.Flux", "Light.Flux=1e17");
        }
    }
    if (key.rfind("Trap", 0) == 0 && key[4] >= '1' && key[4] <= '5') {
        const std::string trap = key.substr(0, 6);
        const char* const whole[][2] = {{"Type", "\"Donor\""}, {"N", "1e15"},    {"Nr", "1e19"},
                                        {"E", "0.3"},          {"Taun", "1e-8"}, {"Taup", "1e-8"}};
        for (const auto& entry : whole) {
            unless((trap + entry[0]).c_str(), trap + entry[0] + "=" + entry[1]);
        }
    }
    if (key == "Trap.Count" && std::strtod(value.c_str(), nullptr) >= 1) {
        lines.push_back("Trap.Model=\"" + TRAP_MODEL + "\"");
    }
    lines.push_back(key + "=" + value);
    return lines;
}

// Limits the engine cannot take however the other keys are set: the lower
// current limit must stay below the upper one.
bool unreachable(const std::string& key, bool atMaximum)
{
    return (key == "Voltage.Jinf" && atMaximum) || (key == "Voltage.Jsup" && !atMaximum);
}

// The engine names the accepted words of these keys, which are its own
// spelling of the same range ("0" and "1", or a word).
bool namedByWords(const std::string& key)
{
    return key == "Anode.Tunnel" || key == "Cathode.Tunnel" || key == "BandgapType";
}

std::string text(const KovKeyLimit& limit, double value)
{
    return limit.integer ? std::to_string(static_cast<long>(value)) : kov_limitNumberText(value);
}

// Just outside a limit: one step for a count, half the limit's size (or a
// thousandth at 0) for a real.
double outside(const KovKeyLimit& limit, bool above)
{
    const double edge = above ? limit.maximum : limit.minimum;
    const double step = limit.integer ? 1.0 : edge != 0.0 ? std::fabs(edge) * 0.5 : 1e-3;
    return above ? edge + step : edge - step;
}

class KeyLimits : public DocTest {
protected:
    void SetUp() override
    {
        DocTest::SetUp();
        layer = Device_appendLayer(device());
        ASSERT_NE(layer, nullptr);
    }

    // The number a record holds, through its alias when it has one.
    static double stored(const ParamRecord* record)
    {
        const ParamRecord* target = record->alias != nullptr ? record->alias : record;
        return target->type == PARAM_INTEGER ? target->value.integer : target->value.real;
    }

    Layer* layer = nullptr;
};

TEST_F(KeyLimits, EveryNumberKeyHasTheSameRangeOnBothSides)
{
    std::set<const KovKeyLimit*> probed;
    for (int s = 0; s < ekInput::SECTIONCOUNT; ++s) {
        if (s > SEC_LAYER1 && s <= SEC_LAYER9) {
            continue;  // the nine layer sections share one table
        }
        const std::string section = kov_toUtf8(ekInput::SECTION[s].name);
        for (const _ekRecord* r = ekInput::SECTION[s].records; r->key != nullptr; ++r) {
            const std::string key = kov_toUtf8(r->key);
            ParamRecord* record = recordFor(device(), layer, s, key.c_str());
            if (record == nullptr ||
                (record->type != PARAM_REAL && record->type != PARAM_INTEGER)) {
                continue;  // a word, a text, or a key the editor keeps as written
            }
            SCOPED_TRACE("[" + section + "] " + key);
            const KovKeyLimit* limit = kov_findKeyLimit(section.c_str(), key.c_str());
            ASSERT_NE(limit, nullptr) << "a number of both sides without a shared range";
            probed.insert(limit);
            const std::string range = kov_rangeText(*limit);

            // The editor's record holds the table's range, unit and rule.
            EXPECT_EQ(record->type == PARAM_INTEGER, limit->integer);
            if (record->type == PARAM_INTEGER) {
                EXPECT_EQ(record->minimum.integer, static_cast<int>(limit->minimum));
                EXPECT_EQ(record->maximum.integer, static_cast<int>(limit->maximum));
            } else {
                EXPECT_EQ(record->minimum.real, limit->minimum);
                EXPECT_EQ(record->maximum.real, limit->maximum);
            }
            EXPECT_STREQ(record->unit, limit->unit);
            EXPECT_EQ((record->flags & PARAM_CLAMPS) != 0, limit->outside == KovOutside::CLAMP);

            for (const bool above : {false, true}) {
                const double edge = above ? limit->maximum : limit->minimum;
                const double beyond = outside(*limit, above);
                SCOPED_TRACE(above ? "above" : "below");

                // The limit itself: taken by both.
                recorder.lines.clear();
                EXPECT_EQ(Param_setValueText(record, text(*limit, edge).c_str(), nullptr, 1), 1)
                    << recorder.console();
                EXPECT_EQ(stored(record), edge);
                if (!unreachable(key, above)) {
                    const EngineAnswer atEdge = engineLoads(
                        folder, deviceWith(s, probeLines(*limit, key, text(*limit, edge))));
                    EXPECT_TRUE(atEdge.loaded) << atEdge.log;
                }

                // Just outside.
                recorder.lines.clear();
                const int entered =
                    Param_setValueText(record, text(*limit, beyond).c_str(), nullptr, 1);
                const EngineAnswer beyondAnswer = engineLoads(
                    folder, deviceWith(s, probeLines(*limit, key, text(*limit, beyond))));
                switch (limit->outside) {
                case KovOutside::REFUSE:
                    EXPECT_EQ(entered, 0);
                    EXPECT_EQ(stored(record), edge) << "a refused value leaves the record";
                    EXPECT_NE(recorder.console().find("(accepted: " + range + ")"),
                              std::string::npos)
                        << recorder.console();
                    EXPECT_FALSE(beyondAnswer.loaded);
                    if (namedByWords(key)) {
                        EXPECT_NE(beyondAnswer.log.find("accepted: "), std::string::npos)
                            << beyondAnswer.log;
                    } else if (limit->section != KovKeySection::VOLTAGE) {
                        EXPECT_NE(beyondAnswer.log.find(range), std::string::npos)
                            << beyondAnswer.log;
                    }
                    break;
                case KovOutside::CLAMP: {
                    const std::string said =
                        "changed to " + text(*limit, edge) + " (accepted: " + range + ")";
                    EXPECT_EQ(entered, 1);
                    EXPECT_EQ(stored(record), edge);
                    EXPECT_NE(recorder.console().find(said), std::string::npos)
                        << recorder.console();
                    EXPECT_TRUE(beyondAnswer.loaded) << beyondAnswer.log;
                    EXPECT_NE(beyondAnswer.log.find(said), std::string::npos) << beyondAnswer.log;
                    const int used = limit->section == KovKeySection::LAYER
                                         ? beyondAnswer.meshPoints
                                         : beyondAnswer.devicePoints;
                    EXPECT_EQ(used, static_cast<int>(edge));
                    break;
                }
                case KovOutside::OFFERED:
                    EXPECT_EQ(entered, 0) << "the editor offers its range only";
                    break;
                }
            }
        }
    }
    EXPECT_EQ(probed.size(), KOV_KEY_LIMIT_COUNT)
        << "every range of the table belongs to a key of both";
}

TEST_F(KeyLimits, OfferedRangesRunInTheEngine)
{
    // Keys the engine reads only with others (a step) or not at all: every
    // value the editor offers loads.
    for (const KovKeyLimit& limit : KOV_KEY_LIMITS) {
        if (limit.outside != KovOutside::OFFERED) {
            continue;
        }
        std::string key = limit.key;
        if (key.rfind("Trap#", 0) == 0) {
            key[4] = '1';
        }
        const int section = limit.section == KovKeySection::LAYER     ? SEC_LAYER1
                            : limit.section == KovKeySection::VOLTAGE ? SEC_VOLTAGE
                            : limit.section == KovKeySection::LIGHT   ? SEC_LIGHT
                                                                      : SEC_NUMERIC;
        for (const double value : {limit.minimum, limit.maximum}) {
            SCOPED_TRACE(key + "=" + text(limit, value));
            const EngineAnswer answer = engineLoads(
                folder, deviceWith(section, probeLines(limit, key, text(limit, value))));
            EXPECT_TRUE(answer.loaded) << answer.log;
        }
    }
}

TEST_F(KeyLimits, EveryNumberRecordOfTheEditorTakesItsRangeFromTheTable)
{
    // Also the editor's records no engine key leads to: one definition.
    auto check = [&](const char* section, ParamRecord* const* records, int count) {
        for (int i = 0; i < count; ++i) {
            const ParamRecord* r = records[i];
            if (r == nullptr || (r->type != PARAM_REAL && r->type != PARAM_INTEGER)) {
                continue;
            }
            SCOPED_TRACE(std::string(section) + " " + r->key);
            const KovKeyLimit* limit = kov_findKeyLimit(section, r->key);
            ASSERT_NE(limit, nullptr);
            const double low = r->type == PARAM_INTEGER ? r->minimum.integer : r->minimum.real;
            const double high = r->type == PARAM_INTEGER ? r->maximum.integer : r->maximum.real;
            EXPECT_EQ(low, limit->minimum);
            EXPECT_EQ(high, limit->maximum);
            EXPECT_STREQ(r->unit, limit->unit);
        }
    };
    Device* d = device();
    check("Device", d->records, d->recordCount);
    check("Anode", d->anode->records, d->anode->count);
    check("Cathode", d->cathode->records, d->cathode->count);
    check("Voltage", d->voltage->records, d->voltage->count);
    check("Light", d->light->records, d->light->count);
    check("Numeric", d->numeric->records, d->numeric->count);
    check("Layer1", layer->records, layer->count);
}

// The three files the two sides used to read differently, each opened by
// the editor and loaded by the engine.
TEST_F(KeyLimits, FilesThatDisagreedReadTheSameOnBothSides)
{
    const std::string body = "[Device]\nName=\"pn\"\n"
                             "[Layer1]\nThickness=0.5\nDopant.Type=\"N\"\nDopant.N=1e18\n"
                             "Mesh.Points=MESH\nDopant.Taun=TAUN\nDopant.Taup=1e-7\n"
                             "[Layer2]\nThickness=20\nDopant.Type=\"P\"\nDopant.N=1e16\n"
                             "[Anode]\nAnode.Type=\"Ohmic\"\n"
                             "[Cathode]\nCathode.Type=\"Ohmic\"\nCathode.Rn=RN\n";
    auto file = [&](const char* mesh, const char* taun, const char* rn) {
        std::string text = body;
        text.replace(text.find("MESH"), 4, mesh);
        text.replace(text.find("TAUN"), 4, taun);
        text.replace(text.find("RN"), 2, rn);
        return text;
    };
    const struct {
        const char* what;
        std::string body;
        bool loads;        // by the engine
        const char* said;  // by both, "" for nothing
        int meshPoints;    // of layer 1 on both sides
    } cases[] = {
        // A dopant lifetime of 1000 s switches its recombination off in
        // effect: a value both take without a word.
        {"a long dopant lifetime", file("100", "1000", "1e7"), true, "", 100},
        {"no surface recombination velocity", file("100", "1e-7", "0"), false,
         "(accepted: from 0.0001 to 1e+08 cm/s)", 100},
        {"more mesh points than a layer has", file("12000", "1e-7", "1e7"), true,
         "changed to 5000 (accepted: from 5 to 5000 points)", 5000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = folder.file("case.kovra");
        {
            std::ofstream out(path);
            out << "# Kovra <SL>\n" << c.body;
        }
        recorder.lines.clear();
        ASSERT_EQ(Device_load(document(), path.c_str()), 1) << recorder.console();
        const std::string editor = recorder.console();
        const EngineAnswer engine = engineLoads(folder, c.body);
        EXPECT_EQ(engine.loaded, c.loads) << engine.log;
        if (c.said[0] == '\0') {
            EXPECT_EQ(editor.find("[ERROR]"), std::string::npos) << editor;
            EXPECT_EQ(editor.find("[WARNING]"), std::string::npos) << editor;
            EXPECT_EQ(engine.log.find("[ERROR]"), std::string::npos) << engine.log;
            EXPECT_EQ(engine.log.find("Taun"), std::string::npos) << engine.log;
        } else {
            EXPECT_NE(editor.find(c.said), std::string::npos) << editor;
            EXPECT_NE(engine.log.find(c.said), std::string::npos) << engine.log;
        }
        Layer* first = device()->layers[0];
        EXPECT_EQ(first->records[LR_MESH_POINTS]->value.integer, c.meshPoints);
        EXPECT_EQ(Device_getLayerMeshPoints(document(), first), c.meshPoints);
        if (engine.loaded) {
            EXPECT_EQ(engine.meshPoints, c.meshPoints);
        }
    }
}

// A file without [Numeric] shows what the run uses: the per-layer mesh with
// the layers' points together, Newton, and the engine's tolerance and
// damping; saving it adds no [Numeric] key.
TEST_F(KeyLimits, ANumericSectionLeftOutShowsTheRunsDefaults)
{
    const std::string text = "[Device]\nName=\"pn\"\n"
                             "[Layer1]\nThickness=0.5\nDopant.Type=\"N\"\nDopant.N=1e18\n"
                             "[Layer2]\nThickness=5\nDopant.Type=\"P\"\nDopant.N=1e16\n"
                             "Mesh.Points=200\n";
    const std::string path = folder.file("plain.kovra");
    {
        std::ofstream out(path);
        out << "# Kovra <SL>\n" << text;
    }
    ASSERT_EQ(Device_load(document(), path.c_str()), 1) << recorder.console();
    const EngineAnswer engine = engineLoads(folder, text);
    ASSERT_TRUE(engine.loaded) << engine.log;

    char value[PARAM_VALUE_SIZE];
    ASSERT_EQ(Device_getNumericValueText(device(), "Numeric.Mesh", value), 1);
    EXPECT_STREQ(value, "Layer");
    ASSERT_EQ(Device_getNumericValueText(device(), "Numeric.Points", value), 1);
    EXPECT_STREQ(value, "300");  // 100 + 200, as the run meshes it
    ASSERT_EQ(Device_getNumericValueText(device(), "Numeric.Method", value), 1);
    EXPECT_STREQ(value, "Newton");
    ASSERT_EQ(Device_getNumericValueText(device(), "Numeric.InnermostSolver", value), 1);
    EXPECT_STREQ(value, "tfqmr");
    EXPECT_EQ(Device_findNumericParam(device(), "Numeric.Tol")->value.real, KOV_RUN_DEFAULT_TOL);
    EXPECT_EQ(Device_findNumericParam(device(), "Numeric.Damp")->value.real, KOV_RUN_DEFAULT_DAMP);

    // The engine's own settings after the same file.
    EXPECT_EQ(engine.param.mesh, nuParam::MESH_LAYER);
    EXPECT_EQ(engine.param.reltol, KOV_RUN_DEFAULT_TOL);
    EXPECT_EQ(engine.param.damp, KOV_RUN_DEFAULT_DAMP);
    EXPECT_EQ(engine.param.method, nuParam::METHOD_NEWTON);
    EXPECT_EQ(engine.param.solver, nuParam::SOLVER_DEFAULT);

    const std::string saved = folder.file("saved.kovra");
    ASSERT_EQ(Device_save(document(), saved.c_str()), 1);
    EXPECT_EQ(readText(saved).find("Numeric."), std::string::npos) << readText(saved);
}

}  // namespace
