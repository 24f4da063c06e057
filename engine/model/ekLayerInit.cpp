// ekLayer::init: gives a layer the complete parameter set of a material,
// from the material database when it has a usable row, else from the
// built-in table.
#include <cwchar>

#include "ekLayer.h"
#include "ekMaterialDatabase.h"
#include "ekMaterialTable.h"
#include "ekHelpers.h"
#include "kovbase.h"
#include "nuSigma.h"

namespace {

const wchar_t* const FALLBACK_MATERIAL = L"Si";
const double DEFAULT_EBR = 3e5;
const int WARNING = 2;

const wchar_t* const ROW_NOT_USED =
    L"[WARNING] material database: the row of '%ls' is not used (%ls); built-in values taken "
    L"instead\n";
// A material only the database knows has no built-in values to fall back
// on: a row the layer cannot use stops the run instead of silently
// becoming silicon.
const wchar_t* const ROW_REFUSED = L"material database: the row of '%ls' cannot be used (%ls)";
const wchar_t* const INDEX_DATA_NOT_USED =
    L"[WARNING] material database: the index data of '%ls' is not used (%ls)\n";

// limit counts the characters of the whole line the channel prints.
std::wstring formatLine(size_t limit, const wchar_t* format, const wchar_t* name,
                        const wchar_t* reason)
{
    wchar_t line[768];
    swprintf(line, limit, format, name, reason);
    return line;
}

void warn(nuSigma* sigma, const wchar_t* format, const wchar_t* name, const wchar_t* reason)
{
    sigma->update(formatLine(768, format, name, reason).c_str(), WARNING);
}

// The reason of the error a check has just left on the channel, without its
// tag and line end; the channel is cleared.
std::wstring takeError(nuSigma* sigma)
{
    std::wstring reason = sigma->message;
    if (kov_startsWith(reason, nuSigma::ERROR_TAG)) {
        reason.erase(0, nuSigma::ERROR_TAG.size());
    }
    while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r')) {
        reason.pop_back();
    }
    sigma->reset();
    return reason;
}

// Turns the error a check has just left on the channel into a warning and
// clears the channel, so that the layer goes on with other values.
void demoteError(nuSigma* sigma, const wchar_t* format, const wchar_t* name)
{
    const std::wstring reason = takeError(sigma);
    warn(sigma, format, name, reason.c_str());
}

}  // namespace

