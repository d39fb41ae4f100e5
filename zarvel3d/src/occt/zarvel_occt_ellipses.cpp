// The kernel's part of the crossings of a view: pairs that involve an ellipse other than a
// circle, and the projection of a point on such an ellipse. Installed for the subdivision
// (zarvel_occt_croisements.h) when the module is loaded.

#include "geometrie_plane.h"
#include "zarvel_occt_croisements.h"

#include <Geom2dAPI_InterCurveCurve.hxx>
#include <Geom2dAPI_ProjectPointOnCurve.hxx>
#include <Geom2dInt_GInter.hxx>
#include <Geom2d_Circle.hxx>
#include <Geom2d_Ellipse.hxx>
#include <Geom2d_Line.hxx>
#include <Geom2d_TrimmedCurve.hxx>
#include <IntRes2d_IntersectionPoint.hxx>
#include <IntRes2d_IntersectionSegment.hxx>
#include <gp_Ax2d.hxx>
#include <gp_Circ2d.hxx>
#include <gp_Elips2d.hxx>
#include <gp_Pnt2d.hxx>

#include <algorithm>
#include <cmath>

namespace Zarvel3D::occt::decoupe
{

namespace
{

// A curve of the kernel, with the offset between its parameter and ours
// (kernel = ours + decalage; segments are parameterised by length).
struct Courbe2d
{
    Handle(Geom2d_Curve) courbe;
    double decalage = 0.0;
};

Courbe2d CourbeNoyau(const Courbe& c)
{
    Courbe2d r;
    if (c.droite)
    {
        const double l = std::hypot(c.x2 - c.x1, c.y2 - c.y1);
        Handle(Geom2d_Line) ligne =
            new Geom2d_Line(gp_Pnt2d(c.x1, c.y1), gp_Dir2d((c.x2 - c.x1) / l, (c.y2 - c.y1) / l));
        r.courbe = new Geom2d_TrimmedCurve(ligne, 0.0, l);
        return r;
    }
    const gp_Dir2d u(std::cos(c.rotation), std::sin(c.rotation));
    const gp_Dir2d v(-std::sin(c.rotation), std::cos(c.rotation));
    const gp_Pnt2d centre(c.cx, c.cy);
    Handle(Geom2d_Curve) base;
    if (c.a == c.b)
    {
        base = new Geom2d_Circle(gp_Circ2d(gp_Ax2d(centre, u), c.a));
    }
    else if (c.a > c.b)
    {
        base = new Geom2d_Ellipse(gp_Elips2d(gp_Ax2d(centre, u), c.a, c.b));
    }
    else
    {
        // The kernel wants the major axis first: a quarter turn of the frame
        // shifts the parameter.
        base = new Geom2d_Ellipse(gp_Elips2d(gp_Ax2d(centre, v), c.b, c.a));
        r.decalage = -M_PI / 2.0;
    }
    r.courbe =
        c.Fermee()
            ? base
            : Handle(Geom2d_Curve)(new Geom2d_TrimmedCurve(base, c.t0 + r.decalage, c.t1 + r.decalage));
    return r;
}

// Our parameter from the kernel's.
double ParametreCourbe(const Courbe& c, const Courbe2d& k, double s)
{
    if (c.droite)
    {
        const double l = std::hypot(c.x2 - c.x1, c.y2 - c.y1);
        return std::clamp(s / l, 0.0, 1.0);
    }
    return geometrie::Ramene(s - k.decalage, c.t0 - 1e-12);
}

void Croise(const Courbe& a, const Courbe& b, double tolerance, std::vector<std::array<double, 2>>& points)
{
    const Courbe2d ka = CourbeNoyau(a);
    const Courbe2d kb = CourbeNoyau(b);
    Geom2dAPI_InterCurveCurve intersection(ka.courbe, kb.courbe, tolerance);
    const Geom2dInt_GInter& resultat = intersection.Intersector();
    if (!resultat.IsDone())
    {
        return;
    }
    auto ajoute = [&](const IntRes2d_IntersectionPoint& p)
    {
        points.push_back({ParametreCourbe(a, ka, p.ParamOnFirst()), ParametreCourbe(b, kb, p.ParamOnSecond())});
    };
    for (int k = 1; k <= resultat.NbPoints(); ++k)
    {
        ajoute(resultat.Point(k));
    }
    for (int k = 1; k <= resultat.NbSegments(); ++k)
    {
        const IntRes2d_IntersectionSegment& s = resultat.Segment(k);
        if (s.HasFirstPoint())
        {
            ajoute(s.FirstPoint());
        }
        if (s.HasLastPoint())
        {
            ajoute(s.LastPoint());
        }
    }
}

bool Projette(const Courbe& b, double x, double y, double tolerance, double& u)
{
    const Courbe2d k = CourbeNoyau(b);
    Geom2dAPI_ProjectPointOnCurve projection(gp_Pnt2d(x, y), k.courbe);
    if (projection.NbPoints() == 0 || projection.LowerDistance() > tolerance)
    {
        return false;
    }
    u = ParametreCourbe(b, k, projection.LowerDistanceParameter());
    return b.Fermee() || u <= b.t1 + 1e-9;
}

const NoyauEllipses noyau{Croise, Projette};

// Installed once this file's object is loaded: by the module, or by a test linked with it.
[[maybe_unused]] const bool installe = (DefNoyauEllipses(&noyau), true);

} // namespace

} // namespace Zarvel3D::occt::decoupe
