// A fixture that starts the real main window headless with a device file of
// its own scratch folder and a settings folder of its own, answers every
// question from a script, and closes and shuts the editor down afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "App.h"
#include "WindowMain.h"
#include "device.h"
#include "document.h"
#include "iup.h"
#include "settings.h"
#include "tempFolder.h"
#include "kovraHandles.h"

class MainWindowTest : public testing::Test {
protected:
    TempFolder folder{"kovradevice-"};

    void SetUp() override
    {
        setenv("XDG_CONFIG_HOME", (folder.path() + "config").c_str(), 1);
        setenv("KOVRA_APPDIR", (std::string(KOVRA_BIN_DIR) + "/").c_str(), 1);
        IupScriptBegin();
        IupScriptOnUnexpected(
            [](const char* what) { ADD_FAILURE() << "unexpected question: " << what; });
    }

    void TearDown() override
    {
        stop();
        EXPECT_EQ(IupScriptEnd(), 0) << "answers left unused";
    }

    // A copy of an example in the scratch folder.
    std::string example(const std::string& name, const std::string& as = "")
    {
        std::string target = folder.file(as.empty() ? name : as);
        std::filesystem::copy_file(std::string(KOVRA_SOURCE_DIR) + "/examples/" + name, target,
                                   std::filesystem::copy_options::overwrite_existing);
        return target;
    }

    void start(const std::vector<std::string>& arguments = {})
    {
        args = {"KovraDevice"};
        args.insert(args.end(), arguments.begin(), arguments.end());
        argv.clear();
        for (std::string& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        ASSERT_EQ(WindowMain_start(static_cast<int>(args.size()), argv.data()), 0);
        running = true;
        IupFlush();
    }

    // Closes as the user would, saying "Yes" to losing changes.
    void stop()
    {
        if (!running) {
            return;
        }
        if (Document_isModified(App_getDocument())) {
            IupScriptAnswer("Close anyway", "YES");
        }
        WindowMain_close();
        WindowMain_shutdown();
        running = false;
    }

    Ihandle* h(const char* name)
    {
        Ihandle* ih = IupGetHandle(name);
        EXPECT_NE(ih, nullptr) << name;
        return ih;
    }
    std::string attr(const char* name, const char* attribute)
    {
        const char* value = IupGetAttribute(IupGetHandle(name), attribute);
        return value ? value : "";
    }
    Document* doc() { return App_getDocument(); }
    Device* device() { return doc() ? doc()->device : nullptr; }
    double layerReal(int number, const char* key)
    {
        ParamRecord* r = Layer_findParam(device()->layers[number - 1], key);
        return r ? r->value.real : -1;
    }
    void type(const char* field, const char* text)
    {
        IupSetStrAttribute(h(field), "VALUE", text);
        IupTestKey(h(field), K_CR);
    }
    void key(int code) { IupTestKey(h(KOV_WindowMain), code); }
    // Runs a menu item's or button's action as a click would.
    void fire(const char* name)
    {
        auto action = reinterpret_cast<int (*)(Ihandle*)>(IupGetCallback(h(name), "ACTION"));
        ASSERT_NE(action, nullptr) << name;
        action(h(name));
        IupFlush();
    }
    bool dialogOpen(const char* dialog) { return IupGetHandle(dialog) != nullptr; }
    std::string title() { return attr(KOV_WindowMain, "TITLE"); }
    std::string info() { return attr(KOV_Actionbar_Info, "TITLE"); }
    std::string status() { return attr(KOV_Statusbar_Pane0, "TITLE"); }

private:
    std::vector<std::string> args;
    std::vector<char*> argv;
    bool running = false;
};
