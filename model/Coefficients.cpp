#include "Coefficients.h"

#include <algorithm>

#include "Lanes.h"
#include "ModelState.h"

namespace model {

namespace {

CoefficientArray* TargetArray(std::int32_t targetCode) {
    switch (targetCode) {
    case kMainFieldTarget: return &modelState.mainField;
    case kSecularVariationTarget: return &modelState.secularVariation;
    default: return nullptr;
    }
}

CoefficientArray* SetArray(std::int32_t setCode) {
    switch (setCode) {
    case kDateSet: return &modelState.dateCoefficients;
    case kNextYearSet: return &modelState.nextYearCoefficients;
    default: return nullptr;
    }
}

// A degree cut to what the arrays hold.
constexpr std::int32_t StoredDegree(std::int32_t degree) { return std::min(degree, kMaxCoefficientDegree); }

// Index of the last working-order entry of a degree: n(n+2).
constexpr std::int32_t LastEntry(std::int32_t degree) { return degree * (degree + 2); }

}  // namespace

template <typename Real>
std::int32_t LoadRecords(std::span<const CoefficientRecord> table, std::int32_t columnChoice, std::int32_t degree,
                         CoefficientArrayOf<Real>* target, std::int32_t& errorFlag) {
    errorFlag = 0;
    std::size_t record = 0;  // next table record
    std::int32_t l = 0;
    for (std::int32_t n = 1; n <= StoredDegree(degree); ++n) {
        for (std::int32_t m = 0; m <= n; ++m, ++record) {
            if (record >= table.size()) {
                return kTableOutOfOrder;  // a short table lacks the expected record
            }
            const CoefficientRecord& row = table[record];
            const auto recordOrder = static_cast<std::int32_t>(row.m);
            const auto recordDegree = static_cast<std::int32_t>(row.n);
            const bool mainColumns = columnChoice == kMainFieldColumns;
            const auto first = static_cast<Real>(mainColumns ? row.g : row.gdot);
            const auto second = static_cast<Real>(mainColumns ? row.h : row.hdot);
            if (recordDegree != n || recordOrder != m) {
                return kTableOutOfOrder;
            }
            ++l;
            if (target != nullptr) {
                (*target)[l] = first;
            } else {
                errorFlag = 1;
            }
            if (recordOrder != 0) {
                ++l;
                if (target != nullptr) {
                    (*target)[l] = second;
                } else {
                    errorFlag = 1;
                }
            }
        }
    }
    return 0;
}

template std::int32_t LoadRecords<float>(std::span<const CoefficientRecord>, std::int32_t, std::int32_t,
                                         CoefficientArrayOf<float>*, std::int32_t&);
template std::int32_t LoadRecords<double>(std::span<const CoefficientRecord>, std::int32_t, std::int32_t,
                                          CoefficientArrayOf<double>*, std::int32_t&);

namespace {

// The built-in table in working order, formed once: the table is constant, so
// loading it again would only repeat the same copies and checks.
struct BuiltInArrays {
    CoefficientArray mainField{};
    CoefficientArray secularVariation{};
    bool inOrder = false;
};

const BuiltInArrays& BuiltIn() {
    static const BuiltInArrays arrays = [] {
        BuiltInArrays built;
        std::int32_t flag = 0;
        built.inOrder =
            LoadRecords<float>(kCoefficientTable, kMainFieldColumns, kMainFieldDegree, &built.mainField, flag) == 0 &&
            LoadRecords<float>(kCoefficientTable, kSecularVariationColumns, kMainFieldDegree, &built.secularVariation,
                               flag) == 0;
        return built;
    }();
    return arrays;
}

}  // namespace

std::int32_t LoadCoefficients(std::int32_t columnChoice, std::int32_t degree, std::int32_t targetCode,
                              std::int32_t& errorFlag) {
    const BuiltInArrays& builtIn = BuiltIn();
    if (degree < 1 || degree > kMainFieldDegree || !builtIn.inOrder) {
        return LoadCoefficients(kCoefficientTable, columnChoice, degree, targetCode, errorFlag);
    }
    CoefficientArray* target = TargetArray(targetCode);
    if (target == nullptr) {
        errorFlag = 1;
        return 0;
    }
    errorFlag = 0;
    const CoefficientArray& source = columnChoice == kMainFieldColumns ? builtIn.mainField : builtIn.secularVariation;
    std::copy(source.begin() + 1, source.begin() + 1 + LastEntry(degree), target->begin() + 1);
    return 0;
}

std::int32_t LoadCoefficients(std::span<const CoefficientRecord> table, std::int32_t columnChoice, std::int32_t degree,
                              std::int32_t targetCode, std::int32_t& errorFlag) {
    return LoadRecords<float>(table, columnChoice, degree, TargetArray(targetCode), errorFlag);
}

namespace {

template <typename Real>
Real TimeFactor(Real date, Real epoch) {
    return static_cast<Real>(static_cast<double>(date) - static_cast<double>(epoch));
}

// Degree of the extrapolated coefficients: the larger of the two.
std::int32_t ResultDegree(std::int32_t mainDegree, std::int32_t secularDegree) {
    return secularDegree > mainDegree ? secularDegree : mainDegree;
}

// Forms mainField + t * secularVariation into each target with its own time
// factor t; each target gets the same values as on its own.
template <typename Real, std::size_t Count>
void Extrapolate(const std::array<Real, Count>& t, std::int32_t mainDegree, std::int32_t secularDegree,
                 const CoefficientArrayOf<Real>& main, const CoefficientArrayOf<Real>& secular,
                 const std::array<CoefficientArrayOf<Real>*, Count>& targets) {
    mainDegree = StoredDegree(mainDegree);
    secularDegree = StoredDegree(secularDegree);
    std::int32_t k = LastEntry(mainDegree);
    if (secularDegree < mainDegree) {
        // Degrees above the secular variation keep their epoch values.
        k = LastEntry(secularDegree);
        for (CoefficientArrayOf<Real>* target : targets) {
            if (LastEntry(mainDegree) > k) {
                std::copy(main.begin() + k + 1, main.begin() + LastEntry(mainDegree) + 1, target->begin() + k + 1);
            }
        }
    } else if (secularDegree > mainDegree) {
        // Degrees above the main field grow from 0 by the variation alone.
        for (std::size_t c = 0; c < Count; ++c) {
            for (std::int32_t i = k + 1; i <= LastEntry(secularDegree); ++i) {
                (*targets[c])[i] = static_cast<Real>(static_cast<double>(t[c]) * secular[i]);
            }
        }
    }
    // Two entries at a time in the lanes of a vector, the odd last one alone.
    std::array<double, Count> factor{};  // kept in registers, whatever the stores touch
    std::copy(t.begin(), t.end(), factor.begin());
    std::int32_t i = 1;
    for (; i + 1 <= k; i += 2) {
        const Lanes variation = LoadLanes(&secular[i]);
        const Lanes epochValue = LoadLanes(&main[i]);
        for (std::size_t c = 0; c < Count; ++c) {
            StoreLanes(&(*targets[c])[i], variation * factor[c] + epochValue);
        }
    }
    if (i == k) {
        const double variation = secular[i];
        const double epochValue = main[i];
        for (std::size_t c = 0; c < Count; ++c) {
            (*targets[c])[i] = static_cast<Real>(variation * t[c] + epochValue);
        }
    }
}

}  // namespace

std::int32_t ExtrapolateCoefficients(float date, float epoch, std::int32_t mainDegree, std::int32_t secularDegree,
                                     std::int32_t setCode, std::int32_t& errorFlag) {
    errorFlag = 0;
    CoefficientArray* target = SetArray(setCode);
    if (target == nullptr) {
        errorFlag = 1;
        return ResultDegree(mainDegree, secularDegree);
    }
    Extrapolate<float, 1>({TimeFactor(date, epoch)}, mainDegree, secularDegree, modelState.mainField,
                          modelState.secularVariation, {target});
    return ResultDegree(mainDegree, secularDegree);
}

std::int32_t ExtrapolateBothSets(float date, float nextDate, float epoch, std::int32_t mainDegree,
                                 std::int32_t secularDegree) {
    return ExtrapolateBothSets(modelState, date, nextDate, epoch, mainDegree, secularDegree);
}

template <typename Real>
std::int32_t ExtrapolateBothSets(ModelStateOf<Real>& state, Real date, Real nextDate, Real epoch,
                                 std::int32_t mainDegree, std::int32_t secularDegree) {
    Extrapolate<Real, 2>({TimeFactor(date, epoch), TimeFactor(nextDate, epoch)}, mainDegree, secularDegree,
                         state.mainField, state.secularVariation,
                         {&state.dateCoefficients, &state.nextYearCoefficients});
    return ResultDegree(mainDegree, secularDegree);
}

template std::int32_t ExtrapolateBothSets<float>(ModelStateOf<float>&, float, float, float, std::int32_t, std::int32_t);
template std::int32_t ExtrapolateBothSets<double>(ModelStateOf<double>&, double, double, double, std::int32_t,
                                                  std::int32_t);

}  // namespace model
