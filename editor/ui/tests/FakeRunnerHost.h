// A runner host for tests: a document on disk, a console that records each
// message with its style, a scripted answer to questions, and a poll timer
// that the test drives (runTimer) in place of the window's event loop.
#pragma once

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "OutputText.h"
#include "SimulationRunner.h"
#include "waitUntil.h"

struct FakeRunnerHost : RunnerHost {
    struct Message {
        std::string text;
        int style;
    };

    std::string path;  // the document's file, "" for none
    std::string savedText = "# Kovra <SL>\n";
    std::string saveAsPath;  // the name the file chooser gives, "" to decline
    bool modified = false;
    bool changedOnDisk = false;
    bool plotAfter = true;
    int answer = 3;
    int saves = 0;
    int questions = 0;
    int flushes = 0;
    bool timerOn = false;
    int timerMs = 0;
    std::vector<int> timerIntervals;  // every interval asked for, in order
    int ticks = 0;
    int programsStarted = 0;  // plot tools started
    size_t largestBatch = 0;  // most messages shown between two flushes
    std::string console;
    std::vector<Message> messages;
    std::vector<std::pair<std::string, int>> statuses;
    std::function<void()> onFlush;  // what the user does while the window runs

    std::string documentPath() override { return path; }
    bool documentModified() override { return modified; }
    bool documentChangedOnDisk() override { return changedOnDisk; }
    bool saveDocument(bool chooseName) override
    {
        if (chooseName) {
            if (saveAsPath.empty()) {
                return false;
            }
            path = saveAsPath;
        }
        std::ofstream(path) << savedText;
        ++saves;
        modified = false;
        changedOnDisk = false;
        return true;
    }
    bool plotAfterRun() override { return plotAfter; }

    bool consoleExists() override { return true; }
    int printColored(const std::string& text) override
    {
        const int style = OutputText_styleOf(text);
        console += text;
        messages.push_back({text, style});
        return style;
    }
    void print(const std::string& text) override
    {
        console += text;
        messages.push_back({text, OutputStylePlain});
    }
    void clearConsole() override
    {
        console.clear();
        messages.clear();
        messagesAtFlush = 0;
    }
    bool consoleEmpty() override { return console.empty(); }
    bool consoleEndsWithLf() override { return !console.empty() && console.back() == '\n'; }

    void flush() override
    {
        ++flushes;
        if (messages.size() >= messagesAtFlush) {
            largestBatch = std::max(largestBatch, messages.size() - messagesAtFlush);
        }
        messagesAtFlush = messages.size();
        if (onFlush) {
            onFlush();
        }
    }
    void showStatus(const std::string& text, int kind) override
    {
        statuses.push_back({text, kind});
    }
    int ask(const std::string&) override
    {
        ++questions;
        return answer;
    }
    void updateRunButtons() override {}
    bool startTimer(int ms) override
    {
        timerOn = true;
        timerMs = ms;
        timerIntervals.push_back(ms);
        return true;
    }
    void stopTimer() override { timerOn = false; }
    void programStarted() override { ++programsStarted; }

    // Ticks the timer (faster than the window would) until it stops or the
    // time is up; true when it stopped.
    bool runTimer(SimulationRunner& runner,
                  std::chrono::milliseconds limit = std::chrono::seconds(30))
    {
        return waitUntil(
            [&] {
                if (timerOn) {
                    ++ticks;
                    timerOn = runner.onTimer() && timerOn;
                }
                return !timerOn;
            },
            limit, std::chrono::milliseconds(20));
    }

    bool hasStatus(const std::string& text) const
    {
        for (const auto& s : statuses) {
            if (s.first == text) {
                return true;
            }
        }
        return false;
    }
    bool askedForInterval(int ms) const
    {
        return std::find(timerIntervals.begin(), timerIntervals.end(), ms) != timerIntervals.end();
    }
    std::vector<std::string> shown() const
    {
        std::vector<std::string> out;
        for (const Message& m : messages) {
            out.push_back(m.text);
        }
        return out;
    }

private:
    size_t messagesAtFlush = 0;
};
