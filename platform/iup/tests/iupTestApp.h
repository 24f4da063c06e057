// One QApplication per test program, made before the first widget, and a
// script that turns an unexpected question into a test failure.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>

#include "iup.h"

class IupEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "iup-test";
        static char* argv[] = {name, nullptr};
        app = new QApplication(argc, argv);
        IupOpen(&argc, reinterpret_cast<char***>(&argv));
        IupScriptOnUnexpected([](const char* what) { ADD_FAILURE() << what; });
    }
    void TearDown() override
    {
        IupClose();
        delete app;
    }

private:
    QApplication* app = nullptr;
};

inline ::testing::Environment* const iupEnvironment =
    ::testing::AddGlobalTestEnvironment(new IupEnvironment);
