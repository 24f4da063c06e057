#include "LuaEngineCore.h"

#include <lua.hpp>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "kovbase.h"
#include "nucore.h"

// ---- luaexception -------------------------------------------------------

luaexception::luaexception(const char* message) : text(message ? message : "") {}
luaexception::luaexception(std::string message) : text(std::move(message)) {}
luaexception::~luaexception() = default;
const char* luaexception::what() const noexcept { return text.c_str(); }

// ---- helpers --------------------------------------------------------------

namespace {

constexpr const char* CHUNK_NAME = "=script";
// Distinct script texts kept compiled; a run uses a handful, so reaching the
// bound means scripts are generated on the fly and the cache is restarted.
constexpr size_t MAX_COMPILED = 256;

const char* const BANNER =
    "-- Kovra model-script prelude: short global names for the math library.\n"
    "-- A script may define its own function of the same name; the prelude\n"
    "-- then leaves it alone.\n";

enum class AliasKind { Value, Unary, Binary, BinarySwapped, Variadic };

struct MathAlias {
    const char* name;
    AliasKind kind;
};

const MathAlias MATH_ALIASES[] = {
    {"abs", AliasKind::Unary},
    {"acos", AliasKind::Unary},
    {"asin", AliasKind::Unary},
    {"atan", AliasKind::Unary},
    {"atan2", AliasKind::BinarySwapped},
    {"ceil", AliasKind::Unary},
    {"cos", AliasKind::Unary},
    {"cosh", AliasKind::Unary},
    {"deg", AliasKind::Unary},
    {"exp", AliasKind::Unary},
    {"floor", AliasKind::Unary},
    {"fmod", AliasKind::Binary},
    {"frexp", AliasKind::Unary},
    {"huge", AliasKind::Value},
    {"ldexp", AliasKind::Binary},
    {"log", AliasKind::Unary},
    {"log10", AliasKind::Unary},
    {"max", AliasKind::Variadic},
    {"min", AliasKind::Variadic},
    {"modf", AliasKind::Unary},
    {"pi", AliasKind::Value},
    {"pow", AliasKind::Binary},
    {"rad", AliasKind::Unary},
    {"random", AliasKind::Variadic},
    {"randomseed", AliasKind::Unary},
    {"sin", AliasKind::Unary},
    {"sinh", AliasKind::Unary},
    {"sqrt", AliasKind::Unary},
    {"tan", AliasKind::Unary},
    {"tanh", AliasKind::Unary},
};

std::string buildPrelude()
{
    std::string text = BANNER;
    for (const MathAlias& a : MATH_ALIASES) {
        const std::string n = a.name;
        text += "if " + n + " == nil then " + n + " = ";
        switch (a.kind) {
        case AliasKind::Value: text += "math." + n; break;
        case AliasKind::Unary: text += "function(x) return math." + n + "(x) end"; break;
        case AliasKind::Binary: text += "function(x, y) return math." + n + "(x, y) end"; break;
        case AliasKind::BinarySwapped:
            text += "function(y, x) return math." + n + "(y, x) end";
            break;
        case AliasKind::Variadic: text += "function(...) return math." + n + "(...) end"; break;
        }
        text += " end\n";
    }
    return text;
}

// A Lua error text is one line for the console: cut at the first newline,
// dropping a ':' right before it.
std::string firstLine(const std::string& text)
{
    size_t nl = text.find('\n');
    if (nl == std::string::npos) {
        return text;
    }
    if (nl > 0 && text[nl - 1] == ':') {
        --nl;
    }
    return text.substr(0, nl);
}

// The text after position pos, or empty when pos lies beyond its end.
std::string tail(const std::string& text, size_t pos)
{
    return pos < text.size() ? text.substr(pos) : std::string();
}

// Reads a line number written between two delimiters; 0 when it is not one.
int readLineNumber(const std::string& digits)
{
    char* end = nullptr;
    const double v = kov_strtod(digits.c_str(), &end);
    if (end == digits.c_str() || !std::isfinite(v) || v < 1.0 || v > 1.0e8) {
        return 0;
    }
    return static_cast<int>(v);
}

std::string lineMessage(int line, const std::string& rest)
{
    char head[48];
    std::snprintf(head, sizeof head, NU_ERROR_TAG "at line %d: ", line);
    std::string out = head + rest;
    if (out.size() > 255) {
        // Cut before a character, never inside a UTF-8 sequence.
        size_t cut = 255;
        while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        out.resize(cut);
    }
    return out;
}

// Fetching a global may run an __index metamethod of the globals table
// (a "strict" module, say); outside a protected call its error would end the
// process. Pushes the global (or the error) and tells which.
int getGlobalProtected(lua_State* L)
{
    lua_getfield(L, LUA_GLOBALSINDEX, lua_tostring(L, 1));
    return 1;
}

bool pushGlobal(lua_State* L, const char* name)
{
    lua_pushcfunction(L, getGlobalProtected);
    lua_pushstring(L, name);
    return lua_pcall(L, 1, 1, 0) == 0;
}

// Restores the stack top however the enclosing block is left.
class StackGuard {
public:
    explicit StackGuard(lua_State* L) : state(L), savedTop(L ? lua_gettop(L) : 0) {}
    ~StackGuard()
    {
        if (state) {
            lua_settop(state, savedTop);
        }
    }
    StackGuard(const StackGuard&) = delete;
    StackGuard& operator=(const StackGuard&) = delete;

private:
    lua_State* state;
    int savedTop;
};

}  // namespace

