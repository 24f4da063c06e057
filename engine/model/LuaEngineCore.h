// LuaEngineCore: the one Lua state of a device. It runs plain chunks (search
// paths) and calls the global model functions of user scripts (kov_mobility,
// kov_bandgap, ..., kov_index) with numbers in and numbers out, turning Lua
// error texts into engine messages that carry the script line.
#pragma once

#include <cstddef>
#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct lua_State;
class nuSigma;
class nuParam;

// Error raised by the engine itself and by native functions that want their
// text to reach the script as a Lua error (see wrapCFunction).
class luaexception : public std::exception {
public:
    explicit luaexception(const char* message);
    explicit luaexception(std::string message);
    ~luaexception() override;
    const char* what() const noexcept override;

private:
    std::string text;
};

class LuaEngineCore {
public:
    static constexpr size_t MESSAGE_SIZE = 1024;
    static constexpr int MAX_INPUTS = 4;
    static constexpr int MAX_OUTPUTS = 8;
    // Registry key under which the state keeps a pointer to its engine.
    static constexpr const char* REGISTRY_KEY = "___LuaEngine___";

    // Fields as the rest of the engine reads them (see the accessors).
    lua_State* L = nullptr;
    nuSigma* sigma = nullptr;  // the engine's own channel
    nuParam* param = nullptr;  // the engine's own settings
    bool loaded = true;        // cleared by every failure
    wchar_t message[MESSAGE_SIZE] = {};
    char messageA[MESSAGE_SIZE] = {};
    int errorLine = -1;  // 0-based line of the last error

    // The state is made by init(), which the owning device calls.
    LuaEngineCore();
    ~LuaEngineCore();
    LuaEngineCore(const LuaEngineCore&) = delete;
    LuaEngineCore& operator=(const LuaEngineCore&) = delete;

    // A device file from someone else is code: model scripts run in a
    // restricted state. It holds the base functions without any loading of
    // files, bytecode or C code, plus the math, string, table and bit
    // libraries; no os, io, ffi, debug, jit or package library. require
    // loads Lua text only, from the folders added by addPackagePath.
    // Every entry (run, call) is bounded: at most INSTRUCTION_BUDGET
    // virtual-machine instructions (the compiler is off, so the count holds
    // for every line), at most MEMORY_CEILING bytes for the whole state, and
    // the stop test is asked while the script runs.
    static constexpr long long INSTRUCTION_BUDGET = 200000000LL;
    static constexpr size_t MEMORY_CEILING = 256u * 1024u * 1024u;
    static constexpr int HOOK_EVERY = 1000;  // instructions between two budget checks

    // (Re)creates the state: registry entry, C-function wrapper, the
    // restricted libraries, the bounds and the math aliases. False when the
    // state could not be made or the prelude failed.
    bool init();

    // Asked while a script runs; true ends the script with a stop message.
    void setStopTest(std::function<bool()> test) { stopTest = std::move(test); }

    // Runs a plain Lua chunk; on failure the message (with its script line
    // when one is found) is kept, printed and false returned.
    bool run(const char* chunk);

    // Puts folder in front of the folders require searches for
    // "<name>.lua", so model scripts can require modules lying beside the
    // device file. The list lives outside the state: a script cannot point
    // require anywhere else. Folders holding ';' or '?' are refused.
    bool addPackagePath(const char* folder);
    const std::vector<std::string>& moduleFolders() const { return luaModuleFolders; }

    // Runs the model script, then calls its global `function` with the
    // non-null inputs (in order) and fills the non-null result slots (in
    // order; at least two, the last being the graded indicator). *status
    // receives the script's own verdict (a trailing boolean), 1 otherwise.
    // The script is compiled once and the compiled chunk rerun for every
    // call, so the script's globals are fresh each time.
    bool call(const char* script, const char* function, const double* in1, const double* in2,
              const double* in3, const double* in4, double* out1, double* out2, double* out3,
              double* out4, double* out5, double* out6, double* out7, double* out8, int* status);
    bool call(const char* script, const char* function, const double* const (&in)[MAX_INPUTS],
              double* const (&out)[MAX_OUTPUTS], int* status);

    // Text of the value on top of the stack; the text is pushed on the stack
    // (so it stays valid until popped) and returned; null when there is no
    // state or no value.
    const char* toString();

    // Finds the script line in a Lua error text. out receives the message
    // "[ERROR]   at line %d: ..." (1-based) when a line is found, else the
    // text itself (or a part of it). Returns the 0-based line, -1 when none,
    // 0 for a null text.
    static int parseErrorLine(const char* text, std::string& out);

    // Every C function that Lua calls runs through this wrapper: C++
    // exceptions (a C string, luaexception, any std::exception) become Lua
    // errors instead of tearing through the interpreter.
    static int wrapCFunction(lua_State* L, int (*f)(lua_State*));

    // Reads a script file once per state (one run) and keeps its text;
    // later calls give the kept text, also when the file changed since. Null on failure, with
    // *error set to 1 (cannot open), 2 (no memory) or 3 (cannot read).
    const std::string* scriptText(const wchar_t* path, int* error);

    // The engine that owns a state (through the registry entry), or null.
    static LuaEngineCore* fromState(lua_State* L);

    lua_State* getState() const { return L; }
    bool isLoaded() const { return loaded; }
    const wchar_t* getMessage() const { return message; }
    const char* getMessageA() const { return messageA; }
    int getErrorLine() const { return errorLine; }
    nuSigma* getSigma() const { return sigma; }
    nuParam* getParam() const { return param; }

private:
    void closeState();
    void setMessage(const char* text);     // narrow, both fields, loaded = false
    void setMessage(const wchar_t* text);  // wide, both fields, loaded = false
    void setErrorFromTop(const char* fallback);
    bool pushCompiledScript(const char* script, size_t length);
    void clearScriptCache();
    bool runPrelude();
    bool openRestrictedLibraries();
    void startBudget();
    bool boundFailure(std::string& text) const;
    static void* allocate(void* self, void* block, size_t oldSize, size_t newSize);
    static void countHook(lua_State* L, struct lua_Debug* ar);
    static int requireModule(lua_State* L);
    static int boundedPcall(lua_State* L);
    static int boundedXpcall(lua_State* L);
    std::vector<std::string> luaModuleFolders;

    // Looks script texts up without copying them.
    struct TextHash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const
        {
            return std::hash<std::string_view>{}(text);
        }
    };
    // Compiled chunks, keyed by script text, kept as registry references.
    std::unordered_map<std::string, int, TextHash, std::equal_to<>> compiled;
    // Script files already read during this state's life.
    std::unordered_map<std::wstring, std::string> files;

    // Bounds of the running entry (see INSTRUCTION_BUDGET).
    enum class Bound { None, Instructions, Memory, Stop };
    std::function<bool()> stopTest;
    size_t allocatedBytes = 0;
    long long budgetLeft = 0;
    Bound exceeded = Bound::None;
};
