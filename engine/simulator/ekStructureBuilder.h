// ekStructureBuilder: the device model laid out on the mesh. It places the
// points, asks each layer's models for their values (at the layer start,
// and at every point where a model is graded), normalises them onto the
// per-point arrays, blends them at interface points, and derives the
// junction zones, the polarisation charges, the contact states and the
// lowest absorption edge. It works on the mesh-fields object only; the
// simulator runs it from its structure initialisation and adds the light.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ekMeshFields.h"
#include "ekPhysics.h"
#include "ekStructureValues.h"

class nuSigma;
class ElecDevice;
class ekLayer;

// What the set-up reads besides the device and the normalisation.
struct ekStructureInputs {
    int points = 0;                      // mesh size N
    uint8_t meshMode = 0;                // nuParam mesh flags
    const double* customMesh = nullptr;  // positions of a mesh or guess file (normalised)
    int customMeshCount = 0;
    double referenceWavelength = 0.53;  // um, for the optical index of the points
    // LAYERS_MAX x LEVEL_SLOTS flags, layer by layer: a level whose capped
    // energy was warned. Kept by the caller across set-ups; null: this
    // set-up's own.
    bool* levelCapsSaid = nullptr;
};

class ekStructureBuilder {
public:
    // The levels of a layer whose energy cap is warned: its traps by index,
    // then its dopant.
    static constexpr int DOPANT_SLOT = ekMeshFields::TRAPS;
    static constexpr int LEVEL_SLOTS = ekMeshFields::TRAPS + 1;

    ekStructureBuilder(ekMeshFields& mesh, ElecDevice* device, const ekNormalisation& norm,
                       nuSigma* sigma, const ekStructureInputs& inputs);

    // Checks the device against the mesh, lays out the stack's geometry
    // (layer starts, device length, base step, coarse-mesh flag), creates
    // the device's interfaces and clears the earlier set-up results. The
    // device length is stored once the layers are measured, the flag once
    // the step is known. False, with the error on the channel, when the
    // device cannot be laid out.
    bool prepare(double* deviceLength, bool* coarseMesh);
    // The points and every per-point value, then the junction zones, the
    // polarisation, the contacts and the lowest absorption edge. False
    // when a model or the layout failed (reported on the channel).
    bool build();

private:
    bool layoutPoints();
    bool loadLayerValues(int layer, ekLayerValues& values);
    bool updateGradedValues(int layer, int i, ekLayerValues& values);
    void storePoint(int i, int layer, const ekLayerValues& values);
    void storeDopant(int i, const ekLayerValues& values);
    void storeTraps(int i, int layer, const ekLayerValues& values);
    // Warns, once per layer and level slot, that the energy E (eV) of a
    // level lies beyond half the point's bandgap Eg (eV), where it is
    // capped; source says where the energy came from.
    void warnCappedLevel(int layer, int slot, const std::wstring& source, double E, double Eg);
    void blendInterface(int i);
    void storeContacts();
    // Normalised band values of a layer's model values: Eg, Chi, NC, NV,
    // ni and the band offsets against the reference layer.
    void bandValues(const ekLayerValues& values, double* Eg, double* Chi, double* NC, double* NV,
                    double* ni, double* offN, double* offP) const;
    // Normalised active dopant of a layer's model values (kind 0 when the
    // density is negligible): density, energy (capped at Eg/2 and lowered
    // with the density), lifetimes.
    void dopantValues(const ekLevelValues& level, double Eg, bool graded, uint8_t* kind, double* N,
                      double* E, double* taun, double* taup) const;
    // Equilibrium potential of point i of a layer (charge neutrality).
    double pointVeq(int i, int layer, double* majority) const;
    // Equilibrium potential of a layer from its model values, with its
    // majority density and signed doping (donors positive).
    double layerVeqOf(int layer, const ekLayerValues& values, double* majority,
                      double* signedDoping) const;
    void computeJunctions();
    bool computePolarisation();

    ekMeshFields& mesh;
    ElecDevice* device;
    const ekNormalisation& norm;
    nuSigma* sigma;
    ekStructureInputs in;
    int layers = 0;
    double deviceLength = 0.0;
    std::vector<ekLayerGeometry> geometry;
    std::vector<ekLayerValues> values;
    bool ownLevelCapsSaid[ekMeshFields::LAYERS_MAX * LEVEL_SLOTS] = {};
};

// The one rule for a material value at a point shared by two layers: a
// before, b after; flags 0x10 arithmetic, 0x20 harmonic mean; the mean
// must lie between the two values, otherwise b.
double ek_interfaceMean(double a, double b, int flags);

// A layer's dopant and bands, for its charge-neutral potential.
struct ekNeutralInput {
    const ekLayer* layer =
        nullptr;       // its graded doping model lowers the no-dopant limit; may be null
    double N = 0.0;    // dopant density, 1/cm3
    double E = 0.0;    // level energy from its band, eV
    uint8_t kind = 0;  // ekLimits::KIND_DONOR, KIND_ACCEPTOR or 0
    double ni = 0.0;   // intrinsic density the potential is measured from (normalised)
    double NC = 0.0;   // band densities (normalised)
    double NV = 0.0;
    double Fd = 1.0;  // degeneracy factors of a donor and an acceptor
    double Fa = 1.0;
};

// The charge-neutral state of a layer (densities normalised, potential in Vt).
struct ekNeutralState {
    double ionA = 0.0;   // ionisation term of the acceptor, exp(E/Vt) Fa / NV
    double ionD = 0.0;   // ionisation term of the donor, exp(E/Vt) Fd / NC
    double fracA = 0.0;  // ionised fractions
    double fracD = 0.0;
    double majority = 0.0;   // majority carrier density
    double potential = 0.0;  // relative to the intrinsic level of ni
};

// Charge-neutral potential of a layer with incomplete ionisation of its
// dopant. A density up to 1e6 (1e-6 for a graded doping model) is no
// dopant; a dopant of no kind counts as a donor of 1e10 1/cm3.
ekNeutralState ek_neutralPotential(const ekNormalisation& norm, const ekNeutralInput& in);
