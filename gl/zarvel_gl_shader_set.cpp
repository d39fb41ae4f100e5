#include "zarvel_gl.h"

#include <clocale>

namespace PGL
{

namespace
{

char const* const VertexModeleDefaut = "uniform mat4 matModel;\n"
                                       "uniform mat4 matProjections;\n"
                                       "//uniform mat4 matNormals;\n"
                                       "//uniform vec3 LightPos;\n"
                                       "attribute vec3 Vertex;\n"
                                       "//attribute vec3 Normal;\n"
                                       "\n"
                                       "varying vec4 color;\n"
                                       "//varying vec3 light_pos;\n"
                                       "\n"
                                       "void main(void)\n"
                                       "{\n"
                                       "    //light_pos = LightPos;\n"
                                       "    color = gl_Color;\n"
                                       "    gl_Position = matProjections * matModel * vec4(Vertex, 1);\n"
                                       "}\n";

char const* const FragmentModeleDefaut = "varying vec4 color;\n"
                                         "//varying vec3 light_pos;\n"
                                         "\n"
                                         "void main(void)\n"
                                         "{\n"
                                         "    gl_FragColor = color;\n"
                                         "}\n";

bool SourceUtilisable(char const* source)
{
    return source && source[0] != '\0';
}

// Every exit of InitialisationShader returns to the environment's locale.
void RestaureLocale()
{
    std::setlocale(LC_ALL, "");
}

} // namespace

Shaders_GL::Shaders_GL()
    : desactive(false), uniform_modele(programme), uniform_projections(programme),
      uniform_normales(programme), uniform_lumiere(programme), attribut_sommet(programme),
      attribut_normale(programme)
{
}

Shaders_GL::~Shaders_GL()
{
    DesactivationAttributsShadersModele();
    programme.Desactive();
}

char const* Shaders_GL::VShaderDefaut()
{
    return VertexModeleDefaut;
}

char const* Shaders_GL::FShaderDefaut()
{
    return FragmentModeleDefaut;
}

bool Shaders_GL::Utilisable() const
{
    return programme.Nom() != 0 && programme.Lie() && !desactive;
}

bool Shaders_GL::InitialisationShader(char const* vertex, char const* fragment)
{
    std::setlocale(LC_NUMERIC, "C");
    journal.clear();
    if (programme.Nom() != 0 && programme.Lie())
    {
        Desactive();
        programme.Reactive();
    }
    else if (programme.Nom() == 0)
    {
        // Switched off earlier (Desactive): new objects, or nothing could ever compile again.
        programme.Reactive();
    }
    if (!vertex && !fragment)
    {
        RestaureLocale();
        return false;
    }

    bool vertex_echec = false;
    bool fragment_echec = false;
    if (SourceUtilisable(vertex))
    {
        vertex_echec = !programme.AjoutVertexShader(vertex);
        if (SourceUtilisable(fragment)) fragment_echec = !programme.AjoutPixelShader(fragment);
    }
    else if (SourceUtilisable(fragment))
    {
        fragment_echec = !programme.AjoutPixelShader(fragment);
    }

    if (vertex_echec || fragment_echec)
    {
        if (vertex_echec) journal += "\nVertex:\n" + programme.VertexShader().Journal() + "\n";
        if (fragment_echec) journal += "\nFragments:\n" + programme.PixelShader().Journal() + "\n";
        if (programme.Lie()) programme.Desactive();
        RestaureLocale();
        return false;
    }

    if (!programme.LinkProgram())
    {
        journal += "\nLinking:\n" + programme.Journal() + "\n";
        RestaureLocale();
        return false;
    }
    RestaureLocale();
    // The inputs are looked up again in the new program: a location kept from the previous one
    // may not be the same input any more.
    uniform_modele = Uniform_GL(programme);
    uniform_projections = Uniform_GL(programme);
    uniform_normales = Uniform_GL(programme);
    uniform_lumiere = Uniform_GL(programme);
    attribut_sommet = Attribute_GL(programme);
    attribut_normale = Attribute_GL(programme);
    const bool resultat = AssignationAttributsShaderModele();
    desactive = false;
    return resultat;
}

bool Shaders_GL::AssignationAttributsShaderModele()
{
    int manquants = 0;
    if (!uniform_modele.Reservation("matModel"))
    {
        ++manquants;
        journal += "\nWarning : Uniform matModel unused.";
    }
    if (!uniform_projections.Reservation("matProjections"))
    {
        ++manquants;
        journal += "\nWarning : Uniform matProjections unused.";
    }
    if (!uniform_normales.Reservation("matNormals")) ++manquants;
    if (!uniform_lumiere.Reservation("LightPos")) ++manquants;
    if (!attribut_sommet.Reservation("Vertex"))
    {
        ++manquants;
        journal += "\nAttribute Vertex unused.";
    }
    if (!attribut_normale.Reservation("Normal")) ++manquants;
    return manquants == 0;
}

bool Shaders_GL::DesactivationAttributsShadersModele()
{
    // Every input is released even when an earlier one was not valid.
    bool resultat = uniform_modele.Desactive();
    resultat = uniform_projections.Desactive() && resultat;
    resultat = uniform_normales.Desactive() && resultat;
    resultat = uniform_lumiere.Desactive() && resultat;
    resultat = attribut_sommet.Desactive() && resultat;
    resultat = attribut_normale.Desactive() && resultat;
    return resultat;
}

void Shaders_GL::Desactive()
{
    desactive = true;
    DesactivationAttributsShadersModele();
    programme.Desactive();
}

void Shaders_GL::Reactive()
{
    DesactivationAttributsShadersModele();
    programme.Reactive();
    AssignationAttributsShaderModele();
    desactive = false;
}

bool Shaders_GL::Activation(PMatriceGL4 const& modele, PMatriceGL4 const& projections)
{
    if (desactive || programme.Nom() == 0 || !programme.Lie()) return false;
    if (!programme.UseProgram()) return false;
    bool resultat = uniform_modele.Activation(modele);
    resultat = uniform_projections.Activation(projections) && resultat;
    return resultat;
}

bool Shaders_GL::Activation(PMatriceGL4 const& modele, PMatriceGL4 const& projections,
                            PMatriceGL4 const& normales)
{
    if (desactive || programme.Nom() == 0 || !programme.Lie()) return false;
    if (!programme.UseProgram()) return false;
    bool resultat = uniform_modele.Activation(modele);
    resultat = uniform_projections.Activation(projections) && resultat;
    resultat = uniform_normales.Activation(normales) && resultat;
    return resultat;
}

bool Shaders_GL::Activation(PMatriceGL4 const& modele, PMatriceGL4 const& projections,
                            PMatriceGL4 const& normales, PVertex_GL const& lumiere)
{
    if (desactive || programme.Nom() == 0 || !programme.Lie()) return false;
    if (!programme.UseProgram()) return false;
    bool resultat = uniform_modele.Activation(modele);
    resultat = uniform_projections.Activation(projections) && resultat;
    resultat = uniform_normales.Activation(normales) && resultat;
    resultat = uniform_lumiere.Activation(lumiere) && resultat;
    return resultat;
}

bool Shaders_GL::Affichage(PTampon_GL const& tampon) const
{
    if (Utilisable() && attribut_sommet.Valide())
    {
        programme.UseProgram();
        if (attribut_normale.Valide())
            tampon.Affichage(attribut_sommet, attribut_normale);
        else
            tampon.Affichage(attribut_sommet);
        return true;
    }
    if (Utilisable())
        programme.UseProgram();
    else
        // Another set's program may still be current: the fallback must really be the
        // fixed-function pipeline.
        Program_GL::DesactivePrograms();
    tampon.Affichage();
    return true;
}

bool Shaders_GL::DumpShaderBinaire(std::string const& chemin) const
{
    return programme.DumpBinaire(chemin, 1);
}

} // namespace PGL
