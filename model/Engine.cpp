// The engine's steps (Engine.h), following the WMM2025 technical report (The
// US/UK World Magnetic Model for 2025-2030), its section on the model's
// equations: the Gauss coefficients at a date, g(t) = g(t0) + (t - t0) gdot(t0);
// the geodetic position turned into geocentric spherical coordinates on the
// model's ellipsoid; the field, minus the gradient of the potential, summed
// with the Schmidt semi-normalised Legendre functions P(n,m) and dP(n,m)/dtheta
// (recursions in degree below) and rotated back to geodetic north, east and
// down; and the elements H = sqrt(X^2 + Y^2), F = sqrt(H^2 + Z^2),
// I = atan2(Z, H), D = atan2(Y, X).
#include "Engine.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <type_traits>

#include "MagneticElements.h"

namespace model {

namespace {

// Two doubles as one vector (two terms of the recursion, two dates' sums), by
// hand as the model's float flags keep the compiler from it: each lane takes a
// scalar's exact IEEE steps in half the instructions (SSE2 on x86-64).
using Lanes = double __attribute__((vector_size(16)));
using FloatLanes = float __attribute__((vector_size(8)));
// Two entries of an array of Real as they lie in memory.
template <typename Real>
using StoredLanes = std::conditional_t<std::is_same_v<Real, float>, FloatLanes, Lanes>;

// Each lane rounded to the working type, as a store to Real would.
template <typename Real>
Lanes RoundToWorking(Lanes x) {
    return __builtin_convertvector(__builtin_convertvector(x, StoredLanes<Real>), Lanes);
}

// Two consecutive entries of an array of Real as a vector, and back (rounded to Real). Two floats load as the
// bits of one double, widened as four: two instructions, where g++ takes five for a pair of floats.
template <typename Real>
Lanes LoadLanes(const Real* at) {
    if constexpr (std::is_same_v<Real, float>) {
        double bits = 0.0;
        std::memcpy(&bits, at, sizeof bits);
        using FloatQuad = float __attribute__((vector_size(16)));
        using WideLanes = double __attribute__((vector_size(32)));
        const auto wide = __builtin_convertvector(std::bit_cast<FloatQuad>(Lanes{bits, 0.0}), WideLanes);
        return __builtin_shufflevector(wide, wide, 0, 1);
    } else {
        Lanes pair;
        std::memcpy(&pair, at, sizeof pair);
        return pair;
    }
}

template <typename Real>
void StoreLanes(Real* at, Lanes pair) {
    const auto rounded = __builtin_convertvector(pair, StoredLanes<Real>);
    std::memcpy(at, &rounded, sizeof rounded);
}

// A degree cut to what the arrays hold.
constexpr std::int32_t StoredDegree(std::int32_t degree) { return std::min(degree, kMaxCoefficientDegree); }

// Recursion constants of a term of degree n and order m, formed once.
template <typename Real>
struct TermConstants {
    double sectoralFactor;  // 1 + 1/m (sectoral terms)
    Real a;                 // sqrt(1 - 1/(2m)) (sectoral) or sqrt(n^2 - m^2)
    // Weights of the terms at i and j: sqrt((n-1)^2 - m^2)/a and (2n-1)/a, in
    // Real: kept in double they put the 1995 field's Z at 51.5 N 0 E one float
    // step below its reference value (44157.15).
    Real e;
    Real f;
};

template <typename Real>
using TermTable = std::array<TermConstants<Real>, kMaxTermCount + 1>;

// Formed on first use, so that a query made while the program's statics are still being set up finds it ready.
template <typename Real>
const TermTable<Real>& Terms() {
    static const TermTable<Real> table = [] {
        TermTable<Real> terms{};
        std::int32_t k = 1;
        for (std::int32_t n = 1; n <= kMaxCoefficientDegree; ++n) {
            for (std::int32_t m = 0; m <= n; ++m, ++k) {
                TermConstants<Real>& t = terms[k];
                const double fn = n;
                const double fm = m;
                if (m == n) {
                    t.a = static_cast<Real>(std::sqrt(1.0 - 0.5 / fm));
                    t.sectoralFactor = 1.0 + 1.0 / fm;
                } else {
                    t.a = static_cast<Real>(std::sqrt(fn * fn - fm * fm));
                    t.e = static_cast<Real>(std::sqrt((fn - 1.0) * (fn - 1.0) - fm * fm) / t.a);
                    t.f = static_cast<Real>((2.0 * fn - 1.0) / t.a);
                }
            }
        }
        return terms;
    }();
    return table;
}

// x / divisor in the working type's way: the float values are those of the
// quotient itself; double multiplies by the reciprocal formed once a degree (a
// rounding apart; this one step takes a ninth off a WMM2025 query).
template <typename Real>
Lanes Divided(Lanes x, double divisor, double reciprocal) {
    if constexpr (std::is_same_v<Real, float>) {
        return x / divisor;
    } else {
        return x * reciprocal;
    }
}

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
    const auto lastEntry = [](std::int32_t degree) { return StoredDegree(degree) * (StoredDegree(degree) + 2); };
    const std::int32_t mainEnd = lastEntry(mainDegree);
    const std::int32_t secularEnd = lastEntry(secularDegree);
    const std::int32_t both = std::min(mainEnd, secularEnd);
    const CoefficientArrayOf<Real>& main = state.mainField;
    const CoefficientArrayOf<Real>& secular = state.secularVariation;
    // The time factors t - t0 in the working type.
    const double t = static_cast<Real>(static_cast<double>(date) - epoch);
    const double u = static_cast<Real>(static_cast<double>(nextDate) - epoch);
    // Two entries at a time in the lanes of a vector, both dates from the same loads; the odd last one alone.
    std::int32_t i = 1;
    for (; i < both; i += 2) {
        const Lanes variation = LoadLanes(&secular[i]);
        const Lanes epochValue = LoadLanes(&main[i]);
        StoreLanes(&state.dateCoefficients[i], variation * t + epochValue);
        StoreLanes(&state.nextYearCoefficients[i], variation * u + epochValue);
    }
    for (const auto& [target, factor] : {std::pair{&state.dateCoefficients, t}, {&state.nextYearCoefficients, u}}) {
        if (i == both) (*target)[i] = static_cast<Real>(secular[i] * factor + main[i]);
        for (std::int32_t j = both + 1; j <= mainEnd; ++j) (*target)[j] = main[j];  // above the secular variation
        for (std::int32_t j = both + 1; j <= secularEnd; ++j)
            (*target)[j] = static_cast<Real>(factor * secular[j]);  // above the main field
    }
    return std::max(mainDegree, secularDegree);
}

template std::int32_t ExtrapolateBothSets<float>(ModelStateOf<float>&, float, float, float, std::int32_t, std::int32_t);
template std::int32_t ExtrapolateBothSets<double>(ModelStateOf<double>&, double, double, double, std::int32_t,
                                                  std::int32_t);

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
    const double h = height;
    // The sine of the latitude and the cosine of it or, in float, of the guard latitude.
    Real guarded = latitude;
    if constexpr (std::is_same_v<Real, float>) {
        if (90.0 - latitude < 0.001) guarded = Precision::kGuardLatitude;
        if (90.0 + latitude < 0.001) guarded = -Precision::kGuardLatitude;
    }
    auto s = static_cast<Real>(std::sin(static_cast<double>(latitude) * Precision::kDegreeToRadian));
    auto ct = static_cast<Real>(std::cos(static_cast<double>(guarded) * Precision::kDegreeToRadian));

