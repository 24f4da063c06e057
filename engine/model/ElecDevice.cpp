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

ElecDevice::ElecDevice(nuSigma* sigma, nuParam* param)
{
    create(sigma, param);
}

ElecDevice::ElecDevice(nuSigma* sigma, nuParam* param, const wchar_t* name, const wchar_t* note,
                       const wchar_t* directory)
{
    create(sigma, param);
    if (!valid_) return;
    updateMain(name, note);
    addScriptDirectory(directory);
}

void ElecDevice::create(nuSigma* sigma, nuParam* param)
{
    sigma_ = sigma;
    param_ = param;
    anode_ = new (std::nothrow) ekContact(sigma);
    cathode_ = new (std::nothrow) ekContact(sigma);

    ownLuaEngine_ = new (std::nothrow) LuaEngineCore();
    if (ownLuaEngine_ != nullptr) {
        // A model script that runs long must still honour the run's stop.
        ownLuaEngine_->setStopTest([sigma] { return sigma != nullptr && sigma->stopIt(); });
        ownLuaEngine_->init();
        parser_ = new (std::nothrow) nuParser(sigma, param);
    }
    luaEngine_ = ownLuaEngine_;

    if (anode_ == nullptr || cathode_ == nullptr || ownLuaEngine_ == nullptr ||
        parser_ == nullptr) {
        if (sigma_ != nullptr) sigma_->reportNoMemory();
        return;
    }
    kov_copyW(name_, NAME_SIZE, DEFAULT_NAME);
    note_[0] = L'\0';
    status_ = 0;
    T_ = 300.0;
    polarizationScale_ = 0.0;
    anode_->reset();
    cathode_->reset();
    // Contact index models run through the device's engine as well.
    anode_->setLuaEngine(luaEngine_);
    cathode_->setLuaEngine(luaEngine_);
    valid_ = true;
}

void ElecDevice::addScriptDirectory(const wchar_t* directory)
{
    if (luaEngine_ == nullptr) return;
    char folder[PATH_SIZE] = {};
    if (directory != nullptr) {
        kov_wideToUtf8(folder, PATH_SIZE, directory);
        if (kov_dirExistsA(folder) != 1) return;
    }
    else if (kov_getCurrentDir(folder, PATH_SIZE) == 0) {
        return;
    }
    // Handed over through the Lua API rather than pasted into Lua source,
    // so no folder name can end the string early and run as code.
    luaEngine_->addPackagePath(folder);
}

ElecDevice::~ElecDevice()
{
    for (int i = 0; i < MAX_LAYERS; ++i) {
        delete layers_[i];
        layers_[i] = nullptr;
        delete interfaces_[i];
        interfaces_[i] = nullptr;
    }
    delete anode_;
    anode_ = nullptr;
    delete cathode_;
    cathode_ = nullptr;
    layerCount_ = 0;
    thickness_ = 0.0;
    delete ownLuaEngine_;
    ownLuaEngine_ = nullptr;
    luaEngine_ = nullptr;
    if (parser_ != nullptr) parser_->release();
    delete parser_;
    parser_ = nullptr;
    freeVariables();
    if (header_ != nullptr && sigma_ != nullptr) sigma_->freeStr(&header_);
    header_ = nullptr;
    headerLength_ = 0;
}

bool ElecDevice::isBlocked() const
{
    return sigma_ == nullptr || sigma_->err != 0;
}

void ElecDevice::reportError(const std::wstring& what) const
{
    if (sigma_ != nullptr) sigma_->error(what);
}

// ---- bindings ----------------------------------------------------------------

void ElecDevice::setSigma(nuSigma* sigma)
{
    // Without a channel nothing could report or free; keep the old one.
    if (sigma == nullptr) return;
    // Tracked blocks (header, variables) may go back through any channel,
    // so only the pointers change.
    sigma_ = sigma;
    if (anode_ != nullptr) anode_->setSigma(sigma);
    if (cathode_ != nullptr) cathode_->setSigma(sigma);
    for (ekLayer* layer : layers_) {
        if (layer != nullptr) layer->setSigma(sigma);
    }
    for (ekInterface* interface : interfaces_) {
        if (interface != nullptr) interface->setSigma(sigma);
    }
}

void ElecDevice::setLuaEngine(LuaEngineCore* engine)
{
    luaEngine_ = engine != nullptr ? engine : ownLuaEngine_;
    for (int i = 0; i < layerCount_; ++i) layers_[i]->setLuaEngine(luaEngine_);
    setAnodeLuaEngine();
    setCathodeLuaEngine();
}

