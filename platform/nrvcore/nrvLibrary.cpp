// Library lifetime, random numbers and time.
#include "nrvInternal.h"

#include <cblas.h>

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>

namespace nrv {

namespace {
uint64_t splitmix(uint64_t& x)
{
    uint64_t z = (x += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}
uint64_t rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

int openCount = 0;
const auto clockStart = std::chrono::steady_clock::now();
}  // namespace

void Random::reseed(uint64_t seed)
{
    for (auto& s : state) {
        s = splitmix(seed);
    }
}

uint64_t Random::next()
{
    const uint64_t result = rotl(state[1] * 5, 7) * 9;
    const uint64_t t = state[1] << 17;
    state[2] ^= state[0];
    state[3] ^= state[1];
    state[1] ^= state[2];
    state[0] ^= state[3];
    state[2] ^= t;
    state[3] = rotl(state[3], 45);
    return result;
}

float Random::uniform() { return float(next() >> 40) * (1.0f / 16777216.0f); }

float Random::normal()
{
    // Box-Muller on two fresh draws; 1 - u keeps the logarithm finite.
    const double u1 = 1.0 - double(next() >> 11) * (1.0 / 9007199254740992.0);
    const double u2 = double(next() >> 11) * (1.0 / 9007199254740992.0);
    return float(std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586 * u2));
}

uint32_t Random::below(uint32_t n) { return n ? uint32_t((next() >> 32) % n) : 0; }

Random& globalRandom()
{
    static Random random;
    return random;
}

bool affordable(nrv_network* n, double floats)
{
    const double pages = double(sysconf(_SC_PHYS_PAGES)), pageSize = double(sysconf(_SC_PAGE_SIZE));
    const double bytes = floats * sizeof(float);
    if (pages <= 0 || pageSize <= 0 || bytes <= pages * pageSize / 2) {
        return true;
    }
    return fail(n, "%s: %.3g GB asked, the machine has %.3g GB", KOV_NO_MEMORY, bytes / 1e9,
                pages * pageSize / 1e9);
}

uint64_t bytesLeft(FILE* f)
{
    const long here = std::ftell(f);
    if (here < 0 || std::fseek(f, 0, SEEK_END) != 0) {
        return UINT64_MAX;
    }
    const long end = std::ftell(f);
    std::fseek(f, here, SEEK_SET);
    if (end < 0) {
        return UINT64_MAX;
    }
    return end > here ? uint64_t(end - here) : 0;
}

}  // namespace nrv

void nrv_open()
{
    if (nrv::openCount++ == 0) {
        // The suite is single-threaded, and one BLAS thread also keeps sums in
        // the same order from run to run.
        openblas_set_num_threads(1);
        nrv::globalRandom().reseed(nrv::Random::FIXED_SEED);
    }
}

void nrv_close()
{
    if (nrv::openCount > 0) {
        --nrv::openCount;
    }
}

int nrv_open_count() { return nrv::openCount; }

float nrv_randn(float mean, float stddev) { return mean + stddev * nrv::globalRandom().normal(); }

float nrv_rand(float low, float high) { return low + (high - low) * nrv::globalRandom().uniform(); }

void nrv_seed(uint64_t seed) { nrv::globalRandom().reseed(seed); }

uint32_t nrv_milliseconds()
{
    const auto elapsed = std::chrono::steady_clock::now() - nrv::clockStart;
    return uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void nrv_print_duration(const char* label, int value, char unit)
{
    // The value is in the unit given: 'u' microseconds, 'm' milliseconds,
    // 's' seconds; anything else prints the bare number.
    double seconds;
    switch (unit) {
    case 'u': seconds = value * 1e-6; break;
    case 'm': seconds = value * 1e-3; break;
    case 's': seconds = value; break;
    default:
        std::printf("%s: %d\n", label ? label : "", value);
        std::fflush(stdout);
        return;
    }
    const char* sign = seconds < 0 ? "-" : "";
    seconds = std::fabs(seconds);
    const long hours = long(seconds / 3600);
    const long minutes = long((seconds - hours * 3600.0) / 60);
    const double rest = seconds - hours * 3600.0 - minutes * 60.0;
    if (hours > 0) {
        std::printf("%s: %s%ld h %ld min %.3f s\n", label ? label : "", sign, hours, minutes, rest);
    } else if (minutes > 0) {
        std::printf("%s: %s%ld min %.3f s\n", label ? label : "", sign, minutes, rest);
    } else {
        std::printf("%s: %s%.3f s\n", label ? label : "", sign, rest);
    }
    std::fflush(stdout);
}
