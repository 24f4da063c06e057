// kovradatabase [DATABASE]: shows the material database that the engine and
// the device editor read, as a table of materials and their values. Without
// an argument it opens the database of its own program folder.
#include <QApplication>

#include "MaterialTable.h"
#include "MaterialWindow.h"
#include "kovbase.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::string path;
    if (argc >= 2) {
        path = argv[1];
    } else {
        char binDir[1024];
        if (kov_getAppDirA(binDir, sizeof binDir) != 0) {
            path = MaterialTable_defaultPath(binDir);
        }
    }
    MaterialTable table = MaterialTable_load(path);
    MaterialWindow window(path, table);
    window.show();
    return app.exec();
}
