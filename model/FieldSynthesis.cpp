#include "FieldSynthesis.h"

#include <algorithm>
#include <cmath>
#include <limits>

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

// Division by a whole number. Where the number is a power of two, multiplying
// by its reciprocal gives the very same bits and is much cheaper.
struct Divisor {
    double value = 1.0;
    double reciprocal = 0.0;  // 1/value where that is exact, otherwise 0

    static Divisor Of(double value) {
        int exponent = 0;
        const bool powerOfTwo = std::frexp(value, &exponent) == 0.5;
        return {value, powerOfTwo ? 1.0 / value : 0.0};
    }

    double Divide(double x) const { return reciprocal != 0.0 ? x * reciprocal : x / value; }
};

// Recursion constants of one term that depend only on its degree and order,
// formed once with the same expressions as the recursion itself.
struct TermConstants {
    float fn;
    std::int32_t i;         // term of degree n-1, same order (other terms)
    std::int32_t j;         // degree n-1 order n-1 (sectoral) or degree n-2, same order
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

TermTable BuildTermTable() {
    TermTable table;
    std::int32_t k = 1;
    for (std::int32_t n = 1; n <= kMaxSynthesisDegree; ++n) {
        for (std::int32_t m = 0; m <= n; ++m, ++k) {
            TermConstants& t = table.terms[k];
            t.fn = static_cast<float>(n);
            const auto fmSingle = static_cast<float>(m);
            t.i = k - n;
            if (k < 5) {
                continue;  // seeded terms
            }
            if (m == n) {
                t.j = k - n - 1;
                t.a = static_cast<float>(std::sqrt(1.0 - 0.5 / fmSingle));
                t.sectoralFactor = 1.0 + 1.0 / fmSingle;
                t.byN = Divisor::Of(fmSingle);
            } else {
                t.j = k - 2 * n + 1;
                const double fn = t.fn;
                const double fm = fmSingle;
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

// Formed on first use, so that a query made while the program's statics are
// still being set up finds it ready.
const TermTable& Terms() {
    static const TermTable table = BuildTermTable();
    return table;
}

// ratio^exponent rounded to single precision, as from the power function.
// `product` is the power formed by repeated multiplication in double, within
// 14 * 2^-53 of the exact power relative to it. Where it lies clearly inside
// the interval of reals that round to one float, the exact power and the power
// function's result (far closer than 2^-40) round to that same float, so the
// function is called only in the rare cases near a halfway point.
float RadialFactor(float ratio, std::int32_t exponent, double product) {
    const auto rounded = static_cast<float>(product);
    constexpr float kInfinity = std::numeric_limits<float>::infinity();
    const double lowerHalfway = (static_cast<double>(rounded) + std::nextafter(rounded, -kInfinity)) / 2.0;
    const double upperHalfway = (static_cast<double>(rounded) + std::nextafter(rounded, kInfinity)) / 2.0;
    const double margin = std::ldexp(product, -38);
    if (product - lowerHalfway > margin && upperHalfway - product > margin) {
        return rounded;
    }
    return static_cast<float>(std::pow(static_cast<double>(ratio), exponent));
}

}  // namespace

void ComputeFieldPosition(float latitude, float longitude, float height, std::int32_t degree, FieldPosition& position) {
    degree = std::min(degree, kMaxSynthesisDegree);
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
    const auto r =
        static_cast<float>(std::sqrt(h * (h + 2.0 * W) + (kEquatorialRadiusSquared * A + kPolarRadiusSquared * B) / Q));
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
    double power = static_cast<double>(ratio) * ratio * ratio;
    for (std::int32_t n = 1; n <= degree; ++n) {
        position.rr[n] = RadialFactor(ratio, n + 2, power);
        power *= ratio;
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
    // From the fifth term on (the first four are seeded), degree by degree:
    // the orders 0 to n-1 from the two degrees below, then the sectoral term
    // from the one of degree n-1 and order n-1.
    const TermTable& terms = Terms();
    std::int32_t k = 5;
    for (std::int32_t n = 2; n <= degree; ++n) {
        for (std::int32_t m = 0; n > 2 && m < n; ++m, ++k) {
            const TermConstants& t = terms.terms[k];
            const double fn = t.fn;
            const double e = t.e;
            const double f = t.f;
            const double pi = p[t.i];
            const double jPart = t.jWeighted ? t.byNMinusOne.Divide(e * p[t.j]) : e * p[t.j];
            p[k] = static_cast<float>((fn + 1.0) * (t.byN.Divide(f * sD * pi) - jPart));
            q[k] = static_cast<float>(f * (sD * q[t.i] - t.byN.Divide(ctD * pi)) - e * q[t.j]);
        }
        const TermConstants& t = terms.terms[k];
        const double a = t.a;
        const double pj = p[t.j];
        p[k] = static_cast<float>(t.sectoralFactor * pj * a * ctD);
        q[k] = static_cast<float>(a * (ctD * q[t.j] + t.byN.Divide(sD * pj)));
        sl[n] = static_cast<float>(static_cast<double>(sl[n - 1]) * cl1 + static_cast<double>(cl[n - 1]) * sl1);
        cl[n] = static_cast<float>(static_cast<double>(cl[n - 1]) * cl1 - static_cast<double>(sl[n - 1]) * sl1);
        ++k;
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
    float rr;  // radial factor of the degree
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

inline void AddZonalTerm(Sums& sums, const CoefficientArray& coefficients, std::int32_t l, const TermFactors& f) {
    const double G = Scaled(f.rr, coefficients[l]);
    sums.X = static_cast<float>(sums.X + G * f.q);
    sums.Z = static_cast<float>(sums.Z - G * f.p);
}

template <bool CtPositive>
inline void AddTerm(Sums& sums, const CoefficientArray& coefficients, std::int32_t l, const TermFactors& f, double s) {
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
inline void StoreGeodetic(const Sums& sums, const FieldPosition& position, ElementSet& elements) {
    const double cd = position.cd;
    const double sd = position.sd;
    elements.X = static_cast<float>(sums.X * cd + sums.Z * sd);
    elements.Y = sums.Y;
    elements.Z = static_cast<float>(sums.Z * cd - sums.X * sd);
}

// Calls addZonal(l, factors) or addOther(l, factors) for each term in working
// order, l being the coefficient index of its g.
template <typename AddZonal, typename AddOther>
inline void ForEachTerm(const FieldPosition& position, AddZonal addZonal, AddOther addOther) {
    const double ct = position.ct;
    std::int32_t k = 1;
    std::int32_t l = 1;
    for (std::int32_t n = 1; n <= position.degree; ++n) {
        TermFactors f{};
        f.rr = position.rr[n];
        f.p = position.p[k];
        f.q = position.q[k];
        addZonal(l, f);
        ++k;
        l += 1;
        f.yDivisor = (static_cast<float>(n) + 1.0f) * ct;
        for (std::int32_t m = 1; m <= n; ++m, ++k, l += 2) {
            f.p = position.p[k];
            f.q = position.q[k];
            f.cl = position.cl[m];
            f.sl = position.sl[m];
            f.fm = static_cast<float>(m);
            addOther(l, f);
        }
    }
}

template <bool CtPositive>
void SumFieldOf(const FieldPosition& position, const CoefficientArray& coefficients, ElementSet& elements) {
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
void SumFieldPairOf(const FieldPosition& position, const CoefficientArray& firstCoefficients, ElementSet& firstElements,
                    const CoefficientArray& secondCoefficients, ElementSet& secondElements) {
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
void SumField(const FieldPosition& position, const CoefficientArray& coefficients, ElementSet& elements) {
    if (position.ct > 0.0f) {
        SumFieldOf<true>(position, coefficients, elements);
    } else {
        SumFieldOf<false>(position, coefficients, elements);
    }
}

void SumFieldPair(const FieldPosition& position, const CoefficientArray& firstCoefficients, ElementSet& firstElements,
                  const CoefficientArray& secondCoefficients, ElementSet& secondElements) {
    if (position.ct > 0.0f) {
        SumFieldPairOf<true>(position, firstCoefficients, firstElements, secondCoefficients, secondElements);
    } else {
        SumFieldPairOf<false>(position, firstCoefficients, firstElements, secondCoefficients, secondElements);
    }
}

std::int32_t SynthesizeField(float latitude, float longitude, float height, std::int32_t degree, std::int32_t setCode,
                             std::int32_t& errorFlag) {
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
