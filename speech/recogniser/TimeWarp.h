#pragma once
// Comparing two sayings of a word that differ in speed: the cheapest
// alignment of their frames, and how badly its worst stretch matches.

#include "WordFeatures.h"

#include <cstddef>
#include <limits>

namespace speech {

// How far apart two words are after dynamic time warping: small when they
// are the same word said faster or slower. `mean` is per step of the best
// path; `worst` the mean over its worst kWorstWindow steps. Pairs whose
// lengths differ by more than 2.5 times are not compared (infinite).
struct Warp {
    double mean = std::numeric_limits<double>::infinity();
    double worst = std::numeric_limits<double>::infinity();
};
constexpr std::size_t kWorstWindow = 15;
Warp warp(const WordFeatures& a, const WordFeatures& b);

} // namespace speech
