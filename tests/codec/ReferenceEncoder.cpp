#include "tests/codec/ReferenceEncoder.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace voltara::codec::test {

void BitSink::bit(uint32_t b)
{
    if (count_ % 8 == 0)
        bytes_.push_back(0);
    bytes_.back() |= static_cast<uint8_t>((b & 1) << (count_ % 8));
    ++count_;
}

void BitSink::field(uint32_t value, int32_t width)
{
    for (int32_t i = 0; i < width; ++i)
        bit(value >> i);
}

void BitSink::rice(uint32_t magnitude, int32_t k)
{
    const uint64_t q = k >= 32 ? 0 : magnitude >> k;
    for (uint64_t i = 0; i < q; ++i)
        bit(0);
    bit(1);
    field(magnitude, k);
}

void BitSink::signedRice(int32_t value, int32_t k)
{
    rice(static_cast<uint32_t>(std::llabs(int64_t{value})), k);
    bit(value < 0 ? 1 : 0);
}

void BitSink::align()
{
    while (count_ % 8 != 0)
        bit(0);
}

namespace {

int32_t parameterFor(double truncatedMean, double mean)
{
    for (int32_t i = 1; i <= 29; ++i) {
        if (truncatedMean < std::pow(2.0, i + 1))
            return i;
    }
    const int32_t k = static_cast<int32_t>(std::log(mean * 0.6931471805599453) * 1.4426952 + 0.5);
    return k > 0 ? k : 1;
}

struct Window {
    double places[3] = {0, 0, 0};
    int position = 0, count = 0;
    double sum = 0;

    int32_t next(double magnitude)
    {
        sum += magnitude - places[position];
        places[position] = magnitude;
        position = (position + 1) % 3;
        if (count < 3)
            ++count;
        const double m = std::trunc(sum / count);
        return parameterFor(m, m);
    }
};

int32_t wrap(int64_t v)
{
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v)));
}

struct Channel {
    int32_t prev[4] = {0, 0, 0, 0}; // prev1 .. prev4
    int32_t e[15] = {};
};

// Prediction of predictor p including its error term.
int32_t predict(int p, const Channel& ch)
{
    const int64_t p1 = ch.prev[0], p2 = ch.prev[1], p3 = ch.prev[2], p4 = ch.prev[3];
    const int64_t d = wrap(2 * p1 - p2), t = wrap(3 * (p1 - p2) + p3), e = ch.e[p];
    switch (p) {
    case 1: return wrap(p1);
    case 2: return wrap(e + p1);
    case 3: return wrap(d);
    case 4: return wrap(e + d);
    case 5: return wrap(t);
    case 6: return wrap(e + t);
    case 7: return wrap(wrap(d + t) / 2 + e);
    case 8: return wrap(d + t) / 2;
    case 9: return wrap(wrap(t + 2 * d) / 3 + e);
    case 10: return wrap(wrap(d + 2 * t) / 3 + e);
    case 11: return wrap(p2 + p1) / 2;
    case 12: return wrap(p2);
    case 13: return wrap(p4 + p2) / 2;
    case 14: return wrap(wrap(d + p1) / 2 + e);
    default: return 0;
    }
}

bool hasE(int p)
{
    return p == 2 || p == 4 || p == 6 || p == 7 || p == 9 || p == 10 || p == 14;
}

} // namespace

