// The fuzz tests run a fixed number of cases from a fixed seed, so a
// failure repeats; KOVRA_FUZZ_CASES and KOVRA_FUZZ_SEED in the environment
// allow a longer or another search by hand.
#pragma once

#include <cstdlib>

// The value of the environment variable name as a number, else fallback.
inline long fuzzSetting(const char* name, long fallback)
{
    const char* text = std::getenv(name);
    return text != nullptr ? std::strtol(text, nullptr, 10) : fallback;
}

// Sanitized code runs several times slower: a time cap of a fuzz test is
// stretched by this factor, so the sanitized build runs as many cases.
#ifdef KOVRA_SANITIZED
constexpr double FUZZ_TIME_SCALE = 5.0;
#else
constexpr double FUZZ_TIME_SCALE = 1.0;
#endif
