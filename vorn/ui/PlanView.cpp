#include "PlanView.h"

#include "Axe.h"
#include "Couche.h"
#include "FondPlan.h"
#include "InterfaceModes.h"
#include "KorGraduation.h"
#include "KorMesh.h"
#include "LigneNiveau.h"
#include "LumCamera.h"
#include "LumoraContainer.h"
#include "LumoraDevice.h"
#include "ProjetOVX.h"

#include <GL/gl.h>

#include <cmath>
#include <sstream>
#include <vector>

namespace
{
LumoraDevice* sRenderedDevice = nullptr;

Couche* CurrentCouche()
{
    return gProjet.GetCouche(gProjet.CoucheCourante);
}

std::string DefaultText(double value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}

void DrawBackgroundPlan(LumoraDevice* device)
{
    if (FondPlan* plan = gProjet.GetFondPlanUtilise())
        plan->Render(device, gProjet.OpaciteFond);
}

void DrawZone()
{
    const LumPoint& l1 = gProjet.Limite1;
    const LumPoint& l2 = gProjet.Limite2;
    if (!((l2 - l1).Norm() > 1e-5))
        return;
    const float x1 = static_cast<float>(l1.x), y1 = static_cast<float>(l1.y);
    const float x2 = static_cast<float>(l2.x), y2 = static_cast<float>(l2.y);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glLineWidth(3.0f);
    glColor3f(0.0f, 1.0f, 1.0f);
    glBegin(GL_LINE_STRIP);
    glVertex3f(x1, y1, 0.0f);
    glVertex3f(x2, y1, 0.0f);
    glVertex3f(x2, y2, 0.0f);
    glVertex3f(x1, y2, 0.0f);
    glVertex3f(x1, y1, 0.0f);
    glEnd();
    glLineWidth(1.0f);
    glEnable(GL_DEPTH_TEST);
}

LumPoint AtAngle(double radius, int degrees)
{
    const double t = ToRadian(degrees);
    return LumPoint(radius * std::cos(t), radius * std::sin(t), 0.0);
}

void Vertex(const LumPoint& p)
{
    glVertex3d(p.x, p.y, p.z);
}
} // namespace

// The layer's plan: its triangulation's edges, its level lines, its points
// coloured by origin, the picked one larger.
void DrawPlanCouche(Couche& couche, bool segments, bool points)
{
    KorMesh& mesh = couche.GetMesh();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    if (segments)
    {
        if (couche.NeedsTriangulation())
            couche.Triangulate();
        glColor3ub(static_cast<GLubyte>(couche.R), static_cast<GLubyte>(couche.G),
                   static_cast<GLubyte>(couche.B));
        couche.RenderEdges();
    }
    if (gProjet.mLignesNiveauAffichees)
    {
        glColor3f(1.0f, 0.0f, 0.0f);
        glLineWidth(2.0f);
        for (int i = 0; i < couche.GetNumberOfLignesNiveau(); ++i)
        {
            LigneNiveau* ligne = couche.GetLigneNiveau(i);
            std::vector<KorVertex*> vertices = ligne->GetVertices(couche);
            glBegin(ligne->Fermee ? GL_LINE_LOOP : GL_LINE_STRIP);
            for (KorVertex* v : vertices)
                glVertex3d(v->X, v->Y, v->Z);
            glEnd();
        }
        glLineWidth(1.0f);
    }
    if (points)
    {
        static const GLubyte colours[5][3] = {{0, 0, 0}, {0, 0, 0}, {255, 0, 0}, {0, 0, 255}, {0, 160, 0}};
        glPointSize(5.0f);
        glBegin(GL_POINTS);
        for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
        {
            const KorVertex* v = mesh.GetVertex(id);
            if (!v || id == couche.GetPickedVertex())
                continue;
            const int type = couche.GetVertexType(id).Type;
            glColor3ubv(colours[type >= 0 && type < 5 ? type : 0]);
            glVertex3d(v->X, v->Y, v->Z);
        }
        glEnd();
        glPointSize(1.0f);
    }
    if (const KorVertex* picked = mesh.GetVertex(couche.GetPickedVertex()))
    {
        glPointSize(9.0f);
        glColor3ub(255, 128, 0);
        glBegin(GL_POINTS);
        glVertex3d(picked->X, picked->Y, picked->Z);
        glEnd();
        glPointSize(1.0f);
    }
}

// The background plan in use, 100 scene units tall before its size factor,
// keeping the image's proportions, blended at the project's opacity.

bool ComputeScaleBar(float scale, double extent, int height, double& metres, int& pixels)
{
    if (scale < 1e-5f || height <= 0 || !(extent > 0.0))
        return false;
    const double em = extent * scale / 100.0;
    metres = 100.0 * em / height;
    pixels = 100;
    std::vector<sScalePoint> ticks;
    GetScale(0.0, metres, ticks, 0.0);
    if (ticks.size() >= 2)
    {
        metres = ticks.back().value;
        if (std::fabs(em) > 1e-5)
            pixels = static_cast<int>(metres * height / em);
    }
    return true;
}

