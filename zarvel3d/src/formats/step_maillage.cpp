#include "formats/step_maillage.h"

#include "formats/maillage.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <unordered_map>
#include <vector>

namespace Zarvel3D
{
namespace interne
{

namespace
{

// Entity text is gathered in a buffer and handed to the file in large pieces.
class Ecrivain
{
public:
    explicit Ecrivain(FichierAtomique& f) : fichier(f) { texte.reserve(taille_lot + 4096); }

    /// Appends one entity line "#id=<corps>;" and returns its id.
    long Entite(const std::string& corps)
    {
        const long id = ++dernier;
        texte += '#';
        texte += std::to_string(id);
        texte += '=';
        texte += corps;
        texte += ";\n";
        return Vide() ? id : -1;
    }
    bool Brut(const std::string& t)
    {
        texte += t;
        return Vide();
    }
    bool Termine()
    {
        ok = ok && fichier.Ecrit(texte.data(), texte.size());
        texte.clear();
        return ok;
    }
    bool Ok() const { return ok; }

private:
    bool Vide()
    {
        if (texte.size() >= taille_lot)
        {
            ok = ok && fichier.Ecrit(texte.data(), texte.size());
            texte.clear();
        }
        return ok;
    }

    static constexpr std::size_t taille_lot = 1 << 20;
    FichierAtomique& fichier;
    std::string texte;
    long dernier = 0;
    bool ok = true;
};

// A STEP real always carries a decimal point ("1.", "2.5E-07").
std::string Reel(double v)
{
    char t[40];
    std::snprintf(t, sizeof t, "%.15G", v);
    std::string s(t);
    if (s.find('.') == std::string::npos)
    {
        const std::size_t e = s.find('E');
        s.insert(e == std::string::npos ? s.size() : e, ".");
    }
    return s;
}

std::string Triplet(double x, double y, double z)
{
    return "(" + Reel(x) + "," + Reel(y) + "," + Reel(z) + ")";
}

std::string Ref(long id)
{
    return "#" + std::to_string(id);
}

std::string Texte(const std::string& s)
{
    std::string r = "'";
    for (char c : s)
    {
        // Quotes are doubled; bytes outside printable ASCII are left out of names.
        if (c == '\'')
            r += "''";
        else if (c >= 32 && c < 127 && c != '\\')
            r += c;
    }
    return r + "'";
}

struct Arete
{
    long id = 0;
    unsigned int debut = 0; ///< vertex index the edge curve starts from
    int usages = 0;
    int sens = 0; ///< sum of +1 (used from debut) and -1 (used the other way)
};

unsigned long long Cle(unsigned int a, unsigned int b)
{
    return a < b ? (static_cast<unsigned long long>(a) << 32) | b
                 : (static_cast<unsigned long long>(b) << 32) | a;
}

} // namespace

bool EcritSTEPMaillage(const PModele3D& modele, const std::string& nom, FichierAtomique& f)
{
    const std::size_t nv = modele.sommets.size();

    // Usable triangles: visible, corners that are distinct model vertices, non-zero area.
    struct Facette
    {
        unsigned int s[3];
        double n[3];
    };
    std::vector<Facette> facettes;
    for (const PSurface3D& surface : modele.surfaces)
        for (const PTriangle3D& t : surface.triangles)
        {
            if (!t.visible) continue;
            Facette fa;
            bool valide = true;
            for (int k = 0; k < 3; ++k)
            {
                const int id = t.sommets[k].id;
                valide = valide && id >= 0 && static_cast<std::size_t>(id) < nv;
                fa.s[k] = static_cast<unsigned int>(id);
            }
            if (!valide || fa.s[0] == fa.s[1] || fa.s[1] == fa.s[2] || fa.s[0] == fa.s[2]) continue;
            if (!NormaleUnitaire(modele.sommets[fa.s[0]].position, modele.sommets[fa.s[1]].position,
                                 modele.sommets[fa.s[2]].position, fa.n))
                continue;
            facettes.push_back(fa);
        }
    if (facettes.empty()) return false;

    Ecrivain e(f);
    char date[32] = "2000-01-01T00:00:00";
    const std::time_t maintenant = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&maintenant, &local) != nullptr)
        std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    e.Brut("ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION(('Zarvel3D mesh'),'2;1');\nFILE_NAME(" + Texte(nom) +
           ",'" + date +
           "',(''),(''),'Zarvel3D','Zarvel3D','');\nFILE_SCHEMA(('AUTOMOTIVE_DESIGN { 1 0 10303 214 1 1 1 1 "
           "}'));\nENDSEC;\nDATA;\n");

