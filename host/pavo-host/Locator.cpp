#include "Locator.h"

#include <algorithm>
#include <cmath>

namespace pavohost {

std::optional<TLatLon> LocatorCentre(std::string_view locator) {
    const std::size_t n = locator.size();
    if (n != 2 && n != 4 && n != 6 && n != 8) return std::nullopt;
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    // Field (A-R), square (0-9), subsquare (A-X), extended square (0-9).
    double lon = -180.0, lat = -90.0;
    double lonStep = 20.0, latStep = 10.0;
    for (std::size_t pair = 0; pair < n / 2; ++pair) {
        const char a = upper(locator[2 * pair]), b = upper(locator[2 * pair + 1]);
        int x = 0, y = 0;
        if (pair % 2 == 0) {
            const char last = pair == 0 ? 'R' : 'X';
            if (a < 'A' || a > last || b < 'A' || b > last) return std::nullopt;
            x = a - 'A';
            y = b - 'A';
        } else {
            if (a < '0' || a > '9' || b < '0' || b > '9') return std::nullopt;
            x = a - '0';
            y = b - '0';
        }
        if (pair > 0) {
            const double divisor = pair % 2 == 1 ? 10.0 : 24.0;
            lonStep /= divisor;
            latStep /= divisor;
        }
        lon += x * lonStep;
        lat += y * latStep;
    }
    return TLatLon{lat + latStep / 2, lon + lonStep / 2};
}

long DistanceKm(TLatLon a, TLatLon b) {
    constexpr double kRadius = 6371.0;
    constexpr double kRad = 3.14159265358979323846 / 180.0;
    const double dLat = (b.Lat - a.Lat) * kRad, dLon = (b.Lon - a.Lon) * kRad;
    const double h = std::sin(dLat / 2) * std::sin(dLat / 2) +
                     std::cos(a.Lat * kRad) * std::cos(b.Lat * kRad) * std::sin(dLon / 2) * std::sin(dLon / 2);
    return std::lround(2 * kRadius * std::asin(std::min(1.0, std::sqrt(h))));
}

int LocalOffsetMinutes(TLatLon where) { return static_cast<int>(std::lround(where.Lon / 15.0)) * 60; }

}  // namespace pavohost
