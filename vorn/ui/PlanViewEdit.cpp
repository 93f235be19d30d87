#include "Couche.h"
#include "Coupe.h"
#include "DialogCarottage.h"
#include "DialogPointsCoupe.h"
#include "EventInfo.h"
#include "FenetreTunnel.h"
#include "InterfaceModes.h"
#include "KorMesh.h"
#include "LigneNiveau.h"
#include "LigneNiveauRecorders.h"
#include "LumCamera.h"
#include "LumGizmo.h"
#include "LumoraDevice.h"
#include "PanelPrincipal.h"
#include "PlanView.h"
#include "PopupOVX.h"
#include "ProjetOVX.h"
#include "SceneCoordinates.h"
#include "Sondage.h"
#include "TypedCoordinates.h"
#include "TypedValues.h"

#include <wx/cursor.h>

#include <cmath>
#include <sstream>

LumPoint gPickedVertexStart;
int gCurrentLigneNiveau = -1;

namespace
{
// wx's code of both Delete keys; 46 is the '.' key.
constexpr int KeyDelete = 127;
constexpr double PickRadiusPixels = 4.0;

Couche* CurrentCouche()
{
    return gProjet.GetCouche(gProjet.CoucheCourante);
}

LumoraDevice* MainDevice()
{
    return gFenetreTunnel ? gFenetreTunnel->GetMainDevice() : nullptr;
}

KorVertex* PickedVertex(Couche& couche)
{
    return couche.GetPickedVertex() < 0 ? nullptr : couche.GetMesh().GetVertex(couche.GetPickedVertex());
}

LumPoint PositionOf(const KorVertex& v)
{
    return LumPoint(v.X, v.Y, v.Z);
}

// The scene point under the event's pixel, in the plan z = 0.
LumPoint ScenePointAt(const EventInfo& event)
{
    return MainDevice()->GetCamera()->GetPosition(event.x, event.y);
}

KorVertex* PickAt(Couche& couche, const EventInfo& event)
{
    const LumPoint p = ScenePointAt(event);
    const double radius = PickRadiusPixels * MainDevice()->GetCamera()->GetPixelSize(p);
    return couche.PickVertexInPlan(static_cast<float>(p.x), static_cast<float>(p.y),
                                   static_cast<float>(radius));
}

// The gizmo back on the picked vertex, which becomes the drag's start.
void ResetGizmoOnVertex(Couche& couche)
{
    KorVertex* v = PickedVertex(couche);
    if (!v)
        return;
    gPickedVertexStart = PositionOf(*v);
    if (LumGizmo* gizmo = MainDevice()->GetGizmo())
    {
        gizmo->SetPosition(gPickedVertexStart);
        gizmo->SetTranslation(LumPoint(0, 0, 0));
    }
}

std::string WorldText(const LumPoint& scene)
{
    const LumPoint w = SceneToWorld(gProjet, scene);
    std::ostringstream out;
    out << w.x << ";" << w.y << ";" << w.z;
    return out.str();
}

void OnGizmoReleased(Couche& couche)
{
    LumGizmo* gizmo = MainDevice()->GetGizmo();
    const LumPoint target = gizmo->GetPosition() + gizmo->GetTranslation();
    const int id = couche.GetPickedVertex();
    // A click without a drag: no step, nothing modified, nothing triangulated.
    if (target.x == gPickedVertexStart.x && target.y == gPickedVertexStart.y &&
        target.z == gPickedVertexStart.z)
    {
        ResetGizmoOnVertex(couche);
        RefreshDisplay();
        return;
    }
    couche.MovePoint(id, gPickedVertexStart, false, false, false);
    if (couche.CheckNeighbours(target) == 0)
        couche.MovePoint(id, target, true, true, true);
    else
        GetModelUi().MessageBox("Impossible de déplacer ce point à la coordonnée : \n     " +
                                    WorldText(target) + " :\nLa couche intersecte une couche voisine",
                                "Erreur", ModelUi::Buttons::Ok, 0);
    ResetGizmoOnVertex(couche);
    RefreshDisplay();
}

void ShowVertexMenu(Couche& couche, const Couche::sVertexType& type, int x, int y)
{
    PopupOVX::Clear();
    PopupOVX::AppendItem("Supprimer le point", gPopup, OnDeletePoint);
    const int index = gProjet.GetCoucheIndex(&couche);
    switch (type.Type)
    {
    case 1:
    {
        bool separated = false;
        if (index > 0)
        {
            PopupOVX::AppendItem("", gPopup, nullptr);
            PopupOVX::AppendItem("Placer le point sous la couche supérieure", gPopup,
                                 OnPlacePointUnderUpperCouche);
            separated = true;
        }
        if (index < gProjet.GetNumberOfCouches() - 1)
        {
            if (!separated)
                PopupOVX::AppendItem("", gPopup, nullptr);
            PopupOVX::AppendItem("Placer le point sur la couche inférieure", gPopup,
                                 OnPlacePointOnLowerCouche);
        }
        break;
    }
    case 2:
        PopupOVX::AppendItem("Ajouter des points à la ligne", gPopup, OnAddPointsToLigne);
        PopupOVX::AppendItem("Changer la profondeur", gPopup, OnChangeLigneProfondeur);
        PopupOVX::AppendItem("Fermer/Ouvrir la ligne", gPopup, OnToggleLigneFermee);
        PopupOVX::AppendItem("Supprimer la ligne entière", gPopup, OnDeleteLigne);
        break;
    case 3:
    {
        // A borehole's point goes only with its borehole.
        PopupOVX::Clear();
        if (const Sondage* sondage = gProjet.GetSondage(type.Param))
            PopupOVX::AppendItem(sondage->Nom, gPopup, nullptr);
        PopupOVX::AppendItem("Supprimer le sondage", gPopup, OnDeleteSondage);
        PopupOVX::AppendItem("Modifier le sondage", gPopup, OnModifySondage);
        break;
    }
    case 4:
    {
        PopupOVX::Clear();
        if (const Coupe* coupe = gProjet.GetCoupe(type.Param))
            PopupOVX::AppendItem(coupe->Nom, gPopup, nullptr);
        PopupOVX::AppendItem("Supprimer la coupe", gPopup, OnDeleteCoupe);
        PopupOVX::AppendItem("Modifier la coupe", gPopup, OnModifyCoupe);
        break;
    }
    default:
        break;
    }
    if (gPopup->GetLineCount() > 0)
        ShowPopup(gFenetreTunnel->GetCanvas(), x, y);
}

bool OnButtonPress(Couche& couche, const EventInfo& event)
{
    LumoraDevice* device = MainDevice();
    device->SetGizmo(nullptr);
    KorVertex* v = PickAt(couche, event);
    if (!v)
    {
        EnableCoordinateFields(true, true, true);
        GetCursorWorldPoint(event);
        couche.SetPickedVertex(-1);
        RefreshDisplay();
        return true;
    }
    couche.SetPickedVertex(v->GetID());
    const Couche::sVertexType type = couche.GetVertexType(v->GetID());
    gPickedVertexStart = PositionOf(*v);
    if (type.Type != 3 && type.Type != 4)
        device->SetGizmo(new LumGizmo(device, 3, gPickedVertexStart));
    ShowCoordinates(gPickedVertexStart);
    const bool fixed = type.Type == 3 || type.Type == 4;
    gToolPointAction = fixed ? nullptr : OnPlanViewPoint;
    // A level-line point keeps its line's altitude.
    EnableCoordinateFields(!fixed, !fixed, !fixed && type.Type != 2);
    if (event.button == 3)
        ShowVertexMenu(couche, type, event.x, event.y);
    RefreshDisplay();
    return true;
}
} // namespace

