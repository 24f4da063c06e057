// One mesh point of the structure: a layer's model values normalised onto
// the per-point arrays, and the blending at interface points.
#include <algorithm>
#include <cmath>
#include <string>

#include "ekLimits.h"
#include "ElecDevice.h"
#include "ekLayer.h"
#include "ekLocalModels.h"
#include "ekStructureBuilder.h"
#include "nucore.h"

namespace {

// Terms of point i's dopant level (donor, else acceptor) from its
// kind, F, E, NC, NV and ni: the emission terms measured from its band
// (standard SRH form, with the degeneracy factor), so that the SRH
// occupation and the equilibrium ionisation term g = F exp(E)/NC (or /NV)
// agree.
void dopantTerms(ekMaterialArrays& mat, int i)
{
    const double F = mat.dopantF[i];
    const double E = mat.dopantE[i];
    const double ni2 = mat.ni[i] * mat.ni[i];
    if (mat.dopantKind[i] == ekLimits::KIND_DONOR) {
        mat.dopantIon[i] = F * std::exp(E) / mat.NC[i];
        mat.dopantN1[i] = mat.NC[i] * std::exp(-E) / F;
        mat.dopantP1[i] = ni2 / mat.dopantN1[i];
    } else {
        mat.dopantIon[i] = F * std::exp(E) / mat.NV[i];
        mat.dopantP1[i] = mat.NV[i] * std::exp(-E) / F;
        mat.dopantN1[i] = ni2 / mat.dopantP1[i];
    }
}

// Whether a level energy beyond half the gap is first known to be capped
// as the run lays it on the mesh: the device-file reader has warned of a
// Dopant.E or Trap.E above half the layer's constant gap already, while the
// energy a level model gives (fromModel), or any energy against the
// per-point gap of a bandgap model, is first met here.
bool capFirstKnownHere(bool fromModel, const ekLayer* L)
{
    return fromModel || L->isBandgapScript();
}

}  // namespace

double ek_interfaceMean(double a, double b, int flags)
{
    const double s = a + b;
    if (s == 0.0 || a * b <= 0.0) {
        return (flags & ekLimits::MEAN_ARITHMETIC) ? s / 2.0 : b;
    }
    double m = b;
    if (flags & ekLimits::MEAN_ARITHMETIC) {
        m = s / 2.0;
    } else if (flags & ekLimits::MEAN_HARMONIC) {
        m = 2.0 * a * b / s;
    }
    if (m >= std::min(a, b) && m <= std::max(a, b)) {
        return m;
    }
    return b;
}

void ekStructureBuilder::bandValues(const ekLayerValues& v, double* Eg, double* Chi, double* NC,
                                    double* NV, double* ni, double* offN, double* offP) const
{
    // Material band densities are those at 300 K; a model gives them at T.
    const double scale = v.ownBandValues ? mesh.Tfactor : 1.0;
    *Eg = v.Eg / norm.Vt;
    *Chi = v.Chi / norm.Vt;
    *NC = v.NC * scale / norm.density;
    *NV = v.NV * scale / norm.density;
    *ni = std::sqrt(*NC * *NV) * std::exp(-*Eg / 2.0);
    *offN = std::log(*NC / mesh.refNC) + (*Chi - mesh.refChi);
    *offP = std::log(*NV / mesh.refNV) - (*Eg - mesh.refEg) - (*Chi - mesh.refChi);
}

void ekStructureBuilder::dopantValues(const ekLevelValues& d, double Eg, bool graded, uint8_t* kind,
                                      double* N, double* E, double* taun, double* taup) const
{
    const double threshold = graded ? 1e-6 : 1e6;
    *kind = 0;
    *N = *E = *taun = *taup = 0.0;
    if (!(d.N > threshold) || !ekLimits::isLevelKind(d.kind)) {
        return;
    }
    // Heavy doping lowers the ionisation energy and the lifetimes alike.
    const double factor = d.Nr > 0.0 ? 1.0 / (1.0 + d.N / d.Nr) : 1.0;
    *kind = d.kind;
    *N = d.N / norm.density;
    *E = std::min(d.E / norm.Vt, Eg / 2.0) * factor;
    *taun = d.Taun / norm.time * factor;
    *taup = d.Taup / norm.time * factor;
}