// ---- life -----------------------------------------------------------------

LuaEngineCore::LuaEngineCore() = default;

LuaEngineCore::~LuaEngineCore() { closeState(); }

void LuaEngineCore::closeState()
{
    compiled.clear();
    files.clear();
    if (L) {
        lua_close(L);
        L = nullptr;
    }
    delete sigma;
    sigma = nullptr;
    delete param;
    param = nullptr;
}

LuaEngineCore* LuaEngineCore::fromState(lua_State* L)
{
    if (!L) {
        return nullptr;
    }
    lua_getfield(L, LUA_REGISTRYINDEX, REGISTRY_KEY);
    void* p = lua_islightuserdata(L, -1) ? lua_touserdata(L, -1) : nullptr;
    lua_pop(L, 1);
    return static_cast<LuaEngineCore*>(p);
}

bool LuaEngineCore::init()
{
    closeState();
    sigma = new (std::nothrow) nuSigma();
    param = new (std::nothrow) nuParam();

    allocatedBytes = 0;
    exceeded = Bound::None;
    luaModuleFolders.clear();
    // Our allocator keeps the state under its memory ceiling.
    L = lua_newstate(&LuaEngineCore::allocate, this);
    if (!L) {
        setMessage(L"Cannot initialize scripting engine: insufficient memory");
        kov_wprintf(L"\n%ls\n", message);
        return false;
    }

    lua_pushstring(L, REGISTRY_KEY);
    lua_pushlightuserdata(L, this);
    lua_settable(L, LUA_REGISTRYINDEX);

    lua_pushlightuserdata(L, reinterpret_cast<void*>(&LuaEngineCore::wrapCFunction));
    luaJIT_setmode(L, -1, LUAJIT_MODE_WRAPCFUNC | LUAJIT_MODE_ON);
    lua_pop(L, 1);
    // Compiled traces never run the count hook: an endless loop would never
    // reach the instruction budget. Model scripts are short; interpreted
    // they are fast enough.
    luaJIT_setmode(L, 0, LUAJIT_MODE_ENGINE | LUAJIT_MODE_OFF);
    lua_sethook(L, &LuaEngineCore::countHook, LUA_MASKCOUNT, HOOK_EVERY);

    lua_gc(L, LUA_GCSTOP, 0);
    const bool opened = openRestrictedLibraries();
    lua_gc(L, LUA_GCRESTART, 0);
    if (!opened) {
        setMessage(L"Cannot initialize scripting engine: insufficient memory");
        kov_wprintf(L"\n%ls\n", message);
        return false;
    }
    return runPrelude();
}

bool LuaEngineCore::runPrelude()
{
    StackGuard guard(L);
    startBudget();
    std::string prelude;
    try {
        prelude = buildPrelude();
    } catch (const std::bad_alloc&) {
        return true;  // the state stays usable without the short names
    }
    if (luaL_loadbuffer(L, prelude.data(), prelude.size(), "=prelude") == 0 &&
        lua_pcall(L, 0, LUA_MULTRET, 0) == 0) {
        return true;
    }
    const char* text = toString();
    setMessage(text ? text : "");
    kov_wprintf(L"\n%ls\n", message);
    lua_gc(L, LUA_GCCOLLECT, 0);
    return false;
}

// ---- messages -------------------------------------------------------------

