#include "FieldSynthesis.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <type_traits>

#include "Coefficients.h"
#include "Lanes.h"
#include "WorkingPrecision.h"

namespace model {

namespace {

constexpr double kPoleMargin = 0.001;
constexpr double kPoleLatitude = 90.0;

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

    template <typename V>  // a double or Lanes
    V Divide(V x) const {
        return reciprocal != 0.0 ? x * reciprocal : x / value;
    }
};

// Recursion constants of one term that depend only on its degree and order,
// formed once with the same expressions as the recursion itself.
template <typename Real>
struct TermConstants {
    Real fn;
    std::int32_t i;         // term of degree n-1, same order (other terms)
    std::int32_t j;         // degree n-1 order n-1 (sectoral) or degree n-2, same order
    double sectoralFactor;  // 1 + 1/fm (sectoral terms)
    Real a;                 // sqrt(1 - 0.5/fm) (sectoral terms)
    // Weights of the terms at i and j. Stored in single precision: kept in
    // double they put Z at 51.5 N 0 E one float step below what the system
    // shows (44157.15); stored, every reference value comes out.
    Real e;
    Real f;
    Divisor byN;          // fn (other terms) or fm (sectoral terms)
    Divisor byNMinusOne;  // fn - 1 (other terms)
};

template <typename Real>
struct TermTable {
    std::array<TermConstants<Real>, kMaxTermCount + 1> terms{};
};

template <typename Real>
TermTable<Real> BuildTermTable() {
    TermTable<Real> table;
    std::int32_t k = 1;
    for (std::int32_t n = 1; n <= kMaxSynthesisDegree; ++n) {
        for (std::int32_t m = 0; m <= n; ++m, ++k) {
            TermConstants<Real>& t = table.terms[k];
            t.fn = static_cast<Real>(n);
            const auto fmSingle = static_cast<Real>(m);
            t.i = k - n;
            if (k < 5) {
                continue;  // seeded terms
            }
            if (m == n) {
                t.j = k - n - 1;
                t.a = static_cast<Real>(std::sqrt(1.0 - 0.5 / fmSingle));
                t.sectoralFactor = 1.0 + 1.0 / fmSingle;
                t.byN = Divisor::Of(fmSingle);
            } else {
                t.j = k - 2 * n + 1;
                const double fn = t.fn;
                const double fm = fmSingle;
                const auto a = static_cast<Real>(std::sqrt(fn * fn - fm * fm));
                t.a = a;
                t.e = static_cast<Real>(std::sqrt((fn - 1.0f) * (fn - 1.0f) - fm * fm) / a);
                t.f = static_cast<Real>((2.0f * fn - 1.0) / a);
                t.byN = Divisor::Of(fn);
                t.byNMinusOne = Divisor::Of(fn - 1.0f);
            }
        }
    }
    return table;
}

// Formed on first use, so that a query made while the program's statics are
// still being set up finds it ready.
template <typename Real>
const TermTable<Real>& Terms() {
    static const TermTable<Real> table = BuildTermTable<Real>();
    return table;
}

// ratio^exponent rounded to single precision, as from the power function.
// `product` is the power formed by repeated multiplication in double, within
// 14 * 2^-53 of the exact power relative to it. Where it lies clearly inside
// the interval of reals that round to one float, the exact power and the power
// function's result (far closer than 2^-40) round to that same float, so the
// function is called only in the rare cases near a halfway point.
// For a positive normal float the neighbours are one unit of its bits away and
// the margin is the product times 2^-38, exactly; the library's nextafter and
// ldexp gave the same values at twice the cost.
float RadialFactor(float ratio, std::int32_t exponent, double product) {
    const auto rounded = static_cast<float>(product);
    if (rounded > std::numeric_limits<float>::min() && rounded < std::numeric_limits<float>::max()) {
        const auto bits = std::bit_cast<std::uint32_t>(rounded);
        const double lowerHalfway = (static_cast<double>(rounded) + std::bit_cast<float>(bits - 1)) / 2.0;
        const double upperHalfway = (static_cast<double>(rounded) + std::bit_cast<float>(bits + 1)) / 2.0;
        constexpr double kMarginScale = 0x1p-38;
        const double margin = product * kMarginScale;
        if (product - lowerHalfway > margin && upperHalfway - product > margin) {
            return rounded;
        }
    }
    return static_cast<float>(std::pow(static_cast<double>(ratio), exponent));
}

// One step of the recursion of a term of degree n and order m < n, from the
// terms of the same order at degrees n-1 (i) and n-2 (j); V is a double, or
// Lanes for two orders of the same degree. Where e is 0 (m = n-1) the weighted
// j part is a signed zero, or NaN from a NaN, and stays so when divided.
template <typename Real, typename V>
inline void Recur(const TermConstants<Real>& t, V e, V f, V pi, V pj, V qi, V qj, double sD, double ctD, V& pk, V& qk) {
    const double fn = t.fn;
    const V jPart = t.byNMinusOne.Divide(e * pj);
    pk = (fn + 1.0) * (t.byN.Divide(f * sD * pi) - jPart);
    qk = f * (sD * qi - t.byN.Divide(ctD * pi)) - e * qj;
}

}  // namespace