    // Geodetic to geocentric on the ellipsoid (a, b): the geocentric radius r
    // and the angle between the geodetic and the geocentric vertical (cd, sd).
    const double a2 = spheroid.equatorialRadiusSquared;
    const double b2 = spheroid.polarRadiusSquared;
    const double A = a2 * static_cast<double>(ct) * ct;
    const double B = b2 * static_cast<double>(s) * s;
    const double Q = A + B;
    const double W = std::sqrt(Q);
    const auto r = static_cast<Real>(std::sqrt(h * (h + 2.0 * W) + (a2 * A + b2 * B) / Q));
    const auto cd = static_cast<Real>((h + W) / r);
    const auto sd = static_cast<Real>(static_cast<double>(spheroid.radiusSquaredDifference) * s * ct / (W * r));
    position.cd = cd;
    position.sd = sd;
    // From here on s and ct are those of the geocentric latitude.
    const auto geocentricS = static_cast<Real>(static_cast<double>(s) * cd - static_cast<double>(ct) * sd);
    ct = static_cast<Real>(static_cast<double>(ct) * cd + static_cast<double>(s) * sd);
    s = geocentricS;
    degree = StoredDegree(degree);
    position.degree = degree;
    const double lambda = static_cast<double>(longitude) * Precision::kDegreeToRadian;
    position.sl[1] = static_cast<Real>(std::sin(lambda));
    position.cl[1] = static_cast<Real>(std::cos(lambda));
    position.radius = r;
    position.ct = ct;

