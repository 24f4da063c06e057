// Device-file reader: one layer from its section. The keys are read against
// a template layer of the material, then the layer is inserted and its
// parameters set group by group through the validating setters; an alloy
// takes its parameters from its two end members, weighted by composition.
#include <cwchar>
#include <memory>
#include <new>

#include "ElecDevice.h"
#include "ekFormat.h"
#include "ekAlloyKeys.h"
#include "ekInputReader.h"
#include "ekLevel.h"
#include "ekMaterialDatabase.h"
#include "kovbase.h"
#include "nucore.h"

namespace {

constexpr size_t LAYER_MATERIAL_LENGTH = 31;

// Effective masses and split-off energy of every layer that is no alloy.
constexpr double MASS_ME = 0.36, MASS_MHH = 0.49, MASS_MLH = 0.16, MASS_MSH = 0.24;
constexpr double ENERGY_ESO = 0.044;
constexpr double THERM_C = 1.3, THERM_HEAT = 0.7;
constexpr double FIELD_EBR = 1e6;
constexpr double LATTICE_B = 4.0, LATTICE_C = 4.0;

// Placeholders a trap model fills in at every mesh point.
constexpr double PLACEHOLDER_N = 1e15, PLACEHOLDER_STEP = 1e14;

// An alloy parameter between its two end members.
struct Alloy {
    const ekLayer* ac;
    const ekLayer* bc;
    double x;

    double mix(double (ekLayer::*get)() const) const
    {
        return x * (ac->*get)() + (1.0 - x) * (bc->*get)();
    }
    double mixBowed(double (ekLayer::*get)() const, double bowing) const
    {
        return mix(get) - x * (1.0 - x) * bowing;
    }
};

}  // namespace

bool ekInputReader::applyLayer(int number)
{
    const int line = layerLine(number);
    info(ek_format(L"[INFO]    loading [Layer%d]...\n", number));

    ekLayerInput in;
    in.material = L"Si";
    std::wstring material;
    const std::wstring sectionName = ek_format(L"Layer%01d", number);
    if (text(sectionName.c_str(), L"Material", &material)) {
        in.material = material.substr(0, LAYER_MATERIAL_LENGTH);
    }
    in.builtIn = ekLayer::isStandardMaterial(in.material.c_str());
    // A material outside the built-in table is taken from the material
    // database; a name neither knows would silently become silicon.
    if (!in.builtIn && !ek_isDatabaseMaterial(in.material.c_str())) {
        std::wstring known;
        for (int i = 0; i < ekLayer::MATERIAL_COUNT; ++i) {
            known += (i == 0 ? L"" : L", ") + std::wstring(ekLayer::MATERIAL[i]);
        }
        const wchar_t* section = sectionName.c_str();
        const int at = keyLine(section, L"Material");
        // A broken database hides its materials: say so rather than let
        // the name look misspelt.
        const std::wstring problem = ek_materialDatabaseProblem();
        if (!problem.empty()) {
            return fail(at, ek_format(L"unknown material at line %d: %ls (known: %ls; %ls)", at + 1,
                                      written(section, L"Material").c_str(), known.c_str(),
                                      problem.c_str()));
        }
        return fail(at, ek_format(L"unknown material at line %d: %ls (known: %ls, and the "
                                  L"materials of the database semiconductor.kovradb)",
                                  at + 1, written(section, L"Material").c_str(), known.c_str()));
    }

    std::unique_ptr<ekLayer> templ(new (std::nothrow)
                                       ekLayer(sigma, in.material.c_str(), ekLayer::DEFAULT_NAME));
    if (templ == nullptr) {
        setLineOut(0);
        sigma->reportNoMemory();
        return false;
    }
    if (sigma->err != 0) {
        return failReported(line);
    }
    const bool read = readLayer(number, templ.get(), &in);
    templ.reset();
    if (read) {
        warnUnusedLayerKeys(number, in);
    }
    return read && buildLayer(number, in);
}