template <typename Real>
SpheroidOf<Real> SpheroidOfModel(const FieldModel& m) {
    const double a = m.semiMajorAxisKm;
    const double b = a - a / m.inverseFlattening;
    const auto a2 = static_cast<Real>(a * a);
    const auto b2 = static_cast<Real>(b * b);
    return {a2, b2, static_cast<Real>(static_cast<double>(a2) - static_cast<double>(b2)),
            static_cast<Real>(m.referenceRadiusKm)};
}

template SpheroidOf<float> SpheroidOfModel<float>(const FieldModel&);
template SpheroidOf<double> SpheroidOfModel<double>(const FieldModel&);

template <typename Real>
void ComputeFieldPosition(const SpheroidOf<Real>& spheroid, Real latitude, Real longitude, Real height,
                          std::int32_t degree, FieldPositionOf<Real>& position) {
    using Precision = WorkingPrecision<Real>;
    degree = std::min(degree, kMaxSynthesisDegree);
    position.degree = degree;
    const double h = height;
    Real guarded = latitude;
    if (kPoleLatitude - latitude < kPoleMargin) {
        guarded = Precision::kNorthGuardLatitude;
    } else if (kPoleLatitude + latitude < kPoleMargin) {
        guarded = Precision::kSouthGuardLatitude;
    }
    // The sine of the latitude and the cosine of the guarded one: one pair
    // of the same angle away from the poles, which the compiler forms together.
    const double phi = static_cast<double>(latitude) * Precision::kDegreeToRadian;
    auto s = static_cast<Real>(std::sin(phi));
    Real ct{};
    if (guarded == latitude) {
        ct = static_cast<Real>(std::cos(phi));
    } else {
        ct = static_cast<Real>(std::cos(static_cast<double>(guarded) * Precision::kDegreeToRadian));
    }

    const double lambda = static_cast<double>(longitude) * Precision::kDegreeToRadian;
    position.sl[1] = static_cast<Real>(std::sin(lambda));
    position.cl[1] = static_cast<Real>(std::cos(lambda));

    // Geodetic to geocentric.
    const double a2 = spheroid.equatorialRadiusSquared;
    const double b2 = spheroid.polarRadiusSquared;
    const double A = a2 * static_cast<double>(ct) * ct;
    const double B = b2 * static_cast<double>(s) * s;
    const double Q = A + B;
    const double W = std::sqrt(Q);
    const auto r = static_cast<Real>(std::sqrt(h * (h + 2.0 * W) + (a2 * A + b2 * B) / Q));
    const auto cd = static_cast<Real>((h + W) / r);
    const auto sd = static_cast<Real>(static_cast<double>(spheroid.radiusSquaredDifference) * s * ct / (W * r));
    const Real geodeticS = s;
    s = static_cast<Real>(static_cast<double>(geodeticS) * cd - static_cast<double>(ct) * sd);
    ct = static_cast<Real>(static_cast<double>(ct) * cd + static_cast<double>(geodeticS) * sd);
    position.radius = r;
    position.s = s;
    position.ct = ct;
    position.cd = cd;
    position.sd = sd;

    const auto ratio = static_cast<Real>(static_cast<double>(spheroid.referenceRadius) / static_cast<double>(r));
    double power = static_cast<double>(ratio) * ratio * ratio;
    for (std::int32_t n = 1; n <= degree; ++n) {
        if constexpr (std::is_same_v<Real, float>) {
            position.rr[n] = RadialFactor(ratio, n + 2, power);
        } else {
            position.rr[n] = power;  // the product in double is the power within a few steps
        }
        power *= ratio;
    }

    // Seed terms: degree 1 order 0 and 1, degree 2 order 0 and 1.
    const double sD = s;
    const double ctD = ct;
    const auto sqrt3 = static_cast<Real>(std::sqrt(3.0));
    auto& p = position.p;
    auto& q = position.q;
    p[1] = static_cast<Real>(2.0f * sD);
    p[2] = static_cast<Real>(2.0f * ctD);
    p[3] = static_cast<Real>(4.5f * sD * sD - 1.5f);
    p[4] = static_cast<Real>(3.0f * static_cast<double>(sqrt3) * ctD * sD);
    q[1] = -ct;
    q[2] = s;
    q[3] = static_cast<Real>(-3.0f * ctD * sD);
    q[4] = static_cast<Real>(sqrt3 * (sD * sD - ctD * ctD));

    auto& sl = position.sl;
    auto& cl = position.cl;
    const double sl1 = sl[1];
    const double cl1 = cl[1];
    // From the fifth term on (the first four are seeded), degree by degree:
    // the orders 0 to n-1 from the two degrees below, two orders at a time in
    // the lanes of a vector (their divisors are the same: n and n-1), then the
    // sectoral term from the one of degree n-1 and order n-1.
    const TermTable<Real>& terms = Terms<Real>();
    std::int32_t k = 5;
    for (std::int32_t n = 2; n <= degree; ++n) {
        std::int32_t m = 0;
        for (; n > 2 && m + 1 < n; m += 2, k += 2) {
            const TermConstants<Real>& t = terms.terms[k];
            const TermConstants<Real>& u = terms.terms[k + 1];
            const Lanes e{static_cast<double>(t.e), static_cast<double>(u.e)};
            const Lanes f{static_cast<double>(t.f), static_cast<double>(u.f)};
            Lanes pk{};
            Lanes qk{};
            Recur(t, e, f, LoadLanes(&p[t.i]), LoadLanes(&p[t.j]), LoadLanes(&q[t.i]), LoadLanes(&q[t.j]), sD, ctD, pk,
                  qk);
            StoreLanes(&p[k], pk);
            StoreLanes(&q[k], qk);
        }
        if (n > 2 && m < n) {  // the last of an odd number of orders
            const TermConstants<Real>& t = terms.terms[k];
            double pk = 0.0;
            double qk = 0.0;
            Recur(t, static_cast<double>(t.e), static_cast<double>(t.f), static_cast<double>(p[t.i]),
                  static_cast<double>(p[t.j]), static_cast<double>(q[t.i]), static_cast<double>(q[t.j]), sD, ctD, pk,
                  qk);
            p[k] = static_cast<Real>(pk);
            q[k] = static_cast<Real>(qk);
            ++k;
        }
        const TermConstants<Real>& t = terms.terms[k];
        const double a = t.a;
        const double pj = p[t.j];
        p[k] = static_cast<Real>(t.sectoralFactor * pj * a * ctD);
        q[k] = static_cast<Real>(a * (ctD * q[t.j] + t.byN.Divide(sD * pj)));
        sl[n] = static_cast<Real>(static_cast<double>(sl[n - 1]) * cl1 + static_cast<double>(cl[n - 1]) * sl1);
        cl[n] = static_cast<Real>(static_cast<double>(cl[n - 1]) * cl1 - static_cast<double>(sl[n - 1]) * sl1);
        ++k;
    }
}

