#include "EditorLaunch.h"

#include <chrono>
#include <memory>
#include <vector>

#include "ChildReaper.h"
#include "DriverProcess.h"
#include "FileNames.h"
#include "PollTimer.h"
#include "iup.h"
#include "kovragui.h"
#include "kovraHandles.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Watched {
    std::unique_ptr<DriverProcess> process;
    std::string file;
    Clock::time_point started;
};

std::vector<Watched> watched;

void reportFailure(const Watched& w)
{
    const std::string what = w.file.empty()
                                 ? "KovraEdit could not start a text editor"
                                 : "KovraEdit could not open '" + FileNames_fileName(w.file) +
                                       "': no text editor could be started";
    const std::string text = what + " (exit status " + std::to_string(w.process->exitStatus()) +
                             "); set VISUAL or EDITOR to one";
    kovraShowInfo(text.c_str(), 0, 1);
}

int onTick(Ihandle* timer)
{
    const Clock::time_point now = Clock::now();
    std::erase_if(watched, [&](Watched& w) {
        if (!w.process->running()) {
            if (w.process->exitStatus() != 0) {
                reportFailure(w);
            }
            return true;
        }
        // Still running after the watch: the text editor is up. It is
        // left to run (a process started without a pipe is not ended when
        // its object goes) and collected when it ends.
        if (now - w.started > std::chrono::milliseconds(EDITOR_LAUNCH_WATCH_MS)) {
            ChildReaper_watch();
            return true;
        }
        return false;
    });
    if (watched.empty()) {
        IupSetAttribute(timer, "RUN", "NO");
    }
    return IUP_DEFAULT;
}

void watch() { PollTimer_run(KOV_EditorLaunch, onTick, EDITOR_LAUNCH_POLL_MS); }

}  // namespace

bool EditorLaunch_open(const std::string& program, const std::string& file)
{
    std::string error;
    std::vector<std::string> argv = {program};
    if (!file.empty()) {
        argv.push_back(file);
    }
    auto process = DriverProcess::start(argv, "", false, error);
    if (!process) {
        kovraShowInfo(("Cannot start KovraEdit: " + error).c_str(), 0, 1);
        return false;
    }
    watched.push_back({std::move(process), file, Clock::now()});
    watch();
    return true;
}

bool EditorLaunch_watching() { return !watched.empty(); }
