// Device-file reader: the keys of one layer section, each absent key taking
// the value of a template layer of the same material, and the checks that
// tie keys together (trap model and count, index file, dopant, traps).
#include <algorithm>
#include <cmath>
#include <cwchar>
#include <utility>

#include "ElecDevice.h"
#include "ekFormat.h"
#include "ekInputReader.h"
#include "ekLevel.h"
#include "kovbase.h"
#include "nucore.h"

namespace {

// Script keys in the order their information lines are written.
struct ScriptKey {
    ekLayer::ModelKind kind;
    const wchar_t* key;
    const wchar_t* info;
};

constexpr ScriptKey SCRIPT_KEYS[] = {
    {ekLayer::MODEL_MOBILITY, L"Mobility.Model", L"[INFO]    mobility model: \"%ls\"\n"},
    {ekLayer::MODEL_PERMITTIVITY, L"Permittivity.Model",
     L"[INFO]    permittivity model: \"%ls\"\n"},
    {ekLayer::MODEL_BANDGAP, L"Bandgap.Model", L"[INFO]    bandgap model: \"%ls\"\n"},
    {ekLayer::MODEL_DOPING, L"Dopant.Model", L"[INFO]    dopant model: \"%ls\"\n"},
    {ekLayer::MODEL_TRAP, L"Trap.Model", L"[INFO]    trap model: \"%ls\"\n"},
    {ekLayer::MODEL_RECOMBINATION, L"Recombination.Model",
     L"[INFO]    recombination model: \"%ls\"\n"},
    {ekLayer::MODEL_LATTICE, L"Lattice.Model", L"[INFO]    lattice model: \"%ls\"\n"},
};

constexpr size_t SCRIPT_PATH_LENGTH = 1023;
// Below this density a static trap does not take part in the run.
constexpr double TRAP_DENSITY_MIN = 1e6;
// Scale between the file's piezoelectric and polarisation numbers and the
// layer's.
constexpr double LATTICE_FILE_SCALE = 1e-4;

// Keys of a layer section checked by range before they are read (dopant
// and trap keys are checked where they are read).
constexpr const wchar_t* LAYER_RANGED_KEYS[] = {
    L"Thickness",
    L"Bandgap",
    L"Affinity",
    L"NC",
    L"NV",
    L"Permittivity",
    L"Composition.x",
    L"Bandgap.Bowing",
    L"Affinity.Bowing",
    L"Mobility.N",
    L"Mobility.P",
    L"Beta",
    L"Cn",
    L"Cp",
    L"Taun",
    L"Taup",
    L"Lattice.a",
    L"Lattice.e31",
    L"Lattice.e33",
    L"Lattice.Psp",
    L"Lattice.c13",
    L"Lattice.c33",
    L"Urbach.EA",
    L"Urbach.ED",
    L"Urbach.GA",
    L"Urbach.GD",
    L"Urbach.TaunA",
    L"Urbach.TaupA",
    L"Urbach.TaunD",
    L"Urbach.TaupD",
    L"Index.n",
    L"Index.k",
};

// The level's validating setter and the file's table hold the same ranges.
constexpr bool sameRange(const char* key, double low, double high)
{
    const KovKeyLimit& limit = kov_keyLimit(KovKeySection::LAYER, key);
    return limit.minimum == low && limit.maximum == high;
}
static_assert(sameRange("Dopant.N", ekLevel::N_MIN, ekLevel::N_MAX));
static_assert(sameRange("Trap1.Nr", ekLevel::NR_MIN, ekLevel::NR_MAX));
static_assert(sameRange("Dopant.E", ekLevel::E_MIN, ekLevel::E_MAX));
static_assert(sameRange("Dopant.Taun", ekLevel::TAU_MIN, ekLevel::TAU_MAX));
static_assert(sameRange("Trap5.F", ekLevel::F_MIN, ekLevel::F_MAX));
static_assert(sameRange("Mesh.Points", ekLayer::MESH_POINTS_MIN, ekLayer::MESH_POINTS_MAX));
static_assert(sameRange("Trap.Count", 0, ekLayer::TRAPS_MAX));

// A dopant level of the given type and density with the level's default
// reference density, energy, lifetimes and degeneracy.
void setDefaultDopant(ekLayerInput* in, uint8_t type, double N)
{
    in->dopantType = type;
    in->dopantN = N;
    in->dopantNr = 1e19;
    in->dopantE = 0.0;
    in->dopantTaun = 1e-7;
    in->dopantTaup = 1e-7;
    in->dopantF = 1.0;
}

}  // namespace

