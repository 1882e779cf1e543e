#include "tools/artwork/Quantiser.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_map>

namespace voltara {
namespace artwork {
namespace {

constexpr uint32_t white = 0xffffff;
constexpr uint32_t nearWhite = 0xfefefe;
constexpr int32_t kmeansPasses = 6;
// A colour covering this share of the pixels is kept exactly.
constexpr double flatShare = 0.005;
constexpr size_t maxFlatColours = 32;

struct Entry {
    uint32_t colour;
    uint32_t count;
};

double component(uint32_t colour, int channel)
{
    return (colour >> (16 - 8 * channel)) & 0xff;
}

// Green weighs most, blue least, roughly as the eye does.
constexpr double weights[3] = {3.0, 4.0, 2.0};

double distance(const double* a, const double* b)
{
    double sum = 0;
    for (int c = 0; c < 3; ++c)
        sum += weights[c] * (a[c] - b[c]) * (a[c] - b[c]);
    return sum;
}

struct Palette {
    std::vector<std::array<double, 3>> colours;
    int32_t keyIndex = -1; // the see-through white, searched only for white

    int32_t nearest(const double* target) const
    {
        int32_t best = -1;
        double bestDistance = 0;
        for (int32_t i = 0; i < int32_t(colours.size()); ++i) {
            if (i == keyIndex)
                continue;
            const double d = distance(target, colours[i].data());
            if (best < 0 || d < bestDistance) {
                best = i;
                bestDistance = d;
            }
        }
        return best;
    }
};

std::vector<Entry> histogram(const Picture& picture)
{
    std::vector<uint32_t> sorted = picture.pixels;
    std::sort(sorted.begin(), sorted.end());
    std::vector<Entry> entries;
    for (uint32_t colour : sorted) {
        if (!entries.empty() && entries.back().colour == colour)
            ++entries.back().count;
        else
            entries.push_back({colour, 1});
    }
    return entries;
}

// Median cut over entries [begin, end): splits the box with the largest
// weighted spread at the weighted median of its widest channel.
std::vector<std::array<double, 3>> medianCut(std::vector<Entry>& entries, int32_t boxesWanted)
{
    struct BoxRange {
        size_t begin, end;
        double spread;
        int channel;
    };
    auto measure = [&](size_t begin, size_t end) {
        BoxRange box{begin, end, 0.0, 0};
        if (end - begin < 2)
            return box;
        double spreads[3];
        for (int c = 0; c < 3; ++c) {
            double weight = 0, sum = 0, squares = 0;
            for (size_t i = begin; i < end; ++i) {
                const double v = component(entries[i].colour, c);
                weight += entries[i].count;
                sum += v * entries[i].count;
                squares += v * v * entries[i].count;
            }
            spreads[c] = weights[c] * (squares - sum * sum / weight);
        }
        box.channel = int(std::max_element(spreads, spreads + 3) - spreads);
        box.spread = spreads[0] + spreads[1] + spreads[2];
        return box;
    };
    std::vector<BoxRange> boxes;
    if (!entries.empty())
        boxes.push_back(measure(0, entries.size()));
    while (int32_t(boxes.size()) < boxesWanted) {
        auto widest = std::max_element(boxes.begin(), boxes.end(),
                                       [](const BoxRange& a, const BoxRange& b) { return a.spread < b.spread; });
        if (widest == boxes.end() || widest->spread <= 0)
            break;
        const BoxRange box = *widest;
        const int c = box.channel;
        std::sort(entries.begin() + box.begin, entries.begin() + box.end, [c](const Entry& a, const Entry& b) {
            const double va = component(a.colour, c), vb = component(b.colour, c);
            return va != vb ? va < vb : a.colour < b.colour;
        });
        double total = 0;
        for (size_t i = box.begin; i < box.end; ++i)
            total += entries[i].count;
        double running = 0;
        size_t split = box.begin + 1;
        for (size_t i = box.begin; i < box.end - 1; ++i) {
            running += entries[i].count;
            split = i + 1;
            if (running >= total / 2)
                break;
        }
        *widest = measure(box.begin, split);
        boxes.push_back(measure(split, box.end));
    }
    std::vector<std::array<double, 3>> centres;
    for (const BoxRange& box : boxes) {
        std::array<double, 3> sum{};
        double weight = 0;
        for (size_t i = box.begin; i < box.end; ++i) {
            for (int c = 0; c < 3; ++c)
                sum[c] += component(entries[i].colour, c) * entries[i].count;
            weight += entries[i].count;
        }
        for (double& v : sum)
            v /= weight;
        centres.push_back(sum);
    }
    return centres;
}

std::array<double, 3> unpack(uint32_t colour)
{
    return {component(colour, 0), component(colour, 1), component(colour, 2)};
}

uint32_t pack(const std::array<double, 3>& c)
{
    uint32_t out = 0;
    for (int i = 0; i < 3; ++i)
        out = out << 8 | uint32_t(std::clamp(std::lround(c[i]), 0L, 255L));
    return out;
}

} // namespace

IndexedPicture quantise(const Picture& picture, const QuantiserSettings& settings)
{
    std::vector<Entry> entries = histogram(picture);
    const double pixelCount = double(picture.pixels.size());
    auto present = [&](uint32_t colour) {
        return std::binary_search(entries.begin(), entries.end(), Entry{colour, 0},
                                  [](const Entry& a, const Entry& b) { return a.colour < b.colour; });
    };

    // Colours kept exactly, in a fixed order.
    std::vector<uint32_t> exact;
    auto keepExactly = [&](uint32_t colour) {
        if (present(colour) && std::find(exact.begin(), exact.end(), colour) == exact.end())
            exact.push_back(colour);
    };
    if (settings.whiteIsTransparent)
        keepExactly(white);
    for (uint32_t colour : settings.keep)
        keepExactly(colour);
    if (int32_t(entries.size()) <= settings.maxColours) {
        for (const Entry& e : entries)
            keepExactly(e.colour);
    } else {
        std::vector<Entry> byCount = entries;
        std::stable_sort(byCount.begin(), byCount.end(),
                         [](const Entry& a, const Entry& b) { return a.count > b.count; });
        for (size_t i = 0; i < byCount.size() && i < maxFlatColours; ++i) {
            if (byCount[i].count >= flatShare * pixelCount)
                keepExactly(byCount[i].colour);
        }
    }

    Palette palette;
    for (uint32_t colour : exact)
        palette.colours.push_back(unpack(colour));
    if (settings.whiteIsTransparent && !exact.empty() && exact[0] == white)
        palette.keyIndex = 0;
    const size_t fixedCount = palette.colours.size();

    std::vector<Entry> rest;
    for (const Entry& e : entries) {
        if (std::find(exact.begin(), exact.end(), e.colour) == exact.end())
            rest.push_back(e);
    }
    if (!rest.empty()) {
        const int32_t free = settings.maxColours - int32_t(fixedCount);
        std::vector<std::array<double, 3>> centres = medianCut(rest, free);
        palette.colours.insert(palette.colours.end(), centres.begin(), centres.end());
        for (int32_t pass = 0; pass < kmeansPasses; ++pass) {
            std::vector<std::array<double, 4>> sums(palette.colours.size(), {0, 0, 0, 0});
            for (const Entry& e : rest) {
                const std::array<double, 3> c = unpack(e.colour);
                const int32_t i = palette.nearest(c.data());
                for (int k = 0; k < 3; ++k)
                    sums[i][k] += c[k] * e.count;
                sums[i][3] += e.count;
            }
            for (size_t i = fixedCount; i < palette.colours.size(); ++i) {
                if (sums[i][3] > 0) {
                    for (int k = 0; k < 3; ++k)
                        palette.colours[i][k] = sums[i][k] / sums[i][3];
                }
            }
        }
    }

    IndexedPicture out;
    out.width = picture.width;
    out.height = picture.height;
    for (size_t i = 0; i < palette.colours.size(); ++i) {
        uint32_t colour = pack(palette.colours[i]);
        if (int32_t(i) != palette.keyIndex && settings.whiteIsTransparent && colour == white)
            colour = nearWhite;
        out.palette.push_back(colour);
        palette.colours[i] = unpack(colour);
    }

    // Exact colours map to themselves and swallow diffused error, so flat
    // areas stay clean; the rest diffuse (Floyd-Steinberg, serpentine).
    std::unordered_map<uint32_t, uint8_t> exactIndex;
    for (size_t i = 0; i < fixedCount; ++i)
        exactIndex[out.palette[i]] = uint8_t(i);
    out.indices.assign(picture.pixels.size(), 0);
    std::vector<std::array<double, 3>> errorHere(picture.width + 2), errorNext(picture.width + 2);
    for (int32_t y = 0; y < picture.height; ++y) {
        std::fill(errorNext.begin(), errorNext.end(), std::array<double, 3>{0, 0, 0});
        const bool forward = y % 2 == 0;
        for (int32_t n = 0; n < picture.width; ++n) {
            const int32_t x = forward ? n : picture.width - 1 - n;
            const uint32_t source = picture.at(x, y);
            auto found = exactIndex.find(source);
            if (found != exactIndex.end()) {
                out.indices[size_t(y) * picture.width + x] = found->second;
                continue;
            }
            std::array<double, 3> target = unpack(source);
            for (int k = 0; k < 3; ++k)
                target[k] = std::clamp(target[k] + errorHere[x + 1][k], 0.0, 255.0);
            const int32_t index = palette.nearest(target.data());
            out.indices[size_t(y) * picture.width + x] = uint8_t(index);
            const int32_t ahead = forward ? 1 : -1;
            for (int k = 0; k < 3; ++k) {
                const double e = (target[k] - palette.colours[index][k]) * settings.diffusion;
                errorHere[x + 1 + ahead][k] += e * 7 / 16;
                errorNext[x + 1 - ahead][k] += e * 3 / 16;
                errorNext[x + 1][k] += e * 5 / 16;
                errorNext[x + 1 + ahead][k] += e * 1 / 16;
            }
        }
        std::swap(errorHere, errorNext);
    }
    return out;
}

} // namespace artwork
} // namespace voltara
