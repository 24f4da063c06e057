// The document library's test fixture: the routines it calls upward are
// answered by a recorder (console lines kept, an application record of one
// document and one settings record), and the material database is the one
// the build placed in bin/etc.
#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "device.h"
#include "docHooks.h"
#include "document.h"
#include "settings.h"
#include "tempFolder.h"

struct DocRecorder {
    static DocRecorder*& current()
    {
        static DocRecorder* recorder = nullptr;
        return recorder;
    }

    std::vector<std::string> lines;  // console, plain and coloured alike
    std::vector<std::string> infos;
    Document* document = nullptr;
    Settings settings{};
    std::string appDir = std::string(KOVRA_BIN_DIR) + "/";
    std::string voltageFile, lightFile;
    int trapModelCalls = 0;

    DocRecorder()
    {
        Settings_setDefaults(&settings);
        current() = this;
        DocHooks hooks{};
        hooks.print = [](const char* t) { current()->lines.push_back(t); };
        hooks.printColored = [](const char* t) { current()->lines.push_back(t); };
        hooks.showInfo = [](const char* t, int) { current()->infos.push_back(t); };
        hooks.getDocument = []() { return current()->document; };
        hooks.getSettings = []() { return &current()->settings; };
        hooks.setDocument = [](Document* d) { current()->document = d; };
        hooks.setVoltageFile = [](const char* p) { current()->voltageFile = p; };
        hooks.setLightFile = [](const char* p) { current()->lightFile = p; };
        hooks.voltageFile = []() { return current()->voltageFile.c_str(); };
        hooks.lightFile = []() { return current()->lightFile.c_str(); };
        hooks.appDir = []() { return current()->appDir.c_str(); };
        hooks.applyTrapModel = [](Layer*) { ++current()->trapModelCalls; };
        Doc_setHooks(&hooks);
    }
    ~DocRecorder()
    {
        if (document != nullptr) {
            Document_free(document);
        }
        Doc_setHooks(nullptr);
        current() = nullptr;
    }

    // Every console line so far, joined.
    std::string console() const
    {
        std::string all;
        for (const std::string& line : lines) {
            all += line;
        }
        return all;
    }
};

// A fixture with an empty document (template 0) as the current one.
class DocTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(Document_create(nullptr, nullptr, 0), nullptr); }
    Device* device() { return recorder.document->device; }
    Document* document() { return recorder.document; }

    DocRecorder recorder;
    TempFolder folder{"kovradoc-"};
};

// Runs the driver on a file in its own folder (its log in run.log there);
// the exit status.
inline int runEngine(const std::string& folder, const std::string& file)
{
    const std::string command = "cd '" + folder + "' && '" + KOVRA_BIN_DIR + "/kovracomp' -run '" +
                                file + "' -nowarn > run.log 2>&1";
    const int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

inline std::string readText(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The record a section's key reaches in a fresh device, or null.
inline ParamRecord* recordFor(Device* d, Layer* layer, int section, const char* key)
{
    const KeyEntry* table = Section_keyTable(section);
    for (int i = 0; table[i].key != nullptr; ++i) {
        if (std::strcmp(table[i].key, key) != 0) {
            continue;
        }
        const int n = static_cast<int>(table[i].number);
        switch (section) {
        case SEC_DEVICE: return d->records[n];
        case SEC_ANODE: return d->anode->records[n];
        case SEC_CATHODE: return d->cathode->records[n];
        case SEC_VOLTAGE: return d->voltage->records[n];
        case SEC_LIGHT: return d->light->records[n];
        case SEC_NUMERIC: return d->numeric->records[n];
        case SEC_COMMAND: return d->command->records[n];
        default: return layer->records[n];
        }
    }
    return nullptr;
}
