#pragma once

#include <string>

namespace voltara {

// What an output file is: the container its name's extension says ("-",
// standard output, is WAV) and the encoding of its samples as a libsndfile
// subformat.
struct OutputFormat {
    enum class Writer {
        wave,        // our own WAV writer: 8-, 16-, 24-, 32-bit integers or 32-bit float
        libsndfile,  // AIFF, FLAC, Ogg Vorbis, AU, CAF, W64
        kestrelwave, // through the plug-in's codec: 8-, 16- or 24-bit integers
    };

    Writer writer;
    int container; // libsndfile major format
    int encoding;  // libsndfile subformat

    // bits: "16", "24" or "32f" from --bits, or empty to keep sourceEncoding
    // where the container allows it (else its usual encoding). Throws
    // ToolError for an unknown extension or an encoding the container
    // cannot hold.
    static OutputFormat choose(const std::string& path, const std::string& bits, int sourceEncoding);
    // The extensions choose knows, for messages and help.
    static std::string extensions();

    // Bits of integer samples; 0 for float and compressed encodings.
    int integerBits() const;
};

} // namespace voltara
