// ekMeshFields: the mesh and every field on it, owned as one object. The
// per-point arrays (material, trap slots, solution), the layer of each
// point, and what the structure set-up derives once per mesh: interface
// points, polarisation pairs, junction bounds, layer equilibrium
// potentials, reference band values and the contact states. The simulator
// holds one and its solvers read the fields through it.
//
// The arrays are allocated and freed together through the status
// channel's tracked allocators, so the memory a run holds shows there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class nuSigma;

// Per-point material parameters, filled by the structure set-up. All values
// are normalised (energies /Vt, densities /N0, mobilities /1000, lifetimes
// /0.1, rate coefficients by the rate unit); Eps, n, k are plain numbers.
struct ekMaterialArrays {
    uint8_t* pointKind = nullptr;  // 0x10 interface point (first point of a later layer)
    double* Eg = nullptr;
    double* Chi = nullptr;
    double* NC = nullptr;
    double* NV = nullptr;
    double* ni = nullptr;     // local intrinsic density
    double* niRef = nullptr;  // intrinsic density of the first layer (same everywhere)
    double* offN = nullptr;   // band offset of the electrons against the first layer
    double* offP = nullptr;   // band offset of the holes
    double* Eps = nullptr;

    uint8_t* gapKind = nullptr;  // 0x10 direct, 0x20 indirect gap
    double* indexN = nullptr;    // optical index at the reference wavelength
    double* indexK = nullptr;
    double* Mobn = nullptr;
    double* Mobp = nullptr;
    double* Beta = nullptr;
    double* Cn = nullptr;
    double* Cp = nullptr;
    double* Taun = nullptr;  // layer (midgap) lifetimes
    double* Taup = nullptr;
    double* Gop = nullptr;         // optical generation
    double* photonFlux = nullptr;  // photon flux reaching the point

    uint8_t* dopantKind = nullptr;  // 0 none (or inactive), 0x10 donor, 0x20 acceptor
    double* dopantN = nullptr;
    double* dopantE = nullptr;  // ionisation energy from its band
    double* dopantTaun = nullptr;
    double* dopantTaup = nullptr;
    double* dopantIon = nullptr;  // ionisation term F exp(E)/NC (donor) or /NV (acceptor)
    double* dopantF = nullptr;
    double* dopantN1 = nullptr;  // SRH emission terms of the level
    double* dopantP1 = nullptr;

    uint8_t* urbachFlag = nullptr;  // 0x80 where the point has band tails
    double* urbachEA = nullptr;     // conduction-band (acceptor-like) tail energy
    double* urbachED = nullptr;     // valence-band (donor-like) tail energy
    double* urbachGA = nullptr;     // tail densities at the band edge, /(N0/Vt)
    double* urbachGD = nullptr;
    double* urbachTaunA = nullptr;
    double* urbachTaupA = nullptr;
    double* urbachTaunD = nullptr;
    double* urbachTaupD = nullptr;
    double* absorptionEU = nullptr;     // Urbach energy of the absorption edge (0: none)
    double* absorptionEdge = nullptr;   // photon energy where the tail meets the band absorption
    double* absorptionKEdge = nullptr;  // extinction coefficient of the tail at Eg
    double* polTotal = nullptr;         // polarisation volume charge
    double* polSpont = nullptr;         // its spontaneous part, as a sheet charge of the point
    double* polPiezo = nullptr;         // its piezoelectric part, as a sheet charge of the point
};

// One trap slot on the mesh. A donor-like level sits E below midgap and an
// acceptor-like one E above it; g is the ionisation term of the equilibrium
// occupation, n1 and p1 the SRH emission terms (n1 p1 = ni^2).
struct ekTrapArrays {
    uint8_t* kind = nullptr;  // 0 none, 0x10 donor-like, 0x20 acceptor-like
    double* N = nullptr;
    double* E = nullptr;
    double* W = nullptr;
    double* Taun = nullptr;
    double* Taup = nullptr;
    double* g = nullptr;
    double* p1 = nullptr;
    double* n1 = nullptr;
};

// The solution on the mesh and what the result files derive from it.
struct ekSolutionArrays {
    double* z = nullptr;    // mesh positions
    double* V = nullptr;    // electrostatic potential
    double* Veq = nullptr;  // potential at equilibrium
    double* nEq = nullptr;  // equilibrium densities
    double* pEq = nullptr;
    double* Vn = nullptr;  // electron and hole potentials
    double* Vp = nullptr;
    double* work1 = nullptr;
    double* work2 = nullptr;
    double* Fn = nullptr;  // quasi-Fermi potentials
    double* Fp = nullptr;
    double* En = nullptr;  // fields seen by electrons and holes
    double* Ep = nullptr;
    double* work3 = nullptr;
    double* work4 = nullptr;
    double* EC = nullptr;  // band edges
    double* EV = nullptr;
    double* n = nullptr;
    double* p = nullptr;
    double* Ndx = nullptr;  // ionised donors and acceptors
    double* Nax = nullptr;
    double* Ntdx = nullptr;  // ionised donor-like and acceptor-like traps
    double* Ntax = nullptr;
    double* RD = nullptr;  // radiative, Auger and SRH recombination
    double* RA = nullptr;
    double* RSRH = nullptr;
    double* Jn = nullptr;
    double* Jp = nullptr;
    double* Q = nullptr;  // volume charge
    double* work5 = nullptr;
    double* Qssp = nullptr;  // spontaneous and piezoelectric interface charges
    double* Qspi = nullptr;
};

