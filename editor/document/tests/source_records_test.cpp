// A source or contact kind the user switches on is saved with the values
// its fields show, and the engine runs the saved file: a voltage sweep,
// monochromatic light, a wavelength sweep and a Schottky contact chosen in
// a device whose file left those values out.
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "docTestSupport.h"

namespace fs = std::filesystem;

namespace {

std::string shown(const ParamRecord* record)
{
    char text[PARAM_VALUE_SIZE];
    Param_valueText(record, text, sizeof text);
    return text;
}

struct SwitchCase {
    const char* name;
    const char* example;
    // What the user switches on, as the window stores it.
    std::function<void(Device*)> choose;
    // The records the switched-on source shows, by key; each must be saved
    // with the value shown.
    std::vector<std::function<ParamRecord*(Device*)>> shownRecords;
};

ParamRecord* voltage(Device* d, const char* key) { return Device_findVoltageParam(d, key); }
ParamRecord* light(Device* d, const char* key) { return Device_findLightParam(d, key); }

class SourceRecords : public DocTest {};

TEST_F(SourceRecords, WhatASwitchedOnSourceShowsIsSavedAndRuns)
{
    const SwitchCase cases[] = {
        {"voltage sweep",
         "silicon-pn.kovra",
         [](Device* d) {
             ASSERT_EQ(Param_setValueText(voltage(d, "Voltage.Source"), "Sweep", nullptr, 0), 1);
             // The user confirms the end the field shows: nothing changes.
             ASSERT_EQ(Param_setValueText(voltage(d, "Voltage.End"), "1", nullptr, 0), 1);
         },
         {[](Device* d) { return voltage(d, "Voltage.Start"); },
          [](Device* d) { return voltage(d, "Voltage.End"); },
          [](Device* d) { return voltage(d, "Voltage.Step"); }}},
        {"wavelength sweep",
         "variables.kovra",
         [](Device* d) {
             ASSERT_EQ(Param_setValueText(light(d, "Light.Source"), "Sweep", nullptr, 0), 1);
             // A quantum-efficiency sweep runs at one voltage.
             ASSERT_EQ(Param_setValueText(voltage(d, "Voltage.Source"), "None", nullptr, 0), 1);
         },
         {[](Device* d) { return light(d, "Light.Start"); },
          [](Device* d) { return light(d, "Light.End"); },
          [](Device* d) { return light(d, "Light.Step"); },
          [](Device* d) { return light(d, "Light.Flux"); }}},
        {"monochromatic light",
         "variables.kovra",
         [](Device* d) {
             ASSERT_EQ(Param_setValueText(light(d, "Light.Source"), "Mono", nullptr, 0), 1);
         },
         {[](Device* d) { return light(d, "Light.Start"); },
          [](Device* d) { return light(d, "Light.Flux"); }}},
        {"Schottky cathode",
         "silicon-pn.kovra",
         [](Device* d) {
             ASSERT_EQ(Device_setCathodeItem(d, "Cathode.Type", "Schottky", nullptr, nullptr, 0),
                       1);
             ASSERT_EQ(
                 Param_setValueText(Contact_findParam(d->cathode, "Cathode.Phi"), "0", nullptr, 0),
                 1);
         },
         {[](Device* d) { return Contact_findParam(d->cathode, "Cathode.Phi"); }}},
        {"Schottky anode",
         "silicon-pn.kovra",
         [](Device* d) {
             ASSERT_EQ(Device_setAnodeItem(d, "Anode.Type", "Schottky", nullptr, nullptr, 0), 1);
         },
         {[](Device* d) { return Contact_findParam(d->anode, "Anode.Phi"); }}},
    };
    int number = 0;
    for (const SwitchCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string run = folder.path() + "case" + std::to_string(number++) + "/";
        fs::create_directories(run);
        fs::copy_file(std::string(KOVRA_SOURCE_DIR) + "/examples/" + c.example,
                      run + "device.kovra");
        ASSERT_EQ(Device_load(document(), (run + "device.kovra").c_str()), 1) << recorder.console();
        Device* d = device();
        c.choose(d);
        std::vector<std::string> lines;
        for (const auto& find : c.shownRecords) {
            const ParamRecord* record = find(d);
            ASSERT_NE(record, nullptr);
            lines.push_back("    " + std::string(record->key) + "=" + shown(record) + "\n");
        }
        ASSERT_EQ(Device_save(document(), (run + "device.kovra").c_str()), 1);
        const std::string saved = readText(run + "device.kovra");
        for (const std::string& line : lines) {
            EXPECT_NE(saved.find(line), std::string::npos) << line << saved;
        }
        EXPECT_EQ(runEngine(run, "device.kovra"), 0) << readText(run + "run.log") << saved;
        const std::string log = readText(run + "run.log");
        EXPECT_EQ(log.find("[ERROR]"), std::string::npos) << log;
    }
}

// Records a source does not use stay out of the file: an ohmic cathode has
// no barrier height written (the engine would take one as a Schottky
// contact), a voltage that is off no sweep values.
TEST_F(SourceRecords, ASourceThatIsOffAddsNothing)
{
    const std::string path = folder.file("device.kovra");
    fs::copy_file(std::string(KOVRA_SOURCE_DIR) + "/examples/silicon-pn.kovra", path);
    ASSERT_EQ(Device_load(document(), path.c_str()), 1) << recorder.console();
    ASSERT_EQ(Device_save(document(), path.c_str()), 1);
    const std::string saved = readText(path);
    for (const char* key : {"Cathode.Phi", "Anode.Phi", "Voltage.Start", "Voltage.Step",
                            "Light.Start", "Light.Flux"}) {
        EXPECT_EQ(saved.find(key), std::string::npos) << key << saved;
    }
}

}  // namespace
