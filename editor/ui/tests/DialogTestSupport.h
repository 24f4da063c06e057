// Fixture of the dialog tests: one QApplication (iupTestApp.h), a document
// made from the first template as the current one, the main window's part
// played by a recorder, and helpers that act as the user does on a dialog.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <string>
#include <vector>

#include "../../../platform/iup/tests/iupTestApp.h"
#include "DialogFrame.h"
#include "Dialogs.h"
#include "device.h"
#include "docHooks.h"
#include "document.h"
#include "iupQt.h"
#include "layer.h"
#include "param.h"
#include "settings.h"
#include "kovraHandles.h"

struct DialogRecorder {
    static DialogRecorder*& current()
    {
        static DialogRecorder* recorder = nullptr;
        return recorder;
    }
    Document* document = nullptr;
    Settings settings{};
    std::vector<std::string> console;
    int mainLayer = 1;
    std::vector<int> selected;  // layers the main window was asked to select
    int showLayerCalls = 0;
    std::string appDir = std::string(KOVRA_BIN_DIR) + "/";

    DialogRecorder()
    {
        current() = this;
        Settings_setDefaults(&settings);
        DocHooks hooks{};
        hooks.print = [](const char* t) { current()->console.push_back(t); };
        hooks.printColored = [](const char* t) { current()->console.push_back(t); };
        hooks.getDocument = []() { return current()->document; };
        hooks.setDocument = [](Document* d) { current()->document = d; };
        hooks.getSettings = []() { return &current()->settings; };
        hooks.appDir = []() { return current()->appDir.c_str(); };
        hooks.applyTrapModel = [](Layer* layer) { WindowTrap_applyModel(layer); };
        Doc_setHooks(&hooks);
        DialogHost host{};
        host.currentLayer = []() { return current()->mainLayer; };
        host.selectLayer = [](int n) {
            current()->selected.push_back(n);
            current()->mainLayer = n;
        };
        host.showLayer = []() { ++current()->showLayerCalls; };
        Dialogs_setHost(&host);
    }
    ~DialogRecorder()
    {
        Dialogs_closeAll();
        if (document != nullptr) {
            Document_free(document);
        }
        Dialogs_setHost(nullptr);
        Doc_setHooks(nullptr);
        current() = nullptr;
    }
};

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        IupScriptBegin();
        ASSERT_NE(Document_create(nullptr, nullptr, 0), nullptr);
        while (device()->layerCount < 3) {
            ASSERT_NE(Device_appendLayer(device()), nullptr);
        }
        Document_setModified(document(), 0);
    }
    void TearDown() override { EXPECT_EQ(IupScriptEnd(), 0) << "answers left unused"; }

    Device* device() { return recorder.document->device; }
    Document* document() { return recorder.document; }
    Layer* layer(int number) { return device()->layers[number - 1]; }

    static Ihandle* ctl(const DialogDescription& description, const char* word)
    {
        char name[128];
        return IupGetHandle(Dialog_controlName(&description, word, name, sizeof name));
    }
    static std::string value(Ihandle* ih)
    {
        const char* v = IupGetAttribute(ih, "VALUE");
        return v != nullptr ? v : "";
    }
    static std::string message(const DialogDescription& description)
    {
        const char* t = IupGetAttribute(ctl(description, "Message"), "TITLE");
        return t != nullptr ? t : "";
    }
    static void type(const DialogDescription& description, const char* word, const char* text)
    {
        IupSetStrAttribute(ctl(description, word), "VALUE", text);
    }
    static int click(const DialogDescription& description, const char* word)
    {
        auto action =
            reinterpret_cast<int (*)(Ihandle*)>(IupGetCallback(ctl(description, word), "ACTION"));
        return action(ctl(description, word));
    }
    static int closeBox(const DialogDescription& description)
    {
        Ihandle* dialog = IupGetHandle(description.handle);
        auto close = reinterpret_cast<int (*)(Ihandle*)>(IupGetCallback(dialog, "CLOSE_CB"));
        return close(dialog);
    }
    static void chooseLayer(const DialogDescription& description, int number)
    {
        Ihandle* list = ctl(description, "LayerList");
        IupSetInt(list, "VALUE", number);
        auto action = reinterpret_cast<int (*)(Ihandle*, char*, int, int)>(
            reinterpret_cast<void (*)()>(IupGetCallback(list, "ACTION")));
        action(list, IupGetAttribute(list, "VALUESTRING"), number, 1);
    }
    static std::string recordText(ParamRecord* record)
    {
        char text[PARAM_VALUE_SIZE];
        Param_valueText(record, text, sizeof text);
        return text;
    }
    // Renders the open dialog to <build>/dialogs/<handle>.png for a look.
    static void screenshot(const DialogDescription& description)
    {
        Ihandle* dialog = IupGetHandle(description.handle);
        ASSERT_NE(dialog, nullptr);
        QWidget* widget = iupWidget(dialog);
        widget->adjustSize();
        const std::string folder = std::string(KOVRA_BIN_DIR) + "/../dialogs";
        QDir().mkpath(QString::fromStdString(folder));
        const QPixmap picture = widget->grab();
        EXPECT_GT(picture.width(), 100);
        EXPECT_TRUE(
            picture.save(QString::fromStdString(folder + "/" + description.handle + ".png")));
    }

    DialogRecorder recorder;
};
