// The fronts of a layer: the outline of its surface clipped to its zone
// rectangle, the walls standing on it and the base quad.
#include "Couche.h"

#include "ProjetOVX.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

void Couche::GetZoneRectangle(const LumPoint& limite1, const LumPoint& limite2, LumPoint& lo,
                              LumPoint& hi) const
{
    const double xmin = std::min(limite1.x, limite2.x), xmax = std::max(limite1.x, limite2.x);
    const double ymin = std::min(limite1.y, limite2.y), ymax = std::max(limite1.y, limite2.y);
    // Each layer's fronts stand its index per cent of the zone outside it,
    // so that the walls of successive layers do not coincide.
    const int index = std::max(0, gProjet.GetCoucheIndex(this));
    const double mx = static_cast<float>((xmax - xmin) / 100.0 * index);
    const double my = static_cast<float>((ymax - ymin) / 100.0 * index);
    lo = LumPoint(xmin - mx, ymin - my, 0.0);
    hi = LumPoint(xmax + mx, ymax + my, 0.0);
}

void Couche::RenderSide()
{
    if (!FrontAffiche)
        return;
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_ALPHA_TEST);
    glColor4f(R / 255.0f, G / 255.0f, B / 255.0f, Opacite / 100.0f);
    const float base = static_cast<float>(gProjet.NiveauBas);
    glBegin(GL_QUADS);
    for (size_t i = 0; i < FrontPoints.size(); ++i)
    {
        const LumPoint& p = FrontPoints[i];
        const LumPoint& q = FrontPoints[(i + 1) % FrontPoints.size()];
        LumPoint n = (q - p) ^ LumPoint(0, 0, -1);
        Normalize(n);
        glNormal3f(static_cast<float>(n.x), static_cast<float>(n.y), static_cast<float>(n.z));
        glVertex3f(static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z));
        glVertex3f(static_cast<float>(q.x), static_cast<float>(q.y), static_cast<float>(q.z));
        glVertex3f(static_cast<float>(q.x), static_cast<float>(q.y), base);
        glVertex3f(static_cast<float>(p.x), static_cast<float>(p.y), base);
    }
    glEnd();
    RenderDiscontinuites();
    glDisable(GL_BLEND);
}

void Couche::RenderZoneQuad()
{
    glDisable(GL_BLEND);
    glColor3d(R / 255.0, G / 255.0, B / 255.0);
    LumPoint lo, hi;
    GetZoneRectangle(gProjet.Limite1, gProjet.Limite2, lo, hi);
    const double z = gProjet.NiveauBas;
    glBegin(GL_QUADS);
    glNormal3d(0.0, 0.0, 1.0);
    glVertex3d(lo.x, lo.y, z);
    glVertex3d(hi.x, lo.y, z);
    glVertex3d(hi.x, hi.y, z);
    glVertex3d(lo.x, hi.y, z);
    glEnd();
}
