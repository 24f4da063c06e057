// Structure set-up: the device model laid out on the mesh. Layer by layer
// the models give their values at the layer start (and, where a Lua model
// is graded, at every point); the values are normalised onto the per-point
// arrays, blended at interface points, and completed by the contacts, the
// junction zones, the polarisation charges and the optical generation.
#include <cmath>
#include <cwchar>
#include <string>
#include <vector>

#include "ekPointLimits.h"
#include "ElecDevice.h"
#include "ekContact.h"
#include "ekHelpers.h"
#include "ekLayer.h"
#include "ekSimulator.h"
#include "ekStructureBuilder.h"
#include "kovbase.h"
#include "nucore.h"

namespace {

constexpr long long SCRIPT_SIZE_MIN = 10;
constexpr long long SCRIPT_SIZE_MAX = 67108864;

bool scriptFileUsable(const wchar_t* name)
{
    const long long size = kov_getFileSizeW(name);
    return size >= SCRIPT_SIZE_MIN && size <= SCRIPT_SIZE_MAX;
}

// "<message>: <file> in [<layer>]": which file, and which layer asked for it.
std::wstring modelFileMessage(const wchar_t* message, const wchar_t* script, const ekLayer* layer)
{
    return message + std::wstring(L": ") + (script != nullptr ? script : L"(none)") + L" in [" +
           layer->getName() + L"] (a script file of at least 10 bytes)";
}

// A model whose script is set must find its file before it is run.
bool checkModelFile(nuSigma* sigma, const ekLayer* layer, ekLayer::ModelKind kind,
                    const wchar_t* message)
{
    const wchar_t* script = layer->getScript(kind);
    if (script == nullptr || !layer->isScript(kind) || scriptFileUsable(script)) {
        return true;
    }
    sigma->error(modelFileMessage(message, script, layer));
    return false;
}

bool isGradedModel(const ekLayer* layer, ekLayer::ModelKind kind)
{
    return layer->isScript(kind) && layer->isScriptGraded(kind);
}

}  // namespace

bool ekStructureBuilder::loadLayerValues(int l, ekLayerValues& v)
{
    ekLayer* L = device->getLayer(l);
    const double thick = L->getThickness();
    // The layer-level call sits at the layer start with the layer's first step.
    double step = mesh.baseStep * norm.length;
    if (mesh.pointLayer != nullptr) {
        for (int i = 0; i + 1 < in.points; ++i) {
            if (mesh.pointLayer[i] == l) {
                step = (mesh.sol.z[i + 1] - mesh.sol.z[i]) * norm.length;
                break;
            }
        }
    }
    bool own = true;
    if (!checkModelFile(sigma, L, ekLayer::MODEL_BANDGAP, L"bandgap model file not found") ||
        !L->updateBandgapLua(0.0, step, thick, &v.Eg, &v.Chi, &v.NC, &v.NV, &own) ||
        !sigma->isOK()) {
        return false;
    }
    v.ownBandValues = own;
    if (!checkModelFile(sigma, L, ekLayer::MODEL_MOBILITY, L"mobility model file not found") ||
        !L->updateMobilityLua(0.0, step, thick, &v.Mobn, &v.Mobp) || !sigma->isOK()) {
        return false;
    }
    if (!checkModelFile(sigma, L, ekLayer::MODEL_PERMITTIVITY,
                        L"permittivity model file not found") ||
        !L->updatePermittivityLua(0.0, step, thick, &v.Eps) || !sigma->isOK()) {
        return false;
    }
    if (!checkModelFile(sigma, L, ekLayer::MODEL_LATTICE, L"lattice model file not found") ||
        !L->updateLatticeLua(0.0, step, thick, &v.a, &v.e31, &v.e33, &v.c13, &v.c33, &v.Psp) ||
        !sigma->isOK()) {
        return false;
    }
    ekLevelValues& d = v.dopant;
    if (!checkModelFile(sigma, L, ekLayer::MODEL_DOPING, L"doping model file not found") ||
        !L->updateDopantLua(0.0, step, thick, &d.kind, &d.N, &d.Nr, &d.E, &d.W, &d.Taun, &d.Taup,
                            &d.F) ||
        !sigma->isOK()) {
        return false;
    }
    if (!checkModelFile(sigma, L, ekLayer::MODEL_RECOMBINATION,
                        L"recombination model file not found") ||
        !L->updateRecombinationLua(0.0, step, thick, &v.Beta, &v.Cn, &v.Cp, &v.Taun, &v.Taup) ||
        !sigma->isOK()) {
        return false;
    }
    // Optical index at the reference wavelength of the light.
    if (L->isIndexScript()) {
        const wchar_t* script = L->getIndexScript();
        if (script == nullptr || !scriptFileUsable(script)) {
            sigma->error(modelFileMessage(L"index model file not found", script, L));
            return false;
        }
    }
    if (L->getIndexModel() == ekRegion::INDEX_FILE && !L->getDataIndex(nullptr, nullptr, nullptr)) {
        if (!L->loadIndexFile() || !sigma->isOK()) {
            return false;
        }
    }
    if (!L->getIndex(0.0, thick, v.Eg, in.referenceWavelength, &v.n, &v.k, true) ||
        !sigma->isOK()) {
        if (!sigma->isOK()) {
            return false;
        }
        v.n = L->getIndexn();
        v.k = L->getIndexk();
    }
    v.trapCount = L->getTrapCount();
    if (v.trapCount > ekMeshFields::TRAPS) {
        v.trapCount = ekMeshFields::TRAPS;
    }
    for (int t = 0; t < v.trapCount; ++t) {
        ekLevelValues& tr = v.traps[t];
        if (!L->updateTrapLua(0.0, step, thick, t, &tr.kind, &tr.N, &tr.Nr, &tr.E, &tr.W, &tr.Taun,
                              &tr.Taup, &tr.F) ||
            !sigma->isOK()) {
            return false;
        }
    }
    return true;
}

