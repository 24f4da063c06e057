// A program started by the editor: the simulator driver, whose standard
// output and error come back on one pipe, or the plot tool, which runs on
// its own. Started from an argument vector (no command line to quote or
// cut) through the common library's process calls, in its own process
// group so that ending it ends whatever it started too; it is signalled
// only while it has not been collected, so a process id reused by another
// program is never hit.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

class DriverProcess {
public:
    enum class Read { BYTE, NOTHING, CLOSED };

    ~DriverProcess();
    DriverProcess(const DriverProcess&) = delete;
    DriverProcess& operator=(const DriverProcess&) = delete;

    // Starts argv[0] with the arguments in folder (the current folder when
    // empty). withPipe: standard output and error come back through
    // readByte; without, they go to /dev/null and the process is left
    // running when this object goes (the plot tool outlives the editor's
    // interest in it). Null with error set when it could not be started.
    static std::unique_ptr<DriverProcess> start(const std::vector<std::string>& argv,
                                                const std::string& folder, bool withPipe,
                                                std::string& error);

    // One byte of the output without waiting: Nothing when none is there
    // yet, Closed once every writer has closed the pipe.
    Read readByte(char& byte);
    // True while the process runs; collects it when it has ended.
    bool running();
    // The exit status once it has ended (128 + signal number when a signal
    // ended it); 0 before.
    int exitStatus() const { return endStatus; }
    pid_t pid() const { return processId; }
    // Ends the process and its group (asked first, forced after graceMs)
    // and collects it; nothing when it has ended already.
    void kill(int graceMs = 200);

private:
    DriverProcess() = default;

    pid_t processId = -1;
    int pipeEnd = -1;  // the read end of the output pipe; -1 without one
    bool killOnClose = true;
    int endStatus = 0;  // what exitStatus() reports
    char buffer[65536];
    size_t bufferUsed = 0;
    size_t bufferRead = 0;
};