void ElecDevice::setAnodeLuaEngine()
{
    if (anode_ != nullptr) anode_->setLuaEngine(luaEngine_);
}

void ElecDevice::setCathodeLuaEngine()
{
    if (cathode_ != nullptr) cathode_->setLuaEngine(luaEngine_);
}

// ---- device-wide values ------------------------------------------------------

void ElecDevice::getName(wchar_t* buffer) const
{
    if (buffer != nullptr) kov_copyW(buffer, NAME_SIZE, name_);
}

void ElecDevice::getNote(wchar_t* buffer) const
{
    if (buffer != nullptr) kov_copyW(buffer, NOTE_SIZE, note_);
}

void ElecDevice::updateMain(const wchar_t* name, const wchar_t* note)
{
    if (isBlocked()) return;
    if (name != nullptr && wcscasecmp(name, DEFAULT_NAME) != 0) kov_copyW(name_, NAME_SIZE, name);
    if (note != nullptr) kov_copyW(note_, NOTE_SIZE, note);
}

bool ElecDevice::updateTemperature(double T)
{
    if (isBlocked()) return false;
    if (!(T >= T_MIN && T <= T_MAX)) {
        reportError(L"invalid temperature");
        return false;
    }
    T_ = T;
    for (int i = 0; i < layerCount_; ++i) {
        nuSigma* layerSigma = layers_[i]->getSigma();
        if (layerSigma != nullptr && layerSigma->err != 0) continue;
        layers_[i]->updateTemperature(T);
    }
    return true;
}

bool ElecDevice::setPolarizationScale(double scale)
{
    if (isBlocked()) return false;
    if (!(scale >= POLARIZATION_MIN && scale <= POLARIZATION_MAX)) {
        reportError(L"invalid polarization scale (valid range: [-10 ; 10]");
        return false;
    }
    polarizationScale_ = scale;
    return true;
}

void ElecDevice::updateThickness()
{
    double sum = 0.0;
    for (int i = 0; i < layerCount_; ++i) sum += layers_[i]->getThickness();
    thickness_ = sum;
}

bool ElecDevice::isUniformlyDoped() const
{
    if (isBlocked()) return false;
    for (int i = 1; i < layerCount_; ++i) {
        if (layers_[i]->getType() != layers_[i - 1]->getType()) return false;
    }
    return true;
}

// ---- contacts --------------------------------------------------------------------

bool ElecDevice::updateContact(ekContact* contact, const wchar_t* name, double phi, double Rn,
                               double Rp, uint8_t type, bool tunnel, ekLayer* layer,
                               int position)
{
    if (contact == nullptr || isBlocked()) return false;
    contact->update(name, phi, Rn, Rp, type, nullptr, layer, position);
    // A refused update (error line) leaves the whole contact as it was.
    if (isBlocked()) return false;
    contact->setTunnel(tunnel);
    return true;
}

bool ElecDevice::updateAnode(const wchar_t* name, double phi, double Rn, double Rp, uint8_t type,
                             bool tunnel, ekLayer* layer, int position)
{
    return updateContact(anode_, name, phi, Rn, Rp, type, tunnel, layer, position);
}

bool ElecDevice::updateCathode(const wchar_t* name, double phi, double Rn, double Rp,
                               uint8_t type, bool tunnel, ekLayer* layer, int position)
{
    return updateContact(cathode_, name, phi, Rn, Rp, type, tunnel, layer, position);
}

bool ElecDevice::updateContactIndex(ekContact* contact, const wchar_t* material,
                                    double thickness, double n, double k)
{
    if (contact == nullptr || isBlocked()) return false;
    if (!contact->updateIndexnk(n, k)) return false;
    contact->updateThickness(thickness);  // silently kept outside 0..10000
    contact->updateMaterial(material);
    return true;
}

bool ElecDevice::updateAnodeIndex(const wchar_t* material, double thickness, double n, double k)
{
    return updateContactIndex(anode_, material, thickness, n, k);
}

bool ElecDevice::updateCathodeIndex(const wchar_t* material, double thickness, double n,
                                    double k)
{
    return updateContactIndex(cathode_, material, thickness, n, k);
}

bool ElecDevice::updateAnodeIndexModel(const wchar_t* script)
{
    return anode_ != nullptr && anode_->updateIndexScript(script, true);
}

bool ElecDevice::updateCathodeIndexModel(const wchar_t* script)
{
    return cathode_ != nullptr && cathode_->updateIndexScript(script, true);
}

bool ElecDevice::updateAnodeIndexFile(const wchar_t* file)
{
    return anode_ != nullptr && anode_->updateIndexFile(file, true);
}

