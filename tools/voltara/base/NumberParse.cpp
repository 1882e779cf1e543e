#include "tools/voltara/base/NumberParse.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace voltara {

std::optional<int> parseInteger(const std::string& text, int lowest, int highest)
{
    if (text.empty())
        return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || errno != 0 || value < lowest || value > highest)
        return std::nullopt;
    return int(value);
}

std::optional<double> parseNumber(const std::string& text, double lowest, double highest)
{
    if (text.empty())
        return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !std::isfinite(value) || value < lowest || value > highest)
        return std::nullopt;
    return value;
}

std::optional<float> parseUnitValue(const std::string& text)
{
    if (text.empty())
        return std::nullopt;
    char* end = nullptr;
    const float value = std::strtof(text.c_str(), &end);
    if (*end != '\0' || !(value >= 0.0f && value <= 1.0f))
        return std::nullopt;
    return value;
}

} // namespace voltara