bool ekStructureBuilder::updateGradedValues(int l, int i, ekLayerValues& v)
{
    ekLayer* L = device->getLayer(l);
    const double thick = L->getThickness();
    // Both from the same normalised positions, so that the layer's second
    // point (z - start == step) is never taken for its first.
    const double zin = (mesh.sol.z[i] - mesh.layerStart[l]) * norm.length;
    const double step = (mesh.sol.z[i] - mesh.sol.z[i - 1]) * norm.length;
    if (!(zin > 0.0)) {
        return true;
    }
    if (isGradedModel(L, ekLayer::MODEL_BANDGAP)) {
        bool own = true;
        L->updateBandgapLua(zin, step, thick, &v.Eg, &v.Chi, &v.NC, &v.NV, &own);
        v.ownBandValues = own;
    }
    if (isGradedModel(L, ekLayer::MODEL_MOBILITY)) {
        L->updateMobilityLua(zin, step, thick, &v.Mobn, &v.Mobp);
    }
    if (isGradedModel(L, ekLayer::MODEL_PERMITTIVITY)) {
        L->updatePermittivityLua(zin, step, thick, &v.Eps);
    }
    if (isGradedModel(L, ekLayer::MODEL_DOPING)) {
        ekLevelValues& d = v.dopant;
        L->updateDopantLua(zin, step, thick, &d.kind, &d.N, &d.Nr, &d.E, &d.W, &d.Taun, &d.Taup,
                           &d.F);
    }
    if (isGradedModel(L, ekLayer::MODEL_RECOMBINATION)) {
        L->updateRecombinationLua(zin, step, thick, &v.Beta, &v.Cn, &v.Cp, &v.Taun, &v.Taup);
    }
    if (isGradedModel(L, ekLayer::MODEL_TRAP)) {
        for (int t = 0; t < v.trapCount; ++t) {
            ekLevelValues& tr = v.traps[t];
            L->updateTrapLua(zin, step, thick, t, &tr.kind, &tr.N, &tr.Nr, &tr.E, &tr.W, &tr.Taun,
                             &tr.Taup, &tr.F);
        }
    }
    return sigma->isOK();
}

