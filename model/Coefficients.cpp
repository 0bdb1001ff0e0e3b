#include "Coefficients.h"

#include <algorithm>

#include "ModelState.h"

namespace model {

namespace {

CoefficientArray* TargetArray(std::int32_t targetCode)
{
    switch (targetCode) {
    case kMainFieldTarget: return &modelState.mainField;
    case kSecularVariationTarget: return &modelState.secularVariation;
    default: return nullptr;
    }
}

CoefficientArray* SetArray(std::int32_t setCode)
{
    switch (setCode) {
    case kDateSet: return &modelState.dateCoefficients;
    case kNextYearSet: return &modelState.nextYearCoefficients;
    default: return nullptr;
    }
}

// Index of the last working-order entry of a degree: n(n+2).
constexpr std::int32_t LastEntry(std::int32_t degree) { return degree * (degree + 2); }

// Copies the records in working order into target (nullptr: an invalid
// target, which stores nothing but sets errorFlag for every value).
std::int32_t LoadRecords(std::span<const CoefficientRecord> table, std::int32_t columnChoice, std::int32_t degree,
                         CoefficientArray* target, std::int32_t& errorFlag)
{
    errorFlag = 0;
    std::size_t record = 0;  // next table record
    std::int32_t l = 0;
    for (std::int32_t n = 1; n <= degree; ++n) {
        for (std::int32_t m = 0; m <= n; ++m, ++record) {
            if (record >= table.size()) {
                return kTableOutOfOrder;  // a short table lacks the expected record
            }
            const CoefficientRecord& row = table[record];
            const auto recordOrder = static_cast<std::int32_t>(row.m);
            const auto recordDegree = static_cast<std::int32_t>(row.n);
            const bool mainColumns = columnChoice == kMainFieldColumns;
            const auto first = static_cast<float>(mainColumns ? row.g : row.gdot);
            const auto second = static_cast<float>(mainColumns ? row.h : row.hdot);
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

// The built-in table in working order, formed once: the table is constant, so
// loading it again would only repeat the same copies and checks.
struct BuiltInArrays {
    CoefficientArray mainField{};
    CoefficientArray secularVariation{};
    bool inOrder = false;
};

const BuiltInArrays& BuiltIn()
{
    static const BuiltInArrays arrays = [] {
        BuiltInArrays built;
        std::int32_t flag = 0;
        built.inOrder =
            LoadRecords(kCoefficientTable, kMainFieldColumns, kMainFieldDegree, &built.mainField, flag) == 0 &&
            LoadRecords(kCoefficientTable, kSecularVariationColumns, kMainFieldDegree, &built.secularVariation,
                        flag) == 0;
        return built;
    }();
    return arrays;
}

}  // namespace

std::int32_t LoadCoefficients(std::int32_t columnChoice, std::int32_t degree, std::int32_t targetCode,
                              std::int32_t& errorFlag)
{
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
    const CoefficientArray& source =
        columnChoice == kMainFieldColumns ? builtIn.mainField : builtIn.secularVariation;
    std::copy(source.begin() + 1, source.begin() + 1 + LastEntry(degree), target->begin() + 1);
    return 0;
}

std::int32_t LoadCoefficients(std::span<const CoefficientRecord> table, std::int32_t columnChoice,
                              std::int32_t degree, std::int32_t targetCode, std::int32_t& errorFlag)
{
    return LoadRecords(table, columnChoice, degree, TargetArray(targetCode), errorFlag);
}

std::int32_t ExtrapolateCoefficients(float date, float epoch, std::int32_t mainDegree, std::int32_t secularDegree,
                                     std::int32_t setCode, std::int32_t& errorFlag)
{
    errorFlag = 0;
    const auto t = static_cast<float>(static_cast<double>(date) - epoch);
    CoefficientArray* target = SetArray(setCode);
    const CoefficientArray& main = modelState.mainField;
    const CoefficientArray& secular = modelState.secularVariation;

    std::int32_t k = LastEntry(mainDegree);
    std::int32_t resultDegree = mainDegree;
    if (secularDegree < mainDegree) {
        // Degrees above the secular variation keep their epoch values.
        k = LastEntry(secularDegree);
        if (target != nullptr && LastEntry(mainDegree) > k) {
            std::copy(main.begin() + k + 1, main.begin() + LastEntry(mainDegree) + 1, target->begin() + k + 1);
        }
    } else if (secularDegree > mainDegree) {
        // Degrees above the main field grow from 0 by the variation alone.
        resultDegree = secularDegree;
        if (target != nullptr) {
            for (std::int32_t i = k + 1; i <= LastEntry(secularDegree); ++i) {
                (*target)[i] = static_cast<float>(static_cast<double>(t) * secular[i]);
            }
        }
    }
    if (target == nullptr) {
        errorFlag = 1;
        return resultDegree;
    }
    for (std::int32_t i = 1; i <= k; ++i) {
        (*target)[i] = static_cast<float>(static_cast<double>(secular[i]) * t + main[i]);
    }
    return resultDegree;
}

}  // namespace model