template void ComputeFieldPosition<float>(const SpheroidOf<float>&, float, float, float, std::int32_t,
                                          FieldPositionOf<float>&);
template void ComputeFieldPosition<double>(const SpheroidOf<double>&, double, double, double, std::int32_t,
                                           FieldPositionOf<double>&);

namespace {

// The 1995 field's frame, formed once.
const SpheroidOf<float>& Spheroid1995() {
    static const SpheroidOf<float> spheroid = SpheroidOfModel<float>(ReferenceField1995());
    return spheroid;
}

}  // namespace

void ComputeFieldPosition(float latitude, float longitude, float height, std::int32_t degree, FieldPosition& position) {
    ComputeFieldPosition(Spheroid1995(), latitude, longitude, height, degree, position);
}

namespace {

// What one term contributes, the same for every coefficient array.
template <typename Real>
struct TermFactors {
    Real rr;  // radial factor of the degree
    double p;
    double q;
    double cl;
    double sl;
    double fm;
    double yDivisor;  // (n + 1) cos(geocentric latitude), for the east component
};

// One lane's sums (each step already rounded to Real) back from the
// geocentric to the geodetic frame.
template <typename Real>
inline void StoreGeodetic(const Lanes& X, const Lanes& Y, const Lanes& Z, int lane,
                          const FieldPositionOf<Real>& position, ElementSetOf<Real>& elements) {
    const double cd = position.cd;
    const double sd = position.sd;
    elements.X = static_cast<Real>(X[lane] * cd + Z[lane] * sd);
    elements.Y = static_cast<Real>(Y[lane]);
    elements.Z = static_cast<Real>(Z[lane] * cd - X[lane] * sd);
}

// Calls addZonal(l, factors) or addOther(l, factors) for each term in working
// order, l being the coefficient index of its g.
template <typename Real, typename AddZonal, typename AddOther>
inline void ForEachTerm(const FieldPositionOf<Real>& position, AddZonal addZonal, AddOther addOther) {
    const double ct = position.ct;
    std::int32_t k = 1;
    std::int32_t l = 1;
    for (std::int32_t n = 1; n <= position.degree; ++n) {
        TermFactors<Real> f{};
        f.rr = position.rr[n];
        f.p = position.p[k];
        f.q = position.q[k];
        addZonal(l, f);
        ++k;
        l += 1;
        f.yDivisor = (static_cast<Real>(n) + static_cast<Real>(1)) * ct;
        for (std::int32_t m = 1; m <= n; ++m, ++k, l += 2) {
            f.p = position.p[k];
            f.q = position.q[k];
            f.cl = position.cl[m];
            f.sl = position.sl[m];
            f.fm = static_cast<Real>(m);
            addOther(l, f);
        }
    }
}

// The two sums side by side.
template <bool CtPositive, typename Real>
void SumFieldPairOf(const FieldPositionOf<Real>& position, const CoefficientArrayOf<Real>& firstCoefficients,
                    ElementSetOf<Real>& firstElements, const CoefficientArrayOf<Real>& secondCoefficients,
                    ElementSetOf<Real>& secondElements) {
    using Factors = TermFactors<Real>;
    const double s = position.s;
    Lanes X{};
    Lanes Y{};
    Lanes Z{};
    // The coefficients at l of both arrays times the radial factor. For single-
    // precision values (24 significant bits each) the product is exact in
    // double, and rounded to single precision it is their single-precision
    // product; for double ones it is rounded once.
    const auto scaledPair = [&](std::int32_t l, const Factors& f) {
        const Lanes coefficients{static_cast<double>(firstCoefficients[l]), static_cast<double>(secondCoefficients[l])};
        return static_cast<double>(f.rr) * coefficients;
    };
    ForEachTerm(
        position,
        [&](std::int32_t l, const Factors& f) {
            const Lanes G = RoundToWorking<Real>(scaledPair(l, f));
            X = RoundToWorking<Real>(X + G * f.q);
            Z = RoundToWorking<Real>(Z - G * f.p);
        },
        [&](std::int32_t l, const Factors& f) {
            const Lanes G = RoundToWorking<Real>(scaledPair(l, f));
            const Lanes H = scaledPair(l + 1, f);  // the scaled h(n,m), exact, in T
            const Lanes T = G * f.cl + H * f.sl;
            X = RoundToWorking<Real>(X + T * f.q);
            Z = RoundToWorking<Real>(Z - T * f.p);
            const Lanes E = G * f.sl - RoundToWorking<Real>(H) * f.cl;
            if constexpr (CtPositive) {
                Y = RoundToWorking<Real>(Y + E * f.fm * f.p / f.yDivisor);
            } else {
                Y = RoundToWorking<Real>(Y + E * f.q * s);
            }
        });
    StoreGeodetic(X, Y, Z, 0, position, firstElements);
    StoreGeodetic(X, Y, Z, 1, position, secondElements);
}

}  // namespace

