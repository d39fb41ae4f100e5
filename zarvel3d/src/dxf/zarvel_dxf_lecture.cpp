#include "zarvel_dxf_lecture.h"

#include "zarvel_dxf_geometrie.h"

#include <dxflib/dl_codes.h>
#include <dxflib/dl_creationadapter.h>
#include <dxflib/dl_dxf.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <exception>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <unordered_map>

namespace Zarvel3D::dxf
{

namespace
{

constexpr int profondeur_blocs_max = 16;
// Vertices of one polyline kept by dxflib's callbacks; the file check refuses more points than
// this in the whole plan already.
constexpr std::size_t elements_max = elements_plan_max;
constexpr std::size_t points_spline_max = 20000;

std::string Majuscules(std::string s)
{
    for (char& c : s)
    {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return s;
}

bool Contient(const std::string& texte, std::initializer_list<const char*> mots)
{
    for (const char* m : mots)
    {
        if (texte.find(m) != std::string::npos)
        {
            return true;
        }
    }
    return false;
}

// Colour and linetype as written on an entity, resolved at insertion.
struct Attributs
{
    std::string calque = "0";
    int couleur = 256;  // ACI; 0 BYBLOCK, 256 BYLAYER
    int couleur24 = -1; // 0xRRGGBB or -1
    std::string type_ligne = "BYLAYER";
};

// An entity of model space or of a block, in its own coordinates.
struct Brut
{
    enum class Genre
    {
        Courbes,
        Point,
        Insertion
    } genre = Genre::Courbes;
    Attributs attributs;
    std::vector<Courbe> courbes;
    double px = 0.0, py = 0.0;
    std::string bloc;
    Affine m;
    int colonnes = 1, rangees = 1;
    double ecart_colonnes = 0.0, ecart_rangees = 0.0, angle = 0.0;
    bool miroir = false; // insertion in a coordinate system whose normal is -Z
};

struct Bloc
{
    double bx = 0.0, by = 0.0;
    std::vector<Brut> entites;
};

struct Calque
{
    int couleur = 7;
    int couleur24 = -1;
    std::string type_ligne = "CONTINUOUS";
    bool eteint = false;
};

// Resolved colour and line meaning of the enclosing INSERT (for BYBLOCK).
struct Parent
{
    std::array<std::uint8_t, 3> couleur{{0, 0, 0}};
    Trait trait = Trait::Continu;
    std::string calque = "0";
};

class LecteurDxf final : public DL_CreationAdapter
{
public:
    LecteurDxf(Dessin& d, double tol) : dessin(d), tolerance(tol) {}

    // [Tables] ------------------------------------------------------------------------------
    void addLayer(const DL_LayerData& data) override
    {
        Termine();
        Calque c;
        const DL_Attributes a = getAttributes();
        c.couleur = a.getColor();
        c.couleur24 = a.getColor24();
        c.type_ligne = Majuscules(a.getLinetype());
        // A negative colour marks a layer that is off; flag 1 a frozen one.
        c.eteint = data.off || c.couleur < 0 || (data.flags & 1) != 0;
        c.couleur = std::abs(c.couleur);
        calques[Majuscules(data.name)] = c;
    }
    // dxflib hands the dashes of a linetype as it reads them, before the linetype itself.
    void addLinetype(const DL_LinetypeData& data) override
    {
        Termine();
        motifs[Majuscules(data.name)].swap(tirets);
        tirets.clear();
    }
    void addLinetypeDash(double longueur) override
    {
        if (tirets.size() < 64)
        {
            tirets.push_back(longueur);
        }
    }

    // [Blocks] ------------------------------------------------------------------------------
    void addBlock(const DL_BlockData& data) override
    {
        Termine();
        Bloc& b = blocs[Majuscules(data.name)];
        b = Bloc();
        b.bx = data.bpx;
        b.by = data.bpy;
        cible = &b.entites;
    }
    void endBlock() override
    {
        Termine();
        cible = &modele;
    }

    // [Entities] ----------------------------------------------------------------------------
    void addPoint(const DL_PointData& data) override
    {
        Termine();
        Brut e = Nouveau(Brut::Genre::Point);
        e.px = data.x;
        e.py = data.y;
        Range(std::move(e));
    }
    void addLine(const DL_LineData& data) override
    {
        Termine();
        Brut e = Nouveau(Brut::Genre::Courbes);
        Courbe c;
        c.x1 = data.x1;
        c.y1 = data.y1;
        c.x2 = data.x2;
        c.y2 = data.y2;
        c.origine = Origine::Ligne;
        e.courbes.push_back(c);
        Range(std::move(e));
    }
    void addArc(const DL_ArcData& data) override
    {
        Termine();
        bool miroir;
        if (!Plan(miroir))
        {
            return;
        }
        Brut e = Nouveau(Brut::Genre::Courbes);
        Courbe c = CourbeArc(data.cx, data.cy, data.radius, data.angle1, data.angle2);
        c.origine = Origine::Arc;
        if (!(data.radius > 0.0) || (miroir && !Transforme(Affine::MiroirX(), c)))
        {
            Degenere();
            return;
        }
        e.courbes.push_back(c);
        Range(std::move(e));
    }
    void addCircle(const DL_CircleData& data) override
    {
        Termine();
        bool miroir;
        if (!Plan(miroir))
        {
            return;
        }
        if (!(data.radius > 0.0))
        {
            Degenere();
            return;
        }
        Brut e = Nouveau(Brut::Genre::Courbes);
        Courbe c = CourbeArc(miroir ? -data.cx : data.cx, data.cy, data.radius, 0.0, 360.0);
        c.t0 = 0.0;
        c.t1 = 2.0 * M_PI;
        c.origine = Origine::Cercle;
        e.courbes.push_back(c);
        Range(std::move(e));
    }
    void addEllipse(const DL_EllipseData& data) override
    {
        Termine();
        double* n = getExtrusion()->getDirection();
        Brut e = Nouveau(Brut::Genre::Courbes);
        if (!(data.ratio > 0.0) || !(std::hypot(data.mx, data.my) > 0.0))
        {
            Degenere();
            return;
        }
        double a1 = data.angle1;
        double a2 = data.angle2;
        Courbe c;
        if (n != nullptr && n[2] < 0.0)
        {
            // Seen from +Z the parameter of an ellipse whose normal is -Z runs clockwise:
            // the point at t is the point at -t of the counter-clockwise ellipse.
            c = CourbeEllipse(data.cx, data.cy, data.mx, data.my, data.ratio, -a2, -a1);
        }
        else
        {
            c = CourbeEllipse(data.cx, data.cy, data.mx, data.my, data.ratio, a1, a2);
        }
        c.origine = Origine::Ellipse;
        e.courbes.push_back(c);
        Range(std::move(e));
    }
    void addPolyline(const DL_PolylineData& data) override
    {
        Termine();
        polyligne_miroir = false;
        if ((data.flags & 8) == 0 && !Plan(polyligne_miroir))
        {
            return;
        }
        polyligne_ouverte = true;
        polyligne_fermee = (data.flags & 1) != 0;
        polyligne = Nouveau(Brut::Genre::Courbes);
        sommets.clear();
    }
    void addVertex(const DL_VertexData& data) override
    {
        if (polyligne_ouverte && sommets.size() < elements_max)
        {
            sommets.push_back({{data.x, data.y, data.bulge}});
        }
    }
    void endEntity() override { Termine(); }
    void endSequence() override { Termine(); }

    void addSpline(const DL_SplineData& data) override
    {
        Termine();
        spline_ouverte = true;
        spline_degre = static_cast<int>(data.degree);
        spline = Nouveau(Brut::Genre::Courbes);
        noeuds.clear();
        controle.clear();
        ajustement.clear();
    }
    void addControlPoint(const DL_ControlPointData& data) override
    {
        if (spline_ouverte)
        {
            controle.push_back({{data.x, data.y, data.w > 0.0 ? data.w : 1.0}});
        }
    }
    void addFitPoint(const DL_FitPointData& data) override
    {
        if (spline_ouverte)
        {
            ajustement.push_back({{data.x, data.y}});
        }
    }
    void addKnot(const DL_KnotData& data) override
    {
        if (spline_ouverte)
        {
            noeuds.push_back(data.k);
        }
    }

    void addInsert(const DL_InsertData& data) override
    {
        Termine();
        bool miroir;
        if (!Plan(miroir))
        {
            return;
        }
        Brut e = Nouveau(Brut::Genre::Insertion);
        e.bloc = Majuscules(data.name);
        e.px = data.ipx;
        e.py = data.ipy;
        e.m = Affine::Insertion(data.ipx, data.ipy, data.sx == 0.0 ? 1.0 : data.sx,
                                data.sy == 0.0 ? 1.0 : data.sy, data.angle, 0.0, 0.0);
        e.colonnes = std::clamp(data.cols, 1, 1000);
        e.rangees = std::clamp(data.rows, 1, 1000);
        e.ecart_colonnes = data.colSp;
        e.ecart_rangees = data.rowSp;
        e.angle = data.angle;
        e.miroir = miroir;
        Range(std::move(e));
    }

    /// Closes the pending polyline or spline.
    void Termine()
    {
        if (polyligne_ouverte)
        {
            polyligne_ouverte = false;
            const std::size_t n = sommets.size();
            for (std::size_t i = 0; i + 1 < n || (polyligne_fermee && n > 2 && i < n); ++i)
            {
                const auto& a = sommets[i];
                const auto& b = sommets[(i + 1) % n];
                if (std::hypot(b[0] - a[0], b[1] - a[1]) <= 0.0)
                {
                    continue;
                }
                Courbe c = CourbeBulge(a[0], a[1], b[0], b[1], a[2]);
                if (polyligne_miroir && !Transforme(Affine::MiroirX(), c))
                {
                    continue;
                }
                c.origine = Origine::Polyligne;
                polyligne.courbes.push_back(c);
            }
            if (polyligne.courbes.empty())
            {
                Degenere();
            }
            else
            {
                Range(std::move(polyligne));
            }
            sommets.clear();
        }
        if (spline_ouverte)
        {
            spline_ouverte = false;
            std::vector<std::array<double, 2>> points;
            if (!controle.empty())
            {
                points = DiscretiseSpline(spline_degre, noeuds, controle, tolerance, points_spline_max);
            }
            if (points.size() < 2 && ajustement.size() >= 2)
            {
                // Only the fit points are usable: the spline is drawn through them.
                points = ajustement;
                ++dessin.comptes.splines_approchees;
            }
            for (std::size_t i = 0; i + 1 < points.size(); ++i)
            {
                if (points[i] == points[i + 1])
                {
                    continue;
                }
                Courbe c;
                c.x1 = points[i][0];
                c.y1 = points[i][1];
                c.x2 = points[i + 1][0];
                c.y2 = points[i + 1][1];
                c.origine = Origine::Spline;
                spline.courbes.push_back(c);
            }
            if (spline.courbes.empty())
            {
                Degenere();
            }
            else
            {
                Range(std::move(spline));
            }
        }
    }

    /// Expands model space into the drawing. Layers that are off or frozen are left out, unless
    /// nothing else is drawn: some files keep their whole drawing on a layer saved as off.
    /// False when the plan holds more than elements_plan_max curves, points and block copies once
    /// its blocks are expanded: the drawing is then incomplete and must not be used.
    bool Construit()
    {
        Termine();
        if (depasse)
        {
            return false;
        }
        const Comptes avant = dessin.comptes;
        Parent racine;
        std::vector<std::string> pile;
        Expanse(modele, Affine(), racine, true, 0, pile);
        if (!depasse && dessin.courbes.empty() && dessin.comptes.calques_eteints > 0)
        {
            dessin.comptes = avant;
            dessin.points.clear();
            inclure_eteints = true;
            budget = 0;
            Expanse(modele, Affine(), racine, true, 0, pile);
            dessin.comptes.calques_eteints_utilises = true;
        }
        return !depasse;
    }

private:
    Brut Nouveau(Brut::Genre genre)
    {
        Brut e;
        e.genre = genre;
        const DL_Attributes a = getAttributes();
        e.attributs.calque = Majuscules(a.getLayer());
        e.attributs.couleur = a.getColor();
        e.attributs.couleur24 = a.getColor24();
        e.attributs.type_ligne = Majuscules(a.getLinetype());
        return e;
    }

    // Keeps an entity of model space or of a block. Splines become many segments: what is kept
    // counts against the limit as well as what the file holds.
    void Range(Brut&& e)
    {
        lues += std::max<std::size_t>(1, e.courbes.size());
        if (lues > elements_plan_max)
        {
            depasse = true;
            return;
        }
        cible->push_back(std::move(e));
    }

    // Counts one more curve, point or block copy of the expanded plan; false past the limit.
    // Copies count too: blocks that insert each other many times over would otherwise multiply
    // into more work than any memory bound can stop.
    bool Depense()
    {
        if (++budget > elements_plan_max)
        {
            depasse = true;
        }
        return !depasse;
    }

    void Degenere()
    {
        if (cible == &modele)
        {
            ++dessin.comptes.degeneres;
        }
    }

    // True when the entity's coordinate system is the plan's (normal +Z) or its mirror (-Z).
    bool Plan(bool& miroir)
    {
        miroir = false;
        double* n = getExtrusion()->getDirection();
        if (n == nullptr)
        {
            return true;
        }
        const double l = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        if (!(l > 0.0) || std::fabs(std::fabs(n[2]) / l - 1.0) > 1e-9)
        {
            if (cible == &modele)
            {
                ++dessin.comptes.hors_plan;
            }
            return false;
        }
        miroir = n[2] < 0.0;
        return true;
    }

    int IndexCalque(const std::string& nom)
    {
        auto it = index_calques.find(nom);
        if (it != index_calques.end())
        {
            return it->second;
        }
        const int i = static_cast<int>(dessin.calques.size());
        dessin.calques.push_back(nom);
        index_calques[nom] = i;
        return i;
    }

    static std::array<std::uint8_t, 3> Aci(int indice)
    {
        if (indice == 7 || indice <= 0 || indice > 255)
        {
            return {{0, 0, 0}}; // white on screen, black on paper
        }
        return {{static_cast<std::uint8_t>(std::lround(dxfColors[indice][0] * 255.0)),
                 static_cast<std::uint8_t>(std::lround(dxfColors[indice][1] * 255.0)),
                 static_cast<std::uint8_t>(std::lround(dxfColors[indice][2] * 255.0))}};
    }

    static std::array<std::uint8_t, 3> Vraie(int c)
    {
        return {{static_cast<std::uint8_t>((c >> 16) & 0xff), static_cast<std::uint8_t>((c >> 8) & 0xff),
                 static_cast<std::uint8_t>(c & 0xff)}};
    }

    Trait TraitType(const std::string& nom)
    {
        auto it = motifs.find(nom);
        static const std::vector<double> vide;
        return ClasseTypeLigne(nom, it != motifs.end() ? it->second : vide);
    }

    // Resolves and adds the entities of `liste` under the map `m`.
    void Expanse(const std::vector<Brut>& liste, const Affine& m, const Parent& parent, bool modele_direct,
                 int profondeur, std::vector<std::string>& pile)
    {
        for (const Brut& e : liste)
        {
            if (depasse)
            {
                return;
            }
            // Layer "0" inside a block takes the layer of the INSERT.
            const std::string nom_calque =
                (!modele_direct && e.attributs.calque == "0") ? parent.calque : e.attributs.calque;
            const auto ic = calques.find(nom_calque);
            const Calque calque = ic != calques.end() ? ic->second : Calque();
            if (calque.eteint && !inclure_eteints)
            {
                ++dessin.comptes.calques_eteints;
                continue;
            }
            Parent p;
            p.calque = nom_calque;
            if (e.attributs.couleur24 >= 0)
            {
                p.couleur = Vraie(e.attributs.couleur24);
            }
            else if (e.attributs.couleur == 0)
            {
                p.couleur = parent.couleur;
            }
            else if (e.attributs.couleur == 256 || e.attributs.couleur < 0)
            {
                p.couleur = calque.couleur24 >= 0 ? Vraie(calque.couleur24) : Aci(calque.couleur);
            }
            else
            {
                p.couleur = Aci(e.attributs.couleur);
            }
            const std::string& type = e.attributs.type_ligne;
            if (type == "BYBLOCK")
            {
                p.trait = parent.trait;
            }
            else if (type.empty() || type == "BYLAYER")
            {
                p.trait = TraitType(calque.type_ligne);
                if (p.trait == Trait::Continu)
                {
                    // Layers named for their line kind are common in plans drawn without
                    // linetypes.
                    p.trait = ClasseTypeLigne(nom_calque, {});
                }
            }
            else
            {
                p.trait = TraitType(type);
            }

            if (e.genre == Brut::Genre::Insertion)
            {
                const auto ib = blocs.find(e.bloc);
                if (ib == blocs.end() || profondeur >= profondeur_blocs_max ||
                    std::find(pile.begin(), pile.end(), e.bloc) != pile.end())
                {
                    ++dessin.comptes.blocs_absents;
                    continue;
                }
                pile.push_back(e.bloc);
                const double r = e.angle * M_PI / 180.0;
                for (int i = 0; i < e.colonnes && !depasse; ++i)
                {
                    for (int j = 0; j < e.rangees && Depense(); ++j)
                    {
                        // Copies of an array insertion are spaced along the rotated axes.
                        const double dx = i * e.ecart_colonnes;
                        const double dy = j * e.ecart_rangees;
                        Affine locale =
                            Affine::Insertion(0.0, 0.0, 1.0, 1.0, 0.0, ib->second.bx, ib->second.by);
                        Affine insertion = e.m;
                        insertion.e += dx * std::cos(r) - dy * std::sin(r);
                        insertion.f += dx * std::sin(r) + dy * std::cos(r);
                        Affine totale = insertion.Compose(locale);
                        if (e.miroir)
                        {
                            totale = Affine::MiroirX().Compose(totale);
                        }
                        ++dessin.comptes.insertions;
                        Expanse(ib->second.entites, m.Compose(totale), p, false, profondeur + 1, pile);
                    }
                }
                pile.pop_back();
                continue;
            }
            if (e.genre == Brut::Genre::Point)
            {
                const auto q = m.Applique(e.px, e.py);
                if (!std::isfinite(q[0]) || !std::isfinite(q[1]) || std::fabs(q[0]) > coordonnee_max ||
                    std::fabs(q[1]) > coordonnee_max)
                {
                    ++dessin.comptes.invalides;
                    continue;
                }
                if (!Depense())
                {
                    return;
                }
                ++dessin.comptes.lus[static_cast<std::size_t>(Origine::Point)];
                dessin.points.push_back({q[0], q[1]});
                continue;
            }
            bool compte = false;
            for (Courbe c : e.courbes)
            {
                if (!Depense())
                {
                    return;
                }
                if (!c.Valide(coordonnee_max) || !Transforme(m, c) || !c.Valide(coordonnee_max))
                {
                    if (!compte)
                    {
                        ++dessin.comptes.invalides;
                        compte = true;
                    }
                    break;
                }
                c.trait = p.trait;
                c.couleur = p.couleur;
                c.calque = IndexCalque(nom_calque);
                if (!compte)
                {
                    ++dessin.comptes.lus[static_cast<std::size_t>(c.origine)];
                    compte = true;
                }
                if (c.trait == Trait::Cache)
                {
                    ++dessin.comptes.traits_caches;
                }
                else if (c.trait == Trait::Axe)
                {
                    ++dessin.comptes.traits_axes;
                }
                dessin.courbes.push_back(c);
            }
        }
    }

    Dessin& dessin;
    double tolerance;
    std::map<std::string, Calque> calques;
    std::map<std::string, std::vector<double>> motifs;
    std::vector<double> tirets;
    bool inclure_eteints = false;
    std::map<std::string, Bloc> blocs;
    std::size_t lues = 0;   // curves and points kept from the file
    std::size_t budget = 0; // curves, points and copies of the expansion so far
    bool depasse = false;   // past elements_plan_max, in what was kept or expanded
    std::vector<Brut> modele;
    std::vector<Brut>* cible = &modele;
    std::unordered_map<std::string, int> index_calques;

    bool polyligne_ouverte = false;
    bool polyligne_fermee = false;
    bool polyligne_miroir = false;
    Brut polyligne;
    std::vector<std::array<double, 3>> sommets;

    bool spline_ouverte = false;
    int spline_degre = 3;
    Brut spline;
    std::vector<double> noeuds;
    std::vector<std::array<double, 3>> controle;
    std::vector<std::array<double, 2>> ajustement;
};

} // namespace

Trait ClasseTypeLigne(const std::string& nom_brut, const std::vector<double>& motif)
{
    const std::string nom = Majuscules(nom_brut);
    if (nom.empty() || nom == "CONTINUOUS" || nom == "BYLAYER" || nom == "BYBLOCK")
    {
        return Trait::Continu;
    }
    if (Contient(nom, {"CENTER", "CENTRE", "AXE", "AXIS", "CHAIN", "DASHDOT", "DASH_DOT", "PHANTOM", "MIXTE",
                       "DIVIDE"}))
    {
        return Trait::Axe;
    }
    if (Contient(nom, {"HIDDEN", "DASH", "CACHE", "TIRET", "INTERROMPU", "DOT"}))
    {
        return Trait::Cache;
    }
    // ISO linetypes and others: a single mark repeated is a dashed (hidden) line, marks of two
    // lengths (long dash and dot) a centre line.
    std::vector<double> marques;
    for (double v : motif)
    {
        if (v >= 0.0)
        {
            marques.push_back(v);
        }
    }
    if (marques.empty() || motif.size() < 2)
    {
        return Trait::Continu;
    }
    const auto [mini, maxi] = std::minmax_element(marques.begin(), marques.end());
    if (marques.size() >= 2 && *maxi > 1.5 * *mini + 1e-9)
    {
        return Trait::Axe;
    }
    return Trait::Cache;
}

Lecture LitDessin(const char* chemin, double tolerance, Dessin& dessin)
{
    Lecture r;
    dessin = Dessin();
    dessin.calques.push_back("0");
    FichierVerifie fichier = VerifieFichier(chemin, dessin.comptes);
    r.etat = fichier.etat;
    r.ligne = fichier.ligne;
    r.erreur = fichier.erreur;
    dessin.unites = fichier.unites;
    dessin.version = fichier.version;
    if (fichier.etat != EtatFichier::Correct)
    {
        return r;
    }
    dessin.echelle = MillimetresParUnite(fichier.unites);
    LecteurDxf lecteur(dessin, tolerance / dessin.echelle);
    try
    {
        std::istringstream flux(std::move(fichier.flux));
        DL_Dxf dxf;
        dxf.in(flux, &lecteur);
        if (!lecteur.Construit())
        {
            r.etat = EtatFichier::TropDElements;
            return r;
        }
    }
    catch (const std::exception& e)
    {
        r.exception = true;
        r.message = e.what();
        return r;
    }
    catch (...)
    {
        r.exception = true;
        r.message = "?";
        return r;
    }
    if (dessin.echelle != 1.0)
    {
        const Affine mise_a_echelle{dessin.echelle, 0.0, 0.0, dessin.echelle, 0.0, 0.0};
        for (Courbe& c : dessin.courbes)
        {
            Transforme(mise_a_echelle, c);
        }
        for (PointPlan& p : dessin.points)
        {
            p.x *= dessin.echelle;
            p.y *= dessin.echelle;
        }
    }
    return r;
}

} // namespace Zarvel3D::dxf
