// ekLevel: one energy level of a layer, its dopant or one of its traps.
// The owning layer allocates and frees it; the level only validates and
// keeps its values, which the structure set-up reads per mesh point.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ekLimits.h"

class nuSigma;

class ekLevel {
public:
    static constexpr size_t NAME_SIZE = 32;  // 31 characters and terminator
    static constexpr uint8_t TYPE_NONE = 0x00;
    static constexpr uint8_t TYPE_DONOR = ekLimits::KIND_DONOR;
    static constexpr uint8_t TYPE_ACCEPTOR = ekLimits::KIND_ACCEPTOR;
    // Accepted ranges of the level's values (densities in 1/cm3, energy and
    // width in eV, lifetimes in s); the device-file reader names them.
    static constexpr double N_MIN = 0.0, N_MAX = 1e22;
    static constexpr double NR_MIN = 1e6, NR_MAX = 1e22;
    static constexpr double E_MIN = 0.0, E_MAX = 10.0;
    static constexpr double W_MIN = 0.0, W_MAX = 5.0;
    static constexpr double TAU_MIN = 1e-15, TAU_MAX = 1000.0;
    static constexpr double F_MIN = 1.0, F_MAX = 16.0;

    // Name given to a new level; never overwrites a name in an update.
    static constexpr const wchar_t* DEFAULT_NAME = L"LevelX";

    ekLevel(nuSigma* sigma, const wchar_t* name, uint8_t type, double N, double Nr, double E,
            double W, double Taun, double Taup, double F);
    ekLevel(nuSigma* sigma, const wchar_t* name, uint8_t type);

    // The validating setter: every value is checked before any is stored,
    // so a refused update leaves the level exactly as it was.
    void update(const wchar_t* name, uint8_t type, double N, double Nr, double E, double W,
                double Taun, double Taup, double F);
    void update(const wchar_t* name, uint8_t type);
    void update(double N, uint8_t type);
    void update(double N, double Nr, double E, double W, double Taun, double Taup);
    void update(double N, double Nr, double E, double W, double Taun, double Taup, double F);

    // Copies everything, the sigma pointer included, without checks.
    void copy(const ekLevel* other);

    const wchar_t* getName() const { return levelName; }
    // Copies at most 31 characters and terminates; buffer must hold 32.
    void getName(wchar_t* buffer) const;
    uint8_t getType() const { return levelType; }
    double getN() const { return density; }
    double getNr() const { return referenceDensity; }
    double getE() const { return energy; }
    double getW() const { return width; }
    double getTn() const { return electronLifetime; }
    double getTp() const { return holeLifetime; }
    double getF() const { return degeneracy; }
    nuSigma* getSigma() const { return channel; }
    void setSigma(nuSigma* sigma) { channel = sigma; }

private:
    void setDefaults();

    wchar_t levelName[NAME_SIZE];
    uint8_t levelType;
    double density;           // density, 1/cm3
    double referenceDensity;  // reference density, 1/cm3
    double energy;            // level energy, eV
    double width;             // level width, eV
    double electronLifetime;  // electron capture lifetime, s
    double holeLifetime;      // hole capture lifetime, s
    double degeneracy;        // degeneracy factor, a whole number 1..16
    nuSigma* channel;
};
