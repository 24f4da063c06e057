// The suite's expression grammar over muparser: function and constant
// tables, name rules, and error texts in words.
#include "kovGrammar.h"

#include <algorithm>
#include <cctype>
#include <cfenv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <limits>
#include <random>

#include "kovMath.h"
#include "kovbase.h"

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// The first domain error of the evaluation under way; a NaN result is
// explained by it. One evaluation runs at a time per thread.
thread_local const char* domainError = nullptr;

double fault(const char* words)
{
    if (domainError == nullptr) {
        domainError = words;
    }
    return NaN;
}

double radians(void* context, double angle)
{
    return angle * static_cast<kov_GrammarContext*>(context)->radiansPerUnit;
}

double angle(void* context, double radiansValue)
{
    // Multiplying by the exact reciprocal gives round figures ("90", "100")
    // where dividing by pi/180 would leave the last digit off.
    const double perUnit = static_cast<kov_GrammarContext*>(context)->radiansPerUnit;
    if (perUnit == 1.0) {
        return radiansValue;
    }
    const double unitsPerRadian = perUnit == M_PI / 180.0
                                      ? 180.0 / M_PI
                                      : (perUnit == M_PI / 200.0 ? 200.0 / M_PI : 1.0 / perUnit);
    return radiansValue * unitsPerRadian;
}

// A right angle in the chosen unit: 90 in degrees, 100 in grads, 0 in
// radians (whose multiples of pi/2 are not exact numbers).
double rightAngle(void* context)
{
    const double perUnit = static_cast<kov_GrammarContext*>(context)->radiansPerUnit;
    return perUnit == M_PI / 180.0 ? 90.0 : (perUnit == M_PI / 200.0 ? 100.0 : 0.0);
}

// Sine and cosine of an angle in degrees or grads. The angle is reduced to
// a quarter turn q and a rest d within half a right angle of it before it
// becomes radians: both steps are exact in binary, so cos(90), cos(100
// grad) and sin(180) come out as exactly 0, and the rest is turned into
// radians with a single rounding. Half a right angle (45 degrees, 50 grad)
// gives the correctly rounded square root of 1/2, a third of one in
// degrees exactly 1/2.
void quarterTurnSinCos(double x, double right, double* sine, double* cosine)
{
    const double r = std::fmod(x, 4.0 * right);  // exact, with the sign of x
    const double q = std::nearbyint(r / right);
    const double d = r - q * right;  // exact: r lies within a factor two of q right
    double s = 0.0, c = 1.0;
    if (std::fabs(d) == 0.5 * right) {
        s = std::copysign(M_SQRT1_2, d);
        c = M_SQRT1_2;
    } else if (right == 90.0 && std::fabs(d) == 30.0) {
        s = std::copysign(0.5, d);
        c = std::cos(d * (M_PI / 180.0));
    } else if (d != 0.0) {
        const double radiansValue = d * (M_PI / (2.0 * right));
        s = std::sin(radiansValue);
        c = std::cos(radiansValue);
    }
    switch ((static_cast<int>(q) % 4 + 4) % 4) {
    case 0: *sine = s, *cosine = c; break;
    case 1: *sine = c, *cosine = -s; break;
    case 2: *sine = -s, *cosine = -c; break;
    default: *sine = -c, *cosine = s; break;
    }
    *sine += 0.0;  // no "-0" answers
    *cosine += 0.0;
}

// ---- trigonometric functions (angles in the chosen unit) -----------------
double fSin(void* c, double x)
{
    const double right = rightAngle(c);
    if (right == 0.0 || !std::isfinite(x)) {
        return std::sin(radians(c, x));
    }
    double sine = 0.0, cosine = 0.0;
    quarterTurnSinCos(x, right, &sine, &cosine);
    return sine;
}
double fCos(void* c, double x)
{
    const double right = rightAngle(c);
    if (right == 0.0 || !std::isfinite(x)) {
        return std::cos(radians(c, x));
    }
    double sine = 0.0, cosine = 0.0;
    quarterTurnSinCos(x, right, &sine, &cosine);
    return cosine;
}
double fTan(void* c, double x)
{
    const double right = rightAngle(c);
    if (right == 0.0 || !std::isfinite(x)) {
        return std::tan(radians(c, x));
    }
    double sine = 0.0, cosine = 0.0;
    quarterTurnSinCos(x, right, &sine, &cosine);
    // An odd number of right angles has no tangent: the exact reduction
    // gives a cosine of exactly 0 there, never a huge finite quotient.
    return cosine != 0.0 ? sine / cosine
                         : fault("tan: undefined at an odd multiple of a right angle");
}
double fAsin(void* c, double x)
{
    return std::fabs(x) <= 1.0 ? angle(c, std::asin(x)) : fault("asin: argument outside [-1, 1]");
}
double fAcos(void* c, double x)
{
    return std::fabs(x) <= 1.0 ? angle(c, std::acos(x)) : fault("acos: argument outside [-1, 1]");
}
double fAtan(void* c, double x) { return angle(c, std::atan(x)); }