void LuaEngineCore::setMessage(const char* text)
{
    kov_copyA(messageA, MESSAGE_SIZE, text);
    kov_utf8ToWide(message, MESSAGE_SIZE, messageA);
    loaded = false;
}

void LuaEngineCore::setMessage(const wchar_t* text)
{
    kov_copyW(message, MESSAGE_SIZE, text);
    kov_wideToUtf8(messageA, MESSAGE_SIZE, message);
    loaded = false;
}

void LuaEngineCore::setErrorFromTop(const char* fallback)
{
    std::string bound;
    if (boundFailure(bound)) {
        errorLine = -1;
        setMessage(bound.c_str());
        return;
    }
    const char* text = toString();
    if (!text || !*text) {
        errorLine = -1;
        setMessage(fallback);
        return;
    }
    std::string out;
    errorLine = parseErrorLine(text, out);
    setMessage(out.c_str());
}

// ---- chunks ---------------------------------------------------------------

bool LuaEngineCore::run(const char* chunk)
{
    if (!L) {
        init();
    }
    if (!L) {
        setMessage(L"Cannot run script: insufficient memory");
        kov_wprintf(L"\n%ls\n", message);
        return false;
    }
    errorLine = -1;
    StackGuard guard(L);
    startBudget();
    std::string failure;
    try {
        const char* text = chunk ? chunk : "";
        if (luaL_loadbufferx(L, text, std::strlen(text), CHUNK_NAME, "t") == 0 &&
            lua_pcall(L, 0, LUA_MULTRET, 0) == 0) {
            return true;
        }
        const char* err = toString();
        throw luaexception(err && *err ? err : NU_ERROR_TAG "unrecoverable error");
    } catch (const std::exception& e) {
        std::string out;
        errorLine = parseErrorLine(e.what(), out);
        failure = firstLine(out);
    }
    if (boundFailure(failure)) {
        errorLine = -1;
    }
    if (failure.empty()) {
        failure = NU_ERROR_TAG "unrecoverable exception";
    }
    setMessage(failure.c_str());
    kov_wprintf(L"\n%ls\n", message);
    return false;
}

bool LuaEngineCore::addPackagePath(const char* folder)
{
    if (!folder || !*folder) {
        return false;
    }
    std::string dir = folder;
    // ';' and '?' mean something in Lua search paths; a folder holding
    // either is refused rather than given a second meaning.
    if (dir.find_first_of(";?") != std::string::npos) {
        setMessage((std::string(NU_ERROR_TAG "invalid Lua module folder: ") + dir).c_str());
        return false;
    }
    if (dir.back() != '/' && dir.back() != '\\') {
        dir += '/';
    }
    luaModuleFolders.insert(luaModuleFolders.begin(), dir);
    return true;
}

// ---- model calls ----------------------------------------------------------

void LuaEngineCore::clearScriptCache()
{
    if (L) {
        for (const auto& entry : compiled) {
            luaL_unref(L, LUA_REGISTRYINDEX, entry.second);
        }
    }
    compiled.clear();
}

bool LuaEngineCore::pushCompiledScript(const char* script, size_t length)
{
    const std::string_view key(script, length);
    auto found = compiled.find(key);
    if (found != compiled.end()) {
        lua_rawgeti(L, LUA_REGISTRYINDEX, found->second);
        return true;
    }
    // Text mode only: precompiled bytecode is not checked by the loader and
    // can bring the interpreter down.
    if (luaL_loadbufferx(L, script, length, CHUNK_NAME, "t") != 0) {
        return false;
    }
    if (compiled.size() >= MAX_COMPILED) {
        clearScriptCache();
    }
    lua_pushvalue(L, -1);
    const int ref = luaL_ref(L, LUA_REGISTRYINDEX);
    compiled.emplace(std::string(key), ref);
    return true;
}

bool LuaEngineCore::call(const char* script, const char* function, const double* in1,
                         const double* in2, const double* in3, const double* in4, double* out1,
                         double* out2, double* out3, double* out4, double* out5, double* out6,
                         double* out7, double* out8, int* status)
{
    const double* const in[MAX_INPUTS] = {in1, in2, in3, in4};
    double* const out[MAX_OUTPUTS] = {out1, out2, out3, out4, out5, out6, out7, out8};
    return call(script, function, in, out, status);
}

