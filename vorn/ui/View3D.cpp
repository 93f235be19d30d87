#include "View3D.h"

#include "Axe.h"
#include "Couche.h"
#include "Decor.h"
#include "DecorTools.h"
#include "Discontinuite.h"
#include "EventInfo.h"
#include "Excavation.h"
#include "FenetreTunnel.h"
#include "InterfaceModes.h"
#include "KorRay.h"
#include "LumCamera.h"
#include "LumHandledMesh.h"
#include "LumoraDevice.h"
#include "PanelPrincipal.h"
#include "PopupOVX.h"
#include "ProjetOVX.h"
#include "SectionWindow.h"
#include "Sondage.h"

#include <GL/gl.h>

#include <cmath>
#include <string>
#include <vector>

int gPickedCouche = -1;

namespace
{
// The four clip planes keeping x in [x0 - m, x1 + m] and y in
// [y0 - n, y1 + n], in scene coordinates (the model-view is the identity
// when they are set, or the camera's only).
void SetClipPlanes(double x0, double x1, double y0, double y1, float m, float n)
{
    const double planes[4][4] = {{1.0, 0.0, 0.0, -(x0 - m)},
                                 {-1.0, 0.0, 0.0, x1 + m},
                                 {0.0, -1.0, 0.0, y1 + n},
                                 {0.0, 1.0, 0.0, -(y0 - n)}};
    for (int i = 0; i < 4; ++i)
        glClipPlane(GL_CLIP_PLANE0 + i, planes[i]);
}

void EnableClipPlanes(bool on)
{
    for (int i = 0; i < 4; ++i)
        on ? glEnable(GL_CLIP_PLANE0 + i) : glDisable(GL_CLIP_PLANE0 + i);
}

void ResetModelView()
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

// Lighting back as the device has it (its light set up when on).
void RestoreLighting(LumoraDevice* device)
{
    device->EnableLighting(device->IsLightingEnabled());
}

// Step 17: a translucent red wall under each open section's line, its name
// above it.
void DrawSectionMarkers(LumoraDevice* device)
{
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_ALPHA_TEST);
    const float low = static_cast<float>(gProjet.NiveauBas);
    const float high = static_cast<float>(gProjet.NiveauHaut);
    for (SectionWindow* window : gProjet.GetWindows())
    {
        LumPoint a, b;
        if (!window || !window->GetSectionLine(a, b))
            continue;
        glColor4f(1.0f, 0.0f, 0.0f, 0.5f);
        ResetModelView();
        glBegin(GL_QUADS);
        glVertex3f(static_cast<float>(a.x), static_cast<float>(a.y), low);
        glVertex3f(static_cast<float>(a.x), static_cast<float>(a.y), high);
        glVertex3f(static_cast<float>(b.x), static_cast<float>(b.y), high);
        glVertex3f(static_cast<float>(b.x), static_cast<float>(b.y), low);
        glEnd();
        glColor3f(1.0f, 0.0f, 0.0f);
        ResetModelView();
        glTranslated((a.x + b.x) / 2.0, (a.y + b.y) / 2.0, high + 1.0);
        device->Draw2DText(window->GetSectionName());
    }
    glDisable(GL_ALPHA_TEST);
}
} // namespace

void RenderExcavation()
{
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    ResetModelView();
    glLineWidth(3.0f);
    glColor3f(1.0f, 0.0f, 1.0f);
    for (const std::vector<LumPoint>& line : gIntersectionLines)
    {
        glBegin(GL_LINE_STRIP);
        for (const LumPoint& p : line)
            glVertex3f(static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z));
        // Each line drawn closed.
        if (!line.empty())
            glVertex3f(static_cast<float>(line[0].x), static_cast<float>(line[0].y),
                       static_cast<float>(line[0].z));
        glEnd();
    }
    glLineWidth(1.0f);
    ResetModelView();
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
}

void RenderSondages()
{
    LumoraDevice* device = gFenetreTunnel ? gFenetreTunnel->GetMainDevice() : nullptr;
    for (int i = 0; i < gProjet.GetNumberOfSondages(); ++i)
        if (Sondage* sondage = gProjet.GetSondage(i))
            sondage->Render(device);
}

// The layers that their drawing would triangulate, all at once rather than
// each when it is drawn (a project just opened has every layer stale). The
// computation triangulates those it cuts the same way.
void TriangulateStaleLayers()
{
    if (!gProjet.TriangulationAffichee)
        return;
    std::vector<Couche*> layers;
    for (int i = 0; i < gProjet.GetNumberOfCouches(); ++i)
        if (Couche* couche = gProjet.GetCouche(i); couche && couche->GetDisplayMesh())
            layers.push_back(couche);
    Couche::TriangulateAll(layers);
}