// ---- hyperbolic ------------------------------------------------------------
double fSinh(double x) { return std::sinh(x); }
double fCosh(double x) { return std::cosh(x); }
double fTanh(double x) { return std::tanh(x); }
double fAsinh(double x) { return std::asinh(x); }
double fAcosh(double x) { return x >= 1.0 ? std::acosh(x) : fault("acosh: argument below 1"); }
double fAtanh(double x)
{
    return std::fabs(x) < 1.0 ? std::atanh(x) : fault("atanh: argument outside (-1, 1)");
}

// ---- rounding and parts ----------------------------------------------------
double fCeil(double x) { return std::ceil(x); }
double fFloor(double x) { return std::floor(x); }
double fAbs(double x) { return std::fabs(x); }
double fFmod(double x, double y)
{
    return y != 0.0 ? std::fmod(x, y) : fault("fmod: division by zero");
}
double fRound(double x) { return std::round(x); }
double fTrunc(double x) { return std::trunc(x); }
double fRint(double x) { return std::nearbyint(x); }
double fSign(double x) { return kov_sign(x); }
double fMin(const double* v, int n)
{
    double m = v[0];
    for (int i = 1; i < n; ++i) {
        m = std::fmin(m, v[i]);
    }
    return m;
}
double fMax(const double* v, int n)
{
    double m = v[0];
    for (int i = 1; i < n; ++i) {
        m = std::fmax(m, v[i]);
    }
    return m;
}
double fRand()
{
    thread_local std::mt19937_64 engine{std::random_device{}()};
    return std::uniform_real_distribution<double>(0.0, 1.0)(engine);
}
double fTime() { return static_cast<double>(std::time(nullptr)); }

// ---- exponentials and powers -------------------------------------------------
double logarithm(double x, double (*f)(double), const char* negative, const char* zero)
{
    if (x < 0.0) {
        return fault(negative);
    }
    if (x == 0.0) {
        return fault(zero);
    }
    return f(x);
}
double fExp(double x) { return std::exp(x); }
double fLn(double x)
{
    return logarithm(x, std::log, "ln: negative argument", "ln: zero argument");
}
double fLog10(double x)
{
    return logarithm(x, std::log10, "log: negative argument", "log: zero argument");
}
double fLog2(double x)
{
    return logarithm(x, std::log2, "log2: negative argument", "log2: zero argument");
}
double fPow(double x, double y) { return std::pow(x, y); }
double fSqrt(double x) { return x >= 0.0 ? std::sqrt(x) : fault("sqrt: negative argument"); }
double fHypot(double x, double y) { return std::hypot(x, y); }

