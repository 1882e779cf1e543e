#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "codec/CodecInterface.h"
#include "tools/codechost/CodecFile.h"
#include "tools/codechost/CodecHost.h"
#include "tools/codechost/WaveBytes.h"

// The codec tests' host: the shared host table over files held in memory,
// whose reads or writes can be made to fail, and a counting heap.
namespace voltara::codec::test {

using TestFile = codechost::MemoryFile;
using codechost::chunk;
using codechost::liveAllocations;
using codechost::waveHeader;

// Registers the host table through FIO_InitPlugin; answers the filled description.
FormatInfo registerTestHost();
// Releases a block the codec allocated through the test host (null is ignored).
inline void releaseBlock(void* block)
{
    codechost::release(block);
}

// File-depth samples as the packed bytes of a wave file (8-bit unsigned).
std::vector<uint8_t> packSamples(const std::vector<int32_t>& samples, int32_t bits);

struct EncodeRequest {
    int32_t channels = 2;
    int32_t rate = 44100;
    int32_t bits = 16;
    std::vector<int32_t> samples; // file depth, interleaved
    std::vector<uint8_t> extraChunks;
    std::vector<uint8_t> trailing;
    int32_t batchFrames = 1000;
};
std::vector<uint8_t> encode(const FormatInfo& format, const EncodeRequest& request);

struct Decoded {
    int32_t readInfoResult = 0;
    StreamInfo info = {};
    std::vector<uint8_t> header, trailing, samples;
    bool complete = false; // every frame of the header came out
};
Decoded decode(const FormatInfo& format, const std::vector<uint8_t>& file, int32_t batchFrames = 777);

// A guitar-like test signal at file depth: decaying partials plus a little noise.
std::vector<int32_t> guitarSignal(int32_t frames, int32_t channels, int32_t bits, uint32_t seed);

} // namespace voltara::codec::test
