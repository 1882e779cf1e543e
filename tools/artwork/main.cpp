// voltara_artwork: draws the editor's bitmaps and previews them.
//
//   voltara_artwork generate OUTDIR            writes OUTDIR/<id>.bmp
//   voltara_artwork preview BITMAPDIR OUT.png [--zoom N] [--splash] [--resting]
//   voltara_artwork sheet BITMAPDIR OUT.png [--zoom N] [--only ID]

#include "tools/artwork/Artwork.h"
#include "tools/artwork/Preview.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

using namespace voltara;

namespace {

int usage()
{
    std::fprintf(stderr, "usage: voltara_artwork generate OUTDIR\n"
                         "       voltara_artwork preview BITMAPDIR OUT.png [--zoom N] [--splash] [--resting]\n"
                         "       voltara_artwork sheet BITMAPDIR OUT.png [--zoom N] [--only ID]\n");
    return 2;
}

int generate(const std::string& dir)
{
    for (const artwork::GeneratedBitmap& bitmap : artwork::generateArtwork()) {
        const std::string path = dir + "/" + std::to_string(bitmap.id) + ".bmp";
        const std::vector<uint8_t> bytes = encodeDib(bitmap.image);
        if (!writeFileBytes(path, bytes)) {
            std::fprintf(stderr, "voltara_artwork: cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s  %d x %d, %d bits", path.c_str(), bitmap.image.width, bitmap.image.height,
                    bitmap.image.bitsPerPixel);
        if (bitmap.image.bitsPerPixel == 8)
            std::printf(", %zu colours%s", bitmap.image.palette.size(), bitmap.image.runLengthCoded ? ", RLE8" : "");
        std::printf(", %zu bytes\n", bytes.size());
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return usage();
    const std::string command = argv[1];
    try {
        if (command == "generate" && argc == 3)
            return generate(argv[2]);
        if ((command == "preview" || command == "sheet") && argc >= 4) {
            artwork::PreviewOptions options;
            int32_t only = 0;
            for (int i = 4; i < argc; ++i) {
                if (std::strcmp(argv[i], "--zoom") == 0 && i + 1 < argc)
                    options.zoom = std::atoi(argv[++i]);
                else if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc && command == "sheet")
                    only = std::atoi(argv[++i]);
                else if (std::strcmp(argv[i], "--splash") == 0 && command == "preview")
                    options.splash = true;
                else if (std::strcmp(argv[i], "--resting") == 0 && command == "preview")
                    options.resting = true;
                else
                    return usage();
            }
            if (options.zoom < 1 || options.zoom > 8)
                return usage();
            std::string error;
            const bool ok = command == "preview"
                                ? artwork::writePreview(argv[2], argv[3], options, error)
                                : artwork::writeStripSheet(argv[2], argv[3], options.zoom, only, error);
            if (!ok) {
                std::fprintf(stderr, "voltara_artwork: %s\n", error.c_str());
                return 1;
            }
            return 0;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "voltara_artwork: %s\n", e.what());
        return 1;
    }
    return usage();
}
