// nuSigma: the status channel of one simulation run. Every engine object
// points to the one channel of its run; a level-1 line raises the error flag
// and every engine operation returns at once while the flag is set.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// A user variable of a device (name and value text).
struct _variable_w_t {
    int reserved;        // not used by the engine
    int defined;         // 1 once a value is stored
    int isText;          // 1 when the value text starts with a double quote
    wchar_t name[64];    // 63 used
    wchar_t value[256];  // 255 used
};

// The tag that opens every error line of the engine. Macros so that the
// texts serve as narrow literals too: the paths that print the memory line
// when nothing more can be allocated write it with fputs.
#define NU_ERROR_TAG "[ERROR]   "
// The line of a run short of memory, written once per run.
#define NU_NO_MEMORY_LINE NU_ERROR_TAG "insufficient memory for simulation\n"

class nuSigma {
public:
    // Output type: the high nibble 0x10 means verbose console output,
    // bit 0 appends every line to the log file as well.
    static constexpr uint8_t OUTPUT_VERBOSE = 0x10;
    static constexpr uint8_t OUTPUT_LOGFILE = 0x01;
    // What a run asked to be verbose writes: both.
    static constexpr uint8_t OUTPUT_VERBOSE_LOG = OUTPUT_VERBOSE | OUTPUT_LOGFILE;

    static constexpr std::wstring_view ERROR_TAG = L"" NU_ERROR_TAG;
    static constexpr const wchar_t* NO_MEMORY_LINE = L"" NU_NO_MEMORY_LINE;

    static constexpr size_t MESSAGE_SIZE = 1024;
    static constexpr size_t PATH_SIZE = 1024;

    // Fields the engine reads and writes directly, in this order.
    int status = -1;                     // status code, -1 none
    int err = 0;                         // error flag: nonzero stops every operation
    wchar_t message[MESSAGE_SIZE] = {};  // last line given to update()
    wchar_t caption[64] = {};            // cleared together with the message
    uint8_t outputType = 0;
    wchar_t logFilename[PATH_SIZE] = {};       // log file ("simulog.txt"), empty: none
    wchar_t commFilename[PATH_SIZE] = {};      // exchange file ("simulcomm.txt"), empty: none
    bool comm = false;                         // report lines on
    bool debug = false;                        // debug lines on
    bool nowarn = false;                       // some warnings suppressed
    int version = 0;                           // the run entry stores 108 here
    const wchar_t* summaryFilename = nullptr;  // appended summary lines, may be null
    bool saveFull = false;                     // write a distribution file per point
    // Set once a file of the run (a result, an input copy, the log) could
    // not be written whole; never cleared with the error flag, since the
    // engine clears that between steps and the run must still fail.
    bool outputLost = false;
    // Allocations of the run that failed; never cleared with the error
    // flag either: what a run short of memory does next (a solve that
    // cannot finish, a retry) must not be reported as the cause.
    int failedAllocations = 0;

    nuSigma();
    ~nuSigma();
    nuSigma(const nuSigma&) = delete;
    nuSigma& operator=(const nuSigma&) = delete;

    // One log line: level 0 information, 1 error (raises the error flag),
    // 2 warning. Printed to standard output as UTF-8 and, with bit 0 of the
    // output type, appended to the log file. The text is kept in message.
    void update(const wchar_t* text, int level = 0, const wchar_t* caption = nullptr);
    // The one form of the engine's error lines: "[ERROR]   " + what and a
    // line end, at level 1 (the error flag goes up); caption as update's.
    void error(const std::wstring& what, const wchar_t* caption = nullptr);

    // Appends one report line to the exchange file; false when there is no
    // exchange file or it cannot be written (said once, as a warning).
    bool writeComm(const wchar_t* line);

    // True once the exchange file holds a line "Stop" or the process asked
    // for a stop (nu_requestStop); stays true. The file is read at most
    // every few tens of milliseconds, and only a bounded window of it; an
    // exchange file that is not a regular file is reported once and ignored.
    bool stopIt();

    bool isOK() const { return err == 0; }
    bool isOutOfMemory() const { return failedAllocations > 0; }
    // Counts a failed allocation and reports it (see reportIfOutOfMemory).
    void reportNoMemory();
    // After a failed allocation: raises the error flag with the line
    // "insufficient memory for simulation", printed once per run, and
    // returns true. Without one, false and nothing happens.
    bool reportIfOutOfMemory();
    bool isNoWarn() const { return nowarn; }
    bool isVerbose() const { return (outputType & 0xF0) == OUTPUT_VERBOSE; }
    void setOutputType(uint8_t type) { outputType = type; }
    void setSaveFull(bool on) { saveFull = on; }

    // Clears status, error flag, message and caption (by element count).
    void reset();

    // Tracked blocks: null on failure or on a size that overflows (never an
    // exception); a count of 0 still gives a block. The free twins take the
    // pointer's address and clear it; they accept a null block.
    double* mallocDbl(size_t n, bool zero = true);
    void freeDbl(double** block);
    uint8_t* mallocBt(size_t n, bool zero = true);
    void freeBt(uint8_t** block);
    // rows x columns, row pointers into one contiguous block (null for no
    // rows or no columns).
    double** mallocMat(size_t rows, size_t columns, bool zero = true);
    void freeMat(double*** block);
    wchar_t* mallocStr(size_t n);  // n characters and a terminator, zero-filled
    void freeStr(wchar_t** block);
    char* mallocStrA(size_t n);
    void freeStrA(char** block);
    _variable_w_t* mallocVar(bool zero = true);  // one record
    void freeVar(_variable_w_t** block);

    // Bytes currently held by the tracked blocks of this channel.
    size_t allocatedBytes() const { return allocated; }

private:
    // False when the line could not be appended whole.
    bool appendLine(const wchar_t* path, const wchar_t* line);
    void* trackedAlloc(size_t count, size_t elementSize, size_t extraBytes, bool zero);
    void trackedFree(void* block);

    size_t allocated = 0;
    bool memoryReported = false;  // the run has said it is short of memory
    bool stopSeen = false;
    double lastStopCheckMs = -1.0e300;
    long long stopScanOffset = 0;  // bytes of the exchange file already read
    std::wstring stopScanFile;     // the exchange file that offset belongs to
    bool skippingLine = false;     // inside a line too long to be a stop request
    bool refusedFile = false;      // a non-regular exchange file was reported
    bool logLost = false;          // the log file failed; said once
    bool commLost = false;         // the exchange file failed; said once
};

// A stop asked by the process itself (a signal handler of the driver):
// every channel's stopIt() reports it from then on. Safe to call from a
// signal handler.
void nu_requestStop();
bool nu_stopRequested();
// Forgets the request (a driver that runs several devices in turn).
void nu_clearStopRequest();
