#include "statistics.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace bench {

double Percentile(std::vector<double> samples, double fraction) {
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    // Nearest rank: the smallest sample with at least `fraction` of all samples at or below it.
    double rank = std::ceil(fraction * static_cast<double>(samples.size()));
    std::size_t index = rank < 1 ? 0 : static_cast<std::size_t>(rank) - 1;
    return samples[std::min(index, samples.size() - 1)];
}

Summary Summarise(const std::vector<double>& samples) {
    Summary s;
    s.count = samples.size();
    if (samples.empty())
        return s;
    s.min = *std::min_element(samples.begin(), samples.end());
    s.max = *std::max_element(samples.begin(), samples.end());
    s.median = Percentile(samples, 0.5);
    s.p99 = Percentile(samples, 0.99);
    s.mean =
        std::accumulate(samples.begin(), samples.end(), 0.0) / static_cast<double>(samples.size());
    return s;
}

} // namespace bench
