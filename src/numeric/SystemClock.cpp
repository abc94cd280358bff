#include "numeric/SystemClock.h"

#include <ctime>

namespace kiv {

std::int32_t SystemClock::ClockSeconds() const {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr) return -1;
    const int year = local.tm_year + 1900;
    if (year < 1970 || year > 2038) return -1;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(now));
}

LocalTime SystemClock::LocalNow() const {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    std::tm local{};
    localtime_r(&ts.tv_sec, &local);
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