    // Product structure and the millimetre context.
    const long application = e.Entite("APPLICATION_CONTEXT('automotive design')");
    e.Entite("APPLICATION_PROTOCOL_DEFINITION('international standard','automotive_design',2000," +
             Ref(application) + ")");
    const long contexte_produit = e.Entite("PRODUCT_CONTEXT(''," + Ref(application) + ",'mechanical')");
    const long produit =
        e.Entite("PRODUCT(" + Texte(nom) + "," + Texte(nom) + ",'',(" + Ref(contexte_produit) + "))");
    const long formation = e.Entite("PRODUCT_DEFINITION_FORMATION('',''," + Ref(produit) + ")");
    const long contexte_definition =
        e.Entite("PRODUCT_DEFINITION_CONTEXT('part definition'," + Ref(application) + ",'design')");
    const long definition =
        e.Entite("PRODUCT_DEFINITION('design',''," + Ref(formation) + "," + Ref(contexte_definition) + ")");
    const long forme = e.Entite("PRODUCT_DEFINITION_SHAPE(''," + Ref(definition) + ")");
    const long longueur = e.Entite("(LENGTH_UNIT()NAMED_UNIT(*)SI_UNIT(.MILLI.,.METRE.))");
    const long angle = e.Entite("(NAMED_UNIT(*)PLANE_ANGLE_UNIT()SI_UNIT($,.RADIAN.))");
    const long angle_solide = e.Entite("(NAMED_UNIT(*)SI_UNIT($,.STERADIAN.)SOLID_ANGLE_UNIT())");
    const long incertitude = e.Entite("UNCERTAINTY_MEASURE_WITH_UNIT(LENGTH_MEASURE(1.E-07)," +
                                      Ref(longueur) + ",'distance_accuracy_value','confusion accuracy')");
    const long contexte = e.Entite(
        "(GEOMETRIC_REPRESENTATION_CONTEXT(3)GLOBAL_UNCERTAINTY_ASSIGNED_CONTEXT((" + Ref(incertitude) +
        "))GLOBAL_UNIT_ASSIGNED_CONTEXT((" + Ref(longueur) + "," + Ref(angle) + "," + Ref(angle_solide) +
        "))REPRESENTATION_CONTEXT('Context #1','3D Context with UNIT and UNCERTAINTY'))");
    const long origine = e.Entite("CARTESIAN_POINT(''," + Triplet(0, 0, 0) + ")");
    const long axe_z = e.Entite("DIRECTION(''," + Triplet(0, 0, 1) + ")");
    const long axe_x = e.Entite("DIRECTION(''," + Triplet(1, 0, 0) + ")");
    const long repere =
        e.Entite("AXIS2_PLACEMENT_3D(''," + Ref(origine) + "," + Ref(axe_z) + "," + Ref(axe_x) + ")");

    // Vertices: only those the triangles use, each written once.
    std::vector<long> point(nv, 0), sommet(nv, 0);
    for (const Facette& fa : facettes)
        for (unsigned int s : fa.s)
            if (sommet[s] == 0)
            {
                const Pvec3& p = modele.sommets[s].position;
                point[s] = e.Entite("CARTESIAN_POINT(''," + Triplet(p.x, p.y, p.z) + ")");
                sommet[s] = e.Entite("VERTEX_POINT(''," + Ref(point[s]) + ")");
            }

