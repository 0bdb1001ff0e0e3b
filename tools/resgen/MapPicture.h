// The main dialog's background: the world map in the readout's own scale
// (rows 0 to 377) over the yellow readout panel (rows 378 to 453), at one or
// more picture pixels per map pixel: at scale 2 each map pixel is 2 x 2
// picture pixels, lines and bevels are 2 pixels wide, texts twice as large.
#pragma once

#include <QString>

#include "tools/resgen/IndexedPicture.h"
#include "tools/resgen/LandMask.h"
#include "tools/resgen/Topology.h"

namespace resgen {

class MapPicture {
public:
    static constexpr int kWidth = 637;
    static constexpr int kHeight = 454;
    static constexpr int kLastMapRow = 377;

    MapPicture(const Topology& world, const LandMask& land, QString labelFamily, int scale = 1)
        : world_(world), land_(land), labelFamily_(std::move(labelFamily)), scale_(scale) {}

    IndexedPicture Draw() const;

private:
    void DrawLandAndSea(IndexedPicture& picture) const;
    void DrawCoastsAndBorders(IndexedPicture& picture) const;
    void DrawGraticule(IndexedPicture& picture) const;
    void DrawPanel(IndexedPicture& picture) const;

    const Topology& world_;
    const LandMask& land_;
    QString labelFamily_;
    int scale_;  // picture pixels per map pixel, each way
};

}  // namespace resgen
