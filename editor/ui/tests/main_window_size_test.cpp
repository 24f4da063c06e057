// The main window's size is kept across sessions: the size it had when it
// closed is written to the settings and is the size it opens with; a size
// larger than the screen is not taken.
#include "MainWindowFixture.h"
#include "kovragui.h"
#include "kovraHandles.h"

namespace {

std::pair<int, int> windowSize()
{
    int width = 0, height = 0;
    IupGetIntInt(IupGetHandle(KOV_WindowMain), "RASTERSIZE", &width, &height);
    return {width, height};
}

std::string sizeLine(const char* key, int value)
{
    return std::string(key) + "=" + std::to_string(value) + "\n";
}

TEST_F(MainWindowTest, TheStoredWindowSizeIsTheSizeItOpensWith)
{
    const std::string device = example("silicon-pn.kovra");
    const std::string settingsFile = folder.file("config/KovraDevice/kovradevice.kovr");
    start({device});
    int screenWidth = 0, screenHeight = 0;
    ASSERT_EQ(getScreenSize(&screenWidth, &screenHeight), 1);
    const int width = screenWidth - 60;
    const int height = screenHeight - 40;
    ASSERT_GE(width, 720);
    ASSERT_GE(height, 480);
    // The user resizes the window.
    Ihandle* dialog = h(KOV_WindowMain);
    IupSetfAttribute(dialog, "RASTERSIZE", "%dx%d", width, height);
    IupFlush();
    ASSERT_EQ(windowSize(), std::make_pair(width, height));
    stop();
    std::string settings = readAll(settingsFile);
    EXPECT_NE(settings.find(sizeLine("WindowMainWidth", width)), std::string::npos) << settings;
    EXPECT_NE(settings.find(sizeLine("WindowMainHeight", height)), std::string::npos) << settings;

    start({device});
    EXPECT_EQ(windowSize(), std::make_pair(width, height));
    stop();

    // A size written by hand is honoured; a width beyond the screen is not.
    struct Case {
        int width;
        int expected;
    } cases[] = {{760, 760}, {screenWidth + 200, 1024}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        settings = readAll(settingsFile);
        const size_t at = settings.find("WindowMainWidth=");
        ASSERT_NE(at, std::string::npos);
        settings.replace(at, settings.find('\n', at) + 1 - at,
                         sizeLine("WindowMainWidth", c.width));
        folder.write("config/KovraDevice/kovradevice.kovr", settings);
        start({device});
        EXPECT_EQ(windowSize(), std::make_pair(c.expected, height));
        stop();
    }
}

}  // namespace
