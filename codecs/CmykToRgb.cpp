#include "codecs/CmykToRgb.h"

void CmykToRgb(const unsigned char* cmyk, unsigned char* rgb)
{
    const int k = cmyk[3];
    for (int i = 0; i < 3; ++i)
    {
        // Adobe writes the samples inverted, so 255 - s is the ink amount.
        const int t = (255 - cmyk[i]) * k / 255 + (255 - k);
        rgb[i] = static_cast<unsigned char>(t > 255 ? 0 : 255 - t);
    }
}