bool OnPlanViewEvent(const EventInfo& event)
{
    Couche* couche = CurrentCouche();
    LumoraDevice* device = MainDevice();
    if (!couche || !device)
        return false;
    if (event.keyCode == KeyDelete)
    {
        OnDeletePoint();
        return true;
    }
    LumGizmo* gizmo = device->GetGizmo();
    if (gizmo && gizmo->IsInUse())
    {
        if (gizmo->IsReleased())
            OnGizmoReleased(*couche);
        else if (gizmo->IsMoving())
        {
            const LumPoint p = gizmo->GetPosition() + gizmo->GetTranslation();
            couche->MovePoint(couche->GetPickedVertex(), p, false, false, false);
            ShowCoordinates(p);
            RefreshDisplay();
        }
        return true;
    }
    if (event.pressed && (event.button == 1 || event.button == 3))
        return OnButtonPress(*couche, event);
    if (gizmo)
        return false;
    GetCursorWorldPoint(event);
    const bool over = PickAt(*couche, event) != nullptr;
    wxCursor* geologie = gFenetreTunnel->GetToolCursor(FenetreTunnel::CursorGeologie);
    gFenetreTunnel->GetCanvas()->SetCursor(over && geologie ? *geologie : *wxSTANDARD_CURSOR);
    return false;
}

void OnPlanViewPoint(LumPoint point)
{
    Couche* couche = CurrentCouche();
    LumoraDevice* device = MainDevice();
    if (!couche || !device || !device->GetGizmo() || !PickedVertex(*couche))
        return;
    couche->MovePoint(couche->GetPickedVertex(), point, true, true, true);
    ResetGizmoOnVertex(*couche);
    RefreshDisplay();
}

void OnDeletePoint()
{
    Couche* couche = CurrentCouche();
    if (!couche || !PickedVertex(*couche))
        return;
    const int id = couche->GetPickedVertex();
    const Couche::sVertexType type = couche->GetVertexType(id);
    if (type.Type == 3 || type.Type == 4)
        return;
    if (type.Type == 2)
    {
        if (LigneNiveau* ligne = couche->GetLigneNiveau(type.Param))
            ligne->RemovePoint(*couche, id, true);
    }
    else
        couche->DeletePoint(id, true);
    couche->SetPickedVertex(-1);
    if (LumoraDevice* device = MainDevice())
        device->SetGizmo(nullptr);
    RefreshDisplay();
}

