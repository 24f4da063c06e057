// The accepted range and unit of every number of a device file, written once
// for both sides that read the file: the engine's reader and the device
// editor (its records, its dialogs and its own reader). What one of them
// refuses the other refuses with the same limits named; what one of them
// clamps the other clamps, and both say so.
#pragma once

#include <cstddef>
#include <iterator>
#include <string>

// What happens to a value outside its range.
enum class KovOutside {
    REFUSE,  // the value is refused (the engine's load fails; the editor keeps the old value)
    CLAMP,   // the nearest limit is used, with a warning that names the range
    OFFERED  // the engine uses the key only together with other keys (a
             // step against its sweep) or not at all; the range is what the
             // editor's fields offer, and every value in it runs
};

// Where a key stands: its section's kind.
enum class KovKeySection { DEVICE, CONTACT, LAYER, VOLTAGE, LIGHT, NUMERIC };

struct KovKeyLimit {
    KovKeySection section;
    // The key as the file writes it inside its section: bare for [Device]
    // and layer sections ("Thickness"), after the contact's name and a
    // point for [Anode] and [Cathode] ("Rn"), whole for the other sections
    // ("Voltage.Start"). "Trap#." stands for "Trap1." to "Trap5.".
    const char* key;
    bool integer;
    double minimum;
    double maximum;
    const char* unit;
    KovOutside outside;
};