    // The radial factors (reference radius / r)^(n+2) from the running product
    // in double. In float each must be the power function's value rounded: the
    // product (within 16 units of the last double place) and the power
    // function (within one) round alike unless the product lies within 2^10
    // units of halfway between two floats (the 29 dropped bits near 2^28); only
    // there, about once in 250,000 factors, is the power function asked.
    const auto ratio = static_cast<Real>(static_cast<double>(spheroid.referenceRadius) / static_cast<double>(r));
    double power = static_cast<double>(ratio) * ratio * ratio;
    for (std::int32_t n = 1; n <= degree; ++n) {
        if constexpr (std::is_same_v<Real, float>) {
            constexpr std::uint64_t kDropped = (std::uint64_t{1} << 29) - 1;
            constexpr std::int64_t kHalfway = std::int64_t{1} << 28;
            constexpr std::int64_t kSlack = std::int64_t{1} << 10;
            const auto dropped = static_cast<std::int64_t>(std::bit_cast<std::uint64_t>(power) & kDropped);
            const bool nearHalfway = dropped > kHalfway - kSlack && dropped < kHalfway + kSlack;
            position.rr[n] = static_cast<float>(nearHalfway ? std::pow(static_cast<double>(ratio), n + 2) : power);
        } else {
            position.rr[n] = power;
        }
        power *= ratio;
    }

    // Seed terms: degree 1 order 0 and 1, degree 2 order 0 and 1.
    const double sD = s;
    const double ctD = ct;
    const auto sqrt3 = static_cast<Real>(std::sqrt(3.0));
    auto& p = position.p;
    auto& q = position.q;
    p[1] = static_cast<Real>(2.0 * sD);
    p[2] = static_cast<Real>(2.0 * ctD);
    p[3] = static_cast<Real>(4.5 * sD * sD - 1.5);
    p[4] = static_cast<Real>(3.0 * static_cast<double>(sqrt3) * ctD * sD);
    q[1] = -ct;
    q[2] = s;
    q[3] = static_cast<Real>(-3.0 * ctD * sD);
    q[4] = static_cast<Real>(sqrt3 * (sD * sD - ctD * ctD));

