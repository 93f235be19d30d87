#include "Discontinuite.h"

#include "DiscontinuiteRecorders.h"
#include "ModelUi.h"
#include "ProjetOVX.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

Discontinuite::Discontinuite(const std::string& name) : Nom(name)
{
    RegisterXML();
}

Discontinuite::Discontinuite(const Discontinuite& other)
    : ElementOVX(other), XMLable(other), Nom(other.Nom), Azimut(other.Azimut), Pendage(other.Pendage),
      Espace(other.Espace), EcartType(other.EcartType), Origine(other.Origine),
      OrigineAffichee(other.OrigineAffichee)
{
    RegisterXML();
}

Discontinuite& Discontinuite::operator=(const Discontinuite& other)
{
    Nom = other.Nom;
    Azimut = other.Azimut;
    Pendage = other.Pendage;
    Espace = other.Espace;
    EcartType = other.EcartType;
    Origine = other.Origine;
    OrigineAffichee = other.OrigineAffichee;
    return *this;
}

void Discontinuite::RegisterXML()
{
    AddVariable("Nom", &Nom);
    AddVariable("Azimut", &Azimut);
    AddVariable("Pendage", &Pendage);
    AddVariable("Espace", &Espace);
    AddVariable("EcartType", &EcartType);
    AddVariable("Origine", &Origine);
    AddVariable("OrigineAffichee", &OrigineAffichee);
}

char Discontinuite::ForbiddenNameChar(const std::string& name)
{
    for (const char c : name)
        if (c == '|' || c == '$')
            return c;
    return 0;
}

std::string Discontinuite::NameRefusal(const std::string& name)
{
    const char c = ForbiddenNameChar(name);
    if (!c)
        return std::string();
    return std::string("Le nom d'une discontinuité ne peut pas contenir le caractère '") + c + "'.";
}

bool Discontinuite::ApplyEdit(double azimut, double pendage, double espace, double ecartType, bool shown)
{
    // A value that is not a number would give surfaces of NaN.
    for (const double v : {azimut, pendage, espace, ecartType})
        if (!std::isfinite(v))
            return false;
    const auto differs = [](double a, double b) { return !(std::fabs(a - b) < 1e-5); };
    if (!differs(azimut, Azimut) && !differs(pendage, Pendage) && !differs(espace, Espace) &&
        !differs(ecartType, EcartType))
        return false;
    Discontinuite after(*this);
    after.Azimut = azimut;
    after.Pendage = pendage;
    after.Espace = espace;
    after.EcartType = ecartType;
    after.OrigineAffichee = shown;
    RecordDiscontinuiteChange(*this, after);
    SetValues(azimut, pendage, espace, ecartType);
    OrigineAffichee = shown;
    return true;
}

void Discontinuite::SetValues(const double& azimut, const double& pendage, const double& espace,
                              const double& ecartType)
{
    // A NaN compares false: it counts as a change, so the surfaces are
    // rebuilt rather than left from the old values.
    const auto moved = [](double a, double b) { return !(std::fabs(a - b) <= 1e-5); };
    if (moved(azimut, Azimut) || moved(pendage, Pendage) || moved(espace, Espace) ||
        moved(ecartType, EcartType))
        gProjet.MarkCouchesDiscontinuiteChanged(Nom);
    Azimut = azimut;
    Pendage = pendage;
    Espace = espace;
    EcartType = ecartType;
    GetModelUi().RefreshDisplay();
}

void Discontinuite::SetOrigine(const LumPoint& point, bool record)
{
    // A point put back where it stood (a click without a drag) is no step.
    if (record && !(point.x == Origine.x && point.y == Origine.y && point.z == Origine.z))
        RecordDiscontinuiteOrigineChange(Nom, Origine, point);
    Origine = point;
}

std::vector<int> Discontinuite::RemoveFromLists(const std::string& name,
                                                const std::vector<std::vector<std::string>*>& lists)
{
    std::vector<int> positions;
    for (size_t i = 0; i < lists.size(); ++i)
    {
        std::vector<std::string>* list = lists[i];
        if (!list || std::find(list->begin(), list->end(), name) == list->end())
            continue;
        list->erase(std::remove(list->begin(), list->end(), name), list->end());
        positions.push_back(static_cast<int>(i));
    }
    return positions;
}

std::vector<int> Discontinuite::GiveBackToLists(const std::string& name,
                                                const std::vector<std::vector<std::string>*>& lists,
                                                const std::vector<int>& positions)
{
    std::vector<int> changed;
    for (const int i : positions)
    {
        if (i < 0 || i >= static_cast<int>(lists.size()) || !lists[i])
            continue;
        std::vector<std::string>* list = lists[i];
        if (std::find(list->begin(), list->end(), name) != list->end())
            continue;
        list->push_back(name);
        changed.push_back(i);
    }
    return changed;
}

void Discontinuite::Render(double zmin, double zmax)
{
    if (!OrigineAffichee)
        return;
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4d(0.0, 0.0, 1.0, 0.6);

    const LumPoint& a = gProjet.Limite1;
    const LumPoint& b = gProjet.Limite2;
    const double dx = std::fabs(b.x - a.x) / 10.0;
    const double dz = (zmax - zmin) / 5.0;
    const LumPoint low(std::min(a.x, b.x) - dx, std::min(a.y, b.y) - dx, zmin - dz);
    const LumPoint high(std::max(a.x, b.x) + dx, std::max(a.y, b.y) + dx, zmax + dz);
    const auto inside = [](double v, double lo, double hi) { return v >= lo && v <= hi; };
    // Written so that a coordinate that is not a number counts as outside.
    if (!inside(Origine.x, low.x, high.x) || !inside(Origine.y, low.y, high.y) ||
        !inside(Origine.z, low.z, high.z))
        Origine = (low + high) * 0.5;

    const GLdouble planes[6][4] = {{1, 0, 0, -low.x},  {-1, 0, 0, high.x}, {0, 1, 0, -low.y},
                                   {0, -1, 0, high.y}, {0, 0, 1, -low.z},  {0, 0, -1, high.z}};
    for (int i = 0; i < 6; ++i)
    {
        glClipPlane(GL_CLIP_PLANE0 + i, planes[i]);
        glEnable(GL_CLIP_PLANE0 + i);
    }
    glDisable(GL_TEXTURE_2D);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);

    constexpr double kDegToRad = 3.14159265358979323846 / 180.0;
    const double az = (90.0 - Azimut) * kDegToRad, strike = -Azimut * kDegToRad, dip = Pendage * kDegToRad;
    const double h = 5000.0;
    const LumPoint u =
        LumPoint(std::cos(az) * std::cos(dip), std::sin(az) * std::cos(dip), -std::sin(dip)) * h;
    const LumPoint v = LumPoint(std::cos(strike), std::sin(strike), 0.0) * h;
    const LumPoint corners[4] = {Origine + u - v, Origine + u + v, Origine - u + v, Origine - u - v};
    glBegin(GL_QUADS);
    for (const LumPoint& c : corners)
        glVertex3f(static_cast<float>(c.x), static_cast<float>(c.y), static_cast<float>(c.z));
    glEnd();

    for (int i = 0; i < 6; ++i)
        glDisable(GL_CLIP_PLANE0 + i);
    glDisable(GL_BLEND);
    glPopMatrix();
}