bool ekInputReader::readLayer(int number, const ekLayer* templ, ekLayerInput* in)
{
    const std::wstring sectionName = ek_format(L"Layer%01d", number);
    const wchar_t* s = sectionName.c_str();
    const int line = layerLine(number);
    auto realOr = [&](const wchar_t* key, double fallback) {
        double value = fallback;
        real(s, key, &value);
        return value;
    };

    for (const wchar_t* key : LAYER_RANGED_KEYS) {
        if (!checkRange(s, key)) {
            return false;
        }
    }
    real(s, L"Thickness", &in->thickness);
    in->Eg = realOr(L"Bandgap", templ->getBandgap());
    in->Chi = realOr(L"Affinity", templ->getAffinity());
    in->NC = realOr(L"NC", templ->getNC());
    in->NV = realOr(L"NV", templ->getNV());
    in->direct = templ->isDirect();
    std::wstring word;
    if (!checkWord(s, L"BandgapType", {L"Direct", L"Indirect", L"0", L"1", L"2"})) {
        return false;
    }
    if (text(s, L"BandgapType", &word)) {
        in->direct = isWord(word, {L"Direct", L"1"});
    }
    in->bandgapBowing = realOr(L"Bandgap.Bowing", templ->getBandgapBowing());
    in->affinityBowing = realOr(L"Affinity.Bowing", templ->getAffinityBowing());
    in->x = realOr(L"Composition.x", templ->getCompositionX());
    in->Eps = realOr(L"Permittivity", templ->getEps());
    in->Beta = realOr(L"Beta", templ->getBeta());
    in->Cn = realOr(L"Cn", templ->getCn());
    in->Cp = realOr(L"Cp", templ->getCp());
    in->Taun = realOr(L"Taun", templ->getTaun());
    in->Taup = realOr(L"Taup", templ->getTaup());
    in->Mobn = realOr(L"Mobility.N", templ->getMobn());
    in->Mobp = realOr(L"Mobility.P", templ->getMobp());

    in->latticeType = templ->getLatticeType();
    if (text(s, L"Lattice.Type", &word)) {
        in->latticeType =
            isWord(word, {L"Wurtzite"}) ? ekLayer::LATTICE_WURTZITE : ekLayer::LATTICE_NONPOLAR;
        // Any other word means a structure without polarisation charges;
        // the common non-polar names say so already, while a misspelt
        // "Wurtzite" would silently lose the charges the user asked for.
        if (in->latticeType == ekLayer::LATTICE_NONPOLAR &&
            !isWord(word, {L"Zincblende", L"Zinc-blende", L"Cubic", L"Diamond", L"Rocksalt",
                           L"None", L"0"})) {
            changedValue(s, L"Lattice.Type", L"0",
                         L"no polarisation charges: only Wurtzite is a polar structure");
        }
    }
    in->latticeA = realOr(L"Lattice.a", templ->getLatticeA());
    in->c13 = realOr(L"Lattice.c13", templ->getLatticeC13());
    in->c33 = realOr(L"Lattice.c33", templ->getLatticeC33());
    double value = 0.0;
    in->e31 = real(s, L"Lattice.e31", &value) ? value * LATTICE_FILE_SCALE : templ->getLatticeE31();
    in->e33 = real(s, L"Lattice.e33", &value) ? value * LATTICE_FILE_SCALE : templ->getLatticeE33();
    in->Psp = real(s, L"Lattice.Psp", &value) ? value * LATTICE_FILE_SCALE : templ->getPsp();

    for (const ScriptKey& entry : SCRIPT_KEYS) {
        std::wstring path;
        if (!text(s, entry.key, &path) || isWord(path, {L"", L"None"})) {
            continue;  // no model asked for
        }
        if (path.find(L".lua") == std::wstring::npos) {
            unusedValue(s, entry.key, L"a model is a Lua script, a file name ending in .lua");
            continue;
        }
        // Found beside the device file it is taken from there.
        if (kov_fileExistsW(resolvePath(path).c_str())) {
            path = resolvePath(path);
        }
        path.resize(std::min(path.size(), SCRIPT_PATH_LENGTH));
        in->script[entry.kind] = path;
        info(ek_format(entry.info, path.c_str()));
    }
    long count = 0;
    if (!integerValue(s, L"Trap.Count", &count)) {
        return false;
    }
    if (count >= 1 && count <= ekLayer::TRAPS_MAX) {
        in->trapCount = static_cast<int>(count);
        info(ek_format(L"[INFO]    trap count: %d\n", in->trapCount));
    }
    if ((in->trapCount > 0) != !in->script[ekLayer::MODEL_TRAP].empty()) {
        return fail(line, ek_format(L"layer at line %d: Trap.Count and Trap.Model must be "
                                    L"correctly defined together",
                                    line + 1));
    }
    // A script that cannot be read is named here, with its line, rather
    // than when the run first needs the model. A name that does not end in
    // ".lua" is the layer's to refuse.
    for (const ScriptKey& entry : SCRIPT_KEYS) {
        const std::wstring& path = in->script[entry.kind];
        std::wstring found;
        if (ek_endsWithW(path.c_str(), L".lua") != 0 && !scriptFile(s, entry.key, &found)) {
            return false;
        }
    }
    if (!readLayerIndex(number, templ, in) || !readDopant(number, templ, in) ||
        !readTraps(number, in)) {
        return false;
    }

    in->urbach = templ->isUrbach();
    if (!checkWord(s, L"Urbach.Enable",
                   {L"Yes", L"Y", L"Def", L"Default", L"None", L"No", L"N", L""})) {
        return false;
    }
    if (text(s, L"Urbach.Enable", &word)) {
        in->urbach = isWord(word, {L"Yes", L"Y", L"Def", L"Default"});
    }
    in->EA = realOr(L"Urbach.EA", templ->getUrbachEA());
    in->ED = realOr(L"Urbach.ED", templ->getUrbachED());
    in->GA = realOr(L"Urbach.GA", templ->getUrbachGA());
    in->GD = realOr(L"Urbach.GD", templ->getUrbachGD());
    in->TaunA = realOr(L"Urbach.TaunA", templ->getUrbachTaunA());
    in->TaupA = realOr(L"Urbach.TaupA", templ->getUrbachTaupA());
    in->TaunD = realOr(L"Urbach.TaunD", templ->getUrbachTaunD());
    in->TaupD = realOr(L"Urbach.TaupD", templ->getUrbachTaupD());

    // A count out of range takes the nearest limit, never the default:
    // asking for many points gets the most a layer may have.
    long points = 100;
    if (!integerValue(s, L"Mesh.Points", &points)) {
        return false;
    }
    in->meshPoints = static_cast<int>(points);
    return true;
}

