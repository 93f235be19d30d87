// The callbacks of the 3D view's context menu: each reads what the last
// right click picked and changes the project through its model calls, one
// undo step per user edit.
#include "Couche.h"
#include "CoucheRecorders.h"
#include "Decor.h"
#include "DecorTools.h"
#include "DialogSlider.h"
#include "FenetreTunnel.h"
#include "ModelUi.h"
#include "PopupOVX.h"
#include "ProjetOVX.h"
#include "View3D.h"

#include <wx/colordlg.h>
#include <wx/msgdlg.h>

#include <string>
#include <vector>

namespace
{
const char* const kTextureWildcard = "Image files (*.bmp,*.jpg,*.png) |*.bmp;*.png;*.jpg";

// The opacity the running opacity dialog started from.
int sOpacityBefore = 100;

Couche* PickedCouche()
{
    return gProjet.GetCouche(gPickedCouche);
}

// The colour chosen in the standard dialog; false when cancelled.
bool ChooseColour(int& red, int& green, int& blue)
{
    wxColourDialog dialog(gFenetreTunnel);
    if (dialog.ShowModal() != wxID_OK)
        return false;
    const wxColour colour = dialog.GetColourData().GetColour();
    red = colour.Red();
    green = colour.Green();
    blue = colour.Blue();
    return true;
}

std::string ChooseTexture()
{
    ModelUi::FileRequest request;
    request.Title = "Sélectionnez la texture";
    request.Wildcard = kTextureWildcard;
    return GetModelUi().AskFilePath(request);
}

// One layer's appearance with one value changed; the rest as it is.
void SetOpacity(Couche& couche, int opacity, bool record)
{
    couche.SetAppearance(couche.GetColour(), couche.Texture, opacity, couche.FrontAffiche,
                         couche.Discontinuites, record);
}

void SetTexture(Couche& couche, const std::string& texture)
{
    couche.SetAppearance(couche.GetColour(), texture, couche.Opacite, couche.FrontAffiche,
                         couche.Discontinuites, true);
}

// Every layer's side flag set, as one step; nothing at all without layers.
void SetAllSides(bool shown)
{
    std::vector<int> indices;
    std::vector<bool> old;
    for (int i = 0; i < gProjet.GetNumberOfCouches(); ++i)
        if (Couche* couche = gProjet.GetCouche(i))
        {
            indices.push_back(i);
            old.push_back(couche->FrontAffiche);
            couche->SetAppearance(couche->GetColour(), couche->Texture, couche->Opacite, shown,
                                  couche->Discontinuites, false);
        }
    if (!indices.empty())
        RecordSidesShownChange(indices, old, shown);
}

Decor* PickedDecor()
{
    return gProjet.GetDecor(gPickedDecor);
}
} // namespace

void OnChangeCoucheColour()
{
    Couche* couche = PickedCouche();
    int red = 0, green = 0, blue = 0;
    if (!couche || !ChooseColour(red, green, blue))
        return;
    couche->SetAppearance({red, green, blue}, couche->Texture, couche->Opacite, couche->FrontAffiche,
                          couche->Discontinuites, true);
}

void OnOpacityPreview(int value)
{
    if (Couche* couche = PickedCouche())
        SetOpacity(*couche, value, false);
}

void OnChangeCoucheOpacity()
{
    Couche* couche = PickedCouche();
    if (!couche)
        return;
    sOpacityBefore = couche->Opacite;
    DialogSlider dialog("Valeur de l'opacité en %", 0, 100, couche->Opacite, OnOpacityPreview);
    const bool ok = dialog.ShowModal() == wxID_OK;
    // The preview may have run a command that removed the layer.
    couche = PickedCouche();
    if (!couche)
        return;
    // The step's old value is the one from before the dialog, not the last
    // preview: put it back unrecorded, then apply the final value.
    SetOpacity(*couche, sOpacityBefore, false);
    if (ok)
        SetOpacity(*couche, dialog.GetValue(), true);
}

