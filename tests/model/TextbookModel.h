// The field of a model evaluated the textbook way, independently of the
// engine: in long double, with the Legendre functions from their explicit
// polynomials instead of a recursion, and the geocentric position from the
// prime-vertical radius. The engine's float and double paths are compared with
// it within their precision.
#pragma once

#include "FieldModel.h"

namespace model::textbook {

// X north, Y east, Z down, H, F in nT; D and I in degrees.
struct Field {
    long double X;
    long double Y;
    long double Z;
    long double H;
    long double F;
    long double D;
    long double I;
};

// The model at a geodetic latitude and longitude (degrees), height above its
// ellipsoid (km) and decimal year, to its own degrees.
Field Evaluate(const FieldModel& m, long double latitude, long double longitude, long double heightKm,
               long double year);

}  // namespace model::textbook
