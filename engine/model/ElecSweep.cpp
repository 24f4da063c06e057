#include "ElecSweep.h"

#include <algorithm>
#include <iterator>

#include "ekHelpers.h"
#include "kovText.h"
#include "nuSigma.h"

ElecSweep::ElecSweep(nuSigma* sigma)
{
    create();
    channel = sigma;
}

ElecSweep::ElecSweep(nuSigma* sigma, uint8_t type, int count, int points, double start, double end,
                     double step, double limitLow, double limitHigh, double unused, int* posL,
                     int* posC, int* posR, bool fill)
{
    create();
    channel = sigma;
    set(type, count, points, start, end, step, limitLow, limitHigh, unused, posL, posC, posR, fill);
}

ElecSweep::~ElecSweep() { releaseResources(); }

void ElecSweep::create()
{
    channel = nullptr;
    sweepType = TYPE_BIAS;
    columnCount = 2;
    pointCount = 20;
    pointsValid = 0;
    pos = 0;
    rangeStart = 0.0;
    rangeEnd = 1.0;
    rangeStep = 0.0;
    belowZero = atZero = aboveZero = -1;
    lowLimit = highLimit = 0.0;
    limitReached = 0;
    std::fill(std::begin(param), std::end(param), 0.0);
    std::fill(std::begin(paramIndex), std::end(paramIndex), -1);
    std::fill(std::begin(data), std::end(data), nullptr);
    mask = nullptr;
}

bool ElecSweep::set(uint8_t type, int count, int points, double start, double end, double step,
                    double limitLow, double limitHigh, double /*unused*/, int* posL, int* posC,
                    int* posR, bool fill)
{
    sweepType = type;
    rangeStart = start;
    columnCount = (count >= 1 && count <= MAX_COLUMNS) ? count : 2;
    rangeEnd = std::max(start, end);
    pointCount = (points >= 1 && points <= MAX_POINTS) ? points : 50;
    // The clamped point count: the raw argument may be 0 or negative.
    rangeStep = (step >= 0.0 && step <= rangeEnd - rangeStart)
                    ? step
                    : (rangeEnd - rangeStart) / pointCount;
    limitReached = 0;
    lowLimit = limitLow;
    highLimit = limitHigh;
    const double fillValue = (limitHigh > 0.0) ? 10.0 * limitHigh : 1.0;
    return assignResources(fillValue, posL, posC, posR, fill);
}

bool ElecSweep::assignResources(double fillValue, int* posL, int* posC, int* posR, bool fill)
{
    if (channel == nullptr || channel->err != 0) {
        return false;
    }
    if (columnCount < 1 || columnCount > MAX_COLUMNS || pointCount < 1 || pointCount > MAX_POINTS ||
        !(rangeStart <= rangeEnd)) {
        channel->error(L"invalid sweep parameters");
        return false;
    }

    releaseResources();
    const size_t n = static_cast<size_t>(pointCount);
    bool allocated = true;
    for (int c = 0; c < columnCount; ++c) {
        data[c] = channel->mallocDbl(n, true);
        allocated = allocated && data[c] != nullptr;
    }
    mask = channel->mallocBt(n, true);
    if (!allocated || mask == nullptr) {
        releaseResources();
        channel->error(KOV_NO_MEMORY_W);
        return false;
    }
    // A fresh state array holds no computed point.
    pointsValid = 0;

    if (fill) {
        fillColumns(fillValue, posL, posC, posR);
    }
    return true;
}