// One array's sum is one lane of the pair's: the other lane repeats it.
void SumField(const FieldPosition& position, const CoefficientArray& coefficients, ElementSet& elements) {
    ElementSet repeated{};
    SumFieldPair(position, coefficients, elements, coefficients, repeated);
}

// The east component divides by cos(latitude) where that is positive; only a
// latitude beyond +-90 degrees takes the other form.
template <typename Real>
void SumFieldPair(const FieldPositionOf<Real>& position, const CoefficientArrayOf<Real>& firstCoefficients,
                  ElementSetOf<Real>& firstElements, const CoefficientArrayOf<Real>& secondCoefficients,
                  ElementSetOf<Real>& secondElements) {
    if (position.ct > static_cast<Real>(0)) {
        SumFieldPairOf<true>(position, firstCoefficients, firstElements, secondCoefficients, secondElements);
    } else {
        SumFieldPairOf<false>(position, firstCoefficients, firstElements, secondCoefficients, secondElements);
    }
}

template void SumFieldPair<float>(const FieldPositionOf<float>&, const CoefficientArrayOf<float>&, ElementSetOf<float>&,
                                  const CoefficientArrayOf<float>&, ElementSetOf<float>&);
template void SumFieldPair<double>(const FieldPositionOf<double>&, const CoefficientArrayOf<double>&,
                                   ElementSetOf<double>&, const CoefficientArrayOf<double>&, ElementSetOf<double>&);

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
