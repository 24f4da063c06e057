#include "ElecSweep.h"

#include <algorithm>
#include <iterator>

#include "ekHelpers.h"
#include "kovText.h"
#include "nuSigma.h"

ElecSweep::ElecSweep(nuSigma* sigma)
{
    create();
    sigma_ = sigma;
}

ElecSweep::ElecSweep(nuSigma* sigma, uint8_t type, int count, int points, double start,
                     double end, double step, double limitLow, double limitHigh,
                     double unused, int* posL, int* posC, int* posR, bool fill)
{
    create();
    sigma_ = sigma;
    set(type, count, points, start, end, step, limitLow, limitHigh, unused, posL, posC, posR,
        fill);
}

ElecSweep::~ElecSweep()
{
    releaseResources();
}

void ElecSweep::create()
{
    sigma_ = nullptr;
    type_ = TYPE_BIAS;
    count_ = 2;
    points_ = 20;
    pointsValid_ = 0;
    pos_ = 0;
    start_ = 0.0;
    end_ = 1.0;
    step_ = 0.0;
    posL_ = posC_ = posR_ = -1;
    limitLow_ = limitHigh_ = 0.0;
    limitReached_ = 0;
    std::fill(std::begin(param_), std::end(param_), 0.0);
    std::fill(std::begin(paramIndex_), std::end(paramIndex_), -1);
    std::fill(std::begin(data_), std::end(data_), nullptr);
    mask_ = nullptr;
}

bool ElecSweep::set(uint8_t type, int count, int points, double start, double end,
                    double step, double limitLow, double limitHigh, double /*unused*/,
                    int* posL, int* posC, int* posR, bool fill)
{
    type_ = type;
    start_ = start;
    count_ = (count >= 1 && count <= MAX_COLUMNS) ? count : 2;
    end_ = std::max(start, end);
    points_ = (points >= 1 && points <= MAX_POINTS) ? points : 50;
    // The clamped point count: the raw argument may be 0 or negative.
    step_ = (step >= 0.0 && step <= end_ - start_) ? step : (end_ - start_) / points_;
    limitReached_ = 0;
    limitLow_ = limitLow;
    limitHigh_ = limitHigh;
    const double fillValue = (limitHigh > 0.0) ? 10.0 * limitHigh : 1.0;
    return assignResources(fillValue, posL, posC, posR, fill);
}

bool ElecSweep::assignResources(double fillValue, int* posL, int* posC, int* posR, bool fill)
{
    if (sigma_ == nullptr || sigma_->err != 0)
        return false;
    if (count_ < 1 || count_ > MAX_COLUMNS || points_ < 1 || points_ > MAX_POINTS
        || !(start_ <= end_)) {
        sigma_->error(L"invalid sweep parameters");
        return false;
    }

    releaseResources();
    const size_t n = static_cast<size_t>(points_);
    bool allocated = true;
    for (int c = 0; c < count_; ++c) {
        data_[c] = sigma_->mallocDbl(n, true);
        allocated = allocated && data_[c] != nullptr;
    }
    mask_ = sigma_->mallocBt(n, true);
    if (!allocated || mask_ == nullptr) {
        releaseResources();
        sigma_->error(KOV_NO_MEMORY_W);
        return false;
    }
    // A fresh state array holds no computed point.
    pointsValid_ = 0;

    if (fill)
        fillColumns(fillValue, posL, posC, posR);
    return true;
}

