#pragma once

#include <optional>
#include <string>

namespace voltara {

// Whole-text number parsing for command-line options and bank sources: empty
// text, trailing characters and out-of-range values give no result.
std::optional<int> parseInteger(const std::string& text, int lowest, int highest);
std::optional<double> parseNumber(const std::string& text, double lowest, double highest);
// A parameter value, 0 to 1.
std::optional<float> parseUnitValue(const std::string& text);

} // namespace voltara
