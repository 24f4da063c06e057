// ekLayer: life cycle, the validated parameter groups, the dopant and the
// material switch. Traps are in ekLayerTraps.cpp, the whole-layer check
// and the copy in ekLayerCheck.cpp.
#include "ekLayer.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <new>

#include "ekHelpers.h"
#include "ekLayerRanges.h"
#include "ekLevel.h"
#include "kovbase.h"
#include "nuSigma.h"

using namespace ekLayerRanges;

// ---- life cycle ---------------------------------------------------------------

ekLayer::ekLayer(nuSigma* s) : ekRegion(s) { create(s, L"Si", DEFAULT_NAME, ekLevel::TYPE_DONOR); }

ekLayer::ekLayer(nuSigma* s, const wchar_t* materialName, const wchar_t* layerName) : ekRegion(s)
{
    create(s, materialName, layerName, ekLevel::TYPE_DONOR);
}

ekLayer::~ekLayer() { releaseResources(); }

bool ekLayer::create(nuSigma* s, const wchar_t* materialName, const wchar_t* layerName,
                     uint8_t type)
{
    name[0] = L'\0';
    material[0] = L'\0';
    materialAC[0] = L'\0';
    materialBC[0] = L'\0';
    dataRef[0] = L'\0';
    kov_copyW(material, MATERIAL_SIZE, L"Si");
    tunnel = false;
    urbach = false;
    UrbachEA = 0.025;
    UrbachED = 0.05;
    UrbachGA = 1e20;
    UrbachGD = 1e20;
    UrbachTaunA = UrbachTaupA = UrbachTaunD = UrbachTaupD = 1e-8;
    T = 300.0;
    removeAllTraps();
    meshPoints = 100;
    luaEngine = nullptr;
    for (int kind = 0; kind < MODEL_COUNT; ++kind) {
        script[kind][0] = L'\0';
        scriptActive[kind] = false;
        scriptGraded[kind] = true;
        scriptInfoPrinted[kind] = false;
    }
    sigma = s;
    delete dopant;
    dopant = new (std::nothrow) ekLevel(sigma, L"LevelX", ekLevel::TYPE_DONOR);
    if (dopant == nullptr) {
        if (sigma) {
            sigma->reportNoMemory();
        }
        return false;
    }
    dopant->update(L"Donor", ekLevel::TYPE_DONOR, 1e16, 1e19, 0.0, 0.0, 1e-7, 1e-7, 1.0);
    return init(materialName, layerName, type);
}

void ekLayer::releaseResources()
{
    releaseSpectrum();
    releaseDataIndex();
    delete dopant;
    dopant = nullptr;
    removeAllTraps();
}

void ekLayer::setSigma(nuSigma* s)
{
    sigma = s;
    if (dopant) {
        dopant->setSigma(s);
    }
    for (ekLevel* trap : traps) {
        if (trap) {
            trap->setSigma(s);
        }
    }
}

// ---- validated parameter groups ----------------------------------------------------

bool ekLayer::updateMain(const wchar_t* newName, uint8_t dopantType, double t, double x, double y)
{
    if (isBlocked() || newName == nullptr) {
        return false;
    }
    if (!kov_inRange(t, 1e-4, 1e4)) {
        reportError(MSG_THICKNESS);
        return false;
    }
    if (!kov_inRange(x, 0.0, 1.0) || !kov_inRange(y, 0.0, 1.0)) {
        reportError(MSG_COMPOSITION);
        return false;
    }
    if (newName != name && wcscasecmp(newName, DEFAULT_NAME) != 0) {
        kov_copyW(name, NAME_SIZE, newName);
    }
    thickness = t;
    compositionX = x;
    compositionY = y;
    applyDopantType(dopantType);
    return true;
}

bool ekLayer::updateMain(double t, double x, double y, double bandgapBow, double affinityBow)
{
    if (isBlocked()) {
        return false;
    }
    if (!kov_inRange(t, 1e-4, 1e4)) {
        reportError(MSG_THICKNESS);
        return false;
    }
    if (!kov_inRange(x, 0.0, 1.0) || !kov_inRange(y, 0.0, 1.0)) {
        reportError(MSG_COMPOSITION);
        return false;
    }
    if (!kov_inRange(bandgapBow, -20.0, 20.0) || !kov_inRange(affinityBow, -20.0, 20.0)) {
        reportError(MSG_BOWING);
        return false;
    }
    thickness = t;
    compositionX = x;
    compositionY = y;
    bandgapBowing = bandgapBow;
    affinityBowing = affinityBow;
    return true;
}

bool ekLayer::updateTemperature(double temperature)
{
    if (isBlocked()) {
        return false;
    }
    if (!kov_inRange(temperature, 1.0, 2000.0)) {
        reportError(MSG_TEMPERATURE);
        return false;
    }
    T = temperature;
    return true;
}