void ekStructureBuilder::storeDopant(int i, const ekLayerValues& v)
{
    const int l = mesh.pointLayer[i];
    const ekLayer* L = device->getLayer(l);
    const bool graded = L->isDopingScript() && L->isDopingScriptGraded();
    uint8_t kind = 0;
    double N = 0.0, E = 0.0, taun = 0.0, taup = 0.0;
    dopantValues(v.dopant, mesh.mat.Eg[i], graded, &kind, &N, &E, &taun, &taup);
    if (kind != 0 && v.dopant.E / norm.Vt > mesh.mat.Eg[i] / 2.0 &&
        capFirstKnownHere(L->isDopingScript(), L)) {
        warnCappedLevel(l, DOPANT_SLOT,
                        L->isDopingScript() ? L"that Dopant.Model gives the dopant"
                                            : L"that Dopant.E gives the dopant",
                        v.dopant.E, mesh.mat.Eg[i] * norm.Vt);
    }
    mesh.mat.dopantKind[i] = kind;
    mesh.mat.dopantN[i] = N;
    mesh.mat.dopantE[i] = E;
    mesh.mat.dopantTaun[i] = taun;
    mesh.mat.dopantTaup[i] = taup;
    mesh.mat.dopantF[i] = std::max(1.0, v.dopant.F);
    mesh.mat.dopantIon[i] = mesh.mat.dopantN1[i] = mesh.mat.dopantP1[i] = 0.0;
    if (kind != 0) {
        dopantTerms(mesh.mat, i);
    }
}

namespace {

// Occupancy terms of a trap level E from midgap (below it for a donor-like
// level, above it for an acceptor-like one): g, p1, n1, with n1 p1 = ni^2.
void trapTerms(uint8_t kind, double E, double F, double ni, double* g, double* p1, double* n1)
{
    const double e = std::exp(E);
    if (kind == ekLimits::KIND_DONOR) {
        *g = F * e / ni;
        *p1 = F * e * ni;
        *n1 = ni / (F * e);
    } else if (kind == ekLimits::KIND_ACCEPTOR) {
        *g = F * e / ni;
        *p1 = ni / (F * e);
        *n1 = F * e * ni;
    } else {
        *g = 0.0;
        *p1 = ni;
        *n1 = ni;
    }
}

}  // namespace

void ekStructureBuilder::storeTraps(int i, int l, const ekLayerValues& v)
{
    const ekLayer* L = device->getLayer(l);
    const double threshold = (L->isTrapScript() && L->isTrapScriptGraded()) ? 1e-6 : 1e6;
    for (int t = 0; t < ekMeshFields::TRAPS; ++t) {
        ekTrapArrays& a = mesh.trap[t];
        // The arrays come zero-filled with the mesh (ekMeshFields::allocate
        // just before the set-up), so an empty slot only needs its emission
        // terms: writing its zeros again would touch seven more arrays at
        // every point, which is much of the set-up's time on a large mesh.
        a.p1[i] = a.n1[i] = mesh.mat.ni[i];
        if (t >= v.trapCount || !(v.traps[t].N >= threshold)) {
            continue;
        }
        const ekLevelValues& tr = v.traps[t];
        const double factor = tr.Nr > 0.0 ? 1.0 / (1.0 + tr.N / tr.Nr) : 1.0;
        a.kind[i] = tr.kind;
        a.N[i] = tr.N / norm.density;
        const double cap = mesh.mat.Eg[i] / 2.0;
        if (tr.E / norm.Vt > cap && capFirstKnownHere(L->isTrapScript(), L)) {
            warnCappedLevel(l, t,
                            L->isTrapScript()
                                ? L"that Trap.Model gives trap index " + std::to_wstring(t)
                                : L"that Trap.E gives the layer's trap " + std::to_wstring(t + 1) +
                                      L" (in the order of the file)",
                            tr.E, mesh.mat.Eg[i] * norm.Vt);
        }
        a.E[i] = std::min(tr.E / norm.Vt, cap) * factor;
        a.W[i] = tr.W / norm.Vt;
        a.Taun[i] = tr.Taun / norm.time * factor;
        a.Taup[i] = tr.Taup / norm.time * factor;
        trapTerms(tr.kind, a.E[i], std::max(1.0, tr.F), mesh.mat.ni[i], &a.g[i], &a.p1[i],
                  &a.n1[i]);
    }
}

