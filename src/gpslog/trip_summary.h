// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace quarnel {

// The figures of a trip, gathered point by point as a log is written, in constant memory
// (apart from the list of long stops). Times are seconds on one scale (the map page uses the
// tracker's clock read as UTC); the points must come in time order, as the record test
// keeps them.
//
// The rules, in the words the map page's readers get:
// - distance: the great-circle distances between consecutive points added up (haversine,
//   on a sphere of the Earth's mean radius, kEarthRadiusMetres);
// - the vehicle stood still between two consecutive points when it covered that stretch at
//   less than kStillKmh on average, or when both points recorded a speed below kStillKmh
//   (GPS positions wander a little while a vehicle stands);
// - a stop is an unbroken run of such still stretches, from the first point of the run to
//   its last; it is listed when it lasted longer than kStopSeconds;
// - moving time and distance are those of the other stretches; the average moving speed is
//   that distance over that time;
// - the maximum speed is the highest speed a point recorded.
inline constexpr double kEarthRadiusMetres = 6371008.8;
inline constexpr double kStillKmh = 3.0;
inline constexpr int64_t kStopSeconds = 300;

// The great-circle distance in metres between two positions in degrees.
double GreatCircleMetres(double latitude1, double longitude1, double latitude2, double longitude2);

struct TripStop {
    int64_t start = 0, end = 0;          // times of the run's first and last point
    double latitude = 0, longitude = 0;  // the first point's position
};

class TripSummary {
public:
    // One point; `speed` in km/h, not finite when the tracker recorded none.
    void Add(int64_t time, double latitude, double longitude, double speed);
    // Ends a stop that lasts to the last point. Call once, after the last Add.
    void Finish();

    uint32_t Points() const { return m_points; }
    int64_t FirstTime() const { return m_first; }  // 0 without points
    int64_t LastTime() const { return m_last; }
    int64_t Duration() const { return m_last - m_first; }
    double DistanceMetres() const { return m_distance; }
    double MovingMetres() const { return m_movingDistance; }
    int64_t MovingSeconds() const { return m_movingSeconds; }
    // km/h; nothing when the vehicle never moved for a second.
    std::optional<double> AverageMovingKmh() const;
    // km/h; nothing when no point recorded a speed.
    std::optional<double> MaxSpeedKmh() const { return m_maxSpeed; }
    // The stops longer than kStopSeconds, in time order.
    const std::vector<TripStop>& Stops() const { return m_stops; }

private:
    void EndStill();

    uint32_t m_points = 0;
    int64_t m_first = 0, m_last = 0;
    double m_lastLatitude = 0, m_lastLongitude = 0, m_lastSpeed = 0;
    double m_distance = 0, m_movingDistance = 0;
    int64_t m_movingSeconds = 0;
    std::optional<double> m_maxSpeed;
    std::optional<TripStop> m_still;  // the run of still stretches going on
    std::vector<TripStop> m_stops;
};

}  // namespace quarnel
