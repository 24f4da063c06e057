// ekLayer: the up to five trap levels of a layer. Slots 0..trapCount-1
// always hold a trap; slots above are empty.
#include <cwchar>
#include <new>

#include "ekHelpers.h"
#include "ekLayer.h"
#include "ekLayerRanges.h"
#include "ekLevel.h"
#include "nuSigma.h"

ekLevel* ekLayer::addTrap(const wchar_t* trapName, uint8_t type, double N, double Nr, double E,
                          double W, double taun, double taup, double F, bool dedup)
{
    if (isBlocked() || N < 0.0) {
        return nullptr;
    }
    if (dedup) {
        for (int i = 0; i < trapCount; ++i) {
            const ekLevel* trap = traps[i];
            if (ek_isEqual(trap->getN(), N) && ek_isEqual(trap->getNr(), Nr) &&
                ek_isEqual(trap->getE(), E) && ek_isEqual(trap->getW(), W) &&
                ek_isEqual(trap->getTn(), taun) && ek_isEqual(trap->getTp(), taup)) {
                return traps[i];
            }
        }
    }
    if (trapCount >= TRAPS_MAX) {
        reportError(L"maximum number of traps reached in the layer");
        return nullptr;
    }
    freeTrapSlot(trapCount);
    // A level made without a name would keep its default values instead of
    // the given ones.
    const wchar_t* levelName = trapName ? trapName : L"LevelX";
    ekLevel* trap =
        new (std::nothrow) ekLevel(sigma, levelName, type, N, Nr, capEnergy(E), W, taun, taup, F);
    if (trap == nullptr) {
        sigma->reportNoMemory();
        return nullptr;
    }
    if (!sigma->isOK()) {
        // The level refused its values and said why.
        delete trap;
        return nullptr;
    }
    traps[trapCount++] = trap;
    return trap;
}

ekLevel* ekLayer::addTrap(const ekLevel* level)
{
    if (level == nullptr) {
        return nullptr;
    }
    return addTrap(level->getName(), level->getType(), level->getN(), level->getNr(), level->getE(),
                   level->getW(), level->getTn(), level->getTp(), level->getF(), true);
}

void ekLayer::freeTrapSlot(int slot)
{
    delete traps[slot];
    traps[slot] = nullptr;
}

int ekLayer::findTrap(const wchar_t* trapName) const
{
    if (trapName == nullptr) {
        return -1;
    }
    for (int i = 0; i < trapCount; ++i) {
        if (traps[i] && wcscasecmp(traps[i]->getName(), trapName) == 0) {
            return i;
        }
    }
    return -1;
}

void ekLayer::removeTrap(int index, uint8_t type)
{
    if (isBlocked() || index < 0 || index >= trapCount) {
        return;
    }
    freeTrapSlot(index);
    for (int i = index; i < trapCount - 1; ++i) {
        traps[i] = traps[i + 1];
    }
    traps[trapCount - 1] = nullptr;
    --trapCount;
}

void ekLayer::removeTrap(const wchar_t* trapName, uint8_t type)
{
    const int index = findTrap(trapName);
    if (index >= 0) {
        removeTrap(index, type);
    }
}

void ekLayer::removeAllTraps()
{
    for (int slot = 0; slot < TRAPS_MAX; ++slot) {
        freeTrapSlot(slot);
    }
    trapCount = 0;
}

bool ekLayer::updateTrap(int index, uint8_t type, double N, double Nr, double E, double W,
                         double taun, double taup, double F)
{
    if (isBlocked() || index < 0 || index >= trapCount || traps[index] == nullptr) {
        return false;
    }
    traps[index]->update(N, Nr, capEnergy(E), W, taun, taup, F);
    return sigma->isOK();
}

bool ekLayer::updateTrap(const wchar_t* trapName, uint8_t type, double N, double Nr, double E,
                         double W, double taun, double taup, double F)
{
    if (isBlocked()) {
        return false;
    }
    return updateTrap(findTrap(trapName), type, N, Nr, E, W, taun, taup, F);
}

bool ekLayer::updateTrap(const wchar_t* trapName, uint8_t type, const ekLevel* level)
{
    if (isBlocked() || level == nullptr) {
        return false;
    }
    const int index = findTrap(trapName);
    if (index < 0) {
        return false;
    }
    traps[index]->copy(level);
    traps[index]->setSigma(sigma);
    return true;
}

ekLevel* ekLayer::getTrap(const wchar_t* trapName) const
{
    const int index = findTrap(trapName);
    return index >= 0 ? traps[index] : nullptr;
}

ekLevel* ekLayer::getTrap(int index) const
{
    return index >= 0 && index < trapCount ? traps[index] : nullptr;
}