// ---- special functions -------------------------------------------------------
double fErf(double x) { return std::erf(x); }
double fErfc(double x) { return std::erfc(x); }
double fFact(double n)
{
    const double r = kov_fact(n);
    return std::isnan(r) ? fault("fact: argument must be an integer from 0 to 170") : r;
}
double fGammaln(double x)
{
    return x > 0.0 || x != std::floor(x) ? std::lgamma(x)
                                         : fault("gammaln: argument is 0 or a negative integer");
}
double fBeta(double a, double b)
{
    const double r = kov_beta(a, b);
    return std::isnan(r) ? fault("beta: arguments outside the domain") : r;
}
double fBern(double x) { return kov_bern(x); }
double fDbern(double x, double y) { return kov_dbern(x, y); }
double fGauss(double x, double mu, double sigma)
{
    return sigma > 0.0 ? kov_gauss(x, mu, sigma) : fault("gauss: sigma must be positive");
}
double fLorentz(double x, double x0, double gamma)
{
    return gamma > 0.0 ? kov_lorentz(x, x0, gamma) : fault("lorentz: gamma must be positive");
}
bool isOrder(double n) { return n == std::floor(n) && std::fabs(n) <= 10000.0; }
double fJ0(double x) { return ::j0(x); }
double fJ1(double x) { return ::j1(x); }
double fJn(double n, double x)
{
    return isOrder(n) ? ::jn(static_cast<int>(n), x) : fault("jn: order must be an integer");
}
double fY0(double x) { return x > 0.0 ? ::y0(x) : fault("y0: argument must be positive"); }
double fY1(double x) { return x > 0.0 ? ::y1(x) : fault("y1: argument must be positive"); }
double fYn(double n, double x)
{
    if (!isOrder(n)) {
        return fault("yn: order must be an integer");
    }
    return x > 0.0 ? ::yn(static_cast<int>(n), x) : fault("yn: argument must be positive");
}

// Constants, CODATA 2018 (SI units).
struct Constant {
    const char* name;
    double value;
};
const Constant CONSTANTS[] = {
    {"pi", M_PI},
    {"_m", 9.1093837015e-31},  // electron mass, kg
    {"_q", 1.602176634e-19},   // elementary charge, C
    {"_k", 1.380649e-23},      // Boltzmann constant, J/K
    {"_h", 6.62607015e-34},    // Planck constant, J s
    {"_c", 299792458.0},       // speed of light in vacuum, m/s
    {"_e", 8.8541878128e-12},  // vacuum permittivity, F/m
    {"_n", 6.02214076e23},     // Avogadro constant, 1/mol
};

const char* const FUNCTIONS[] = {
    "sin",     "cos",   "tan",  "asin",  "acos", "atan",    "sinh", "cosh", "tanh",  "asinh",
    "acosh",   "atanh", "ceil", "floor", "fabs", "abs",     "fmod", "min",  "max",   "rand",
    "round",   "trunc", "rint", "sign",  "exp",  "ln",      "log",  "log2", "log10", "pow",
    "sqrt",    "hypot", "erf",  "erfc",  "fact", "gammaln", "beta", "bern", "dbern", "gauss",
    "lorentz", "j0",    "j1",   "jn",    "y0",   "y1",      "yn",   "time", "solve"};

// Words of the calculator's commands and answers: not variable names either.
const char* const COMMAND_WORDS[] = {"author", "copyright", "name", "release", "version", "format",
                                     "unit",   "iter",      "tol",  "unset",   "cls",     "reset"};

bool isNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }

bool isNameChar(char c) { return isNameStart(c) || std::isdigit(static_cast<unsigned char>(c)); }

bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// The digit value of c in the base (2, 8 or 16), or -1.
int digitIn(char c, int base)
{
    const char lowered = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const int value = isDigit(lowered)
                          ? lowered - '0'
                          : (lowered >= 'a' && lowered <= 'f' ? lowered - 'a' + 10 : -1);
    return value >= 0 && value < base ? value : -1;
}

// "0x1F", "0b101", "0o17": every letter and digit after the prefix belongs
// to the literal, so "0b102" is refused rather than read as 0b10 and 2.
kov_GrammarNumber readPrefixed(std::string_view text, int base)
{
    kov_GrammarNumber n;
    n.length = 2;
    while (n.length < text.size() && isNameChar(text[n.length])) {
        ++n.length;
    }
    const std::string literal(text.substr(0, n.length));
    if (n.length == 2) {
        n.error = "missing digits after " + literal;
        return n;
    }
    unsigned long long whole = 0;
    for (size_t i = 2; i < n.length; ++i) {
        const int digit = digitIn(text[i], base);
        if (digit < 0) {
            n.error = "invalid digit '" + std::string(1, text[i]) + "' in " + literal;
            return n;
        }
        if (whole > (~0ULL - static_cast<unsigned long long>(digit)) /
                        static_cast<unsigned long long>(base)) {
            n.error = "overflow: the number " + literal + " is too large";
            return n;
        }
        whole =
            whole * static_cast<unsigned long long>(base) + static_cast<unsigned long long>(digit);
    }
    n.value = static_cast<double>(whole);
    return n;
}

