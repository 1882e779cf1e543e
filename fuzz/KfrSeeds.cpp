// Writes a few small Kestrelwave files as the decode fuzzer's starting corpus:
// mono and stereo, 8, 16 and 24 bits, silence, tones, noise and trailing chunks.
#include "codec/CodecInterface.h"
#include "tools/codechost/CodecFile.h"
#include "tools/codechost/CodecHost.h"

#include <cmath>
#include <cstdio>
#include <random>
#include <string>

using namespace voltara;
using codec::FormatInfo;
using codec::StreamInfo;

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: kfr_seeds DIR\n");
        return 2;
    }
    FormatInfo format = {};
    codechost::registerWith(FIO_InitPlugin, "fuzz seeds", format);
    std::mt19937 random(1);
    int written = 0;
    for (int32_t channels : {1, 2}) {
        for (int32_t bits : {8, 16, 24}) {
            for (int kind = 0; kind < 3; ++kind) {
                const int32_t frames = 300 + 97 * kind;
                const uint8_t header[] = {'R', 'I', 'F', 'F', 0, 0,   0,   0,   'W', 'A', 'V', 'E', 'L', 'I', 'S',
                                          'T', 2,   0,   0,   0, 'a', 'b', 'd', 'a', 't', 'a', 0,   0,   0,   0};
                const uint8_t trailing[] = {'c', 'u', 'e', ' ', 1, 0, 0, 0, 7, 0};
                codechost::MemoryFile file;
                StreamInfo info = {};
                info.channelCount = channels;
                info.sampleRate = kind == 2 ? 96000 : 44100;
                info.bitsPerSample = bits;
                info.header = const_cast<uint8_t*>(header);
                info.headerLength = sizeof header;
                info.trailing = kind == 1 ? const_cast<uint8_t*>(trailing) : nullptr;
                info.trailingLength = kind == 1 ? sizeof trailing : 0;
                std::vector<int32_t> samples;
                for (int32_t i = 0; i < frames * channels; ++i) {
                    const double tone = std::sin(0.05 * i) * std::exp(-0.004 * i) * (1 << 22);
                    const double noise = static_cast<double>(static_cast<int32_t>(random() % 65536) - 32768) * 16;
                    samples.push_back(kind == 0 ? 0
                                                : static_cast<int32_t>(kind == 1 ? tone : tone / 4 + noise) & ~0xFF);
                }
                codechost::encodeStream(format, file, info, samples.data(), frames, frames);
                const std::string name = std::string(argv[1]) + "/seed-" + std::to_string(++written) + ".kfr";
                std::FILE* out = std::fopen(name.c_str(), "wb");
                if (out == nullptr || std::fwrite(file.bytes.data(), 1, file.bytes.size(), out) != file.bytes.size()) {
                    std::perror(name.c_str());
                    return 1;
                }
                std::fclose(out);
            }
        }
    }
    return 0;
}