bool ekInputReader::buildLayer(int number, const ekLayerInput& in)
{
    const int line = layerLine(number);
    const std::wstring name = ek_format(L"Layer%01d", number);
    ekLayer* layer = device->insertLayer(device->getLayerCount(), in.material.c_str(), name.c_str(),
                                         ekLevel::TYPE_DONOR);
    if (layer == nullptr) {
        return failReported(line);
    }
    layer->updateMaterial(in.material.c_str());

    std::unique_ptr<ekLayer> ac, bc;
    if (layer->isAlloy()) {
        ac.reset(new (std::nothrow) ekLayer(sigma, layer->getMaterialAC(), L"LayerAC"));
        bc.reset(new (std::nothrow) ekLayer(sigma, layer->getMaterialBC(), L"LayerBC"));
        if (ac == nullptr || bc == nullptr) {
            return fail(line, std::wstring(L"cannot set alloy parameters: ") + KOV_NO_MEMORY_W);
        }
        if (sigma->err != 0) {
            return failReported(line);
        }
    }
    const bool alloy = ac != nullptr;
    const Alloy mix{ac.get(), bc.get(), in.x};
    if (alloy) {
        for (const wchar_t* key : EK_ALLOY_DERIVED_KEYS) {
            if (has(name.c_str(), key)) {
                unusedValue(name.c_str(), key,
                            L"an alloy takes it from its end members, weighted by Composition.x");
            }
        }
    }

    layer->updateMain(in.thickness, in.x, 0.0, in.bandgapBowing, in.affinityBowing);
    if (alloy) {
        layer->updateEnergy(mix.mixBowed(&ekLayer::getBandgap, in.bandgapBowing),
                            mix.mixBowed(&ekLayer::getAffinity, in.affinityBowing),
                            mix.mix(&ekLayer::getNC), mix.mix(&ekLayer::getNV));
    } else {
        layer->updateEnergy(in.Eg, in.Chi, in.NC, in.NV);
    }
    if (!in.builtIn) {
        layer->setDirect(in.direct);
    }
    layer->updatePermittivity(alloy ? mix.mix(&ekLayer::getEps) : in.Eps);
    if (alloy) {
        layer->updateMass(mix.mix(&ekLayer::getMe), mix.mix(&ekLayer::getMhh),
                          mix.mix(&ekLayer::getMlh), mix.mix(&ekLayer::getMsh),
                          mix.mix(&ekLayer::getEso));
    } else {
        layer->updateMass(MASS_ME, MASS_MHH, MASS_MLH, MASS_MSH, ENERGY_ESO);
    }
    if (sigma->err != 0) {
        return failReported(line);
    }

    layer->updateUrbach(in.EA, in.ED, in.GA, in.GD, in.TaunA, in.TaupA, in.TaunD, in.TaupD,
                        in.urbach);
    if (layer->isUrbach()) {
        info(ek_format(L"[INFO]    Urbach tail defined in [Layer%d]: EA = ", number) +
             nu_numberText(in.EA) + L" eV, ED = " + nu_numberText(in.ED) + L" eV, GA = " +
             nu_numberText(in.GA) + L" 1/cm3/eV, GD = " + nu_numberText(in.GD) +
             L" 1/cm3/eV, TaunA = " + nu_numberText(in.TaunA) + L" s, TaupA = " +
             nu_numberText(in.TaupA) + L" s, TaunD = " + nu_numberText(in.TaunD) + L" s, TaupD = " +
             nu_numberText(in.TaupD) + L" s\n");
    }
    if (alloy) {
        layer->updateIndexnk(mix.mix(&ekLayer::getIndexn), mix.mix(&ekLayer::getIndexk));
    } else {
        layer->updateIndexnk(in.indexN, in.indexK);
    }
    if (sigma->err != 0 || !buildLayerIndex(number, layer, in)) {
        return failReported(line);
    }

    if (alloy) {
        layer->updateRecomb(mix.mix(&ekLayer::getBeta), mix.mix(&ekLayer::getCn),
                            mix.mix(&ekLayer::getCp), mix.mix(&ekLayer::getTaun),
                            mix.mix(&ekLayer::getTaup));
        layer->updateTherm(mix.mix(&ekLayer::getThermc), mix.mix(&ekLayer::getHeat));
    } else {
        layer->updateRecomb(in.Beta, in.Cn, in.Cp, in.Taun, in.Taup);
        layer->updateTherm(THERM_C, THERM_HEAT);
    }
    layer->updateDopant(in.dopantType, in.dopantN, in.dopantNr, in.dopantE, 0.0, in.dopantTaun,
                        in.dopantTaup, in.dopantF);
    layer->updateTemperature(device->getT());
    if (sigma->err != 0) {
        return failReported(line);
    }
    warnCappedEnergies(number, layer, in);

    if (alloy) {
        layer->updateMobility(mix.mix(&ekLayer::getEbr), mix.mix(&ekLayer::getMobn),
                              mix.mix(&ekLayer::getMobp));
    } else {
        layer->updateMobility(FIELD_EBR, in.Mobn, in.Mobp);
    }
    const std::wstring* script = in.script;
    if (!script[ekLayer::MODEL_MOBILITY].empty()) {
        layer->updateMobilityScript(script[ekLayer::MODEL_MOBILITY].c_str(), true);
    }
    if (sigma->err != 0) {
        return failReported(line);
    }

    if (alloy) {
        layer->updateLattice(in.latticeType, mix.mix(&ekLayer::getLatticeA),
                             mix.mix(&ekLayer::getLatticeB), mix.mix(&ekLayer::getLatticeC),
                             mix.mix(&ekLayer::getLatticeE31), mix.mix(&ekLayer::getLatticeE33),
                             mix.mix(&ekLayer::getLatticeC11), mix.mix(&ekLayer::getLatticeC12),
                             mix.mix(&ekLayer::getLatticeC13), mix.mix(&ekLayer::getLatticeC33),
                             mix.mix(&ekLayer::getPsp));
    } else {
        layer->updateLattice(in.latticeType, in.latticeA, LATTICE_B, LATTICE_C, in.e31, in.e33, 0.0,
                             0.0, in.c13, in.c33, in.Psp);
    }
    const bool lattice = !script[ekLayer::MODEL_LATTICE].empty();
    if (lattice) {
        layer->updateLatticeScript(script[ekLayer::MODEL_LATTICE].c_str(), true);
    }
    if (sigma->err != 0) {
        return failReported(line);
    }

    bool ok = true;
    if (!script[ekLayer::MODEL_PERMITTIVITY].empty()) {
        ok = layer->updatePermittivityScript(script[ekLayer::MODEL_PERMITTIVITY].c_str(), true);
    }
    if (ok && !script[ekLayer::MODEL_DOPING].empty()) {
        ok = layer->updateDopingScript(script[ekLayer::MODEL_DOPING].c_str(), true);
    }
    ok = ok && addLayerTraps(layer, in);
    if (ok && !script[ekLayer::MODEL_TRAP].empty()) {
        ok = layer->updateTrapScript(script[ekLayer::MODEL_TRAP].c_str(), true);
    }
    if (ok && !script[ekLayer::MODEL_BANDGAP].empty()) {
        ok = layer->updateBandgapScript(script[ekLayer::MODEL_BANDGAP].c_str(), true);
    }
    if (ok && !script[ekLayer::MODEL_RECOMBINATION].empty()) {
        ok = layer->updateRecombinationScript(script[ekLayer::MODEL_RECOMBINATION].c_str(), true);
    }
    if (ok && lattice) {
        ok = layer->updateLatticeScript(script[ekLayer::MODEL_LATTICE].c_str(), true);
    }
    if (!ok || sigma->err != 0) {
        return failReported(line);
    }

    layer->updateMesh(in.meshPoints);
    if (sigma->err != 0) {
        return failReported(line);
    }

    const ekLevel* dopant = layer->getDopant();
    info(ek_format(L"[INFO]    [Layer%d]:  %ls = ", number,
                   dopant != nullptr && dopant->getType() == ekLevel::TYPE_DONOR ? L"ND" : L"NA") +
         nu_numberText(dopant != nullptr ? dopant->getN() : 0.0) + L" 1/cm3   t = " +
         nu_numberText(layer->getThickness()) + L" um   Eg = " +
         nu_numberText(layer->getBandgap()) + L" eV   Chi = " +
         nu_numberText(layer->getAffinity()) + L" eV   un = " + nu_numberText(layer->getMobn()) +
         L" cm2/Vs   up = " + nu_numberText(layer->getMobp()) + L" cm2/Vs\n");
    ++layersApplied;
    return true;
}

