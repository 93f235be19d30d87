#pragma once

// ASCII DXF entities written by the tests, with the group codes the reader
// knows: flat lightweight polylines (elevation 38), 3D polylines, POINTs
// and polyface meshes: a square of two triangles, a cube.

#include <sstream>
#include <string>
#include <vector>

namespace DXFTest
{
struct Pt
{
    double x, y, z;
};

inline std::string LwPolyline(const std::vector<Pt>& points)
{
    std::ostringstream out;
    out << "0\nLWPOLYLINE\n8\n0\n90\n" << points.size() << "\n70\n0\n38\n" << points.front().z << "\n";
    for (const Pt& p : points)
        out << "10\n" << p.x << "\n20\n" << p.y << "\n";
    return out.str();
}

inline std::string Vertex(const Pt& p, int flags)
{
    std::ostringstream out;
    out << "0\nVERTEX\n8\n0\n10\n" << p.x << "\n20\n" << p.y << "\n30\n" << p.z << "\n70\n" << flags << "\n";
    return out.str();
}

inline std::string Polyline3D(const std::vector<Pt>& points)
{
    std::string out = "0\nPOLYLINE\n8\n0\n66\n1\n70\n8\n";
    for (const Pt& p : points)
        out += Vertex(p, 32);
    return out + "0\nSEQEND\n";
}

inline std::string Point(const Pt& p)
{
    std::ostringstream out;
    out << "0\nPOINT\n8\n0\n10\n" << p.x << "\n20\n" << p.y << "\n30\n" << p.z << "\n";
    return out.str();
}

// The square [lo, hi]² at altitude z.
inline std::string Polyface(double lo, double hi, double z)
{
    std::string out = "0\nPOLYLINE\n8\n0\n66\n1\n70\n64\n71\n4\n72\n2\n";
    for (const Pt& p : {Pt{lo, lo, z}, Pt{hi, lo, z}, Pt{hi, hi, z}, Pt{lo, hi, z}})
        out += Vertex(p, 192);
    out += "0\nVERTEX\n8\n0\n10\n0\n20\n0\n30\n0\n70\n128\n71\n1\n72\n2\n73\n3\n";
    out += "0\nVERTEX\n8\n0\n10\n0\n20\n0\n30\n0\n70\n128\n71\n1\n72\n3\n73\n4\n";
    return out + "0\nSEQEND\n";
}

// The cube [lo, hi]³ as a polyface mesh of six quadrilaterals; corner i
// is at hi in x for bit 0 of i, in y for bit 1, in z for bit 2.
inline std::string PolyfaceCube(double lo, double hi)
{
    std::string out = "0\nPOLYLINE\n8\n0\n66\n1\n70\n64\n71\n8\n72\n6\n";
    for (int i = 0; i < 8; ++i)
        out += Vertex({i & 1 ? hi : lo, i & 2 ? hi : lo, i & 4 ? hi : lo}, 192);
    const int faces[6][4] = {{1, 3, 4, 2}, {5, 6, 8, 7}, {1, 2, 6, 5}, {3, 7, 8, 4}, {1, 5, 7, 3}, {2, 4, 8, 6}};
    for (const auto& f : faces)
    {
        std::ostringstream face;
        face << "0\nVERTEX\n8\n0\n10\n0\n20\n0\n30\n0\n70\n128\n71\n" << f[0] << "\n72\n" << f[1]
             << "\n73\n" << f[2] << "\n74\n" << f[3] << "\n";
        out += face.str();
    }
    return out + "0\nSEQEND\n";
}

inline std::string File(const std::string& entities)
{
    return "0\nSECTION\n2\nENTITIES\n" + entities + "0\nENDSEC\n0\nEOF\n";
}
} // namespace DXFTest
