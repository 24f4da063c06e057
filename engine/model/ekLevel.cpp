#include "ekLevel.h"

#include <cmath>
#include <string>

#include "kovbase.h"
#include "nucore.h"

ekLevel::ekLevel(nuSigma* sigma, const wchar_t* name, uint8_t type, double N, double Nr, double E,
                 double W, double Taun, double Taup, double F)
    : channel(sigma)
{
    setDefaults();
    update(name, type, N, Nr, E, W, Taun, Taup, F);
}

ekLevel::ekLevel(nuSigma* sigma, const wchar_t* name, uint8_t type) : channel(sigma)
{
    setDefaults();
    update(name, type);
}

void ekLevel::setDefaults()
{
    kov_copyW(levelName, NAME_SIZE, DEFAULT_NAME);
    levelType = TYPE_DONOR;
    density = 1e16;
    referenceDensity = 1e19;
    energy = 0.0;
    width = 0.0;
    electronLifetime = 1e-7;
    holeLifetime = 1e-7;
    degeneracy = 1.0;
}

void ekLevel::update(const wchar_t* name, uint8_t type, double N, double Nr, double E, double W,
                     double Taun, double Taup, double F)
{
    if (channel == nullptr || channel->err != 0 || name == nullptr) {
        return;
    }

    const bool valid = kov_inRange(N, N_MIN, N_MAX) && kov_inRange(Nr, NR_MIN, NR_MAX) &&
                       kov_inRange(E, E_MIN, E_MAX) && kov_inRange(W, W_MIN, W_MAX) &&
                       kov_inRange(Taun, TAU_MIN, TAU_MAX) && kov_inRange(Taup, TAU_MIN, TAU_MAX) &&
                       kov_inRange(F, F_MIN, F_MAX);
    if (!valid) {
        std::wstring line = L"invalid level parameters (N, Nr, E, Taun, Taup, F): ";
        const double printed[] = {N, Nr, E, Taun, Taup, F};
        const size_t count = sizeof(printed) / sizeof(printed[0]);
        for (size_t i = 0; i < count; ++i) {
            line += nu_numberText(printed[i]);
            if (i + 1 < count) {
                line += L" ";
            }
        }
        channel->error(line);
        return;
    }

    // The default name marks "no name given"; the own buffer needs no copy.
    if (name != levelName && !kov_equalsNoCase(name, DEFAULT_NAME)) {
        kov_copyW(levelName, NAME_SIZE, name);
    }
    levelType = type;
    density = N;
    referenceDensity = Nr;
    energy = E;
    width = W;
    electronLifetime = Taun;
    holeLifetime = Taup;
    degeneracy = std::round(F);  // half away from zero
}

void ekLevel::update(const wchar_t* name, uint8_t type)
{
    update(name, type, density, referenceDensity, energy, width, electronLifetime, holeLifetime,
           degeneracy);
}

void ekLevel::update(double N, uint8_t type)
{
    update(levelName, type, N, referenceDensity, energy, width, electronLifetime, holeLifetime,
           degeneracy);
}

void ekLevel::update(double N, double Nr, double E, double W, double Taun, double Taup)
{
    update(levelName, levelType, N, Nr, E, W, Taun, Taup, degeneracy);
}

void ekLevel::update(double N, double Nr, double E, double W, double Taun, double Taup, double F)
{
    update(levelName, levelType, N, Nr, E, W, Taun, Taup, F);
}

void ekLevel::copy(const ekLevel* other)
{
    if (other == nullptr || other == this) {
        return;
    }
    channel = other->channel;
    kov_copyW(levelName, NAME_SIZE, other->levelName);
    levelType = other->levelType;
    density = other->density;
    referenceDensity = other->referenceDensity;
    energy = other->energy;
    width = other->width;
    electronLifetime = other->electronLifetime;
    holeLifetime = other->holeLifetime;
    degeneracy = other->degeneracy;
}

void ekLevel::getName(wchar_t* buffer) const
{
    if (buffer != nullptr) {
        kov_copyW(buffer, NAME_SIZE, levelName);
    }
}