namespace
{
void PlaceOnNeighbour(int offset, double shift)
{
    Couche* couche = CurrentCouche();
    KorVertex* v = couche ? PickedVertex(*couche) : nullptr;
    Couche* other = gProjet.GetCouche(gProjet.CoucheCourante + offset);
    double z = 0.0;
    if (!v || !other || !other->GetAltitude(v->X, v->Y, z))
        return;
    couche->MovePoint(couche->GetPickedVertex(), LumPoint(v->X, v->Y, z + shift), false, true, false);
    ResetGizmoOnVertex(*couche);
}

LigneNiveau* PickedLigne(Couche*& couche)
{
    couche = CurrentCouche();
    if (!couche || !PickedVertex(*couche))
        return nullptr;
    return couche->GetLigneNiveau(couche->GetVertexType(couche->GetPickedVertex()).Param);
}
} // namespace

void OnPlacePointUnderUpperCouche()
{
    PlaceOnNeighbour(-1, -0.0001);
}

void OnPlacePointOnLowerCouche()
{
    PlaceOnNeighbour(1, 0.0001);
}

void OnAddPointsToLigne()
{
    Couche* couche = nullptr;
    if (PickedLigne(couche))
        StartAddLigneNiveauTool(couche->GetVertexType(couche->GetPickedVertex()).Param);
}

// The depth of a level line as typed; false on Cancel or a value that is
// not finite.
bool AskLigneDepth(double& depth)
{
    std::string text;
    if (!GetModelUi().AskText("Rentrez la profondeur de la ligne de niveau", "Profondeur", text))
        return false;
    // No number reads as 0; an overflowing one would put the line at infinity.
    depth = TypedNumber(text);
    if (!std::isfinite(depth) || !std::isfinite(static_cast<float>(depth)))
    {
        ShowNonFiniteValuesMessage();
        return false;
    }
    return true;
}

void OnChangeLigneProfondeur()
{
    Couche* couche = nullptr;
    LigneNiveau* ligne = PickedLigne(couche);
    if (!ligne)
        return;
    double depth = 0.0;
    if (!AskLigneDepth(depth))
        return;
    ligne->SetProfondeur(*couche, static_cast<float>(depth), true);
    if (KorVertex* v = PickedVertex(*couche))
        ShowCoordinates(PositionOf(*v));
    ResetGizmoOnVertex(*couche);
    RefreshDisplay();
}

void OnToggleLigneFermee()
{
    Couche* couche = nullptr;
    LigneNiveau* ligne = PickedLigne(couche);
    if (!ligne)
        return;
    ligne->Fermee = !ligne->Fermee;
    RecordLigneNiveauFermeeToggle(gProjet.GetCoucheIndex(couche), couche->GetLigneNiveauIndex(ligne));
    couche->SetGeometryChanged();
    RefreshDisplay();
}

void OnDeleteLigne()
{
    Couche* couche = nullptr;
    LigneNiveau* ligne = PickedLigne(couche);
    if (!ligne)
        return;
    couche->DeleteLigneNiveau(couche->GetLigneNiveauIndex(ligne), true);
    couche->SetPickedVertex(-1);
    if (LumoraDevice* device = MainDevice())
        device->SetGizmo(nullptr);
}

namespace
{
// The project index carried by the picked vertex of the given type, -1 when
// the picked vertex is none or of another type.
int PickedOwner(int wanted)
{
    Couche* couche = CurrentCouche();
    if (!couche || !PickedVertex(*couche))
        return -1;
    const Couche::sVertexType type = couche->GetVertexType(couche->GetPickedVertex());
    return type.Type == wanted ? type.Param : -1;
}

// The owner's points are gone from every layer with it: nothing stays picked.
void DropPicked()
{
    if (Couche* couche = CurrentCouche())
        couche->SetPickedVertex(-1);
    if (LumoraDevice* device = MainDevice())
        device->SetGizmo(nullptr);
    RefreshDisplay();
}
} // namespace

void OnDeleteSondage()
{
    const int index = PickedOwner(3);
    const Sondage* sondage = gProjet.GetSondage(index);
    if (!sondage)
        return;
    // A copy: the name goes with the borehole.
    const std::string name = sondage->Nom;
    gProjet.DeleteSondage(name, true);
    DropPicked();
}

void OnModifySondage()
{
    Sondage* sondage = gProjet.GetSondage(PickedOwner(3));
    if (!sondage)
        return;
    auto* dialog = new DialogCarottage(sondage->GetPosition());
    dialog->LoadSondage(sondage);
    dialog->Show(true);
}

void OnModifyCoupe()
{
    Coupe* coupe = gProjet.GetCoupe(PickedOwner(4));
    if (!coupe)
        return;
    auto* dialog = new DialogPointsCoupe(coupe->Image, coupe->Reference1, coupe->Reference2);
    dialog->FillFromCoupe(coupe);
    dialog->Show(true);
}

void OnDeleteCoupe()
{
    const int index = PickedOwner(4);
    const Coupe* coupe = gProjet.GetCoupe(index);
    if (!coupe)
        return;
    const std::string name = coupe->Nom;
    gProjet.DeleteCoupe(name, true);
    DropPicked();
}
