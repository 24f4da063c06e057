// The built-in material names and their compiled-in values.
#include <cstring>

#include "materials.h"

const char* const BuiltinMaterials[] = {
    "Si",  "Ge",     "SiGe",   "Se",     "a-Si", "GaAs", "InAs",  "AlAs",  "GaP",
    "InP", "InGaAs", "AlGaAs", "InGaP",  "InSb", "GaSb", "C",     "AlN",   "GaN",
    "InN", "AlGaN",  "InGaN",  "6H-SiC", "CIGS", "CZTS", "CdS",   "In2S3", "CdTe",
    "ZnO", "Cu2O",   "CuO",    "MgO",    "TiO2", "SnO2", "In2O3", "ITO",   nullptr};

namespace {

const BuiltinValues VALUES[] = {
    {"Si", 2, 1.12, 4.17, 11.8, 2.8e19, 1.04e19, 3.42, 0.05, 1000, 500, 1.1e-14, 8.3e-32, 1.8e-31,
     1},
    {"Ge", 2, 0.66, 4, 16.2, 1e19, 5e18, 4, 0.2, 3600, 1900, 6.41e-14, 1e-30, 1e-30, 1},
    {"a-Si", 2, 1.8, 3.9, 11.9, 2e20, 2e20, 3.42, 0.2, 20, 5, 1.1e-14, 8.3e-32, 1.8e-31, 1},
    {"GaAs", 1, 1.42, 4.07, 12.9, 4.7e17, 9e18, 3.3, 0.2, 4000, 400, 7.2e-10, 5e-30, 1e-31, 1},
    {"InAs", 1, 0.354, 4.9, 15.15, 8.7e16, 6.6e18, 3.51, 0.2, 20000, 300, 1e-14, 1e-30, 1e-30, 1},
    {"AlAs", 1, 2.16, 3.5, 10.06, 4.35e17, 6.16e18, 3.9, 2, 1000, 100, 1e-10, 1e-30, 1e-30, 1},
    {"GaP", 1, 2.26, 3.8, 9.11, 1.8e19, 1.9e19, 3.02, 2, 250, 150, 1e-13, 1e-30, 1e-30, 1},
    {"InP", 1, 1.344, 4.38, 12.5, 5.7e17, 1.1e19, 3.1, 0.2, 2000, 100, 1e-14, 1e-30, 1e-30, 1},
    {"InSb", 1, 0.17, 4.59, 16.8, 4.2e16, 7.3e18, 4, 0.2, 77000, 850, 5e-11, 5e-26, 5e-26, 1},
    {"GaSb", 1, 0.726, 4.06, 12.5, 2.1e17, 1.8e19, 3.1, 0.2, 3000, 1000, 1e-10, 5e-30, 5e-30, 1},
    {"C", 2, 5.5, 7.2, 5.5, 5e18, 1.8e19, 2.4, 0.2, 500, 100, 1e-10, 1e-30, 1e-30, 1},
    {"AlN", 1, 6.2, 2.26, 9.14, 6.3e18, 4.8e20, 2.15, 0.2, 10, 1, 4e-11, 1e-24, 1e-24, 1},
    {"GaN", 1, 3.4, 4.1, 8.9, 1.2e18, 4.1e19, 2.3, 0.2, 400, 20, 1.1e-8, 1e-24, 1e-24, 1},
    {"InN", 1, 0.7, 5.26, 15.3, 9e17, 5.3e19, 2.9, 0.2, 1000, 50, 2e-10, 1e-24, 1e-24, 1},
    {"6H-SiC", 1, 3, 3.4, 9.66, 9e18, 2.5e19, 2.59, 0.2, 400, 90, 1.5e-12, 5e-31, 2e-31, 1},
    {"CIGS", 1, 1.15, 4.5, 13.4, 2.2e18, 1.8e19, 2.59, 0.2, 100, 25, 1e-12, 1e-30, 1e-30, 2},
    {"CZTS", 1, 1.5, 4.5, 6.5, 2.1e18, 8.9e18, 2.59, 0.2, 100, 25, 1e-12, 1e-30, 1e-30, 2},
    {"CdS", 1, 2.42, 4.2, 9, 1.8e19, 2.4e18, 2.4, 0.2, 1000, 150, 1e-12, 1e-30, 1e-30, 2},
    {"In2S3", 1, 2.8, 4.3, 13.5, 2.2e18, 1.8e19, 2.4, 0.2, 400, 200, 1e-12, 1e-30, 1e-30, 2},
    {"CdTe", 1, 1.47, 4.4, 10.2, 2.2e18, 1.8e19, 2.7, 0.2, -1, -1, 1e-12, 1e-30, 1e-30, 2},
    {"ZnO", 1, 3.3, 4.4, 9, 2.2e18, 1.8e19, 2.4, 0.2, 100, 25, 1e-12, 1e-30, 1e-30, 2},
    {"Cu2O", 1, 2.17, 3.1, 7.11, 2e17, 1.1e19, 2.4, 0.2, 200, 80, 1e-12, 1e-30, 1e-30, 2},
    {"CuO", 1, 1.51, 4.07, 18.1, 2.2e19, 5.5e20, 2.4, 0.2, 10, 0.1, 1e-12, 1e-30, 1e-30, 2},
    {"TiO2", 1, 2.26, 4.2, 10, 2e17, 6e17, 2.4, 0.2, 100, 25, 1e-12, 1e-30, 1e-30, 2},
};

}  // namespace

const BuiltinValues* Material_builtinValues(const char* name)
{
    if (name == nullptr) {
        return nullptr;
    }
    for (const BuiltinValues& row : VALUES) {
        if (std::strcmp(row.name, name) == 0) {
            return &row;
        }
    }
    return nullptr;
}

const char* Material_referenceText(int reference)
{
    return reference == 2
               ? "Thin-film and oxide values: typical literature data of photovoltaic absorbers "
                 "and window layers at 300 K"
               : "Semiconductor values at 300 K: standard handbook data of the group IV, III-V "
                 "and wide-gap semiconductors";
}

int Material_isKnown(const char* name)
{
    if (name == nullptr) {
        return 0;
    }
    for (int i = 0; BuiltinMaterials[i] != nullptr; ++i) {
        if (std::strcmp(BuiltinMaterials[i], name) == 0) {
            return 1;
        }
    }
    return 0;
}
