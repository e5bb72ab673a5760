// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The trip's figures for the map page: great-circle distance, stops, moving time and speed.
#include "gpslog/trip_summary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <ostream>
#include <vector>

namespace quarnel {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Metres in one degree along a great circle of the Earth's mean radius.
constexpr double kDegree = kEarthRadiusMetres * std::numbers::pi / 180.0;

struct DistanceCase {
    const char* name;
    double lat1, lon1, lat2, lon2;
    double metres;
};
void PrintTo(const DistanceCase& c, std::ostream* os) {
    *os << c.name;
}

const DistanceCase kDistanceCases[] = {
    {"SamePlace", 22.6273, 120.3014, 22.6273, 120.3014, 0.0},
    {"OneDegreeNorth", 10.0, 30.0, 11.0, 30.0, kDegree},
    {"OneDegreeAlongTheEquator", 0.0, -0.5, 0.0, 0.5, kDegree},
    {"AcrossTheDateLine", 0.0, 179.5, 0.0, -179.5, kDegree},
    {"PoleToPole", 90.0, 0.0, -90.0, 0.0, 180 * kDegree},
    {"Antipodes", 0.0, 0.0, 0.0, 180.0, 180 * kDegree},
    // Along a parallel the great circle is shorter than the parallel itself: at 60 degrees
    // north, 1 degree of longitude is a little under half a degree of arc.
    {"OneDegreeEastAt60North", 60.0, 10.0, 60.0, 11.0, 55597.01},
};

class GreatCircleTest : public ::testing::TestWithParam<DistanceCase> {};

TEST_P(GreatCircleTest, IsTheHaversineDistanceOnTheMeanEarth) {
    const DistanceCase& c = GetParam();
    EXPECT_NEAR(GreatCircleMetres(c.lat1, c.lon1, c.lat2, c.lon2), c.metres, 0.1);
    EXPECT_NEAR(GreatCircleMetres(c.lat2, c.lon2, c.lat1, c.lon1), c.metres, 0.1)
        << "the same both ways";
}

INSTANTIATE_TEST_SUITE_P(Places, GreatCircleTest, ::testing::ValuesIn(kDistanceCases),
                         [](const ::testing::TestParamInfo<DistanceCase>& c) {
                             return c.param.name;
                         });

// ---- the trip ----

struct Fix {
    int64_t time;
    double latitude, longitude, speed;
};

// Metres north of 22.6 degrees north, 120.3 east, as a latitude.
double North(double metres) {
    return 22.6 + metres / kDegree;
}

TripSummary Summarise(const std::vector<Fix>& fixes) {
    TripSummary trip;
    for (const Fix& f : fixes) {
        trip.Add(f.time, f.latitude, f.longitude, f.speed);
    }
    trip.Finish();
    return trip;
}

struct StopCase {
    const char* name;
    std::vector<Fix> fixes;
    std::vector<std::pair<int64_t, int64_t>> stops;  // start, end
    int64_t movingSeconds;
};
void PrintTo(const StopCase& c, std::ostream* os) {
    *os << c.name;
}

const StopCase kStopCases[] = {
    {"StandingStillForFiveMinutesAndASecondIsAStop",
     {{0, North(0), 120.3, 30},
      {60, North(500), 120.3, 0},
      {361, North(500), 120.3, 0},
      {400, North(900), 120.3, 36}},
     {{60, 361}},
     60 + 39},
    {"FiveMinutesExactlyIsNot",
     {{0, North(0), 120.3, 30},
      {60, North(500), 120.3, 0},
      {360, North(500), 120.3, 0},
      {400, North(900), 120.3, 36}},
     {},
     60 + 40},
    // The tracker stopped logging while parked: one fix before, one after, a few metres
    // apart, both recorded while moving.
    {"AGapWithoutMovingIsAStop",
     {{0, North(0), 120.3, 30},
      {20, North(160), 120.3, 30},
      {1220, North(170), 120.3, 25},
      {1240, North(320), 120.3, 30}},
     {{20, 1220}},
     40},
    // A tunnel: no fixes for ten minutes, but eight kilometres further on.
    {"AGapWhileDrivingIsNot",
     {{0, North(0), 120.3, 50}, {600, North(8000), 120.3, 50}, {620, North(8270), 120.3, 50}},
     {},
     620},
    // GPS positions wander while a vehicle stands: both fixes slow is still, however far.
    {"BothPointsSlowIsStillWhateverTheDistance",
     {{0, North(0), 120.3, 1},
      {200, North(300), 120.3, 2},
      {400, North(600), 120.3, 1},
      {420, North(900), 120.3, 40}},
     {{0, 400}},
     20},
    // Pulling away from a stop: one slow fix and one fast, covered fast enough on average.
    {"OneSlowPointCoveredFastIsMoving",
     {{0, North(0), 120.3, 0}, {20, North(100), 120.3, 20}},
     {},
     20},
    {"AStopToTheEndOfTheLogCounts",
     {{0, North(0), 120.3, 30}, {20, North(160), 120.3, 0}, {900, North(161), 120.3, 0}},
     {{20, 900}},
     20},
    {"AStopFromTheStartOfTheLogCounts",
     {{0, North(0), 120.3, 0}, {600, North(0), 120.3, 0}, {620, North(200), 120.3, 36}},
     {{0, 600}},
     20},
    {"TwoStops",
     {{0, North(0), 120.3, 0},
      {400, North(1), 120.3, 0},
      {420, North(200), 120.3, 40},
      {440, North(400), 120.3, 0},
      {1000, North(405), 120.3, 1},
      {1020, North(600), 120.3, 35}},
     {{0, 400}, {440, 1000}},
     60},
    // No speed recorded: the average over the stretch alone decides.
    {"WithoutSpeedsTheAverageDecides",
     {{0, North(0), 120.3, kNaN},
      {20, North(2), 120.3, kNaN},
      {400, North(3), 120.3, kNaN},
      {420, North(300), 120.3, kNaN}},
     {{0, 400}},
     20},
    // Two fixes with the same time: no time passes, so no average; their speeds decide.
    {"FixesWithTheSameTimeAddNoTime",
     {{0, North(0), 120.3, 20}, {20, North(150), 120.3, 20}, {20, North(160), 120.3, 20}},
     {},
     20},
    {"OnePointIsNoTrip", {{100, North(0), 120.3, 10}}, {}, 0},
};

class TripStopsTest : public ::testing::TestWithParam<StopCase> {};

TEST_P(TripStopsTest, ListsTheStopsLongerThanFiveMinutesAndCountsTheTimeMoving) {
    const StopCase& c = GetParam();
    const TripSummary trip = Summarise(c.fixes);
    std::vector<std::pair<int64_t, int64_t>> stops;
    for (const TripStop& s : trip.Stops()) {
        stops.emplace_back(s.start, s.end);
    }
    EXPECT_EQ(stops, c.stops);
    EXPECT_EQ(trip.MovingSeconds(), c.movingSeconds);
    EXPECT_EQ(trip.Points(), c.fixes.size());
    EXPECT_EQ(trip.FirstTime(), c.fixes.front().time);
    EXPECT_EQ(trip.LastTime(), c.fixes.back().time);
}

INSTANTIATE_TEST_SUITE_P(Trips, TripStopsTest, ::testing::ValuesIn(kStopCases),
                         [](const ::testing::TestParamInfo<StopCase>& c) { return c.param.name; });

TEST(TripSummary, AStopIsPlacedWhereItBegan) {
    const TripSummary trip = Summarise(
        {{0, North(0), 120.3, 30}, {20, North(160), 120.31, 0}, {900, North(161), 120.3, 0}});
    ASSERT_EQ(trip.Stops().size(), 1u);
    EXPECT_DOUBLE_EQ(trip.Stops()[0].latitude, North(160));
    EXPECT_DOUBLE_EQ(trip.Stops()[0].longitude, 120.31);
}

TEST(TripSummary, DistanceCountsEveryStretchAndTheAverageOnlyTheMovingOnes) {
    // 1 km in 60 s, a stop of 10 min drifting 10 m, then 2 km in 120 s.
    const TripSummary trip = Summarise({{0, North(0), 120.3, 60},
                                        {60, North(1000), 120.3, 0},
                                        {660, North(1010), 120.3, 0},
                                        {780, North(3010), 120.3, 60}});
    EXPECT_NEAR(trip.DistanceMetres(), 3010, 0.01);
    EXPECT_NEAR(trip.MovingMetres(), 3000, 0.01);
    EXPECT_EQ(trip.MovingSeconds(), 180);
    ASSERT_TRUE(trip.AverageMovingKmh().has_value());
    EXPECT_NEAR(*trip.AverageMovingKmh(), 60.0, 1e-6);
    EXPECT_EQ(trip.Duration(), 780);
    ASSERT_TRUE(trip.MaxSpeedKmh().has_value());
    EXPECT_EQ(*trip.MaxSpeedKmh(), 60);
}

TEST(TripSummary, TopSpeedIgnoresPointsWithoutOne) {
    const TripSummary trip = Summarise(
        {{0, North(0), 120.3, kNaN}, {20, North(100), 120.3, 42.5}, {40, North(200), 120.3, kNaN}});
    ASSERT_TRUE(trip.MaxSpeedKmh().has_value());
    EXPECT_EQ(*trip.MaxSpeedKmh(), 42.5);
}

TEST(TripSummary, NothingToAverageWithoutMovingOrSpeeds) {
    const TripSummary still = Summarise({{0, North(0), 120.3, kNaN}, {600, North(0), 120.3, kNaN}});
    EXPECT_FALSE(still.AverageMovingKmh().has_value());
    EXPECT_FALSE(still.MaxSpeedKmh().has_value());
    EXPECT_EQ(still.MovingSeconds(), 0);

    const TripSummary none = Summarise({});
    EXPECT_EQ(none.Points(), 0u);
    EXPECT_EQ(none.DistanceMetres(), 0);
    EXPECT_EQ(none.Duration(), 0);
    EXPECT_TRUE(none.Stops().empty());
}

}  // namespace
}  // namespace quarnel
