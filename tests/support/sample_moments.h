// The sample figures the engine tests compare with their populations.
#pragma once

#include <cmath>
#include <vector>

namespace zek::testing {

inline double Mean(const std::vector<double>& values) {
    double sum = 0.0;
    for (double v : values) sum += v;
    return sum / static_cast<double>(values.size());
}

/// With the n - 1 divisor.
inline double Sd(const std::vector<double>& values) {
    const double mean = Mean(values);
    double sum = 0.0;
    for (double v : values) sum += (v - mean) * (v - mean);
    return std::sqrt(sum / static_cast<double>(values.size() - 1));
}

/// The moment coefficient of skewness, m3 / m2^(3/2).
inline double Skewness(const std::vector<double>& values) {
    const double mean = Mean(values);
    double m2 = 0.0;
    double m3 = 0.0;
    for (double v : values) {
        m2 += (v - mean) * (v - mean);
        m3 += (v - mean) * (v - mean) * (v - mean);
    }
    const auto n = static_cast<double>(values.size());
    return (m3 / n) / std::pow(m2 / n, 1.5);
}

/// Pearson's r.
inline double Correlation(const std::vector<double>& x, const std::vector<double>& y) {
    const double mx = Mean(x);
    const double my = Mean(y);
    double sxy = 0.0, sxx = 0.0, syy = 0.0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        sxy += (x[i] - mx) * (y[i] - my);
        sxx += (x[i] - mx) * (x[i] - mx);
        syy += (y[i] - my) * (y[i] - my);
    }
    return sxy / std::sqrt(sxx * syy);
}

}  // namespace zek::testing
