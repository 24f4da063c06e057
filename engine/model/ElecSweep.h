// ElecSweep: one bias or light sweep: its range, up to six result columns
// and a state byte per point. Column 0 holds the swept quantity (bias or
// wavelength); the arrays come from the run's tracked allocator.
#pragma once

#include <cstdint>

class nuSigma;

class ElecSweep {
public:
    static constexpr int MAX_COLUMNS = 6;
    static constexpr int MAX_POINTS = 5000;
    static constexpr int PARAM_COUNT = 12;

    // What a sweep runs over (its type byte).
    static constexpr uint8_t TYPE_BIAS = 0x10;
    static constexpr uint8_t TYPE_LIGHT = 0x20;

    // Per-point state bits.
    static constexpr uint8_t MASK_SET = 0x80;       // prepared
    static constexpr uint8_t MASK_COMPUTED = 0x20;  // a result is stored
    static constexpr uint8_t MASK_FAILED = 0x10;

    explicit ElecSweep(nuSigma* sigma);
    // Builds the sweep at once through set(); see there.
    ElecSweep(nuSigma* sigma, uint8_t type, int count, int points, double start, double end,
              double step, double limitLow, double limitHigh, double unused, int* posL = nullptr,
              int* posC = nullptr, int* posR = nullptr, bool fill = true);
    ~ElecSweep();
    ElecSweep(const ElecSweep&) = delete;
    ElecSweep& operator=(const ElecSweep&) = delete;

    // Stores the range with its count and point number clamped to the valid
    // ones, then allocates the arrays (assignResources). The tenth argument
    // is not read. The position pointers may be null.
    bool set(uint8_t type, int count, int points, double start, double end, double step,
             double limitLow, double limitHigh, double unused, int* posL = nullptr,
             int* posC = nullptr, int* posR = nullptr, bool fill = true);
    // Allocates zeroed arrays; with fill, column 0 runs from start by step
    // (ending exactly at end), the other columns hold fillValue, every point
    // is prepared, and the zero crossing of column 0 is located: posL the
    // last point below 0, posC the point at exactly 0, posR the first point
    // above 0. A pointer whose position is not found keeps its value.
    bool assignResources(double fillValue, int* posL, int* posC, int* posR, bool fill);
    void releaseResources();
    // True while the columns and the state array are allocated.
    bool isAllocated() const { return mask != nullptr; }

    double getData(int column, int point) const;
    void setData(int column, int point, double value);
    uint8_t getMask(int point) const;
    // Every call with bit 0x20 counts the point as valid, also a repeated one.
    void setMask(int point, uint8_t state);

    int getPosStart() const;
    int getPosEnd() const;
    double getStep() const;
    int incPos();

    void getLimit(double* low, double* high, int* reached) const;
    bool setLimit(int reached);
    bool isLimitReached() const { return limitReached != 0; }
    bool isLowLimitReached() const { return limitReached == -1; }
    bool isHighLimitReached() const { return limitReached == 1; }

    double getParam(int index, int* out) const;
    void setParam(int index, double value, int indexValue);

    uint8_t getType() const { return sweepType; }
    int getCount() const { return columnCount; }
    int getPoints() const { return pointCount; }
    int getPointsValid() const { return pointsValid; }
    int getPos() const { return pos; }
    int getPosL() const { return belowZero; }
    int getPosC() const { return atZero; }
    int getPosR() const { return aboveZero; }
    double getStart() const { return rangeStart; }
    double getEnd() const { return rangeEnd; }
    void setSigma(nuSigma* sigma) { channel = sigma; }

private:
    void create();
    bool isPoint(int point) const { return point >= 0 && point < pointCount; }
    void fillColumns(double fillValue, int* posL, int* posC, int* posR);

    nuSigma* channel;
    uint8_t sweepType;
    int columnCount;
    int pointCount;
    int pointsValid;
    int pos;
    double rangeStart, rangeEnd, rangeStep;
    int belowZero, atZero, aboveZero;
    double lowLimit, highLimit;
    int limitReached;
    double param[PARAM_COUNT];
    int paramIndex[PARAM_COUNT];
    double* data[MAX_COLUMNS];
    uint8_t* mask;
};
