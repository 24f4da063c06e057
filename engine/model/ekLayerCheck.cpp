// ekLayer: the whole-layer operations, the check of every stored material
// value and the copy of a layer.
#include <cwchar>
#include <new>

#include "ekLayer.h"
#include "ekLayerRanges.h"
#include "ekLevel.h"
#include "kovbase.h"
#include "nuSigma.h"

using namespace ekLayerRanges;

bool ekLayer::checkParameters()
{
    if (isBlocked()) {
        return false;
    }
    if (!energyValid(Eg, Chi, NC, NV)) {
        reportError(MSG_ENERGY);
        return false;
    }
    if (!kov_inRange(Eps, 1.0, 100.0)) {
        reportError(MSG_PERMITTIVITY);
        return false;
    }
    if (!massValid(Me, Mhh, Mlh, Msh, Eso)) {
        reportError(MSG_MASS);
        return false;
    }
    if (!urbachValid(UrbachEA, UrbachED, UrbachGA, UrbachGD, UrbachTaunA, UrbachTaupA, UrbachTaunD,
                     UrbachTaupD)) {
        reportError(MSG_URBACH);
        return false;
    }
    if (urbachTooLow(UrbachEA, UrbachED, UrbachGA, UrbachGD)) {
        urbach = false;
        reportUrbachDisabled();
        return false;
    }
    if (!thermValid(Thermc, Heat)) {
        reportError(MSG_THERM);
        return false;
    }
    if (!mobilityValid(Ebr, Mobn, Mobp)) {
        reportError(MSG_MOBILITY);
        return false;
    }
    if (!recombValid(Beta, Cn, Cp, Taun, Taup)) {
        reportError(MSG_RECOMB);
        return false;
    }
    if (!kov_inRange(LatticeA, 0.1, 1.0) || !kov_inRange(LatticeB, 0.1, 1.0) ||
        !kov_inRange(LatticeC, 0.1, 1.0)) {
        reportError(MSG_LATTICE);
        return false;
    }
    if (!piezoValid(LatticeE31, LatticeE33)) {
        reportError(MSG_PIEZO);
        return false;
    }
    LatticeE31 = liftTiny(LatticeE31);
    LatticeE33 = liftTiny(LatticeE33);
    if (!elasticValid(LatticeC11, LatticeC12, LatticeC13, LatticeC33)) {
        reportError(MSG_ELASTIC);
        return false;
    }
    if (!kov_inRange(Psp, -10.0, 10.0)) {
        reportError(MSG_SPONTANEOUS);
        return false;
    }
    Psp = liftTiny(Psp);
    return true;
}

void ekLayer::copy(const ekLayer* source)
{
    if (source == nullptr || source == this || isBlocked()) {
        return;
    }
    kov_copyW(material, MATERIAL_SIZE, source->material);
    kov_copyW(materialAC, MATERIAL_SIZE, source->materialAC);
    kov_copyW(materialBC, MATERIAL_SIZE, source->materialBC);
    group = source->group;
    compositionX = source->compositionX;
    compositionY = source->compositionY;
    bandgapBowing = source->bandgapBowing;
    affinityBowing = source->affinityBowing;
    direct = source->direct;
    tunnel = source->tunnel;
    latticeType = source->latticeType;
    LatticeA = source->LatticeA;
    LatticeB = source->LatticeB;
    LatticeC = source->LatticeC;
    LatticeE31 = source->LatticeE31;
    LatticeE33 = source->LatticeE33;
    LatticeC11 = source->LatticeC11;
    LatticeC12 = source->LatticeC12;
    LatticeC13 = source->LatticeC13;
    LatticeC33 = source->LatticeC33;
    Psp = source->Psp;

    // The rest goes through the setters, so a source holding a value out of
    // range is refused with that setter's message.
    updateMain(source->name, source->getType(), source->thickness, source->compositionX,
               source->compositionY);
    updateEnergy(source->Eg, source->Chi, source->NC, source->NV);
    updateTemperature(source->T);
    updatePermittivity(source->Eps);
    updateMass(source->Me, source->Mhh, source->Mlh, source->Msh, source->Eso);
    updateUrbach(source->UrbachEA, source->UrbachED, source->UrbachGA, source->UrbachGD,
                 source->UrbachTaunA, source->UrbachTaupA, source->UrbachTaunD, source->UrbachTaupD,
                 source->urbach);
    updateIndexnk(source->indexN, source->indexK);
    updateRecomb(source->Beta, source->Cn, source->Cp, source->Taun, source->Taup);
    updateTherm(source->Thermc, source->Heat);
    updateMobility(source->Ebr, source->Mobn, source->Mobp);
    if (isBlocked()) {
        return;
    }
    if (dopant && source->dopant) {
        dopant->copy(source->dopant);
        dopant->setSigma(sigma);
    }
    for (int kind = 0; kind < MODEL_COUNT; ++kind) {
        kov_copyW(script[kind], PATH_SIZE, source->script[kind]);
        scriptActive[kind] = source->scriptActive[kind] && script[kind][0] != L'\0';
    }
    // Where the optical index comes from (file, table, script) belongs to
    // the layer as much as its numbers: a copied device is written back to
    // a device file and must name the same source.
    copyIndexSource(source);

    removeAllTraps();
    for (int i = 0; i < source->trapCount; ++i) {
        const ekLevel* from = source->traps[i];
        if (from == nullptr) {
            continue;
        }
        ekLevel* trap = new (std::nothrow) ekLevel(sigma, from->getName(), from->getType());
        if (trap == nullptr) {
            sigma->reportNoMemory();
            return;
        }
        trap->copy(from);
        trap->setSigma(sigma);
        traps[trapCount++] = trap;
    }
    meshPoints = source->meshPoints;
}
