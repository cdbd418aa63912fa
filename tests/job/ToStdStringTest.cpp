#include "job/ToStdString.h"
#include "tests/support/TestSupport.h"

#include <exiv2/exiv2.hpp>
#include <gtest/gtest.h>
#include <wx/image.h>

#include <memory>

namespace
{

TEST(ToStdString, GivesTheToolkitsFileNameBytesByDefault)
{
    EXPECT_EQ(ToStdString(wxString()), "");
    EXPECT_EQ(ToStdString(wxT("/photos/IMG_0001.JPG")), "/photos/IMG_0001.JPG");
    EXPECT_EQ(ToStdString(wxString::FromUTF8("/photos/caf\xc3\xa9.jpg")),
              std::string(wxString::FromUTF8("/photos/caf\xc3\xa9.jpg").fn_str()));
    EXPECT_EQ(ToStdString(wxString::FromUTF8("/\xe5\x86\x99\xe7\x9c\x9f/\xd1\x84.tif")),
              "/\xe5\x86\x99\xe7\x9c\x9f/\xd1\x84.tif");
}

// A converter that cannot represent every character gives nothing rather
// than a name with the characters left out, which could name another file.
TEST(ToStdString, FailedConversionGivesAnEmptyString)
{
    wxCSConv latin1(wxFONTENCODING_ISO8859_1);
    EXPECT_EQ(ToStdString(wxString::FromUTF8("caf\xc3\xa9"), latin1), "caf\xe9");
    EXPECT_EQ(ToStdString(wxString::FromUTF8("/a/\xd1\x84oto.jpg"), latin1), "");
    EXPECT_EQ(ToStdString(wxString::FromUTF8("/a/caf\xc3\xa9.jpg"), wxConvISO8859_1),
              "/a/caf\xe9.jpg");
}

// The toolkit leaves the C library's locale at "C", so the locale converter
// loses every non-ASCII name; the metadata library must still find the file.
TEST(ToStdString, MetadataLibraryOpensWhatTheToolkitWrote)
{
    TempDir folder;
    const wxString path =
        folder.File(wxString::FromUTF8("caf\xc3\xa9 \xe5\x86\x99\xe7\x9c\x9f.png"));
    wxImage image(8, 6);
    ASSERT_TRUE(image.SaveFile(path));

    std::unique_ptr<Exiv2::Image> opened(
        Exiv2::ImageFactory::open(ToStdString(path), false).release());
    ASSERT_TRUE(opened);
    opened->readMetadata();
    EXPECT_EQ(opened->pixelWidth(), 8);
    EXPECT_EQ(opened->pixelHeight(), 6);
}

} // namespace
