#include "tools/codechost/WaveBytes.h"

#include "common/ByteOrder.h"

namespace voltara::codechost {

std::vector<uint8_t> chunk(const char id[4], const std::string& payload)
{
    std::vector<uint8_t> out(id, id + 4);
    appendLittleEndian(out, static_cast<uint32_t>(payload.size()), 4);
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

std::vector<uint8_t> waveHeader(int32_t channels, int32_t rate, int32_t bits, uint32_t dataBytes,
                                const std::vector<uint8_t>& extraChunks)
{
    std::vector<uint8_t> out = {'R', 'I', 'F', 'F'};
    appendLittleEndian(out, 4 + 24 + static_cast<uint32_t>(extraChunks.size()) + 8 + dataBytes + (dataBytes & 1), 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    appendLittleEndian(out, 16, 4);
    appendLittleEndian(out, 1, 2);
    appendLittleEndian(out, static_cast<uint32_t>(channels), 2);
    appendLittleEndian(out, static_cast<uint32_t>(rate), 4);
    const int32_t frameBytes = channels * ((bits + 7) / 8);
    appendLittleEndian(out, static_cast<uint32_t>(rate * frameBytes), 4);
    appendLittleEndian(out, static_cast<uint32_t>(frameBytes), 2);
    appendLittleEndian(out, static_cast<uint32_t>(bits), 2);
    out.insert(out.end(), extraChunks.begin(), extraChunks.end());
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    appendLittleEndian(out, dataBytes, 4);
    return out;
}

std::vector<uint8_t> floatWaveHeader(int32_t channels, int32_t rate, uint32_t frames)
{
    const uint32_t frameBytes = 4 * static_cast<uint32_t>(channels);
    const uint32_t dataBytes = frames * frameBytes;
    std::vector<uint8_t> out = {'R', 'I', 'F', 'F'};
    appendLittleEndian(out, 4 + (8 + 18) + (8 + 4) + 8 + dataBytes, 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    appendLittleEndian(out, 18, 4);
    appendLittleEndian(out, 3, 2); // IEEE float
    appendLittleEndian(out, static_cast<uint32_t>(channels), 2);
    appendLittleEndian(out, static_cast<uint32_t>(rate), 4);
    appendLittleEndian(out, static_cast<uint32_t>(rate) * frameBytes, 4);
    appendLittleEndian(out, frameBytes, 2);
    appendLittleEndian(out, 32, 2);
    appendLittleEndian(out, 0, 2); // no format extension
    out.insert(out.end(), {'f', 'a', 'c', 't'});
    appendLittleEndian(out, 4, 4);
    appendLittleEndian(out, frames, 4);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    appendLittleEndian(out, dataBytes, 4);
    return out;
}

void toCodecSamples(const uint8_t* packed, size_t count, int32_t bits, int32_t* samples)
{
    switch (bits) {
    case 8:
        for (size_t i = 0; i < count; ++i)
            samples[i] = (int32_t{packed[i]} - 128) * 65536;
        break;
    case 16:
        for (size_t i = 0; i < count; ++i)
            samples[i] = static_cast<int16_t>(littleEndian16(packed + 2 * i)) * 256;
        break;
    default:
        for (size_t i = 0; i < count; ++i) {
            const uint8_t* p = packed + 3 * i;
            samples[i] = static_cast<int32_t>(uint32_t{p[0]} << 8 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 24) >> 8;
        }
    }
}

} // namespace voltara::codechost
