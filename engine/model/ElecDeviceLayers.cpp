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
    if (index < 0 || index >= layerCount_) return nullptr;
    return layers_[index];
}

ekLayer* ElecDevice::getLayer(const wchar_t* name) const
{
    if (name == nullptr) return nullptr;
    for (int i = 0; i < layerCount_; ++i) {
        if (wcscasecmp(layers_[i]->getName(), name) == 0) return layers_[i];
    }
    return nullptr;
}

ekLayer* ElecDevice::getFirstLayer() const
{
    return layerCount_ > 0 ? layers_[0] : nullptr;
}

ekLayer* ElecDevice::getLastLayer() const
{
    return layerCount_ > 0 ? layers_[layerCount_ - 1] : nullptr;
}

ekLayer* ElecDevice::insertLayer(int index, const wchar_t* material, const wchar_t* name,
                                 uint8_t dopantType)
{
    if (isBlocked()) return nullptr;
    if (layerCount_ >= MAX_LAYERS) {
        reportError(L"Maximum layers number reached in the semiconductor device");
        return nullptr;
    }
    if (index < 0 || index > layerCount_) return nullptr;

    // Made before the stack moves, so a failed allocation leaves no hole.
    ekLayer* layer = new (std::nothrow) ekLayer(sigma_, material != nullptr ? material : L"Si",
                                                name != nullptr ? name : ekLayer::DEFAULT_NAME);
    if (layer == nullptr) {
        sigma_->reportNoMemory();
        return nullptr;
    }
    for (int i = layerCount_; i > index; --i) layers_[i] = layers_[i - 1];
    layers_[index] = layer;

    const ekLevel* dopant = layer->getDopant();
    if (dopant != nullptr) layer->updateDopant(dopantType, dopant->getN(), dopant->getNr());

    ++layerCount_;
    thickness_ += layer->getThickness();

    nuSigma* layerSigma = layer->getSigma();
    if (layerSigma != nullptr && layerSigma->err == 0) layer->updateTemperature(T_);
    layer->setLuaEngine(luaEngine_);
    return layer;
}

ekLayer* ElecDevice::addLayer(const wchar_t* material, const wchar_t* name, uint8_t dopantType)
{
    return insertLayer(layerCount_, material, name, dopantType);
}

ekLayer* ElecDevice::addLayer(const ekLayer* source)
{
    if (source == nullptr) return nullptr;
    ekLayer* layer =
        insertLayer(layerCount_, source->getMaterial(), source->getName(), source->getType());
    if (layer == nullptr) return nullptr;
    // The device thickness counted the fresh layer; count the copied one.
    const double fresh = layer->getThickness();
    layer->copy(source);
    thickness_ += layer->getThickness() - fresh;
    return layer;
}

ekLayer* ElecDevice::moveLayer(int* from, int to)
{
    if (isBlocked()) return nullptr;
    if (layerCount_ == 1) return layers_[0];
    if (from == nullptr) return nullptr;
    const int start = *from;
    if (start < 0 || start >= layerCount_ || to < 0 || to >= layerCount_ || start == to) {
        return nullptr;
    }
    ekLayer* moved = layers_[start];
    if (start < to) {
        for (int i = start; i < to; ++i) layers_[i] = layers_[i + 1];
    }
    else {
        for (int i = start; i > to; --i) layers_[i] = layers_[i - 1];
    }
    layers_[to] = moved;
    *from = to;
    return moved;
}

void ElecDevice::forgetLayer(const ekLayer* layer)
{
    for (ekContact* contact : {anode_, cathode_}) {
        if (contact == nullptr) continue;
        if (contact->getLayerBefore() == layer) contact->setLayerBefore(nullptr);
        if (contact->getLayerAfter() == layer) contact->setLayerAfter(nullptr);
    }
    for (ekInterface* interface : interfaces_) {
        if (interface == nullptr) continue;
        if (interface->getLayerBefore() == layer) interface->setLayerBefore(nullptr);
        if (interface->getLayerAfter() == layer) interface->setLayerAfter(nullptr);
    }
}

