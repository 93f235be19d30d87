#include "Discontinuite3D.h"

#include "KorException.h"
#include "KorGeometry.h"

#include <GL/gl.h>

#include <cmath>
#include <exception>
#include <iostream>

Discontinuite3D::Discontinuite3D() = default;

Discontinuite3D::~Discontinuite3D() = default;

void Discontinuite3D::ComputeNormal()
{
    const double s = ToRadian(90.0 - DipDirection);
    const double a = ToRadian(-DipDirection);
    const double g = ToRadian(Dip);
    const LumPoint u(std::cos(s) * std::cos(g), std::sin(s) * std::cos(g), -std::sin(g));
    const LumPoint v(std::cos(a), std::sin(a), 0.0);
    Normal = u ^ v;
}

void Discontinuite3D::ComputeGeometry()
{
    Offsets.clear();
    Spacing = std::fabs(Spacing);
    // Written so that a spacing that is not a number gives no plane.
    if (!(Spacing >= 1e-5) || !std::isfinite(Spread))
        return;
    ComputeNormal();

    double dmin = 0.0, dmax = 0.0;
    for (int i = 0; i < 8; ++i)
    {
        const LumPoint c((i & 1) ? Box.Max.x : Box.Min.x, (i & 2) ? Box.Max.y : Box.Min.y,
                         (i & 4) ? Box.Max.z : Box.Min.z);
        const double d = -(Normal * c);
        if (i == 0 || d < dmin)
            dmin = d;
        if (i == 0 || d > dmax)
            dmax = d;
    }

    const double S = Spacing, E = Spread;
    const double steps[6] = {std::fabs(S - E),       std::fabs(S + 2.0 * E), std::fabs(S - E),
                             std::fabs(S - 2.0 * E), std::fabs(S + E),       S};
    // One cycle advances by at least 6 S and adds at least one plane: more
    // cycles than the plane limit would take a hang's time for a drawing no
    // one can read.
    double cycle = 0.0;
    for (const double step : steps)
        cycle += step;
    const double cycles = (dmax - dmin - E) / cycle;
    if (!std::isfinite(cycles))
        return;
    if (cycles > MaxPlanes)
    {
        KorReport("Discontinuite3D::ComputeGeometry", "Espacement trop petit : aucun plan calculé");
        return;
    }
    double d = dmin + E;
    for (int i = 0; d < dmax; i = (i + 1) % 6)
    {
        if (Offsets.empty() || d - Offsets.back() > 1e-5)
        {
            if (static_cast<int>(Offsets.size()) == MaxPlanes)
            {
                Offsets.clear();
                KorReport("Discontinuite3D::ComputeGeometry", "Espacement trop petit : aucun plan calculé");
                return;
            }
            Offsets.push_back(d);
        }
        d += steps[i];
    }
}

int Discontinuite3D::AddTrace(const std::string& name)
{
    const int found = FindTrace(name);
    if (found >= 0)
        return found;
    Traces.push_back(Trace{name, {}});
    return static_cast<int>(Traces.size()) - 1;
}

int Discontinuite3D::FindTrace(const std::string& name) const
{
    for (size_t i = 0; i < Traces.size(); ++i)
        if (Traces[i].Name == name)
            return static_cast<int>(i);
    return -1;
}

int Discontinuite3D::GetTrace(const std::string& name, std::vector<LumPoint>& points) const
{
    const int k = FindTrace(name);
    if (k >= 0)
        points = Traces[k].Points;
    return k;
}

int Discontinuite3D::ClearTrace(const std::string& name)
{
    const int k = FindTrace(name);
    if (k >= 0)
        Traces[k].Points.clear();
    return k;
}

void Discontinuite3D::ComputePolygonTraces(const std::vector<LumPoint>& polygon, int k)
{
    if (k < 0 || k >= GetNumberOfTraces())
        return;
    std::vector<LumPoint>& out = Traces[k].Points;
    const size_t n = polygon.size();
    std::vector<LumPoint> crossings;
    for (const double offset : Offsets)
    {
        const float d = static_cast<float>(offset);
        // The crossings of one plane only: pairing across planes would
        // join points of two different planes.
        crossings.clear();
        for (size_t i = 0; i < n; ++i)
        {
            const LumPoint& a = polygon[i];
            const LumPoint& b = polygon[(i + 1) % n];
            double t = 0.0;
            if (!IntersectionPlanSegment(Normal, d, a, b, t) || !(t > -1e-5 && t < 1.00001))
                continue;
            const LumPoint p = a + (b - a) * t;
            // A vertex on the plane is met by both its edges.
            if (crossings.empty() || (p - crossings.back()).Norm() > 1e-5)
                crossings.push_back(p);
        }
        // The polygon's first vertex, met by its first and its last edge.
        if (crossings.size() > 1 && (crossings.back() - crossings.front()).Norm() <= 1e-5)
            crossings.pop_back();
        if (crossings.size() % 2)
            crossings.pop_back();
        out.insert(out.end(), crossings.begin(), crossings.end());
    }
}

void Discontinuite3D::ComputeFaceTraces(int k, const LumPoint& p0, const LumPoint& p1, const LumPoint& p2,
                                        const LumPoint& p3)
{
    if (k < 0 || k >= GetNumberOfTraces())
        return;
    const LumPoint* corners[5] = {&p0, &p1, &p2, &p3, &p0};
    std::vector<LumPoint>& out = Traces[k].Points;
    for (const double offset : Offsets)
    {
        const float d = static_cast<float>(offset);
        LumPoint found[2];
        int count = 0;
        for (int e = 0; e < 4 && count < 2; ++e)
        {
            const LumPoint& a = *corners[e];
            const LumPoint& b = *corners[e + 1];
            double t = 0.0;
            if (IntersectionPlanSegment(Normal, d, a, b, t) && t > 0.0 && t < 1.0)
                found[count++] = a + (b - a) * t;
        }
        if (count == 2)
        {
            out.push_back(found[0]);
            out.push_back(found[1]);
        }
    }
}

void Discontinuite3D::GetAllTracePoints(std::vector<LumPoint>& points) const
{
    for (const Trace& trace : Traces)
        points.insert(points.end(), trace.Points.begin(), trace.Points.end());
}

void Discontinuite3D::Render() const
{
    try
    {
        glLineWidth(1.0f);
        glBegin(GL_LINES);
        for (const Trace& trace : Traces)
        {
            if (!trace.Name.empty())
                continue;
            for (size_t i = 0; i + 1 < trace.Points.size(); i += 2)
            {
                const LumPoint& a = trace.Points[i];
                const LumPoint& b = trace.Points[i + 1];
                glVertex3f(static_cast<float>(a.x), static_cast<float>(a.y), static_cast<float>(a.z));
                glVertex3f(static_cast<float>(b.x), static_cast<float>(b.y), static_cast<float>(b.z));
            }
        }
        glEnd();
        glLineWidth(1.0f);
    }
    catch (const std::exception& e)
    {
        std::cout << "Discontinuite3D::Render -> Problème lors du rendu : '" << e.what() << "'" << std::endl;
        glLineWidth(1.0f);
    }
}