void DrawNorthArrow(const int& north)
{
    LumoraDevice* device = sRenderedDevice;
    if (!device)
        return;
    LumCamera* camera = device->GetCamera();
    int w = 0, h = 0;
    if (device->GetContainer())
        device->GetContainer()->GetDimensions(w, h);
    if (h <= 0)
        return;
    const LumPoint& position = camera->GetPosition();
    const double e = camera->GetExtent();
    const double v = e * w / h;
    const double a = e * 0.65f * 0.5, b = e * 0.8f * 0.5, c = e * 0.7f * 0.5, m = e * 0.2 * 0.5;
    const double bPrime = b - (b - c) / 5.0;
    const LumPoint tip = AtAngle(b, 90 - north);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslated(position.x, position.y, position.z);
    glTranslated(v / 2 - m - tip.x, e / 2 - m - tip.y, 0.0);
    glDisable(GL_DEPTH_TEST);
    glColor3f(0.0f, 0.0f, 0.0f);
    glBegin(GL_TRIANGLES);
    Vertex(AtAngle(a, 90 - north));
    Vertex(AtAngle(c, 86 - north));
    Vertex(AtAngle(c, 94 - north));
    Vertex(tip);
    Vertex(AtAngle(c, 86 - north));
    Vertex(AtAngle(c, 94 - north));
    glColor3f(1.0f, 1.0f, 1.0f);
    Vertex(AtAngle(bPrime, 90 - north));
    Vertex(AtAngle(c, 87 - north));
    Vertex(AtAngle(c, 93 - north));
    glEnd();
    glColor3f(0.0f, 0.0f, 0.0f);
    const LumPoint label = AtAngle(bPrime + c - a, 90 - north);
    glTranslated(label.x, label.y, 0.0);
    device->Draw2DText("N");
    glEnable(GL_DEPTH_TEST);
}

void DrawScaleBar(float scale)
{
    LumoraDevice* device = sRenderedDevice;
    if (!device || scale < 1e-5f)
        return;
    LumCamera* camera = device->GetCamera();
    const double e = camera->GetExtent();
    const int w = camera->GetCanvasWidth(), h = camera->GetCanvasHeight();
    double metres = 0.0;
    int pixels = 100;
    if (w == 0 || !ComputeScaleBar(scale, e, h, metres, pixels))
        return;
    const double u = e / h;
    const double v = e * w / h;
    const LumPoint& centre = camera->GetPosition();
    const double x0 = centre.x - v / 2 + 10 * u;
    const double x1 = x0 + pixels * u;
    const double y0 = centre.y - e / 2 + 25 * u, y1 = y0 + 5 * u;
    const double xm = (x0 + x1) / 2;

    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor3f(1.0f, 1.0f, 1.0f);
    glBegin(GL_QUADS);
    glVertex3d(x0, y1, 0.0);
    glVertex3d(x0, y0, 0.0);
    glVertex3d(x1, y0, 0.0);
    glVertex3d(x1, y1, 0.0);
    glColor3f(0.0f, 0.0f, 0.0f);
    glVertex3d(x0, y1, 0.0);
    glVertex3d(x0, y0, 0.0);
    glVertex3d(xm, y0, 0.0);
    glVertex3d(xm, y1, 0.0);
    glEnd();
    glBegin(GL_LINE_STRIP);
    glVertex3d(x0, y1, 0.0);
    glVertex3d(x0, y0, 0.0);
    glVertex3d(x1, y0, 0.0);
    glVertex3d(x1, y1, 0.0);
    glVertex3d(x0, y1, 0.0);
    glEnd();

    glTranslated(x0, y0 - 15 * u, 0.0);
    device->Draw2DText("0");
    glTranslated(pixels * u / 2, 0.0, 0.0);
    device->Draw2DText(DefaultText(metres / 2));
    glTranslated(pixels * u / 2, 0.0, 0.0);
    device->Draw2DText(DefaultText(metres));
    glEnable(GL_DEPTH_TEST);
}

void RenderPlanView(LumoraDevice* device)
{
    sRenderedDevice = device;
    glDisable(GL_TEXTURE_2D);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
    if (gPlanDrawFondPlan)
        DrawBackgroundPlan(device);
    if (gOverlayDrawer)
        gOverlayDrawer(device);
    else if (Couche* couche = CurrentCouche())
        DrawPlanCouche(*couche, gProjet.TriangulationAffichee, gProjet.PointsAffiches);
    if (gProjet.AffichageAxeCreation)
        gProjet.GetAxe().Render();
    if (gPlanDrawZone && gProjet.ZoneAffichee)
        DrawZone();
    if (gPlanDrawNord && gProjet.AffichageNordCreation)
        DrawNorthArrow(gProjet.Nord);
    if (gPlanDrawEchelle)
        DrawScaleBar(static_cast<float>(gProjet.Echelle));
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    sRenderedDevice = nullptr;
}
