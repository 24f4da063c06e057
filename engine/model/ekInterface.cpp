#include "ekInterface.h"

#include <cwchar>

#include "kovbase.h"
#include "nuSigma.h"

ekInterface::ekInterface(nuSigma* sigma) : sigma_(sigma)
{
    reset();
}

void ekInterface::reset()
{
    kov_copyW(name_, NAME_SIZE, DEFAULT_NAME);
    type_ = 0;
    layerBefore_ = nullptr;
    layerAfter_ = nullptr;
    pos_ = 0;
    DEC_ = 0.0;
    DEV_ = 0.0;
    tunnel_ = false;
}

bool ekInterface::assignResources()
{
    return sigma_ == nullptr || sigma_->err == 0;
}

void ekInterface::update(const wchar_t* name, double DEC, double DEV, uint8_t type,
                         ekLayer* layerBefore, ekLayer* layerAfter, int pos)
{
    if (sigma_ == nullptr || sigma_->err != 0 || name == nullptr) return;
    if (static_cast<unsigned int>(pos) >= POSITION_LIMIT) return;

    if (!kov_inRange(DEC, 0.0, 5.0) || !kov_inRange(DEV, 0.0, 5.0)) {
        sigma_->error(L"invalid interface parameters");
        return;
    }

    if (!kov_equalsNoCase(name, DEFAULT_NAME)) kov_copyW(name_, NAME_SIZE, name);
    layerBefore_ = layerBefore;
    layerAfter_ = layerAfter;
    pos_ = pos;
    if (DEC < OFFSET_THRESHOLD && DEV < OFFSET_THRESHOLD) {
        DEC = 0.0;
        DEV = 0.0;
        type = 0;
    }
    DEC_ = DEC;
    DEV_ = DEV;
    type_ = type;
}

void ekInterface::copy(const ekInterface* source)
{
    if (source == nullptr || source == this) return;
    sigma_ = source->sigma_;
    kov_copyW(name_, NAME_SIZE, source->name_);
    layerBefore_ = source->layerBefore_;
    layerAfter_ = source->layerAfter_;
    pos_ = source->pos_;
    type_ = source->type_;
    DEC_ = source->DEC_;
    DEV_ = source->DEV_;
    // A copy without the tunnelling flag would describe another junction.
    tunnel_ = source->tunnel_;
}

void ekInterface::getName(wchar_t* buffer) const
{
    if (buffer != nullptr) kov_copyW(buffer, NAME_SIZE, name_);
}
