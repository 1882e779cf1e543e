#include "plugin/host/NumberText.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace voltara {
namespace NumberText {

namespace {

constexpr int32_t width = 8;
const char* const huge = " Huge!  ";

} // namespace

void integerText(int32_t value, char* text)
{
    if (value >= 100000000) {
        std::strcpy(text, huge);
        return;
    }
    char wide[16];
    std::snprintf(wide, sizeof wide, "%7d", static_cast<int>(value));
    wide[width] = '\0';
    std::strcpy(text, wide);
}

// Integer digits are written from the last one backwards, then as many
// decimals as the eight columns leave. A value whose integer digits fill all
// eight columns (eight digits, or a sign and seven) is shown without the point
// rather than losing its leading digit.
void realText(float value, char* text)
{
    const bool negative = value < 0.0f;
    const double magnitude = std::fabs(static_cast<double>(value));
    if (!(magnitude <= (negative ? 9999999.0 : 99999999.0))) {
        std::strcpy(text, huge);
        return;
    }

    char digits[width];
    int32_t digitCount = 0;
    double integerPart = std::floor(magnitude);
    do {
        digits[digitCount++] = static_cast<char>('0' + static_cast<int>(std::fmod(integerPart, 10.0)));
        integerPart *= 0.1;
    } while (integerPart >= 1.0 && digitCount < width);

    const int32_t used = (negative ? 1 : 0) + digitCount;
    char* out = text;
    if (negative)
        *out++ = '-';
    while (digitCount > 0)
        *out++ = digits[--digitCount];
    if (used < width) {
        *out++ = '.';
        const int32_t decimals = width - 1 - used;
        double fraction = std::pow(10.0, decimals) * std::fmod(magnitude, 1.0);
        for (int32_t i = decimals - 1; i >= 0; --i) {
            out[i] = fraction <= 0.0 ? '0' : static_cast<char>('0' + static_cast<int>(std::fmod(fraction, 10.0)));
            fraction *= 0.1;
        }
        out += decimals;
    }
    *out = '\0';
}

void decibelText(float value, char* text)
{
    if (value > 0.0f)
        realText(static_cast<float>(20.0 * std::log10(static_cast<double>(value))), text);
    else
        std::strcpy(text, "  -oo   ");
}

void hertzText(float samples, float sampleRate, char* text)
{
    realText(samples != 0.0f ? sampleRate / samples : 0.0f, text);
}

void millisecondsText(float samples, float sampleRate, char* text)
{
    realText(samples * 1000.0f / sampleRate, text);
}

} // namespace NumberText
} // namespace voltara
