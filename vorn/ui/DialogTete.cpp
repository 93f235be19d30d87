#include "DialogTete.h"

#include "ChampTexte.h"
#include "FenetreTunnel.h"
#include "FrameKeys.h"
#include "GL_Window.h"
#include "InterfaceModes.h"
#include "KorMesh.h"
#include "KorSinglePrecision.h"
#include "LumCamera.h"
#include "LumoraDevice.h"
#include "ModelUi.h"
#include "OVXAction.h"
#include "ParametresTeteDouble.h"
#include "ParametresTeteSimple.h"
#include "ProjetOVX.h"
#include "StartupPaths.h"
#include "TeteFieldText.h"
#include "TeteTranchee.h"
#include "TypedValues.h"
#include "WindowFit.h"
#include "XMLNode.h"

#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/log.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/toolbar.h>
#include <wx/valtext.h>

#include <GL/gl.h>

#include <vector>

DialogTete* gDialogTete = nullptr;

namespace
{
wxBitmap LoadButtonPicture(const char* file)
{
    wxLogNull quiet;
    wxBitmap bitmap(wxString::FromUTF8(ApplicationPath(file)), wxBITMAP_TYPE_GIF);
    if (!bitmap.IsOk())
        bitmap = wxBitmap(32, 32);
    return bitmap;
}

ChampTexte* TunnelField(wxWindow* parent)
{
    wxTextValidator numeric(wxFILTER_INCLUDE_CHAR_LIST);
    numeric.SetCharIncludes("0123456789.,+-eE");
    return new ChampTexte(parent, 63, std::string(), wxDefaultPosition, wxSize(40, 20), wxTE_RIGHT, numeric,
                          wxTextCtrlNameStr, OnTeteFieldEdited, nullptr);
}

// The dialog a field belongs to.
DialogTete* DialogOf(wxWindow* field)
{
    return dynamic_cast<DialogTete*>(wxGetTopLevelParent(field));
}

// Typed text in single precision, untouched text the head's value.
bool ReadTunnelField(const ChampTexte* field, const std::string& written, double stored, double& value)
{
    bool typed = false;
    if (!ReadTeteField(std::string(field->GetValue().ToUTF8().data()), written, stored, false, value, typed))
        return false;
    if (typed)
        value = KorToSingle(value);
    return true;
}

void SelectFaceClass(ChampTexte* field, int faceClass)
{
    if (DialogTete* dialog = DialogOf(field))
    {
        dialog->GetTete().SetSelectedFaceClass(faceClass);
        dialog->RenderPreview();
    }
}

// The faces of the head as filled polygons with their normals.
void DrawFaces(TeteTranchee& head, const std::vector<int>& ids)
{
    KorMesh& mesh = head.GetMesh();
    std::vector<LumPoint> points;
    for (int id : ids)
    {
        KorFace* face = mesh.GetFace(id);
        if (!face)
            continue;
        mesh.GetFacePoints(face, points);
        const LumPoint& n = mesh.GetNormal(face);
        glNormal3d(n.x, n.y, n.z);
        glBegin(GL_TRIANGLE_FAN);
        for (const LumPoint& p : points)
            glVertex3d(p.x, p.y, p.z);
        glEnd();
    }
}

void DrawHead(TeteTranchee& head)
{
    std::vector<int> ids;
    const int slots = head.GetMesh().GetFaceVectorSize();
    for (int id = 0; id < slots; ++id)
        ids.push_back(id);
    DrawFaces(head, ids);
}

void DrawSelectedFaces(TeteTranchee& head)
{
    const sClasseFaces record = head.GetClassFaces(head.GetSelectedFaceClass());
    DrawFaces(head, std::vector<int>(record.Faces, record.Faces + 5));
}
} // namespace

