#include "HostClock.h"

#include <chrono>
#include <cstdio>

namespace pavohost {
namespace chr = std::chrono;

TCivilTime CivilFromSeconds(std::int64_t utcSeconds) {
    const chr::sys_seconds tp{chr::seconds{utcSeconds}};
    const auto days = chr::floor<chr::days>(tp);
    const chr::year_month_day ymd{days};
    const chr::hh_mm_ss hms{tp - days};
    return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day())), static_cast<int>(hms.hours().count()),
            static_cast<int>(hms.minutes().count()), static_cast<int>(hms.seconds().count())};
}

std::int64_t SecondsFromCivil(const TCivilTime& t) {
    const chr::year_month_day ymd{chr::year{t.Year}, chr::month{static_cast<unsigned>(t.Month)},
                                  chr::day{static_cast<unsigned>(t.Day)}};
    const chr::sys_days days{ymd};
    return days.time_since_epoch().count() * 86400LL + t.Hour * 3600LL + t.Minute * 60LL + t.Second;
}

bool ParseCivil(const std::string& date, const std::string& time, TCivilTime& out) {
    TCivilTime t;
    char dash1 = 0, dash2 = 0;
    int used = 0;
    if (std::sscanf(date.c_str(), "%4d%c%2d%c%2d%n", &t.Year, &dash1, &t.Month, &dash2, &t.Day, &used) != 5 ||
        dash1 != '-' || dash2 != '-' || static_cast<std::size_t>(used) != date.size())
        return false;
    const chr::year_month_day ymd{chr::year{t.Year}, chr::month{static_cast<unsigned>(t.Month)},
                                  chr::day{static_cast<unsigned>(t.Day)}};
    if (!ymd.ok() || t.Year < 1900 || t.Year > 9999) return false;
    int n = std::sscanf(time.c_str(), "%2d:%2d:%2d%n", &t.Hour, &t.Minute, &t.Second, &used);
    if (n != 3) {
        t.Second = 0;
        n = std::sscanf(time.c_str(), "%2d:%2d%n", &t.Hour, &t.Minute, &used);
        if (n != 2) return false;
    }
    if (static_cast<std::size_t>(used) != time.size() || t.Hour < 0 || t.Hour > 23 || t.Minute < 0 ||
        t.Minute > 59 || t.Second < 0 || t.Second > 59)
        return false;
    out = t;
    return true;
}

namespace {
std::string Format(const char* pattern, int a, int b, int c) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, pattern, a, b, c);
    return buffer;
}
}  // namespace

std::string AdifDate(const TCivilTime& t) { return Format("%04d%02d%02d", t.Year, t.Month, t.Day); }
std::string AdifTime(const TCivilTime& t) { return Format("%02d%02d%02d", t.Hour, t.Minute, t.Second); }
std::string DottedDate(const TCivilTime& t) { return Format("%02d.%02d.%04d", t.Day, t.Month, t.Year); }
std::string ClockTime(const TCivilTime& t) { return Format("%02d:%02d", t.Hour, t.Minute, 0); }

THostClock::THostClock(std::function<std::int64_t()> virtualMs) : virtualMs_(std::move(virtualMs)) {
    const auto now = chr::floor<chr::seconds>(chr::system_clock::now());
    baseSeconds_ = now.time_since_epoch().count() - virtualMs_() / 1000;
}

std::int64_t THostClock::UtcSeconds() const { return baseSeconds_ + virtualMs_() / 1000; }

void THostClock::Set(std::int64_t utcSeconds) { baseSeconds_ = utcSeconds - virtualMs_() / 1000; }

}  // namespace pavohost
