// ElecDevice: creation and destruction, bindings, device-wide values,
// contacts, header text and copy. Layers and interfaces are in
// ElecDeviceLayers.cpp, variables and expressions in ElecDeviceVariables.cpp.
#include "ElecDevice.h"

#include <cwchar>
#include <new>

#include "LuaEngineCore.h"
#include "ekContact.h"
#include "ekInterface.h"
#include "ekLayer.h"
#include "kovbase.h"
#include "nucore.h"

namespace {

}  // namespace

// ---- creation and destruction ---------------------------------------------

ElecDevice::ElecDevice(nuSigma* sigma, nuParam* param) { create(sigma, param); }

ElecDevice::ElecDevice(nuSigma* sigma, nuParam* param, const wchar_t* name, const wchar_t* note,
                       const wchar_t* directory)
{
    create(sigma, param);
    if (!valid) {
        return;
    }
    updateMain(name, note);
    addScriptDirectory(directory);
}

void ElecDevice::create(nuSigma* sigma, nuParam* param)
{
    channel = sigma;
    settings = param;
    anode = new (std::nothrow) ekContact(sigma);
    cathode = new (std::nothrow) ekContact(sigma);

    ownLuaEngine = new (std::nothrow) LuaEngineCore();
    if (ownLuaEngine != nullptr) {
        // A model script that runs long must still honour the run's stop.
        ownLuaEngine->setStopTest([sigma] { return sigma != nullptr && sigma->stopIt(); });
        ownLuaEngine->init();
        parser = new (std::nothrow) nuParser(sigma, param);
    }
    luaEngine = ownLuaEngine;

    if (anode == nullptr || cathode == nullptr || ownLuaEngine == nullptr || parser == nullptr) {
        if (channel != nullptr) {
            channel->reportNoMemory();
        }
        return;
    }
    kov_copyW(deviceName, NAME_SIZE, DEFAULT_NAME);
    deviceNote[0] = L'\0';
    status = 0;
    temperature = 300.0;
    polarizationScale = 0.0;
    anode->reset();
    cathode->reset();
    // Contact index models run through the device's engine as well.
    anode->setLuaEngine(luaEngine);
    cathode->setLuaEngine(luaEngine);
    valid = true;
}

void ElecDevice::addScriptDirectory(const wchar_t* directory)
{
    if (luaEngine == nullptr) {
        return;
    }
    char folder[PATH_SIZE] = {};
    if (directory != nullptr) {
        kov_wideToUtf8(folder, PATH_SIZE, directory);
        if (kov_dirExistsA(folder) != 1) {
            return;
        }
    } else if (kov_getCurrentDir(folder, PATH_SIZE) == 0) {
        return;
    }
    // Handed over through the Lua API rather than pasted into Lua source,
    // so no folder name can end the string early and run as code.
    luaEngine->addPackagePath(folder);
}

ElecDevice::~ElecDevice()
{
    for (int i = 0; i < MAX_LAYERS; ++i) {
        delete layers[i];
        layers[i] = nullptr;
        delete interfaces[i];
        interfaces[i] = nullptr;
    }
    delete anode;
    anode = nullptr;
    delete cathode;
    cathode = nullptr;
    layerCount = 0;
    totalThickness = 0.0;
    delete ownLuaEngine;
    ownLuaEngine = nullptr;
    luaEngine = nullptr;
    if (parser != nullptr) {
        parser->release();
    }
    delete parser;
    parser = nullptr;
    freeVariables();
    if (header != nullptr && channel != nullptr) {
        channel->freeStr(&header);
    }
    header = nullptr;
    headerLength = 0;
}

bool ElecDevice::isBlocked() const { return channel == nullptr || channel->err != 0; }

void ElecDevice::reportError(const std::wstring& what) const
{
    if (channel != nullptr) {
        channel->error(what);
    }
}

// ---- bindings ----------------------------------------------------------------

void ElecDevice::setSigma(nuSigma* sigma)
{
    // Without a channel nothing could report or free; keep the old one.
    if (sigma == nullptr) {
        return;
    }
    // Tracked blocks (header, variables) may go back through any channel,
    // so only the pointers change.
    channel = sigma;
    if (anode != nullptr) {
        anode->setSigma(sigma);
    }
    if (cathode != nullptr) {
        cathode->setSigma(sigma);
    }
    for (ekLayer* layer : layers) {
        if (layer != nullptr) {
            layer->setSigma(sigma);
        }
    }
    for (ekInterface* interface : interfaces) {
        if (interface != nullptr) {
            interface->setSigma(sigma);
        }
    }
}

void ElecDevice::setLuaEngine(LuaEngineCore* engine)
{
    luaEngine = engine != nullptr ? engine : ownLuaEngine;
    for (int i = 0; i < layerCount; ++i) {
        layers[i]->setLuaEngine(luaEngine);
    }
    setAnodeLuaEngine();
    setCathodeLuaEngine();
}

