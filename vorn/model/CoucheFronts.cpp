// The fronts of a layer: the outline of its surface clipped to its zone
// rectangle, the walls standing on it and the base quad.
#include "Couche.h"

#include "KorException.h"
#include "KorGeometry.h"
#include "ProjetOVX.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <string>

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

namespace
{
LumPoint Position(const KorVertex* v)
{
    return LumPoint(v->X, v->Y, v->Z);
}
} // namespace

bool Couche::GetContour(std::vector<int>& edges) const
{
    edges.clear();
    const KorMesh& mesh = mMeshes[Surface];
    const int slots = mesh.GetEdgeVectorSize();
    int first = -1;
    for (int id = 0; id < slots && first < 0; ++id)
        if (const KorEdge* e = mesh.GetEdge(id); e && e->Face == -1)
            first = id;
    if (first < 0)
        return true;
    // A border has at most as many half-edges as there are slots; a walk
    // that goes on past them never closes.
    int h = first;
    do
    {
        if (static_cast<int>(edges.size()) >= slots)
        {
            KorReport("Couche::GetContour",
                      "Nombre maximal de segments atteint : Finalisation du contour impossible");
            return false;
        }
        edges.push_back(h);
        const KorEdge* border = mesh.GetEdge(h);
        int candidate = border ? border->Turn : -1;
        int next = -1;
        for (int turns = 0; candidate >= 0 && turns <= slots; ++turns)
        {
            if (candidate == h)
                break;
            const KorEdge* c = mesh.GetEdge(candidate);
            const KorEdge* twin = c ? mesh.GetEdge(c->Opp) : nullptr;
            if (!twin)
                break;
            if (twin->Face == -1)
            {
                next = c->Opp;
                break;
            }
            candidate = c->Turn;
        }
        if (next < 0)
        {
            KorReport("Couche::GetContour", "Un tour complet a été fait autour du segment '" +
                                                std::to_string(h) + "' : Finalisation du contour impossible");
            return false;
        }
        h = next;
    } while (h != first);
    return true;
}

bool Couche::GetContour(std::vector<LumPoint>& points) const
{
    points.clear();
    std::vector<int> edges;
    const bool walked = GetContour(edges);
    const KorMesh& mesh = mMeshes[Surface];
    for (int id : edges)
    {
        const KorEdge* e = mesh.GetEdge(id);
        const KorVertex* v = e ? mesh.GetVertex(e->Vertex) : nullptr;
        if (!v)
        {
            KorReport("Couche::GetContour", "Impossible de trouver le vertex '" +
                                                std::to_string(e ? e->Vertex : -1) +
                                                "' : Finalisation du contour impossible");
            return false;
        }
        points.push_back(Position(v));
    }
    return walked;
}
