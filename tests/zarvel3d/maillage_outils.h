#pragma once
// Builders and readers for the mesh tests: STL writers of our own, OBJ and PLY readers, and
// the invariants compared across formats (triangle count, volume, bounding box).

#include "zarvel3d/zarvel3d.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <stdlib.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace outils
{

using Triangle = std::array<std::array<double, 3>, 3>;
using Maillage = std::vector<Triangle>;

/// Cube of side `c` from `o`, 12 triangles counter-clockwise seen from outside.
inline Maillage Cube(double c = 1.0, std::array<double, 3> o = {0, 0, 0})
{
    auto p = [&](int x, int y, int z) {
        return std::array<double, 3>{o[0] + c * x, o[1] + c * y, o[2] + c * z};
    };
    const int quads[6][4][3] = {
        {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}}, {{0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}},
        {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}}, {{0, 1, 0}, {0, 1, 1}, {1, 1, 1}, {1, 1, 0}},
        {{0, 0, 0}, {0, 0, 1}, {0, 1, 1}, {0, 1, 0}}, {{1, 0, 0}, {1, 1, 0}, {1, 1, 1}, {1, 0, 1}}};
    Maillage m;
    for (const auto& q : quads)
    {
        const auto a = p(q[0][0], q[0][1], q[0][2]), b = p(q[1][0], q[1][1], q[1][2]),
                   cc = p(q[2][0], q[2][1], q[2][2]), d = p(q[3][0], q[3][1], q[3][2]);
        m.push_back({a, b, cc});
        m.push_back({a, cc, d});
    }
    return m;
}

/// Torus of radii 3 and 1 on an nu x nv grid (smooth: no sharp edge at 35 degrees for nv >= 16).
inline Maillage Tore(int nu, int nv)
{
    auto p = [&](int i, int j)
    {
        const double u = 2 * M_PI * (i % nu) / nu, v = 2 * M_PI * (j % nv) / nv;
        return std::array<double, 3>{(3 + std::cos(v)) * std::cos(u), (3 + std::cos(v)) * std::sin(u),
                                     std::sin(v)};
    };
    Maillage m;
    for (int i = 0; i < nu; ++i)
    {
        for (int j = 0; j < nv; ++j)
        {
            m.push_back({p(i, j), p(i + 1, j), p(i + 1, j + 1)});
            m.push_back({p(i, j), p(i + 1, j + 1), p(i, j + 1)});
        }
    }
    return m;
}

inline std::array<double, 3> Normale(const Triangle& t)
{
    const double u[3] = {t[1][0] - t[0][0], t[1][1] - t[0][1], t[1][2] - t[0][2]};
    const double v[3] = {t[2][0] - t[0][0], t[2][1] - t[0][1], t[2][2] - t[0][2]};
    std::array<double, 3> n = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                               u[0] * v[1] - u[1] * v[0]};
    const double l = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    for (double& x : n)
    {
        x = l > 0 ? x / l : 0;
    }
    return n;
}

/// Binary STL. `entete` fills the 80-byte header; normals are zero when `normales` is false.
inline void EcritBinaire(const std::string& chemin, const Maillage& m, bool normales = true,
                         const std::string& entete = "test mesh")
{
    std::ofstream f(chemin, std::ios::binary);
    char h[80] = {};
    std::memcpy(h, entete.data(), std::min<std::size_t>(80, entete.size()));
    f.write(h, 80);
    const std::uint32_t n = static_cast<std::uint32_t>(m.size());
    f.write(reinterpret_cast<const char*>(&n), 4);
    for (const Triangle& t : m)
    {
        float v[12] = {};
        if (normales)
        {
            const auto nn = Normale(t);
            for (int k = 0; k < 3; ++k)
            {
                v[k] = static_cast<float>(nn[k]);
            }
        }
        for (int c = 0; c < 3; ++c)
        {
            for (int k = 0; k < 3; ++k)
            {
                v[3 + 3 * c + k] = static_cast<float>(t[c][k]);
            }
        }
        f.write(reinterpret_cast<const char*>(v), sizeof v);
        f.write("\0\0", 2);
    }
}

/// ASCII STL with full precision.
inline std::string TexteAscii(const Maillage& m, bool normales = true, const char* nom = "essai")
{
    std::ostringstream o;
    o.precision(17);
    o << "solid " << nom << "\n";
    for (const Triangle& t : m)
    {
        const auto n = normales ? Normale(t) : std::array<double, 3>{0, 0, 0};
        o << "  facet normal " << n[0] << " " << n[1] << " " << n[2] << "\n    outer loop\n";
        for (const auto& p : t)
        {
            o << "      vertex " << p[0] << " " << p[1] << " " << p[2] << "\n";
        }
        o << "    endloop\n  endfacet\n";
    }
    o << "endsolid " << nom << "\n";
    return o.str();
}

inline void EcritTexte(const std::string& chemin, const std::string& texte)
{
    std::ofstream f(chemin, std::ios::binary);
    f << texte;
}

inline std::string LitTout(const std::string& chemin)
{
    std::ifstream f(chemin, std::ios::binary);
    std::ostringstream o;
    o << f.rdbuf();
    return o.str();
}

/// The triangles of a scene, surface by surface.
inline Maillage Triangles(const Zarvel3D::PScene3D& scene)
{
    Maillage m;
    for (const auto& s : scene.Modele().surfaces)
    {
        for (const auto& t : s.triangles)
        {
            Triangle r;
            for (int c = 0; c < 3; ++c)
            {
                r[c] = {t.sommets[c].x, t.sommets[c].y, t.sommets[c].z};
            }
            m.push_back(r);
        }
    }
    return m;
}

