// The calculator's window built, shown and prepared as the program does,
// over settings of its own scratch folder; closed (settings written) after
// each test.
#pragma once

#include "Console.h"
#include "CalcState.h"
#include "WindowMain.h"
#include "iupTestApp.h"
#include "tempFolder.h"
#include "kovraHandles.h"

class CalcWindowFixture : public testing::Test {
protected:
    TempFolder config;
    Ihandle* dialog = nullptr;
    Ihandle* console = nullptr;
    // The folder the Help command looks in; a test may point it elsewhere.
    const char* docFolder = "";

    void SetUp() override { open(); }
    void TearDown() override { WindowMain_close(); }
    // Also a restart after WindowMain_close: the settings written are read.
    void open()
    {
        dialog = WindowMain_build(config.path(), docFolder);
        ASSERT_NE(dialog, nullptr);
        WindowMain_show();
        console = IupGetHandle(KOV_Console);
        ASSERT_NE(console, nullptr);
    }
};