// muparser's value recognition: the grammar's literals, read the one way
// kov_grammarReadNumber reads them (normalisation refused the others).
int readValue(const char* text, int* position, double* value)
{
    const kov_GrammarNumber n = kov_grammarReadNumber(text);
    if (n.length == 0 || !n.error.empty()) {
        return 0;
    }
    *position += static_cast<int>(n.length);
    *value = n.value;
    return 1;
}

// Signs before an operand stand here: at the start and after an operator,
// an opening parenthesis or a separator.
bool signIsUnary(const std::string& out)
{
    const size_t last = out.find_last_not_of(' ');
    return last == std::string::npos || std::strchr("(,=^*/+-<>!&|?:%", out[last]) != nullptr;
}

}  // namespace

kov_GrammarNumber kov_grammarReadNumber(std::string_view text)
{
    kov_GrammarNumber n;
    if (text.size() >= 2 && text[0] == '0') {
        const char prefix = static_cast<char>(std::tolower(static_cast<unsigned char>(text[1])));
        if (prefix == 'x') {
            return readPrefixed(text, 16);
        }
        if (prefix == 'b') {
            return readPrefixed(text, 2);
        }
        if (prefix == 'o') {
            return readPrefixed(text, 8);
        }
    }
    size_t i = 0;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
    }
    const size_t integerDigits = i;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
        }
    }
    if (i == 0 || (integerDigits == 0 && i == 1)) {
        return n;  // no digit: no number
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            ++j;
        }
        if (j >= text.size() || !isDigit(text[j])) {
            n.length = j;
            n.error = "missing exponent digits in " + std::string(text.substr(0, j));
            return n;
        }
        while (j < text.size() && isDigit(text[j])) {
            ++j;
        }
        i = j;
    }
    n.length = i;
    const std::string literal(text.substr(0, i));
    if (i < text.size() && text[i] == '.') {
        size_t end = i;
        while (end < text.size() && (isDigit(text[end]) || text[end] == '.')) {
            ++end;
        }
        n.error = "malformed number: " + std::string(text.substr(0, end));
        return n;
    }
    // A number below the smallest double reads as 0 (or the nearest
    // subnormal); one above the largest cannot be read at all.
    n.value = kov_strtod(literal.c_str(), nullptr);
    if (std::isinf(n.value)) {
        n.error = "overflow: the number " + literal + " is too large";
    }
    return n;
}

void kov_grammarDefine(mu::Parser& p, kov_GrammarContext* context)
{
    p.ClearFun();
    p.ClearConst();
    void* c = context;
    p.DefineFunUserData("sin", fSin, c);
    p.DefineFunUserData("cos", fCos, c);
    p.DefineFunUserData("tan", fTan, c);
    p.DefineFunUserData("asin", fAsin, c);
    p.DefineFunUserData("acos", fAcos, c);
    p.DefineFunUserData("atan", fAtan, c);
    p.DefineFun("sinh", fSinh);
    p.DefineFun("cosh", fCosh);
    p.DefineFun("tanh", fTanh);
    p.DefineFun("asinh", fAsinh);
    p.DefineFun("acosh", fAcosh);
    p.DefineFun("atanh", fAtanh);
    p.DefineFun("ceil", fCeil);
    p.DefineFun("floor", fFloor);
    p.DefineFun("fabs", fAbs);
    p.DefineFun("abs", fAbs);
    p.DefineFun("fmod", fFmod);
    p.DefineFun("min", fMin);
    p.DefineFun("max", fMax);
    p.DefineFun("rand", fRand, false);  // never folded into a constant
    p.DefineFun("round", fRound);
    p.DefineFun("trunc", fTrunc);
    p.DefineFun("rint", fRint);
    p.DefineFun("sign", fSign);
    p.DefineFun("exp", fExp);
    p.DefineFun("ln", fLn);
    p.DefineFun("log", fLog10);  // base 10, as on a pocket calculator
    p.DefineFun("log2", fLog2);
    p.DefineFun("log10", fLog10);
    p.DefineFun("pow", fPow);
    p.DefineFun("sqrt", fSqrt);
    p.DefineFun("hypot", fHypot);
    p.DefineFun("erf", fErf);
    p.DefineFun("erfc", fErfc);
    p.DefineFun("fact", fFact);
    p.DefineFun("gammaln", fGammaln);
    p.DefineFun("beta", fBeta);
    p.DefineFun("bern", fBern);
    p.DefineFun("dbern", fDbern);
    p.DefineFun("gauss", fGauss);
    p.DefineFun("lorentz", fLorentz);
    p.DefineFun("j0", fJ0);
    p.DefineFun("j1", fJ1);
    p.DefineFun("jn", fJn);
    p.DefineFun("y0", fY0);
    p.DefineFun("y1", fY1);
    p.DefineFun("yn", fYn);
    p.DefineFun("time", fTime, false);
    for (const Constant& k : CONSTANTS) {
        p.DefineConst(k.name, k.value);
    }
    // Tried before muparser's own number reading, which would stop at the
    // "x" of "0xff".
    p.AddValIdent(readValue);
}

