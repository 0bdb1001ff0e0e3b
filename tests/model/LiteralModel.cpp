#include "LiteralModel.h"

#include <array>
#include <cmath>
#include <limits>
#include <numbers>

#include "CoefficientRecord.h"
#include "Coefficients.h"
#include "ElementAngles.h"
#include "ModelState.h"

namespace model::literal {

std::int32_t SynthesizeField(float latitude, float longitude, float height, std::int32_t degree, std::int32_t setCode,
                             std::int32_t& errorFlag) {
    const float kappa = 0.01745329f;
    std::array<float, 119> p{};
    std::array<float, 119> q{};
    std::array<float, 14> sl{};
    std::array<float, 14> cl{};

    errorFlag = 0;
    float s = static_cast<float>(std::sin(static_cast<double>(latitude) * kappa));
    float phi = latitude;
    if (90.0 - latitude < 0.001) {
        phi = 89.999f;
    } else if (90.0 + latitude < 0.001) {
        phi = -89.999f;
    }
    float ct = static_cast<float>(std::cos(static_cast<double>(phi) * kappa));
    const double lambda = static_cast<double>(longitude) * kappa;
    const auto sl1 = static_cast<float>(std::sin(lambda));
    const auto cl1 = static_cast<float>(std::cos(lambda));
    sl[1] = sl1;
    cl[1] = cl1;

    ElementSet* set = nullptr;
    const CoefficientArray* coefficients = nullptr;
    if (setCode == kDateSet) {
        set = &modelState.dateElements;
        coefficients = &modelState.dateCoefficients;
    } else if (setCode == kNextYearSet) {
        set = &modelState.nextYearElements;
        coefficients = &modelState.nextYearCoefficients;
    }
    if (set != nullptr) {
        set->X = 0.0f;
        set->Y = 0.0f;
        set->Z = 0.0f;
    } else {
        errorFlag = 1;
    }

    const double a2 = 40680924.0f;
    const double b2 = 40408588.0f;
    const double h = height;
    const double A = a2 * ct * ct;
    const double B = b2 * s * s;
    const double Q = A + B;
    const double W = std::sqrt(Q);
    const auto r = static_cast<float>(std::sqrt(h * (h + 2.0 * W) + (a2 * A + b2 * B) / Q));
    const auto cd = static_cast<float>((h + W) / r);
    const auto sd = static_cast<float>(272336.0f * static_cast<double>(s) * ct / (W * r));
    const float s0 = s;
    s = static_cast<float>(static_cast<double>(s0) * cd - static_cast<double>(ct) * sd);
    ct = static_cast<float>(static_cast<double>(ct) * cd + static_cast<double>(s0) * sd);
    const auto ratio = static_cast<float>(6371.2f / static_cast<double>(r));

    const auto sqrt3 = static_cast<float>(std::sqrt(3.0));
    p[1] = static_cast<float>(2.0f * static_cast<double>(s));
    p[2] = static_cast<float>(2.0f * static_cast<double>(ct));
    p[3] = static_cast<float>(4.5f * static_cast<double>(s) * s - 1.5f);
    p[4] = static_cast<float>(3.0f * static_cast<double>(sqrt3) * ct * s);
    q[1] = -ct;
    q[2] = s;
    q[3] = static_cast<float>(-3.0f * static_cast<double>(ct) * s);
    q[4] = static_cast<float>(sqrt3 * (static_cast<double>(s) * s - static_cast<double>(ct) * ct));

    std::int32_t n = 0;
    std::int32_t m = 1;
    std::int32_t l = 1;
    float rr = 0.0f;
    float fn = 0.0f;
    const std::int32_t K = degree * (degree + 3) / 2;
    for (std::int32_t k = 1; k <= K; ++k) {
        if (n < m) {
            m = 0;
            ++n;
            rr = static_cast<float>(std::pow(static_cast<double>(ratio), n + 2));
            fn = static_cast<float>(n);
        }
        const auto fm = static_cast<float>(m);
        if (k >= 5) {
            if (m == n) {
                const std::int32_t j = k - n - 1;
                const auto a = static_cast<float>(std::sqrt(1.0 - 0.5 / fm));
                p[k] = static_cast<float>((1.0 + 1.0 / fm) * p[j] * a * ct);
                q[k] = static_cast<float>(a * (static_cast<double>(ct) * q[j] + static_cast<double>(s) * p[j] / fm));
                sl[m] = static_cast<float>(static_cast<double>(sl[m - 1]) * cl1 + static_cast<double>(cl[m - 1]) * sl1);
                cl[m] = static_cast<float>(static_cast<double>(cl[m - 1]) * cl1 - static_cast<double>(sl[m - 1]) * sl1);
            } else {
                const std::int32_t i = k - n;
                const std::int32_t j = k - 2 * n + 1;
                const auto a =
                    static_cast<float>(std::sqrt(static_cast<double>(fn) * fn - static_cast<double>(fm) * fm));
                // e and f in single precision: see the term constants of the synthesis.
                const auto e = static_cast<float>(
                    std::sqrt((fn - 1.0f) * static_cast<double>(fn - 1.0f) - static_cast<double>(fm) * fm) / a);
                const auto f = static_cast<float>((2.0f * static_cast<double>(fn) - 1.0) / a);
                p[k] = static_cast<float>((fn + 1.0) * (static_cast<double>(f) * s * p[i] / fn -
                                                        static_cast<double>(e) * p[j] / (fn - 1.0f)));
                q[k] = static_cast<float>(static_cast<double>(f) *
                                              (static_cast<double>(s) * q[i] - static_cast<double>(ct) * p[i] / fn) -
                                          static_cast<double>(e) * q[j]);
            }
        }
        if (set != nullptr) {
            const auto G = static_cast<float>(static_cast<double>(rr) * (*coefficients)[l]);
            if (m == 0) {
                set->X = static_cast<float>(set->X + static_cast<double>(G) * q[k]);
                set->Z = static_cast<float>(set->Z - static_cast<double>(G) * p[k]);
                l += 1;
            } else {
                const double H = static_cast<double>(rr) * (*coefficients)[l + 1];
                const double T = static_cast<double>(G) * cl[m] + H * sl[m];
                set->X = static_cast<float>(set->X + T * q[k]);
                set->Z = static_cast<float>(set->Z - T * p[k]);
                const double E = static_cast<double>(G) * sl[m] - static_cast<double>(static_cast<float>(H)) * cl[m];
                if (ct > 0) {
                    set->Y = static_cast<float>(set->Y + E * fm * p[k] / ((fn + 1.0f) * static_cast<double>(ct)));
                } else {
                    set->Y = static_cast<float>(set->Y + E * q[k] * s);
                }
                l += 2;
            }
        }
        ++m;
    }
    if (set != nullptr) {
        const float X = set->X;
        const float Z = set->Z;
        set->X = static_cast<float>(static_cast<double>(X) * cd + static_cast<double>(Z) * sd);
        set->Z = static_cast<float>(static_cast<double>(Z) * cd - static_cast<double>(X) * sd);
    }
    return 0;
}

namespace {

void Split(float angle, std::int32_t& degrees, double& minutes) {
    if (!(std::fabs(angle) < 2147483648.0f)) {
        degrees = 0;
        minutes = angle;
        return;
    }
    degrees = static_cast<std::int32_t>(angle);
    auto rest = static_cast<float>((static_cast<double>(angle) - degrees) * 60.0f);
    minutes = degrees != 0 ? std::fabs(rest) : rest;
}

double Change(float next, float date) {
    double d = static_cast<double>(next) - date;
    if (std::fabs(next) <= 3.1415927f && std::fabs(date) <= 3.1415927f) {
        if (d > std::numbers::pi) {
            d -= 2.0 * std::numbers::pi;
        } else if (d < -std::numbers::pi) {
            d += 2.0 * std::numbers::pi;
        }
    }
    return d * 57.29578f * 60.0f;
}

}  // namespace

int ComputeMagneticElements(double latitude, double longitude, double year, MagneticElements& result) {
    const double largest = std::numeric_limits<float>::max();
    if (!(std::fabs(latitude) <= largest && std::fabs(longitude) <= largest && std::fabs(year) <= largest)) {
        return kStatusNotFinite;
    }
    const auto lat = static_cast<float>(latitude);
    const auto lon = static_cast<float>(longitude);
    const auto date = static_cast<float>(year);
    std::int32_t flag = 0;
    LoadCoefficients(1, 10, 1, flag);
    LoadCoefficients(0, 8, 2, flag);
    ExtrapolateCoefficients(date, 1995.0f, 10, 8, 3, flag);
    const std::int32_t N = ExtrapolateCoefficients(static_cast<float>(date + 1.0), 1995.0f, 10, 8, 4, flag);
    SynthesizeField(lat, lon, 0.0f, N, 3, flag);
    ComputeElements(3, flag);
    SynthesizeField(lat, lon, 0.0f, N, 4, flag);
    ComputeElements(4, flag);
    ElementSet& now = modelState.dateElements;
    const ElementSet& next = modelState.nextYearElements;
    result.declinationChange = Change(next.D, now.D);
    result.inclinationChange = Change(next.I, now.I);
    now.D = static_cast<float>(now.D * static_cast<double>(57.29578f));
    now.I = static_cast<float>(now.I * static_cast<double>(57.29578f));
    result.horizontalChange = static_cast<double>(next.H) - now.H;
    result.northChange = static_cast<double>(next.X) - now.X;
    result.eastChange = static_cast<double>(next.Y) - now.Y;
    result.verticalChange = static_cast<double>(next.Z) - now.Z;
    result.totalChange = static_cast<double>(next.F) - now.F;
    Split(now.D, result.declinationDegrees, result.declinationMinutes);
    Split(now.I, result.inclinationDegrees, result.inclinationMinutes);
    result.horizontalIntensity = now.H;
    result.northComponent = now.X;
    result.eastComponent = now.Y;
    result.verticalComponent = now.Z;
    result.totalIntensity = now.F;
    return kStatusOk;
}

}  // namespace model::literal