bool ekInputReader::readLayerIndex(int number, const ekLayer* templ, ekLayerInput* in)
{
    const std::wstring sectionName = ek_format(L"Layer%01d", number);
    const wchar_t* s = sectionName.c_str();
    std::wstring value;
    const bool hasFile = text(s, L"Index.File", &value);
    if (hasFile && !isWord(value, {L"", L"None"}) && ek_endsWithW(value.c_str(), L".nk") == 0) {
        unusedValue(s, L"Index.File", L"an index file is a file name ending in .nk");
    }
    std::wstring model;
    const bool hasModel = text(s, L"Index.Model", &model);
    if (hasModel && !isWord(model, {L"", L"None"}) && ek_endsWithW(model.c_str(), L".lua") == 0) {
        unusedValue(s, L"Index.Model",
                    L"an index model is a Lua script, a file name ending in .lua");
    }
    if (hasFile && ek_endsWithW(value.c_str(), L".nk") != 0) {
        if (!findIndexFile(value, &in->indexPath)) {
            const int keyAt = keyLine(s, L"Index.File");
            const std::wstring local = resolvePath(value);
            if (const wchar_t* kind = kov_otherFileKindW(local.c_str())) {
                return fail(keyAt, ek_format(L"not a regular file at line %d: %ls (%ls is "
                                             L"%ls)",
                                             keyAt + 1, written(s, L"Index.File").c_str(),
                                             local.c_str(), kind));
            }
            return fail(keyAt, ek_format(L"layer at line %d: Index.File not found: %ls "
                                         L"(looked for %ls, then in the program's "
                                         L"etc/refractiveindex/ and etc/)",
                                         keyAt + 1, written(s, L"Index.File").c_str(),
                                         resolvePath(value).c_str()));
        }
        in->indexSource = ekLayerInput::IndexSource::File;
    } else if (hasModel && ek_endsWithW(model.c_str(), L".lua") != 0) {
        if (!scriptFile(s, L"Index.Model", &in->indexPath)) {
            return false;
        }
        in->indexSource = ekLayerInput::IndexSource::Model;
    } else if (text(s, L"Index.Database", &value) && isWord(value, {L"Yes"})) {
        in->indexSource = ekLayerInput::IndexSource::Database;
    }
    // One source gives the index; a second one named beside it is not read.
    using Source = ekLayerInput::IndexSource;
    if (in->indexSource == Source::File && hasModel && ek_endsWithW(model.c_str(), L".lua") != 0) {
        unusedValue(s, L"Index.Model", L"Index.File gives the optical index");
    }
    if (in->indexSource != Source::Database && in->indexSource != Source::Constant &&
        text(s, L"Index.Database", &value) && isWord(value, {L"Yes"})) {
        unusedValue(s, L"Index.Database", L"an index file or model gives the optical index");
    }
    in->indexN = templ->getIndexn();
    in->indexK = templ->getIndexk();
    real(s, L"Index.n", &in->indexN);
    real(s, L"Index.k", &in->indexK);
    return true;
}