void ElecDevice::freeInterfaces(int from)
{
    for (int i = from < 0 ? 0 : from; i < MAX_INTERFACES; ++i) {
        delete interfaces_[i];
        interfaces_[i] = nullptr;
    }
}

bool ElecDevice::removeLayer(int index)
{
    if (isBlocked() || index < 0 || index >= layerCount_) return false;
    ekLayer* layer = layers_[index];
    thickness_ -= layer->getThickness();
    forgetLayer(layer);
    delete layer;
    for (int i = index; i < layerCount_ - 1; ++i) layers_[i] = layers_[i + 1];
    layers_[layerCount_ - 1] = nullptr;
    --layerCount_;
    // A smaller stack has fewer layer pairs.
    freeInterfaces(layerCount_ - 1);
    return true;
}

bool ElecDevice::removeLayer(const wchar_t* name)
{
    if (name == nullptr) return false;
    for (int i = 0; i < layerCount_; ++i) {
        if (wcscasecmp(layers_[i]->getName(), name) == 0) return removeLayer(i);
    }
    return false;
}

void ElecDevice::destroyLayers()
{
    for (int i = 0; i < MAX_LAYERS; ++i) {
        if (layers_[i] == nullptr) continue;
        forgetLayer(layers_[i]);
        delete layers_[i];
        layers_[i] = nullptr;
    }
    layerCount_ = 0;
    thickness_ = 0.0;
    freeInterfaces(0);
}

void ElecDevice::removeAllLayers()
{
    if (isBlocked() || layerCount_ == 0) return;
    destroyLayers();
}

// ---- interfaces ------------------------------------------------------------------

bool ElecDevice::createInterfaces()
{
    freeInterfaces(0);
    if (layerCount_ < 2) return false;
    for (int i = 0; i < layerCount_ - 1; ++i) {
        interfaces_[i] = new (std::nothrow) ekInterface(sigma_);
        if (interfaces_[i] == nullptr) {
            freeInterfaces(0);
            return false;
        }
    }
    return true;
}

int ElecDevice::getInterfaceCount() const
{
    int count = 0;
    while (count < layerCount_ - 1 && interfaces_[count] != nullptr) ++count;
    return count;
}

ekInterface* ElecDevice::getInterface(int index) const
{
    if (index < 0 || index > layerCount_ - 2) return nullptr;
    return interfaces_[index];
}

bool ElecDevice::updateInterface(int index, double DEC, double DEV, uint8_t type,
                                 ekLayer* layerBefore, ekLayer* layerAfter, int position)
{
    ekInterface* interface = getInterface(index);
    if (interface == nullptr || isBlocked()) return false;
    interface->update(ekInterface::DEFAULT_NAME, DEC, DEV, type, layerBefore, layerAfter,
                      position);
    // A refused update is an error line; it must not read as success.
    return !isBlocked();
}

// ---- stack decisions ---------------------------------------------------------------

bool ElecDevice::updateHeterostructure()
{
    bool haveReference = false;
    double reference = 0.0;
    for (const ekLayer* layer : layers_) {
        if (layer == nullptr) continue;
        const double Eg = layer->getBandgap();
        if (!haveReference || reference < HETERO_BANDGAP_STEP) {
            // A gap too small to be real cannot serve as the reference.
            reference = Eg;
            haveReference = true;
            continue;
        }
        if (std::fabs(Eg - reference) > HETERO_BANDGAP_STEP) heterostructure_ = true;
    }
    return heterostructure_;
}

bool ElecDevice::updateGraded()
{
    for (const ekLayer* layer : layers_) {
        if (layer == nullptr) continue;
        if (layer->isMobilityScriptGraded() || layer->isBandgapScriptGraded() ||
            layer->isPermittivityScriptGraded() || layer->isDopingScriptGraded() ||
            layer->isRecombinationScriptGraded() || layer->isLatticeScriptGraded() ||
            layer->isIndexScriptGraded()) {
            graded_ = true;
        }
    }
    return graded_;
}
