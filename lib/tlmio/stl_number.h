// Decimal numbers of ASCII STL into floats, correctly rounded and independent of the locale.
#pragma once

namespace tlmio {

// Reads the number at the start of [begin, end): an optional sign ('+' too), digits with an
// optional point (1, 1.5, .5, 2.), an optional exponent (1e-3, 1E+02); also inf and nan. A value
// beyond float becomes infinite, one below the smallest float zero (keeping its sign). Returns
// the end of the number, or null (leaving `value` alone) when no number starts at `begin`.
const char* ParseStlFloatAt(const char* begin, const char* end, float& value);

// True when all of [begin, end) is one such number.
inline bool ParseStlFloat(const char* begin, const char* end, float& value)
{
    float parsed;
    if (ParseStlFloatAt(begin, end, parsed) != end || begin == end)
        return false;
    value = parsed;
    return true;
}

}  // namespace tlmio