void OnChangeCoucheTexture()
{
    Couche* couche = PickedCouche();
    if (!couche)
        return;
    const std::string path = ChooseTexture();
    if (!path.empty())
        SetTexture(*couche, path);
}

void OnRemoveCoucheTexture()
{
    if (Couche* couche = PickedCouche())
        SetTexture(*couche, "");
}

void OnToggleCoucheSide()
{
    if (Couche* couche = PickedCouche())
        couche->SetAppearance(couche->GetColour(), couche->Texture, couche->Opacite, !couche->FrontAffiche,
                              couche->Discontinuites, true);
}

void OnToggleDiscontinuite()
{
    Couche* couche = PickedCouche();
    if (!couche)
        return;
    // The toolkit has already toggled the chosen line: the sub-menu holds
    // the new list.
    wxMenu* families = nullptr;
    for (wxMenuItem* item : gPopup->GetMenuItems())
        if (item->IsSubMenu() && item->GetItemLabelText() == wxString::FromUTF8("Discontinuités"))
            families = item->GetSubMenu();
    if (!families)
        return;
    // The lines were made from the project's family names in order: the
    // names are taken from there, a label being no name ("&" marks a
    // mnemonic in it).
    const std::vector<std::string> all = gProjet.GetDiscontinuiteNames();
    std::vector<std::string> names;
    size_t k = 0;
    for (wxMenuItem* line : families->GetMenuItems())
    {
        if (!line->IsCheckable())
            continue;
        if (line->IsChecked() && k < all.size())
            names.push_back(all[k]);
        ++k;
    }
    couche->SetAppearance(couche->GetColour(), couche->Texture, couche->Opacite, couche->FrontAffiche, names,
                          true);
}

void OnResetOpacities()
{
    std::vector<int> indices;
    std::vector<int> old;
    for (int i = 0; i < gProjet.GetNumberOfCouches(); ++i)
        if (Couche* couche = gProjet.GetCouche(i))
        {
            indices.push_back(i);
            old.push_back(couche->Opacite);
            SetOpacity(*couche, 100, false);
        }
    if (!indices.empty())
        RecordOpacitiesReset(indices, old);
}

void OnShowAllSides()
{
    SetAllSides(true);
}

void OnHideAllSides()
{
    SetAllSides(false);
}

void OnExportCoucheDXF()
{
    Couche* couche = PickedCouche();
    if (!couche)
        return;
    ModelUi::FileRequest request;
    request.Title = "Choisissez le fichier";
    request.Wildcard = "DXF files (*.dxf)|*.dxf";
    request.Save = true;
    const std::string path = GetModelUi().AskFilePath(request);
    std::string reason;
    if (path.empty() || couche->ExportDXF(path, &reason))
        return;
    GetModelUi().MessageBox("Impossible d'exporter la couche dans le fichier '" + path + "'" +
                                (reason.empty() ? "" : "\n" + reason),
                            wxString(wxMessageBoxCaptionStr).ToStdString(wxConvUTF8), ModelUi::Buttons::Ok,
                            ModelUi::BoxCentred);
}

void OnChangeDecorColour()
{
    Decor* decor = PickedDecor();
    int red = 0, green = 0, blue = 0;
    if (decor && ChooseColour(red, green, blue))
        decor->SetAppearance(red, green, blue, decor->Texture, true);
}

void OnChangeDecorTexture()
{
    Decor* decor = PickedDecor();
    if (!decor)
        return;
    const std::string path = ChooseTexture();
    if (path.empty())
        return;
    const Decor::sColour colour = decor->GetColour();
    decor->SetAppearance(colour.R, colour.G, colour.B, path, true);
}

void OnRemoveDecorTexture()
{
    if (Decor* decor = PickedDecor())
    {
        const Decor::sColour colour = decor->GetColour();
        decor->SetAppearance(colour.R, colour.G, colour.B, "", true);
    }
}

void OnDeleteDecor()
{
    if (PickedDecor())
        gProjet.DeleteDecor(gPickedDecor, true);
}
