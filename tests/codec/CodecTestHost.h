#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "codec/CodecInterface.h"

// A host for the codec tests: files are byte vectors, memory is counted, and
// reads or writes can be made to fail.
namespace voltara::codec::test {

struct TestFile {
    std::vector<uint8_t> bytes;
    int64_t failReadsAt = -1; // a read touching this offset or beyond fails
    bool failWrites = false;
    int32_t largestRead = 0;
};

// Registers the test callbacks through FIO_InitPlugin; answers the filled description.
FormatInfo registerTestHost();
// Memory blocks from the test allocator not yet released.
int64_t liveAllocations();
// Releases a block the codec allocated through the test host (null is ignored).
void releaseBlock(void* block);

// A wave header up to and including the "data" chunk header; `extraChunks` are
// whole chunks (id, size, bytes) placed between "fmt " and "data".
std::vector<uint8_t> waveHeader(int32_t channels, int32_t rate, int32_t bits, uint32_t dataBytes,
                                const std::vector<uint8_t>& extraChunks = {});
std::vector<uint8_t> chunk(const char id[4], const std::string& payload);

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
