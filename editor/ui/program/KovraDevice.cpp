// KovraDevice [FILE]: the device editor. One argument naming an existing
// device file opens it; any other command line is ignored.
#include "App.h"
#include "WindowMain.h"
#include "kovbase.h"

int main(int argc, char** argv)
{
    int started = WindowMain_start(argc, argv);
    if (started > 0) {
        return started;
    }
    if (started == 0) {
        IupMainLoop();
    }
    WindowMain_close();
    WindowMain_shutdown();
    return 0;
}