bool kov_grammarIsReserved(const std::string& name)
{
    const std::string key = kov_toLowerAscii(name);
    for (const char* f : FUNCTIONS) {
        if (key == f) {
            return true;
        }
    }
    for (const Constant& k : CONSTANTS) {
        if (key == k.name) {
            return true;
        }
    }
    for (const char* w : COMMAND_WORDS) {
        if (key == w) {
            return true;
        }
    }
    return false;
}

bool kov_grammarIsName(const std::string& name)
{
    if (name.empty() || name.size() > 31 || !isNameStart(name[0])) {
        return false;
    }
    for (char c : name) {
        if (!isNameChar(c)) {
            return false;
        }
    }
    return true;
}

bool kov_grammarNormalize(const std::string& text, std::string* normalized, std::string* error,
                          bool foldSigns)
{
    std::string out;
    out.reserve(text.size());
    // The last operand read (a number or a name) when only blanks followed
    // it: another operand right after would be joined by blank removal.
    std::string pendingOperand;
    bool blankAfterOperand = false;
    size_t i = 0;
    auto operandRead = [&](const std::string& operand) -> bool {
        if (blankAfterOperand) {
            *error = "missing operator between " + pendingOperand + " and " + operand;
            return false;
        }
        pendingOperand = operand;
        return true;
    };
    while (i < text.size()) {
        const char c = text[i];
        if (kov_isBlank(c)) {
            if (!pendingOperand.empty()) {
                blankAfterOperand = true;
            }
            ++i;
            continue;
        }
        if (isDigit(c) || (c == '.' && i + 1 < text.size() && isDigit(text[i + 1]))) {
            const kov_GrammarNumber n = kov_grammarReadNumber(std::string_view(text).substr(i));
            if (!n.error.empty()) {
                *error = n.error;
                return false;
            }
            const std::string number = kov_toLowerAscii(text.substr(i, n.length));
            i += n.length;
            if (!operandRead(number)) {
                return false;
            }
            out += number;
            blankAfterOperand = false;
            continue;
        }
        if (foldSigns && (c == '+' || c == '-') && signIsUnary(out)) {
            // A run of signs before an operand is one sign: "--5" is 5.
            size_t end = i;
            int minus = 0;
            while (end < text.size() && (text[end] == '+' || text[end] == '-' || text[end] == ' ' ||
                                         text[end] == '\t')) {
                if (text[end] == '-') {
                    ++minus;
                }
                ++end;
            }
            const std::string run = text.substr(i, end - i);
            const size_t signs =
                run.size() - static_cast<size_t>(std::count(run.begin(), run.end(), ' ') +
                                                 std::count(run.begin(), run.end(), '\t'));
            if (signs > 1 && end < text.size()) {
                out += std::string(signs - 1, ' ');
                out += minus % 2 == 1 ? '-' : '+';
                pendingOperand.clear();
                blankAfterOperand = false;
                i = end;
                continue;
            }
        }
        if (c == '$' && i + 1 < text.size() && isNameStart(text[i + 1])) {
            ++i;  // "$a" names the variable a
            continue;
        }
        if (isNameStart(c)) {
            const size_t start = i;
            while (i < text.size() && isNameChar(text[i])) {
                ++i;
            }
            const std::string name = kov_toLowerAscii(text.substr(start, i - start));
            if (!operandRead(name)) {
                return false;
            }
            out += name;
            blankAfterOperand = false;
            continue;
        }
        // An operator, a parenthesis, a separator: the operand ends here.
        pendingOperand.clear();
        blankAfterOperand = false;
        out += c;
        ++i;
    }
    *normalized = out;
    return true;
}