DialogTete::DialogTete(wxWindow* parent)
    : wxDialog(parent, 20, wxString::FromUTF8("Tête de tranchée"), wxPoint(300, 300), wxSize(700, 400),
               wxDEFAULT_DIALOG_STYLE | wxMINIMIZE_BOX | wxMAXIMIZE_BOX | wxRESIZE_BORDER, "DialogTete")
{
    gDialogTete = this;
    mDoubleFront = new wxCheckBox(this, 31, "Double front");
    mReset = new wxButton(this, 32, wxString::FromUTF8("Réinitialisation"));
    auto* largeurLabel = new wxStaticText(this, wxID_ANY, "Largeur du tunnel");
    mLargeur = TunnelField(this);
    auto* hauteurLabel = new wxStaticText(this, wxID_ANY, "Hauteur du tunnel");
    mHauteur = TunnelField(this);
    mSimple = new ParametresTeteSimple(this);
    mDouble = new ParametresTeteDouble(this);
    mDouble->Hide();
    mOpen =
        new wxBitmapButton(this, 65, LoadButtonPicture("/Icons/Open.gif"), wxDefaultPosition, wxSize(40, 40));
    mSave =
        new wxBitmapButton(this, 66, LoadButtonPicture("/Icons/Save.gif"), wxDefaultPosition, wxSize(40, 40));
    mPreview = new GL_Window(this, 28, wxDefaultPosition, wxSize(280, 200), wxSUNKEN_BORDER, "GLCanvas");
    mTete = std::make_unique<TeteTranchee>();

    auto* boxLine = new wxBoxSizer(wxHORIZONTAL);
    boxLine->Add(mDoubleFront, 0, wxALIGN_CENTER_VERTICAL);
    boxLine->Add(mReset, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 25);
    auto* tunnel = new wxFlexGridSizer(2, 2, 3, 10);
    tunnel->Add(largeurLabel, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 5);
    tunnel->Add(mLargeur, 0, wxALIGN_RIGHT | wxRIGHT, 5);
    tunnel->Add(hauteurLabel, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 5);
    tunnel->Add(mHauteur, 0, wxALIGN_RIGHT | wxRIGHT, 5);
    auto* controls = new wxBoxSizer(wxVERTICAL);
    controls->Add(boxLine, 0, wxALL, 5);
    controls->Add(tunnel, 0, wxALL, 5);
    auto* files = new wxBoxSizer(wxVERTICAL);
    files->Add(mOpen);
    files->Add(mSave, 0, wxTOP, 5);
    auto* firstRow = new wxBoxSizer(wxHORIZONTAL);
    firstRow->Add(controls, 1);
    firstRow->Add(files, 0, wxALL, 5);
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->SetMinSize(350, 10);
    column->Add(firstRow, 0, wxEXPAND);
    column->Add(mSimple, 1, wxEXPAND | wxALL, 5);
    auto* top = new wxBoxSizer(wxHORIZONTAL);
    top->Add(column, 0, wxEXPAND);
    top->Add(mPreview, 1, wxEXPAND | wxALL, 10);
    SetSizer(top);
    FitToContent(this);

    ForwardFrameKeys(this);

    Bind(wxEVT_CLOSE_WINDOW, &DialogTete::OnClose, this);
    Bind(wxEVT_CHECKBOX, &DialogTete::OnDoubleFront, this, 31);
    Bind(wxEVT_BUTTON, &DialogTete::OnReset, this, 32);
    Bind(wxEVT_BUTTON, &DialogTete::OnLoadTete, this, 65);
    Bind(wxEVT_BUTTON, &DialogTete::OnSaveTete, this, 66);

    // A fixed view of the head: its own camera, no navigation.
    LumoraDevice* device = mPreview->getDevice();
    device->SetRefreshStyle(2);
    device->StartRendering();
    LumCamera* camera = device->GetCamera();
    camera->ChangeCameraMode(LumCamera::Free);
    camera->SetPosition(0, -100, 40);
    camera->SetMovable(false);
    device->EnableLighting(true);
    device->SetDrawCallback(RenderTetePreview);

    FillFields(*mTete);
}

DialogTete::~DialogTete()
{
    if (gDialogTete == this)
        gDialogTete = nullptr;
    // The fields' focus handlers reach the head: they go while it lives.
    DestroyChildren();
}

void DialogTete::ShowPanel(bool doubleFront)
{
    ParametresTete* shown = doubleFront ? static_cast<ParametresTete*>(mDouble) : mSimple;
    ParametresTete* hidden = doubleFront ? static_cast<ParametresTete*>(mSimple) : mDouble;
    hidden->Hide();
    shown->Show();
    GetSizer()->Replace(hidden, shown, true);
    GetSizer()->Layout();
    FitToContent(this);
}

