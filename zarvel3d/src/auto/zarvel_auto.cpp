// Automatic conversion of a DXF plan: the plan is read, split into views, and drawn view by view
// into a conversion engine through its public drawing operations, in each view's own
// coordinates (origin at the lower left corner of the view's outline).
#include "../diagnostic.h"
#include "../progression.h"
#include "../dxf/zarvel_dxf_lecture.h"
#include "../dxf/zarvel_dxf_messages.h"
#include "../dxf/zarvel_dxf_vues.h"
#include "../fichier_entree.h"
#include "zarvel3d/zarvel3d.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace Zarvel3D
{

namespace
{

using dxf::MessageDxf;
using dxf::TexteDxf;

const char* const noms_origines[] = {"LINE", "ARC", "CIRCLE", "ELLIPSE", "POLYLINE", "SPLINE", "POINT"};

// A failure, kept as its message and arguments so that it is written in the language in force
// when it is read.
struct Echec
{
    bool present = false;
    MessageDxf message = MessageDxf::Interne;
    std::string texte;
    unsigned long nombre = 0;
    double v1 = 0.0, v2 = 0.0;
    int entier = 0;
};

std::string NomVue(int id)
{
    switch (id)
    {
    case 2:
        return TexteDxf(MessageDxf::NomFace);
    case 4:
        return TexteDxf(MessageDxf::NomCote);
    case 8:
        return TexteDxf(MessageDxf::NomDessus);
    default:
        return TexteDxf(MessageDxf::Profil);
    }
}

double Arrondi(double v)
{
    return std::round(v * 1e4) / 1e4 + 0.0;
}

class ZarvelAutoDxf final : public ZarvelAuto
{
public:
    ZarvelAutoDxf(const char* c, modezarvel_t m, const ParametresZarvel& p, double param, Zarvel* z)
        : chemin(c != nullptr ? c : ""), mode(m), parametres(p), parametre(param), moteur(z)
    {
        tolerance = std::isfinite(p.tolerance) && p.tolerance > 0.0 ? p.tolerance : 0.01;
    }

    ~ZarvelAutoDxf() override
    {
        if (!cede)
        {
            delete moteur;
        }
    }

    /// Reads the plan, finds its views and draws them into the engine; never throws.
    void Charge()
    {
        // The reader gives no measure of its progress: the time alone is shown.
        interne::ProgressionDebut(0);
        interne::Garde(
            false,
            [&]()
            {
                ChargePlan();
                return true;
            },
            [&](const std::string& texte)
            {
                valide = false;
                Echoue(MessageDxf::Interne).texte = texte;
            });
        interne::ProgressionFin();
    }

    void ChargePlan()
    {
        if (mode != ZARVEL_TROIS_VUES && mode != ZARVEL_EXTRUSION && mode != ZARVEL_REVOLUTION)
        {
            Echoue(MessageDxf::ModeInconnu).entier = static_cast<int>(mode);
            return;
        }
        lecture = dxf::LitDessin(chemin.c_str(), tolerance, dessin);
        lu = lecture.etat == dxf::EtatFichier::Correct && !lecture.exception;
        if (lecture.exception)
        {
            Echoue(MessageDxf::ExceptionLecture).texte = lecture.message;
            return;
        }
        switch (lecture.etat)
        {
        case dxf::EtatFichier::Correct:
            break;
        case dxf::EtatFichier::CheminVide:
            Echoue(MessageDxf::CheminVide);
            return;
        case dxf::EtatFichier::Absent:
            Echoue(MessageDxf::Absent);
            return;
        case dxf::EtatFichier::Repertoire:
            Echoue(MessageDxf::Repertoire);
            return;
        case dxf::EtatFichier::Illisible:
            Echoue(MessageDxf::Illisible).texte = std::strerror(lecture.erreur);
            return;
        case dxf::EtatFichier::TubeSansEcrivain:
            Echoue(MessageDxf::TubeSansEcrivain).entier = interne::attente_tube_ms / 1000;
            return;
        case dxf::EtatFichier::Vide:
            Echoue(MessageDxf::Vide);
            return;
        case dxf::EtatFichier::TropGrand:
            Echoue(MessageDxf::TropGrand);
            return;
        case dxf::EtatFichier::Binaire:
            Echoue(MessageDxf::Binaire);
            return;
        case dxf::EtatFichier::PasDxf:
            Echoue(MessageDxf::PasDxf).nombre = lecture.ligne;
            return;
        case dxf::EtatFichier::Corrompu:
            Echoue(MessageDxf::Corrompu).nombre = lecture.ligne;
            return;
        case dxf::EtatFichier::Tronque:
            Echoue(MessageDxf::Tronque).nombre = lecture.ligne;
            return;
        case dxf::EtatFichier::SectionOuverte:
            Echoue(MessageDxf::SectionOuverte).nombre = lecture.ligne;
            return;
        case dxf::EtatFichier::TropDElements:
            Echoue(MessageDxf::TropDElements).nombre = dxf::elements_plan_max;
            return;
        }
        if (dessin.comptes.invalides > 0)
        {
            // A plan with corrupt coordinates is not converted from what is left of it.
            Echoue(MessageDxf::Invalides).nombre = dessin.comptes.invalides;
            return;
        }
        vues = dxf::DetecteVues(dessin, static_cast<int>(mode), tolerance);
        vues_cherchees = true;
        switch (vues.echec)
        {
        case dxf::EchecVues::Aucun:
            break;
        case dxf::EchecVues::RienDessine:
            Echoue(MessageDxf::RienDessine);
            return;
        case dxf::EchecVues::UneSeuleVue:
        {
            Echec& e = Echoue(MessageDxf::UneSeuleVue);
            dxf::Boite b;
            for (const dxf::Courbe& c : dessin.courbes)
            {
                if (c.trait != dxf::Trait::Axe)
                {
                    b.Ajout(dxf::BoiteCourbe(c));
                }
            }
            e.v1 = Arrondi(b.Largeur());
            e.v2 = Arrondi(b.Hauteur());
            return;
        }
        case dxf::EchecVues::NonAlignees:
            Echoue(MessageDxf::NonAlignees).nombre = vues.groupes;
            return;
        case dxf::EchecVues::Incoherentes:
        {
            Echec& e = Echoue(MessageDxf::Incoherentes);
            e.v1 = Arrondi(vues.valeur1);
            e.v2 = Arrondi(vues.valeur2);
            return;
        }
        case dxf::EchecVues::TroisiemeDecalee:
            Echoue(MessageDxf::TroisiemeDecalee).nombre = vues.groupes_ignores;
            return;
        case dxf::EchecVues::TropDeGroupes:
            Echoue(MessageDxf::TropDeGroupes).nombre = vues.groupes;
            return;
        }
        if (moteur == nullptr)
        {
            moteur = Zarvel::Construct(parametres, nullptr);
        }
        if (moteur == nullptr)
        {
            Echoue(MessageDxf::Interne).texte = "Zarvel::Construct";
            return;
        }
        unsigned long refuses = 0;
        unsigned long donnes = 0;
        for (const dxf::Vue& v : vues.vues)
        {
            Dessine(v, donnes, refuses);
        }
        if (refuses > 0)
        {
            Echoue(MessageDxf::MoteurRefuse).nombre = refuses;
            return;
        }
        valide = true;
    }

    bool ValideInit() const override { return valide; }

    bool Genere() override
    {
        return interne::Garde(
            false,
            [&]()
            {
                if (!valide || moteur == nullptr)
                {
                    if (!echec.present)
                    {
                        Echoue(MessageDxf::NonCharge);
                    }
                    return false;
                }
                const double p = ParametreGeneration();
                if (!std::isfinite(p) || (mode == ZARVEL_EXTRUSION && p <= 0.0))
                {
                    Echoue(MessageDxf::ParametreInvalide).v1 = p;
                    return false;
                }
                parametre_utilise = p;
                const int statut = moteur->Generation(mode, p);
                genere = statut == ZARVEL_SUCCES;
                if (!genere)
                {
                    Echec& e = Echoue(MessageDxf::EchecGeneration);
                    e.entier = statut;
                    e.texte = moteur->Diagnostic();
                    return false;
                }
                echec = Echec();
                return true;
            },
            [&](const std::string& texte) { Echoue(MessageDxf::Interne).texte = texte; });
    }

    const Zarvel* ZarvelConst() const override { return moteur; }

    Zarvel* ZarvelPtr() override
    {
        if (moteur != nullptr)
        {
            cede = true;
        }
        return moteur;
    }

    const char* Diagnostic() const override
    {
        diagnostic = TexteEchec();
        return diagnostic.c_str();
    }

    const char* Rapport() const override
    {
        std::vector<std::string> lignes;
        if (lu)
        {
            const char* version = dessin.version.empty() ? "?" : dessin.version.c_str();
            lignes.push_back(
                TexteDxf(MessageDxf::Fichier, chemin.c_str(), version, dessin.unites, dessin.echelle));
            const dxf::Comptes& c = dessin.comptes;
            std::string liste;
            for (std::size_t i = 0; i < c.lus.size(); ++i)
            {
                if (c.lus[i] > 0)
                {
                    liste += (liste.empty() ? "" : ", ") + std::string(noms_origines[i]) + " " +
                             std::to_string(c.lus[i]);
                }
            }
            lignes.push_back(TexteDxf(MessageDxf::Lus, liste.empty() ? "0" : liste.c_str()));
            lignes.push_back(TexteDxf(MessageDxf::Traits, c.traits_caches, c.traits_axes));
            Ajoute(lignes, MessageDxf::Insertions, c.insertions);
            auto liste_noms = [](const std::map<std::string, unsigned long>& m)
            {
                std::string s;
                for (const auto& e : m)
                {
                    s += (s.empty() ? "" : ", ") + e.first + " " + std::to_string(e.second);
                }
                return s;
            };
            if (!c.ignores.empty())
            {
                lignes.push_back(TexteDxf(MessageDxf::Ignores, liste_noms(c.ignores).c_str()));
            }
            if (!c.non_pris_en_charge.empty())
            {
                lignes.push_back(
                    TexteDxf(MessageDxf::NonPrisEnCharge, liste_noms(c.non_pris_en_charge).c_str()));
            }
            Ajoute(lignes, MessageDxf::EspacePapier, c.espace_papier);
            Ajoute(lignes, MessageDxf::CalquesEteints, c.calques_eteints);
            if (c.calques_eteints_utilises)
            {
                lignes.push_back(TexteDxf(MessageDxf::CalquesEteintsLus));
            }
            Ajoute(lignes, MessageDxf::HorsPlan, c.hors_plan);
            Ajoute(lignes, MessageDxf::InvalidesRapport, c.invalides);
            Ajoute(lignes, MessageDxf::Degeneres, c.degeneres);
            Ajoute(lignes, MessageDxf::BlocsAbsents, c.blocs_absents);
            Ajoute(lignes, MessageDxf::SplinesApprochees, c.splines_approchees);
            Ajoute(lignes, MessageDxf::Corrompues, c.corrompues);
        }
        if (vues_cherchees)
        {
            Ajoute(lignes, MessageDxf::Cadre, static_cast<unsigned long>(vues.cadre));
            lignes.push_back(TexteDxf(MessageDxf::Groupes, static_cast<unsigned long>(vues.groupes),
                                      static_cast<unsigned long>(vues.groupes_ignores)));
            if (!vues.vues.empty())
            {
                lignes.push_back(TexteDxf(vues.disposition == dxf::Disposition::Profil
                                              ? MessageDxf::DispositionProfil
                                          : vues.disposition == dxf::Disposition::PremierDiedre
                                              ? MessageDxf::DispositionPremier
                                              : MessageDxf::DispositionTroisieme));
            }
            for (const dxf::Vue& v : vues.vues)
            {
                const int id = vues.disposition == dxf::Disposition::Profil ? 0 : v.id;
                std::string l = TexteDxf(MessageDxf::Vue, NomVue(id).c_str(), Arrondi(v.largeur),
                                         Arrondi(v.hauteur), Arrondi(v.boite.xmin), Arrondi(v.boite.ymin),
                                         static_cast<unsigned long>(v.courbes.size()));
                if (v.copie_de != 0)
                {
                    l += TexteDxf(MessageDxf::VueDeduite, NomVue(v.copie_de).c_str());
                }
                else if (v.miroir)
                {
                    l += TexteDxf(MessageDxf::VueMiroir);
                }
                lignes.push_back(l + ".");
            }
            if (vues.vue_absente != 0)
            {
                lignes.push_back(TexteDxf(MessageDxf::VueAbsente, NomVue(vues.vue_absente).c_str()));
            }
        }
        if (valide && mode != ZARVEL_TROIS_VUES)
        {
            const double p = ParametreGeneration();
            MessageDxf origine = MessageDxf::OrigineDonnee;
            if (!ParametreDonne())
            {
                origine = mode == ZARVEL_REVOLUTION        ? MessageDxf::OrigineTour
                          : vues.hauteur_seconde_vue > 0.0 ? MessageDxf::OrigineSecondeVue
                                                           : MessageDxf::OrigineProfil;
            }
            lignes.push_back(
                TexteDxf(mode == ZARVEL_EXTRUSION ? MessageDxf::Extrusion : MessageDxf::Revolution,
                         Arrondi(p), TexteDxf(origine).c_str()));
        }
        if (genere && moteur != nullptr)
        {
            const PScene3D& scene = moteur->Scene();
            lignes.push_back(TexteDxf(MessageDxf::Genere,
                                      static_cast<unsigned long>(scene.Modele().surfaces.size()),
                                      scene.NombreTriangles()));
        }
        if (echec.present)
        {
            lignes.push_back(TexteEchec());
        }
        rapport.clear();
        for (const std::string& l : lignes)
        {
            rapport += l;
            rapport += '\n';
        }
        return rapport.c_str();
    }

private:
    Echec& Echoue(MessageDxf message)
    {
        echec = Echec();
        echec.present = true;
        echec.message = message;
        return echec;
    }

    static void Ajoute(std::vector<std::string>& lignes, MessageDxf message, unsigned long n)
    {
        if (n > 0)
        {
            lignes.push_back(TexteDxf(message, n));
        }
    }

    std::string TexteEchec() const
    {
        if (!echec.present)
        {
            return std::string();
        }
        switch (echec.message)
        {
        case MessageDxf::Absent:
        case MessageDxf::Repertoire:
        case MessageDxf::Vide:
        case MessageDxf::TropGrand:
        case MessageDxf::Binaire:
            return TexteDxf(echec.message, chemin.c_str());
        case MessageDxf::Illisible:
            return TexteDxf(echec.message, chemin.c_str(), echec.texte.c_str());
        case MessageDxf::TubeSansEcrivain:
            return TexteDxf(echec.message, chemin.c_str(), echec.entier);
        case MessageDxf::PasDxf:
        case MessageDxf::Corrompu:
        case MessageDxf::Tronque:
        case MessageDxf::SectionOuverte:
        case MessageDxf::TropDElements:
            return TexteDxf(echec.message, chemin.c_str(), echec.nombre);
        case MessageDxf::ExceptionLecture:
        case MessageDxf::Interne:
            return TexteDxf(echec.message, echec.texte.c_str());
        case MessageDxf::Invalides:
        case MessageDxf::NonAlignees:
        case MessageDxf::TroisiemeDecalee:
        case MessageDxf::TropDeGroupes:
        case MessageDxf::MoteurRefuse:
            return TexteDxf(echec.message, echec.nombre);
        case MessageDxf::UneSeuleVue:
        case MessageDxf::Incoherentes:
            return TexteDxf(echec.message, echec.v1, echec.v2);
        case MessageDxf::ModeInconnu:
            return TexteDxf(echec.message, echec.entier);
        case MessageDxf::ParametreInvalide:
            return TexteDxf(echec.message, echec.v1);
        case MessageDxf::EchecGeneration:
            return TexteDxf(echec.message, echec.entier, echec.texte.c_str());
        default:
            return TexteDxf(echec.message);
        }
    }

    bool ParametreDonne() const { return std::isfinite(parametre) && parametre != 0.0; }

    double ParametreGeneration() const
    {
        switch (mode)
        {
        case ZARVEL_EXTRUSION:
        {
            // The length is given in the plan's own unit, like its geometry.
            if (ParametreDonne())
            {
                return parametre * dessin.echelle;
            }
            if (vues.hauteur_seconde_vue > 0.0)
            {
                return vues.hauteur_seconde_vue;
            }
            const dxf::Vue& v = vues.vues.front();
            return std::min(v.largeur, v.hauteur);
        }
        case ZARVEL_REVOLUTION:
            return ParametreDonne() ? parametre : 360.0;
        default:
            return 0.0;
        }
    }

    // Draws one view into the engine: ends closer than the tolerance are joined, curves drawn
    // twice are given once (the visible one), and in revolution a centre line stands for the
    // axis when the view has no point.
    void Dessine(const dxf::Vue& v, unsigned long& donnes, unsigned long& refuses)
    {
        std::vector<dxf::Courbe> courbes;
        courbes.reserve(v.courbes.size());
        for (std::size_t i : v.courbes)
        {
            dxf::Courbe c = dessin.courbes[i];
            if (dxf::Transforme(v.locale, c))
            {
                courbes.push_back(c);
            }
        }
        std::stable_sort(courbes.begin(), courbes.end(),
                         [](const dxf::Courbe& a, const dxf::Courbe& b)
                         { return static_cast<int>(a.trait) < static_cast<int>(b.trait); });

        // Ends: the ends of arcs are fixed, the ends of segments move onto them or onto each other.
        const double pas = tolerance;
        std::unordered_map<long long, std::vector<std::array<double, 2>>> grille;
        auto cle = [pas](double x, double y, int dx, int dy)
        {
            return (static_cast<long long>(std::floor(x / pas)) + dx) * 73856093LL ^
                   (static_cast<long long>(std::floor(y / pas)) + dy) * 19349663LL;
        };
        auto accroche = [&](double& x, double& y, bool fixe)
        {
            double meilleure = HUGE_VAL;
            std::array<double, 2> cible{{x, y}};
            for (int dx = -1; dx <= 1; ++dx)
            {
                for (int dy = -1; dy <= 1; ++dy)
                {
                    auto it = grille.find(cle(x, y, dx, dy));
                    if (it == grille.end())
                    {
                        continue;
                    }
                    for (const auto& p : it->second)
                    {
                        const double d = std::hypot(p[0] - x, p[1] - y);
                        if (d <= tolerance && d < meilleure)
                        {
                            meilleure = d;
                            cible = p;
                        }
                    }
                }
            }
            if (meilleure < HUGE_VAL && !fixe)
            {
                x = cible[0];
                y = cible[1];
            }
            else if (meilleure == HUGE_VAL)
            {
                grille[cle(x, y, 0, 0)].push_back({{x, y}});
            }
        };
        for (dxf::Courbe& c : courbes)
        {
            if (!c.segment && !c.Complete())
            {
                auto a = c.Debut();
                auto b = c.Fin();
                accroche(a[0], a[1], true);
                accroche(b[0], b[1], true);
            }
        }
        for (dxf::Courbe& c : courbes)
        {
            if (c.segment && c.trait != dxf::Trait::Axe)
            {
                accroche(c.x1, c.y1, false);
                accroche(c.x2, c.y2, false);
            }
        }

        std::set<std::tuple<long long, long long, long long, long long>> segments_donnes;
        auto quantifie = [pas](double v) { return static_cast<long long>(std::llround(v / pas)); };
        const dxf::Courbe* axe_vertical = nullptr;
        for (const dxf::Courbe& c : courbes)
        {
            AttributsLigne a;
            a.rouge = c.couleur[0];
            a.vert = c.couleur[1];
            a.bleu = c.couleur[2];
            a.alpha = 255;
            a.visible = c.trait == dxf::Trait::Cache ? 0 : 1;
            a.construction = c.trait == dxf::Trait::Axe ? 1 : 0;
            bool accepte;
            if (c.segment)
            {
                if (std::hypot(c.x2 - c.x1, c.y2 - c.y1) <= tolerance)
                {
                    continue; // collapsed onto one point by the joining of ends
                }
                auto p = std::make_tuple(quantifie(c.x1), quantifie(c.y1), quantifie(c.x2), quantifie(c.y2));
                auto q = std::make_tuple(std::get<2>(p), std::get<3>(p), std::get<0>(p), std::get<1>(p));
                if (segments_donnes.count(p) != 0 || segments_donnes.count(q) != 0)
                {
                    ++dessin.comptes.doublons;
                    continue;
                }
                segments_donnes.insert(p);
                if (c.trait == dxf::Trait::Axe && std::fabs(c.x2 - c.x1) <= tolerance &&
                    (axe_vertical == nullptr ||
                     std::fabs(c.y2 - c.y1) > std::fabs(axe_vertical->y2 - axe_vertical->y1)))
                {
                    axe_vertical = &c;
                }
                accepte = moteur->AjoutLigne(v.id, Point2D(c.x1, c.y1), Point2D(c.x2, c.y2), a, c.calque, 0);
            }
            else
            {
                const double largeur = 2.0 * std::hypot(c.ax, c.ay);
                const double debut = c.Complete() ? 0.0 : c.t0 * 180.0 / M_PI;
                const double fin = c.Complete() ? 360.0 : c.t1 * 180.0 / M_PI;
                accepte = moteur->AjoutEllipse(v.id, Point2D(c.cx, c.cy), largeur, largeur * c.ratio, debut,
                                               fin, std::atan2(c.ay, c.ax) * 180.0 / M_PI, a, c.calque);
            }
            ++donnes;
            refuses += accepte ? 0 : 1;
        }
        for (std::size_t i : v.points)
        {
            const auto p = v.locale.Applique(dessin.points[i].x, dessin.points[i].y);
            refuses += moteur->AjoutPoint(v.id, Point2D(p[0], p[1])) ? 0 : 1;
        }
        if (mode == ZARVEL_REVOLUTION && v.points.empty() && axe_vertical != nullptr)
        {
            refuses += moteur->AjoutPoint(
                           v.id, Point2D(axe_vertical->x1, std::min(axe_vertical->y1, axe_vertical->y2)))
                           ? 0
                           : 1;
        }
    }

    std::string chemin;
    modezarvel_t mode;
    ParametresZarvel parametres;
    double parametre;
    double parametre_utilise = 0.0;
    double tolerance = 0.01;
    Zarvel* moteur = nullptr;
    bool cede = false;
    bool lu = false;
    bool vues_cherchees = false;
    bool valide = false;
    bool genere = false;
    dxf::Lecture lecture;
    dxf::Dessin dessin;
    dxf::ResultatVues vues;
    Echec echec;
    mutable std::string diagnostic;
    mutable std::string rapport;
};

} // namespace

ZarvelAuto::~ZarvelAuto() = default;

ZarvelAuto* ZarvelAuto::Construct(const char* chemin, modezarvel_t mode)
{
    return Construct(chemin, mode, ParametresZarvel(), 0.0, nullptr);
}

ZarvelAuto* ZarvelAuto::Construct(const char* chemin, modezarvel_t mode, const ParametresZarvel& parametres)
{
    return Construct(chemin, mode, parametres, 0.0, nullptr);
}

ZarvelAuto* ZarvelAuto::Construct(const char* chemin, modezarvel_t mode, const ParametresZarvel& parametres,
                                  double parametre, Zarvel* moteur)
{
    ZarvelAutoDxf* objet = new ZarvelAutoDxf(chemin, mode, parametres, parametre, moteur);
    objet->Charge();
    if (!objet->ValideInit())
    {
        interne::DefDiagnostic(objet->Diagnostic());
    }
    return objet;
}

} // namespace Zarvel3D