void ElecDevice::setAnodeLuaEngine()
{
    if (anode != nullptr) {
        anode->setLuaEngine(luaEngine);
    }
}

void ElecDevice::setCathodeLuaEngine()
{
    if (cathode != nullptr) {
        cathode->setLuaEngine(luaEngine);
    }
}

// ---- device-wide values ------------------------------------------------------

void ElecDevice::getName(wchar_t* buffer) const
{
    if (buffer != nullptr) {
        kov_copyW(buffer, NAME_SIZE, deviceName);
    }
}

void ElecDevice::getNote(wchar_t* buffer) const
{
    if (buffer != nullptr) {
        kov_copyW(buffer, NOTE_SIZE, deviceNote);
    }
}

void ElecDevice::updateMain(const wchar_t* name, const wchar_t* note)
{
    if (isBlocked()) {
        return;
    }
    if (name != nullptr && wcscasecmp(name, DEFAULT_NAME) != 0) {
        kov_copyW(deviceName, NAME_SIZE, name);
    }
    if (note != nullptr) {
        kov_copyW(deviceNote, NOTE_SIZE, note);
    }
}

bool ElecDevice::updateTemperature(double T)
{
    if (isBlocked()) {
        return false;
    }
    if (!(T >= T_MIN && T <= T_MAX)) {
        reportError(L"invalid temperature");
        return false;
    }
    temperature = T;
    for (int i = 0; i < layerCount; ++i) {
        nuSigma* layerSigma = layers[i]->getSigma();
        if (layerSigma != nullptr && layerSigma->err != 0) {
            continue;
        }
        layers[i]->updateTemperature(T);
    }
    return true;
}

bool ElecDevice::setPolarizationScale(double scale)
{
    if (isBlocked()) {
        return false;
    }
    if (!(scale >= POLARIZATION_MIN && scale <= POLARIZATION_MAX)) {
        reportError(L"invalid polarization scale (valid range: [-10 ; 10]");
        return false;
    }
    polarizationScale = scale;
    return true;
}

void ElecDevice::updateThickness()
{
    double sum = 0.0;
    for (int i = 0; i < layerCount; ++i) {
        sum += layers[i]->getThickness();
    }
    totalThickness = sum;
}

bool ElecDevice::isUniformlyDoped() const
{
    if (isBlocked()) {
        return false;
    }
    for (int i = 1; i < layerCount; ++i) {
        if (layers[i]->getType() != layers[i - 1]->getType()) {
            return false;
        }
    }
    return true;
}

// ---- contacts --------------------------------------------------------------------

bool ElecDevice::updateContact(ekContact* contact, const wchar_t* name, double phi, double Rn,
                               double Rp, uint8_t type, bool tunnel, ekLayer* layer, int position)
{
    if (contact == nullptr || isBlocked()) {
        return false;
    }
    contact->update(name, phi, Rn, Rp, type, nullptr, layer, position);
    // A refused update (error line) leaves the whole contact as it was.
    if (isBlocked()) {
        return false;
    }
    contact->setTunnel(tunnel);
    return true;
}

bool ElecDevice::updateAnode(const wchar_t* name, double phi, double Rn, double Rp, uint8_t type,
                             bool tunnel, ekLayer* layer, int position)
{
    return updateContact(anode, name, phi, Rn, Rp, type, tunnel, layer, position);
}

bool ElecDevice::updateCathode(const wchar_t* name, double phi, double Rn, double Rp, uint8_t type,
                               bool tunnel, ekLayer* layer, int position)
{
    return updateContact(cathode, name, phi, Rn, Rp, type, tunnel, layer, position);
}

bool ElecDevice::updateContactIndex(ekContact* contact, const wchar_t* material, double thickness,
                                    double n, double k)
{
    if (contact == nullptr || isBlocked()) {
        return false;
    }
    if (!contact->updateIndexnk(n, k)) {
        return false;
    }
    contact->updateThickness(thickness);  // silently kept outside 0..10000
    contact->updateMaterial(material);
    return true;
}

bool ElecDevice::updateAnodeIndex(const wchar_t* material, double thickness, double n, double k)
{
    return updateContactIndex(anode, material, thickness, n, k);
}

bool ElecDevice::updateCathodeIndex(const wchar_t* material, double thickness, double n, double k)
{
    return updateContactIndex(cathode, material, thickness, n, k);
}

bool ElecDevice::updateAnodeIndexModel(const wchar_t* script)
{
    return anode != nullptr && anode->updateIndexScript(script, true);
}

bool ElecDevice::updateCathodeIndexModel(const wchar_t* script)
{
    return cathode != nullptr && cathode->updateIndexScript(script, true);
}