void ekStructureBuilder::storeContacts()
{
    const int last = in.points - 1;
    const ekContact* contacts[2] = {device->getAnode(), device->getCathode()};
    ekContactState* states[2] = {&mesh.anodeState, &mesh.cathodeState};
    const int nodes[2] = {0, last};
    const int layers[2] = {0, device->getLayerCount() - 1};
    for (int c = 0; c < 2; ++c) {
        ekContactState& s = *states[c];
        const ekContact* contact = contacts[c];
        const int i = nodes[c];
        s = ekContactState{};
        if (contact != nullptr) {
            s.phi = contact->getPhi() / norm.Vt;
            s.Sn = contact->getRn() / norm.velocity;
            s.Sp = contact->getRp() / norm.velocity;
            s.ohmic = contact->isOhmic();
            s.tunnel = contact->isTunnel();
        }
        // Potential of the contact node at which its electron density equals
        // NC (the band edge at the Fermi level): ln(NC/ni) in the reference
        // layer, shifted by the node's band offset elsewhere.
        s.ref = std::log(mesh.mat.NC[i] / mesh.mat.niRef[i]) - mesh.mat.offN[i];
        s.Veq = pointVeq(i, layers[c], nullptr);
    }
}

ekStructureBuilder::ekStructureBuilder(ekMeshFields& meshIn, ElecDevice* deviceIn,
                                       const ekNormalisation& normIn, nuSigma* sigmaIn,
                                       const ekStructureInputs& inputs)
    : mesh(meshIn), device(deviceIn), norm(normIn), sigma(sigmaIn), in(inputs)
{
}

bool ekStructureBuilder::prepare(double* deviceLengthOut, bool* coarseMesh)
{
    const int N = in.points;
    layers = device != nullptr ? device->getLayerCount() : 0;
    if (device == nullptr || N < ekLimits::DEVICE_POINTS_MIN || N > ekLimits::DEVICE_POINTS_MAX ||
        layers < 1 || layers > ekMeshFields::LAYERS_MAX) {
        sigma->error(L"invalid device parameters (grid and number of layers)");
        return false;
    }
    if (device->getFirstLayer() == nullptr) {
        sigma->error(L"invalid device parameters (grid and number of layers)");
        return false;
    }

    // Geometry of the stack, normalised.
    geometry.assign(layers, ekLayerGeometry{});
    double total = 0.0;
    double thinnest = 0.0;
    for (int l = 0; l < layers; ++l) {
        const double t = device->getLayer(l)->getThickness() / norm.length;
        geometry[l].start = total;
        geometry[l].thickness = t;
        mesh.layerStart[l] = total;
        total += t;
        if (l == 0 || t < thinnest) {
            thinnest = t;
        }
    }
    mesh.layerStart[layers] = total;
    deviceLength = total;
    *deviceLengthOut = total;
    if (!(total > 0.0)) {
        sigma->error(L"invalid device parameters (grid and number of layers)");
        return false;
    }
    mesh.baseStep = 0.75 * total / (N / 2.0);
    const uint8_t mode = in.meshMode;
    const bool fileMesh =
        (mode & nuParam::MESH_EXACT) && in.customMesh != nullptr && in.customMeshCount > 0;
    *coarseMesh = !fileMesh && !(mode & nuParam::MESH_LAYER) && (mode & nuParam::MESH_UNIFORM) &&
                  10.0 * mesh.baseStep > thinnest;
    if (fileMesh && in.customMeshCount > 1) {
        mesh.baseStep = in.customMesh[1] - in.customMesh[0];
    }
    device->createInterfaces();

    // Preparation.
    for (double& b : mesh.junctionBounds) {
        b = 0.0;
    }
    mesh.junctionCount = 0;
    for (int& index : mesh.interfaceIndex) {
        index = -1;
    }
    mesh.interfaceCount = 0;
    for (auto& pair : mesh.polPairs) {
        pair[0] = pair[1] = -1;
    }
    mesh.polPairCount = 0;
    mesh.Tfactor = std::pow(device->getT() / 300.0, 1.5);
    return true;
}

