#pragma once

#include <cstdint>

// What a block of the compressed stream holds, for the writer and the reader
// alike: three header bits, then for each channel its predictor number, its
// coding type and the coding's parameter as unsigned Rice codes, then the
// residuals frame by frame.
namespace voltara::codec {

// The block header's bits, the first read in the lowest place: a reserved 0,
// then the two flags.
constexpr int32_t blockFlagBits = 3;
constexpr uint32_t differenceFlag = 2; // the second coded channel is right - left
constexpr uint32_t shiftFlag = 4;      // values coded 8 bits narrower (their low bytes are all zero)

// Rice parameters of a channel's header fields.
constexpr int32_t predictorRiceParameter = 5;
constexpr int32_t codingTypeRiceParameter = 3;
constexpr int32_t codingParameterRiceParameter = 4; // the width or the starting Rice parameter

// How a channel codes its residuals in a block.
enum CodingType : uint32_t {
    silentCoding = 0,       // no bits: every value of the block is 0
    riceCoding = 1,         // signed Rice codes with the block's parameter
    adaptiveRiceCoding = 2, // signed Rice codes whose parameter follows the last three magnitudes
    fixedWidthCoding = 3,   // signed fields of the block's width
    codingTypeCount,        // any other type carries no bits: residual 0
};

} // namespace voltara::codec