bool LuaEngineCore::call(const char* script, const char* function,
                         const double* const (&in)[MAX_INPUTS], double* const (&out)[MAX_OUTPUTS],
                         int* status)
{
    if (!status) {
        setMessage(L"invalid status argument");
        return false;
    }
    if (!L) {
        setMessage(L"Lua engine not loaded");
        return false;
    }
    errorLine = -1;
    // Called once per mesh point and model: whatever road the call takes,
    // the stack is left as it was found.
    StackGuard guard(L);
    startBudget();
    std::string failure;
    try {
        if (!script || !pushCompiledScript(script, std::strlen(script))) {
            setErrorFromTop("script not loaded");
            return false;
        }
        if (lua_pcall(L, 0, 0, 0) != 0) {
            setErrorFromTop("function not loaded");
            return false;
        }

        const int base = lua_gettop(L);
        if (!pushGlobal(L, function ? function : "") || !lua_isfunction(L, -1)) {
            setMessage(L"function not found");
            return false;
        }

        int argc = 0;
        for (const double* v : in) {
            if (!v) {
                continue;
            }
            lua_pushnumber(L, std::isfinite(*v) ? *v : 0.0);
            ++argc;
        }

        // Slots are taken in order; a caller leaving a gap simply has one
        // slot fewer, never a write through a null slot.
        double* slots[MAX_OUTPUTS];
        int m = 0;
        for (double* p : out) {
            if (p) {
                slots[m++] = p;
            }
        }
        if (m < 2) {
            setMessage(L"invalid number of parameters");
            return false;
        }
        *slots[m - 1] = 0.0;

        if (lua_pcall(L, argc, LUA_MULTRET, 0) != 0) {
            setErrorFromTop("function not loaded");
            return false;
        }

        int n = lua_gettop(L) - base;
        if (n < m - 1 || n > m + 1) {
            setMessage(L"invalid number of returned values");
            return false;
        }
        int verdict = 1;
        if (n == m + 1 && lua_isboolean(L, -1)) {
            verdict = lua_toboolean(L, -1) ? 1 : 0;
            lua_pop(L, 1);
        }
        double values[MAX_OUTPUTS];
        int k = m;
        if (n == m - 1) {
            values[m - 1] = 0.0;
            k = m - 1;
        } else if (lua_isboolean(L, -1)) {
            values[k - 1] = lua_toboolean(L, -1) ? 1.0 : 0.0;
            lua_pop(L, 1);
            --k;
        }
        for (int i = k - 1; i >= 0; --i) {
            if (!lua_isnumber(L, -1)) {
                setMessage(L"invalid returned value");
                return false;
            }
            values[i] = lua_tonumber(L, -1);
            lua_pop(L, 1);
        }
        // Results are handed over only once all of them are valid.
        for (int i = 0; i < m; ++i) {
            *slots[i] = values[i];
        }
        *status = verdict;
        return true;
    } catch (const std::exception& e) {
        failure = firstLine(e.what());
    }
    errorLine = -1;
    boundFailure(failure);
    if (failure.empty()) {
        failure = NU_ERROR_TAG "unrecoverable exception";
    }
    setMessage(failure.c_str());
    return false;
}

// ---- texts ----------------------------------------------------------------

const char* LuaEngineCore::toString()
{
    if (!L || lua_gettop(L) < 1) {
        return nullptr;
    }
    // The metamethod is user code and may fail itself: run it protected.
    if (luaL_getmetafield(L, -1, "__tostring")) {
        lua_pushvalue(L, -2);
        if (lua_pcall(L, 1, 1, 0) == 0 && lua_isstring(L, -1)) {
            return lua_tostring(L, -1);
        }
        lua_pop(L, 1);
    }
    switch (lua_type(L, -1)) {
    case LUA_TNIL: lua_pushstring(L, "nil"); break;
    case LUA_TBOOLEAN: lua_pushstring(L, lua_toboolean(L, -1) ? "true" : "false"); break;
    case LUA_TNUMBER: {
        const double v = lua_tonumber(L, -1);
        // Whole numbers read best without a fraction; the bound keeps the
        // integer conversion defined.
        if (std::fabs(v) < 1.0e15 && std::fabs(v - std::nearbyint(v)) <= 1.1920928955078125e-7) {
            char text[32];
            std::snprintf(text, sizeof text, "%lld", static_cast<long long>(std::nearbyint(v)));
            lua_pushstring(L, text);
        } else {
            char text[32];
            nu_reformatAutoA(v, text, sizeof text, nullptr, nullptr, -1);
            lua_pushstring(L, text);
        }
        break;
    }
    case LUA_TSTRING: lua_pushvalue(L, -1); break;
    default:
        lua_pushfstring(L, "%s: %p", lua_typename(L, lua_type(L, -1)), lua_topointer(L, -1));
        break;
    }
    return lua_tostring(L, -1);
}

