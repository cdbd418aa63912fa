#include "platform/FolderListing.h"
#include "tests/support/TestSupport.h"

#include <wx/filefn.h>
#include <wx/filename.h>

TEST(FolderListing, MatchesWithoutRegardToCaseAndOnlyTheFolderItself)
{
    TempDir dir;
    MakeFiles(dir.Path(), {"PHOTO.JPG", "x.jpg", "Scan.TIF", "y.jpeg", "notes.txt", ".hidden.jpg"});
    ASSERT_TRUE(wxMkdir(dir.File(wxT("folder.jpg"))));
    MakeFiles(dir.File(wxT("folder.jpg")), {"inner.jpg"});

    wxArrayString jpegs = ListFolderFiles(dir.Path(), wxT("*.jpg"));
    jpegs.Sort();
    wxArrayString expected;
    expected.Add(dir.File(wxT("PHOTO.JPG")));
    expected.Add(dir.File(wxT("x.jpg")));
    EXPECT_EQ(jpegs, expected);
    EXPECT_EQ(ListFolderFiles(dir.Path(), wxT("*.tif")),
              wxArrayString(1, dir.File(wxT("Scan.TIF"))));
}

TEST(FolderListing, MissingOrEmptyFolderGivesNothing)
{
    TempDir dir;
    EXPECT_TRUE(ListFolderFiles(dir.File(wxT("gone")), wxT("*.jpg")).empty());
    EXPECT_TRUE(ListFolderFiles(wxEmptyString, wxT("*.jpg")).empty());
    EXPECT_TRUE(ListFolderFiles(dir.Path(), wxT("*.jpg")).empty());
}
