// The mesh point range of a whole device. Apart from ekLimits.h because it
// is the numeric settings' own range: only the few units that check a point
// count take nuParam.h with it.
#pragma once

#include "nuParam.h"

namespace ekLimits {

inline constexpr int DEVICE_POINTS_MIN = nuParam::POINTS_MIN;
inline constexpr int DEVICE_POINTS_MAX = nuParam::POINTS_MAX;

}  // namespace ekLimits
