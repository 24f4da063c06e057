// The device editor's reader and writer of device files: a nine-layer
// device with five traps per layer opened and saved 10,000 times; prints
// the time per open and per save.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "device.h"
#include "docHooks.h"
#include "document.h"
#include "kovbase.h"
#include "settings.h"

namespace {

Document* current = nullptr;
Settings settings;
const std::string appDir = std::string(KOVRA_BIN_DIR) + "/";

std::string nineLayers()
{
    std::string text = "# Kovra <SL>\n# nine layers, five traps each\n\n$t = 0.5\n\n"
                       "[Device]\n    Name=\"Nine-layer stack\"\n    Temperature=300\n";
    for (int l = 1; l <= 9; ++l) {
        text += "[Layer" + std::to_string(l) + "]\n    Material=\"" + (l % 2 ? "GaAs" : "Si") +
                "\"\n    Thickness=$t\n    Dopant.Type=\"" + (l < 5 ? "P" : "N") +
                "\"\n    Dopant.N=1e17    # doping\n    Mesh.Points=100\n";
        for (int k = 1; k <= 5; ++k) {
            const std::string trap = "    Trap" + std::to_string(k);
            text += trap + ".Type=\"" + (k % 2 ? "Donor" : "Acceptor") + "\"\n" + trap +
                    ".N=1e15\n" + trap + ".Nr=1e19\n" + trap + ".E=0." + std::to_string(k) + "\n" +
                    trap + ".Taun=1e-8\n" + trap + ".Taup=1e-8\n";
        }
    }
    text += "[Voltage]\n    Voltage.Source=\"Sweep\"\n    Voltage.End=0.8\n"
            "[Light]\n    Light.Source=\"AM1.5\"\n";
    return text;
}

}  // namespace

int main()
{
    Settings_setDefaults(&settings);
    DocHooks hooks{};
    hooks.getDocument = []() { return current; };
    hooks.getSettings = []() { return &settings; };
    hooks.setDocument = [](Document* d) { current = d; };
    hooks.appDir = []() { return appDir.c_str(); };
    Doc_setHooks(&hooks);
    if (Document_create(nullptr, nullptr, 0) == nullptr) {
        std::fprintf(stderr, "no document\n");
        return 1;
    }
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "kovra-bench-device";
    std::filesystem::create_directories(folder);
    const std::string source = (folder / "nine.kovra").string();
    const std::string saved = (folder / "saved.kovra").string();
    if (FILE* f = std::fopen(source.c_str(), "w")) {
        std::fputs(nineLayers().c_str(), f);
        std::fclose(f);
    }
    constexpr int ROUNDS = 10000;
    double openMs = 0.0;
    double saveMs = 0.0;
    for (int i = 0; i < ROUNDS; ++i) {
        const double t0 = kov_clockMs();
        if (Device_load(current, source.c_str()) != 1) {
            std::fprintf(stderr, "open failed\n");
            return 1;
        }
        const double t1 = kov_clockMs();
        if (Device_save(current, saved.c_str()) != 1) {
            std::fprintf(stderr, "save failed\n");
            return 1;
        }
        saveMs += kov_clockMs() - t1;
        openMs += t1 - t0;
    }
    std::printf("device file, 9 layers x 5 traps, %d rounds: open %.1f us, save %.1f us\n", ROUNDS,
                openMs * 1000.0 / ROUNDS, saveMs * 1000.0 / ROUNDS);
    Document_free(current);
    std::filesystem::remove_all(folder);
    return 0;
}
