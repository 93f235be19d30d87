#include "CoucheDrawing3D.h"

#include "Couche.h"
#include "Excavation.h"
#include "KorMesh.h"
#include "LumCamera.h"
#include "LumHandledMesh.h"
#include "LumoraDevice.h"
#include "ModelUi.h"
#include "ProjetOVX.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace
{
bool HasTriangles(const LumHandledMesh* mesh)
{
    return mesh && mesh->GetNumberOfTriangles() > 0;
}

// The mesh that stands for the layer: the remainder once the head cut it
// and the cut is shown, else the surface.
LumHandledMesh* ShownMesh(Couche& couche)
{
    LumHandledMesh* rest = couche.GetDisplayMesh(Couche::Intersection);
    if ((gProjet.m3DAffichageTete || gProjet.TravauxTransparence) && HasTriangles(rest))
        return rest;
    return couche.GetDisplayMesh(Couche::Surface);
}

void Colour(const Couche& couche, float alpha)
{
    glColor4f(couche.R / 255.0f, couche.G / 255.0f, couche.B / 255.0f, alpha);
}

void Blend(bool on)
{
    if (on)
    {
        glEnable(GL_BLEND);
        glEnable(GL_ALPHA_TEST);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    else
    {
        glDisable(GL_BLEND);
        glDisable(GL_ALPHA_TEST);
    }
}

// The layer's rectangle: the zone widened by index per cent on each side.
void ZoneRectangle(const Couche& couche, double& x0, double& y0, double& x1, double& y1)
{
    const int index = std::max(0, gProjet.GetCoucheIndex(&couche));
    x0 = std::min(gProjet.Limite1.x, gProjet.Limite2.x);
    x1 = std::max(gProjet.Limite1.x, gProjet.Limite2.x);
    y0 = std::min(gProjet.Limite1.y, gProjet.Limite2.y);
    y1 = std::max(gProjet.Limite1.y, gProjet.Limite2.y);
    const float mx = static_cast<float>((x1 - x0) / 100.0 * index);
    const float my = static_cast<float>((y1 - y0) / 100.0 * index);
    x0 -= mx;
    x1 += mx;
    y0 -= my;
    y1 += my;
}
} // namespace

void DrawCouche3D(Couche& couche, bool segments, bool points, bool faces)
{
    if (couche.NeedsTriangulation())
        couche.Triangulate();
    const int opacity = couche.OpacityOverride >= 0 ? couche.OpacityOverride : couche.Opacite;
    couche.OpacityOverride = -1;
    if (opacity == 0)
        return;
    LumHandledMesh* mesh = ShownMesh(couche);
    const GLboolean lighting = glIsEnabled(GL_LIGHTING);
    if (faces && mesh)
    {
        Blend(true);
        Colour(couche, opacity / 100.0f);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        mesh->Render(nullptr);
        Blend(false);
    }
    if (segments && mesh)
    {
        glDisable(GL_LIGHTING);
        glColor3f(0.0f, 0.0f, 0.0f);
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
        glPushMatrix();
        // Just above the faces, by a share of the view's width.
        LumoraDevice* device = GetModelUi().GetMainDevice();
        if (LumCamera* camera = device ? device->GetCamera() : nullptr)
            glTranslated(0.0, 0.0, camera->GetViewWidth() / 1500.0);
        mesh->Render(nullptr);
        glPopMatrix();
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    }
    if (points)
    {
        glDisable(GL_LIGHTING);
        static const float colours[5][3] = {{0, 0, 0}, {0, 0, 1}, {1, 0, 0}, {1, 1, 0}, {1, 0.8f, 0}};
        const KorMesh& surface = couche.GetMesh();
        glPointSize(5.0f);
        glBegin(GL_POINTS);
        for (int id = 0; id < surface.GetVertexVectorSize(); ++id)
            if (const KorVertex* v = surface.GetVertex(id))
            {
                const int type = couche.GetVertexType(id).Type;
                glColor3fv(colours[type >= 0 && type < 5 ? type : 0]);
                glVertex3f(static_cast<float>(v->X), static_cast<float>(v->Y), static_cast<float>(v->Z));
            }
        glEnd();
        if (const KorVertex* picked = surface.GetVertex(couche.GetPickedVertex()))
        {
            glPointSize(9.0f);
            glColor3f(1.0f, 0.5f, 0.0f);
            glBegin(GL_POINTS);
            glVertex3d(picked->X, picked->Y, picked->Z);
            glEnd();
        }
        glPointSize(1.0f);
    }
    if (lighting)
        glEnable(GL_LIGHTING);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

void DrawCoucheSide(Couche& couche)
{
    if (!couche.FrontAffiche || couche.FrontPoints.empty())
        return;
    Blend(true);
    Colour(couche, couche.Opacite / 100.0f);
    const float low = static_cast<float>(gProjet.NiveauBas);
    const size_t n = couche.FrontPoints.size();
    glBegin(GL_QUADS);
    for (size_t i = 0; i < n; ++i)
    {
        const LumPoint& p = couche.FrontPoints[i];
        const LumPoint& q = couche.FrontPoints[(i + 1) % n];
        LumPoint normal = (q - p) ^ LumPoint(0, 0, -1);
        Normalize(normal);
        glNormal3f(static_cast<float>(normal.x), static_cast<float>(normal.y), static_cast<float>(normal.z));
        glVertex3f(static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z));
        glVertex3f(static_cast<float>(q.x), static_cast<float>(q.y), static_cast<float>(q.z));
        glVertex3f(static_cast<float>(q.x), static_cast<float>(q.y), low);
        glVertex3f(static_cast<float>(p.x), static_cast<float>(p.y), low);
    }
    glEnd();
    Blend(false);
}

void DrawCoucheZoneQuad(Couche& couche)
{
    double x0, y0, x1, y1;
    ZoneRectangle(couche, x0, y0, x1, y1);
    glDisable(GL_BLEND);
    Colour(couche, 1.0f);
    const double z = gProjet.NiveauBas;
    glBegin(GL_QUADS);
    glNormal3d(0.0, 0.0, 1.0);
    glVertex3d(x0, y0, z);
    glVertex3d(x1, y0, z);
    glVertex3d(x1, y1, z);
    glVertex3d(x0, y1, z);
    glEnd();
}

void DrawCoucheIntersection(Couche& couche, LumoraDevice* device)
{
    LumHandledMesh* cut = couche.GetDisplayMesh(Couche::Tete);
    if (!HasTriangles(cut))
        return;
    glPushMatrix();
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    Blend(true);
    glDisable(GL_TEXTURE_2D);
    Colour(couche, couche.Opacite / 100.0f);
    cut->Render(nullptr);
    Blend(false);
    const GLboolean lighting = glIsEnabled(GL_LIGHTING);
    glDisable(GL_LIGHTING);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glColor3f(0.0f, 0.0f, 0.0f);
    if (LumCamera* camera = device ? device->GetCamera() : nullptr)
    {
        // The wireframe a little toward the eye so it shows over the faces.
        LumPoint u = camera->GetPosition() - camera->GetTarget();
        Normalize(u);
        const LumPoint shift = u * ((camera->GetPosition() - gHeadPosition).Norm() / 1000.0);
        glTranslated(shift.x, shift.y, shift.z);
    }
    cut->Render(nullptr);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    if (lighting)
        glEnable(GL_LIGHTING);
    glPopMatrix();
}

void DrawCoucheTerrainOverHead(Couche& couche)
{
    LumHandledMesh* over = couche.GetDisplayMesh(Couche::TerrainSurTete);
    if (!HasTriangles(over))
        return;
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDisable(GL_LIGHTING);
    Blend(true);
    glDisable(GL_TEXTURE_2D);
    Colour(couche, std::min(couche.Opacite, 75) / 100.0f);
    over->Render(nullptr);
    Blend(false);
}
