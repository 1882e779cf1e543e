#pragma once

#include <cstdint>

// The 56 bytes that open a Kestrelwave file, numbers little-endian, written by
// the encoder and read by readInfo:
//   0 "KFR ", 4 bytes in the rest of this header (48), 8 version 1, 9 version 0,
//   10 bits per sample, 11 channels, 12 sample rate, 16 block length (a 16-bit
//   value, sign-extended to 32 bits), 24 total frames (64 bits), 32 compressed
//   stream length in bytes (64 bits), 40 .. 55 zero.
// The embedded wave header follows at byte 56; the compressed stream follows
// its "data" chunk header, and the wave file's trailing chunks the stream.
namespace voltara::codec {

struct FileHeader {
    static constexpr int32_t size = 56;
    static constexpr char magic[5] = "KFR ";
    static constexpr int32_t versionOffset = 8; // two version bytes
    static constexpr int32_t largestBlockLength = 32767;

    int32_t bitsPerSample = 0; // a signed byte in the file
    int32_t channelCount = 0;  // a signed byte in the file
    int32_t sampleRate = 0;
    int32_t blockLength = 0;
    int64_t totalFrames = 0;
    int64_t streamLength = 0;

    // Whether the format can hold a rate: a positive number of Hz, as its
    // readers use it (the WAVE header's unsigned field holds rates the signed
    // field here cannot).
    static bool holdsRate(int64_t rate) { return rate > 0 && rate <= INT32_MAX; }

    // Writes all 56 bytes.
    void store(uint8_t* bytes) const;
    static FileHeader load(const uint8_t* bytes);
    // Whether the first four bytes of a file are the magic.
    static bool hasMagic(const uint8_t* bytes);
};

// Where the embedded wave header keeps its two size fields: the "RIFF" size
// at its byte 4, the "data" size in its last four bytes.
constexpr int32_t embeddedRiffSizeOffset = 4;
constexpr int32_t embeddedDataSizeFromEnd = 4;

} // namespace voltara::codec
