// Writes the fuzz targets' starting corpora: small JPEG and TIFF files made
// directly with libjpeg and libtiff, covering the layouts the handlers must
// survive, plus ICC marker lists for the reassembly target.
//
//   pixmora_fuzz_seeds OUTDIR    (creates OUTDIR/jpeg, OUTDIR/tiff, OUTDIR/icc)

#include "fuzz/IccRecords.h"
#include "tests/support/EncodeJpegToMemory.h"

#include <jpeglib.h>
#include <tiffio.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace
{

constexpr int kWidth = 24;
constexpr int kHeight = 16;

std::string g_outDir;

void WriteFile(const std::string& path, const std::string& bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size())
    {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    std::fclose(file);
}

/// A smooth picture with some edges, so every coder has real work.
unsigned char Sample(int x, int y, int channel)
{
    return static_cast<unsigned char>((x * 11 + y * 7 + channel * 80 + ((x / 4 + y / 4) % 2) * 60) &
                                      0xFF);
}

std::string ProfileBytes(std::size_t length)
{
    std::string profile(length, '\0');
    for (std::size_t i = 0; i < length; ++i)
        profile[i] = static_cast<char>(i * 37 + 11);
    return profile;
}

struct JpegOptions
{
    J_COLOR_SPACE input = JCS_RGB;
    J_COLOR_SPACE stored = JCS_UNKNOWN; // UNKNOWN: the library's default for the input
    bool progressive = false;
    bool arithmetic = false;
    bool optimize = false;
    bool fullChroma = false;
    unsigned restartInterval = 0;
    int quality = 75;
    std::vector<std::string> app2; // written in this order after the JFIF marker
    bool withExifAndComment = false;
};

std::string MakeJpeg(const JpegOptions& options)
{
    JpegEncoding encoding;
    encoding.width = kWidth;
    encoding.height = kHeight;
    encoding.inputSpace = options.input;
    encoding.storedSpace = options.stored;
    encoding.sample = [](std::uint32_t x, std::uint32_t y, int channel)
    { return Sample(static_cast<int>(x), static_cast<int>(y), channel); };
    encoding.quality = options.quality;
    encoding.progressive = options.progressive;
    encoding.arithmetic = options.arithmetic;
    encoding.optimize = options.optimize;
    encoding.fullChroma = options.fullChroma;
    encoding.restartInterval = options.restartInterval;
    if (options.withExifAndComment)
    {
        const char exif[] = "Exif\0\0MM\0\x2a\0\0\0\x08\0\0";
        encoding.markers.push_back({JPEG_APP0 + 1, std::string(exif, sizeof exif - 1)});
        encoding.markers.push_back({JPEG_COM, "seed"});
    }
    for (const std::string& marker : options.app2)
        encoding.markers.push_back({JPEG_APP0 + 2, marker});
    return EncodeJpegToMemory(encoding);
}

std::vector<std::string> IccMarkers(const std::string& profile, std::size_t pieceSize,
                                    const std::vector<int>& order)
{
    std::vector<IccRecord> pieces;
    const std::size_t count = (profile.size() + pieceSize - 1) / pieceSize;
    for (std::size_t i = 0; i < count; ++i)
    {
        IccRecord record;
        record.sequence = static_cast<std::uint8_t>(i + 1);
        record.count = static_cast<std::uint8_t>(count);
        record.piece = profile.substr(i * pieceSize, pieceSize);
        pieces.push_back(record);
    }
    std::vector<std::string> markers;
    for (int index : order)
        markers.push_back(IccMarkerData(pieces[std::size_t(index)]));
    return markers;
}

void WriteJpegSeeds()
{
    const std::string dir = g_outDir + "/jpeg/";
    struct Seed
    {
        const char* name;
        JpegOptions options;
    };
    std::vector<Seed> seeds;
    seeds.push_back({"baseline.jpg", {}});
    {
        JpegOptions o;
        o.progressive = true;
        seeds.push_back({"progressive.jpg", o});
    }
    {
        JpegOptions o;
        o.progressive = true;
        o.arithmetic = true;
        seeds.push_back({"progressive_arithmetic.jpg", o});
    }
    {
        JpegOptions o;
        o.arithmetic = true;
        seeds.push_back({"arithmetic.jpg", o});
    }
    {
        JpegOptions o;
        o.input = JCS_GRAYSCALE;
        o.app2 = IccMarkers(ProfileBytes(300), 300, {0});
        seeds.push_back({"gray_icc.jpg", o});
    }
    {
        JpegOptions o;
        o.input = JCS_CMYK;
        o.app2 = IccMarkers(ProfileBytes(200), 200, {0});
        seeds.push_back({"cmyk_adobe.jpg", o});
    }
    {
        JpegOptions o;
        o.input = JCS_CMYK;
        o.stored = JCS_YCCK;
        seeds.push_back({"ycck_adobe.jpg", o});
    }
    {
        JpegOptions o;
        o.input = JCS_RGB;
        o.stored = JCS_RGB;
        seeds.push_back({"stored_rgb.jpg", o});
    }
    {
        JpegOptions o;
        o.app2 = IccMarkers(ProfileBytes(900), 300, {1, 2, 0});
        seeds.push_back({"icc_three_markers_231.jpg", o});
    }
    {
        JpegOptions o;
        o.app2 = IccMarkers(ProfileBytes(600), 300, {0, 0, 1});
        seeds.push_back({"icc_duplicate.jpg", o});
    }
    {
        JpegOptions o;
        o.restartInterval = 1;
        o.optimize = true;
        o.fullChroma = true;
        o.withExifAndComment = true;
        o.quality = 100;
        seeds.push_back({"restart_optimized_444.jpg", o});
    }
    for (const Seed& seed : seeds)
        WriteFile(dir + seed.name, MakeJpeg(seed.options));
    const std::string baseline = MakeJpeg({});
    WriteFile(dir + "truncated.jpg", baseline.substr(0, baseline.size() / 2));
}

struct TiffCloser
{
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

struct TiffPage
{
    int width = kWidth;
    int height = kHeight;
    int samples = 3;
    int bits = 8;
    int photometric = PHOTOMETRIC_RGB;
    int compression = COMPRESSION_NONE;
    int planar = PLANARCONFIG_CONTIG;
    int rowsPerStrip = 4;
    int tileSize = 0; // 0: strips
    int sampleFormat = SAMPLEFORMAT_UINT;
    int predictor = 0;
    bool unassociatedAlpha = false;
    std::string icc;
};

/// Raw sample bytes of one row (or one plane's row), native byte order.
std::vector<unsigned char> TiffRow(const TiffPage& page, int y, int plane, int samplesInRow)
{
    const std::size_t bitsPerRow = std::size_t(page.width) * samplesInRow * page.bits;
    std::vector<unsigned char> row((bitsPerRow + 7) / 8, 0);
    for (int x = 0; x < page.width; ++x)
        for (int s = 0; s < samplesInRow; ++s)
        {
            const unsigned char value = Sample(x, y, plane + s);
            const std::size_t index = std::size_t(x) * samplesInRow + s;
            if (page.bits == 8)
                row[index] = value;
            else if (page.bits == 16)
            {
                const std::uint16_t wide = std::uint16_t(value * 257);
                std::memcpy(&row[index * 2], &wide, 2);
            }
            else if (page.bits == 32)
            {
                const float real = value / 255.0f;
                std::memcpy(&row[index * 4], &real, 4);
            }
            else if (page.bits == 4)
                row[index / 2] |= (value >> 4) << (index % 2 ? 0 : 4);
            else if (page.bits == 1 && value > 127)
                row[index / 8] |= 0x80 >> (index % 8);
        }
    return row;
}

void WriteTiffPage(TIFF* tiff, const TiffPage& page)
{
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, page.width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, page.height);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, page.samples);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, page.bits);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, page.photometric);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, page.compression);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, page.planar);
    TIFFSetField(tiff, TIFFTAG_SAMPLEFORMAT, page.sampleFormat);
    TIFFSetField(tiff, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    if (page.predictor != 0)
        TIFFSetField(tiff, TIFFTAG_PREDICTOR, page.predictor);
    if (page.unassociatedAlpha)
    {
        const std::uint16_t kinds[1] = {EXTRASAMPLE_UNASSALPHA};
        TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, kinds);
    }
    if (page.photometric == PHOTOMETRIC_PALETTE)
    {
        const int entries = 1 << page.bits;
        std::vector<std::uint16_t> red(entries), green(entries), blue(entries);
        for (int i = 0; i < entries; ++i)
        {
            red[i] = std::uint16_t(i * 65535 / (entries - 1));
            green[i] = std::uint16_t(65535 - red[i]);
            blue[i] = std::uint16_t((i * 7919) & 0xFFFF);
        }
        TIFFSetField(tiff, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
    }
    if (page.compression == COMPRESSION_JPEG)
        TIFFSetField(tiff, TIFFTAG_JPEGQUALITY, 75);
    if (!page.icc.empty())
        TIFFSetField(tiff, TIFFTAG_ICCPROFILE, std::uint32_t(page.icc.size()), page.icc.data());

    const int planes = page.planar == PLANARCONFIG_SEPARATE ? page.samples : 1;
    const int samplesInRow = page.planar == PLANARCONFIG_SEPARATE ? 1 : page.samples;
    if (page.tileSize > 0)
    {
        TIFFSetField(tiff, TIFFTAG_TILEWIDTH, page.tileSize);
        TIFFSetField(tiff, TIFFTAG_TILELENGTH, page.tileSize);
        const std::size_t pixelBytes = std::size_t(samplesInRow) * page.bits / 8;
        std::vector<unsigned char> tile(TIFFTileSize(tiff), 0);
        for (int plane = 0; plane < planes; ++plane)
            for (int ty = 0; ty < page.height; ty += page.tileSize)
                for (int tx = 0; tx < page.width; tx += page.tileSize)
                {
                    std::fill(tile.begin(), tile.end(), 0);
                    for (int y = 0; y < page.tileSize && ty + y < page.height; ++y)
                    {
                        const auto row = TiffRow(page, ty + y, plane, samplesInRow);
                        for (int x = 0; x < page.tileSize && tx + x < page.width; ++x)
                            std::memcpy(&tile[(std::size_t(y) * page.tileSize + x) * pixelBytes],
                                        &row[std::size_t(tx + x) * pixelBytes], pixelBytes);
                    }
                    TIFFWriteTile(tiff, tile.data(), tx, ty, 0, std::uint16_t(plane));
                }
    }
    else
    {
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, page.rowsPerStrip);
        for (int plane = 0; plane < planes; ++plane)
            for (int y = 0; y < page.height; ++y)
            {
                auto row = TiffRow(page, y, plane, samplesInRow);
                TIFFWriteScanline(tiff, row.data(), std::uint32_t(y), std::uint16_t(plane));
            }
    }
    TIFFWriteDirectory(tiff);
}

