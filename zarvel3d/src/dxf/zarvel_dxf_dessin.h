#pragma once

// The 2D drawing read from a DXF plan, before it is split into views. Private to the library.
// Coordinates are in millimetres, in the plan's world XY plane.

#include "geometrie_plane.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace Zarvel3D::dxf
{

/// How a curve is drawn, which tells what it means in a view.
enum class Trait : std::uint8_t
{
    Continu, ///< visible edge
    Cache,   ///< hidden edge (dashed linetype)
    Axe      ///< centre line (dash-dot linetype): never part of an outline
};

/// The entity kind a curve or point came from, for the counts of the report.
enum class Origine : std::uint8_t
{
    Ligne,
    Arc,
    Cercle,
    Ellipse,
    Polyligne,
    Spline,
    Point,
    Nombre
};

/// A straight segment or an arc of ellipse (circles and bulge arcs are ellipses of ratio 1).
struct Courbe
{
    bool segment = true;
    /// Segment: first and second point.
    double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
    /// Ellipse: centre, half major axis as a vector, minor/major ratio (0 < ratio <= 1), and
    /// the parameter interval [t0, t1] in radians, counter-clockwise, t1 > t0; a span of 2 pi
    /// or more is the whole ellipse.
    double cx = 0.0, cy = 0.0, ax = 0.0, ay = 0.0, ratio = 1.0, t0 = 0.0, t1 = 2.0 * M_PI;
    Trait trait = Trait::Continu;
    std::array<std::uint8_t, 3> couleur{{0, 0, 0}};
    int calque = 0; ///< index in Dessin::calques
    Origine origine = Origine::Ligne;

    bool Complete() const { return !segment && geometrie::TourComplet(t0, t1); }
    /// The ellipse with its major half axis as first half diameter and the minor one a quarter
    /// turn counter-clockwise from it.
    geometrie::ArcEllipse Arc() const { return {cx, cy, ax, ay, -ay * ratio, ax * ratio, t0, t1}; }
    /// Point of an ellipse at parameter t.
    std::array<double, 2> PointEllipse(double t) const { return Arc().Point(t); }
    std::array<double, 2> Debut() const
    {
        return segment ? std::array<double, 2>{{x1, y1}} : PointEllipse(t0);
    }
    std::array<double, 2> Fin() const { return segment ? std::array<double, 2>{{x2, y2}} : PointEllipse(t1); }
    /// All coordinates finite and within `limite` of the origin.
    bool Valide(double limite) const;
};

using geometrie::Boite;

/// Bounds of a curve (exact for segments and ellipse arcs).
Boite BoiteCourbe(const Courbe& c);

/// A reference point of the plan (POINT entity), for example the axis of a revolution.
struct PointPlan
{
    double x = 0.0, y = 0.0;
};

/// Largest number of elements a plan may hold: the points of its geometry in the file (ends,
/// vertices, control and fit points: the group codes 10 and 11 of its blocks and entities) and,
/// once its blocks are expanded, its curves, points and block copies together. Time and memory
/// of the whole conversion grow with them: a plan beyond this is refused.
constexpr std::size_t elements_plan_max = 500000;

/// What the reader counted, for the report.
struct Comptes
{
    /// Geometry read from model space, by kind of the source entity (INSERTs expanded).
    std::array<unsigned long, static_cast<std::size_t>(Origine::Nombre)> lus{};
    /// Entities of model space left out, by DXF entity name (TEXT, DIMENSION, 3DSOLID...).
    std::map<std::string, unsigned long> ignores;
    /// Entities of model space that cannot be converted (ACIS solids, meshes...).
    std::map<std::string, unsigned long> non_pris_en_charge;
    unsigned long espace_papier = 0;       ///< entities in paper space
    unsigned long calques_eteints = 0;     ///< entities on layers that are off or frozen
    unsigned long hors_plan = 0;           ///< entities whose extrusion is not along Z
    unsigned long invalides = 0;           ///< entities with non-finite or absurd coordinates
    unsigned long degeneres = 0;           ///< zero-length lines, zero-radius circles...
    unsigned long insertions = 0;          ///< INSERTs expanded (nested ones included)
    unsigned long blocs_absents = 0;       ///< INSERTs of an undefined block, or nested too deep
    unsigned long splines_approchees = 0;  ///< splines given by fit points only
    unsigned long corrompues = 0;          ///< entities dropped by the file check
    unsigned long doublons = 0;            ///< curves drawn twice
    unsigned long traits_caches = 0;       ///< curves with a hidden linetype
    unsigned long traits_axes = 0;         ///< curves with a centre linetype
    bool calques_eteints_utilises = false; ///< layers off were read: nothing else was drawn
};

/// The plan's drawing.
struct Dessin
{
    std::vector<Courbe> courbes;
    std::vector<PointPlan> points;
    std::vector<std::string> calques; ///< layer names; index 0 is "0"
    int unites = 0;                   ///< $INSUNITS code of the file
    double echelle = 1.0;             ///< millimetres per drawing unit
    std::string version;              ///< $ACADVER
    Comptes comptes;
};

} // namespace Zarvel3D::dxf
