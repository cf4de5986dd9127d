#pragma once
// The host's wall clock (UTC). In a headless session it runs on the virtual
// clock of the UI thread from a start time the script may set.
#include <cstdint>
#include <functional>
#include <string>

namespace pavohost {

struct TCivilTime {
    int Year = 1970, Month = 1, Day = 1, Hour = 0, Minute = 0, Second = 0;
};

TCivilTime CivilFromSeconds(std::int64_t utcSeconds);
std::int64_t SecondsFromCivil(const TCivilTime& t);
// "2024-05-04 14:30" or "2024-05-04 14:30:15"; false when not a valid time.
bool ParseCivil(const std::string& date, const std::string& time, TCivilTime& out);

std::string AdifDate(const TCivilTime& t);       // 20240504
std::string AdifTime(const TCivilTime& t);       // 143015
std::string DottedDate(const TCivilTime& t);     // 04.05.2024
std::string ClockTime(const TCivilTime& t);      // 14:30

class THostClock {
public:
    // virtualMs: milliseconds of the UI thread's clock.
    explicit THostClock(std::function<std::int64_t()> virtualMs);
    std::int64_t UtcSeconds() const;
    TCivilTime Now() const { return CivilFromSeconds(UtcSeconds()); }
    // The time it is now, from now on.
    void Set(std::int64_t utcSeconds);

private:
    std::function<std::int64_t()> virtualMs_;
    std::int64_t baseSeconds_;  // UTC at virtual time 0
};

}  // namespace pavohost
