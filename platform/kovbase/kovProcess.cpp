// Programs started without a shell, in their own process group, with their
// exit status kept per process id.
#include "kovProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>

extern char** environ;

namespace {

// Children started here: running (absent from ended) or ended with status.
std::mutex tableLock;
std::map<int, bool> started;
std::map<int, int> ended;

int statusOf(int waitStatus)
{
    if (WIFEXITED(waitStatus)) {
        return WEXITSTATUS(waitStatus);
    }
    if (WIFSIGNALED(waitStatus)) {
        return 128 + WTERMSIG(waitStatus);
    }
    return 0;
}

// Collects the child when it has ended; true when it has (status kept).
bool collect(int pid, bool block)
{
    if (ended.count(pid)) {
        return true;
    }
    int waitStatus = 0;
    pid_t r;
    do {
        r = waitpid(pid, &waitStatus, block ? 0 : WNOHANG);
    } while (r < 0 && errno == EINTR);
    if (r == pid) {
        ended[pid] = statusOf(waitStatus);
        return true;
    }
    if (r < 0 && errno == ECHILD) {
        ended[pid] = 0;  // collected elsewhere; nothing left to signal
        return true;
    }
    return false;
}

void sleepMs(int ms)
{
    timespec t{ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&t, nullptr);
}

}  // namespace

bool kov_splitCommandLine(const char* commandLine, std::vector<std::string>* arguments)
{
    arguments->clear();
    if (commandLine == nullptr) {
        return true;
    }
    std::string word;
    bool inWord = false, quoted = false;
    for (const char* p = commandLine; *p; ++p) {
        const char c = *p;
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (!quoted && (c == ' ' || c == '\t' || c == '\n' || c == '\r')) {
            if (inWord) {
                arguments->push_back(word);
            }
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (quoted) {
        arguments->clear();
        return false;
    }
    if (inWord) {
        arguments->push_back(word);
    }
    return true;
}

int kov_startProcess(const char* folder, const char* commandLine, int* pid, int* output)
{
    std::vector<std::string> words;
    if (!kov_splitCommandLine(commandLine, &words)) {
        if (pid != nullptr) {
            *pid = -1;
        }
        if (output != nullptr) {
            *output = -1;
        }
        return 0;
    }
    return kov_startProcessArgs(folder, words, pid, output);
}

int kov_startProcessArgs(const char* folder, const std::vector<std::string>& arguments, int* pid,
                         int* output)
{
    if (pid != nullptr) {
        *pid = -1;
    }
    if (output != nullptr) {
        *output = -1;
    }
    std::vector<std::string> words = arguments;
    if (words.empty() || pid == nullptr) {
        return 0;
    }
    std::vector<char*> argv;
    for (std::string& w : words) {
        argv.push_back(w.data());
    }
    argv.push_back(nullptr);

    int pipeEnds[2] = {-1, -1};
    if (output != nullptr && pipe2(pipeEnds, O_CLOEXEC) != 0) {
        return 0;
    }
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (output != nullptr) {
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 2);
    }
    if (folder != nullptr && *folder != '\0') {
        posix_spawn_file_actions_addchdir_np(&actions, folder);
    }
    // Own process group (so that stopping it reaches its children too),
    // default signal handling and an empty signal mask.
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    sigaddset(&defaults, SIGCHLD);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(
        &attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t child = -1;
    const int rc = posix_spawnp(&child, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (output != nullptr) {
        close(pipeEnds[1]);
    }
    if (rc != 0) {
        if (output != nullptr) {
            close(pipeEnds[0]);
        }
        return 0;
    }
    {
        std::lock_guard<std::mutex> lock(tableLock);
        started[child] = true;
        ended.erase(child);
    }
    if (output != nullptr) {
        fcntl(pipeEnds[0], F_SETFL, fcntl(pipeEnds[0], F_GETFL) | O_NONBLOCK);
        *output = pipeEnds[0];
    }
    *pid = child;
    return 1;
}

int kov_spawnProcess(const char* workingFolder, int flags, const char* commandLine, int* pid,
                     void* reserved, int reserved2)
{
    int ignored = -1;
    return kov_startProcess(workingFolder, commandLine, pid != nullptr ? pid : &ignored, nullptr);
}

int kov_processRunning(int pid, int* exitStatus)
{
    if (exitStatus != nullptr) {
        *exitStatus = 0;
    }
    if (pid <= 0) {
        return 0;
    }
    std::lock_guard<std::mutex> lock(tableLock);
    if (started.count(pid) == 0) {
        return kill(pid, 0) == 0 || errno == EPERM ? 1 : 0;
    }
    if (!collect(pid, false)) {
        return 1;
    }
    if (exitStatus != nullptr) {
        *exitStatus = ended[pid];
    }
    return 0;
}

int kov_processCollectEnded()
{
    std::lock_guard<std::mutex> lock(tableLock);
    int running = 0;
    for (const auto& child : started) {
        if (!collect(child.first, false)) {
            ++running;
        }
    }
    return running;
}

int kov_processKill(int pid, int graceMs)
{
    if (pid <= 0) {
        return 0;
    }
    std::lock_guard<std::mutex> lock(tableLock);
    if (started.count(pid) == 0) {
        return 0;
    }
    if (collect(pid, false)) {
        return 1;  // already collected: its id may belong to another process now
    }
    // Not collected yet, so the id (and its group) is still ours: ask the
    // group to end, wait for the leader to exit (without collecting it),
    // then kill what is left of the group and collect the leader.
    kill(-pid, SIGTERM);
    for (int waited = 0; waited < graceMs; waited += 10) {
        siginfo_t info{};
        if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
            info.si_pid == pid) {
            break;
        }
        sleepMs(10);
    }
    kill(-pid, SIGKILL);
    collect(pid, true);
    return 1;
}