bool ekInputReader::buildLayerIndex(int number, ekLayer* layer, const ekLayerInput& in)
{
    const int line = layerLine(number);
    switch (in.indexSource) {
    case ekLayerInput::IndexSource::File:
        if (!layer->updateIndexFile(in.indexPath.c_str(), true) || !layer->loadIndexFile()) {
            return false;
        }
        info(ek_format(L"[INFO]    index file: \"%ls\"\n", in.indexPath.c_str()));
        return true;
    case ekLayerInput::IndexSource::Model:
        if (!layer->updateIndexScript(in.indexPath.c_str(), true)) {
            return false;
        }
        info(ek_format(L"[INFO]    index model: \"%ls\"\n", in.indexPath.c_str()));
        return true;
    case ekLayerInput::IndexSource::Database: {
        double first = 0.0, last = 0.0;
        int count = 0;
        if (!layer->updateDataIndex(true) || !layer->getDataIndex(&first, &last, &count)) {
            // Without data the request cannot be met: say so, the region
            // may have said nothing.
            if (sigma->err == 0) {
                fail(line, ek_format(L"layer at line %d: no index data in the material "
                                     L"database for %ls",
                                     line + 1, in.material.c_str()));
            }
            return false;
        }
        info(ek_format(L"[INFO]    index from database: %d points (from ", count) +
             nu_numberText(first) + L" um to " + nu_numberText(last) + L" um)\n");
        return true;
    }
    case ekLayerInput::IndexSource::Constant: break;
    }
    return true;
}

