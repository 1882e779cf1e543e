#pragma once

#include "codec/CodecInterface.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The host side of the codec's file-format interface, as every host of ours
// gives it: one callback table whose file handles are CodecFile objects and
// whose memory comes from a counting heap. The command-line host, the tests,
// the fuzz targets and the benchmarks all register this table; only the
// files behind the handles differ.
namespace voltara::codechost {

class CodecFile;

// The callback table; hostName is shown to nobody but kept for the host's record.
codec::HostIoCallbacks callbacks(const char* hostName);

// The codec's FIO_InitPlugin, linked in or found in the plug-in library.
using InitEntry = int32_t (*)(int32_t formatIndex, const codec::HostIoCallbacks* callbacks, codec::FormatInfo* format);

// Registers the table through init; false when the codec refuses it.
bool registerWith(InitEntry init, const char* hostName, codec::FormatInfo& format);

// What openWrite takes for a wave file with this embedded header and these
// trailing chunks (none when empty); both must outlive its use.
codec::StreamInfo writeInfo(int32_t channels, int32_t rate, int32_t bits, std::vector<uint8_t>& header,
                            std::vector<uint8_t>& trailing);

// Encodes frames of samples (the codec's 24-bit scale, interleaved as info's
// channels) into file through the format's entries, batchFrames at a time,
// then ends and closes the stream. False when the codec refuses the stream, a
// step fails, a call takes fewer frames than given, or the end of the stream
// is not the end of the file.
bool encodeStream(const codec::FormatInfo& format, CodecFile& file, codec::StreamInfo& info, const int32_t* samples,
                  int64_t frames, int32_t batchFrames);

// Blocks the codec has allocated through the table and not released.
int64_t liveAllocations();
// A request for more bytes than this aborts the process: a malformed file
// must never make the codec allocate without bound. No limit at first.
void setAllocationLimit(size_t bytes);
// Gives back a block the codec allocated through the table (null is ignored),
// such as the header and trailing blocks readInfo hands out.
void release(void* block);

} // namespace voltara::codechost