void ElecSweep::fillColumns(double fillValue, int* posL, int* posC, int* posR)
{
    double* x = data_[0];
    mask_[0] = MASK_SET;
    // One point has no step to derive; keep the given one then.
    if (ek_isEqual(step_, 0.0) && points_ > 1)
        step_ = (end_ - start_) / (points_ - 1);
    x[0] = start_;
    for (int c = 1; c < count_; ++c)
        data_[c][0] = fillValue;

    bool foundL = false, foundC = false, foundR = false;
    for (int i = 1; i < points_; ++i) {
        x[i] = x[i - 1] + step_;
        for (int c = 1; c < count_; ++c)
            data_[c][i] = fillValue;
        mask_[i] = MASK_SET;

        if (posL != nullptr && !foundL && x[i - 1] < 0.0 && x[i] >= 0.0) {
            *posL = i - 1;
            foundL = true;
        }
        if (posC != nullptr && !foundC && ek_isZero(x[i])) {
            *posC = i;
            x[i] = 0.0;
            foundC = true;
        }
        if (posR != nullptr && !foundR && x[i - 1] <= 0.0 && x[i] > 0.0) {
            *posR = i;
            foundR = true;
        }
    }

    const int last = points_ - 1;
    x[last] = end_;
    if (posL != nullptr && !foundL && x[last] <= 0.0)
        *posL = last;
    if (posC != nullptr && !foundC && ek_isZero(x[last])) {
        *posC = last;
        x[last] = 0.0;
    }
    if (posR != nullptr && !foundR && x[last] >= 0.0)
        *posR = last;

    if (posL != nullptr)
        posL_ = *posL;
    if (posC != nullptr)
        posC_ = *posC;
    if (posR != nullptr)
        posR_ = *posR;
}

void ElecSweep::releaseResources()
{
    for (double*& column : data_) {
        if (column != nullptr && sigma_ != nullptr)
            sigma_->freeDbl(&column);
        column = nullptr;
    }
    if (mask_ != nullptr && sigma_ != nullptr)
        sigma_->freeBt(&mask_);
    mask_ = nullptr;
}

double ElecSweep::getData(int column, int point) const
{
    if (column < 0 || column >= count_ || !isPoint(point) || data_[column] == nullptr)
        return 0.0;
    return data_[column][point];
}

void ElecSweep::setData(int column, int point, double value)
{
    if (column < 0 || column >= count_ || !isPoint(point) || data_[column] == nullptr)
        return;
    data_[column][point] = value;
}

uint8_t ElecSweep::getMask(int point) const
{
    if (!isPoint(point) || mask_ == nullptr)
        return MASK_SET;
    return mask_[point];
}

void ElecSweep::setMask(int point, uint8_t state)
{
    if (!isPoint(point) || mask_ == nullptr)
        return;
    mask_[point] = state;
    if (state & MASK_COMPUTED)
        ++pointsValid_;
}

int ElecSweep::getPosStart() const
{
    if (points_ < 2 || mask_ == nullptr)
        return 0;
    for (int i = 0; i < points_; ++i) {
        if (mask_[i] & MASK_COMPUTED)
            return i;
    }
    return 0;
}

int ElecSweep::getPosEnd() const
{
    if (points_ < 2 || mask_ == nullptr)
        return points_ - 1;
    for (int i = points_ - 1; i >= 0; --i) {
        if (mask_[i] & MASK_COMPUTED)
            return i;
    }
    return points_ - 1;
}

double ElecSweep::getStep() const
{
    if (points_ < 2 || points_ > 20000 || start_ >= end_)
        return 0.0;
    return (end_ - start_) / (points_ - 1);
}

int ElecSweep::incPos()
{
    pos_ = std::min(pos_ + 1, points_ - 1);
    return pos_;
}

void ElecSweep::getLimit(double* low, double* high, int* reached) const
{
    if (low != nullptr)
        *low = limitLow_;
    if (high != nullptr)
        *high = limitHigh_;
    if (reached != nullptr)
        *reached = limitReached_;
}

bool ElecSweep::setLimit(int reached)
{
    limitReached_ = reached;
    return reached != 0;
}

double ElecSweep::getParam(int index, int* out) const
{
    if (index < 0 || index >= PARAM_COUNT)
        return 0.0;
    if (out != nullptr)
        *out = paramIndex_[index];
    return param_[index];
}

void ElecSweep::setParam(int index, double value, int indexValue)
{
    if (index < 0 || index >= PARAM_COUNT)
        return;
    param_[index] = value;
    paramIndex_[index] = indexValue;
}