void ElecSweep::fillColumns(double fillValue, int* posL, int* posC, int* posR)
{
    double* x = data[0];
    mask[0] = MASK_SET;
    // One point has no step to derive; keep the given one then.
    if (ek_isEqual(rangeStep, 0.0) && pointCount > 1) {
        rangeStep = (rangeEnd - rangeStart) / (pointCount - 1);
    }
    x[0] = rangeStart;
    for (int c = 1; c < columnCount; ++c) {
        data[c][0] = fillValue;
    }

    bool foundL = false, foundC = false, foundR = false;
    for (int i = 1; i < pointCount; ++i) {
        x[i] = x[i - 1] + rangeStep;
        for (int c = 1; c < columnCount; ++c) {
            data[c][i] = fillValue;
        }
        mask[i] = MASK_SET;

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

    const int last = pointCount - 1;
    x[last] = rangeEnd;
    if (posL != nullptr && !foundL && x[last] <= 0.0) {
        *posL = last;
    }
    if (posC != nullptr && !foundC && ek_isZero(x[last])) {
        *posC = last;
        x[last] = 0.0;
    }
    if (posR != nullptr && !foundR && x[last] >= 0.0) {
        *posR = last;
    }

    if (posL != nullptr) {
        belowZero = *posL;
    }
    if (posC != nullptr) {
        atZero = *posC;
    }
    if (posR != nullptr) {
        aboveZero = *posR;
    }
}

void ElecSweep::releaseResources()
{
    for (double*& column : data) {
        if (column != nullptr && channel != nullptr) {
            channel->freeDbl(&column);
        }
        column = nullptr;
    }
    if (mask != nullptr && channel != nullptr) {
        channel->freeBt(&mask);
    }
    mask = nullptr;
}

double ElecSweep::getData(int column, int point) const
{
    if (column < 0 || column >= columnCount || !isPoint(point) || data[column] == nullptr) {
        return 0.0;
    }
    return data[column][point];
}

void ElecSweep::setData(int column, int point, double value)
{
    if (column < 0 || column >= columnCount || !isPoint(point) || data[column] == nullptr) {
        return;
    }
    data[column][point] = value;
}

uint8_t ElecSweep::getMask(int point) const
{
    if (!isPoint(point) || mask == nullptr) {
        return MASK_SET;
    }
    return mask[point];
}

void ElecSweep::setMask(int point, uint8_t state)
{
    if (!isPoint(point) || mask == nullptr) {
        return;
    }
    mask[point] = state;
    if (state & MASK_COMPUTED) {
        ++pointsValid;
    }
}

int ElecSweep::getPosStart() const
{
    if (pointCount < 2 || mask == nullptr) {
        return 0;
    }
    for (int i = 0; i < pointCount; ++i) {
        if (mask[i] & MASK_COMPUTED) {
            return i;
        }
    }
    return 0;
}

int ElecSweep::getPosEnd() const
{
    if (pointCount < 2 || mask == nullptr) {
        return pointCount - 1;
    }
    for (int i = pointCount - 1; i >= 0; --i) {
        if (mask[i] & MASK_COMPUTED) {
            return i;
        }
    }
    return pointCount - 1;
}

double ElecSweep::getStep() const
{
    if (pointCount < 2 || pointCount > 20000 || rangeStart >= rangeEnd) {
        return 0.0;
    }
    return (rangeEnd - rangeStart) / (pointCount - 1);
}

int ElecSweep::incPos()
{
    pos = std::min(pos + 1, pointCount - 1);
    return pos;
}

void ElecSweep::getLimit(double* low, double* high, int* reached) const
{
    if (low != nullptr) {
        *low = lowLimit;
    }
    if (high != nullptr) {
        *high = highLimit;
    }
    if (reached != nullptr) {
        *reached = limitReached;
    }
}

bool ElecSweep::setLimit(int reached)
{
    limitReached = reached;
    return reached != 0;
}

double ElecSweep::getParam(int index, int* out) const
{
    if (index < 0 || index >= PARAM_COUNT) {
        return 0.0;
    }
    if (out != nullptr) {
        *out = paramIndex[index];
    }
    return param[index];
}

void ElecSweep::setParam(int index, double value, int indexValue)
{
    if (index < 0 || index >= PARAM_COUNT) {
        return;
    }
    param[index] = value;
    paramIndex[index] = indexValue;
}