void ekStructureBuilder::warnCappedLevel(int l, int slot, const std::wstring& source, double E,
                                         double Eg)
{
    bool* said = in.levelCapsSaid != nullptr ? in.levelCapsSaid : ownLevelCapsSaid;
    bool& once = said[l * LEVEL_SLOTS + slot];
    if (once) {
        return;
    }
    once = true;
    // A dopant's energy is measured from its band edge, a trap's from midgap.
    const wchar_t* from = slot == DOPANT_SLOT ? L"its band edge" : L"midgap";
    sigma->update((L"[WARNING] Layer" + std::to_wstring(l + 1) + L": the energy " +
                   nu_numberText(E) + L" eV " + source + L" changed to " + nu_numberText(Eg / 2.0) +
                   L" eV (a level lies at most half the bandgap, " + nu_numberText(Eg) +
                   L" eV, from " + from + L")\n")
                      .c_str(),
                  2);
}

void ekStructureBuilder::storePoint(int i, int l, const ekLayerValues& v)
{
    const ekLayer* L = device->getLayer(l);
    bandValues(v, &mesh.mat.Eg[i], &mesh.mat.Chi[i], &mesh.mat.NC[i], &mesh.mat.NV[i],
               &mesh.mat.ni[i], &mesh.mat.offN[i], &mesh.mat.offP[i]);
    mesh.mat.niRef[i] = mesh.refNi;
    mesh.mat.pointKind[i] = 0;
    mesh.mat.Eps[i] = v.Eps;
    mesh.mat.indexN[i] = v.n;
    mesh.mat.indexK[i] = v.k;
    mesh.mat.gapKind[i] = L->isDirect() ? ekMeshFields::GAP_DIRECT : ekMeshFields::GAP_INDIRECT;
    mesh.mat.Mobn[i] = v.Mobn / norm.mobility;
    mesh.mat.Mobp[i] = v.Mobp / norm.mobility;
    mesh.mat.Beta[i] = v.Beta / norm.recombination;
    mesh.mat.Cn[i] = v.Cn / (norm.recombination / norm.density);
    mesh.mat.Cp[i] = v.Cp / (norm.recombination / norm.density);
    mesh.mat.Taun[i] = v.Taun / norm.time;
    mesh.mat.Taup[i] = v.Taup / norm.time;
    storeDopant(i, v);
    storeTraps(i, l, v);

    mesh.mat.urbachFlag[i] = 0;
    mesh.mat.urbachEA[i] = mesh.mat.urbachED[i] = mesh.mat.urbachGA[i] = mesh.mat.urbachGD[i] = 0.0;
    mesh.mat.urbachTaunA[i] = mesh.mat.urbachTaupA[i] = mesh.mat.urbachTaunD[i] =
        mesh.mat.urbachTaupD[i] = 0.0;
    if (L->isUrbach()) {
        mesh.mat.urbachFlag[i] = ekMeshFields::URBACH_ON;
        mesh.mat.urbachEA[i] = L->getUrbachEA() / norm.Vt;
        mesh.mat.urbachED[i] = L->getUrbachED() / norm.Vt;
        mesh.mat.urbachGA[i] = L->getUrbachGA() / (norm.density / norm.Vt);
        mesh.mat.urbachGD[i] = L->getUrbachGD() / (norm.density / norm.Vt);
        mesh.mat.urbachTaunA[i] = L->getUrbachTaunA() / norm.time;
        mesh.mat.urbachTaupA[i] = L->getUrbachTaupA() / norm.time;
        mesh.mat.urbachTaunD[i] = L->getUrbachTaunD() / norm.time;
        mesh.mat.urbachTaupD[i] = L->getUrbachTaupD() / norm.time;
    }
    mesh.mat.absorptionEU[i] = mesh.mat.absorptionEdge[i] = mesh.mat.absorptionKEdge[i] = 0.0;
    if (L->isIndexConstant()) {
        // The edge follows the local bandgap, so a graded gap keeps its tail.
        const bool direct = mesh.mat.gapKind[i] == ekMeshFields::GAP_DIRECT;
        const double EU = L->getUrbachEA() / norm.Vt;
        mesh.mat.absorptionEU[i] = EU;
        mesh.mat.absorptionEdge[i] = ek_absorptionEdge(mesh.mat.Eg[i], EU, direct);
        mesh.mat.absorptionKEdge[i] = ek_absorptionKEdge(mesh.mat.Eg[i], EU, v.k, direct);
    }
    mesh.mat.Gop[i] = 0.0;
    mesh.mat.photonFlux[i] = 0.0;
    mesh.mat.polTotal[i] = mesh.mat.polSpont[i] = mesh.mat.polPiezo[i] = 0.0;
}