std::vector<uint8_t> referenceStream(int32_t channels, int32_t bits, int32_t rate, const std::vector<int32_t>& samples)
{
    int64_t blockLength = static_cast<int64_t>(rate * 0.005804988662131519);
    if (blockLength % 32)
        blockLength += 32 - blockLength % 32;
    if (blockLength < 32)
        blockLength = 32;
    (void)bits;
    const int analysisCount = channels == 2 ? 3 : 1;
    Channel state[3];
    BitSink sink;
    const int64_t frames = static_cast<int64_t>(samples.size()) / channels;

    for (int64_t start = 0; start < frames; start += blockLength) {
        const int64_t n = std::min<int64_t>(blockLength, frames - start);
        std::vector<int32_t> raw[3];
        bool shift = true;
        for (int64_t i = 0; i < n; ++i) {
            const int32_t l = samples[(start + i) * channels];
            raw[0].push_back(l);
            if (channels == 2) {
                const int32_t r = samples[(start + i) * channels + 1];
                raw[1].push_back(r);
                raw[2].push_back(wrap(int64_t{r} - l));
            }
        }
        for (int a = 0; a < analysisCount; ++a)
            for (int32_t v : raw[a])
                if ((v & 0xFF) != 0)
                    shift = false;

        std::vector<int32_t> residuals[3][15];
        uint32_t cost[3][15] = {};
        bool nonZero[3] = {false, false, false};
        int chosen[3] = {0, 0, 0};
        for (int a = 0; a < analysisCount; ++a) {
            Channel& ch = state[a];
            for (int p = 0; p < 15; ++p)
                ch.e[p] = 0;
            for (int64_t i = 0; i < n; ++i) {
                const int32_t v = shift ? raw[a][i] >> 8 : raw[a][i];
                if (v != 0)
                    nonZero[a] = true;
                for (int p = 0; p < 15; ++p) {
                    const int32_t r = wrap(int64_t{v} - predict(p, ch));
                    if (hasE(p))
                        ch.e[p] = r / 2;
                    residuals[a][p].push_back(r);
                    cost[a][p] += static_cast<uint32_t>(std::llabs(int64_t{r}));
                }
                ch.prev[3] = ch.prev[2];
                ch.prev[2] = ch.prev[1];
                ch.prev[1] = ch.prev[0];
                ch.prev[0] = v;
            }
            if (nonZero[a]) {
                for (int p = 1; p < 15; ++p)
                    if (cost[a][p] < cost[a][chosen[a]])
                        chosen[a] = p;
            }
        }
        const auto costOf = [&](int a) { return nonZero[a] ? cost[a][chosen[a]] : 0u; };
        int coded[2] = {0, 1};
        bool difference = false;
        if (channels == 2) {
            difference = !nonZero[2] || costOf(2) < costOf(1);
            coded[1] = difference ? 2 : 1;
        }
        int type[2] = {0, 0}, parameter[2] = {0, 0};
        std::vector<int32_t> adaptive[2];
        for (int c = 0; c < channels; ++c) {
            const int a = coded[c];
            if (!nonZero[a])
                continue;
            const std::vector<int32_t>& r = residuals[a][chosen[a]];
            const double mean = static_cast<double>(cost[a][chosen[a]]) / static_cast<double>(n);
            const int32_t k0 = parameterFor(std::trunc(mean), mean);
            double fixedRice = 0, adaptiveCost = 0;
            int32_t largest = 0;
            Window window;
            int32_t k = k0;
            for (int32_t value : r) {
                const uint32_t m = static_cast<uint32_t>(std::llabs(int64_t{value}));
                fixedRice += (m >> k0) + k0 + 2;
                adaptiveCost += (m >> k) + k + 2;
                adaptive[c].push_back(k);
                k = window.next(m);
                int32_t length = 0;
                while (length < 32 && (m >> length) != 0)
                    ++length;
                if (length > largest)
                    largest = length;
            }
            const double fixedWidth = static_cast<double>(n) * (largest + 1);
            if (adaptiveCost < fixedRice && adaptiveCost < fixedWidth) {
                type[c] = 2;
                parameter[c] = k0;
            } else if (fixedWidth < fixedRice) {
                type[c] = 3;
                parameter[c] = largest + 1;
            } else {
                type[c] = 1;
                parameter[c] = k0;
            }
        }
        sink.align();
        sink.bit(0);
        sink.bit(difference ? 1 : 0);
        sink.bit(shift ? 1 : 0);
        for (int c = 0; c < channels; ++c) {
            sink.rice(static_cast<uint32_t>(nonZero[coded[c]] ? chosen[coded[c]] : 0), 5);
            sink.rice(static_cast<uint32_t>(type[c]), 3);
            if (type[c] != 0)
                sink.rice(static_cast<uint32_t>(parameter[c]), 4);
        }
        for (int64_t i = 0; i < n; ++i) {
            for (int c = 0; c < channels; ++c) {
                const int a = coded[c];
                if (type[c] == 0)
                    continue;
                const int32_t r = residuals[a][chosen[a]][i];
                if (type[c] == 1)
                    sink.signedRice(r, parameter[c]);
                else if (type[c] == 2)
                    sink.signedRice(r, adaptive[c][i]);
                else
                    sink.field(static_cast<uint32_t>(r), parameter[c]);
            }
        }
    }
    sink.align();
    return sink.bytes();
}

} // namespace voltara::codec::test