void WriteTiff(const std::string& name, const char* mode, const std::vector<TiffPage>& pages)
{
    const std::string path = g_outDir + "/tiff/" + name;
    TiffHandle tiff(TIFFOpen(path.c_str(), mode));
    if (!tiff)
    {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    for (const TiffPage& page : pages)
        WriteTiffPage(tiff.get(), page);
}

void WriteTiffSeeds()
{
    const TiffPage rgb;
    WriteTiff("strips_rgb.tif", "w", {rgb});
    WriteTiff("strips_rgb_bigendian.tif", "wb", {rgb});
    WriteTiff("bigtiff_rgb.tif", "w8", {rgb});

    TiffPage page = rgb;
    page.compression = COMPRESSION_LZW;
    page.predictor = 2;
    WriteTiff("strips_lzw_predictor.tif", "w", {page});
    page = rgb;
    page.compression = COMPRESSION_ADOBE_DEFLATE;
    page.rowsPerStrip = kHeight;
    WriteTiff("deflate_one_strip.tif", "w", {page});
    page = rgb;
    page.compression = COMPRESSION_PACKBITS;
    page.planar = PLANARCONFIG_SEPARATE;
    WriteTiff("packbits_planar.tif", "w", {page});
    page = rgb;
    page.compression = COMPRESSION_JPEG;
    page.rowsPerStrip = 16;
    WriteTiff("jpeg_compressed.tif", "w", {page});

    page = rgb;
    page.width = 40;
    page.height = 20;
    page.tileSize = 16;
    WriteTiff("tiles_rgb.tif", "w", {page});
    page.compression = COMPRESSION_LZW;
    page.bits = 16;
    WriteTiff("tiles_rgb16_lzw.tif", "w", {page});

    page = rgb;
    page.samples = 1;
    page.photometric = PHOTOMETRIC_PALETTE;
    WriteTiff("palette8.tif", "w", {page});
    page.bits = 4;
    WriteTiff("palette4.tif", "w", {page});

    page = rgb;
    page.bits = 16;
    page.icc = ProfileBytes(500);
    WriteTiff("rgb16_icc.tif", "w", {page});

    page = rgb;
    page.samples = 1;
    page.photometric = PHOTOMETRIC_MINISBLACK;
    WriteTiff("gray8.tif", "w", {page});
    page.bits = 16;
    WriteTiff("gray16.tif", "w", {page});
    page.bits = 1;
    page.photometric = PHOTOMETRIC_MINISWHITE;
    page.compression = COMPRESSION_CCITTFAX4;
    page.rowsPerStrip = kHeight;
    WriteTiff("bilevel_g4.tif", "w", {page});

    page = rgb;
    page.samples = 4;
    page.unassociatedAlpha = true;
    WriteTiff("rgba_unassociated.tif", "w", {page});

    page = rgb;
    page.samples = 4;
    page.photometric = PHOTOMETRIC_SEPARATED;
    page.icc = ProfileBytes(120);
    WriteTiff("cmyk_icc.tif", "w", {page});

    page = rgb;
    page.bits = 32;
    page.sampleFormat = SAMPLEFORMAT_IEEEFP;
    WriteTiff("float32_rgb.tif", "w", {page});

    TiffPage second = rgb;
    second.width = 8;
    second.height = 6;
    second.samples = 1;
    second.photometric = PHOTOMETRIC_MINISBLACK;
    TiffPage third = rgb;
    third.icc = ProfileBytes(64);
    third.compression = COMPRESSION_LZW;
    WriteTiff("multipage_three.tif", "w", {rgb, second, third});
}

void WriteIccSeeds()
{
    const std::string dir = g_outDir + "/icc/";
    const std::string profile = ProfileBytes(90);
    auto pieces = [&](std::size_t pieceSize)
    {
        std::vector<IccRecord> records;
        const std::size_t count = (profile.size() + pieceSize - 1) / pieceSize;
        for (std::size_t i = 0; i < count; ++i)
        {
            IccRecord record;
            record.sequence = std::uint8_t(i + 1);
            record.count = std::uint8_t(count);
            record.piece = profile.substr(i * pieceSize, pieceSize);
            records.push_back(record);
        }
        return records;
    };
    WriteFile(dir + "one_marker", EncodeIccRecords(pieces(90)));
    auto three = pieces(30);
    WriteFile(dir + "three_in_order", EncodeIccRecords(three));
    WriteFile(dir + "three_order_231", EncodeIccRecords({three[1], three[2], three[0]}));
    WriteFile(dir + "duplicate", EncodeIccRecords({three[0], three[0], three[1], three[2]}));
    auto mixed = three;
    mixed[2].count = 4;
    WriteFile(dir + "mixed_totals", EncodeIccRecords(mixed));
    auto zero = three;
    zero[0].sequence = 0;
    WriteFile(dir + "sequence_zero", EncodeIccRecords(zero));
    auto badId = three;
    badId[1].kind = 4 * 10; // flips the last letter of the identifier
    auto shortMarker = three[2];
    shortMarker.kind = 3;
    WriteFile(dir + "bad_identifier_and_short",
              EncodeIccRecords({three[0], badId[1], shortMarker}));
    IccRecord empty;
    empty.piece.clear();
    WriteFile(dir + "empty_piece", EncodeIccRecords({empty}));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    g_outDir = argv[1];
    for (const char* sub : {"", "/jpeg", "/tiff", "/icc"})
        mkdir((g_outDir + sub).c_str(), 0755);
    WriteJpegSeeds();
    WriteTiffSeeds();
    WriteIccSeeds();
    return 0;
}
