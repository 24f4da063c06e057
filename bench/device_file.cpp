// The device editor's reader and writer of device files: a nine-layer
// device with five traps per layer opened and saved (2,000 rounds, or the
// number given); prints the best time per open and per save, the records'
// size and the heap of the open document, and Python's configparser reading
// the same file, the yardstick the reader is held to.
#include <malloc.h>

#include <algorithm>
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

// The records of a device and the bytes they take: the record itself and
// the texts it keeps outside it.
struct RecordUse {
    long long count = 0;
    long long bytes = 0;
};

void countRecords(ParamRecord* const* records, int n, RecordUse* use)
{
    for (int i = 0; i < n; ++i) {
        if (records[i] != nullptr) {
            ++use->count;
            use->bytes += static_cast<long long>(Param_bytes(records[i]));
        }
    }
}

RecordUse recordUse(const Device* d)
{
    RecordUse use;
    countRecords(d->records, d->recordCount, &use);
    countRecords(d->anode->records, d->anode->count, &use);
    countRecords(d->cathode->records, d->cathode->count, &use);
    for (const ParamSection* s : {d->voltage, d->light, d->numeric, d->command}) {
        countRecords(s->records, s->count, &use);
    }
    for (int i = 0; i < d->layerCount; ++i) {
        countRecords(d->layers[i]->records, d->layers[i]->count, &use);
    }
    return use;
}

// Bytes of the heap in use.
long long heapInUse() { return static_cast<long long>(mallinfo2().uordblks); }

void installHooks()
{
    Settings_setDefaults(&settings);
    DocHooks hooks{};
    hooks.getDocument = []() { return current; };
    hooks.getSettings = []() { return &settings; };
    hooks.setDocument = [](Document* d) { current = d; };
    hooks.appDir = []() { return appDir.c_str(); };
    Doc_setHooks(&hooks);
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 2000;
    installHooks();
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "kovra-bench-device";
    std::filesystem::create_directories(folder);
    const std::string source = (folder / "nine.kovra").string();
    const std::string saved = (folder / "saved.kovra").string();
    if (FILE* f = std::fopen(source.c_str(), "w")) {
        std::fputs(nineLayers().c_str(), f);
        std::fclose(f);
    }
    // The heap one open document takes: none, then the file opened.
    const long long before = heapInUse();
    if (Document_create(nullptr, nullptr, 0) == nullptr ||
        Device_load(current, source.c_str()) != 1) {
        std::fprintf(stderr, "open failed\n");
        return 1;
    }
    const long long documentBytes = heapInUse() - before;
    const RecordUse use = recordUse(current->device);

    // Best of the rounds, as the other benchmarks time.
    double openMs = 1e300;
    double saveMs = 1e300;
    for (int i = 0; i < rounds; ++i) {
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
        const double t2 = kov_clockMs();
        openMs = std::min(openMs, t1 - t0);
        saveMs = std::min(saveMs, t2 - t1);
    }
    std::printf("device file, 9 layers x 5 traps (%ld bytes), best of %d rounds:\n",
                static_cast<long>(std::filesystem::file_size(source)), rounds);
    std::printf("  editor:       open %.1f us, save %.1f us\n", openMs * 1000.0, saveMs * 1000.0);
    std::printf("  records:      %lld of %zu bytes each, %.2f MiB with their texts; open document "
                "%.2f MiB\n",
                use.count, sizeof(ParamRecord), static_cast<double>(use.bytes) / 1048576.0,
                static_cast<double>(documentBytes) / 1048576.0);
    // The yardstick: Python's configparser reading the same file.
    const std::string script = std::string(KOVRA_SOURCE_DIR) + "/bench/device_file_configparser.py";
    const std::string command =
        "python3 \"" + script + "\" \"" + source + "\" " + std::to_string(rounds) + " 2>&1";
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char line[256] = "";
        double pythonUs = 0.0;
        while (std::fgets(line, sizeof line, pipe) != nullptr) {
            std::printf("  %s", line);
            std::sscanf(line, "configparser: %lf", &pythonUs);
        }
        if (pclose(pipe) == 0 && pythonUs > 0.0) {
            std::printf("  open time / configparser time: %.2f\n", openMs * 1000.0 / pythonUs);
        }
    }
    Document_free(current);
    std::filesystem::remove_all(folder);
    return 0;
}
