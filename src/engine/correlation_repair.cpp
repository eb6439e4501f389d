#include "engine/correlation_repair.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "engine/cholesky.h"
#include "setup/decimal_conversion.h"

namespace zek {

namespace {

using Matrix = SquareMatrix;

// The determinant by elimination with partial pivoting.
double Determinant(Matrix m, int order) {
    double determinant = 1.0;
    for (int column = 0; column < order; ++column) {
        int pivot = column;
        for (int row = column + 1; row < order; ++row) {
            if (std::fabs(m[row][column]) > std::fabs(m[pivot][column])) pivot = row;
        }
        if (m[pivot][column] == 0.0) return 0.0;
        if (pivot != column) {
            std::swap(m[pivot], m[column]);
            determinant = -determinant;
        }
        determinant *= m[column][column];
        for (int row = column + 1; row < order; ++row) {
            const double factor = m[row][column] / m[column][column];
            for (int k = column; k < order; ++k) m[row][k] -= factor * m[column][k];
        }
    }
    return determinant;
}

bool PositiveDefinite(const Matrix& full, int order, int skipped) {
    std::array<double, kPackedSize> packed{};
    int row = 0;
    for (int i = 0; i < order; ++i) {
        if (i == skipped) continue;
        int column = 0;
        for (int j = 0; j <= i; ++j) {
            if (j == skipped) continue;
            packed[static_cast<std::size_t>(PackedIndex(row + 1, column + 1))] = full[i][j];
            ++column;
        }
        ++row;
    }
    return CholeskyFactor(skipped < 0 ? order : order - 1, packed) ==
           CholeskyStatus::PositiveDefinite;
}

}  // namespace

std::string FixedDecimals(double value, int decimals) {
    char buffer[48];
    const auto result =
        ToChars(buffer, buffer + sizeof buffer, value + 0.0, std::chars_format::fixed, decimals);
    std::string text(buffer, result.ptr);
    // A zero rounded from below is no negative number.
    if (text.find_first_not_of("-0.") == std::string::npos && text.front() == '-') text.erase(0, 1);
    return text;
}

std::string TwoDecimals(double value) {
    return FixedDecimals(value, 2);
}

std::string AsTyped(double value) {
    char buffer[32];
    const auto result = ToChars(buffer, buffer + sizeof buffer, value + 0.0);
    return std::string(buffer, result.ptr);
}

std::optional<UsableInterval> UsableIntervalOf(const Matrix& full, int order, int i, int j) {
    const int a = i - 1;
    const int b = j - 1;
    if (!PositiveDefinite(full, order, a)) return std::nullopt;
    auto determinantAt = [&](double x) {
        Matrix m = full;
        m[a][b] = x;
        m[b][a] = x;
        return Determinant(m, order);
    };
    // det(x) = c + b x + a x^2, exactly, from three values.
    const double atZero = determinantAt(0.0);
    const double atOne = determinantAt(1.0);
    const double atMinusOne = determinantAt(-1.0);
    const double quadratic = (atOne + atMinusOne) / 2.0 - atZero;
    const double linear = (atOne - atMinusOne) / 2.0;
    if (!(quadratic < 0.0)) return std::nullopt;
    const double discriminant = linear * linear - 4.0 * quadratic * atZero;
    if (!(discriminant > 0.0)) return std::nullopt;
    const double root = std::sqrt(discriminant);
    UsableInterval interval{(-linear + root) / (2.0 * quadratic),
                            (-linear - root) / (2.0 * quadratic)};
    if (interval.low > interval.high) std::swap(interval.low, interval.high);
    interval.low = std::max(interval.low, -1.0);
    interval.high = std::min(interval.high, 1.0);
    if (!(interval.low < interval.high)) return std::nullopt;
    return interval;
}

std::optional<UsableInterval> RoundedInwards(const UsableInterval& interval, int decimals) {
    // Rounded inwards, so that the values named are usable as typed.
    const double scale = std::pow(10.0, decimals);
    const double step = 1.0 / scale;
    double low = std::ceil(interval.low * scale - 1e-9) / scale;
    double high = std::floor(interval.high * scale + 1e-9) / scale;
    if (!(low > interval.low)) low += step;
    if (!(high < interval.high)) high -= step;
    if (low > high) return std::nullopt;
    return UsableInterval{low, high};
}

std::vector<std::string> CorrelationRepairHints(const Matrix& full, int order,
                                                const EntryReading& reading) {
    auto read = [&](int i, int j, double entry) { return reading ? reading(i, j, entry) : entry; };
    std::vector<std::string> hints;
    for (int i = 1; i <= order; ++i) {
        for (int j = i + 1; j <= order; ++j) {
            const std::optional<UsableInterval> usable = UsableIntervalOf(full, order, i, j);
            if (!usable) continue;
            const double entry = full[i - 1][j - 1];
            if (usable->low < entry && entry < usable->high) continue;
            const UsableInterval interval{read(i, j, usable->low), read(i, j, usable->high)};
            const double current = read(i, j, entry);
            std::string hint = "r" + std::to_string(10 * i + j) + " = " + TwoDecimals(current) +
                               ": with the others kept, ";
            if (const std::optional<UsableInterval> typed = RoundedInwards(interval)) {
                const double nearest = current < typed->low ? typed->low : typed->high;
                hint += "use a value between " + TwoDecimals(typed->low) + " and " +
                        TwoDecimals(typed->high) + " (the nearest is " + TwoDecimals(nearest) + ")";
            } else {
                hint += "only values between " + TwoDecimals(interval.low) + " and " +
                        TwoDecimals(interval.high) + " work, too close to show with two decimals";
            }
            hints.push_back(hint);
        }
    }
    if (hints.empty()) {
        hints.push_back(
            "No single correlation can be changed to make the matrix usable; change "
            "several of them, or set them all to 0 and start again.");
    }
    return hints;
}

}  // namespace zek
