#include "numeric/NumericServices.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <limits>

namespace kiv {

Extended NaturalLog(double x) {
    if (x == 0.0) return -std::numeric_limits<Extended>::infinity();
    if (!(x > 0.0)) return std::numeric_limits<Extended>::quiet_NaN();
    Extended result = x;
#if defined(__x86_64__) || defined(__i386__)
    // fyl2x computes st(1) * log2(st(0)) with one rounding; with st(1) = ln 2 this is the
    // logarithm every stored cipher-text geometry was computed with.
    __asm__("fldln2\n\tfxch\n\tfyl2x" : "=t"(result) : "0"(result) : "st(1)");
#else
    result = std::log(result);
#endif
    return result;
}

std::int32_t TruncateToInt(Extended x) {
    if (std::isnan(x)) return 0;
    constexpr Extended kLimit = 9223372036854775808.0L;  // 2^63
    if (x >= kLimit || x < -kLimit) return 0;
    const auto whole = static_cast<std::int64_t>(x);  // truncates toward zero
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(whole)));
}

double TimeOfDayFraction(const Clock& clock) {
    const LocalTime t = clock.LocalNow();
    const std::int64_t ms = static_cast<std::int64_t>(t.hour) * 3600000 + t.minute * 60000 +
                            t.second * 1000 + t.millisecond;
    return static_cast<double>(static_cast<Extended>(ms) / 86400000.0L);
}

std::int32_t TimeStampOf(double timeOfDay) {
    return TruncateToInt(static_cast<Extended>(timeOfDay) * 1000000000.0L);
}

namespace {

constexpr std::chrono::sys_days kEpoch{std::chrono::year{1899} / 12 / 30};

}  // namespace

double DateTimeValue(const LocalTime& local) {
    using namespace std::chrono;
    const sys_days day{year{local.year} / month{static_cast<unsigned>(local.month)} /
                       std::chrono::day{static_cast<unsigned>(local.day)}};
    const auto days = (day - kEpoch).count();
    const double ms =
        local.hour * 3600000.0 + local.minute * 60000.0 + local.second * 1000.0 + local.millisecond;
    return static_cast<double>(days) + ms / 86400000.0;
}

std::string DateTimeText(double value) {
    using namespace std::chrono;
    const double whole = std::trunc(value);
    const double fraction = std::fabs(value - whole);
    std::tm tm{};
    const year_month_day date{kEpoch + days{static_cast<long>(whole)}};
    tm.tm_year = static_cast<int>(date.year()) - 1900;
    tm.tm_mon = static_cast<int>(static_cast<unsigned>(date.month())) - 1;
    tm.tm_mday = static_cast<int>(static_cast<unsigned>(date.day()));
    const auto ms = static_cast<long>(std::llround(fraction * 86400000.0));
    tm.tm_hour = static_cast<int>(ms / 3600000);
    tm.tm_min = static_cast<int>(ms / 60000 % 60);
    tm.tm_sec = static_cast<int>(ms / 1000 % 60);

    const char* format = "%x %X";
    if (value >= 1.0 && fraction == 0.0) format = "%x";
    if (value < 1.0) format = "%X";
    char text[128];
    const std::size_t length = std::strftime(text, sizeof text, format, &tm);
    return std::string(text, length);
}

}  // namespace kiv
