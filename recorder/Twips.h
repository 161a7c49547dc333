#pragma once
// Control places are given in twips (1/1440 inch); pixels follow the
// screen's resolution, halves rounded to even.

#include <cmath>

namespace recorder {

inline int twipsToPixels(int twips, double dpi) {
    return int(std::nearbyint(twips * dpi / 1440.0));
}

} // namespace recorder
