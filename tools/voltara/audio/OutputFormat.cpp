#include "tools/voltara/audio/OutputFormat.h"

#include "tools/voltara/base/ToolError.h"

#include <algorithm>
#include <cctype>
#include <sndfile.h>

namespace voltara {
namespace {

using Writer = OutputFormat::Writer;

struct Container {
    const char* extension;
    Writer writer;
    int major;
    int usualEncoding; // when the source's encoding does not fit
};

const Container containers[] = {
    {"wav", Writer::wave, SF_FORMAT_WAV, SF_FORMAT_FLOAT},
    {"aif", Writer::libsndfile, SF_FORMAT_AIFF, SF_FORMAT_FLOAT},
    {"aiff", Writer::libsndfile, SF_FORMAT_AIFF, SF_FORMAT_FLOAT},
    {"aifc", Writer::libsndfile, SF_FORMAT_AIFF, SF_FORMAT_FLOAT},
    {"flac", Writer::libsndfile, SF_FORMAT_FLAC, SF_FORMAT_PCM_24},
    {"ogg", Writer::libsndfile, SF_FORMAT_OGG, SF_FORMAT_VORBIS},
    {"au", Writer::libsndfile, SF_FORMAT_AU, SF_FORMAT_FLOAT},
    {"caf", Writer::libsndfile, SF_FORMAT_CAF, SF_FORMAT_FLOAT},
    {"w64", Writer::libsndfile, SF_FORMAT_W64, SF_FORMAT_FLOAT},
    {"kfr", Writer::kestrelwave, SF_FORMAT_WAV, SF_FORMAT_PCM_24},
};

struct BitsChoice {
    const char* text;
    int encoding;
    const char* samples; // for messages
};

const BitsChoice bitsChoices[] = {{"16", SF_FORMAT_PCM_16, "16-bit samples"},
                                  {"24", SF_FORMAT_PCM_24, "24-bit samples"},
                                  {"32f", SF_FORMAT_FLOAT, "32-bit float samples"}};

bool holds(const Container& container, int encoding)
{
    switch (container.writer) {
    case Writer::wave:
        return encoding == SF_FORMAT_PCM_U8 || encoding == SF_FORMAT_PCM_16 || encoding == SF_FORMAT_PCM_24
               || encoding == SF_FORMAT_PCM_32 || encoding == SF_FORMAT_FLOAT;
    case Writer::kestrelwave:
        return encoding == SF_FORMAT_PCM_U8 || encoding == SF_FORMAT_PCM_16 || encoding == SF_FORMAT_PCM_24;
    case Writer::libsndfile: break;
    }
    SF_INFO info{};
    info.format = container.major | encoding;
    info.channels = 2;
    info.samplerate = 44100;
    return sf_format_check(&info) != 0;
}

std::string extensionOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    const auto dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return "";
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return extension;
}

} // namespace

std::string OutputFormat::extensions()
{
    std::string list;
    for (const Container& container : containers)
        list += (list.empty() ? "." : " .") + std::string(container.extension);
    return list;
}

OutputFormat OutputFormat::choose(const std::string& path, const std::string& bits, int sourceEncoding)
{
    const std::string extension = path == "-" ? "wav" : extensionOf(path);
    const auto container = std::find_if(std::begin(containers), std::end(containers),
                                        [&](const Container& c) { return extension == c.extension; });
    if (container == std::end(containers))
        throw ToolError("cannot write " + path + ": "
                        + (extension.empty() ? "its name has no extension" : "unknown extension ." + extension)
                        + " (the output's extension chooses its format: " + extensions() + ")");
    if (bits.empty()) {
        const int encoding = holds(*container, sourceEncoding) ? sourceEncoding : container->usualEncoding;
        return {container->writer, container->major, encoding};
    }
    const auto choice = std::find_if(std::begin(bitsChoices), std::end(bitsChoices),
                                     [&](const BitsChoice& c) { return bits == c.text; });
    if (choice == std::end(bitsChoices))
        throw ToolError("--bits must be 16, 24 or 32f, not \"" + bits + "\"");
    if (!holds(*container, choice->encoding))
        throw ToolError("cannot write " + path + ": ." + extension + " files cannot hold "
                        + (container->usualEncoding == SF_FORMAT_VORBIS ? "a chosen sample size (leave out --bits)"
                                                                        : std::string(choice->samples)));
    return {container->writer, container->major, choice->encoding};
}

int OutputFormat::integerBits() const
{
    switch (encoding) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8: return 8;
    case SF_FORMAT_PCM_16: return 16;
    case SF_FORMAT_PCM_24: return 24;
    case SF_FORMAT_PCM_32: return 32;
    default: return 0;
    }
}

} // namespace voltara
