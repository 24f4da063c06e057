// ekMeshFields: allocation and release of the per-point arrays and the
// small readers of the structure set-up results.
#include "ekMeshFields.h"

#include <new>

#include "ekLimits.h"
#include "ekStructureBuilder.h"
#include "nuSigma.h"

ekMeshFields::ekMeshFields()
{
    for (int& index : interfaceIndex) {
        index = -1;
    }
    for (auto& pair : polPairs) {
        pair[0] = -1;
        pair[1] = -1;
    }
}

ekMeshFields::~ekMeshFields()
{
    // The tracked arrays go back through the channel (release); only the
    // point layers are the object's own.
    delete[] pointLayer;
}

template <typename F>
void ekMeshFields::forEachArray(F&& f)
{
    // Material block: four runs, each led by its byte array.
    f(mat.pointKind);
    f(mat.Eg), f(mat.Chi), f(mat.NC), f(mat.NV), f(mat.ni), f(mat.niRef), f(mat.offN), f(mat.offP),
        f(mat.Eps);
    f(mat.gapKind);
    f(mat.indexN), f(mat.indexK), f(mat.Mobn), f(mat.Mobp), f(mat.Beta), f(mat.Cn), f(mat.Cp),
        f(mat.Taun), f(mat.Taup), f(mat.Gop), f(mat.photonFlux);
    f(mat.dopantKind);
    f(mat.dopantN), f(mat.dopantE), f(mat.dopantTaun), f(mat.dopantTaup), f(mat.dopantIon),
        f(mat.dopantF), f(mat.dopantN1), f(mat.dopantP1);
    f(mat.urbachFlag);
    f(mat.urbachEA), f(mat.urbachED), f(mat.urbachGA), f(mat.urbachGD), f(mat.urbachTaunA),
        f(mat.urbachTaupA), f(mat.urbachTaunD), f(mat.urbachTaupD), f(mat.absorptionEU),
        f(mat.absorptionEdge), f(mat.absorptionKEdge), f(mat.polTotal), f(mat.polSpont),
        f(mat.polPiezo);
    // Trap block, slot by slot.
    for (ekTrapArrays& t : trap) {
        f(t.kind);
        f(t.N), f(t.E), f(t.W), f(t.Taun), f(t.Taup), f(t.g), f(t.p1), f(t.n1);
    }
    // Solution block.
    f(sol.z), f(sol.V), f(sol.Veq), f(sol.nEq), f(sol.pEq), f(sol.Vn), f(sol.Vp), f(sol.work1),
        f(sol.work2), f(sol.Fn), f(sol.Fp), f(sol.En), f(sol.Ep), f(sol.work3), f(sol.work4),
        f(sol.EC), f(sol.EV), f(sol.n), f(sol.p), f(sol.Ndx), f(sol.Nax), f(sol.Ntdx), f(sol.Ntax),
        f(sol.RD), f(sol.RA), f(sol.RSRH), f(sol.Jn), f(sol.Jp), f(sol.Q), f(sol.work5),
        f(sol.Qssp), f(sol.Qspi);
}

namespace {

struct ArrayAllocator {
    nuSigma* sigma;
    size_t n;
    size_t* bytes;
    bool ok = true;
    void operator()(double*& a)
    {
        a = sigma->mallocDbl(n, true);
        ok = ok && a != nullptr;
        *bytes += n * sizeof(double);
    }
    void operator()(uint8_t*& a)
    {
        a = sigma->mallocBt(n, true);
        ok = ok && a != nullptr;
        *bytes += n;
    }
};

struct ArrayReleaser {
    nuSigma* sigma;
    void operator()(double*& a)
    {
        if (a != nullptr) {
            sigma->freeDbl(&a);
        }
        a = nullptr;
    }
    void operator()(uint8_t*& a)
    {
        if (a != nullptr) {
            sigma->freeBt(&a);
        }
        a = nullptr;
    }
};

}  // namespace

bool ekMeshFields::allocate(nuSigma* sigma, int points)
{
    pointCount = points;
    arrayBytes = 0;
    ArrayAllocator allocator{sigma, static_cast<size_t>(points), &arrayBytes};
    forEachArray(allocator);
    pointLayer = new (std::nothrow) int[static_cast<size_t>(points)]();
    return allocator.ok && pointLayer != nullptr;
}

void ekMeshFields::setEdgeCoefficients()
{
    const size_t N = static_cast<size_t>(pointCount);
    edges.assign(3 * N, 0.0);
    if (sol.z == nullptr || pointCount < 2) {
        return;
    }
    double* mobn = edges.data();
    double* mobp = mobn + N;
    double* eps = mobp + N;
    for (size_t j = 0; j + 1 < N; ++j) {
        const double inverseStep = 1.0 / (sol.z[j + 1] - sol.z[j]);
        mobn[j] =
            ek_interfaceMean(mat.Mobn[j], mat.Mobn[j + 1], ekLimits::MEAN_HARMONIC) * inverseStep;
        mobp[j] =
            ek_interfaceMean(mat.Mobp[j], mat.Mobp[j + 1], ekLimits::MEAN_HARMONIC) * inverseStep;
        eps[j] =
            ek_interfaceMean(mat.Eps[j], mat.Eps[j + 1], ekLimits::MEAN_HARMONIC) * inverseStep;
    }
}

void ekMeshFields::release(nuSigma* sigma)
{
    if (sigma != nullptr) {
        forEachArray(ArrayReleaser{sigma});
    }
    delete[] pointLayer;
    pointLayer = nullptr;
    pointCount = 0;
    arrayBytes = 0;
    edges.clear();
}

int ekMeshFields::getInterfaceIndex(int k) const
{
    return (k >= 0 && k < interfaceCount) ? interfaceIndex[k] : -1;
}

double ekMeshFields::getJunctionBound(int k) const
{
    return (k >= 0 && k < junctionCount) ? junctionBounds[k] : 0.0;
}

double ekMeshFields::getLayerVeq(int layer) const
{
    return (layer >= 0 && layer < LAYERS_MAX) ? layerVeq[layer] : 0.0;
}

int ekMeshFields::getPointLayer(int i) const
{
    return (pointLayer != nullptr && i >= 0 && i < pointCount) ? pointLayer[i] : -1;
}

double ekMeshFields::controlWidth(int i) const
{
    if (sol.z == nullptr || i < 0 || i >= pointCount) {
        return 0.0;
    }
    const double hL = i > 0 ? sol.z[i] - sol.z[i - 1] : 0.0;
    const double hR = i < pointCount - 1 ? sol.z[i + 1] - sol.z[i] : 0.0;
    return 0.5 * (hL + hR);
}
