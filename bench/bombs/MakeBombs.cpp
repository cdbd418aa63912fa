// pixmora-make-bombs OUTDIR [--no-photo]
//
// Writes the files of the bomb table into OUTDIR (which must exist) and
// prints one line per file: name, declared width x height, what it is.
// Unless --no-photo is given it also writes a real 200-megapixel photo-like
// JPEG, which must still load.

#include "tests/codecs/BombFixtures.h"

#include <tiffio.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace
{

std::string g_outDir;

void Write(const char* name, const std::string& bytes, std::uint32_t width, std::uint32_t height,
           const char* what)
{
    const std::string path = g_outDir + "/" + name;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size())
    {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    std::fclose(file);
    std::printf("%s\t%ux%u\t%s\n", name, width, height, what);
    std::fflush(stdout);
}

// 80 x 8 pixels of real data under a header that claims another size.
std::string SmallJpegClaiming(std::uint16_t width, std::uint16_t height)
{
    JpegPicture picture;
    picture.width = 80;
    picture.height = 8;
    return WithJpegFrameSize(EncodeJpeg(picture), width, height);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || (argc == 3 && std::strcmp(argv[2], "--no-photo") != 0) || argc > 3)
    {
        std::fprintf(stderr, "usage: pixmora-make-bombs OUTDIR [--no-photo]\n");
        return 2;
    }
    g_outDir = argv[1];
    const bool photo = argc == 2;

    JpegPicture small;
    Write("baseline-16x16.jpg", EncodeJpeg(small), small.width, small.height,
          "a small real JPEG: the driver's own start-up and memory");
    Write("jpeg-65500x65500.jpg", SmallJpegClaiming(65500, 65500), 65500, 65500,
          "JPEG header over a gigapixel");
    Write("jpeg-20000x20000-tiny.jpg", SmallJpegClaiming(20000, 20000), 20000, 20000,
          "400 MP JPEG header, data of 80x8 pixels");

    JpegPicture scans;
    scans.width = scans.height = 4096;
    scans.sample = UniformSample;
    scans.progressive = true;
    Write("jpeg-4096x4096-1001-scans.jpg", WithJpegScanCount(EncodeJpeg(scans), 1001), 4096, 4096,
          "progressive JPEG, last scan repeated to 1001 scans");
    Write("jpeg-4096x4096-progressive.jpg", EncodeJpeg(scans), 4096, 4096,
          "real progressive JPEG, standard script");

    const std::string strip(100, '\x55');
    Write("tiff-65535x65535.tif", TiffDeclaring(65535, 65535, COMPRESSION_NONE, strip), 65535,
          65535, "TIFF header over a gigapixel");
    Write("tiff-20000x20000-deflate-tiny.tif",
          TiffDeclaring(20000, 20000, COMPRESSION_ADOBE_DEFLATE, strip), 20000, 20000,
          "400 MP deflate TIFF, one 100-byte strip");
    Write("tiff-20000x20000-none-tiny.tif", TiffDeclaring(20000, 20000, COMPRESSION_NONE, strip),
          20000, 20000, "400 MP uncompressed TIFF, one 100-byte strip");
    Write("tiff-1x900000000-strips.tif", TiffDeclaring(1, 900000000, COMPRESSION_NONE, strip, 1), 1,
          900000000, "one row per strip: 900 million strips declared, one listed");
    Write("tiff-4x31233-23297-samples.tif",
          TiffDeclaring(4, 31233, COMPRESSION_ZSTD, strip, 0, 23297), 4, 31233,
          "ZSTD, 23297 samples a pixel: a 2.9 GB strip");

    if (photo)
    {
        JpegPicture real;
        real.width = 16384;
        real.height = 12288;
        real.sample = PhotoLikeSample;
        real.quality = 85;
        Write("photo-16384x12288.jpg", EncodeJpeg(real), real.width, real.height,
              "real 200 MP photo-like JPEG");
    }
    return 0;
}