bool ekStructureBuilder::build()
{
    if (!layoutPoints()) {
        return false;
    }

    // Layer-level values at each layer start.
    values.assign(layers, ekLayerValues{});
    for (int l = 0; l < layers; ++l) {
        if (!loadLayerValues(l, values[l])) {
            return false;
        }
        if (l == 0) {
            const ekLayerValues& v = values[0];
            mesh.refEg = v.Eg / norm.Vt;
            mesh.refChi = v.Chi / norm.Vt;
            mesh.refNC = v.NC * (v.ownBandValues ? mesh.Tfactor : 1.0) / norm.density;
            mesh.refNV = v.NV * (v.ownBandValues ? mesh.Tfactor : 1.0) / norm.density;
            mesh.refNi = std::sqrt(mesh.refNC * mesh.refNV) * std::exp(-mesh.refEg / 2.0);
        }
        mesh.layerVeq[l] = layerVeqOf(l, values[l], nullptr, nullptr);
    }
    computeJunctions();

    // Points, layer by layer.
    for (int l = 0; l < layers; ++l) {
        ekLayerValues v = values[l];
        const int first = geometry[l].first;
        for (int i = first; i < first + geometry[l].count; ++i) {
            if (i > first && !updateGradedValues(l, i, v)) {
                return false;
            }
            storePoint(i, l, v);
            if (i == first && l > 0) {
                mesh.mat.pointKind[i] = ekMeshFields::POINT_INTERFACE;
                if (mesh.interfaceCount < ekMeshFields::INTERFACE_SLOTS) {
                    mesh.interfaceIndex[mesh.interfaceCount++] = i;
                }
                blendInterface(i);
            }
        }
    }
    if (!computePolarisation()) {
        return false;
    }
    storeContacts();
    mesh.layerVeq[0] = mesh.anodeState.Veq;
    mesh.layerVeq[layers - 1] = mesh.cathodeState.Veq;

    mesh.setEdgeCoefficients();

    mesh.minAbsorptionEdge = 0.0;
    for (int i = 0; i < in.points; ++i) {
        const double edge =
            mesh.mat.absorptionEU[i] > 0.0 ? mesh.mat.absorptionEdge[i] : mesh.mat.Eg[i];
        if (i == 0 || edge < mesh.minAbsorptionEdge) {
            mesh.minAbsorptionEdge = edge;
        }
    }
    return true;
}

// ---- the simulator's structure initialisation -------------------------------------

bool ekSimulator::init()
{
    if (isBlocked()) {
        return false;
    }
    ek_resetSigma(sigma);
    ekStructureInputs inputs;
    inputs.points = Points;
    inputs.meshMode = param->mesh;
    inputs.customMesh = meshFile.z;
    inputs.customMeshCount = meshFile.count;
    inputs.referenceWavelength = lightState.wavelength;
    static_assert(sizeof(levelCapsSaid) ==
                  sizeof(bool) * LAYERS_MAX * ekStructureBuilder::LEVEL_SLOTS);
    inputs.levelCapsSaid = levelCapsSaid;
    ekStructureBuilder builder(mesh, device, norm, sigma, inputs);
    if (!builder.prepare(&deviceLength, &coarseMesh)) {
        return false;
    }
    // A clock of its own: the set-up also runs inside timed solves (mesh
    // growth), whose timer it must not restart.
    const double startMs = kov_clockMs();
    if (sigma->isVerbose()) {
        sigma->update(L"[INFO]    initializing structure... ===================================\n",
                      0);
    }
    if (!builder.build()) {
        return false;
    }
    generationProfileLight();

    mesh.sol.z[Points - 1] = deviceLength;
    if (sigma->isVerbose()) {
        std::wstring line = L"[INFO]    structure initialized in ";
        line += nu_numberText((kov_clockMs() - startMs) / 1000.0);
        line += L" sec. ==============================\n";
        if (line.size() > 72) {
            line = line.substr(0, 71) + L"\n";
        }
        sigma->update(line.c_str(), 0);
    }
    return sigma->isOK();
}

bool ekSimulator::initVeq(ekLayer* layer, double N, double /*Nr*/, double E, uint8_t kind,
                          double /*step*/, double ni, double NC, double NV, double Fd, double Fa,
                          double* ionA, double* ionD, double* fracA, double* fracD,
                          double* majority, double* potential)
{
    ekNeutralInput in;
    in.layer = layer;
    in.N = N;
    in.E = E;
    in.kind = kind;
    in.ni = ni;
    in.NC = NC;
    in.NV = NV;
    in.Fd = Fd;
    in.Fa = Fa;
    const ekNeutralState state = ek_neutralPotential(norm, in);
    if (ionA) {
        *ionA = state.ionA;
    }
    if (ionD) {
        *ionD = state.ionD;
    }
    if (fracA) {
        *fracA = state.fracA;
    }
    if (fracD) {
        *fracD = state.fracD;
    }
    if (majority) {
        *majority = state.majority;
    }
    if (potential) {
        *potential = state.potential;
    }
    return true;
}