bool ekLayer::init(const wchar_t* materialName, const wchar_t* layerName, uint8_t type)
{
    if (!sigma || sigma->err) {
        return false;
    }

    if (materialName != material) {
        const wchar_t* resolved = ek_resolveMaterialAlias(materialName ? materialName : L"");
        kov_copyW(material, MATERIAL_SIZE,
                  isStandardMaterial(resolved) ? resolved : FALLBACK_MATERIAL);
    }
    if (layerName && layerName != name) {
        kov_copyW(name, NAME_SIZE, layerName);
    }

    ekBuiltinMaterial builtin{};
    const bool known = ek_findBuiltinMaterial(material, &builtin);

    // kind is the standard material the values belong to, or null for a
    // material only the database knows. It decides the alloy end members,
    // the lattice type and the reference on both routes: none of them is a
    // column of the database, and a row must not turn GaN into a non-polar
    // material or an alloy into a plain one.
    auto apply = [&](const ekMaterialParameters& p, const ekBuiltinMaterial* kind) {
        kov_copyW(dataRef, DATAREF_SIZE, kind ? kind->dataRef : EK_MATERIAL_REFERENCE_A);
        materialAC[0] = L'\0';
        materialBC[0] = L'\0';
        compositionX = 0.0;
        compositionY = 0.0;
        bandgapBowing = 0.0;
        affinityBowing = 0.0;
        if (kind && kind->endMemberAC) {
            kov_copyW(materialAC, MATERIAL_SIZE, kind->endMemberAC);
            kov_copyW(materialBC, MATERIAL_SIZE, kind->endMemberBC);
            group = static_cast<uint8_t>((group & ~GROUP_KIND_MASK) | GROUP_ALLOY);
        } else {
            group = static_cast<uint8_t>((group & ~GROUP_KIND_MASK) | GROUP_DEFAULT);
        }
        if (kind) {
            latticeType = kind->values.latticeType;
        }

        thickness = p.thickness;
        direct = p.direct;
        Eg = p.Eg;
        Chi = p.Chi;
        Eso = p.Eso;
        Me = p.Me;
        Mhh = p.Mhh;
        Mlh = p.Mlh;
        Msh = p.Msh;
        NC = p.NC;
        NV = p.NV;
        Eps = p.Eps;
        indexN = p.indexN;
        indexK = p.indexK;
        Beta = p.Beta;
        Cn = p.Cn;
        Cp = p.Cp;
        Taun = p.Taun;
        Taup = p.Taup;
        Mobn = p.Mobn;
        Mobp = p.Mobp;
        Ebr = DEFAULT_EBR;
        urbach = p.urbach;
        UrbachEA = p.urbachEA;
        UrbachED = p.urbachED;
        UrbachGA = p.urbachGA;
        UrbachGD = p.urbachGD;
        UrbachTaunA = p.urbachTaunA;
        UrbachTaupA = p.urbachTaupA;
        UrbachTaunD = p.urbachTaunD;
        UrbachTaupD = p.urbachTaupD;
        LatticeA = p.latticeA;
        LatticeB = p.latticeB;
        LatticeC = p.latticeC;
        LatticeE31 = p.e31;
        LatticeE33 = p.e33;
        LatticeC11 = p.c11;
        LatticeC12 = p.c12;
        LatticeC13 = p.c13;
        LatticeC33 = p.c33;
        Psp = p.Psp;
        Thermc = p.Thermc;
        Heat = p.Heat;

        resetType(type, p.Taun, p.Taup);
        removeAllTraps();
    };

    // Database route. The name is looked up as the caller wrote it, so a
    // material that only the database knows is found under its own name.
    const bool rowIsStandard = known && isStandardMaterial(ek_resolveMaterialAlias(materialName));
    const bool databaseOnly =
        !isStandardMaterial(ek_resolveMaterialAlias(materialName ? materialName : L""));
    // A row the layer cannot use: built-in values for a standard material,
    // the end of the run for one only the database knows.
    auto refuseRow = [&](const wchar_t* reason) {
        if (databaseOnly) {
            sigma->error(
                formatLine(768 - nuSigma::ERROR_TAG.size(), ROW_REFUSED, materialName, reason));
        } else {
            warn(sigma, ROW_NOT_USED, materialName, reason);
        }
        return !databaseOnly;
    };
    ekMaterialRow row;
    switch (ek_readMaterialRow(materialName, &row)) {
    case ekMaterialLookup::Found:
        if (const wchar_t* problem = ek_materialValuesProblem(row.values)) {
            if (!refuseRow(problem)) {
                return false;
            }
            break;
        }
        apply(row.values, rowIsStandard ? &builtin : nullptr);
        if (checkParameters()) {
            if (!row.indexData.empty() &&
                !setDataIndex(row.indexData.data(), static_cast<int>(row.indexData.size())) &&
                sigma->err) {
                // A broken index table is not worth the whole row: the
                // constant index of the row stays in use.
                demoteError(sigma, INDEX_DATA_NOT_USED, materialName);
            }
            return true;
        }
        // Too low band tails only give an info line; anything else the
        // check refuses is reported as a warning and cleared, so that the
        // built-in values below are applied and the run goes on.
        if (sigma->err) {
            const std::wstring reason = takeError(sigma);
            if (!refuseRow(reason.c_str())) {
                return false;
            }
        }
        break;
    case ekMaterialLookup::TooFewColumns:
        if (!refuseRow(L"too few columns")) {
            return false;
        }
        break;
    case ekMaterialLookup::NoDatabase:
    case ekMaterialLookup::NoRow: break;
    }

    // Built-in route.
    if (!known) {
        return false;
    }
    apply(builtin.values, &builtin);
    return true;
}
