// The program's globe: the Atlantic seen from space, land lime and sea blue,
// short white bars above and below it, on a black square.
#pragma once

#include "tools/resgen/IndexedPicture.h"
#include "tools/resgen/LandMask.h"

namespace resgen {

class Globe {
public:
    explicit Globe(const LandMask& land) : land_(land) {}

    // Draws the square of side size with its top-left corner at (left, top).
    void Draw(IndexedPicture& picture, int left, int top, int size) const;

private:
    bool LandAt(double dx, double dy) const;  // dx, dy on the unit disc, y down

    const LandMask& land_;
};

}  // namespace resgen
