// The picture generator's parts: decoding the map data, land and sea across
// the 180th meridian and round the pole, and the stored byte layouts.
#include <gtest/gtest.h>

#include <QTemporaryFile>

#include "tools/resgen/IndexedPicture.h"
#include "tools/resgen/LandMask.h"
#include "tools/resgen/Topology.h"

namespace {

using namespace resgen;

// Two arcs that close a one-degree square at 10 W, 20 S; quantized by 0.5
// and 0.25 degrees and stored as deltas.
constexpr char kSquareWorld[] = R"({"type":"Topology",
 "transform":{"scale":[0.5,0.25],"translate":[-10,-20]},
 "arcs":[[[0,0],[2,0],[0,4]],[[2,4],[-2,0],[0,-4]]],
 "objects":{"land":{"type":"GeometryCollection","geometries":[
   {"type":"Polygon","arcs":[[0,1]]},
   {"type":"MultiPolygon","arcs":[[[-2,-1]]]}]}}})";

bool LoadText(const char* json, Topology& topology, QString& error) {
    QTemporaryFile file;
    if (!file.open()) return false;
    file.write(json);
    file.flush();
    return topology.Load(file.fileName(), error);
}

void ExpectRing(const Polyline& ring, std::initializer_list<GeoPoint> expected) {
    ASSERT_EQ(ring.size(), expected.size());
    std::size_t i = 0;
    for (const GeoPoint& p : expected) {
        EXPECT_DOUBLE_EQ(ring[i].lon, p.lon) << i;
        EXPECT_DOUBLE_EQ(ring[i].lat, p.lat) << i;
        ++i;
    }
}

TEST(Topology, DecodesDeltasAndJoinsArcsBothWays) {
    Topology world;
    QString error;
    ASSERT_TRUE(LoadText(kSquareWorld, world, error)) << error.toStdString();
    ASSERT_EQ(world.Arcs().size(), 2u);
    ExpectRing(world.Arcs()[0], {{-10, -20}, {-9, -20}, {-9, -19}});
    const std::vector<Polyline> rings = world.Rings("land");
    ASSERT_EQ(rings.size(), 2u);
    // Arcs 0 then 1, their shared point once.
    ExpectRing(rings[0], {{-10, -20}, {-9, -20}, {-9, -19}, {-10, -19}, {-10, -20}});
    // ~1 then ~0: both walked backwards.
    ExpectRing(rings[1], {{-10, -20}, {-10, -19}, {-9, -19}, {-9, -20}, {-10, -20}});
    EXPECT_TRUE(world.Rings("lakes").empty());
}

TEST(Topology, RefusesMissingAndMalformedFiles) {
    Topology world;
    QString error;
    EXPECT_FALSE(world.Load("/nonexistent/countries.json", error));
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    EXPECT_FALSE(LoadText("{\"type\":\"Topology\",", world, error));
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    EXPECT_FALSE(LoadText(R"({"type":"FeatureCollection","features":[]})", world, error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(LandMask, RingAcrossTheDateLine) {
    // An island from 170 E to 170 W, stored with the jump across 180.
    const LandMask mask({{{170, 10}, {-170, 10}, {-170, 20}, {170, 20}}});
    const std::vector<double> row = mask.Crossings(15.0);
    for (double lon : {171.0, 179.9, 180.0, -180.0, -175.0, -171.0}) EXPECT_TRUE(LandMask::IsLand(row, lon)) << lon;
    for (double lon : {0.0, 169.0, -169.0, 90.0, -90.0}) EXPECT_FALSE(LandMask::IsLand(row, lon)) << lon;
    EXPECT_FALSE(LandMask::IsLand(mask.Crossings(25.0), 175.0));
    EXPECT_TRUE(mask.IsLandNear(15.0, 175.0));
    EXPECT_TRUE(mask.IsLandNear(15.0, -175.0));
    EXPECT_TRUE(mask.IsLandNear(15.0, 185.0));  // one turn east
    EXPECT_FALSE(mask.IsLandNear(15.0, 160.0));
}

TEST(LandMask, HolesAreSea) {
    const LandMask mask({{{0, 0}, {10, 0}, {10, 10}, {0, 10}}, {{4, 4}, {6, 4}, {6, 6}, {4, 6}}});
    const std::vector<double> row = mask.Crossings(5.0);
    EXPECT_TRUE(LandMask::IsLand(row, 2.0));
    EXPECT_FALSE(LandMask::IsLand(row, 5.0));
    EXPECT_TRUE(LandMask::IsLand(row, 8.0));
    EXPECT_FALSE(LandMask::IsLand(row, 12.0));
}

TEST(LandMask, RingRoundThePoleClosesOverIt) {
    // A coast going once round the south pole, as a polar continent is stored.
    const LandMask mask({{{-180, -70}, {-90, -65}, {0, -70}, {90, -65}, {180, -70}}});
    for (double lon : {-179.0, -45.0, 0.0, 120.0, 179.0}) {
        EXPECT_TRUE(LandMask::IsLand(mask.Crossings(-80.0), lon)) << lon;
        EXPECT_FALSE(LandMask::IsLand(mask.Crossings(-60.0), lon)) << lon;
    }
    EXPECT_TRUE(mask.IsLandNear(-89.0, 10.0));
}

std::uint32_t U32(const QByteArray& b, int at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<std::uint8_t>(b[at + i]);
    return v;
}

TEST(IndexedPicture, BmpRowsBottomUpHighNibbleFirstPadded) {
    IndexedPicture picture(3, 2, kNavy);
    picture.Set(0, 0, kRed);
    picture.Set(2, 0, kWhite);
    picture.Set(1, 1, kLime);
    picture.Set(3, 0, kYellow);   // outside: ignored
    picture.Set(-1, 1, kYellow);  // outside: ignored
    const QByteArray b = picture.ToBmp(3790, 3800);
    ASSERT_EQ(b.size(), 14 + 40 + 64 + 2 * 4);
    EXPECT_EQ(U32(b, 2), static_cast<std::uint32_t>(b.size()));
    EXPECT_EQ(U32(b, 10), 118u);
    EXPECT_EQ(U32(b, 22), 2u);
    EXPECT_EQ(U32(b, 34), 8u);
    EXPECT_EQ(U32(b, 54 + 4 * kOlive), 0x808000u);
    // Bottom row first: navy, lime, navy; then the top row: red, navy, white.
    EXPECT_EQ(b.mid(118, 4), QByteArray::fromHex("4a400000"));
    EXPECT_EQ(b.mid(122, 4), QByteArray::fromHex("94f00000"));
}

TEST(IndexedPicture, IconImagesWithEmptyMasks) {
    const IndexedPicture large(32, 32, kBlue), small(16, 16, kLime);
    const QByteArray ico = IndexedPicture::ToIco({&large, &small});
    ASSERT_EQ(ico.size(), 6 + 2 * 16 + 744 + 296);
    EXPECT_EQ(U32(ico, 6 + 8), 744u);
    EXPECT_EQ(U32(ico, 6 + 12), 38u);
    EXPECT_EQ(U32(ico, 22 + 8), 296u);
    EXPECT_EQ(U32(ico, 22 + 12), 38u + 744u);
    EXPECT_EQ(static_cast<std::uint8_t>(ico[38 + 104]), 0xCC);  // two blue pixels
    EXPECT_EQ(ico.mid(38 + 104 + 512, 128), QByteArray(128, '\0'));
    EXPECT_EQ(ico.mid(38 + 744 + 104 + 128, 64), QByteArray(64, '\0'));
}

}  // namespace