void DialogTete::FillFields(const TeteTranchee& head)
{
    mSimple->FillFromTete(head);
    mDouble->FillFromTete(head);
    mDoubleFront->SetValue(head.DoubleEntree);
    mLargeurWritten = FormatTeteField(head.LargeurTunnel, false);
    mHauteurWritten = FormatTeteField(head.HauteurTunnel, false);
    mLargeur->ChangeValue(wxString::FromUTF8(mLargeurWritten));
    mHauteur->ChangeValue(wxString::FromUTF8(mHauteurWritten));
    ShowPanel(head.DoubleEntree);
}

void DialogTete::LoadTeteXML(const XMLNode& node)
{
    ApplyTeteXML(*mTete, node);
    FillFields(*mTete);
    RenderPreview();
}

bool DialogTete::ReadTunnelSize(double& width, double& height) const
{
    return ReadTunnelField(mLargeur, mLargeurWritten, mTete->LargeurTunnel, width) &&
           ReadTunnelField(mHauteur, mHauteurWritten, mTete->HauteurTunnel, height);
}

void DialogTete::RenderPreview()
{
    mPreview->RenderFrame();
}

void DialogTete::ClearFaceSelection()
{
    if (mTete->GetSelectedFaceClass() == -1)
        return;
    mTete->SetSelectedFaceClass(-1);
    RenderPreview();
}

void DialogTete::OnClose(wxCloseEvent&)
{
    // Only hidden: the frame keeps it, with the head, for the program's life.
    Show(false);
    if (gFenetreTunnel && gFenetreTunnel->GetToolBar())
        gFenetreTunnel->GetToolBar()->ToggleTool(FenetreTunnel::IdTranchee, false);
    gProjet.InvalidateResults();
    RefreshDisplay();
}

void DialogTete::OnDoubleFront(wxCommandEvent& event)
{
    // The head changes kind only through the newly shown panel's apply.
    ShowPanel(event.IsChecked());
    if (event.IsChecked())
        mDouble->ApplyToTete();
    else
        mSimple->ApplyToTete();
}

void DialogTete::OnReset(wxCommandEvent&)
{
    if (mDoubleFront->GetValue())
        mTete->SetDoubleParameters(false, 45, false, 30, 15, 10, 35, 10, 30, 20, 10, 15, 20, 30, 20, 10, 15,
                                   30, 20, 10, 20, 35, 15, 10, 33, 20, 10, 25, 10, 30, 15, 30, 15, 5, 15, 25,
                                   5, 15, 3, 12, 8.5, true);
    else
        mTete->SetSingleParameters(false, false, 15, 25, 25, 10, 20, 10, 15, 25, 20, 10, 30, 15, 20, 20, 30,
                                   20, 10, 30, 30, 15, 5, 15, 25, 5, 25, 3, 12, 8.5, true);
    FillFields(*mTete);
    RenderPreview();
    RefreshDisplay();
}

bool DialogTete::SaveTete(const std::string& path)
{
    XMLNode top = XMLNode::createXMLTopNode("xml", 1);
    XMLNode tete = top.addChild("Tete");
    mTete->ToXML(tete);
    // The layer replaces a file only once it is completely written: a
    // failure leaves the former file, and the user must know.
    const XMLResults written = top.writeToFile(path, nullptr, 1);
    if (written)
        return true;
    GetModelUi().MessageBox("Impossible d'enregistrer la tête de tranchée dans le fichier '" + path + "'" +
                                (written.reason.empty() ? "" : "\n" + written.reason),
                            "Erreur");
    return false;
}