bool ElecDevice::updateCathodeIndexFile(const wchar_t* file)
{
    return cathode_ != nullptr && cathode_->updateIndexFile(file, true);
}

// ---- header ------------------------------------------------------------------------

// The buffer holds HEADER_SIZE characters plus what an accepted line may
// add at the limit: its '#', its newline and the terminator.
bool ElecDevice::initHeader()
{
    if (header_ == nullptr && sigma_ != nullptr) header_ = sigma_->mallocStr(HEADER_SIZE + 3);
    headerLength_ = 0;
    if (header_ == nullptr) return false;
    wmemset(header_, L'\0', HEADER_SIZE + 3);
    return true;
}

bool ElecDevice::addtoHeader(const wchar_t* line, const size_t* length)
{
    if (isBlocked() || line == nullptr) return false;
    // A given length never takes the copy past the line's own end.
    size_t count = length != nullptr ? wcsnlen(line, *length) : wcslen(line);
    if (count < 1 || (count == 1 && line[0] == L'\n')) return false;
    if (count > HEADER_SIZE || headerLength_ > HEADER_SIZE - count) return false;
    while (count > 0 && kov_isBlank(line[count - 1])) --count;
    if (count == 0) return false;
    if (header_ == nullptr && !initHeader()) return false;

    wchar_t* end = header_ + headerLength_;
    if (line[0] != L'#') *end++ = L'#';
    wmemcpy(end, line, count);
    end += count;
    *end++ = L'\n';
    *end = L'\0';
    headerLength_ = static_cast<size_t>(end - header_);
    return true;
}

void ElecDevice::copyHeader(const ElecDevice* source)
{
    // A copy carries the source's header, not the two appended.
    if (source->header_ == nullptr || source->headerLength_ == 0) {
        if (header_ != nullptr) initHeader();
        return;
    }
    if (!initHeader()) return;
    wmemcpy(header_, source->header_, source->headerLength_);
    header_[source->headerLength_] = L'\0';
    headerLength_ = source->headerLength_;
}

// ---- copy ----------------------------------------------------------------------------

void ElecDevice::repointContact(ekContact* contact, const ElecDevice* source)
{
    // The copied contact names layers of the source; take the layer at the
    // same place in this stack instead, or none.
    ekLayer* mapped = nullptr;
    for (int i = 0; i < source->layerCount_ && i < layerCount_; ++i) {
        if (source->layers_[i] == contact->getLayerAfter()) mapped = layers_[i];
    }
    contact->setLayerAfter(mapped);
    mapped = nullptr;
    for (int i = 0; i < source->layerCount_ && i < layerCount_; ++i) {
        if (source->layers_[i] == contact->getLayerBefore()) mapped = layers_[i];
    }
    contact->setLayerBefore(mapped);
    // The contact stays on this device's channel and engine.
    contact->setSigma(sigma_);
    contact->setLuaEngine(luaEngine_);
}

bool ElecDevice::copy(const ElecDevice* source)
{
    if (source == nullptr || isBlocked()) return false;
    if (source == this) return true;

    kov_copyW(name_, NAME_SIZE, source->name_);
    kov_copyW(note_, NOTE_SIZE, source->note_);
    status_ = source->status_;
    polarizationScale_ = source->polarizationScale_;
    T_ = source->T_;

    destroyLayers();
    bool complete = true;
    for (int i = 0; i < source->layerCount_; ++i) {
        const ekLayer* from = source->layers_[i];
        ekLayer* layer = insertLayer(layerCount_, from->getMaterial(), from->getName(),
                                     from->getType());
        if (layer == nullptr) {
            complete = false;
            break;
        }
        layer->copy(from);
    }
    // insertLayer counted each fresh layer before it took its copied values.
    updateThickness();
    if (anode_ != nullptr && source->anode_ != nullptr) {
        anode_->copy(source->anode_);
        repointContact(anode_, source);
    }
    if (cathode_ != nullptr && source->cathode_ != nullptr) {
        cathode_->copy(source->cathode_);
        repointContact(cathode_, source);
    }
    heterostructure_ = source->heterostructure_;
    graded_ = source->graded_;

    freeVariables();
    for (int i = 0; i < source->variableCount_; ++i) {
        const _variable_w_t* variable = source->variables_[i];
        if (variable == nullptr || variable->defined != 1) continue;
        wchar_t value[VARIABLE_VALUE_SIZE];
        kov_copyW(value, VARIABLE_VALUE_SIZE, variable->value);
        if (!setVariable(variable->name, value, -1)) complete = false;
    }
    copyHeader(source);
    return complete && !isBlocked();
}