// What a contact gives the solvers, normalised.
struct ekContactState {
    double phi = 0.0;  // barrier /Vt
    double Sn = 0.0;   // surface recombination velocities /velocity scale
    double Sp = 0.0;
    double ref = 0.0;  // potential at which the contact node's n equals NC (Schottky reference)
    double Veq = 0.0;  // equilibrium potential of the contact node
    bool ohmic = true;
    bool tunnel = false;
};

class ekMeshFields {
public:
    static constexpr int LAYERS_MAX = 9;
    static constexpr int TRAPS = 5;
    static constexpr int INTERFACE_SLOTS = 24;
    static constexpr int POLARISATION_PAIRS = 8;
    static constexpr int JUNCTION_BOUNDS = 2 * (LAYERS_MAX - 1);
    // Codes of the byte arrays.
    static constexpr uint8_t POINT_INTERFACE = 0x10;
    static constexpr uint8_t GAP_DIRECT = 0x10;
    static constexpr uint8_t GAP_INDIRECT = 0x20;
    static constexpr uint8_t URBACH_ON = 0x80;

    ekMeshFields();
    ~ekMeshFields();
    ekMeshFields(const ekMeshFields&) = delete;
    ekMeshFields& operator=(const ekMeshFields&) = delete;

    // Allocates every per-point array, zero-filled, for points entries;
    // false when any allocation failed (the caller then releases what was
    // allocated).
    bool allocate(nuSigma* sigma, int points);
    // Frees every per-point array through the channel that allocated it
    // (none without a channel) and the point layers.
    void release(nuSigma* sigma);
    // Entries of each array (0 when none are allocated).
    int getPointCount() const { return pointCount; }
    // Bytes held by the per-point arrays.
    size_t getArrayBytes() const { return arrayBytes; }

    // Mesh indices of the interface points, in order; -1 outside.
    int getInterfaceIndex(int k) const;
    double getJunctionBound(int k) const;
    // Equilibrium potential of layer l (normalised); 0 outside.
    double getLayerVeq(int layer) const;
    // Layer of mesh point i; -1 outside the mesh.
    int getPointLayer(int i) const;
    // Width of the control box of point i: half the sum of its two steps
    // (half a step at either end), so the boxes tile the device exactly.
    double controlWidth(int i) const;

    ekMaterialArrays mat;
    ekTrapArrays trap[TRAPS];
    ekSolutionArrays sol;
    int* pointLayer = nullptr;  // layer of each point (not counted with the arrays)

    // Per edge j (points j and j + 1), once the structure is set up: the
    // electron and hole mobilities and the permittivity between the two
    // points (harmonic means by the interface rule) over the step. Every
    // edge flux and every Poisson row reads these; the positions and the
    // material do not change once set up.
    const double* edgeMobn() const { return edges.data(); }
    const double* edgeMobp() const { return edges.data() + pointCount; }
    const double* edgeEps() const { return edges.data() + 2 * static_cast<size_t>(pointCount); }
    // Works them out from z, Mobn, Mobp and Eps (the structure set-up's last step).
    void setEdgeCoefficients();

    // Structure set-up results.
    int interfaceIndex[INTERFACE_SLOTS];
    int interfaceCount = 0;
    int polPairs[POLARISATION_PAIRS][2];
    int polPairCount = 0;
    double junctionBounds[JUNCTION_BOUNDS] = {};
    int junctionCount = 0;
    double layerVeq[LAYERS_MAX] = {};
    double layerStart[LAYERS_MAX + 1] = {};  // normalised; [count] is the device end
    double minAbsorptionEdge = 0.0;
    // Reference (first layer, first point) values, normalised, and the
    // temperature factor of the band densities.
    double refNC = 1.0, refNV = 1.0, refEg = 0.0, refChi = 0.0, refNi = 1.0;
    double Tfactor = 1.0;
    double baseStep = 0.0;  // normalised
    ekContactState anodeState;
    ekContactState cathodeState;

private:
    // Calls f on every per-point array (double** or uint8_t**), in block order.
    template <typename F>
    void forEachArray(F&& f);

    int pointCount = 0;
    size_t arrayBytes = 0;
    std::vector<double> edges;  // edgeMobn, edgeMobp, edgeEps, pointCount each
};
