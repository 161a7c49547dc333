#include "TimeWarp.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace speech {

Warp warp(const WordFeatures& a, const WordFeatures& b) {
    const std::size_t n = a.frames(), m = b.frames();
    constexpr double inf = std::numeric_limits<double>::infinity();
    if (n == 0 || m == 0 || double(std::max(n, m)) > 2.5 * double(std::min(n, m)))
        return {};
    std::vector<double> local(n * m);
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < m; ++j) {
            const float* x = a.frame(i);
            const float* y = b.frame(j);
            double sum = 0;
            for (int k = 0; k < WordFeatures::kDims; ++k) {
                const double d = x[k] - y[k];
                sum += d * d;
            }
            local[i * m + j] = std::sqrt(sum);
        }
    // Accumulated cost; a diagonal step counts twice so that every path has
    // the same weight n + m.
    std::vector<double> cost(n * m, inf);
    auto at = [&](std::size_t i, std::size_t j) { return cost[i * m + j]; };
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < m; ++j) {
            const double d = local[i * m + j];
            double best = inf;
            if (i == 0 && j == 0)
                best = 2 * d;
            if (i > 0)
                best = std::min(best, at(i - 1, j) + d);
            if (j > 0)
                best = std::min(best, at(i, j - 1) + d);
            if (i > 0 && j > 0)
                best = std::min(best, at(i - 1, j - 1) + 2 * d);
            cost[i * m + j] = best;
        }
    Warp out;
    out.mean = at(n - 1, m - 1) / double(n + m);

    // Back along the best path: the local distances it went through.
    std::vector<double> path;
    std::size_t i = n - 1, j = m - 1;
    for (;;) {
        path.push_back(local[i * m + j]);
        if (i == 0 && j == 0)
            break;
        if (i == 0)
            --j;
        else if (j == 0)
            --i;
        else {
            const double diagonal = at(i - 1, j - 1) + local[i * m + j];
            if (diagonal <= at(i - 1, j) && diagonal <= at(i, j - 1)) {
                --i;
                --j;
            } else if (at(i - 1, j) <= at(i, j - 1)) {
                --i;
            } else {
                --j;
            }
        }
    }
    // The worst stretch of the path: a word that shares a syllable with
    // another still differs badly over the other syllable.
    const std::size_t window = std::min<std::size_t>(kWorstWindow, path.size());
    double sum = 0;
    for (std::size_t k = 0; k < window; ++k)
        sum += path[k];
    out.worst = sum;
    for (std::size_t k = window; k < path.size(); ++k) {
        sum += path[k] - path[k - window];
        out.worst = std::max(out.worst, sum);
    }
    out.worst /= double(window);
    return out;
}

} // namespace speech
