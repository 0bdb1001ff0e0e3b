// Reads a TopoJSON world (quantized, delta-encoded arcs) into plain
// longitude/latitude polylines.
#pragma once

#include <QJsonObject>
#include <QString>
#include <vector>

namespace resgen {

struct GeoPoint {
    double lon;
    double lat;
};

using Polyline = std::vector<GeoPoint>;

class Topology {
public:
    // False with a message in error when the file is missing or malformed.
    bool Load(const QString& path, QString& error);

    // Every arc: coastlines and borders between countries.
    const std::vector<Polyline>& Arcs() const { return arcs_; }

    // The closed rings (outer rings and holes) of the named object's polygons.
    std::vector<Polyline> Rings(const QString& objectName) const;

private:
    Polyline RingFromArcs(const QJsonArray& arcIndices) const;

    std::vector<Polyline> arcs_;
    QJsonObject objects_;
};

}  // namespace resgen
