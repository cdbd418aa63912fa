#pragma once

/// Converts one Adobe-style (inverted) CMYK pixel, as libjpeg delivers it,
/// into three RGB bytes.
void CmykToRgb(const unsigned char* cmyk, unsigned char* rgb);