void ekInputReader::warnCappedEnergies(int number, const ekLayer* layer,
                                       const ekLayerInput& in) const
{
    // A bandgap model gives each point its own gap and cap; the constant
    // gap of the layer says nothing about them.
    if (!in.script[ekLayer::MODEL_BANDGAP].empty()) {
        return;
    }
    const std::wstring section = ek_format(L"Layer%01d", number);
    const double cap = layer->getBandgap() / 2.0;
    const std::wstring gap =
        L"half the bandgap of " + section + L", " + nu_numberText(layer->getBandgap()) + L" eV";
    auto check = [&](const std::wstring& key, double E, const wchar_t* counted) {
        if (E > cap && has(section.c_str(), key.c_str())) {
            changedValue(section.c_str(), key.c_str(), nu_numberText(cap),
                         L"a level lies at most " + gap + L", from " + counted);
        }
    };
    if (in.script[ekLayer::MODEL_DOPING].empty() && in.dopantType != ekLevel::TYPE_NONE) {
        check(L"Dopant.E", in.dopantE, L"its band edge");
    }
    for (int i = 0; i < in.trapsAccepted; ++i) {
        check(ek_format(L"Trap%01d.E", in.traps[i].number), in.traps[i].E, L"midgap");
    }
}

bool ekInputReader::addLayerTraps(ekLayer* layer, const ekLayerInput& in)
{
    int made = 0;
    for (int i = 0; i < in.trapsAccepted; ++i) {
        const ekLayerInput::Trap& trap = in.traps[i];
        const std::wstring name = ek_format(L"D%01d", ++made);
        if (layer->addTrap(name.c_str(), trap.type, trap.N, trap.Nr, trap.E, 0.0, trap.Taun,
                           trap.Taup, trap.F, true) == nullptr) {
            return false;
        }
    }
    for (int j = in.trapsAccepted; j < in.trapCount; ++j) {
        const std::wstring name = ek_format(L"D%01d", j + 1);
        if (layer->addTrap(name.c_str(), ekLevel::TYPE_ACCEPTOR,
                           PLACEHOLDER_N + j * PLACEHOLDER_STEP, 1e19, 0.0, 0.01, 1e-8, 1e-8, 4.0,
                           true) == nullptr) {
            return false;
        }
    }
    return true;
}