bool ekLayer::updateEnergy(double eg, double chi, double nc, double nv)
{
    if (isBlocked()) {
        return false;
    }
    if (!energyValid(eg, chi, nc, nv)) {
        reportError(MSG_ENERGY);
        return false;
    }
    Eg = eg;
    Chi = chi;
    NC = nc;
    NV = nv;
    return true;
}

bool ekLayer::updatePermittivity(double eps)
{
    if (isBlocked()) {
        return false;
    }
    if (!kov_inRange(eps, 1.0, 100.0)) {
        reportError(MSG_PERMITTIVITY);
        return false;
    }
    Eps = eps;
    return true;
}

bool ekLayer::updateBandgap(double eg)
{
    if (isBlocked()) {
        return false;
    }
    if (!kov_inRange(eg, 0.001, 20.0)) {
        reportError(MSG_BANDGAP);
        return false;
    }
    Eg = eg;
    return true;
}

bool ekLayer::updateMass(double me, double mhh, double mlh, double msh, double eso)
{
    if (isBlocked()) {
        return false;
    }
    if (!massValid(me, mhh, mlh, msh, eso)) {
        reportError(MSG_MASS);
        return false;
    }
    Me = me;
    Mhh = mhh;
    Mlh = mlh;
    Msh = msh;
    Eso = eso;
    return true;
}

bool ekLayer::urbachValid(double ea, double ed, double ga, double gd, double taunA, double taupA,
                          double taunD, double taupD)
{
    return kov_inRange(ea, 0.0, 5.0) && kov_inRange(ed, 0.0, 5.0) &&
           kov_inRange(ea * 0.5 * ga, 0.0, 1e24) && kov_inRange(ed * 0.5 * gd, 0.0, 1e24) &&
           kov_inRange(taunA, 1e-15, 1000.0) && kov_inRange(taupA, 1e-15, 1000.0) &&
           kov_inRange(taunD, 1e-15, 1000.0) && kov_inRange(taupD, 1e-15, 1000.0);
}

bool ekLayer::urbachTooLow(double ea, double ed, double ga, double gd)
{
    return ea < 0.001 || ed < 0.001 || ea * 0.5 * ga < 1e6 || ed * 0.5 * gd < 1e6;
}

void ekLayer::reportUrbachDisabled() const { reportInfo(MSG_URBACH_OFF); }

bool ekLayer::updateUrbach(double ea, double ed, double ga, double gd, double taunA, double taupA,
                           double taunD, double taupD, bool enable)
{
    if (isBlocked()) {
        return false;
    }
    if (!urbachValid(ea, ed, ga, gd, taunA, taupA, taunD, taupD)) {
        reportError(MSG_URBACH);
        return false;
    }
    if (urbachTooLow(ea, ed, ga, gd)) {
        urbach = false;
        reportUrbachDisabled();
        return true;
    }
    UrbachEA = ea;
    UrbachED = ed;
    UrbachGA = ga;
    UrbachGD = gd;
    UrbachTaunA = taunA;
    UrbachTaupA = taupA;
    UrbachTaunD = taunD;
    UrbachTaupD = taupD;
    urbach = enable;
    return true;
}

bool ekLayer::updateTherm(double thermc, double heat)
{
    if (isBlocked()) {
        return false;
    }
    if (!thermValid(thermc, heat)) {
        reportError(MSG_THERM);
        return false;
    }
    Thermc = thermc;
    Heat = heat;
    return true;
}

bool ekLayer::updateMobility(double ebr, double mobn, double mobp)
{
    if (isBlocked()) {
        return false;
    }
    if (!mobilityValid(ebr, mobn, mobp)) {
        reportError(MSG_MOBILITY);
        return false;
    }
    Ebr = ebr;
    Mobn = mobn;
    Mobp = mobp;
    return true;
}

bool ekLayer::updateRecomb(double beta, double cn, double cp, double taun, double taup)
{
    if (isBlocked()) {
        return false;
    }
    if (!recombValid(beta, cn, cp, taun, taup)) {
        reportError(MSG_RECOMB);
        return false;
    }
    Beta = beta;
    Cn = cn;
    Cp = cp;
    Taun = taun;
    Taup = taup;
    return true;
}

bool ekLayer::updateLattice(uint8_t type, double a, double b, double c, double e31, double e33,
                            double c11, double c12, double c13, double c33, double psp)
{
    if (isBlocked()) {
        return false;
    }
    if (!kov_inRange(a, 0.1, 1.0)) {
        reportError(MSG_LATTICE);
        return false;
    }
    if (!piezoValid(e31, e33)) {
        reportError(MSG_PIEZO);
        return false;
    }
    if (!elasticValid(c11, c12, c13, c33)) {
        reportError(MSG_ELASTIC);
        return false;
    }
    if (!kov_inRange(psp, -10.0, 10.0)) {
        reportError(MSG_SPONTANEOUS);
        return false;
    }
    latticeType = type;
    LatticeA = a;
    LatticeB = b;
    LatticeC = c;
    LatticeE31 = liftTiny(e31);
    LatticeE33 = liftTiny(e33);
    LatticeC11 = c11;
    LatticeC12 = c12;
    LatticeC13 = c13;
    LatticeC33 = c33;
    Psp = liftTiny(psp);
    return true;
}

