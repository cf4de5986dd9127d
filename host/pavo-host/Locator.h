#pragma once
// Maidenhead grid locators: where a station is, how far, and its local time.
#include <optional>
#include <string_view>

namespace pavohost {

struct TLatLon {
    double Lat = 0, Lon = 0;  // degrees, north and east positive
};

// Centre of a 2-, 4-, 6- or 8-character locator ("KO85", "jo62qm"); nothing
// when the text is not a locator.
std::optional<TLatLon> LocatorCentre(std::string_view locator);

// Great-circle distance in whole kilometres (mean Earth radius).
long DistanceKm(TLatLon a, TLatLon b);

// Offset of a place's local time from UTC in minutes, by its longitude in
// whole hours, as time zones roughly follow.
int LocalOffsetMinutes(TLatLon where);

}  // namespace pavohost
