// The Gauss coefficients at a date: g(t) = g(t0) + (t - t0) * gdot(t0), and h
// likewise (The US/UK World Magnetic Model for 2025-2030 technical report, the
// model's equations, its time-dependent coefficients).
#include "Coefficients.h"

#include <algorithm>
#include <array>

#include "Lanes.h"

namespace model {

namespace {

// A degree cut to what the arrays hold.
constexpr std::int32_t StoredDegree(std::int32_t degree) { return std::min(degree, kMaxCoefficientDegree); }

// Index of the last working-order entry of a degree: n(n+2).
constexpr std::int32_t LastEntry(std::int32_t degree) { return degree * (degree + 2); }

}  // namespace

template <typename Real>
bool LoadRecords(std::span<const CoefficientRecord> table, bool mainColumns, std::int32_t degree,
                 CoefficientArrayOf<Real>& target) {
    std::size_t record = 0;
    std::int32_t l = 0;
    for (std::int32_t n = 1; n <= StoredDegree(degree); ++n) {
        for (std::int32_t m = 0; m <= n; ++m, ++record) {
            if (record >= table.size() || table[record].n != n || table[record].m != m) return false;
            const CoefficientRecord& row = table[record];
            target[++l] = static_cast<Real>(mainColumns ? row.g : row.gdot);
            if (m != 0) {
                target[++l] = static_cast<Real>(mainColumns ? row.h : row.hdot);
            }
        }
    }
    return true;
}

template bool LoadRecords<float>(std::span<const CoefficientRecord>, bool, std::int32_t, CoefficientArrayOf<float>&);
template bool LoadRecords<double>(std::span<const CoefficientRecord>, bool, std::int32_t, CoefficientArrayOf<double>&);

template <typename Real>
std::int32_t ExtrapolateBothSets(ModelStateOf<Real>& state, Real date, Real nextDate, Real epoch,
                                 std::int32_t mainDegree, std::int32_t secularDegree) {
    const std::int32_t mainEnd = LastEntry(StoredDegree(mainDegree));
    const std::int32_t secularEnd = LastEntry(StoredDegree(secularDegree));
    const std::array<CoefficientArrayOf<Real>*, 2> targets{&state.dateCoefficients, &state.nextYearCoefficients};
    // The time factor t - t0 in the working type.
    const std::array<Real, 2> factors{static_cast<Real>(static_cast<double>(date) - epoch),
                                      static_cast<Real>(static_cast<double>(nextDate) - epoch)};
    const CoefficientArrayOf<Real>& main = state.mainField;
    const CoefficientArrayOf<Real>& secular = state.secularVariation;
    const std::int32_t both = std::min(mainEnd, secularEnd);
    // Two entries at a time in the lanes of a vector, each date's from the same
    // loads; the odd last one alone.
    std::int32_t i = 1;
    for (; i + 1 <= both; i += 2) {
        const Lanes variation = LoadLanes(&secular[i]);
        const Lanes epochValue = LoadLanes(&main[i]);
        for (std::size_t c = 0; c < targets.size(); ++c) {
            StoreLanes(&(*targets[c])[i], variation * static_cast<double>(factors[c]) + epochValue);
        }
    }
    for (std::size_t c = 0; c < targets.size(); ++c) {
        const double t = factors[c];
        CoefficientArrayOf<Real>& target = *targets[c];
        if (i == both) {
            target[i] = static_cast<Real>(secular[i] * t + main[i]);
        }
        for (std::int32_t j = both + 1; j <= mainEnd; ++j) {
            target[j] = main[j];  // degrees above the secular variation
        }
        for (std::int32_t j = both + 1; j <= secularEnd; ++j) {
            target[j] = static_cast<Real>(t * secular[j]);  // degrees above the main field
        }
    }
    return std::max(mainDegree, secularDegree);
}

template std::int32_t ExtrapolateBothSets<float>(ModelStateOf<float>&, float, float, float, std::int32_t, std::int32_t);
template std::int32_t ExtrapolateBothSets<double>(ModelStateOf<double>&, double, double, double, std::int32_t,
                                                  std::int32_t);

}  // namespace model
