#include "ekInterface.h"

#include <cwchar>

#include "kovbase.h"
#include "nuSigma.h"

ekInterface::ekInterface(nuSigma* sigma) : channel(sigma) { reset(); }

void ekInterface::reset()
{
    kov_copyW(interfaceName, NAME_SIZE, DEFAULT_NAME);
    interfaceType = 0;
    previousLayer = nullptr;
    nextLayer = nullptr;
    position = 0;
    conductionOffset = 0.0;
    valenceOffset = 0.0;
    tunnelling = false;
}

bool ekInterface::assignResources() { return channel == nullptr || channel->err == 0; }

void ekInterface::update(const wchar_t* name, double DEC, double DEV, uint8_t type,
                         ekLayer* layerBefore, ekLayer* layerAfter, int pos)
{
    if (channel == nullptr || channel->err != 0 || name == nullptr) {
        return;
    }
    if (static_cast<unsigned int>(pos) >= POSITION_LIMIT) {
        return;
    }

    if (!kov_inRange(DEC, 0.0, 5.0) || !kov_inRange(DEV, 0.0, 5.0)) {
        channel->error(L"invalid interface parameters");
        return;
    }

    if (!kov_equalsNoCase(name, DEFAULT_NAME)) {
        kov_copyW(interfaceName, NAME_SIZE, name);
    }
    previousLayer = layerBefore;
    nextLayer = layerAfter;
    position = pos;
    if (DEC < OFFSET_THRESHOLD && DEV < OFFSET_THRESHOLD) {
        DEC = 0.0;
        DEV = 0.0;
        type = 0;
    }
    conductionOffset = DEC;
    valenceOffset = DEV;
    interfaceType = type;
}

void ekInterface::copy(const ekInterface* source)
{
    if (source == nullptr || source == this) {
        return;
    }
    channel = source->channel;
    kov_copyW(interfaceName, NAME_SIZE, source->interfaceName);
    previousLayer = source->previousLayer;
    nextLayer = source->nextLayer;
    position = source->position;
    interfaceType = source->interfaceType;
    conductionOffset = source->conductionOffset;
    valenceOffset = source->valenceOffset;
    // A copy without the tunnelling flag would describe another junction.
    tunnelling = source->tunnelling;
}

void ekInterface::getName(wchar_t* buffer) const
{
    if (buffer != nullptr) {
        kov_copyW(buffer, NAME_SIZE, interfaceName);
    }
}