inline constexpr KovKeyLimit KOV_KEY_LIMITS[] = {
    {KovKeySection::DEVICE, "Temperature", false, 1.0, 2000.0, "K", KovOutside::REFUSE},
    {KovKeySection::DEVICE, "Polarization.Scale", false, -10.0, 10.0, "", KovOutside::REFUSE},

    {KovKeySection::CONTACT, "Rn", false, 1e-4, 1e8, "cm/s", KovOutside::REFUSE},
    {KovKeySection::CONTACT, "Rp", false, 1e-4, 1e8, "cm/s", KovOutside::REFUSE},
    {KovKeySection::CONTACT, "Phi", false, 0.0, 5.0, "eV", KovOutside::REFUSE},
    {KovKeySection::CONTACT, "Tunnel", true, 0.0, 1.0, "", KovOutside::REFUSE},
    {KovKeySection::CONTACT, "Thickness", false, 0.0, 1000.0, "um", KovOutside::REFUSE},
    {KovKeySection::CONTACT, "Index.n", false, 1e-6, 99.99, "", KovOutside::REFUSE},
    {KovKeySection::CONTACT, "Index.k", false, 0.0, 99.99, "", KovOutside::REFUSE},

    {KovKeySection::LAYER, "Thickness", false, 1e-4, 1e4, "um", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Composition.x", false, 0.0, 1.0, "", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Bandgap", false, 0.001, 20.0, "eV", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Bandgap.Bowing", false, -20.0, 20.0, "eV", KovOutside::REFUSE},
    {KovKeySection::LAYER, "BandgapType", true, 0.0, 2.0, "", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Affinity", false, 0.001, 20.0, "eV", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Affinity.Bowing", false, -20.0, 20.0, "eV", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Permittivity", false, 1.0, 100.0, "", KovOutside::REFUSE},
    {KovKeySection::LAYER, "NC", false, 1e6, 1e24, "1/cm3", KovOutside::REFUSE},
    {KovKeySection::LAYER, "NV", false, 1e6, 1e24, "1/cm3", KovOutside::REFUSE},
    // The engine takes its effective masses and split-off energy from the
    // material, not from the file.
    {KovKeySection::LAYER, "Eso", false, 0.0, 10.0, "eV", KovOutside::OFFERED},
    {KovKeySection::LAYER, "Me", false, 0.001, 10.0, "", KovOutside::OFFERED},
    {KovKeySection::LAYER, "Mhh", false, 0.001, 10.0, "", KovOutside::OFFERED},
    {KovKeySection::LAYER, "Mlh", false, 0.001, 10.0, "", KovOutside::OFFERED},
    {KovKeySection::LAYER, "Msh", false, 0.001, 10.0, "", KovOutside::OFFERED},
    {KovKeySection::LAYER, "Beta", false, 1e-22, 1e-6, "cm3/s", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Cn", false, 1e-48, 1e-9, "cm6/s", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Cp", false, 1e-48, 1e-9, "cm6/s", KovOutside::REFUSE},
    // A lifetime of up to 1000 s switches that recombination off in effect.
    {KovKeySection::LAYER, "Taun", false, 1e-15, 1000.0, "s", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Taup", false, 1e-15, 1000.0, "s", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Lattice.a", false, 0.1, 1.0, "nm", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Lattice.e31", false, -1e5, 1e5, "(1e-4 C/m2)", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Lattice.e33", false, -1e5, 1e5, "(1e-4 C/m2)", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Lattice.c13", false, 0.0, 1e4, "GPa", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Lattice.c33", false, 0.0, 1e4, "GPa", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Lattice.Psp", false, -1e5, 1e5, "(1e-4 C/m2)", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Urbach.EA", false, 0.0, 5.0, "eV", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Urbach.ED", false, 0.0, 5.0, "eV", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Urbach.GA", false, 0.0, 1e24, "1/cm3/eV", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Urbach.GD", false, 0.0, 1e24, "1/cm3/eV", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Urbach.TaunA", false, 1e-15, 1000.0, "s", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Urbach.TaupA", false, 1e-15, 1000.0, "s", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Urbach.TaunD", false, 1e-15, 1000.0, "s", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Urbach.TaupD", false, 1e-15, 1000.0, "s", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Index.n", false, 1e-6, 99.99, "", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Index.k", false, 0.0, 99.99, "", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Mobility.N", false, 0.001, 1e5, "cm2/Vs", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Mobility.P", false, 0.001, 1e5, "cm2/Vs", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Dopant.N", false, 0.0, 1e22, "1/cm3", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Dopant.Nr", false, 1e6, 1e22, "1/cm3", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Dopant.E", false, 0.0, 10.0, "eV", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Dopant.F", false, 1.0, 16.0, "", KovOutside::REFUSE},
    // Level widths are kept in the file; the run's levels have none.
    {KovKeySection::LAYER, "Dopant.W", false, 0.0, 5.0, "eV", KovOutside::OFFERED},
    {KovKeySection::LAYER, "Dopant.Taun", false, 1e-15, 1000.0, "s", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Dopant.Taup", false, 1e-15, 1000.0, "s", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Trap#.N", false, 0.0, 1e22, "1/cm3", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Trap#.Nr", false, 1e6, 1e22, "1/cm3", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Trap#.E", false, 0.0, 10.0, "eV", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Trap#.F", false, 1.0, 16.0, "", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Trap#.W", false, 0.0, 5.0, "eV", KovOutside::OFFERED},
    {KovKeySection::LAYER, "Trap#.Taun", false, 1e-15, 1000.0, "s", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Trap#.Taup", false, 1e-15, 1000.0, "s", KovOutside::REFUSE},
    // 0: no traps from a trap model.
    {KovKeySection::LAYER, "Trap.Count", true, 0.0, 5.0, "traps", KovOutside::REFUSE},
    {KovKeySection::LAYER, "Mesh.Points", true, 5.0, 5000.0, "points", KovOutside::CLAMP},

    {KovKeySection::VOLTAGE, "Voltage.Start", false, -100.0, 100.0, "V", KovOutside::REFUSE},
    {KovKeySection::VOLTAGE, "Voltage.End", false, -100.0, 100.0, "V", KovOutside::REFUSE},
    // The step is checked against the sweep it divides.
    {KovKeySection::VOLTAGE, "Voltage.Step", false, 0.0, 10.0, "V", KovOutside::OFFERED},
    {KovKeySection::VOLTAGE, "Voltage.Points", true, 1.0, 1001.0, "", KovOutside::OFFERED},
    {KovKeySection::VOLTAGE, "Voltage.Jinf", false, -1e6, 1e6, "A/cm2", KovOutside::REFUSE},
    {KovKeySection::VOLTAGE, "Voltage.Jsup", false, -1e6, 1e6, "A/cm2", KovOutside::REFUSE},

    {KovKeySection::LIGHT, "Light.Start", false, 0.1, 10.0, "um", KovOutside::REFUSE},
    {KovKeySection::LIGHT, "Light.Wavelength", false, 0.1, 10.0, "um", KovOutside::REFUSE},
    {KovKeySection::LIGHT, "Light.End", false, 0.1, 10.0, "um", KovOutside::REFUSE},
    {KovKeySection::LIGHT, "Light.Step", false, 1e-4, 10.0, "um", KovOutside::OFFERED},
    {KovKeySection::LIGHT, "Light.Points", true, 1.0, 1001.0, "", KovOutside::OFFERED},
    {KovKeySection::LIGHT, "Light.Flux", false, 0.0, 1e28, "1/cm2/s", KovOutside::REFUSE},

    {KovKeySection::NUMERIC, "Numeric.Points", true, 50.0, 20000.0, "points", KovOutside::CLAMP},
    {KovKeySection::NUMERIC, "Numeric.Tol", false, 1e-12, 0.1, "", KovOutside::REFUSE},
    {KovKeySection::NUMERIC, "Numeric.Damp", false, 0.0, 1000.0, "", KovOutside::REFUSE},
};

inline constexpr size_t KOV_KEY_LIMIT_COUNT = sizeof KOV_KEY_LIMITS / sizeof KOV_KEY_LIMITS[0];

namespace kovKeyLimitsDetail {

template <typename Char>
constexpr bool sameText(const Char* a, const char* b)
{
    while (*a != 0 && *b != 0 && static_cast<int>(*a) == static_cast<int>(*b)) {
        ++a;
        ++b;
    }
    return *a == 0 && *b == 0;
}

// The key with "Trap1." to "Trap5." read as "Trap#.", into out (64 places).
template <typename Char>
constexpr void generalKey(const Char* key, char* out)
{
    size_t i = 0;
    for (; key[i] != 0 && i < 63; ++i) {
        out[i] = static_cast<char>(key[i]);
    }
    out[i] = '\0';
    if (out[0] == 'T' && out[1] == 'r' && out[2] == 'a' && out[3] == 'p' && out[4] >= '1' &&
        out[4] <= '5' && out[5] == '.') {
        out[4] = '#';
    }
}

}  // namespace kovKeyLimitsDetail

// The place in KOV_KEY_LIMITS of a key of a section kind, as the file
// writes it (see KovKeyLimit::key), or -1 for a key without a range (texts
// and words). Compile-time checks use the place rather than a pointer: the
// undefined-behaviour sanitizer makes a pointer test no constant expression.
template <typename Char>
constexpr int kov_keyLimitIndex(KovKeySection section, const Char* key)
{
    if (key == nullptr) {
        return -1;
    }
    char general[64] = {};
    kovKeyLimitsDetail::generalKey(key, general);
    for (size_t i = 0; i < std::size(KOV_KEY_LIMITS); ++i) {
        if (KOV_KEY_LIMITS[i].section == section &&
            kovKeyLimitsDetail::sameText(general, KOV_KEY_LIMITS[i].key)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// The limit of a key known to have one, for constants and compile-time
// checks: naming a key without a range does not compile.
template <typename Char>
constexpr const KovKeyLimit& kov_keyLimit(KovKeySection section, const Char* key)
{
    const int i = kov_keyLimitIndex(section, key);
    if (i < 0) {
        throw "a key without a range";  // no constant expression: a compile error
    }
    return KOV_KEY_LIMITS[i];
}

// The limit of a key of a section kind, or null for a key without a range.
template <typename Char>
constexpr const KovKeyLimit* kov_findKeyLimit(KovKeySection section, const Char* key)
{
    const int i = kov_keyLimitIndex(section, key);
    return i < 0 ? nullptr : &KOV_KEY_LIMITS[i];
}

// The same by the section's name in the file ("Anode", "Layer3", "Light")
// and the key as its records hold it ("Anode.Rn", "Trap2.E",
// "Voltage.Start"); null for an unknown section or a key without a range.
template <typename Char>
constexpr const KovKeyLimit* kov_findKeyLimit(const Char* sectionName, const Char* key)
{
    using kovKeyLimitsDetail::sameText;
    if (sectionName == nullptr || key == nullptr) {
        return nullptr;
    }
    if (sameText(sectionName, "Device")) {
        return kov_findKeyLimit(KovKeySection::DEVICE, key);
    }
    if (sameText(sectionName, "Anode") || sameText(sectionName, "Cathode")) {
        size_t skip = 0;
        while (sectionName[skip] != 0 && key[skip] == sectionName[skip]) {
            ++skip;
        }
        if (sectionName[skip] != 0 || key[skip] != '.') {
            return nullptr;
        }
        return kov_findKeyLimit(KovKeySection::CONTACT, key + skip + 1);
    }
    if (sectionName[0] == 'L' && sectionName[1] == 'a' && sectionName[2] == 'y' &&
        sectionName[3] == 'e' && sectionName[4] == 'r') {
        return kov_findKeyLimit(KovKeySection::LAYER, key);
    }
    if (sameText(sectionName, "Voltage")) {
        return kov_findKeyLimit(KovKeySection::VOLTAGE, key);
    }
    if (sameText(sectionName, "Light")) {
        return kov_findKeyLimit(KovKeySection::LIGHT, key);
    }
    if (sameText(sectionName, "Numeric")) {
        return kov_findKeyLimit(KovKeySection::NUMERIC, key);
    }
    return nullptr;
}

// "from 0.0001 to 1e+08 cm/s": the words both sides use to name a range.
std::string kov_rangeText(double minimum, double maximum, const char* unit);
std::string kov_rangeText(const KovKeyLimit& limit);

// The number as both sides show a limit or a clamped value (6 significant
// digits, the suite's one number form).
std::string kov_limitNumberText(double value);

// What a run uses for a [Numeric] key the device file leaves out, so that
// the editor shows what will run. The engine's numeric settings start from
// these.
inline constexpr const char* KOV_RUN_DEFAULT_MESH = "Layer";  // each layer's Mesh.Points
inline constexpr const char* KOV_RUN_DEFAULT_METHOD = "Newton";
inline constexpr const char* KOV_RUN_DEFAULT_SOLVER = "tfqmr";
inline constexpr double KOV_RUN_DEFAULT_TOL = 1e-6;
inline constexpr double KOV_RUN_DEFAULT_DAMP = 1.0;