bool ekInputReader::findIndexFile(const std::wstring& name, std::wstring* found) const
{
    const std::wstring local = resolvePath(name);
    if (kov_fileExistsW(local.c_str())) {
        *found = local;
        return true;
    }
    // A bare name may be one of the index files shipped with the program.
    const bool bare = name.find_first_of(L"\\/") == std::wstring::npos;
    if (!bare || name.size() < 4 || name.size() > 63) {
        return false;
    }
    wchar_t appDir[1024];
    if (!kov_getAppDirW(appDir, 1024)) {
        return false;
    }
    for (const wchar_t* folder : {L"etc/refractiveindex/", L"etc/"}) {
        const std::wstring candidate = std::wstring(appDir) + folder + name;
        if (kov_fileExistsW(candidate.c_str())) {
            *found = candidate;
            return true;
        }
    }
    return false;
}

void ekInputReader::warnRoundedDegeneracy(const wchar_t* section, const wchar_t* key,
                                          double F) const
{
    // A level keeps its degeneracy factor as a whole number.
    if (has(section, key) && std::round(F) != F) {
        changedValue(section, key, nu_numberText(std::round(F)),
                     L"a degeneracy factor is a whole number");
    }
}

bool ekInputReader::readDopant(int number, const ekLayer* templ, ekLayerInput* in)
{
    const std::wstring sectionName = ek_format(L"Layer%01d", number);
    const wchar_t* s = sectionName.c_str();
    const int line = layerLine(number);
    // A doping model sets the level at every mesh point; these values only
    // stand until then.
    if (!in->script[ekLayer::MODEL_DOPING].empty()) {
        for (const wchar_t* key : {L"Dopant.Type", L"Dopant.N", L"Dopant.Nr", L"Dopant.E",
                                   L"Dopant.F", L"Dopant.Taun", L"Dopant.Taup"}) {
            if (has(s, key)) {
                unusedValue(s, key, L"Dopant.Model sets the doping");
            }
        }
        setDefaultDopant(in, ekLevel::TYPE_DONOR, 1e16);
        return true;
    }
    std::wstring word;
    in->dopantType = ekLevel::TYPE_DONOR;
    if (!checkWord(s, L"Dopant.Type",
                   {L"N", L"D", L"Donor", L"P", L"A", L"Acceptor", L"I", L"Intrinsic"})) {
        return false;
    }
    if (text(s, L"Dopant.Type", &word)) {
        if (isWord(word, {L"N", L"D", L"Donor"})) {
            in->dopantType = ekLevel::TYPE_DONOR;
        } else if (isWord(word, {L"P", L"A", L"Acceptor"})) {
            in->dopantType = ekLevel::TYPE_ACCEPTOR;
        } else if (isWord(word, {L"I", L"Intrinsic"})) {
            setDefaultDopant(in, ekLevel::TYPE_NONE, 0.0);
            return true;
        }
    }
    if (!real(s, L"Dopant.N", &in->dopantN)) {
        return fail(line, ek_format(L"layer at line %d: doping not specified: a donor or "
                                    L"acceptor layer needs Dopant.N (or Dopant.Type=\"Intrinsic\")",
                                    line + 1));
    }
    for (const wchar_t* key :
         {L"Dopant.N", L"Dopant.Nr", L"Dopant.E", L"Dopant.Taun", L"Dopant.Taup", L"Dopant.F"}) {
        if (!checkRange(s, key)) {
            return false;
        }
    }
    const ekLevel* dopant = templ->getDopant();
    in->dopantNr = 1e19;
    real(s, L"Dopant.Nr", &in->dopantNr);
    in->dopantE = dopant != nullptr ? dopant->getE() : 0.0;
    real(s, L"Dopant.E", &in->dopantE);
    in->dopantF = 1.0;
    real(s, L"Dopant.F", &in->dopantF);
    warnRoundedDegeneracy(s, L"Dopant.F", in->dopantF);
    in->dopantTaun = dopant != nullptr ? dopant->getTn() : 1e-7;
    in->dopantTaup = dopant != nullptr ? dopant->getTp() : 1e-7;
    real(s, L"Dopant.Taun", &in->dopantTaun);
    real(s, L"Dopant.Taup", &in->dopantTaup);
    return true;
}

