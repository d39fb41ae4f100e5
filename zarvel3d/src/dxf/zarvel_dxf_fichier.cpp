#include "zarvel_dxf_fichier.h"

#include "fichier_entree.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

namespace Zarvel3D::dxf
{

namespace
{

constexpr long long taille_max = 512LL * 1024 * 1024;
// dxflib reads lines into a buffer of 1024 bytes; longer values are cut well below that.
constexpr std::size_t valeur_max = 500;
// Longer lines keep only their beginning while they are read: no group code or kept value comes
// near it, and a file without line ends cannot fill the memory.
constexpr std::size_t longueur_ligne_max = 4096;
// Pairs of one object (entity, table entry, section header); a polyline at the element limit
// has about three per vertex.
constexpr std::size_t paires_objet_max = 4 * elements_plan_max;

// The lines of a file read block by block, whatever their ends (\n, \r\n or \r).
class Lignes
{
public:
    explicit Lignes(interne::FichierEntree& e) : entree(e), tampon(std::size_t(1) << 16) {}

    /// The next line; false at the end of the file, after a read error (Erreur) or beyond
    /// taille_max bytes (TropGrand).
    bool Suivante(std::string& ligne)
    {
        ligne.clear();
        bool commencee = false;
        for (;;)
        {
            if (debut == fin && !Remplit())
            {
                if (commencee)
                {
                    ++numero;
                }
                return commencee;
            }
            if (apres_retour)
            {
                // The \n of a \r\n end, possibly at the start of the next block.
                apres_retour = false;
                if (tampon[debut] == '\n')
                {
                    ++debut;
                    continue;
                }
            }
            const char* p = tampon.data() + debut;
            const char* const bout = tampon.data() + fin;
            const char* q = p;
            while (q < bout && *q != '\n' && *q != '\r')
            {
                ++q;
            }
            const std::size_t place = longueur_ligne_max - std::min(ligne.size(), longueur_ligne_max);
            ligne.append(p, std::min(static_cast<std::size_t>(q - p), place));
            commencee = commencee || q > p;
            debut += static_cast<std::size_t>(q - p);
            if (q < bout)
            {
                apres_retour = *q == '\r';
                ++debut;
                ++numero;
                return true;
            }
        }
    }
    /// Lines read so far.
    unsigned long Numero() const { return numero; }
    bool Erreur() const { return erreur; }
    bool TropGrand() const { return trop_grand; }

private:
    bool Remplit()
    {
        if (erreur || trop_grand)
        {
            return false;
        }
        const long long r = entree.Lit(tampon.data(), tampon.size());
        if (r < 0)
        {
            erreur = true;
            return false;
        }
        octets += static_cast<unsigned long long>(r);
        if (octets > static_cast<unsigned long long>(taille_max))
        {
            trop_grand = true;
            return false;
        }
        debut = 0;
        fin = static_cast<std::size_t>(r);
        return r > 0;
    }

