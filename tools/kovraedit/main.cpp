// kovraedit [FILE]: opens a text file (a device file, a Lua model, a data
// file) in the user's editor. The device editor starts it from its Tools
// menu, its File menu and its output console.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "EditorCommand.h"

int main(int argc, char** argv)
{
    std::string file = argc >= 2 ? argv[1] : "";
    std::vector<std::string> args =
        EditorCommand_arguments(std::getenv("VISUAL"), std::getenv("EDITOR"), file);
    if (args.empty()) {
        std::fprintf(
            stderr,
            "kovraedit: no editor to start: set VISUAL or EDITOR, or name a file for xdg-open\n");
        return 2;
    }
    std::vector<char*> argvOut;
    for (std::string& a : args) {
        argvOut.push_back(a.data());
    }
    argvOut.push_back(nullptr);
    execvp(argvOut[0], argvOut.data());
    std::fprintf(stderr, "kovraedit: cannot start %s: %s\n", argvOut[0], std::strerror(errno));
    return 1;
}
