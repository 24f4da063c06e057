// ekInterface: the boundary between two neighbouring layers of a device,
// carrying the conduction- and valence-band offsets the simulator applies
// there. The device owns one per layer pair; the layers are only pointed to.
#pragma once

#include <cstddef>
#include <cstdint>

class nuSigma;
class ekLayer;

class ekInterface {
public:
    static constexpr size_t NAME_SIZE = 32;  // 31 characters and terminator
    // Name given to a new interface; never overwrites a name in an update.
    static constexpr const wchar_t* DEFAULT_NAME = L"InterfaceX";
    // Positions are mesh indices; the mesh never has this many points.
    static constexpr unsigned int POSITION_LIMIT = 20000;
    // Offsets below kT/q at 100 K are physically no offset at all.
    static constexpr double OFFSET_THRESHOLD = 0.00861734291;

    explicit ekInterface(nuSigma* sigma);
    ~ekInterface() { releaseResources(); }
    ekInterface(const ekInterface&) = delete;
    ekInterface& operator=(const ekInterface&) = delete;

    void reset();
    bool assignResources();
    void releaseResources() {}

    // Validating setter: DEC and DEV in 0..5 eV, else an error line and
    // nothing changes. Offsets that are both negligible become a plain
    // (type 0) interface.
    void update(const wchar_t* name, double DEC, double DEV, uint8_t type, ekLayer* layerBefore,
                ekLayer* layerAfter, int pos);

    // Copies sigma, name, layers, position, type, offsets and tunnelling.
    void copy(const ekInterface* source);

    const wchar_t* getName() const { return interfaceName; }
    // Copies at most 31 characters and terminates; buffer must hold 32.
    void getName(wchar_t* buffer) const;
    ekLayer* getLayerBefore() const { return previousLayer; }
    ekLayer* getLayerAfter() const { return nextLayer; }
    // Used by the device to forget a layer it frees.
    void setLayerBefore(ekLayer* layer) { previousLayer = layer; }
    void setLayerAfter(ekLayer* layer) { nextLayer = layer; }
    int getPos() const { return position; }
    uint8_t getType() const { return interfaceType; }
    void setType(uint8_t type) { interfaceType = type; }
    double getDEC() const { return conductionOffset; }
    double getDEV() const { return valenceOffset; }
    bool isTunnel() const { return tunnelling; }
    void setTunnel(bool tunnel) { tunnelling = tunnel; }
    nuSigma* getSigma() const { return channel; }
    void setSigma(nuSigma* sigma) { channel = sigma; }

private:
    nuSigma* channel;
    wchar_t interfaceName[NAME_SIZE];
    uint8_t interfaceType;
    ekLayer* previousLayer;
    ekLayer* nextLayer;
    int position;
    double conductionOffset;  // conduction-band offset, eV
    double valenceOffset;     // valence-band offset, eV
    bool tunnelling;
};
