#include "tools/resgen/Topology.h"

#include <algorithm>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

namespace resgen {

bool Topology::Load(const QString& path, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot open %1: %2").arg(path, file.errorString());
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (doc.isNull()) {
        error = QStringLiteral("%1: %2").arg(path, parseError.errorString());
        return false;
    }
    const QJsonObject root = doc.object();
    const QJsonObject transform = root.value("transform").toObject();
    const QJsonArray scale = transform.value("scale").toArray();
    const QJsonArray translate = transform.value("translate").toArray();
    if (root.value("type").toString() != "Topology" || scale.size() != 2 || translate.size() != 2) {
        error = QStringLiteral("%1: not a quantized topology").arg(path);
        return false;
    }
    const double kx = scale[0].toDouble(), ky = scale[1].toDouble();
    const double dx = translate[0].toDouble(), dy = translate[1].toDouble();

    // Each arc's positions are deltas from the previous one, in quantized units.
    arcs_.clear();
    for (const QJsonValue& arcValue : root.value("arcs").toArray()) {
        Polyline arc;
        long long qx = 0, qy = 0;
        for (const QJsonValue& p : arcValue.toArray()) {
            const QJsonArray delta = p.toArray();
            qx += delta[0].toInteger();
            qy += delta[1].toInteger();
            arc.push_back({qx * kx + dx, qy * ky + dy});
        }
        arcs_.push_back(std::move(arc));
    }
    objects_ = root.value("objects").toObject();
    return true;
}

Polyline Topology::RingFromArcs(const QJsonArray& arcIndices) const {
    Polyline ring;
    for (const QJsonValue& v : arcIndices) {
        const int index = v.toInt();
        // A negative index ~i means arc i walked backwards.
        const bool reversed = index < 0;
        const std::size_t arcIndex = static_cast<std::size_t>(reversed ? ~index : index);
        if (arcIndex >= arcs_.size()) continue;
        Polyline arc = arcs_[arcIndex];
        if (reversed) std::reverse(arc.begin(), arc.end());
        // Consecutive arcs share their joining point.
        ring.insert(ring.end(), arc.begin() + (ring.empty() ? 0 : 1), arc.end());
    }
    return ring;
}

std::vector<Polyline> Topology::Rings(const QString& objectName) const {
    std::vector<Polyline> rings;
    const auto addPolygon = [&](const QJsonArray& polygon) {
        for (const QJsonValue& ring : polygon) rings.push_back(RingFromArcs(ring.toArray()));
    };
    const QJsonObject object = objects_.value(objectName).toObject();
    for (const QJsonValue& g : object.value("geometries").toArray()) {
        const QJsonObject geometry = g.toObject();
        const QString type = geometry.value("type").toString();
        const QJsonArray arcs = geometry.value("arcs").toArray();
        if (type == "Polygon") {
            addPolygon(arcs);
        } else if (type == "MultiPolygon") {
            for (const QJsonValue& polygon : arcs) addPolygon(polygon.toArray());
        }
    }
    return rings;
}

}  // namespace resgen
