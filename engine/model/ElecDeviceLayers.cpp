// ElecDevice: the layer stack and the interfaces between its layers.
#include <cmath>
#include <cwchar>
#include <new>

#include "ElecDevice.h"
#include "ekContact.h"
#include "ekInterface.h"
#include "ekLayer.h"
#include "ekLevel.h"
#include "nuSigma.h"

ekLayer* ElecDevice::getLayer(int index) const
{
    if (index < 0 || index >= layerCount) {
        return nullptr;
    }
    return layers[index];
}

ekLayer* ElecDevice::getLayer(const wchar_t* name) const
{
    if (name == nullptr) {
        return nullptr;
    }
    for (int i = 0; i < layerCount; ++i) {
        if (wcscasecmp(layers[i]->getName(), name) == 0) {
            return layers[i];
        }
    }
    return nullptr;
}

ekLayer* ElecDevice::getFirstLayer() const { return layerCount > 0 ? layers[0] : nullptr; }

ekLayer* ElecDevice::getLastLayer() const
{
    return layerCount > 0 ? layers[layerCount - 1] : nullptr;
}

ekLayer* ElecDevice::insertLayer(int index, const wchar_t* material, const wchar_t* name,
                                 uint8_t dopantType)
{
    if (isBlocked()) {
        return nullptr;
    }
    if (layerCount >= MAX_LAYERS) {
        reportError(L"Maximum layers number reached in the semiconductor device");
        return nullptr;
    }
    if (index < 0 || index > layerCount) {
        return nullptr;
    }

    // Made before the stack moves, so a failed allocation leaves no hole.
    ekLayer* layer = new (std::nothrow) ekLayer(channel, material != nullptr ? material : L"Si",
                                                name != nullptr ? name : ekLayer::DEFAULT_NAME);
    if (layer == nullptr) {
        channel->reportNoMemory();
        return nullptr;
    }
    for (int i = layerCount; i > index; --i) {
        layers[i] = layers[i - 1];
    }
    layers[index] = layer;

    const ekLevel* dopant = layer->getDopant();
    if (dopant != nullptr) {
        layer->updateDopant(dopantType, dopant->getN(), dopant->getNr());
    }

    ++layerCount;
    totalThickness += layer->getThickness();

    nuSigma* layerSigma = layer->getSigma();
    if (layerSigma != nullptr && layerSigma->err == 0) {
        layer->updateTemperature(temperature);
    }
    layer->setLuaEngine(luaEngine);
    return layer;
}

ekLayer* ElecDevice::addLayer(const wchar_t* material, const wchar_t* name, uint8_t dopantType)
{
    return insertLayer(layerCount, material, name, dopantType);
}

ekLayer* ElecDevice::addLayer(const ekLayer* source)
{
    if (source == nullptr) {
        return nullptr;
    }
    ekLayer* layer =
        insertLayer(layerCount, source->getMaterial(), source->getName(), source->getType());
    if (layer == nullptr) {
        return nullptr;
    }
    // The device thickness counted the fresh layer; count the copied one.
    const double fresh = layer->getThickness();
    layer->copy(source);
    totalThickness += layer->getThickness() - fresh;
    return layer;
}

ekLayer* ElecDevice::moveLayer(int* from, int to)
{
    if (isBlocked()) {
        return nullptr;
    }
    if (layerCount == 1) {
        return layers[0];
    }
    if (from == nullptr) {
        return nullptr;
    }
    const int start = *from;
    if (start < 0 || start >= layerCount || to < 0 || to >= layerCount || start == to) {
        return nullptr;
    }
    ekLayer* moved = layers[start];
    if (start < to) {
        for (int i = start; i < to; ++i) {
            layers[i] = layers[i + 1];
        }
    } else {
        for (int i = start; i > to; --i) {
            layers[i] = layers[i - 1];
        }
    }
    layers[to] = moved;
    *from = to;
    return moved;
}

void ElecDevice::forgetLayer(const ekLayer* layer)
{
    for (ekContact* contact : {anode, cathode}) {
        if (contact == nullptr) {
            continue;
        }
        if (contact->getLayerBefore() == layer) {
            contact->setLayerBefore(nullptr);
        }
        if (contact->getLayerAfter() == layer) {
            contact->setLayerAfter(nullptr);
        }
    }
    for (ekInterface* interface : interfaces) {
        if (interface == nullptr) {
            continue;
        }
        if (interface->getLayerBefore() == layer) {
            interface->setLayerBefore(nullptr);
        }
        if (interface->getLayerAfter() == layer) {
            interface->setLayerAfter(nullptr);
        }
    }
}

