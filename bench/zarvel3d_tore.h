#pragma once
// Binary STL torus for the benchmarks: nu x nv quads, two triangles each, outward normals.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace zarvel_bench
{

/// Writes a torus (radii 30 and 10) of 2 * nu * nv triangles to `chemin`, as binary STL or, with
/// `ascii`, as ASCII STL of the same float values. False on failure.
inline bool EcritTore(const std::string& chemin, long nu, long nv, bool ascii = false)
{
    std::FILE* f = std::fopen(chemin.c_str(), "wb");
    if (f == nullptr)
    {
        return false;
    }
    char entete[80];
    std::memset(entete, ' ', sizeof entete);
    std::memcpy(entete, "torus", 5);
    const std::uint32_t n = static_cast<std::uint32_t>(2 * nu * nv);
    if (ascii)
    {
        std::fputs("solid torus\n", f);
    }
    else
    {
        std::fwrite(entete, 1, 80, f);
        std::fwrite(&n, 4, 1, f);
    }
    auto point = [&](long i, long j, float* p)
    {
        const double u = 2 * M_PI * static_cast<double>(i % nu) / static_cast<double>(nu);
        const double v = 2 * M_PI * static_cast<double>(j % nv) / static_cast<double>(nv);
        p[0] = static_cast<float>((30 + 10 * std::cos(v)) * std::cos(u));
        p[1] = static_cast<float>((30 + 10 * std::cos(v)) * std::sin(u));
        p[2] = static_cast<float>(10 * std::sin(v));
    };
    // Room for two facets per quad: 100 bytes in binary, at most 2 * 350 in text.
    std::vector<char> ligne(static_cast<std::size_t>(nv) * 700);
    for (long i = 0; i < nu; ++i)
    {
        char* q = ligne.data();
        for (long j = 0; j < nv; ++j)
        {
            float a[3], b[3], c[3], d[3];
            point(i, j, a);
            point(i + 1, j, b);
            point(i + 1, j + 1, c);
            point(i, j + 1, d);
            const float* tris[2][3] = {{a, b, c}, {a, c, d}};
            for (auto& t : tris)
            {
                float e1[3], e2[3], nn[3];
                for (int k = 0; k < 3; ++k)
                {
                    e1[k] = t[1][k] - t[0][k];
                    e2[k] = t[2][k] - t[0][k];
                }
                nn[0] = e1[1] * e2[2] - e1[2] * e2[1];
                nn[1] = e1[2] * e2[0] - e1[0] * e2[2];
                nn[2] = e1[0] * e2[1] - e1[1] * e2[0];
                const float l = std::sqrt(nn[0] * nn[0] + nn[1] * nn[1] + nn[2] * nn[2]);
                for (float& x : nn)
                {
                    x = l > 0 ? x / l : 0;
                }
                if (ascii)
                {
                    // Nine significant digits read back to the same float.
                    q += std::sprintf(q, "  facet normal %.9g %.9g %.9g\n    outer loop\n", nn[0], nn[1],
                                      nn[2]);
                    for (int k = 0; k < 3; ++k)
                    {
                        q += std::sprintf(q, "      vertex %.9g %.9g %.9g\n", t[k][0], t[k][1], t[k][2]);
                    }
                    q += std::sprintf(q, "    endloop\n  endfacet\n");
                    continue;
                }
                std::memcpy(q, nn, 12);
                std::memcpy(q + 12, t[0], 12);
                std::memcpy(q + 24, t[1], 12);
                std::memcpy(q + 36, t[2], 12);
                q[48] = q[49] = 0;
                q += 50;
            }
        }
        std::fwrite(ligne.data(), 1, static_cast<std::size_t>(q - ligne.data()), f);
    }
    if (ascii)
    {
        std::fputs("endsolid torus\n", f);
    }
    return std::fclose(f) == 0;
}

} // namespace zarvel_bench
