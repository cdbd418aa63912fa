#include "ui/MainFrame.h"

#include "platform/SettingsStore.h"
#include "ui/AppGlobals.h"
#include "ui/TextToLong.h"

#include <wx/checkbox.h>
#include <wx/filefn.h>
#include <wx/gdicmn.h>
#include <wx/radiobox.h>
#include <wx/textctrl.h>

#include <climits>

namespace
{

const wxString kGroup = wxT("/Mainframe/Layout");

// The store takes any long; only numbers an int can hold are restored.
bool FitsInt(long number)
{
    return number >= INT_MIN && number <= INT_MAX;
}

bool IsPositiveInt(long number)
{
    return number > 0 && FitsInt(number);
}

void SelectIfPresent(wxRadioBox* radio, long index)
{
    // The radio box would assert on an index past its last choice.
    if (index >= 0 && index < static_cast<long>(radio->GetCount()))
        radio->SetSelection(static_cast<int>(index));
}

} // namespace

bool MainFrame::IsGeometryValid(int x, int y, int w, int h)
{
    int screenWidth = 0;
    int screenHeight = 0;
    wxDisplaySize(&screenWidth, &screenHeight);
    return x >= 0 && x <= screenWidth - 200 && y >= 50 && y <= screenHeight - 200 && w >= 100 &&
           h >= 100;
}

void MainFrame::LoadSettings()
{
    wxConfigBase* config = SettingsStore::Get();
    if (!config)
        return;
    config->SetPath(kGroup);

    const long x = config->Read(wxT("x"), -1L);
    const long y = config->Read(wxT("y"), -1L);
    const long w = config->Read(wxT("w"), -1L);
    const long h = config->Read(wxT("h"), -1L);
    if (FitsInt(x) && FitsInt(y) && FitsInt(w) && FitsInt(h) &&
        IsGeometryValid(static_cast<int>(x), static_cast<int>(y), static_cast<int>(w),
                        static_cast<int>(h)))
    {
        Move(static_cast<int>(x), static_cast<int>(y));
        SetClientSize(static_cast<int>(w), static_cast<int>(h));
        PostSizeEvent();
    }

    if (config->ReadBool(wxT("Maximized"), false))
        Maximize(true);

    const wxString sourceFolder = config->Read(wxT("SourceFolder"), wxEmptyString);
    m_sourceFolderText->SetValue(sourceFolder);
    if (!sourceFolder.empty() && wxDirExists(sourceFolder))
        FillFileList(sourceFolder);

    m_destinationFolderText->SetValue(config->Read(wxT("DestinationFolder"), wxEmptyString));

    const long value = config->Read(wxT("Value"), 0L);
    if (IsPositiveInt(value))
        m_valueText->SetValue(IntToString(static_cast<int>(value)));

    const long jpegQuality = config->Read(wxT("JpegQuality"), 0L);
    if (IsPositiveInt(jpegQuality))
        m_jpegQualityText->SetValue(IntToString(static_cast<int>(jpegQuality)));

    SelectIfPresent(m_newSizeRadio, config->Read(wxT("ResizeDimension"), -1L));
    SelectIfPresent(
        m_interpolatorRadio,
        config->Read(wxT("InterpolatorSetting"), static_cast<long>(InterpolatorSetting::Normal)));

    m_saveToJpegCheck->SetValue(config->ReadBool(wxT("SaveToJPEG"), false));
}

void MainFrame::SaveSettings()
{
    wxConfigBase* config = SettingsStore::Get();
    if (!config)
        return;

    const wxPoint position = GetPosition();
    const wxSize clientSize = GetClientSize();
    config->SetPath(kGroup);

    // A maximised window keeps the normal geometry stored last, so that the
    // next start can restore to it.
    const bool maximized = IsMaximized();
    if (!maximized &&
        IsGeometryValid(position.x, position.y, clientSize.GetWidth(), clientSize.GetHeight()))
    {
        config->Write(wxT("x"), static_cast<long>(position.x));
        config->Write(wxT("y"), static_cast<long>(position.y));
        config->Write(wxT("w"), static_cast<long>(clientSize.GetWidth()));
        config->Write(wxT("h"), static_cast<long>(clientSize.GetHeight()));
    }
    config->Write(wxT("Maximized"), maximized);

    config->Write(wxT("SourceFolder"), m_sourceFolderText->GetValue());
    config->Write(wxT("DestinationFolder"), m_destinationFolderText->GetValue());

    // An empty field keeps what was stored before.
    if (!m_valueText->GetValue().empty())
        config->Write(wxT("Value"), TextToLong(m_valueText->GetValue()));
    if (!m_jpegQualityText->GetValue().empty())
        config->Write(wxT("JpegQuality"), TextToLong(m_jpegQualityText->GetValue()));

    config->Write(wxT("ResizeDimension"), static_cast<long>(m_newSizeRadio->GetSelection()));
    config->Write(wxT("InterpolatorSetting"),
                  static_cast<long>(m_interpolatorRadio->GetSelection()));
    config->Write(wxT("SaveToJPEG"), m_saveToJpegCheck->IsChecked());
}