// The cut meshes' renderable copies that this frame's layers would bring up
// to date one by one as they draw, made side by side: those of the layers
// drawn (any opacity but 0) while the head or the works are shown.
void RefreshShownCuts()
{
    if (!gProjet.m3DAffichageTete && !gProjet.TravauxTransparence)
        return;
    std::vector<Couche*> layers;
    for (int i = 0; i < gProjet.GetNumberOfCouches(); ++i)
        if (Couche* couche = gProjet.GetCouche(i);
            couche && (couche->Opacite != 0 || couche->OpacityOverride >= 0))
            layers.push_back(couche);
    Couche::RefreshCutDisplaysAll(layers);
}

void RenderView3D(LumoraDevice* device)
{
    glDisable(GL_TEXTURE_2D);
    // At most once per invalidation: the computation clears the flag. It
    // triangulates the layers it cuts under its own report hold; what it
    // leaves stale is triangulated here.
    if (gProjet.m3DAffichageTete && gProjet.IsExcavationStale())
    {
        ComputeExcavation();
        NoteExcavationComputed();
    }
    TriangulateStaleLayers();
    RefreshShownCuts();
    if (gPlacementDrawer)
        gPlacementDrawer(device);
    if (gProjet.m3DAxe)
        gProjet.GetAxe().Render();

    // Clip box: the zone, a third of its extent wider for scenery and
    // boreholes, i hundredths wider for layer i.
    const double x0 = gProjet.Limite1.x, x1 = gProjet.Limite2.x;
    const double y0 = gProjet.Limite2.y, y1 = gProjet.Limite1.y;
    const float dx = static_cast<float>(std::fabs(gProjet.Limite2.x - gProjet.Limite1.x));
    const float dy = static_cast<float>(std::fabs(gProjet.Limite2.y - gProjet.Limite1.y));
    SetClipPlanes(x0, x1, y0, y1, dx / 3, dy / 3);
    EnableClipPlanes(true);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);

    for (int i = 0; i < gProjet.GetNumberOfDecors(); ++i)
        if (Decor* decor = gProjet.GetDecor(i))
            decor->Render(device);
    if (gProjet.m3DSondages)
        RenderSondages();

    const int count = gProjet.GetNumberOfCouches();
    for (int i = 0; i < count; ++i)
    {
        Couche* couche = gProjet.GetCouche(i);
        if (!couche)
            continue;
        SetClipPlanes(x0, x1, y0, y1, i * dx / 100, i * dy / 100);
        couche->Render(gProjet.m3DSegments, gProjet.m3DPoints, gProjet.m3DTriangles, device);
    }

    if (gProjet.m3DAffichageTete)
    {
        LumCamera* camera = device->GetCamera();
        const double distance = (camera->GetPosition() - gHeadPosition).Norm();
        LumPoint u = camera->GetPosition() - camera->GetTarget();
        Normalize(u);
        // Each deeper layer's cut a little nearer the eye, so that the cuts
        // of coincident layers do not fight.
        for (int i = count - 1; i >= 0; --i)
        {
            Couche* couche = gProjet.GetCouche(i);
            if (!couche || couche->Opacite == 0)
                continue;
            const double s = i * distance / 1000.0;
            ResetModelView();
            glTranslated(u.x * s, u.y * s, u.z * s);
            glTranslated(0.0, 0.0, s);
            couche->RenderIntersection(device);
        }
    }
    if (gProjet.TravauxTransparence)
    {
        ResetModelView();
        if (Couche* first = gProjet.GetCouche(0))
            first->RenderTerrainOverHead();
    }
    ResetModelView();
    if (gOverlayDrawer)
        gOverlayDrawer(device);

    EnableClipPlanes(false);
    RestoreLighting(device);
    ResetModelView();
    if (gProjet.m3DTriangles)
        for (int i = count - 1; i >= 0; --i)
            if (Couche* couche = gProjet.GetCouche(i))
                couche->RenderSide();
    for (int i = 0; i < gProjet.GetNumberOfDiscontinuites(); ++i)
        if (Discontinuite* family = gProjet.GetDiscontinuite(i))
            family->Render(gProjet.NiveauBas, gProjet.NiveauHaut);
    for (int i = count - 1; i >= 0; --i)
    {
        Couche* couche = gProjet.GetCouche(i);
        if (couche && couche->Opacite > 0)
        {
            couche->RenderZoneQuad();
            break;
        }
    }
    if (gProjet.HasExcavationResults() && gProjet.m3DAffichageLigneIntersection && gProjet.HasTeteExcavee())
        RenderExcavation();
    DrawSectionMarkers(device);
    glDisable(GL_BLEND);
}