void ekStructureBuilder::blendInterface(int i)
{
    const int b = i - 1;
    auto blend = [&](double* a) { a[i] = ek_interfaceMean(a[b], a[i], ekLimits::MEAN_HARMONIC); };
    const double niOwn = mesh.mat.ni[i];
    blend(mesh.mat.Eps);
    blend(mesh.mat.Mobn);
    blend(mesh.mat.Mobp);
    blend(mesh.mat.Eg);
    blend(mesh.mat.Chi);
    blend(mesh.mat.NC);
    blend(mesh.mat.NV);
    blend(mesh.mat.Beta);
    blend(mesh.mat.Cn);
    blend(mesh.mat.Cp);
    blend(mesh.mat.Taun);
    blend(mesh.mat.Taup);
    // ni and the offsets follow from the blended band values, so that the
    // densities and ni^2 stay consistent at the interface point.
    mesh.mat.ni[i] = std::sqrt(mesh.mat.NC[i] * mesh.mat.NV[i]) * std::exp(-mesh.mat.Eg[i] / 2.0);
    mesh.mat.offN[i] = std::log(mesh.mat.NC[i] / mesh.refNC) + (mesh.mat.Chi[i] - mesh.refChi);
    mesh.mat.offP[i] = std::log(mesh.mat.NV[i] / mesh.refNV) - (mesh.mat.Eg[i] - mesh.refEg) -
                       (mesh.mat.Chi[i] - mesh.refChi);

    // Dopant: blended only between levels of the same kind; otherwise the
    // point keeps this layer's level.
    const uint8_t kind = mesh.mat.dopantKind[i];
    if (ekLimits::isLevelKind(kind) && kind == mesh.mat.dopantKind[b]) {
        blend(mesh.mat.dopantN);
        blend(mesh.mat.dopantE);
        blend(mesh.mat.dopantTaun);
        blend(mesh.mat.dopantTaup);
        mesh.mat.dopantE[i] = std::min(mesh.mat.dopantE[i], mesh.mat.Eg[i] / 2.0);
    }
    if (ekLimits::isLevelKind(kind)) {
        dopantTerms(mesh.mat, i);
    }
    for (ekTrapArrays& t : mesh.trap) {
        const uint8_t tk = t.kind[i];
        // The degeneracy factor, from the terms of this layer's own level.
        const double F = ekLimits::isLevelKind(tk) ? t.g[i] * niOwn / std::exp(t.E[i]) : 1.0;
        if (ekLimits::isLevelKind(tk) && tk == t.kind[b]) {
            blend(t.N);
            blend(t.E);
            blend(t.W);
            blend(t.Taun);
            blend(t.Taup);
            t.E[i] = std::min(t.E[i], mesh.mat.Eg[i] / 2.0);
        }
        if (ekLimits::isLevelKind(tk)) {
            trapTerms(tk, t.E[i], F, mesh.mat.ni[i], &t.g[i], &t.p1[i], &t.n1[i]);
        } else {
            t.p1[i] = t.n1[i] = mesh.mat.ni[i];
        }
    }
    // Band tails: blended when both sides have them, else taken from the
    // side that has them.
    const bool tailsHere = (mesh.mat.urbachFlag[i] & ekMeshFields::URBACH_ON) != 0;
    const bool tailsBefore = (mesh.mat.urbachFlag[b] & ekMeshFields::URBACH_ON) != 0;
    if (tailsHere || tailsBefore) {
        double* tails[] = {mesh.mat.urbachEA,    mesh.mat.urbachED,    mesh.mat.urbachGA,
                           mesh.mat.urbachGD,    mesh.mat.urbachTaunA, mesh.mat.urbachTaupA,
                           mesh.mat.urbachTaunD, mesh.mat.urbachTaupD};
        for (double* a : tails) {
            if (tailsHere && tailsBefore) {
                blend(a);
            } else if (tailsBefore) {
                a[i] = a[b];
            }
        }
        mesh.mat.urbachFlag[i] = ekMeshFields::URBACH_ON;
    }
}
