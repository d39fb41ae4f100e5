#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace Zarvel3D::moteur
{

/// Kind of a drawn element: a straight line or an arc of ellipse (circles are
/// ellipses with equal axes).
enum class TypeElement : std::uint8_t
{
    Ligne,
    Ellipse
};

/// One element of a view, in the view's own plane coordinates.
struct ElementDessin
{
    TypeElement type = TypeElement::Ligne;
    /// Line: first and second point.
    double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
    /// Ellipse: centre, full width and height along its own axes, start and
    /// end parameter angles and rotation of the width axis, all in degrees.
    /// An arc runs counter-clockwise from `debut` to `fin`; a span of 360
    /// degrees or more is the whole ellipse.
    double cx = 0.0, cy = 0.0, largeur = 0.0, hauteur = 0.0;
    double debut = 0.0, fin = 360.0, rotation = 0.0;
    /// Red, green, blue, alpha.
    std::array<std::uint8_t, 4> couleur{{0, 0, 0, 255}};
    /// Hidden line (dashed on the plan): the edge lies behind material.
    bool cache = false;
    /// Centre line (axis or symmetry line): never part of an outline.
    bool axe = false;
};

/// A drawn point of a view (for example the axis of a revolution).
struct PointDessin
{
    double x = 0.0, y = 0.0;
};

/// Everything drawn in one view.
struct VueDessin
{
    std::vector<ElementDessin> elements;
    std::vector<PointDessin> points;

    bool Vide() const { return elements.empty() && points.empty(); }
};

/// Plan views, by their identifiers: 2 front, 4 side, 8 top.
enum IdentifiantVue : int
{
    VueFace = 2,
    VueCote = 4,
    VueDessus = 8
};

/// The three views of a drawing.
struct Dessin
{
    VueDessin face;   ///< View 2: width to the right, height up.
    VueDessin cote;   ///< View 4: depth to the right, height up.
    VueDessin dessus; ///< View 8: width to the right, depth up.

    /// The view of an identifier, or null for an unknown identifier.
    VueDessin* Vue(int identifiant)
    {
        switch (identifiant)
        {
        case VueFace:
            return &face;
        case VueCote:
            return &cote;
        case VueDessus:
            return &dessus;
        default:
            return nullptr;
        }
    }
    const VueDessin* Vue(int identifiant) const { return const_cast<Dessin*>(this)->Vue(identifiant); }
};

} // namespace Zarvel3D::moteur
