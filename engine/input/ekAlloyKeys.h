// Layer keys an alloy takes from its two end members, weighted by its
// composition: the reader leaves them unused (and says so), the writer
// leaves them out, so that a saved alloy reads back without a warning.
#pragma once

#include <cwchar>
#include <iterator>

inline constexpr const wchar_t* EK_ALLOY_DERIVED_KEYS[] = {
    L"Bandgap",     L"Affinity",    L"NC",          L"NV",          L"Permittivity",
    L"Mobility.N",  L"Mobility.P",  L"Beta",        L"Cn",          L"Cp",
    L"Taun",        L"Taup",        L"Index.n",     L"Index.k",     L"Lattice.a",
    L"Lattice.e31", L"Lattice.e33", L"Lattice.c13", L"Lattice.c33", L"Lattice.Psp"};

inline bool ek_isAlloyDerivedKey(const wchar_t* key)
{
    for (const wchar_t* derived : EK_ALLOY_DERIVED_KEYS) {
        if (std::wcscmp(derived, key) == 0) {
            return true;
        }
    }
    return false;
}
