#include "numeric/SystemClock.h"

#include <ctime>

namespace kiv {

namespace {

// The local calendar reading of a second; nullptr when there is none. localtime_r takes a lock
// and walks the zone's rules, and the text cores read the clock for every line, so each thread
// keeps the reading of the latest second it asked for.
const std::tm* LocalOf(std::time_t second) {
    struct Reading {
        std::time_t second = 0;
        bool known = false;
        bool valid = false;
        std::tm local{};
    };
    thread_local Reading latest;
    if (!latest.known || latest.second != second) {
        latest.valid = localtime_r(&second, &latest.local) != nullptr;
        latest.second = second;
        latest.known = true;
    }
    return latest.valid ? &latest.local : nullptr;
}

}  // namespace

std::int32_t SystemClock::ClockSeconds() const {
    const std::time_t now = std::time(nullptr);
    const std::tm* reading = LocalOf(now);
    if (reading == nullptr) return -1;
    const std::tm& local = *reading;
    const int year = local.tm_year + 1900;
    if (year < 1970 || year > 2038) return -1;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(now));
}

LocalTime SystemClock::LocalNow() const {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    const std::tm* reading = LocalOf(ts.tv_sec);
    const std::tm local = reading != nullptr ? *reading : std::tm{};
    LocalTime t;
    t.year = local.tm_year + 1900;
    t.month = local.tm_mon + 1;
    t.day = local.tm_mday;
    t.hour = local.tm_hour;
    t.minute = local.tm_min;
    t.second = local.tm_sec;
    t.millisecond = static_cast<int>(ts.tv_nsec / 1000000);
    return t;
}

const SystemClock& SystemClock::Instance() {
    static const SystemClock clock;
    return clock;
}

}  // namespace kiv
