// ekContact: the anode or the cathode of a device. A region (name, material,
// thickness, optical index) with the contact's kind (ohmic or Schottky) in
// the group byte, its barrier height, surface recombination velocities,
// boundary condition and the layer it touches. A contact knows seven metals
// with their built-in optical index.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ekRegion.h"

class ekLayer;

class ekContact : public ekRegion {
public:
    // Name given to a new contact; never overwrites a name in an update.
    static constexpr const wchar_t* DEFAULT_NAME = L"ContactX";
    // Surface recombination velocity of a contact that names none, cm/s.
    static constexpr double DEFAULT_VELOCITY = 1e7;

    // Kind, kept in the region's group byte.
    static constexpr uint8_t TYPE_OHMIC = 0x10;
    static constexpr uint8_t TYPE_SCHOTTKY = 0x11;
    static constexpr uint8_t KIND_SCHOTTKY_BIT = 0x01;
    static constexpr uint8_t KIND_BARRIER_MASK = 0x0F;

    // Boundary condition of the simulator at this contact.
    static constexpr uint8_t BOUNDARY_DIRICHLET = 0x10;
    static constexpr uint8_t BOUNDARY_NEUMANN = 0x20;

    // Positions are mesh indices; the mesh never has this many points.
    static constexpr unsigned int POSITION_LIMIT = 20000;
    // A barrier below kT/q at 100 K does not block anything: ohmic.
    static constexpr double BARRIER_THRESHOLD = 0.00861734291;

    static constexpr int METAL_COUNT = 7;

    explicit ekContact(nuSigma* sigma);
    ~ekContact();
    ekContact(const ekContact&) = delete;
    ekContact& operator=(const ekContact&) = delete;

    // Region defaults, then an ohmic contact without layers.
    void reset();
    bool assignResources() { return true; }
    void releaseResources();

    // Validating setter: phi in 0..5 eV, Rn and Rp in 1e-4..1e8, else an
    // error line and nothing changes. A position of 20000 or more (or a
    // negative one) is ignored without a message.
    void update(const wchar_t* newName, double phi, double Rn, double Rp, uint8_t type,
                ekLayer* layerBefore, ekLayer* layerAfter, int position);

    // Material name (and alloy end members); a known metal also brings its
    // optical index. The contact's kind is kept whatever the material.
    void updateMaterial(const wchar_t* newMaterial);

    // One of the seven metals (any letter case); index receives its slot.
    static bool isStandardMaterial(const wchar_t* name, int* index);

    // Constant index unless a Lua index model is set.
    bool getIndex(double z, double layerThickness, double bandgap, double wavelength, double* n,
                  double* k, bool report);

    // Material (at most 15 characters), thickness and constant index; each
    // output only when its pointer is not null.
    void getOptic(wchar_t* materialOut, double* thicknessOut, double* nOut, double* kOut) const;

    // Makes this contact equal to source, its optical source, tunnelling
    // and boundary condition included; a metal's built-in index wins.
    void copy(const ekContact* source);

    ekLayer* getLayerBefore() const { return previousLayer; }
    ekLayer* getLayerAfter() const { return nextLayer; }
    // Used by the device to forget or re-point a layer.
    void setLayerBefore(ekLayer* layer) { previousLayer = layer; }
    void setLayerAfter(ekLayer* layer) { nextLayer = layer; }
    bool isTunnel() const { return tunnelling; }
    void setTunnel(bool tunnel) { tunnelling = tunnel; }
    bool isBarrier() const { return (group & KIND_BARRIER_MASK) != 0; }
    bool isSchottky() const { return (group & KIND_SCHOTTKY_BIT) != 0; }
    bool isOhmic() const { return !isSchottky(); }
    double getPhi() const { return barrierHeight; }
    double getRn() const { return electronVelocity; }
    double getRp() const { return holeVelocity; }
    void setBoundary(uint8_t boundary) { boundaryType = boundary; }
    uint8_t getBoundary() const { return boundaryType; }
    void setBoundarySet(bool set) { boundarySet = set; }
    bool isBoundarySet() const { return boundarySet; }

private:
    ekLayer* previousLayer = nullptr;
    ekLayer* nextLayer = nullptr;
    double barrierHeight = 0.0;                  // barrier height, eV
    double electronVelocity = DEFAULT_VELOCITY;  // electron surface recombination velocity
    double holeVelocity = DEFAULT_VELOCITY;      // hole surface recombination velocity
    bool tunnelling = false;
    uint8_t boundaryType = BOUNDARY_NEUMANN;
    bool boundarySet = false;
};