    // Degree by degree from the fifth term on: orders 0 to n-1 from the same
    // order at degrees n-1 and n-2, two in a vector (with an odd number the
    // second lane is the sectoral term's slot), then the sectoral term.
    const TermTable<Real>& terms = Terms<Real>();
    const double sl1 = position.sl[1];
    const double cl1 = position.cl[1];
    std::int32_t k = 5;
    for (std::int32_t n = 2; n <= degree; ++n) {
        const double fn = n;
        const double byN = 1.0 / n;
        const double byPrevious = 1.0 / (n - 1);
        for (std::int32_t m = 0; n > 2 && m < n; m += 2) {
            const std::int32_t i = k + m - n;          // degree n-1, same order
            const std::int32_t j = k + m - 2 * n + 1;  // degree n-2, same order
            const TermConstants<Real>& t = terms[k + m];
            const TermConstants<Real>& u = terms[k + m + 1];
            const Lanes e{t.e, u.e};
            const Lanes f{t.f, u.f};
            const Lanes pi = LoadLanes(&p[i]);
            const Lanes qi = LoadLanes(&q[i]);
            // Where e is 0 (m = n-1) the weighted j part is a signed zero, or NaN from a NaN.
            const Lanes jPart = Divided<Real>(e * LoadLanes(&p[j]), fn - 1.0, byPrevious);
            StoreLanes(&p[k + m], (fn + 1.0) * (Divided<Real>(f * sD * pi, fn, byN) - jPart));
            StoreLanes(&q[k + m], f * (sD * qi - Divided<Real>(ctD * pi, fn, byN)) - e * LoadLanes(&q[j]));
        }
        if (n > 2) k += n;                 // past orders 0 to n-1
        const std::int32_t j = k - n - 1;  // degree n-1, order n-1
        const double a = terms[k].a;
        const double pj = p[j];
        p[k] = static_cast<Real>(terms[k].sectoralFactor * pj * a * ctD);
        q[k] = static_cast<Real>(a * (ctD * q[j] + sD * pj / fn));
        position.sl[n] = static_cast<Real>(static_cast<double>(position.sl[n - 1]) * cl1 +
                                           static_cast<double>(position.cl[n - 1]) * sl1);
        position.cl[n] = static_cast<Real>(static_cast<double>(position.cl[n - 1]) * cl1 -
                                           static_cast<double>(position.sl[n - 1]) * sl1);
        ++k;
    }
}

template void ComputeFieldPosition<float>(const SpheroidOf<float>&, float, float, float, std::int32_t,
                                          FieldPositionOf<float>&);
template void ComputeFieldPosition<double>(const SpheroidOf<double>&, double, double, double, std::int32_t,
                                           FieldPositionOf<double>&);

// The sums, each step rounded to Real: X = sum of G q, Z = -sum of G p (times
// the radial factor), Y = sum of m P(n,m)/sin(theta) (g sin - h cos). At the
// pole that is the limit form too: cos(90 degrees) in double is 6.1e-17, never
// 0, and every P(n,m) with m > 0 carries sin(theta)^m, so the quotient is its
// limit to rounding (WMM2025 at 90 N 0 E in 2026: D = 16.1088782 degrees).
template <typename Real>
void SumFields(const FieldPositionOf<Real>& position, const CoefficientArrayOf<Real>& first,
               ElementSetOf<Real>& firstElements, const CoefficientArrayOf<Real>& second,
               ElementSetOf<Real>& secondElements) {
    const double ct = position.ct;
    Lanes X{}, Y{}, Z{};
    // The coefficients at l of both arrays times the radial factor: for
    // single-precision values (24 significant bits each) the product is exact
    // in double, and rounded it is their single-precision product.
    const auto scaled = [&](std::int32_t l, double rr) { return rr * Lanes{first[l], second[l]}; };
    std::int32_t k = 1;
    std::int32_t l = 1;
    for (std::int32_t n = 1; n <= position.degree; ++n, ++k, ++l) {
        const double rr = position.rr[n];
        const Lanes zonal = RoundToWorking<Real>(scaled(l, rr));
        X = RoundToWorking<Real>(X + zonal * static_cast<double>(position.q[k]));
        Z = RoundToWorking<Real>(Z - zonal * static_cast<double>(position.p[k]));
        const double yDivisor = (static_cast<Real>(n) + static_cast<Real>(1)) * ct;
        const double yReciprocal = 1.0 / yDivisor;
        for (std::int32_t m = 1; m <= n; ++m) {
            ++k;
            ++l;
            const double p = position.p[k];
            const double q = position.q[k];
            const double cl = position.cl[m];
            const double sl = position.sl[m];
            const Lanes G = RoundToWorking<Real>(scaled(l, rr));
            ++l;
            const Lanes H = scaled(l, rr);  // exact in T
            const Lanes T = G * cl + H * sl;
            X = RoundToWorking<Real>(X + T * q);
            Z = RoundToWorking<Real>(Z - T * p);
            const Lanes E = G * sl - RoundToWorking<Real>(H) * cl;
            Y = RoundToWorking<Real>(
                Y + Divided<Real>(E * static_cast<double>(static_cast<Real>(m)) * p, yDivisor, yReciprocal));
        }
    }
    // Back from the geocentric to the geodetic frame.
    const double cd = position.cd;
    const double sd = position.sd;
    for (int lane = 0; lane < 2; ++lane) {
        ElementSetOf<Real>& elements = lane == 0 ? firstElements : secondElements;
        elements.X = static_cast<Real>(X[lane] * cd + Z[lane] * sd);
        elements.Y = static_cast<Real>(Y[lane]);
        elements.Z = static_cast<Real>(Z[lane] * cd - X[lane] * sd);
    }
}

