// Keyboard: the two held-key slots, the idle replays, the key delay after Enter and Space, the
// saved view of Space, the reset of Enter, the movement steps and Escape.
#include "test_helpers.h"

#include <cstdlib>
#include <ostream>

namespace
{

constexpr unsigned char Echap = 27;
constexpr unsigned char Entree = 13;
constexpr unsigned char Espace = 32;
constexpr unsigned int Delai = 100000;

class Clavier_glut : public EtatGlut
{
};

TEST_F(Clavier_glut, TroisiemeToucheRemplaceLaSeconde)
{
    gestion_clavier_presse('z', 0, 0);
    EXPECT_EQ(Parametres.touche_1, 'z');
    EXPECT_EQ(Parametres.touche_2, 0);
    gestion_clavier_presse('d', 0, 0);
    EXPECT_EQ(Parametres.touche_2, 'd');
    gestion_clavier_presse('s', 5, 7);
    EXPECT_EQ(Parametres.touche_1, 'z');
    EXPECT_EQ(Parametres.touche_2, 's');

    // A key in neither slot: nothing changes at all.
    const Params_glut avant = Parametres;
    gestion_clavier_relache('d', 0, 0);
    EXPECT_EQ(Champs(Parametres), Champs(avant));

    // The first slot freed is the first one taken again.
    gestion_clavier_relache('z', 0, 0);
    EXPECT_EQ(Parametres.touche_1, 0);
    EXPECT_EQ(Parametres.touche_2, 's');
    gestion_clavier_presse('q', 0, 0);
    EXPECT_EQ(Parametres.touche_1, 'q');
    EXPECT_EQ(Parametres.touche_2, 's');
}

TEST_F(Clavier_glut, RelacheLibereChaqueEmplacementDeLaTouche)
{
    gestion_clavier_presse('z', 0, 0);
    gestion_clavier_presse('z', 0, 0);
    EXPECT_EQ(Parametres.touche_2, 'z');
    gestion_clavier_relache('z', 0, 0);
    EXPECT_EQ(Parametres.touche_1, 0);
    EXPECT_EQ(Parametres.touche_2, 0);
}

TEST_F(Clavier_glut, ChronoRejoueLesTouchesTenues)
{
    const float pas = static_cast<float>(static_cast<double>(1e-5f));
    Parametres.touche_1 = 'z';
    Parametres.touche_2 = 'd';
    Chrono();
    EXPECT_EQ(Parametres.avance, static_cast<float>(2.0 - static_cast<double>(2e-5f)));
    EXPECT_EQ(Parametres.position_x, pas);

    // Only the second slot held.
    Parametres.touche_1 = 0;
    Chrono();
    EXPECT_EQ(Parametres.avance, static_cast<float>(2.0 - static_cast<double>(2e-5f)));
    EXPECT_EQ(Parametres.position_x,
              static_cast<float>(static_cast<double>(pas) + static_cast<double>(1e-5f)));

    // No key held: nothing.
    Parametres.touche_2 = 0;
    const Params_glut avant = Parametres;
    Chrono();
    EXPECT_EQ(Champs(Parametres), Champs(avant));
}

TEST_F(Clavier_glut, ChronoLitLaSecondeToucheApresLaPremiere)
{
    // Enter in the first slot clears both: the 'z' of the second slot is not replayed, so it does
    // not count as one of the swallowed replays either.
    Factice::sys.largeur_vue = 1024;
    Factice::sys.hauteur_vue = 768;
    Parametres.touche_1 = Entree;
    Parametres.touche_2 = 'z';
    Chrono();
    EXPECT_EQ(Parametres.touche_1, 0);
    EXPECT_EQ(Parametres.touche_2, 0);
    EXPECT_EQ(Parametres.avance, 2.0f);
    EXPECT_EQ(RejeuxAvales(), Delai);
}

TEST_F(Clavier_glut, DelaiAvaleExactementCentMilleRejeux)
{
    for (const unsigned char touche : {Entree, Espace})
    {
        SCOPED_TRACE(static_cast<int>(touche));
        ReinitEntrees_glut();
        Parametres = Params_glut();
        gestion_touches_clavier(touche);
        EXPECT_EQ(RejeuxAvales(), Delai);
        // The delay is over: the key acts at once again.
        EXPECT_EQ(RejeuxAvales(), 0u);
    }
}

TEST_F(Clavier_glut, DelaiAvaleEntreeEtEspace)
{
    gestion_touches_clavier(Espace);
    ASSERT_TRUE(Parametres.rotation_auto);
    Parametres.avance = 5.0f;
    const Params_glut apres_espace = Parametres;
    gestion_touches_clavier(Entree);
    gestion_touches_clavier(Espace);
    EXPECT_EQ(Champs(Parametres), Champs(apres_espace));
    // The two swallowed keys counted as replays of the delay.
    EXPECT_EQ(RejeuxAvales(), Delai - 2);
}

TEST_F(Clavier_glut, EspaceTenueBasculeLaRotationApresChaqueDelai)
{
    gestion_clavier_presse(Espace, 0, 0);
    Chrono();
    EXPECT_TRUE(Parametres.rotation_auto);
    for (unsigned int i = 0; i < Delai; ++i)
        Chrono();
    EXPECT_TRUE(Parametres.rotation_auto);
    Chrono();
    EXPECT_FALSE(Parametres.rotation_auto);
    // The restored record holds Space in its slot: it is still held.
    EXPECT_EQ(Parametres.touche_1, Espace);
    for (unsigned int i = 0; i < Delai; ++i)
        Chrono();
    EXPECT_FALSE(Parametres.rotation_auto);
    Chrono();
    EXPECT_TRUE(Parametres.rotation_auto);
}

TEST_F(Clavier_glut, EspaceSauveEtRestaureToutLEnregistrement)
{
    Parametres = ParamsModifies();
    Parametres.touche_1 = Espace;
    const Params_glut depart = Parametres;

    gestion_touches_clavier(Espace);
    EXPECT_EQ(Champs(Parametres_copie), Champs(depart));
    Params_glut attendu = depart;
    attendu.rotation_auto = true;
    EXPECT_EQ(Champs(Parametres), Champs(attendu));

    // Everything changes while the rotation runs, window size and held keys included.
    Parametres = Params_glut();
    Parametres.rotation_auto = true;
    Parametres.largeur = 1920;
    Parametres.hauteur = 1080;
    Parametres.touche_1 = 'q';
    Parametres.touche_2 = 's';
    for (unsigned int i = 0; i < Delai; ++i)
        gestion_touches_clavier('x');

    gestion_touches_clavier(Espace);
    EXPECT_EQ(Champs(Parametres), Champs(depart));
    EXPECT_EQ(Champs(Parametres_copie), Champs(depart));
}

TEST_F(Clavier_glut, EntreeRemetLesValeursDeDepart)
{
    Factice::sys.largeur_vue = 640;
    Factice::sys.hauteur_vue = 480;
    Parametres = ParamsModifies();
    Parametres.rotation_auto = true;
    Parametres_copie = ParamsModifies();
    Parametres_copie.avance = 11.0f;
    const Params_glut copie = Parametres_copie;

    gestion_touches_clavier(Entree);

    Params_glut attendu;
    attendu.largeur = 640;
    attendu.hauteur = 480;
    EXPECT_EQ(Champs(Parametres), Champs(attendu));
    EXPECT_EQ(Champs(Parametres_copie), Champs(copie));
}

// One movement key pressed once from a given start.
struct Pas
{
    unsigned char touche;
    bool axe_avance; // the key moves avance, else position_x
    double decalage; // signed step, a float widened to double
};

std::ostream& operator<<(std::ostream& os, Pas const& p)
{
    return os << "touche " << p.touche;
}

class Deplacement_glut : public EtatGlut, public ::testing::WithParamInterface<Pas>
{
};

TEST_P(Deplacement_glut, PasFormesEnDouble)
{
    const Pas p = GetParam();
    // From the start record, then from a value close to the step, where a step taken as the
    // double nearest to 2e-5 or 1e-5 (instead of the widened float) rounds to another float.
    const float pres = p.decalage < 0.0 ? 1.5e-5f : -1.5e-5f;
    for (const float depart : {p.axe_avance ? 2.0f : 0.0f, pres})
    {
        SCOPED_TRACE(depart);
        Parametres = Params_glut();
        float& champ = p.axe_avance ? Parametres.avance : Parametres.position_x;
        champ = depart;
        Params_glut attendu = Parametres;
        (p.axe_avance ? attendu.avance : attendu.position_x) =
            static_cast<float>(static_cast<double>(depart) + p.decalage);
        gestion_touches_clavier(p.touche);
        EXPECT_EQ(Champs(Parametres), Champs(attendu));
    }
}

const double Rapide = static_cast<double>(2e-5f);
const double Lent = static_cast<double>(1e-5f);

INSTANTIATE_TEST_SUITE_P(Touches, Deplacement_glut,
                         ::testing::Values(Pas{'z', true, -Rapide}, Pas{'Z', true, -Lent},
                                           Pas{'s', true, Rapide}, Pas{'S', true, Lent},
                                           Pas{'q', false, -Lent}, Pas{'Q', false, -Lent},
                                           Pas{'d', false, Lent}, Pas{'D', false, Lent},
                                           // QWERTY positions of z and q.
                                           Pas{'w', true, -Rapide}, Pas{'W', true, -Lent},
                                           Pas{'a', false, -Lent}, Pas{'A', false, -Lent}));

TEST_F(Clavier_glut, AutresTouchesSansEffet)
{
    Parametres = ParamsModifies();
    const Params_glut avant = Parametres;
    const unsigned char autres[] = {'x', 'e', 'E', 'f', 'r', '0', '\t', 127, 200, 0};
    for (const unsigned char touche : autres)
    {
        SCOPED_TRACE(static_cast<int>(touche));
        gestion_touches_clavier(touche);
        EXPECT_EQ(Champs(Parametres), Champs(avant));
    }
    // Nor do they start the key delay.
    EXPECT_EQ(RejeuxAvales(), 0u);
}

TEST_F(Clavier_glut, DeplacementHorsDesQuatreDirections)
{
    const Params_glut avant = Parametres;
    deplacement(0, 1.0);
    deplacement(5, 1.0);
    EXPECT_EQ(Champs(Parametres), Champs(avant));
}

class Clavier_glutDeathTest : public EtatGlut
{
};

TEST_F(Clavier_glutDeathTest, EchapTermineAvecLeStatutZero)
{
    EXPECT_EXIT(gestion_touches_clavier(Echap), ::testing::ExitedWithCode(0), "");
    // Whatever the other slot holds.
    Parametres.touche_1 = 'z';
    Parametres.touche_2 = Echap;
    EXPECT_EXIT(Chrono(), ::testing::ExitedWithCode(0), "");
}

TEST_F(Clavier_glutDeathTest, EchapAvalePendantLeDelai)
{
    // A status of 3 shows that Escape returned.
    EXPECT_EXIT(
        {
            gestion_touches_clavier(Entree);
            gestion_touches_clavier(Echap);
            std::exit(3);
        },
        ::testing::ExitedWithCode(3), "");
    // Space starts the delay at 1: the 100000th replay is swallowed, the next one acts.
    EXPECT_EXIT(
        {
            gestion_touches_clavier(Espace);
            for (unsigned int i = 0; i < Delai - 1; ++i)
                gestion_touches_clavier('x');
            gestion_touches_clavier(Echap);
            std::exit(3);
        },
        ::testing::ExitedWithCode(3), "");
    EXPECT_EXIT(
        {
            gestion_touches_clavier(Espace);
            for (unsigned int i = 0; i < Delai; ++i)
                gestion_touches_clavier('x');
            gestion_touches_clavier(Echap);
            std::exit(3);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
