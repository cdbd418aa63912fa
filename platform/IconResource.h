#pragma once

#include <wx/iconbndl.h>
#include <wx/image.h>

#include <vector>

/// The executable's icon resource of the given name, as a bundle with one
/// icon per size in the colour depth that suits the display; an empty bundle
/// for an unknown name. "PX_ICON" is the window icon.
wxIconBundle LoadIconResource(const wxString& name);

/// As above for a display of the given colour depth in bits: 8 or less picks
/// the palette images, more the 32-bit images with alpha.
wxIconBundle LoadIconResource(const wxString& name, int displayDepth);

/// Every image of the named resource: for "PX_ICON" 48, 32 and 16 pixels
/// square, each as a palette image with a mask and as a 32-bit image with
/// alpha, in that order. Empty for an unknown name.
std::vector<wxImage> IconResourceImages(const wxString& name);