bool ekInputReader::readTraps(int number, ekLayerInput* in)
{
    in->trapsAccepted = 0;
    const std::wstring sectionName = ek_format(L"Layer%01d", number);
    const wchar_t* s = sectionName.c_str();
    if (!in->script[ekLayer::MODEL_TRAP].empty()) {
        // The trap model makes the traps; static trap keys are not read.
        for (int i = 1; i <= ekLayerInput::TRAPS; ++i) {
            for (const wchar_t* name : {L"Type", L"N", L"Nr", L"E", L"F", L"Taun", L"Taup"}) {
                const std::wstring key = ek_format(L"Trap%01d.%ls", i, name);
                if (has(s, key.c_str())) {
                    unusedValue(s, key.c_str(), L"Trap.Model sets the traps");
                }
            }
        }
        return true;
    }
    for (int i = 1; i <= ekLayerInput::TRAPS; ++i) {
        auto key = [&](const wchar_t* name) { return ek_format(L"Trap%01d.%ls", i, name); };
        ekLayerInput::Trap trap;
        trap.number = i;
        bool typeGiven = false;
        std::wstring word;
        if (!checkWord(s, key(L"Type").c_str(), {L"D", L"Donor", L"A", L"Acceptor"})) {
            return false;
        }
        if (text(s, key(L"Type").c_str(), &word)) {
            if (isWord(word, {L"D", L"Donor"})) {
                trap.type = ekLevel::TYPE_DONOR;
                typeGiven = true;
            } else if (isWord(word, {L"A", L"Acceptor"})) {
                trap.type = ekLevel::TYPE_ACCEPTOR;
                typeGiven = true;
            }
        }
        const bool hasN = real(s, key(L"N").c_str(), &trap.N);
        const bool hasNr = real(s, key(L"Nr").c_str(), &trap.Nr);
        const bool hasE = real(s, key(L"E").c_str(), &trap.E);
        const bool hasTaun = real(s, key(L"Taun").c_str(), &trap.Taun);
        const bool hasTaup = real(s, key(L"Taup").c_str(), &trap.Taup);
        const bool touched = typeGiven || hasN || hasNr || hasE || hasTaun || hasTaup;
        if (!touched) {
            continue;
        }
        if (!(typeGiven && hasN && hasNr && hasE && hasTaun && hasTaup)) {
            std::wstring missing;
            int at = -1;
            for (const auto& [name, given] :
                 {std::pair{L"Type", typeGiven}, std::pair{L"N", hasN}, std::pair{L"Nr", hasNr},
                  std::pair{L"E", hasE}, std::pair{L"Taun", hasTaun},
                  std::pair{L"Taup", hasTaup}}) {
                if (!given) {
                    missing += (missing.empty() ? L"" : L", ") + key(name);
                } else if (at < 0 || keyLine(s, key(name).c_str()) < at) {
                    at = keyLine(s, key(name).c_str());
                }
            }
            return fail(at, ek_format(L"incomplete trap at line %d: Trap%01d misses %ls (a trap "
                                      L"is given by its Type, N, Nr, E, Taun and Taup; F is "
                                      L"optional)",
                                      at + 1, i, missing.c_str()));
        }
        for (const wchar_t* name : {L"Nr", L"E", L"Taun", L"Taup", L"F", L"N"}) {
            if (!checkRange(s, key(name).c_str())) {
                return false;
            }
        }
        trap.F = 1.0;
        real(s, key(L"F").c_str(), &trap.F);
        warnRoundedDegeneracy(s, key(L"F").c_str(), trap.F);
        if (trap.N >= TRAP_DENSITY_MIN) {
            in->traps[in->trapsAccepted++] = trap;
        } else {
            unusedValue(s, key(L"N").c_str(), L"a trap below 1e6 1/cm3 takes no part in the run");
        }
    }
    if (in->trapsAccepted > 0) {
        const ekLayerInput::Trap& first = in->traps[0];
        info(ek_format(L"[INFO]    number of traps in [Layer%d]: %d: Trap1 (%ls): N = ", number,
                       in->trapsAccepted,
                       first.type == ekLevel::TYPE_DONOR ? L"donor" : L"acceptor") +
             nu_numberText(first.N) + L" 1/cm3, Et = " + nu_numberText(first.E) + L" eV, Taun = " +
             nu_numberText(first.Taun) + L" s, Taup = " + nu_numberText(first.Taup) + L" s\n");
    }
    return true;
}
