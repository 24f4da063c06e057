// The words that name a key's range, the same on both sides of the device
// file.
#include "kovKeyLimits.h"

#include "kovbase.h"

std::string kov_limitNumberText(double value)
{
    char number[64];
    kov_reformatAuto(value, number, static_cast<int>(sizeof number) - 1, 6);
    return number;
}

std::string kov_rangeText(double minimum, double maximum, const char* unit)
{
    std::string text =
        "from " + kov_limitNumberText(minimum) + " to " + kov_limitNumberText(maximum);
    if (unit != nullptr && unit[0] != '\0') {
        text += std::string(" ") + unit;
    }
    return text;
}

std::string kov_rangeText(const KovKeyLimit& limit)
{
    return kov_rangeText(limit.minimum, limit.maximum, limit.unit);
}