bool ElecDevice::updateAnodeIndexFile(const wchar_t* file)
{
    return anode != nullptr && anode->updateIndexFile(file, true);
}

bool ElecDevice::updateCathodeIndexFile(const wchar_t* file)
{
    return cathode != nullptr && cathode->updateIndexFile(file, true);
}

// ---- header ------------------------------------------------------------------------

// The buffer holds HEADER_SIZE characters plus what an accepted line may
// add at the limit: its '#', its newline and the terminator.
bool ElecDevice::initHeader()
{
    if (header == nullptr && channel != nullptr) {
        header = channel->mallocStr(HEADER_SIZE + 3);
    }
    headerLength = 0;
    if (header == nullptr) {
        return false;
    }
    wmemset(header, L'\0', HEADER_SIZE + 3);
    return true;
}

bool ElecDevice::addtoHeader(const wchar_t* line, const size_t* length)
{
    if (isBlocked() || line == nullptr) {
        return false;
    }
    // A given length never takes the copy past the line's own end.
    size_t count = length != nullptr ? wcsnlen(line, *length) : wcslen(line);
    if (count < 1 || (count == 1 && line[0] == L'\n')) {
        return false;
    }
    if (count > HEADER_SIZE || headerLength > HEADER_SIZE - count) {
        return false;
    }
    while (count > 0 && kov_isBlank(line[count - 1])) {
        --count;
    }
    if (count == 0) {
        return false;
    }
    if (header == nullptr && !initHeader()) {
        return false;
    }

    wchar_t* end = header + headerLength;
    if (line[0] != L'#') {
        *end++ = L'#';
    }
    wmemcpy(end, line, count);
    end += count;
    *end++ = L'\n';
    *end = L'\0';
    headerLength = static_cast<size_t>(end - header);
    return true;
}

void ElecDevice::copyHeader(const ElecDevice* source)
{
    // A copy carries the source's header, not the two appended.
    if (source->header == nullptr || source->headerLength == 0) {
        if (header != nullptr) {
            initHeader();
        }
        return;
    }
    if (!initHeader()) {
        return;
    }
    wmemcpy(header, source->header, source->headerLength);
    header[source->headerLength] = L'\0';
    headerLength = source->headerLength;
}

// ---- copy ----------------------------------------------------------------------------

void ElecDevice::repointContact(ekContact* contact, const ElecDevice* source)
{
    // The copied contact names layers of the source; take the layer at the
    // same place in this stack instead, or none.
    ekLayer* mapped = nullptr;
    for (int i = 0; i < source->layerCount && i < layerCount; ++i) {
        if (source->layers[i] == contact->getLayerAfter()) {
            mapped = layers[i];
        }
    }
    contact->setLayerAfter(mapped);
    mapped = nullptr;
    for (int i = 0; i < source->layerCount && i < layerCount; ++i) {
        if (source->layers[i] == contact->getLayerBefore()) {
            mapped = layers[i];
        }
    }
    contact->setLayerBefore(mapped);
    // The contact stays on this device's channel and engine.
    contact->setSigma(channel);
    contact->setLuaEngine(luaEngine);
}

bool ElecDevice::copy(const ElecDevice* source)
{
    if (source == nullptr || isBlocked()) {
        return false;
    }
    if (source == this) {
        return true;
    }

    kov_copyW(deviceName, NAME_SIZE, source->deviceName);
    kov_copyW(deviceNote, NOTE_SIZE, source->deviceNote);
    status = source->status;
    polarizationScale = source->polarizationScale;
    temperature = source->temperature;

    destroyLayers();
    bool complete = true;
    for (int i = 0; i < source->layerCount; ++i) {
        const ekLayer* from = source->layers[i];
        ekLayer* layer =
            insertLayer(layerCount, from->getMaterial(), from->getName(), from->getType());
        if (layer == nullptr) {
            complete = false;
            break;
        }
        layer->copy(from);
    }
    // insertLayer counted each fresh layer before it took its copied values.
    updateThickness();
    if (anode != nullptr && source->anode != nullptr) {
        anode->copy(source->anode);
        repointContact(anode, source);
    }
    if (cathode != nullptr && source->cathode != nullptr) {
        cathode->copy(source->cathode);
        repointContact(cathode, source);
    }
    heterostructure = source->heterostructure;
    graded = source->graded;

    freeVariables();
    for (int i = 0; i < source->variableCount; ++i) {
        const _variable_w_t* variable = source->variables[i];
        if (variable == nullptr || variable->defined != 1) {
            continue;
        }
        wchar_t value[VARIABLE_VALUE_SIZE];
        kov_copyW(value, VARIABLE_VALUE_SIZE, variable->value);
        if (!setVariable(variable->name, value, -1)) {
            complete = false;
        }
    }
    copyHeader(source);
    return complete && !isBlocked();
}
