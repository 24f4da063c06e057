// kovracomp: the simulator driver. Runs one device file through the engine
// (ekcore), echoes the engine's lines as they come and lists the result
// files of the run.
//
//   kovracomp -run FILE [-comm] [-nowarn] [-verbose] [-debug]
//
// Exit status: 0 when the run succeeded, 1 when it failed, 2 on a bad
// command line.
#include <cstdio>
#include <cstring>
#include <string>

#include "ekcore.h"

namespace {

void printUsage()
{
    std::fputs("usage: kovracomp -run FILE [-comm] [-nowarn] [-verbose] [-debug]\n"
               "  -run FILE  simulate the device file FILE (.kovra)\n"
               "  -comm      write report lines to the exchange file simulcomm.txt\n"
               "  -nowarn    suppress the warnings that may be suppressed\n"
               "  -verbose   print the engine's information lines\n"
               "  -debug     print debug lines and write the diagnostic files\n",
               stderr);
}

// Command-line text is UTF-8; the engine takes wide text. Bytes that do not
// form UTF-8 become U+FFFD.
std::wstring fromUtf8(const char* text)
{
    std::wstring out;
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    while (*s != 0) {
        unsigned int c = *s;
        int extra = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : -1;
        if (extra < 0) {
            out += L'\uFFFD';
            ++s;
            continue;
        }
        c &= extra == 0 ? 0x7F : (0x3F >> extra);
        int i = 1;
        for (; i <= extra && (s[i] & 0xC0) == 0x80; ++i) {
            c = (c << 6) | (s[i] & 0x3F);
        }
        if (i <= extra) {
            out += L'\uFFFD';
            s += i;
            continue;
        }
        out += static_cast<wchar_t>(c);
        s += extra + 1;
    }
    return out;
}

std::string toUtf8(const wchar_t* text)
{
    std::string out;
    for (; *text != 0; ++text) {
        const auto c = static_cast<unsigned int>(*text);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | ((c >> 18) & 0x07));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    // The driver usually runs behind a pipe: every line must leave at once.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    const char* file = nullptr;
    bool comm = false, nowarn = false, verbose = false, debug = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-run") == 0 && i + 1 < argc && file == nullptr) {
            file = argv[++i];
        } else if (std::strcmp(argv[i], "-comm") == 0) {
            comm = true;
        } else if (std::strcmp(argv[i], "-nowarn") == 0) {
            nowarn = true;
        } else if (std::strcmp(argv[i], "-verbose") == 0) {
            verbose = true;
        } else if (std::strcmp(argv[i], "-debug") == 0) {
            debug = true;
        } else {
            printUsage();
            return 2;
        }
    }
    if (file == nullptr || file[0] == '\0') {
        printUsage();
        return 2;
    }

    static wchar_t names[5][EK_FILENAME_SIZE];
    bool plot = false;
    const std::wstring input = fromUtf8(file);
    const bool ok = ek_simulate(input.c_str(), debug, comm, verbose, &plot, nowarn, names[0],
                                names[1], names[2], names[3], names[4], nullptr);
    for (const wchar_t* name : names) {
        if (name[0] != 0) {
            std::printf("[RESULT]  %s\n", toUtf8(name).c_str());
        }
    }
    std::fflush(stdout);
    return ok ? 0 : 1;
}
