#include "ekContact.h"

#include <cwchar>

#include "kovbase.h"
#include "nuSigma.h"

namespace {

struct Metal {
    const wchar_t* name;
    double n;
    double k;
};

// Optical index of the contact metals the engine knows by name.
constexpr Metal METALS[ekContact::METAL_COUNT] = {
    {L"Al", 0.72079, 5.6418}, {L"Ag", 0.042204, 3.4332}, {L"Au", 0.43804, 2.295},
    {L"Cu", 0.95753, 2.6036}, {L"Ni", 1.1317, 1.7954},   {L"Pt", 1.34, 1.03},
    {L"Ti", 1.25, 0.962},
};

}  // namespace

ekContact::ekContact(nuSigma* sigma) : ekRegion(sigma) { reset(); }

ekContact::~ekContact() { releaseResources(); }

void ekContact::releaseResources()
{
    releaseSpectrum();
    releaseDataIndex();
}

void ekContact::reset()
{
    ekRegion::reset();
    kov_copyW(name, NAME_SIZE, DEFAULT_NAME);
    group = TYPE_OHMIC;
    previousLayer = nullptr;
    nextLayer = nullptr;
    barrierHeight = 0.0;
    electronVelocity = DEFAULT_VELOCITY;
    holeVelocity = DEFAULT_VELOCITY;
    tunnelling = false;
    boundaryType = BOUNDARY_NEUMANN;
    boundarySet = false;
}

void ekContact::update(const wchar_t* newName, double phi, double Rn, double Rp, uint8_t type,
                       ekLayer* layerBefore, ekLayer* layerAfter, int position)
{
    if (sigma == nullptr || sigma->err != 0 || newName == nullptr) {
        return;
    }
    if (static_cast<unsigned int>(position) >= POSITION_LIMIT) {
        return;
    }

    if (!kov_inRange(phi, 0.0, 5.0) || !kov_inRange(Rn, 1e-4, 1e8) || !kov_inRange(Rp, 1e-4, 1e8)) {
        sigma->error(L"invalid contact parameters");
        return;
    }

    if (wcscasecmp(newName, DEFAULT_NAME) != 0) {
        kov_copyW(name, NAME_SIZE, newName);
    }
    previousLayer = layerBefore;
    nextLayer = layerAfter;
    pos = position;
    if (phi < BARRIER_THRESHOLD) {
        phi = 0.0;
        type = TYPE_OHMIC;
    }
    barrierHeight = phi;
    electronVelocity = Rn;
    holeVelocity = Rp;
    group = type;
}

void ekContact::updateMaterial(const wchar_t* newMaterial)
{
    if (newMaterial == nullptr) {
        return;
    }
    // The region marks an alloy in the group byte, which for a contact holds
    // its kind: an alloy name must not turn a Schottky contact ohmic.
    const uint8_t kind = group;
    ekRegion::updateMaterial(newMaterial);
    group = kind;

    int metal = -1;
    if (isStandardMaterial(material, &metal)) {
        indexN = METALS[metal].n;
        indexK = METALS[metal].k;
    }
}

bool ekContact::isStandardMaterial(const wchar_t* name, int* index)
{
    if (name == nullptr) {
        return false;
    }
    for (int i = 0; i < METAL_COUNT; ++i) {
        if (wcscasecmp(name, METALS[i].name) == 0) {
            if (index != nullptr) {
                *index = i;
            }
            return true;
        }
    }
    return false;
}

bool ekContact::getIndex(double z, double layerThickness, double bandgap, double wavelength,
                         double* n, double* k, bool report)
{
    if (sigma == nullptr || sigma->err != 0 || n == nullptr || k == nullptr) {
        return false;
    }
    if (!isIndexScript()) {
        *n = indexN;
        *k = indexK;
        return true;
    }
    return ekRegion::getIndex(z, layerThickness, bandgap, wavelength, n, k, report);
}

void ekContact::getOptic(wchar_t* materialOut, double* thicknessOut, double* nOut,
                         double* kOut) const
{
    if (materialOut != nullptr) {
        kov_copyW(materialOut, MATERIAL_SIZE, material);
    }
    if (thicknessOut != nullptr) {
        *thicknessOut = thickness;
    }
    if (nOut != nullptr) {
        *nOut = indexN;
    }
    if (kOut != nullptr) {
        *kOut = indexK;
    }
}

void ekContact::copy(const ekContact* source)
{
    if (source == nullptr || source == this) {
        return;
    }
    sigma = source->sigma;
    kov_copyW(name, NAME_SIZE, source->name);
    thickness = source->thickness;
    previousLayer = source->previousLayer;
    nextLayer = source->nextLayer;
    pos = source->pos;
    group = source->group;
    barrierHeight = source->barrierHeight;
    electronVelocity = source->electronVelocity;
    holeVelocity = source->holeVelocity;
    // A copy that dropped these would describe a different contact: the
    // device written from a copy must read back as the original.
    tunnelling = source->tunnelling;
    boundaryType = source->boundaryType;
    boundarySet = source->boundarySet;
    kov_copyW(indexScript, PATH_SIZE, source->indexScript);
    copyIndexSource(source);
    indexN = source->indexN;
    indexK = source->indexK;
    updateMaterial(source->material);
}
