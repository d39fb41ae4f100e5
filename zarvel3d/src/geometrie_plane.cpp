#include "geometrie_plane.h"

namespace Zarvel3D::geometrie
{

Boite BoitePoints(const std::vector<std::array<double, 2>>& points)
{
    Boite b;
    for (const auto& p : points)
    {
        b.Ajout(p[0], p[1]);
    }
    return b;
}

double DistanceBoites(const Boite& a, const Boite& b)
{
    const double dx = std::max({0.0, a.xmin - b.xmax, b.xmin - a.xmax});
    const double dy = std::max({0.0, a.ymin - b.ymax, b.ymin - a.ymax});
    return std::hypot(dx, dy);
}

Boite BoiteArc(const ArcEllipse& arc)
{
    Boite b;
    const auto debut = arc.Point(arc.t0);
    const auto fin = arc.Point(arc.t1);
    b.Ajout(debut[0], debut[1]);
    b.Ajout(fin[0], fin[1]);
    // x(t) = cx + ux cos t + vx sin t is extreme where tan t = vx / ux, and y likewise; each
    // direction has two extremes, half a turn apart.
    const double extremes[] = {std::atan2(arc.vx, arc.ux), std::atan2(arc.vy, arc.uy)};
    const bool complet = TourComplet(arc.t0, arc.t1);
    for (double e : extremes)
    {
        for (double t : {e, e + M_PI})
        {
            if (complet || Ramene(t, arc.t0) <= arc.t1)
            {
                const auto p = arc.Point(t);
                b.Ajout(p[0], p[1]);
            }
        }
    }
    return b;
}

} // namespace Zarvel3D::geometrie
