// Order statistics of a set of samples, for figures given as median and spread.
#pragma once

#include <vector>

namespace bench {

struct Summary {
    std::size_t count = 0;
    double min = 0;
    double median = 0;
    double p99 = 0;
    double max = 0;
    double mean = 0;
};

// Nearest-rank percentile (`fraction` 0..1) of `samples`; 0 for no samples.
double Percentile(std::vector<double> samples, double fraction);

Summary Summarise(const std::vector<double>& samples);

} // namespace bench