/// Signed volume (divergence theorem).
inline double Volume(const Maillage& m)
{
    double v = 0;
    for (const Triangle& t : m)
    {
        const auto &a = t[0], &b = t[1], &c = t[2];
        v += a[0] * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) +
             a[2] * (b[0] * c[1] - b[1] * c[0]);
    }
    return v / 6.0;
}

/// Bounding box: min x, y, z then max x, y, z.
inline std::array<double, 6> Boite(const Maillage& m)
{
    std::array<double, 6> b = {1e300, 1e300, 1e300, -1e300, -1e300, -1e300};
    for (const Triangle& t : m)
    {
        for (const auto& p : t)
        {
            for (int k = 0; k < 3; ++k)
            {
                b[k] = std::min(b[k], p[k]);
                b[3 + k] = std::max(b[3 + k], p[k]);
            }
        }
    }
    return b;
}

/// Same triangle count, volume and bounding box to `rel` relative to the box's size.
inline void ExpectMemeSolide(const Maillage& a, const Maillage& b, double rel = 1e-6)
{
    ASSERT_EQ(a.size(), b.size());
    const auto ba = Boite(a), bb = Boite(b);
    double taille = 0;
    for (int k = 0; k < 3; ++k)
    {
        taille = std::max(taille, ba[3 + k] - ba[k]);
    }
    for (int k = 0; k < 6; ++k)
    {
        EXPECT_NEAR(ba[k], bb[k], rel * taille) << "bounding box " << k;
    }
    const double va = Volume(a);
    EXPECT_NEAR(va, Volume(b), rel * std::max(std::fabs(va), 1e-300));
}

/// Reads an OBJ of triangles ("v" and "f a//n b//n c//n" or "f a b c").
inline Maillage LitOBJ(const std::string& chemin)
{
    std::ifstream f(chemin);
    std::vector<std::array<double, 3>> v;
    Maillage m;
    std::string ligne;
    while (std::getline(f, ligne))
    {
        std::istringstream l(ligne);
        std::string mot;
        l >> mot;
        if (mot == "v")
        {
            std::array<double, 3> p;
            l >> p[0] >> p[1] >> p[2];
            v.push_back(p);
        }
        else if (mot == "f")
        {
            Triangle t;
            for (int c = 0; c < 3; ++c)
            {
                std::string coin;
                l >> coin;
                const long i = std::stol(coin.substr(0, coin.find('/')));
                t[c] = v.at(static_cast<std::size_t>(i - 1));
            }
            m.push_back(t);
        }
    }
    return m;
}

/// Reads a binary little-endian PLY whose vertices start with x, y, z (float or double) and
/// whose faces are "list uchar int" triangles.
inline Maillage LitPLY(const std::string& chemin)
{
    const std::string tout = LitTout(chemin);
    const std::size_t fin = tout.find("end_header\n");
    if (fin == std::string::npos || tout.compare(0, 4, "ply\n") != 0 ||
        tout.find("format binary_little_endian 1.0") == std::string::npos)
    {
        ADD_FAILURE() << "not a binary little-endian PLY";
        return {};
    }
    std::istringstream entete(tout.substr(0, fin));
    std::string ligne;
    std::size_t nv = 0, nf = 0, taille_sommet = 0;
    bool xyz_double = false;
    std::string element;
    while (std::getline(entete, ligne))
    {
        std::istringstream l(ligne);
        std::string mot, type, nom;
        l >> mot;
        if (mot == "element")
        {
            l >> element;
            (element == "vertex" ? nv : nf) =
                static_cast<std::size_t>(std::stoul(ligne.substr(ligne.rfind(' ') + 1)));
        }
        else if (mot == "property" && element == "vertex")
        {
            l >> type >> nom;
            const std::size_t t = (type == "double") ? 8 : 4;
            if (nom == "x")
            {
                xyz_double = type == "double";
            }
            taille_sommet += t;
        }
    }
    const char* p = tout.data() + fin + 11;
    std::vector<std::array<double, 3>> v(nv);
    for (std::size_t i = 0; i < nv; ++i, p += taille_sommet)
    {
        for (int k = 0; k < 3; ++k)
        {
            if (xyz_double)
            {
                std::memcpy(&v[i][k], p + 8 * k, 8);
            }
            else
            {
                float x;
                std::memcpy(&x, p + 4 * k, 4);
                v[i][k] = x;
            }
        }
    }
    Maillage m;
    for (std::size_t i = 0; i < nf; ++i)
    {
        EXPECT_EQ(static_cast<unsigned char>(*p), 3u);
        Triangle t;
        for (int c = 0; c < 3; ++c)
        {
            std::int32_t j;
            std::memcpy(&j, p + 1 + 4 * c, 4);
            t[c] = v.at(static_cast<std::size_t>(j));
        }
        m.push_back(t);
        p += 13;
    }
    EXPECT_EQ(static_cast<std::size_t>(p - tout.data()), tout.size());
    return m;
}

/// A temporary directory, removed with its files.
class Repertoire
{
public:
    Repertoire()
    {
        char modele[] = "/tmp/zarvel3d_test_XXXXXX";
        chemin = mkdtemp(modele);
    }
    ~Repertoire() { std::system(("rm -rf '" + chemin + "'").c_str()); }
    std::string operator/(const std::string& nom) const { return chemin + "/" + nom; }
    /// Names of the files in the directory.
    std::vector<std::string> Fichiers() const
    {
        std::vector<std::string> noms;
        if (DIR* d = opendir(chemin.c_str()))
        {
            while (const dirent* e = readdir(d))
            {
                if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
                {
                    noms.push_back(e->d_name);
                }
            }
            closedir(d);
        }
        return noms;
    }
    const std::string& Chemin() const { return chemin; }

private:
    std::string chemin;
};

} // namespace outils
