// Each step as the WMM technical report writes it, none as the engine does:
// - P(n,m)(cos theta) = S(n,m) sin^m(theta) Q(n,m)(cos theta), where Q(n,m) is
//   the m-th derivative of the Legendre polynomial P(n), summed from its
//   explicit coefficients, and S(n,m) = sqrt(2 (n-m)!/(n+m)!) for m > 0 (1 for
//   m = 0), the Schmidt semi-normalisation;
// - dP/dtheta and P/sin(theta) from the same product, so the pole needs no
//   special case;
// - the geodetic position to geocentric through the prime-vertical radius
//   N = a / sqrt(1 - e^2 sin^2 phi).
#include "TextbookModel.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace model::textbook {

namespace {

using Polynomial = std::vector<long double>;  // coefficients by power of x

long double Binomial(int n, int k) {
    long double result = 1.0L;
    for (int i = 1; i <= k; ++i) {
        result = result * (n - k + i) / i;
    }
    return result;
}

// P(n)(x) = 2^-n sum over k of (-1)^k C(n,k) C(2n-2k,n) x^(n-2k).
Polynomial Legendre(int n) {
    Polynomial p(static_cast<std::size_t>(n) + 1, 0.0L);
    for (int k = 0; 2 * k <= n; ++k) {
        const long double sign = k % 2 == 0 ? 1.0L : -1.0L;
        p[static_cast<std::size_t>(n - 2 * k)] =
            sign * Binomial(n, k) * Binomial(2 * n - 2 * k, n) / std::ldexp(1.0L, n);
    }
    return p;
}

Polynomial Derivative(const Polynomial& p) {
    Polynomial d(p.size() > 1 ? p.size() - 1 : 1, 0.0L);
    for (std::size_t i = 1; i < p.size(); ++i) {
        d[i - 1] = p[i] * static_cast<long double>(i);
    }
    return d;
}

long double Value(const Polynomial& p, long double x) {
    long double sum = 0.0L;
    for (std::size_t i = p.size(); i-- > 0;) {
        sum = sum * x + p[i];
    }
    return sum;
}

long double Factorial(int n) { return n <= 1 ? 1.0L : n * Factorial(n - 1); }

}  // namespace

Field Evaluate(const FieldModel& m, long double latitude, long double longitude, long double heightKm,
               long double year) {
    constexpr long double kDegree = std::numbers::pi_v<long double> / 180.0L;
    const long double phi = latitude * kDegree;
    const long double lambda = longitude * kDegree;
    // Geodetic to geocentric.
    const long double a = m.semiMajorAxisKm;
    const long double f = 1.0L / m.inverseFlattening;
    const long double e2 = f * (2.0L - f);
    const long double N = a / std::sqrt(1.0L - e2 * std::sin(phi) * std::sin(phi));
    const long double p = (N + heightKm) * std::cos(phi);
    const long double z = (N * (1.0L - e2) + heightKm) * std::sin(phi);
    const long double r = std::hypot(p, z);
    const long double geocentric = std::atan2(z, p);
    const long double theta = std::numbers::pi_v<long double> / 2.0L - geocentric;
    const long double x = std::cos(theta);
    const long double sinTheta = std::sin(theta);

    const int degree = std::max(m.mainDegree, m.secularDegree);
    long double north = 0.0L;  // geocentric X', Y', Z'
    long double east = 0.0L;
    long double down = 0.0L;
    std::size_t record = 0;
    for (int n = 1; n <= degree; ++n) {
        const long double radial = std::pow(m.referenceRadiusKm / r, n + 2.0L);
        Polynomial Q = Legendre(n);
        for (int order = 0; order <= n; ++order, ++record) {
            const CoefficientRecord& c = m.coefficients[record];
            const long double t = year - m.epoch;
            const long double g = (n <= m.mainDegree ? c.g : 0.0L) + (n <= m.secularDegree ? t * c.gdot : 0.0L);
            const long double h = (n <= m.mainDegree ? c.h : 0.0L) + (n <= m.secularDegree ? t * c.hdot : 0.0L);
            const long double S = order == 0 ? 1.0L : std::sqrt(2.0L * Factorial(n - order) / Factorial(n + order));
            const long double q = Value(Q, x);
            const long double dq = Value(Derivative(Q), x);
            // P = S sin^m Q; dP/dtheta = S (m cos sin^(m-1) Q - sin^(m+1) Q'); P/sin = S sin^(m-1) Q
            // (the m = 0 terms have no east part).
            const long double sinM = std::pow(sinTheta, order);
            const long double sinBelow = order == 0 ? 0.0L : std::pow(sinTheta, order - 1);
            const long double P = S * sinM * q;
            const long double dP = S * (order * x * sinBelow * q - sinM * sinTheta * dq);
            const long double PoverSin = S * sinBelow * q;
            const long double cosine = std::cos(order * lambda);
            const long double sine = std::sin(order * lambda);
            north += radial * (g * cosine + h * sine) * dP;
            east += radial * order * (g * sine - h * cosine) * PoverSin;
            down -= radial * (n + 1) * (g * cosine + h * sine) * P;
            Q = Derivative(Q);
        }
    }
    // Rotated from the geocentric to the geodetic vertical.
    const long double psi = phi - geocentric;
    Field field{};
    field.X = north * std::cos(psi) + down * std::sin(psi);
    field.Y = east;
    field.Z = down * std::cos(psi) - north * std::sin(psi);
    field.H = std::hypot(field.X, field.Y);
    field.F = std::hypot(field.H, field.Z);
    field.D = std::atan2(field.Y, field.X) / kDegree;
    field.I = std::atan2(field.Z, field.H) / kDegree;
    return field;
}

}  // namespace model::textbook
