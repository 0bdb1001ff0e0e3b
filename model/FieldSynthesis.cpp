#include "FieldSynthesis.h"

#include <cmath>

#include "Coefficients.h"

namespace model {

namespace {

constexpr float kDegreeToRadian = 0.01745329f;
constexpr double kPoleMargin = 0.001;
constexpr double kPoleLatitude = 90.0;
constexpr float kNorthGuardLatitude = 89.999f;  // keeps the cosine of the latitude off 0
constexpr float kSouthGuardLatitude = -89.999f;
constexpr float kEquatorialRadiusSquared = 40680924.0f;  // a^2, km^2
constexpr float kPolarRadiusSquared = 40408588.0f;       // b^2, km^2
constexpr float kRadiusSquaredDifference = 272336.0f;    // a^2 - b^2, km^2
constexpr float kReferenceRadius = 6371.2f;              // km

// Recursion constants of one term that depend only on its degree and order,
// formed once with the same expressions as the recursion itself.
// Division by a whole number. Where the number is a power of two, multiplying
// by its reciprocal gives the very same bits and is much cheaper.
struct Divisor {
    double value = 1.0;
    double reciprocal = 0.0;  // 1/value where that is exact, otherwise 0

    static Divisor Of(double value)
    {
        int exponent = 0;
        const bool powerOfTwo = std::frexp(value, &exponent) == 0.5;
        return {value, powerOfTwo ? 1.0 / value : 0.0};
    }