namespace
{
KorRay RayAt(const EventInfo& event)
{
    return gFenetreTunnel->GetMainDevice()->GetCamera()->GetRay(event.x, event.y);
}

void FillGeneralMenu()
{
    PopupOVX::AppendItem("Réinitialiser les opacités", gPopup, OnResetOpacities);
    PopupOVX::AppendItem("Afficher tous les côtés de couche", gPopup, OnShowAllSides);
    PopupOVX::AppendItem("Masquer tous les côtés de couche", gPopup, OnHideAllSides);
}

// A lone "&" in a menu label marks a mnemonic: doubled, a name shows whole.
std::string MenuLabel(const std::string& name)
{
    std::string label;
    for (const char c : name)
        label += c == '&' ? std::string("&&") : std::string(1, c);
    return label;
}

void FillCoucheMenu(const Couche& couche)
{
    PopupOVX::AppendItem(MenuLabel(couche.Nom), gPopup, nullptr);
    PopupOVX::AppendItem("Changer la couleur", gPopup, OnChangeCoucheColour);
    PopupOVX::AppendItem("Changer l'opacité", gPopup, OnChangeCoucheOpacity);
    PopupOVX::AppendItem("Changer la texture", gPopup, OnChangeCoucheTexture);
    if (!couche.Texture.empty())
        PopupOVX::AppendItem("Supprimer la texture", gPopup, OnRemoveCoucheTexture);
    PopupOVX::AppendItem(couche.FrontAffiche ? "Masquer le côté" : "Afficher le côté", gPopup,
                         OnToggleCoucheSide);
    PopupOVX* families = PopupOVX::AddSubMenu("Discontinuités");
    for (const std::string& name : gProjet.GetDiscontinuiteNames())
        PopupOVX::AppendItem(MenuLabel(name), families, OnToggleDiscontinuite,
                             couche.HasDiscontinuite(name) ? 1 : 0);
    PopupOVX::AppendItem("", gPopup, nullptr);
    PopupOVX::AppendItem("Editer les points de la couche", gPopup, OnEditCouchePoints);
    PopupOVX::AppendItem("", gPopup, nullptr);
    PopupOVX::AppendItem("Exporter la couche au format DXF", gPopup, OnExportCoucheDXF);
}

void FillDecorMenu(const Decor& decor)
{
    PopupOVX::AppendItem("Déplacer", gPopup, OnDecorMove);
    PopupOVX::AppendItem("Effectuer une rotation", gPopup, OnDecorRotate);
    PopupOVX::AppendItem("Changer la taille", gPopup, OnDecorResize);
    PopupOVX::AppendItem("", gPopup, nullptr);
    PopupOVX::AppendItem("Changer la couleur du décor", gPopup, OnChangeDecorColour);
    PopupOVX::AppendItem("Changer la texture du décor", gPopup, OnChangeDecorTexture);
    if (!decor.Texture.empty())
        PopupOVX::AppendItem("Supprimer la texture", gPopup, OnRemoveDecorTexture);
    PopupOVX::AppendItem("", gPopup, nullptr);
    PopupOVX::AppendItem("Supprimer le décor", gPopup, OnDeleteDecor);
}
} // namespace

Couche* PickCoucheSide(const EventInfo& event, double& distance)
{
    float best = 1e10f;
    Couche* picked = nullptr;
    const KorRay ray = RayAt(event);
    for (int i = 0; i < gProjet.GetNumberOfCouches(); ++i)
    {
        Couche* couche = gProjet.GetCouche(i);
        float t = 0.0f;
        // On a near tie the later layer in the list wins.
        if (couche && couche->IntersectRay(ray, t) && (t < best || std::fabs(t - best) < 0.0001f))
        {
            picked = couche;
            best = t;
        }
    }
    distance = best;
    return picked;
}

Decor* PickDecor(const EventInfo& event, double& distance)
{
    double best = 1e10;
    Decor* picked = nullptr;
    const KorRay ray = RayAt(event);
    for (int i = 0; i < gProjet.GetNumberOfDecors(); ++i)
    {
        Decor* decor = gProjet.GetDecor(i);
        LumHandledMesh* shown = decor ? decor->GetRenderable() : nullptr;
        if (!shown || !shown->GetBoundingBox().IntersectRay(ray))
            continue;
        double t = 0.0;
        // On a tie the earlier object wins.
        if (decor->GetMesh().IntersectRay(ray, 0.0, 1e10, t, nullptr) && t < best)
        {
            picked = decor;
            best = t;
        }
    }
    distance = best;
    return picked;
}

bool OnView3DEvent(const EventInfo& event)
{
    if (event.button != 3 || !event.released || event.draggedSincePress || !gFenetreTunnel)
        return false;
    double coucheDistance = 1e10, decorDistance = 1e10;
    Couche* couche = PickCoucheSide(event, coucheDistance);
    Decor* decor = PickDecor(event, decorDistance);
    PopupOVX::Clear();
    if (decor && (!couche || decorDistance <= coucheDistance))
    {
        gPickedDecor = gProjet.GetDecorIndex(decor);
        FillDecorMenu(*decor);
    }
    else if (couche)
    {
        gPickedCouche = gProjet.GetCoucheIndex(couche);
        FillCoucheMenu(*couche);
    }
    else
        FillGeneralMenu();
    ShowPopup(gFenetreTunnel->GetCanvas(), event.x, event.y);
    return false;
}