int LuaEngineCore::parseErrorLine(const char* text, std::string& out)
{
    if (!text) {
        return 0;
    }
    const std::string s = text;

    // Line marker written by a tool: "<!line=N!>" with a 0-based line.
    const size_t marker = s.find("<!line=");
    if (marker != std::string::npos) {
        const size_t from = marker + 7;
        const size_t close = s.find("!>", from);
        if (close != std::string::npos && close - from >= 1 && close - from <= 15) {
            char* end = nullptr;
            const std::string digits = s.substr(from, close - from);
            const double v = kov_strtod(digits.c_str(), &end);
            if (end != digits.c_str() && std::isfinite(v) && v >= 0.0 && v < 1.0e8) {
                const int n = static_cast<int>(v);
                out = lineMessage(n + 1, tail(s, close + 2));
                return n;
            }
        }
        out = s;
        return -1;
    }

    // Without a line the text stays whole: a message such as "module 'x'
    // not found:" followed by the searched files must keep its first part.
    out = s;
    size_t colon = s.find(':');
    if (colon != std::string::npos) {
        // "C:\dir\file.lua:12: ..." - the drive letter's colon is not ours.
        if (colon + 1 < s.size() && (s[colon + 1] == '\\' || s[colon + 1] == '/')) {
            colon = s.find(':', colon + 1);
        }
        if (colon != std::string::npos) {
            const size_t next = s.find(':', colon + 1);
            const size_t between = next == std::string::npos ? 0 : next - colon - 1;
            if (next != std::string::npos && between >= 1 && between <= 16) {
                const int n = readLineNumber(s.substr(colon + 1, between));
                if (n >= 1) {
                    out = lineMessage(n, tail(s, next + 2));
                    return n - 1;
                }
            }
        }
    }

    // Messages of the form "... at line N) rest".
    const size_t at = s.find("at line");
    if (at != std::string::npos) {
        const size_t from = at + 7;
        const size_t close = s.find(')', from);
        if (close != std::string::npos && close - from >= 2 && close - from <= 16) {
            const int n = readLineNumber(s.substr(from, close - from));
            if (n >= 1) {
                out = lineMessage(n, tail(s, close + 2));
                return n - 1;
            }
        }
    }
    return -1;
}

// ---- native functions -----------------------------------------------------

int LuaEngineCore::wrapCFunction(lua_State* L, int (*f)(lua_State*))
{
    // The text is pushed inside the handler but raised after it, so the
    // Lua unwinder never crosses a live C++ catch block.
    try {
        return f(L);
    } catch (const char* text) {
        lua_pushstring(L, text ? text : NU_ERROR_TAG "unrecoverable exception");
    } catch (const std::exception& e) {
        lua_pushstring(L, e.what());
    }
    return lua_error(L);
}

// ---- script files ---------------------------------------------------------

const std::string* LuaEngineCore::scriptText(const wchar_t* path, int* error)
{
    int dummy = 0;
    int& err = error ? *error : dummy;
    err = 0;
    if (!path || !*path) {
        err = 1;
        return nullptr;
    }
    std::wstring key = path;
    kov_normalizeSeparatorsW(key.data());

    // Read once per run: every mesh point of every layer asks again.
    auto found = files.find(key);
    if (found != files.end()) {
        return &found->second;
    }

    FILE* file = kov_FileOpenW(key.c_str(), "rb");
    if (!file) {
        err = 1;
        return nullptr;
    }
    std::string text;
    bool readOk = false;
    try {
        const long long size = kov_getFileSizeW(key.c_str());
        if (size > 0) {
            text.reserve(static_cast<size_t>(size));
        }
        char buffer[65536];
        size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
            text.append(buffer, got);
        }
        readOk = !std::ferror(file);
    } catch (const std::bad_alloc&) {
        kov_FileClose(&file);
        err = 2;
        return nullptr;
    }
    kov_FileClose(&file);
    if (!readOk) {
        err = 3;
        return nullptr;
    }
    std::string& slot = files[key];
    slot = std::move(text);
    return &slot;
}