// ---- plain stores -------------------------------------------------------------------

void ekLayer::setDirect(bool on)
{
    if (!isBlocked() && !isStandardMaterial()) {
        direct = on;
    }
}

void ekLayer::updateMesh(int n)
{
    if (!isBlocked()) {
        meshPoints = n < MESH_POINTS_MIN ? MESH_POINTS_MIN : std::min(n, MESH_POINTS_MAX);
    }
}

void ekLayer::resetMobility(double mobn, double mobp)
{
    if (!isBlocked()) {
        Mobn = mobn;
        Mobp = mobp;
        Ebr = 3e5;
    }
}

// ---- dopant ---------------------------------------------------------------------------

uint8_t ekLayer::getType() const { return dopant ? dopant->getType() : ekLevel::TYPE_NONE; }

double ekLayer::capEnergy(double E) const { return std::min(Eg * 0.5, E); }

void ekLayer::applyDopantType(uint8_t type)
{
    if (dopant) {
        dopant->update(DOPANT_UPDATE_NAME, type);
    }
}

void ekLayer::resetType(uint8_t type, double taun, double taup)
{
    if (isBlocked() || dopant == nullptr) {
        return;
    }
    switch (type) {
    case ekLevel::TYPE_NONE:
        dopant->update(L"Donor", type, 0.0, 1e19, 0.0, 0.0, taun, taup, 1.0);
        break;
    case ekLevel::TYPE_DONOR:
        dopant->update(L"Donor", type, 1e16, 1e19, 0.0, 0.0, taun, taup, 1.0);
        break;
    case ekLevel::TYPE_ACCEPTOR:
        dopant->update(L"Acceptor", type, 1e16, 1e19, 0.0, 0.0, taun, taup, 1.0);
        break;
    default: break;
    }
}

bool ekLayer::updateDopant(uint8_t type, double N, double Nr)
{
    if (isBlocked() || dopant == nullptr) {
        return false;
    }
    return updateDopant(type, N, Nr, dopant->getE(), dopant->getW());
}

bool ekLayer::updateDopant(uint8_t type, double N, double Nr, double E)
{
    if (isBlocked() || dopant == nullptr) {
        return false;
    }
    return updateDopant(type, N, Nr, E, dopant->getW());
}

bool ekLayer::updateDopant(uint8_t type, double N, double Nr, double E, double W)
{
    if (isBlocked() || dopant == nullptr) {
        return false;
    }
    dopant->update(DOPANT_UPDATE_NAME, type, N, Nr, E, W, dopant->getTn(), dopant->getTp(),
                   dopant->getF());
    return sigma->isOK();
}

bool ekLayer::updateDopant(uint8_t type, double N, double Nr, double E, double W, double taun,
                           double taup)
{
    if (isBlocked() || dopant == nullptr) {
        return false;
    }
    return updateDopant(type, N, Nr, E, W, taun, taup, dopant->getF());
}

bool ekLayer::updateDopant(uint8_t type, double N, double Nr, double E, double W, double taun,
                           double taup, double F)
{
    if (isBlocked() || dopant == nullptr) {
        return false;
    }
    dopant->update(DOPANT_UPDATE_NAME, type, N, Nr, capEnergy(E), W, taun, taup, F);
    return sigma->isOK();
}

bool ekLayer::updateDopant(const ekLevel* level)
{
    if (isBlocked() || dopant == nullptr || level == nullptr) {
        return false;
    }
    dopant->copy(level);
    // The level may come from another run's channel; the layer's own
    // dopant always reports on the layer's.
    dopant->setSigma(sigma);
    return true;
}

// ---- material and names -----------------------------------------------------------------

void ekLayer::setMaterial(const wchar_t* materialName, bool reinit)
{
    if (isBlocked() || materialName == nullptr || materialName == material) {
        return;
    }
    if (reinit) {
        init(isStandardMaterial(materialName) ? materialName : L"Si", name, getType());
    }
    kov_copyW(material, MATERIAL_SIZE, materialName);
    updateAlloy();
}

void ekLayer::getDataRef(wchar_t* buffer) const
{
    if (buffer) {
        kov_copyW(buffer, DATAREF_SIZE, dataRef);
    }
}

const wchar_t* ekLayer::getScript(ModelKind kind) const
{
    if (kind < 0 || kind >= MODEL_COUNT || script[kind][0] == L'\0') {
        return nullptr;
    }
    return script[kind];
}

bool ekLayer::isScript(ModelKind kind) const
{
    return kind >= 0 && kind < MODEL_COUNT && scriptActive[kind];
}

bool ekLayer::isScriptGraded(ModelKind kind) const
{
    return kind >= 0 && kind < MODEL_COUNT && scriptGraded[kind];
}