bool DialogTete::LoadTete(const std::string& path)
{
    // A file that does not parse gives an empty document, hence no "Tete".
    XMLResults results;
    const XMLNode file = XMLNode::parseFile(path, &results);
    const XMLNode tete = file.getChildNode("Tete");
    if (tete.isEmpty())
    {
        GetModelUi().MessageBox(
            "Impossible de charger une tête de tranchée depuis le fichier choisi : \n     "
            "Pas de noeud XML 'Tete'",
            "Message", ModelUi::Buttons::Ok, ModelUi::BoxCentred);
        return false;
    }
    XMLNode before = OVXAction::NewSnapshot();
    mTete->ToXML(before);
    // A number the fields would have refused typed leaves the head as it is.
    if (!ApplyTeteXML(*mTete, tete))
    {
        ShowNonFiniteValuesMessage();
        return false;
    }
    FillFields(*mTete);
    RenderPreview();
    mTete->RecordUndo(before);
    RefreshDisplay();
    return true;
}

void DialogTete::OnSaveTete(wxCommandEvent&)
{
    const std::string path =
        GetModelUi().AskFilePath({"Choisissez un fichier", "OVR files (*.ovr)|*.ovr", true});
    if (!path.empty())
        SaveTete(path);
}

void DialogTete::OnLoadTete(wxCommandEvent&)
{
    const std::string path =
        GetModelUi().AskFilePath({"Sélectionnez une tête de tranchée", "OVR files (*.ovr) |*.ovr", false});
    if (!path.empty())
        LoadTete(path);
}

int SimpleFieldFaceClass(int id)
{
    switch (id)
    {
    case 5:
    case 6:
        return 0;
    case 7:
        return 4;
    case 8:
        return 3;
    case 9:
        return 5;
    case 10:
        return 6;
    case 11:
        return 8;
    case 12:
        return 9;
    case 13:
        return 10;
    case 14:
        return 7;
    case 15:
        return 12;
    case 16:
        return 11;
    case 17:
        return 14;
    case 18:
        return 15;
    case 19:
        return 16;
    case 20:
    case 21:
        return 13;
    case 22:
        return 18;
    case 23:
        return 17;
    case 24:
    case 25:
        return 1;
    case 26:
    case 27:
        return 2;
    default:
        return -1;
    }
}

int DoubleFieldFaceClass(int id)
{
    switch (id)
    {
    case 24:
    case 25:
        return 1;
    case 26:
    case 27:
        return 2;
    case 34:
    case 35:
        return 19;
    case 36:
    case 37:
        return 20;
    case 43:
    case 55:
        return 37;
    default:
        // 38 to 42 give 21 to 25, 44 to 54 give 26 to 36, 56 to 62 give 38
        // to 44; 28 to 33 and any other id nothing.
        if (id >= 38 && id <= 42)
            return id - 17;
        if (id >= 44 && id <= 54)
            return id - 18;
        if (id >= 56 && id <= 62)
            return id - 18;
        return -1;
    }
}

void OnSimpleFieldFocus(ChampTexte* field)
{
    SelectFaceClass(field, SimpleFieldFaceClass(field->GetId()));
}

void OnDoubleFieldFocus(ChampTexte* field)
{
    SelectFaceClass(field, DoubleFieldFaceClass(field->GetId()));
}

void OnTeteFieldEdited(ChampTexte* field)
{
    DialogTete* dialog = DialogOf(field);
    if (!dialog)
        return;
    if (dialog->GetDoubleFrontBox()->GetValue())
        dialog->GetDoublePanel()->ApplyToTete();
    else
        dialog->GetSinglePanel()->ApplyToTete();
    dialog->GetTete().SetSelectedFaceClass(-1);
    dialog->RenderPreview();
}

void RenderTetePreview(LumoraDevice* device)
{
    if (!gDialogTete)
        return;
    TeteTranchee& head = gDialogTete->GetTete();
    const LumCamera* camera = device->GetCamera();
    // Each layer a little nearer the camera, so that it covers the one
    // drawn before on the same faces.
    const LumPoint d = (camera->GetTarget() - camera->GetPosition()) / -500.0;
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor3d(0.5, 0.5, 0.5);
    DrawHead(head);

    glTranslated(d.x, d.y, d.z);
    glColor3d(1.0, 0.0, 0.0);
    device->EnableLighting(false);
    DrawSelectedFaces(head);
    device->EnableLighting(true);

    glTranslated(d.x, d.y, d.z);
    glColor3d(0.0, 0.0, 0.0);
    device->EnableLighting(false);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    DrawHead(head);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    device->EnableLighting(true);
}
