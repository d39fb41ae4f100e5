#include "zarvel_gl.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <new>
#include <vector>

namespace PGL
{

namespace GL = Extensions_GL;

namespace
{

constexpr unsigned int TypeVertexShader = 0x8B31;
constexpr unsigned int TypePixelShader = 0x8B30;
constexpr unsigned int StatutCompilation = 0x8B81;
constexpr unsigned int StatutLiage = 0x8B82;
constexpr unsigned int StatutValidation = 0x8B83;
constexpr unsigned int LongueurJournal = 0x8B84;
constexpr unsigned int BinaireRecuperable = 0x8257;
constexpr unsigned int LongueurBinaire = 0x8741;
constexpr unsigned int NombreFormatsBinaires = 0x87FE;
constexpr unsigned int OperationInvalide = 0x502;
constexpr unsigned int TypeFloat = 0x1406;
constexpr unsigned int TypeOctet = 0x1400;

// Fetches an info log of `longueur` characters (as reported by GL) with the given getter and
// appends it to `journal` when GL returned more than one character.
template <typename Lecteur>
void AjoutJournal(std::string& journal, unsigned int nom, int longueur, Lecteur lecteur)
{
    if (longueur < 0) longueur = 0;
    std::vector<char> tampon(static_cast<size_t>(longueur) + 1, '\0');
    int rendu = 0;
    lecteur(nom, longueur, &rendu, tampon.data());
    tampon.back() = '\0';
    if (rendu > 1) journal.append(tampon.data());
}

void EcritMot(std::ofstream& fichier, uint32_t mot)
{
    const char octets[4] = {static_cast<char>(mot & 0xFF), static_cast<char>((mot >> 8) & 0xFF),
                            static_cast<char>((mot >> 16) & 0xFF), static_cast<char>((mot >> 24) & 0xFF)};
    fichier.write(octets, 4);
}

} // namespace

// ---- Shader_GL ---------------------------------------------------------------------------------

Shader_GL::Shader_GL(unsigned int type_shader) : type(type_shader), nom(0), compile(false)
{
    // The context is tested first: before Init, SupportShaders would read the extension string.
    if (GL::ContexteCourant() && GL::SupportShaders()) nom = GL::glCreateShader(type);
}

Shader_GL::~Shader_GL()
{
    if (nom != 0) GL::glDeleteShader(nom);
}

bool Shader_GL::Desactive()
{
    if (nom == 0) return false;
    GL::glDeleteShader(nom);
    nom = 0;
    return true;
}

bool Shader_GL::Reactive()
{
    if (!GL::SupportShaders())
    {
        nom = 0;
        return false;
    }
    Desactive();
    nom = GL::glCreateShader(type);
    // A new object has never been compiled, so it is not attached anywhere.
    compile = false;
    return true;
}

bool Shader_GL::ChargeSource(char const* source)
{
    if (nom == 0) return false;
    if (!source)
    {
        compile = false;
        return false;
    }
    journal.clear();
    GL::glShaderSource(nom, 1, &source, nullptr);
    GL::glCompileShader(nom);
    // A context that cannot answer leaves the preset, which counts as success.
    int statut = 1;
    GL::glGetShaderiv(nom, StatutCompilation, &statut);
    compile = (statut == 1);
    if (compile) return true;
    int longueur = 0;
    GL::glGetShaderiv(nom, LongueurJournal, &longueur);
    AjoutJournal(journal, nom, longueur, GL::glGetShaderInfoLog);
    return false;
}

// ---- Program_GL --------------------------------------------------------------------------------

Program_GL::Program_GL() : nom(0), vertex_shader(TypeVertexShader), pixel_shader(TypePixelShader), lie(false)
{
    // Without a context the name stays 0; Reactive creates the objects later.
    if (GL::ContexteCourant() && GL::SupportShaders()) nom = GL::glCreateProgram();
}

Program_GL::~Program_GL()
{
    // The stages are destroyed next, pixel then vertex.
    if (nom != 0) GL::glDeleteProgram(nom);
}

bool Program_GL::AjoutShader(Shader_GL& etage, char const* source)
{
    if (nom == 0) return false;
    if (etage.nom == 0)
    {
        etage.nom = GL::glCreateShader(etage.type);
        etage.compile = false;
        etage.journal.clear();
    }
    else if (etage.compile)
    {
        // A compiled stage is the attached one: detach it before recompiling.
        GL::glDetachShader(nom, etage.nom);
    }
    if (!etage.ChargeSource(source)) return false;
    GL::glAttachShader(nom, etage.nom);
    return true;
}

bool Program_GL::AjoutVertexShader(char const* source)
{
    return AjoutShader(vertex_shader, source);
}

bool Program_GL::AjoutPixelShader(char const* source)
{
    return AjoutShader(pixel_shader, source);
}

bool Program_GL::AjoutShaderFichier(Shader_GL& etage, char const* chemin)
{
    char* texte = ChargeFichier(chemin);
    if (!texte) return false;
    const bool resultat = AjoutShader(etage, texte);
    delete[] texte;
    return resultat;
}

bool Program_GL::AjoutVertexShaderFichier(char const* chemin)
{
    return AjoutShaderFichier(vertex_shader, chemin);
}

bool Program_GL::AjoutPixelShaderFichier(char const* chemin)
{
    return AjoutShaderFichier(pixel_shader, chemin);
}

char* Program_GL::ChargeFichier(char const* chemin)
{
    if (!chemin) return nullptr;
    // A directory opens as a stream on Linux but has no content to read.
    std::error_code erreur;
    if (!std::filesystem::is_regular_file(chemin, erreur)) return nullptr;
    std::ifstream fichier(chemin, std::ios::in | std::ios::binary);
    if (!fichier) return nullptr;
    fichier.seekg(0, std::ios::end);
    const std::streamoff taille = fichier.tellg();
    if (taille < 0) return nullptr;
    fichier.seekg(0, std::ios::beg);
    char* texte = new (std::nothrow) char[static_cast<size_t>(taille) + 1];
    if (!texte) return nullptr;
    fichier.read(texte, taille);
    if (fichier.gcount() != taille)
    {
        delete[] texte;
        return nullptr;
    }
    texte[taille] = '\0';
    return texte;
}

bool Program_GL::LinkProgram()
{
    journal.clear();
    if (nom == 0) return false;
    GL::glProgramParameteri(nom, BinaireRecuperable, 1);
    GL::glLinkProgram(nom);
    int statut = 1;
    GL::glGetProgramiv(nom, StatutLiage, &statut);
    lie = (statut == 1);
    if (lie)
    {
        GL::glValidateProgram(nom);
        GL::glGetProgramiv(nom, StatutValidation, &statut);
        lie = (statut == 1);
        return lie;
    }
    int longueur = 0;
    GL::glGetProgramiv(nom, LongueurJournal, &longueur);
    AjoutJournal(journal, nom, longueur, GL::glGetProgramInfoLog);
    return false;
}

bool Program_GL::DumpBinaire(std::string const& chemin, int tag) const
{
    if (nom == 0 || !lie) return false;
    std::ofstream fichier(chemin, std::ios::out | std::ios::binary | std::ios::trunc);
    if (!fichier) return false;

    struct Section
    {
        int longueur = 0;
        std::vector<unsigned int> formats;
        std::vector<char> binaire;
    };
    Section sections[2];
    for (Section& section : sections)
    {
        // Binaries belong to the linked program, not to its shader objects: both sections are
        // read from the program.
        int longueur = 0;
        GL::glGetProgramiv(nom, LongueurBinaire, &longueur);
        if (longueur < 0) longueur = 0;
        GLint nombre_formats = 0;
        ::glGetIntegerv(NombreFormatsBinaires, &nombre_formats);
        // GL writes one format word whatever the count: never hand it an empty array.
        section.formats.assign(static_cast<size_t>(nombre_formats > 0 ? nombre_formats : 1), 0u);
        section.binaire.assign(static_cast<size_t>(longueur) + 1, '\0');
        GL::glGetProgramBinary(nom, longueur, &section.longueur, section.formats.data(),
                               section.binaire.data());
        if (section.longueur < 0 || section.longueur > longueur) section.longueur = 0;
    }

    if (::glGetError() == OperationInvalide)
    {
        int statut = 0;
        GL::glGetProgramiv(nom, StatutLiage, &statut);
        if (statut != 1) return false; // the file is left empty
    }

    EcritMot(fichier, 32);
    EcritMot(fichier, static_cast<uint32_t>(tag));
    for (int i = 0; i < 6; ++i)
        EcritMot(fichier, 0);
    for (Section const& section : sections)
    {
        if (section.longueur == 0)
        {
            EcritMot(fichier, 4);
            continue;
        }
        EcritMot(fichier, static_cast<uint32_t>(section.longueur) + 4);
        EcritMot(fichier, section.formats[0]);
        fichier.write(section.binaire.data(), section.longueur);
    }
    fichier.close();
    return sections[0].longueur != 0 || sections[1].longueur != 0;
}

bool Program_GL::UseProgram() const
{
    if (!lie || nom == 0) return false;
    GL::glUseProgram(nom);
    return true;
}

void Program_GL::DesactivePrograms()
{
    GL::glUseProgram(0);
}

bool Program_GL::Desactive()
{
    // Without a program object nothing of this one can be current, and a wrapper built without a
    // context must be able to tear down without a GL call.
    if (nom != 0) GL::glUseProgram(0);
    // Only a compiled stage is attached; detaching anything else would be a GL error.
    for (Shader_GL* etage : {&vertex_shader, &pixel_shader})
    {
        if (etage->nom == 0) continue;
        if (nom != 0 && etage->compile) GL::glDetachShader(nom, etage->nom);
        etage->Desactive();
    }
    lie = false;
    if (nom == 0) return false;
    GL::glDeleteProgram(nom);
    nom = 0;
    return true;
}

bool Program_GL::Reactive()
{
    if (!GL::SupportShaders())
    {
        nom = 0;
        return false;
    }
    Desactive();
    vertex_shader.Reactive();
    pixel_shader.Reactive();
    nom = GL::glCreateProgram();
    return true;
}

int Program_GL::ReservationUniform(char const* nom_uniform) const
{
    if (!lie) return -1;
    return GL::glGetUniformLocation(nom, nom_uniform);
}

int Program_GL::ReservationAttribut(char const* nom_attribut) const
{
    if (!lie) return -1;
    return GL::glGetAttribLocation(static_cast<int>(nom), nom_attribut);
}

bool Program_GL::ActivationUniformMatrix(int location, PMatriceGL4 const& matrice) const
{
    if (location == -1 || !lie) return false;
    GL::glUniformMatrix4fv(location, 1, GL_FALSE, matrice.Donnees());
    return true;
}

bool Program_GL::ActivationUniformVect(int location, PVertex_GL const& vecteur) const
{
    if (location == -1 || !lie) return false;
    GL::glUniform3f(location, vecteur.X, vecteur.Y, vecteur.Z);
    return true;
}

bool Program_GL::ActivationUniformInt(int location, int valeur) const
{
    if (location == -1 || !lie) return false;
    GL::glUniform1i(location, valeur);
    return true;
}

bool Program_GL::ActivationUniformFloat(int location, float valeur) const
{
    if (location == -1 || !lie) return false;
    GL::glUniform1f(location, valeur);
    return true;
}

bool Program_GL::ActivationTableauAttributs(int location, int composantes, unsigned int type,
                                            void const* tableau) const
{
    if (location < 0) return false;
    GL::glEnableVertexAttribArray(location);
    GL::glVertexAttribPointer(static_cast<unsigned int>(location), composantes, type, GL_FALSE, 0, tableau);
    return true;
}

bool Program_GL::ActivationTableauAttributs2F(int location, void const* tableau) const
{
    return ActivationTableauAttributs(location, 2, TypeFloat, tableau);
}

bool Program_GL::ActivationTableauAttributs3F(int location, void const* tableau) const
{
    return ActivationTableauAttributs(location, 3, TypeFloat, tableau);
}

bool Program_GL::ActivationTableauAttributs4F(int location, void const* tableau) const
{
    return ActivationTableauAttributs(location, 4, TypeFloat, tableau);
}

bool Program_GL::ActivationTableauAttributs3B(int location, void const* tableau) const
{
    return ActivationTableauAttributs(location, 4, TypeOctet, tableau);
}

bool Program_GL::DesactiveAttribut(int location) const
{
    if (location < 0) return false;
    GL::glDisableVertexAttribArray(static_cast<unsigned int>(location));
    return true;
}

// ---- Uniform_GL --------------------------------------------------------------------------------

Uniform_GL::Uniform_GL(Program_GL const& programme_lie) : programme(&programme_lie), location(-1) {}

bool Uniform_GL::Valide() const
{
    return programme->Nom() != 0 && programme->Lie() && location != -1;
}

bool Uniform_GL::Reservation(char const* nom)
{
    if (programme->Nom() == 0 || !programme->Lie() || location != -1) return false;
    location = programme->ReservationUniform(nom);
    return location != -1;
}

bool Uniform_GL::Desactive()
{
    if (!Valide()) return false;
    location = -1;
    return true;
}

bool Uniform_GL::Activation(PMatriceGL4 const& matrice) const
{
    if (!Valide()) return false;
    GL::glUniformMatrix4fv(location, 1, GL_FALSE, matrice.Donnees());
    return true;
}

bool Uniform_GL::Activation(PVertex_GL const& vecteur) const
{
    if (!Valide()) return false;
    GL::glUniform3f(location, vecteur.X, vecteur.Y, vecteur.Z);
    return true;
}

bool Uniform_GL::Activation(float valeur) const
{
    if (!Valide()) return false;
    GL::glUniform1f(location, valeur);
    return true;
}

bool Uniform_GL::Activation(int valeur) const
{
    if (!Valide()) return false;
    GL::glUniform1i(location, valeur);
    return true;
}

// ---- Attribute_GL ------------------------------------------------------------------------------

Attribute_GL::Attribute_GL(Program_GL const& programme_lie) : programme(&programme_lie), location(-1) {}

bool Attribute_GL::Valide() const
{
    return programme->Nom() != 0 && programme->Lie() && location != -1;
}

bool Attribute_GL::Reservation(char const* nom)
{
    if (programme->Nom() == 0 || !programme->Lie() || location != -1) return false;
    location = programme->ReservationAttribut(nom);
    return location != -1;
}

bool Attribute_GL::Activation(PTableau_GL<PVertex_GL> const& sommets) const
{
    if (!Valide()) return false;
    return programme->ActivationTableauAttributs3F(location, sommets.data());
}

bool Attribute_GL::Activation(PTableau_GL<PCouleur_GL> const& couleurs) const
{
    if (!Valide()) return false;
    return programme->ActivationTableauAttributs4F(location, couleurs.data());
}

bool Attribute_GL::Desactive() const
{
    if (!Valide()) return false;
    return programme->DesactiveAttribut(location);
}

} // namespace PGL