template void SumFields<float>(const FieldPositionOf<float>&, const CoefficientArrayOf<float>&, ElementSetOf<float>&,
                               const CoefficientArrayOf<float>&, ElementSetOf<float>&);
template void SumFields<double>(const FieldPositionOf<double>&, const CoefficientArrayOf<double>&,
                                ElementSetOf<double>&, const CoefficientArrayOf<double>&, ElementSetOf<double>&);

template <typename Real>
void ComputeElements(ElementSetOf<Real>& set, Real undeterminedMarker, Real noHorizontalMarker) {
    const double X = set.X, Y = set.Y, Z = set.Z;
    const double S = X * X + Y * Y;
    set.H = static_cast<Real>(std::sqrt(S));
    set.F = static_cast<Real>(std::sqrt(S + Z * Z));
    if (set.F < static_cast<Real>(kUndeterminedThreshold)) {
        set.D = set.I = undeterminedMarker;
        return;
    }
    set.I = static_cast<Real>(std::atan2(Z, static_cast<double>(set.H)));
    if (set.H < static_cast<Real>(kUndeterminedThreshold)) {
        set.D = noHorizontalMarker;
        return;
    }
    // North of east-west (X >= 0) the half-angle form 2 atan2(Y, H + X): H + X
    // >= H, so the rounding of H moves D by less than half a float step. South
    // of it H + X shrinks to rounding error, so D is atan2(Y, X) in double; a
    // field exactly due south (Y = 0 or -0) is the half-turn, never minus it.
    if (X < 0.0) {
        set.D = Y == 0.0 ? WorkingPrecision<Real>::kHalfTurn : static_cast<Real>(std::atan2(Y, X));
        return;
    }
    set.D = static_cast<Real>(2.0 * std::atan2(Y, set.H + X));
}

template void ComputeElements<float>(ElementSetOf<float>&, float, float);
template void ComputeElements<double>(ElementSetOf<double>&, double, double);

template <typename Real>
void SplitAngle(Real angle, std::int32_t& degrees, double& minutes) {
    constexpr auto kIntLimit = static_cast<Real>(2147483648.0);
    if (!(std::fabs(angle) < kIntLimit)) {
        degrees = 0;
        minutes = angle;
        return;
    }
    degrees = static_cast<std::int32_t>(angle);
    const auto rest = static_cast<Real>((static_cast<double>(angle) - degrees) * static_cast<Real>(kMinutesPerDegree));
    minutes = degrees != 0 ? std::fabs(rest) : rest;
}

template void SplitAngle<float>(float, std::int32_t&, double&);
template void SplitAngle<double>(double, std::int32_t&, double&);

}  // namespace model
