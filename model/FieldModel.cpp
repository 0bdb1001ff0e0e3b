#include "FieldModel.h"

#include <iterator>

#include "CoefficientRecord.h"
#include "Wmm2025Table.h"

namespace model {

namespace {

// Both built-in models expand the field in a series of reference radius
// 6371.2 km, the radius of the International Geomagnetic Reference Field.
constexpr double kReferenceRadiusKm = 6371.2;

FieldModel MakeReferenceField1995() {
    FieldModel m;
    m.name = "1995.0 reference field";
    m.epoch = 1995.0;
    m.firstYear = 1995.0;
    m.lastYear = 2000.0;
    m.mainDegree = kMainFieldDegree;
    m.secularDegree = kSecularVariationDegree;
    m.referenceRadiusKm = kReferenceRadiusKm;
    // The field's own ellipsoid: a = 6378.160 km, b = 6356.775 km (the IAU 1968
    // figure). In single precision a^2 and b^2 are 40680924 and 40408588 km^2,
    // the values the field has always been evaluated with.
    constexpr double kA = 6378.160;
    constexpr double kB = 6356.775;
    m.semiMajorAxisKm = kA;
    m.inverseFlattening = kA / (kA - kB);
    m.singlePrecision = true;
    m.coefficients.assign(std::begin(kCoefficientTable), std::end(kCoefficientTable));
    return m;
}

FieldModel MakeWmm2025() {
    FieldModel m;
    m.name = "WMM2025";
    // The WMM2025 report (NOAA NCEI and BGS): epoch 2025.0, valid five years,
    // degree and order 12 for the main field and its secular variation.
    m.epoch = 2025.0;
    m.firstYear = 2025.0;
    m.lastYear = 2030.0;
    m.mainDegree = 12;
    m.secularDegree = 12;
    m.referenceRadiusKm = kReferenceRadiusKm;
    // WGS 84: a = 6378.137 km, 1/f = 298.257223563.
    m.semiMajorAxisKm = 6378.137;
    m.inverseFlattening = 298.257223563;
    m.singlePrecision = false;
    m.coefficients.assign(std::begin(kWmm2025Table), std::end(kWmm2025Table));
    return m;
}

}  // namespace

const FieldModel& ReferenceField1995() {
    static const FieldModel m = MakeReferenceField1995();
    return m;
}

const FieldModel& Wmm2025() {
    static const FieldModel m = MakeWmm2025();
    return m;
}

const FieldModel* FindBuiltInModel(std::string_view key) {
    if (key == "igrf1995") {
        return &ReferenceField1995();
    }
    if (key == "wmm2025") {
        return &Wmm2025();
    }
    return nullptr;
}

bool CoversYear(const FieldModel& m, double year) { return m.firstYear <= year && year <= m.lastYear; }

}  // namespace model
