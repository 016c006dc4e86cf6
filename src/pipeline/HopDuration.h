#pragma once

#include <cmath>

// The length a result adds to a span of results: its hop duration, or
// nothing when that is not a positive finite number (a damaged result must
// not make a bounded list unbounded or empty it).
inline double UsableHopDuration(double hopDuration) {
    return (std::isfinite(hopDuration) && hopDuration > 0.0) ? hopDuration : 0.0;
}
