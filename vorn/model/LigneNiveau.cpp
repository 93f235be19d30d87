#include "LigneNiveau.h"

#include "Couche.h"
#include "LigneNiveauRecorders.h"
#include "LumCamera.h"
#include "LumoraDevice.h"
#include "ProjetOVX.h"
#include "SceneCoordinates.h"

#include <GL/gl.h>

#include <algorithm>
#include <set>

LigneNiveau::LigneNiveau(double profondeur) : Profondeur(profondeur)
{
    RegisterXML();
}

void LigneNiveau::RegisterXML()
{
    AddVariable("Profondeur", &Profondeur);
    AddVariable("Fermee", &Fermee);
    AddVariable("Points", &Points);
}

void LigneNiveau::FromXML(const XMLNode& node)
{
    XMLable::FromXML(node);
    Couche* couche = GetCouche();
    const int index = GetIndex();
    if (!couche || index < 0)
        return;
    KeepOwnPoints(*couche, index);
}

void LigneNiveau::KeepOwnPoints(const Couche& couche, int index)
{
    std::set<int> listed;
    std::vector<int> kept;
    for (int id : Points)
    {
        const Couche::sVertexType record = couche.GetVertexType(id);
        if (record.Type == 2 && record.Param == index && couche.GetMesh().GetVertex(id) &&
            listed.insert(id).second)
            kept.push_back(id);
    }
    Points.swap(kept);
}

Couche* LigneNiveau::GetCouche() const
{
    for (int i = 0; i < gProjet.GetNumberOfCouches(); ++i)
        if (Couche* couche = gProjet.GetCouche(i))
            if (couche->GetLigneNiveauIndex(this) >= 0)
                return couche;
    return nullptr;
}

int LigneNiveau::GetIndex() const
{
    const Couche* couche = GetCouche();
    return couche ? couche->GetLigneNiveauIndex(this) : -1;
}

int LigneNiveau::Find(int id) const
{
    const auto found = std::find(Points.begin(), Points.end(), id);
    return found == Points.end() ? -1 : static_cast<int>(found - Points.begin());
}

std::vector<KorVertex*> LigneNiveau::GetVertices(Couche& couche) const
{
    std::vector<KorVertex*> vertices;
    for (int id : Points)
        if (KorVertex* v = couche.GetMesh().GetVertex(id))
            vertices.push_back(v);
    return vertices;
}

int LigneNiveau::AddPoint(Couche& couche, double x, double y, bool interactive, int position, int at)
{
    const int index = couche.GetLigneNiveauIndex(this);
    const double z = Profondeur * 100.0 / gProjet.Echelle;
    const int id = couche.AddPoint(LumPoint(x, y, z), 2, index, interactive, false, at);
    if (id < 0)
        return -1;
    const Couche::sAddition addition = couche.GetLastAddition();
    const int count = static_cast<int>(Points.size());
    if (position >= 0 && position < count)
        Points.insert(Points.begin() + position, id);
    else if (count >= 2 && position != count)
    {
        // The first segment whose diameter circle holds the point (boundary
        // included) takes it; else the nearer end.
        std::vector<int> live;
        for (int k : Points)
            if (k != id && couche.GetMesh().GetVertex(k))
                live.push_back(k);
        const KorMesh& mesh = couche.GetMesh();
        auto d2 = [](double ax, double ay, double bx, double by)
        { return (ax - bx) * (ax - bx) + (ay - by) * (ay - by); };
        bool placed = false;
        for (size_t k = 1; k < live.size() && !placed; ++k)
        {
            const KorVertex* a = mesh.GetVertex(live[k - 1]);
            const KorVertex* b = mesh.GetVertex(live[k]);
            const double mx = (a->X + b->X) / 2.0, my = (a->Y + b->Y) / 2.0;
            if (d2(x, y, mx, my) <= d2(b->X, b->Y, mx, my))
            {
                Points.insert(Points.begin() + Find(live[k]), id);
                placed = true;
            }
        }
        if (!placed)
        {
            const KorVertex* first = live.empty() ? nullptr : mesh.GetVertex(live.front());
            const KorVertex* last = live.empty() ? nullptr : mesh.GetVertex(live.back());
            if (first && d2(x, y, first->X, first->Y) <= d2(x, y, last->X, last->Y))
                Points.insert(Points.begin() + Find(live.front()), id);
            else
                Points.push_back(id);
        }
    }
    else
        Points.push_back(id);
    if (interactive)
        RecordLigneNiveauPointAdd(gProjet.GetCoucheIndex(&couche), index, x, y, Find(id), addition);
    return id;
}

void LigneNiveau::RemovePoint(Couche& couche, int id, bool record)
{
    const int position = Find(id);
    const KorVertex* v = couche.GetMesh().GetVertex(id);
    if (position < 0 || !v)
        return;
    if (record)
        RecordLigneNiveauPointDelete(gProjet.GetCoucheIndex(&couche), couche.GetLigneNiveauIndex(this), id,
                                     LumPoint(v->X, v->Y, v->Z), position);
    Points.erase(Points.begin() + position);
    couche.DeletePoint(id, false);
}

void LigneNiveau::SetProfondeur(Couche& couche, float depth, bool record)
{
    const double z = WorldToScene(gProjet, LumPoint(0.0, 0.0, depth)).z;
    // The points' own altitudes (a layer move tilts them) for the undo.
    std::vector<std::pair<int, double>> heights;
    for (KorVertex* v : GetVertices(couche))
    {
        heights.emplace_back(v->ID, v->Z);
        v->Z = z;
    }
    couche.SetGeometryChanged();
    const double old = Profondeur;
    Profondeur = depth;
    if (record)
        RecordLigneNiveauProfondeurChange(gProjet.GetCoucheIndex(&couche), couche.GetLigneNiveauIndex(this),
                                          old, depth, heights);
}

void LigneNiveau::Constrain(KorMesh& mesh) const
{
    if (Points.size() < 2)
        return;
    // A file may list a point twice in a row: no segment from a point to
    // itself.
    Constraint segments;
    for (size_t k = 1; k < Points.size(); ++k)
        if (Points[k - 1] != Points[k])
            segments.emplace_back(Points[k - 1], Points[k]);
    if (Fermee != 0 && Points.back() != Points.front())
        segments.emplace_back(Points.back(), Points.front());
    ConstrainTriangulation(mesh, segments);
}

void LigneNiveau::Render(Couche& couche, LumoraDevice* device) const
{
    glDisable(GL_LIGHTING);
    const std::vector<KorVertex*> vertices = GetVertices(couche);
    const double width = device ? device->GetCamera()->GetViewWidth() : 0.0;
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslated(0.0, 0.0, width / 1000.0);
    glColor3d(1.0, 0.0, 0.0);
    glBegin(Fermee != 0 ? GL_LINE_LOOP : GL_LINE_STRIP);
    for (const KorVertex* v : vertices)
        glVertex3d(v->X, v->Y, v->Z);
    glEnd();
    glPopMatrix();
}
