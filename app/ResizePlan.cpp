#include "app/ResizePlan.h"

#include "platform/FolderListing.h"

#include <wx/dir.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>

#include <set>
#include <utility>

#include <sys/stat.h>

namespace
{

const char* const kFolderPatterns[] = {"*.jpg", "*.jpeg", "*.tif", "*.tiff"};

using FileIdentity = std::pair<dev_t, ino_t>;

bool Identify(const wxString& path, FileIdentity& identity)
{
    struct stat info;
    if (::stat(path.fn_str(), &info) != 0)
        return false;
    identity = {info.st_dev, info.st_ino};
    return true;
}

/// A file to plan: its path and the folder, relative to DIR, it goes to.
struct FoundFile
{
    wxString path;
    wxString relativeFolder;
};

wxArrayString SortedFolderFiles(const wxString& folder)
{
    wxArrayString files;
    for (const char* pattern : kFolderPatterns)
        for (const wxString& path : ListFolderFiles(folder, pattern))
            files.Add(path);
    files.Sort();
    return files;
}

wxArrayString SortedSubfolders(const wxString& folder)
{
    wxArrayString folders;
    wxLogNull quiet;
    wxDir dir(folder);
    wxString name;
    if (dir.IsOpened())
        for (bool found = dir.GetFirst(&name, wxEmptyString, wxDIR_DIRS); found;
             found = dir.GetNext(&name))
            folders.Add(wxFileName(folder, name).GetFullPath());
    folders.Sort();
    return folders;
}

class FolderWalk
{
public:
    FolderWalk(bool recursive, const wxString& outputFolder, std::vector<FoundFile>& found)
        : m_recursive(recursive), m_found(found)
    {
        // With -r over a tree that holds DIR, the outputs of an earlier run
        // are not inputs.
        FileIdentity output;
        if (Identify(outputFolder, output))
            m_visited.insert(output);
    }

    void Walk(const wxString& folder, const wxString& relative)
    {
        FileIdentity identity;
        // A link back up the tree would never end.
        if (!Identify(folder, identity) || !m_visited.insert(identity).second)
            return;
        for (const wxString& path : SortedFolderFiles(folder))
            m_found.push_back({path, relative});
        if (!m_recursive)
            return;
        for (const wxString& subfolder : SortedSubfolders(folder))
        {
            const wxString name = wxFileName(subfolder).GetFullName();
            Walk(subfolder, relative.empty() ? name : relative + wxFILE_SEP_PATH + name);
        }
    }

private:
    bool m_recursive;
    std::vector<FoundFile>& m_found;
    std::set<FileIdentity> m_visited;
};

wxString OutputPathFor(const ResizeOptions& options, const FoundFile& file)
{
    wxFileName output(file.path);
    wxString folder = options.outputFolder;
    if (!file.relativeFolder.empty())
        folder =
            wxFileName(folder, wxEmptyString).GetPath() + wxFILE_SEP_PATH + file.relativeFolder;
    output.SetPath(folder);
    if (options.saveToJpeg)
        output.SetExt("jpg");
    return output.GetFullPath();
}

} // namespace

std::vector<PlannedFile> PlanResize(const ResizeOptions& options)
{
    std::vector<PlannedFile> plan;
    std::vector<FoundFile> found;
    for (const wxString& input : options.inputs)
    {
        if (wxDirExists(input))
        {
            const size_t before = found.size();
            FolderWalk(options.recursive, options.outputFolder, found).Walk(input, wxEmptyString);
            if (found.size() == before && !wxDir(input).IsOpened())
                plan.push_back({input, wxEmptyString, PlannedFile::Verdict::Refuse,
                                "the folder cannot be read"});
        }
        else if (wxFileExists(input))
            found.push_back({input, wxEmptyString});
        else
            plan.push_back(
                {input, wxEmptyString, PlannedFile::Verdict::Refuse, "no such file or folder"});
        for (const FoundFile& file : found)
            plan.push_back({file.path, OutputPathFor(options, file), PlannedFile::Verdict::Resize,
                            wxEmptyString});
        found.clear();
    }

    std::set<wxString> outputs;
    for (PlannedFile& file : plan)
    {
        if (file.verdict != PlannedFile::Verdict::Resize)
            continue;
        wxFileName normalised(file.output);
        normalised.Normalize(wxPATH_NORM_DOTS | wxPATH_NORM_ABSOLUTE);
        FileIdentity source, output;
        if (!outputs.insert(normalised.GetFullPath()).second)
        {
            file.verdict = PlannedFile::Verdict::Refuse;
            file.message = "an earlier input gives the same output name";
        }
        else if (Identify(file.output, output))
        {
            if (Identify(file.source, source) && source == output && !options.overwrite)
            {
                file.verdict = PlannedFile::Verdict::Refuse;
                file.message = "the output would replace the source itself; give --overwrite "
                               "to allow it";
            }
            else if (!options.overwrite)
            {
                file.verdict = PlannedFile::Verdict::SkipExists;
                file.message = "the output exists; give --overwrite to replace it";
            }
        }
    }
    return plan;
}