    // Edges, shared by the triangles on both sides.
    std::unordered_map<unsigned long long, Arete> aretes;
    aretes.reserve(facettes.size() * 2);
    for (const Facette& fa : facettes)
        for (int k = 0; k < 3; ++k)
        {
            const unsigned int a = fa.s[k], b = fa.s[(k + 1) % 3];
            Arete& ar = aretes[Cle(a, b)];
            if (ar.id == 0)
            {
                const Pvec3& pa = modele.sommets[a].position;
                const Pvec3& pb = modele.sommets[b].position;
                const double dx = pb.x - pa.x, dy = pb.y - pa.y, dz = pb.z - pa.z;
                const double l = std::sqrt(dx * dx + dy * dy + dz * dz);
                const long direction = e.Entite("DIRECTION(''," + Triplet(dx / l, dy / l, dz / l) + ")");
                const long vecteur = e.Entite("VECTOR(''," + Ref(direction) + "," + Reel(l) + ")");
                const long droite = e.Entite("LINE(''," + Ref(point[a]) + "," + Ref(vecteur) + ")");
                ar.id = e.Entite("EDGE_CURVE(''," + Ref(sommet[a]) + "," + Ref(sommet[b]) + "," +
                                 Ref(droite) + ",.T.)");
                ar.debut = a;
            }
            ++ar.usages;
            ar.sens += (ar.debut == a) ? 1 : -1;
        }

    // Faces: a plane through the first corner, the loop in the triangle's order.
    std::string liste_faces;
    liste_faces.reserve(facettes.size() * 8);
    for (const Facette& fa : facettes)
    {
        std::string boucle;
        for (int k = 0; k < 3; ++k)
        {
            const unsigned int a = fa.s[k], b = fa.s[(k + 1) % 3];
            const Arete& ar = aretes[Cle(a, b)];
            const long oriente =
                e.Entite("ORIENTED_EDGE('',*,*," + Ref(ar.id) + "," + (ar.debut == a ? ".T." : ".F.") + ")");
            boucle += (k ? "," : "") + Ref(oriente);
        }
        const long contour = e.Entite("EDGE_LOOP('',(" + boucle + "))");
        const long limite = e.Entite("FACE_OUTER_BOUND(''," + Ref(contour) + ",.T.)");
        const Pvec3& pa = modele.sommets[fa.s[0]].position;
        const Pvec3& pb = modele.sommets[fa.s[1]].position;
        double rx = pb.x - pa.x, ry = pb.y - pa.y, rz = pb.z - pa.z;
        const double lr = std::sqrt(rx * rx + ry * ry + rz * rz);
        rx /= lr;
        ry /= lr;
        rz /= lr;
        const long normale = e.Entite("DIRECTION(''," + Triplet(fa.n[0], fa.n[1], fa.n[2]) + ")");
        const long reference = e.Entite("DIRECTION(''," + Triplet(rx, ry, rz) + ")");
        const long placement = e.Entite("AXIS2_PLACEMENT_3D(''," + Ref(point[fa.s[0]]) + "," + Ref(normale) +
                                        "," + Ref(reference) + ")");
        const long plan = e.Entite("PLANE(''," + Ref(placement) + ")");
        const long face = e.Entite("ADVANCED_FACE('',(" + Ref(limite) + ")," + Ref(plan) + ",.T.)");
        if (!liste_faces.empty()) liste_faces += ',';
        liste_faces += Ref(face);
    }

    // Closed when every edge joins two triangles that run along it in opposite directions.
    bool ferme = true;
    for (const auto& paire : aretes)
        ferme = ferme && paire.second.usages == 2 && paire.second.sens == 0;

    long representation;
    if (ferme)
    {
        const long coque = e.Entite("CLOSED_SHELL('',(" + liste_faces + "))");
        const long solide = e.Entite("MANIFOLD_SOLID_BREP(" + Texte(nom) + "," + Ref(coque) + ")");
        representation = e.Entite("ADVANCED_BREP_SHAPE_REPRESENTATION(" + Texte(nom) + ",(" + Ref(repere) +
                                  "," + Ref(solide) + ")," + Ref(contexte) + ")");
    }
    else
    {
        const long coque = e.Entite("OPEN_SHELL('',(" + liste_faces + "))");
        const long modele_surface =
            e.Entite("SHELL_BASED_SURFACE_MODEL(" + Texte(nom) + ",(" + Ref(coque) + "))");
        representation = e.Entite("MANIFOLD_SURFACE_SHAPE_REPRESENTATION(" + Texte(nom) + ",(" + Ref(repere) +
                                  "," + Ref(modele_surface) + ")," + Ref(contexte) + ")");
    }
    e.Entite("SHAPE_DEFINITION_REPRESENTATION(" + Ref(forme) + "," + Ref(representation) + ")");
    e.Brut("ENDSEC;\nEND-ISO-10303-21;\n");
    return e.Termine();
}

} // namespace interne
} // namespace Zarvel3D
