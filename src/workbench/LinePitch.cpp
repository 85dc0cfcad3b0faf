#include "workbench/LinePitch.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

namespace {

// Rounds numerator / 10^scale (scale ≥ 1) to an integer, halves to even.
std::int64_t roundHalfEven(std::int64_t numerator, std::int64_t denominator) {
    std::int64_t quotient = numerator / denominator;
    std::int64_t remainder = numerator % denominator;
    if (remainder < 0) { // floor division
        remainder += denominator;
        --quotient;
    }
    const std::int64_t twice = remainder * 2;
    if (twice > denominator || (twice == denominator && quotient % 2 != 0))
        ++quotient;
    return quotient;
}

int clampToInt(std::int64_t value) {
    if (value > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (value < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return int(value);
}

} // namespace

int LinePitchTwips(double fontPoints, int extraTwips) {
    if (!std::isfinite(fontPoints))
        return extraTwips;
    // No font is a million points large or smaller than a billionth of a point; outside that range
    // binary arithmetic (rounding to even) is as good as any.
    const auto binary = [&] { return clampToInt(std::llrint(22.0 * fontPoints + extraTwips)); };
    if (std::fabs(fontPoints) > 1e6)
        return binary();

    // The shortest decimal that reads back as fontPoints, e.g. "10.5".
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, fontPoints, std::chars_format::fixed);
    if (written.ec != std::errc())
        return binary();
    std::int64_t mantissa = 0;
    std::int64_t scale = 1; // 10^(digits after the point)
    bool negative = false;
    bool afterPoint = false;
    for (const char *p = buffer; p != written.ptr; ++p) {
        if (*p == '-') {
            negative = true;
        } else if (*p == '.') {
            afterPoint = true;
        } else if (!afterPoint || scale < 1'000'000'000LL) { // digits beyond 9 decimals are dropped
            mantissa = mantissa * 10 + (*p - '0');
            if (afterPoint)
                scale *= 10;
        }
    }
    if (negative)
        mantissa = -mantissa;
    return clampToInt(roundHalfEven(22 * mantissa + std::int64_t(extraTwips) * scale, scale));
}