    interne::FichierEntree& entree;
    std::vector<char> tampon;
    std::size_t debut = 0, fin = 0;
    bool apres_retour = false;
    unsigned long numero = 0;
    unsigned long long octets = 0;
    bool erreur = false;
    bool trop_grand = false;
};

struct Paire
{
    int code;
    std::string valeur;
};

std::string Nettoie(const char* debut, const char* fin)
{
    while (debut < fin && (*debut == ' ' || *debut == '\t'))
    {
        ++debut;
    }
    while (fin > debut && (fin[-1] == ' ' || fin[-1] == '\t' || fin[-1] == '\r' || fin[-1] == '\n'))
    {
        --fin;
    }
    return std::string(debut, fin);
}

bool LitCode(const std::string& texte, int& code)
{
    if (texte.empty() || texte.size() > 6)
    {
        return false;
    }
    std::size_t i = texte[0] == '-' ? 1 : 0;
    if (i == texte.size())
    {
        return false;
    }
    for (std::size_t j = i; j < texte.size(); ++j)
    {
        if (!std::isdigit(static_cast<unsigned char>(texte[j])))
        {
            return false;
        }
    }
    code = std::atoi(texte.c_str());
    return true;
}

std::string Majuscules(std::string s)
{
    for (char& c : s)
    {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return s;
}

// Entities the reader turns into geometry (with the pieces of a POLYLINE).
const std::set<std::string> entites_lues = {"LINE",     "ARC",    "CIRCLE", "ELLIPSE", "LWPOLYLINE",
                                            "POLYLINE", "SPLINE", "POINT",  "INSERT"};
// Entities that hold 3D data this reader cannot convert.
const std::set<std::string> entites_non_prises = {
    "3DSOLID",         "REGION",        "BODY",         "SURFACE", "PLANESURFACE", "EXTRUDEDSURFACE",
    "REVOLVEDSURFACE", "LOFTEDSURFACE", "SWEPTSURFACE", "MESH",    "3DFACE",       "POLYFACE"};

int Entier(const std::vector<Paire>& objet, int code, int defaut)
{
    for (const Paire& p : objet)
    {
        if (p.code == code)
        {
            return std::atoi(p.valeur.c_str());
        }
    }
    return defaut;
}

std::string Texte(const std::vector<Paire>& objet, int code)
{
    for (const Paire& p : objet)
    {
        if (p.code == code)
        {
            return p.valeur;
        }
    }
    return std::string();
}

std::size_t Nombre(const std::vector<Paire>& objet, int code)
{
    return static_cast<std::size_t>(
        std::count_if(objet.begin(), objet.end(), [code](const Paire& p) { return p.code == code; }));
}

// Replaces every pair of the count codes by one pair per code, right after the entity's name,
// holding the number of data pairs actually present.
void RecompteObjet(std::vector<Paire>& objet, const std::vector<std::pair<int, int>>& comptes)
{
    std::vector<Paire> resultat;
    resultat.reserve(objet.size() + comptes.size());
    resultat.push_back(objet.front());
    for (const auto& c : comptes)
    {
        resultat.push_back({c.first, std::to_string(Nombre(objet, c.second))});
    }
    for (std::size_t i = 1; i < objet.size(); ++i)
    {
        const bool compte =
            std::any_of(comptes.begin(), comptes.end(),
                        [&](const std::pair<int, int>& c) { return c.first == objet[i].code; });
        if (!compte)
        {
            resultat.push_back(objet[i]);
        }
    }
    objet.swap(resultat);
}

void Ecrit(std::string& flux, const std::vector<Paire>& objet)
{
    for (const Paire& p : objet)
    {
        flux += std::to_string(p.code);
        flux += '\n';
        flux += p.valeur;
        flux += '\n';
    }
}

// True when every real-valued group of the entity holds a finite number. dxflib reads "nan" or
// "1.#QNAN" as 0, which would silently move a point to the origin.
bool ReelsFinis(const std::vector<Paire>& objet)
{
    for (const Paire& p : objet)
    {
        const int c = p.code;
        if ((c >= 10 && c <= 59) || (c >= 110 && c <= 149) || (c >= 210 && c <= 239) ||
            (c >= 1010 && c <= 1059))
        {
            const char* debut = p.valeur.c_str();
            char* fin = nullptr;
            const double v = std::strtod(debut, &fin);
            while (fin != nullptr && (*fin == ' ' || *fin == '\t'))
            {
                ++fin;
            }
            if (fin == debut || fin == nullptr || *fin != '\0' || !std::isfinite(v))
            {
                return false;
            }
        }
    }
    return true;
}

// Checks and repairs an entity for dxflib; false when it must be dropped.
bool PrepareEntite(const std::string& type, std::vector<Paire>& objet)
{
    if (type == "LWPOLYLINE")
    {
        if (Nombre(objet, 10) == 0)
        {
            return false;
        }
        RecompteObjet(objet, {{90, 10}});
    }
    else if (type == "SPLINE")
    {
        const int degre = Entier(objet, 71, 3);
        if (degre < 1 || degre > 10 || (Nombre(objet, 10) == 0 && Nombre(objet, 11) == 0))
        {
            return false;
        }
        RecompteObjet(objet, {{72, 40}, {73, 10}, {74, 11}});
    }
    return true;
}

} // namespace

double MillimetresParUnite(int unites)
{
    switch (unites)
    {
    case 1:
        return 25.4; // inches
    case 2:
        return 304.8; // feet
    case 3:
        return 1609344.0; // miles
    case 4:
        return 1.0; // millimetres
    case 5:
        return 10.0; // centimetres
    case 6:
        return 1000.0; // metres
    case 7:
        return 1e6; // kilometres
    case 8:
        return 25.4e-6; // microinches
    case 9:
        return 0.0254; // mils
    case 10:
        return 914.4; // yards
    case 11:
        return 1e-7; // angstroms
    case 12:
        return 1e-6; // nanometres
    case 13:
        return 1e-3; // microns
    case 14:
        return 100.0; // decimetres
    case 15:
        return 1e4; // decametres
    case 16:
        return 1e5; // hectometres
    case 17:
        return 1e12; // gigametres
    default:
        return 1.0;
    }
}

FichierVerifie VerifieFichier(const char* chemin, Comptes& comptes)
{
    FichierVerifie r;
    if (chemin == nullptr || chemin[0] == '\0')
    {
        r.etat = EtatFichier::CheminVide;
        return r;
    }
    interne::FichierEntree entree;
    switch (entree.Ouvre(chemin))
    {
    case interne::EtatEntree::Ouvert:
        break;
    case interne::EtatEntree::CheminVide:
        r.etat = EtatFichier::CheminVide;
        return r;
    case interne::EtatEntree::Absent:
        r.etat = EtatFichier::Absent;
        return r;
    case interne::EtatEntree::Repertoire:
        r.etat = EtatFichier::Repertoire;
        return r;
    case interne::EtatEntree::Illisible:
        r.etat = EtatFichier::Illisible;
        r.erreur = entree.Erreur();
        return r;
    case interne::EtatEntree::TubeSansEcrivain:
        r.etat = EtatFichier::TubeSansEcrivain;
        return r;
    }
    if (entree.Ordinaire() && entree.Taille() > static_cast<unsigned long long>(taille_max))
    {
        r.etat = EtatFichier::TropGrand;
        return r;
    }
    // The file is read line by line as it is checked: only the cleaned stream is kept, and a plan
    // beyond the element limit is refused before the rest of it is read.
    Lignes lignes(entree);
    // Ends the check on a read error or an oversized file, whatever the pairs said so far.
    auto fin_lecture = [&]() -> bool
    {
        if (lignes.Erreur())
        {
            r.etat = EtatFichier::Illisible;
            r.erreur = entree.Erreur();
            return true;
        }
        if (lignes.TropGrand())
        {
            r.etat = EtatFichier::TropGrand;
            return true;
        }
        return false;
    };

    std::string& flux = r.flux;
    std::string section;
    std::string bloc;
    bool section_ouverte = false;
    bool fin_trouvee = false;
    bool deja_section = false;
    // What follows a POLYLINE or an INSERT with attributes until its SEQEND.
    enum class Suite
    {
        Aucune,
        Gardee,
        Ecartee
    } suite = Suite::Aucune;

    std::vector<Paire> objet;
    std::string code;
    bool texte_vu = false;
    auto lit_paire = [&](Paire& p, unsigned long& numero) -> int
    {
        // 0: read, 1: end of file, 2: bad code, 3: the first line of a binary DXF
        for (;;)
        {
            if (!lignes.Suivante(code))
            {
                return 1;
            }
            // Blank lines before the first pair.
            if (!objet.empty() || deja_section || !Nettoie(code.data(), code.data() + code.size()).empty())
            {
                break;
            }
        }
        numero = lignes.Numero();
        if (!texte_vu)
        {
            texte_vu = true;
            if (numero == 1 && code.compare(0, 18, "AutoCAD Binary DXF") == 0)
            {
                return 3;
            }
        }
        if (!LitCode(Nettoie(code.data(), code.data() + code.size()), p.code))
        {
            return 2;
        }
        std::string valeur;
        if (!lignes.Suivante(valeur))
        {
            return 1;
        }
        p.valeur = Nettoie(valeur.data(), valeur.data() + valeur.size());
        if (p.valeur.size() > valeur_max)
        {
            p.valeur.resize(valeur_max);
        }
        return 0;
    };

    auto traite_objet = [&]()
    {
        if (objet.empty())
        {
            return;
        }
        const std::string type = Majuscules(objet.front().valeur);
        if (type == "SECTION")
        {
            section = Majuscules(Texte(objet, 2));
            section_ouverte = true;
            if (section == "HEADER")
            {
                for (std::size_t k = 1; k + 1 < objet.size(); ++k)
                {
                    if (objet[k].code == 9 && objet[k].valeur == "$INSUNITS")
                    {
                        r.unites = std::atoi(objet[k + 1].valeur.c_str());
                    }
                    else if (objet[k].code == 9 && objet[k].valeur == "$ACADVER")
                    {
                        r.version = objet[k + 1].valeur;
                    }
                }
            }
            else if (section == "TABLES" || section == "BLOCKS" || section == "ENTITIES")
            {
                flux += "0\nSECTION\n2\n" + section + "\n";
            }
            return;
        }
        if (type == "ENDSEC")
        {
            if (section == "TABLES" || section == "BLOCKS" || section == "ENTITIES")
            {
                flux += "0\nENDSEC\n";
            }
            section.clear();
            section_ouverte = false;
            suite = Suite::Aucune;
            return;
        }
        if (section == "TABLES")
        {
            if (type == "LAYER" || type == "TABLE" || type == "ENDTAB")
            {
                Ecrit(flux, objet);
            }
            else if (type == "LTYPE")
            {
                RecompteObjet(objet, {{73, 49}});
                Ecrit(flux, objet);
            }
            return;
        }
        if (section != "BLOCKS" && section != "ENTITIES")
        {
            return;
        }
        const bool modele = section == "ENTITIES";
        if (type == "BLOCK")
        {
            bloc = Majuscules(Texte(objet, 2));
            suite = Suite::Aucune;
            Ecrit(flux, objet);
            return;
        }
        if (type == "ENDBLK")
        {
            bloc.clear();
            suite = Suite::Aucune;
            Ecrit(flux, objet);
            return;
        }
        if (type == "VERTEX" || type == "ATTRIB" || type == "SEQEND")
        {
            if (suite == Suite::Gardee && type != "ATTRIB")
            {
                if (!ReelsFinis(objet))
                {
                    ++comptes.invalides;
                    return;
                }
                Ecrit(flux, objet);
            }
            if (type == "SEQEND")
            {
                suite = Suite::Aucune;
            }
            return;
        }
        suite = Suite::Aucune;
        // Paper space: entities flagged 67 = 1, or held by a paper space block.
        if (Entier(objet, 67, 0) == 1 || bloc.compare(0, 12, "*PAPER_SPACE") == 0)
        {
            if (modele)
            {
                ++comptes.espace_papier;
            }
            if (type == "POLYLINE" || (type == "INSERT" && Entier(objet, 66, 0) == 1))
            {
                suite = Suite::Ecartee;
            }
            return;
        }
        if (entites_lues.count(type) != 0)
        {
            if (type == "POLYLINE" && (Entier(objet, 70, 0) & (16 | 64)) != 0)
            {
                // Polygon and polyface meshes: 3D surfaces, not plan geometry.
                if (modele)
                {
                    ++comptes.non_pris_en_charge["POLYLINE (mesh)"];
                }
                suite = Suite::Ecartee;
                return;
            }
            if (!ReelsFinis(objet))
            {
                ++comptes.invalides;
                if (type == "POLYLINE")
                {
                    suite = Suite::Ecartee;
                }
                return;
            }
            if (!PrepareEntite(type, objet))
            {
                if (modele)
                {
                    ++comptes.corrompues;
                }
                return;
            }
            if (type == "POLYLINE")
            {
                suite = Suite::Gardee;
            }
            else if (type == "INSERT" && Entier(objet, 66, 0) == 1)
            {
                suite = Suite::Ecartee;
            }
            Ecrit(flux, objet);
            return;
        }
        if (modele)
        {
            if (entites_non_prises.count(type) != 0)
            {
                ++comptes.non_pris_en_charge[type];
            }
            else
            {
                ++comptes.ignores[type];
            }
        }
    };

    std::size_t paires = 0;
    std::size_t points = 0;
    while (true)
    {
        Paire p;
        unsigned long numero = 0;
        const int etat = lit_paire(p, numero);
        if (etat == 3)
        {
            r.etat = EtatFichier::Binaire;
            return r;
        }
        if (etat == 2)
        {
            r.etat = paires < 4 && !deja_section ? EtatFichier::PasDxf : EtatFichier::Corrompu;
            r.ligne = numero;
            return r;
        }
        if (etat == 1)
        {
            break;
        }
        ++paires;
        // Counted as they come, so that an oversized plan is refused without being held.
        if ((p.code == 10 || p.code == 11) && (section == "BLOCKS" || section == "ENTITIES") &&
            ++points > elements_plan_max)
        {
            r.etat = EtatFichier::TropDElements;
            r.ligne = numero;
            return r;
        }
        if (p.code != 0 && objet.size() >= paires_objet_max)
        {
            r.etat = EtatFichier::TropDElements;
            r.ligne = numero;
            return r;
        }
        if (!deja_section)
        {
            if (p.code == 999)
            {
                continue;
            }
            if (p.code != 0 || Majuscules(p.valeur) != "SECTION")
            {
                r.etat = EtatFichier::PasDxf;
                r.ligne = numero;
                return r;
            }
            deja_section = true;
        }
        if (p.code == 0)
        {
            traite_objet();
            objet.clear();
            if (Majuscules(p.valeur) == "EOF")
            {
                fin_trouvee = true;
                break;
            }
        }
        objet.push_back(std::move(p));
    }
    if (fin_lecture())
    {
        flux.clear();
        return r;
    }
    if (!texte_vu)
    {
        r.etat = EtatFichier::Vide;
        return r;
    }
    if (!deja_section)
    {
        r.etat = EtatFichier::PasDxf;
        r.ligne = 1;
        return r;
    }
    if (!fin_trouvee || section_ouverte)
    {
        r.etat = fin_trouvee ? EtatFichier::SectionOuverte : EtatFichier::Tronque;
        r.ligne = lignes.Numero();
        flux.clear();
        return r;
    }
    flux += "0\nEOF\n";
    return r;
}

} // namespace Zarvel3D::dxf