void kov_grammarBeginEvaluation()
{
    domainError = nullptr;
    std::feclearexcept(FE_ALL_EXCEPT);
}

std::string kov_grammarFaultText(double value)
{
    if (domainError != nullptr) {
        return domainError;
    }
    if (std::fetestexcept(FE_DIVBYZERO)) {
        return "division by zero";
    }
    if (std::isnan(value)) {
        return "undefined result (such as 0/0 or a power of a negative number)";
    }
    if (std::fetestexcept(FE_OVERFLOW)) {
        return "overflow: the result is too large";
    }
    return "the result is not a finite number";
}

namespace {

// The length of the UTF-8 character that starts text (the whole character,
// not its first byte), or 0 when text does not start with a well-formed one.
size_t utf8CharacterLength(const std::string& text)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        return 1;
    }
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;   // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

}  // namespace

std::string kov_grammarErrorText(const mu::Parser::exception_type& e, const std::string& expression)
{
    const std::string token = e.GetToken();
    const int position = e.GetPos();
    const std::string at = position >= 0 ? " at position " + std::to_string(position + 1) : "";
    // An expression that ends in an operator ("+", "2*", "--") lacks its
    // last operand, whatever muparser found past the end.
    const size_t last = expression.find_last_not_of(" \t");
    if (last != std::string::npos && std::strchr("+-*/^<>=&|", expression[last]) != nullptr &&
        (e.GetCode() == mu::ecUNEXPECTED_EOF ||
         (position >= 0 && static_cast<size_t>(position) >= last))) {
        return "incomplete expression: an operand is missing after '" +
               std::string(1, expression[last]) + "'";
    }
    switch (e.GetCode()) {
    case mu::ecUNASSIGNABLE_TOKEN:
    case mu::ecUNEXPECTED_VAR: {
        if (!token.empty() && isNameStart(token[0])) {
            size_t after =
                position >= 0 ? static_cast<size_t>(position) + token.size() : std::string::npos;
            const bool call = after < expression.size() && expression[after] == '(';
            if (e.GetCode() == mu::ecUNEXPECTED_VAR) {
                return "missing operator before " + token + at;
            }
            return (call ? "unknown function: " : "unknown variable: ") + token;
        }
        if (!token.empty()) {
            const size_t length = utf8CharacterLength(token);
            if (length == 0) {
                // Not UTF-8 text: the byte in hexadecimal, since quoting it
                // would only show a broken sign.
                char hex[8];
                std::snprintf(hex, sizeof hex, "0x%02X",
                              static_cast<unsigned>(static_cast<unsigned char>(token[0])));
                return std::string("unexpected byte ") + hex + " (not UTF-8 text)" + at;
            }
            return "unexpected character '" + token.substr(0, length) + "'" + at;
        }
        return "syntax error" + at;
    }
    case mu::ecUNEXPECTED_EOF: return "incomplete expression";
    case mu::ecMISSING_PARENS: return "missing closing parenthesis";
    case mu::ecUNEXPECTED_PARENS: return "unexpected parenthesis" + at;
    case mu::ecUNEXPECTED_ARG_SEP: return "unexpected ','" + at;
    case mu::ecUNEXPECTED_ARG: return "unexpected argument" + at;
    case mu::ecTOO_MANY_PARAMS: return "too many arguments for function: " + token;
    case mu::ecTOO_FEW_PARAMS: return "too few arguments for function: " + token;
    case mu::ecUNEXPECTED_VAL:
    case mu::ecUNEXPECTED_FUN: return "missing operator before " + token + at;
    case mu::ecUNEXPECTED_OPERATOR: return "misplaced operator '" + token + "'" + at;
    case mu::ecEMPTY_EXPRESSION: return "empty expression";
    case mu::ecUNEXPECTED_STR:
    case mu::ecSTR_RESULT:
    case mu::ecUNTERMINATED_STRING: return "text in quotes is no number";
    case mu::ecUNEXPECTED_CONDITIONAL:
    case mu::ecMISPLACED_COLON:
    case mu::ecMISSING_ELSE_CLAUSE: return "incomplete condition (a ? b : c)" + at;
    default: return "syntax error" + at;
    }
}