void ElecDevice::freeInterfaces(int from)
{
    for (int i = from < 0 ? 0 : from; i < MAX_INTERFACES; ++i) {
        delete interfaces[i];
        interfaces[i] = nullptr;
    }
}

bool ElecDevice::removeLayer(int index)
{
    if (isBlocked() || index < 0 || index >= layerCount) {
        return false;
    }
    ekLayer* layer = layers[index];
    totalThickness -= layer->getThickness();
    forgetLayer(layer);
    delete layer;
    for (int i = index; i < layerCount - 1; ++i) {
        layers[i] = layers[i + 1];
    }
    layers[layerCount - 1] = nullptr;
    --layerCount;
    // A smaller stack has fewer layer pairs.
    freeInterfaces(layerCount - 1);
    return true;
}

bool ElecDevice::removeLayer(const wchar_t* name)
{
    if (name == nullptr) {
        return false;
    }
    for (int i = 0; i < layerCount; ++i) {
        if (wcscasecmp(layers[i]->getName(), name) == 0) {
            return removeLayer(i);
        }
    }
    return false;
}

void ElecDevice::destroyLayers()
{
    for (int i = 0; i < MAX_LAYERS; ++i) {
        if (layers[i] == nullptr) {
            continue;
        }
        forgetLayer(layers[i]);
        delete layers[i];
        layers[i] = nullptr;
    }
    layerCount = 0;
    totalThickness = 0.0;
    freeInterfaces(0);
}

void ElecDevice::removeAllLayers()
{
    if (isBlocked() || layerCount == 0) {
        return;
    }
    destroyLayers();
}

// ---- interfaces ------------------------------------------------------------------

bool ElecDevice::createInterfaces()
{
    freeInterfaces(0);
    if (layerCount < 2) {
        return false;
    }
    for (int i = 0; i < layerCount - 1; ++i) {
        interfaces[i] = new (std::nothrow) ekInterface(channel);
        if (interfaces[i] == nullptr) {
            freeInterfaces(0);
            return false;
        }
    }
    return true;
}

int ElecDevice::getInterfaceCount() const
{
    int count = 0;
    while (count < layerCount - 1 && interfaces[count] != nullptr) {
        ++count;
    }
    return count;
}

ekInterface* ElecDevice::getInterface(int index) const
{
    if (index < 0 || index > layerCount - 2) {
        return nullptr;
    }
    return interfaces[index];
}

bool ElecDevice::updateInterface(int index, double DEC, double DEV, uint8_t type,
                                 ekLayer* layerBefore, ekLayer* layerAfter, int position)
{
    ekInterface* interface = getInterface(index);
    if (interface == nullptr || isBlocked()) {
        return false;
    }
    interface->update(ekInterface::DEFAULT_NAME, DEC, DEV, type, layerBefore, layerAfter, position);
    // A refused update is an error line; it must not read as success.
    return !isBlocked();
}

// ---- stack decisions ---------------------------------------------------------------

bool ElecDevice::updateHeterostructure()
{
    bool haveReference = false;
    double reference = 0.0;
    for (const ekLayer* layer : layers) {
        if (layer == nullptr) {
            continue;
        }
        const double Eg = layer->getBandgap();
        if (!haveReference || reference < HETERO_BANDGAP_STEP) {
            // A gap too small to be real cannot serve as the reference.
            reference = Eg;
            haveReference = true;
            continue;
        }
        if (std::fabs(Eg - reference) > HETERO_BANDGAP_STEP) {
            heterostructure = true;
        }
    }
    return heterostructure;
}

bool ElecDevice::updateGraded()
{
    for (const ekLayer* layer : layers) {
        if (layer == nullptr) {
            continue;
        }
        if (layer->isMobilityScriptGraded() || layer->isBandgapScriptGraded() ||
            layer->isPermittivityScriptGraded() || layer->isDopingScriptGraded() ||
            layer->isRecombinationScriptGraded() || layer->isLatticeScriptGraded() ||
            layer->isIndexScriptGraded()) {
            graded = true;
        }
    }
    return graded;
}
