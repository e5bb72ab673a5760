// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gpslog/trip_summary.h"

#include <cmath>
#include <numbers>

namespace quarnel {

double GreatCircleMetres(double latitude1, double longitude1, double latitude2, double longitude2) {
    constexpr double kRadians = std::numbers::pi / 180.0;
    const double phi1 = latitude1 * kRadians, phi2 = latitude2 * kRadians;
    const double dPhi = phi2 - phi1, dLambda = (longitude2 - longitude1) * kRadians;
    const double a = std::sin(dPhi / 2) * std::sin(dPhi / 2) + std::cos(phi1) * std::cos(phi2) *
                                                                   std::sin(dLambda / 2) *
                                                                   std::sin(dLambda / 2);
    // Rounding can carry a just past 1 for points at opposite ends of the Earth.
    return 2 * kEarthRadiusMetres * std::asin(std::sqrt(std::fmin(a, 1.0)));
}

void TripSummary::Add(int64_t time, double latitude, double longitude, double speed) {
    if (std::isfinite(speed) && (!m_maxSpeed || speed > *m_maxSpeed)) {
        m_maxSpeed = speed;
    }
    if (m_points++ == 0) {
        m_first = time;
    } else {
        const double metres =
            GreatCircleMetres(m_lastLatitude, m_lastLongitude, latitude, longitude);
        const int64_t seconds = time - m_last;
        m_distance += metres;
        // A stretch of no time has no average speed; its points' speeds alone decide.
        const bool slowOnAverage = seconds > 0 && metres / seconds * 3.6 < kStillKmh;
        const bool bothSlow = m_lastSpeed < kStillKmh && speed < kStillKmh;  // false for NaN
        if (slowOnAverage || bothSlow) {
            if (!m_still) {
                m_still = TripStop{m_last, m_last, m_lastLatitude, m_lastLongitude};
            }
            m_still->end = time;
        } else {
            EndStill();
            m_movingDistance += metres;
            m_movingSeconds += seconds;
        }
    }
    m_last = time;
    m_lastLatitude = latitude;
    m_lastLongitude = longitude;
    m_lastSpeed = speed;
}

void TripSummary::Finish() {
    EndStill();
}

void TripSummary::EndStill() {
    if (m_still && m_still->end - m_still->start > kStopSeconds) {
        m_stops.push_back(*m_still);
    }
    m_still.reset();
}

std::optional<double> TripSummary::AverageMovingKmh() const {
    if (m_movingSeconds <= 0) {
        return std::nullopt;
    }
    return m_movingDistance / static_cast<double>(m_movingSeconds) * 3.6;
}

}  // namespace quarnel
