#include "tlmio/stl_number.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace tlmio {

namespace {

// The value of a decimal that does not fit a float: infinite when too large, zero when too small.
float OutOfRangeValue(const char* begin, const char* end)
{
    const bool negative = *begin == '-';
    double wide = 0;
    auto result = std::from_chars(begin, end, wide);
    bool tooLarge;
    if (result.ec == std::errc()) {
        tooLarge = std::fabs(wide) > 1;
    } else {
        // Beyond double too: only the exponent's sign tells which way.
        tooLarge = true;
        for (const char* p = begin; p + 1 < end; ++p)
            if ((*p == 'e' || *p == 'E') && p[1] == '-')
                tooLarge = false;
    }
    const float magnitude = tooLarge ? HUGE_VALF : 0.0f;
    return negative ? -magnitude : magnitude;
}

}  // namespace

const char* ParseStlFloatAt(const char* begin, const char* end, float& value)
{
    // from_chars (correctly rounded, no locale) takes a '-' but no '+', and must not see the
    // '-' of "+-1".
    if (begin < end && *begin == '+') {
        ++begin;
        if (begin < end && *begin == '-')
            return nullptr;
    }
    float parsed;
    auto result = std::from_chars(begin, end, parsed, std::chars_format::general);
    if (result.ec == std::errc::invalid_argument)
        return nullptr;
    value = result.ec == std::errc::result_out_of_range ? OutOfRangeValue(begin, result.ptr) : parsed;
    return result.ptr;
}

}  // namespace tlmio