    double Divide(double x) const { return reciprocal != 0.0 ? x * reciprocal : x / value; }
};

struct TermConstants {
    std::int32_t n;
    std::int32_t m;
    float fn;
    float fm;
    std::int32_t i;  // term of degree n-1, same order (other terms)
    std::int32_t j;  // degree n-1 order n-1 (sectoral) or degree n-2, same order
    double sectoralFactor;  // 1 + 1/fm (sectoral terms)
    float a;                // sqrt(1 - 0.5/fm) (sectoral terms)
    // Weights of the terms at i and j. Stored in single precision: kept in
    // double they put Z at 51.5 N 0 E one float step below what the system
    // shows (44157.15); stored, every reference value comes out.
    float e;
    float f;
    Divisor byN;          // fn (other terms) or fm (sectoral terms)
    Divisor byNMinusOne;  // fn - 1 (other terms)
    // e is 0 for m = n-1: the quotient e*p_j/(fn-1) is then e*p_j itself
    // (a signed zero, or NaN from a NaN), so no division is needed.
    bool jWeighted;
};

struct TermTable {
    std::array<TermConstants, kMaxTermCount + 1> terms{};
};

TermTable BuildTermTable()
{
    TermTable table;
    std::int32_t k = 1;
    for (std::int32_t n = 1; n <= kMaxSynthesisDegree; ++n) {
        for (std::int32_t m = 0; m <= n; ++m, ++k) {
            TermConstants& t = table.terms[k];
            t.n = n;
            t.m = m;
            t.fn = static_cast<float>(n);
            t.fm = static_cast<float>(m);
            t.i = k - n;
            if (k < 5) {
                continue;  // seeded terms
            }
            if (m == n) {
                t.j = k - n - 1;
                t.a = static_cast<float>(std::sqrt(1.0 - 0.5 / t.fm));
                t.sectoralFactor = 1.0 + 1.0 / t.fm;
                t.byN = Divisor::Of(t.fm);
            } else {
                t.j = k - 2 * n + 1;
                const double fn = t.fn;
                const double fm = t.fm;
                const auto a = static_cast<float>(std::sqrt(fn * fn - fm * fm));
                t.a = a;
                t.e = static_cast<float>(std::sqrt((fn - 1.0f) * (fn - 1.0f) - fm * fm) / a);
                t.f = static_cast<float>((2.0f * fn - 1.0) / a);
                t.byN = Divisor::Of(fn);
                t.byNMinusOne = Divisor::Of(fn - 1.0f);
                t.jWeighted = t.e != 0.0f;
            }
        }
    }
    return table;
}

const TermTable kTermTable = BuildTermTable();

constexpr std::int32_t TermCount(std::int32_t degree) { return degree * (degree + 3) / 2; }

}  // namespace

void ComputeFieldPosition(float latitude, float longitude, float height, std::int32_t degree, FieldPosition& position)
{
    position.degree = degree;
    const double h = height;
    auto s = static_cast<float>(std::sin(static_cast<double>(latitude) * kDegreeToRadian));

    float guarded = latitude;
    if (kPoleLatitude - latitude < kPoleMargin) {
        guarded = kNorthGuardLatitude;
    } else if (kPoleLatitude + latitude < kPoleMargin) {
        guarded = kSouthGuardLatitude;
    }
    auto ct = static_cast<float>(std::cos(static_cast<double>(guarded) * kDegreeToRadian));

    const double lambda = static_cast<double>(longitude) * kDegreeToRadian;
    position.sl[1] = static_cast<float>(std::sin(lambda));
    position.cl[1] = static_cast<float>(std::cos(lambda));

    // Geodetic to geocentric.
    const double A = kEquatorialRadiusSquared * static_cast<double>(ct) * ct;
    const double B = kPolarRadiusSquared * static_cast<double>(s) * s;
    const double Q = A + B;
    const double W = std::sqrt(Q);
    const auto r = static_cast<float>(
        std::sqrt(h * (h + 2.0 * W) + (kEquatorialRadiusSquared * A + kPolarRadiusSquared * B) / Q));
    const auto cd = static_cast<float>((h + W) / r);
    const auto sd = static_cast<float>(kRadiusSquaredDifference * static_cast<double>(s) * ct / (W * r));
    const float geodeticS = s;
    s = static_cast<float>(static_cast<double>(geodeticS) * cd - static_cast<double>(ct) * sd);
    ct = static_cast<float>(static_cast<double>(ct) * cd + static_cast<double>(geodeticS) * sd);
    position.radius = r;
    position.s = s;
    position.ct = ct;
    position.cd = cd;
    position.sd = sd;

    const auto ratio = static_cast<float>(kReferenceRadius / static_cast<double>(r));
    for (std::int32_t n = 1; n <= degree; ++n) {
        position.rr[n] = static_cast<float>(std::pow(static_cast<double>(ratio), n + 2));
    }

    // Seed terms: degree 1 order 0 and 1, degree 2 order 0 and 1.
    const double sD = s;
    const double ctD = ct;
    const auto sqrt3 = static_cast<float>(std::sqrt(3.0));
    auto& p = position.p;
    auto& q = position.q;
    p[1] = static_cast<float>(2.0f * sD);
    p[2] = static_cast<float>(2.0f * ctD);
    p[3] = static_cast<float>(4.5f * sD * sD - 1.5f);
    p[4] = static_cast<float>(3.0f * static_cast<double>(sqrt3) * ctD * sD);
    q[1] = -ct;
    q[2] = s;
    q[3] = static_cast<float>(-3.0f * ctD * sD);
    q[4] = static_cast<float>(sqrt3 * (sD * sD - ctD * ctD));

    auto& sl = position.sl;
    auto& cl = position.cl;
    const double sl1 = sl[1];
    const double cl1 = cl[1];
    for (std::int32_t k = 5; k <= TermCount(degree); ++k) {
        const TermConstants& t = kTermTable.terms[k];
        const double fn = t.fn;
        if (t.m == t.n) {
            const double a = t.a;
            const double pj = p[t.j];
            p[k] = static_cast<float>(t.sectoralFactor * pj * a * ctD);
            q[k] = static_cast<float>(a * (ctD * q[t.j] + t.byN.Divide(sD * pj)));
            const std::int32_t m = t.m;
            sl[m] = static_cast<float>(static_cast<double>(sl[m - 1]) * cl1 + static_cast<double>(cl[m - 1]) * sl1);
            cl[m] = static_cast<float>(static_cast<double>(cl[m - 1]) * cl1 - static_cast<double>(sl[m - 1]) * sl1);
        } else {
            const double e = t.e;
            const double f = t.f;
            const double pi = p[t.i];
            const double jPart = t.jWeighted ? t.byNMinusOne.Divide(e * p[t.j]) : e * p[t.j];
            p[k] = static_cast<float>((fn + 1.0) * (t.byN.Divide(f * sD * pi) - jPart));
            q[k] = static_cast<float>(f * (sD * q[t.i] - t.byN.Divide(ctD * pi)) - e * q[t.j]);
        }
    }
}

namespace {

// Running sums of one coefficient array, each step rounded to single precision.
struct Sums {
    float X = 0.0f;
    float Y = 0.0f;
    float Z = 0.0f;
};

// What one term contributes, the same for every coefficient array.
struct TermFactors {
    float rr;   // radial factor of the degree
    double p;
    double q;
    double cl;
    double sl;
    double fm;
    double yDivisor;  // (n + 1) cos(geocentric latitude), for the east component
};

// The radial factor and a coefficient have 24 significant bits each, so their
// product is exact in double; rounded to single precision it is the same as
// their single-precision product, which needs no conversions.
inline float Scaled(float rr, float coefficient) { return rr * coefficient; }

inline void AddZonalTerm(Sums& sums, const CoefficientArray& coefficients, std::int32_t l, const TermFactors& f)
{
    const double G = Scaled(f.rr, coefficients[l]);
    sums.X = static_cast<float>(sums.X + G * f.q);
    sums.Z = static_cast<float>(sums.Z - G * f.p);
}

template <bool CtPositive>
inline void AddTerm(Sums& sums, const CoefficientArray& coefficients, std::int32_t l, const TermFactors& f, double s)
{
    const double G = Scaled(f.rr, coefficients[l]);
    const double H = static_cast<double>(f.rr) * coefficients[l + 1];  // the scaled h(n,m), exact, in T
    const double T = G * f.cl + H * f.sl;
    sums.X = static_cast<float>(sums.X + T * f.q);
    sums.Z = static_cast<float>(sums.Z - T * f.p);
    const double E = G * f.sl - static_cast<double>(Scaled(f.rr, coefficients[l + 1])) * f.cl;
    if constexpr (CtPositive) {
        sums.Y = static_cast<float>(sums.Y + E * f.fm * f.p / f.yDivisor);
    } else {
        sums.Y = static_cast<float>(sums.Y + E * f.q * s);
    }
}

// Back from the geocentric to the geodetic frame.
inline void StoreGeodetic(const Sums& sums, const FieldPosition& position, ElementSet& elements)
{
    const double cd = position.cd;
    const double sd = position.sd;
    elements.X = static_cast<float>(sums.X * cd + sums.Z * sd);
    elements.Y = sums.Y;
    elements.Z = static_cast<float>(sums.Z * cd - sums.X * sd);
}

// Calls add(l, factors) for each term, l being the coefficient index of its g.
template <typename AddZonal, typename AddOther>
inline void ForEachTerm(const FieldPosition& position, AddZonal addZonal, AddOther addOther)
{
    const double ct = position.ct;
    std::int32_t l = 1;
    const std::int32_t termCount = TermCount(position.degree);
    for (std::int32_t k = 1; k <= termCount; ++k) {
        const TermConstants& t = kTermTable.terms[k];
        TermFactors f{};
        f.rr = position.rr[t.n];
        f.p = position.p[k];
        f.q = position.q[k];
        if (t.m == 0) {
            addZonal(l, f);
            l += 1;
            continue;
        }
        f.cl = position.cl[t.m];
        f.sl = position.sl[t.m];
        f.fm = t.fm;
        f.yDivisor = (t.fn + 1.0f) * ct;
        addOther(l, f);
        l += 2;
    }
}

template <bool CtPositive>
void SumFieldOf(const FieldPosition& position, const CoefficientArray& coefficients, ElementSet& elements)
{
    const double s = position.s;
    Sums sums;
    ForEachTerm(
        position, [&](std::int32_t l, const TermFactors& f) { AddZonalTerm(sums, coefficients, l, f); },
        [&](std::int32_t l, const TermFactors& f) { AddTerm<CtPositive>(sums, coefficients, l, f, s); });
    StoreGeodetic(sums, position, elements);
}

// The two sums side by side: each is the same sequence of single-precision
// steps as on its own, and their independent roundings overlap.
template <bool CtPositive>
void SumFieldPairOf(const FieldPosition& position, const CoefficientArray& firstCoefficients,
                    ElementSet& firstElements, const CoefficientArray& secondCoefficients, ElementSet& secondElements)
{
    const double s = position.s;
    Sums first;
    Sums second;
    ForEachTerm(
        position,
        [&](std::int32_t l, const TermFactors& f) {
            AddZonalTerm(first, firstCoefficients, l, f);
            AddZonalTerm(second, secondCoefficients, l, f);
        },
        [&](std::int32_t l, const TermFactors& f) {
            AddTerm<CtPositive>(first, firstCoefficients, l, f, s);
            AddTerm<CtPositive>(second, secondCoefficients, l, f, s);
        });
    StoreGeodetic(first, position, firstElements);
    StoreGeodetic(second, position, secondElements);
}

}  // namespace

// The east component divides by cos(latitude) where that is positive; only a
// latitude beyond +-90 degrees takes the other form.
void SumField(const FieldPosition& position, const CoefficientArray& coefficients, ElementSet& elements)
{
    if (position.ct > 0.0f) {
        SumFieldOf<true>(position, coefficients, elements);
    } else {
        SumFieldOf<false>(position, coefficients, elements);
    }
}

void SumFieldPair(const FieldPosition& position, const CoefficientArray& firstCoefficients, ElementSet& firstElements,
                  const CoefficientArray& secondCoefficients, ElementSet& secondElements)
{
    if (position.ct > 0.0f) {
        SumFieldPairOf<true>(position, firstCoefficients, firstElements, secondCoefficients, secondElements);
    } else {
        SumFieldPairOf<false>(position, firstCoefficients, firstElements, secondCoefficients, secondElements);
    }
}

std::int32_t SynthesizeField(float latitude, float longitude, float height, std::int32_t degree, std::int32_t setCode,
                             std::int32_t& errorFlag)
{
    errorFlag = 0;
    ElementSet* elements = nullptr;
    const CoefficientArray* coefficients = nullptr;
    if (setCode == kDateSet) {
        elements = &modelState.dateElements;
        coefficients = &modelState.dateCoefficients;
    } else if (setCode == kNextYearSet) {
        elements = &modelState.nextYearElements;
        coefficients = &modelState.nextYearCoefficients;
    } else {
        errorFlag = 1;
        return 0;
    }
    FieldPosition position;
    ComputeFieldPosition(latitude, longitude, height, degree, position);
    SumField(position, *coefficients, *elements);
    return 0;
}

}  // namespace model
