#include "zarvel_string.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cstdio>
#include <fstream>
#include <regex>
#include <stdexcept>
#include <unistd.h>

namespace
{
std::vector<unsigned char> Octets(const std::string& s)
{
    return std::vector<unsigned char>(s.begin(), s.end());
}

// A scratch file removed at the end of the test.
struct FichierTemporaire
{
    std::string chemin;
    explicit FichierTemporaire(const std::string& contenu)
    {
        char modele[] = "/tmp/zarvel_string_XXXXXX";
        const int fd = mkstemp(modele);
        chemin = modele;
        if (fd >= 0)
        {
            if (!contenu.empty() && write(fd, contenu.data(), contenu.size()) < 0) chemin.clear();
            close(fd);
        }
    }
    ~FichierTemporaire()
    {
        if (!chemin.empty()) std::remove(chemin.c_str());
    }
};
} // namespace

TEST(PString, NomsDeFichiers)
{
    EXPECT_EQ(PString::FichierChemin("/a/b/c.txt"), "c.txt");
    EXPECT_EQ(PString::CheminFichier("/a/b/c.txt"), "/a/b");
    EXPECT_EQ(PString::FichierChemin("c.txt"), "c.txt");
    EXPECT_EQ(PString::CheminFichier("c.txt"), "");
    EXPECT_EQ(PString::FichierChemin("/a/b/"), "");
    const char* p = "/a/b";
    EXPECT_EQ(PString::FichierChemin_S(p), p + 2);
    EXPECT_EQ(PString::FichierChemin_S("abc"), nullptr);

    EXPECT_EQ(PString::ExtensionFichier("plan.dxf"), "dxf");
    EXPECT_EQ(PString::ExtensionFichier("archive.tar.gz"), "gz");
    EXPECT_EQ(PString::ExtensionFichier("noext"), "");
    EXPECT_EQ(PString::ExtensionFichier(""), "");
    EXPECT_EQ(PString::ExtensionFichier("name."), "");
    EXPECT_EQ(PString::ExtensionFichier(".profile"), "profile");
    EXPECT_EQ(PString::ExtensionFichier("dir.d/file"), "d/file");
}

TEST(PString, TronqueChemin)
{
    const std::string chemin = "/home/user/projects/plans/piece.dxf";
    EXPECT_EQ(PString::TronqueChemin(chemin, 100), chemin);
    EXPECT_EQ(PString::TronqueChemin(chemin, static_cast<unsigned int>(chemin.size()) - 1), chemin);
    // c = 35 - 20 = 15; the first '/' at or after 15 is at index 19.
    EXPECT_EQ(PString::TronqueChemin(chemin, 20), "/.../plans/piece.dxf");
    // No '/' after the cut point: cut at c itself.
    EXPECT_EQ(PString::TronqueChemin(chemin, 5), "/...e.dxf");
}

TEST(PString, Comparaisons)
{
    EXPECT_TRUE(PString::CompareMotASCII(std::string("abc"), std::string("abc")));
    EXPECT_FALSE(PString::CompareMotASCII(std::string("abc"), "abd"));
    EXPECT_TRUE(PString::ControleDebutLigneASCII("ABC", "AB"));
    EXPECT_FALSE(PString::ControleDebutLigneASCII("AB", "AB"));
    EXPECT_FALSE(PString::ControleDebutLigneASCII("", ""));
    EXPECT_TRUE(PString::ControleDebutLigneASCII("X", ""));
    EXPECT_FALSE(PString::ControleDebutLigneASCII("XAB", "AB"));

    EXPECT_TRUE(PString::CompareStr("DXF", "dxf", false));
    EXPECT_FALSE(PString::CompareStr("DXF", "dxf", true));
    EXPECT_FALSE(PString::CompareStr("dxf", "dx", false));
    EXPECT_FALSE(PString::CompareStr("dxf", "dx", true));
    EXPECT_TRUE(PString::CompareStr("", "", false));
    EXPECT_TRUE(PString::CompareStr("", "", true));
    EXPECT_FALSE(PString::CompareStr("dxf", "dxg", false));

    const unsigned char a[] = "flaw", b[] = "lawn", c[] = "abc";
    EXPECT_EQ(PString::DistanceLevenshtein(a, 4, b, 4), 2);
    EXPECT_EQ(PString::DistanceLevenshtein(c, 3, b, 0), 3);
    EXPECT_EQ(PString::DistanceLevenshtein(c, 0, b, 4), 4);
    const unsigned char k[] = "kitten", s[] = "sitting";
    EXPECT_EQ(PString::DistanceLevenshtein(k, 6, s, 7), 3);
}

TEST(PString, Formatage)
{
    EXPECT_EQ(PString::ULtoaBase10(0), "0");
    EXPECT_EQ(PString::ULtoaBase10(18446744073709551615ul), "18446744073709551615");
    EXPECT_EQ(PString::LtoaBase10(-42), "-42");
    EXPECT_EQ(PString::LtoaBase10(LONG_MIN), "-9223372036854775808");
    EXPECT_EQ(PString::DtoaBase10(1.05), "1.05000");
    EXPECT_EQ(PString::DtoaBase10(2.0), "2.00000");
    EXPECT_EQ(PString::DtoaBase10(0.3), "0.29999");
    EXPECT_EQ(PString::DtoaBase10(0.000001), "0.00000");
    EXPECT_EQ(PString::DtoaBase10(-2.5), "-2.50000");
    EXPECT_EQ(PString::DtoaBase10(-0.3), "-0.30000");

    const unsigned char o[2] = {0x01, 0x80};
    EXPECT_EQ(PString::DatatoBin(o, 2), "1000000000000001");
    EXPECT_EQ(PString::DatatoBin(o, 0), "");

    EXPECT_TRUE(std::regex_match(PString::DateStr(), std::regex("[0-3][0-9]-[01][0-9]-[0-9]{4}")));
    EXPECT_TRUE(
        std::regex_match(PString::DateStrISO8601(),
                         std::regex("[0-9]{4}-[01][0-9]-[0-3][0-9]T[0-2][0-9]:[0-5][0-9]:[0-6][0-9]")));
}

TEST(PString, Conversions)
{
    long v = 0;
    EXPECT_TRUE(PString::ConversionLongASCII("12", v));
    EXPECT_EQ(v, 12);
    EXPECT_FALSE(PString::ConversionLongASCII("12a", v));
    EXPECT_EQ(v, 12);
    EXPECT_THROW(PString::ConversionLongASCII("a12", v), std::invalid_argument);
    EXPECT_THROW(PString::ConversionLongASCII("99999999999999999999999", v), std::out_of_range);

    // The decimal point is read whatever the process locale.
    const char* ancienne = std::setlocale(LC_NUMERIC, nullptr);
    const std::string sauvegarde = ancienne ? ancienne : "C";
    std::setlocale(LC_NUMERIC, "fr_FR.UTF-8");
    float f = 0;
    EXPECT_TRUE(PString::ConversionFloatASCII("1.5", f));
    EXPECT_FLOAT_EQ(f, 1.5f);
    std::setlocale(LC_NUMERIC, sauvegarde.c_str());
    EXPECT_FALSE(PString::ConversionFloatASCII("abc", f));
    EXPECT_TRUE(PString::ConversionFloatASCII("2.5xyz", f));
    EXPECT_FLOAT_EQ(f, 2.5f);
    double d = 0;
    EXPECT_TRUE(PString::ConversionDoubleASCII("-1e-3", d));
    EXPECT_DOUBLE_EQ(d, -0.001);
}

TEST(PString, LigneSuivante)
{
    const auto b = Octets("  ab\r\ncd");
    unsigned int pos = 0, compteur = 0;
    std::string ligne;
    EXPECT_TRUE(PString::LigneSuivanteASCII(b, pos, compteur, ligne));
    EXPECT_EQ(ligne, "ab");
    EXPECT_EQ(pos, 6u);
    EXPECT_EQ(compteur, 1u);
    EXPECT_FALSE(PString::LigneSuivanteASCII(b, pos, compteur, ligne));
    EXPECT_EQ(ligne, "cd");
    EXPECT_EQ(pos, 8u);
    EXPECT_FALSE(PString::LigneSuivanteASCII(b, pos, compteur, ligne));
    EXPECT_EQ(ligne, "");

    const auto v = Octets("\n\rx y \n");
    pos = 0;
    compteur = 0;
    EXPECT_TRUE(PString::LigneSuivanteASCII(v, pos, compteur, ligne));
    EXPECT_EQ(ligne, "");
    EXPECT_TRUE(PString::LigneSuivanteASCII(v, pos, compteur, ligne));
    EXPECT_EQ(ligne, "");
    EXPECT_TRUE(PString::LigneSuivanteASCII(v, pos, compteur, ligne));
    EXPECT_EQ(ligne, "x y ");
    EXPECT_EQ(compteur, 3u);
}

TEST(PString, LignePrecedente)
{
    const auto b = Octets("un\r\n  deux\ntrois");
    int pos = static_cast<int>(b.size()) - 1;
    std::string ligne;
    EXPECT_TRUE(PString::LignePrecedenteASCII(b, pos, ligne));
    EXPECT_EQ(ligne, "trois");
    EXPECT_EQ(pos, 9);
    EXPECT_TRUE(PString::LignePrecedenteASCII(b, pos, ligne));
    EXPECT_EQ(ligne, "deux");
    EXPECT_EQ(pos, 1);
    EXPECT_TRUE(PString::LignePrecedenteASCII(b, pos, ligne));
    EXPECT_EQ(ligne, "un");
    EXPECT_EQ(pos, -1);
    // Before the start there is nothing more to read.
    EXPECT_FALSE(PString::LignePrecedenteASCII(b, pos, ligne));
    pos = 100;
    EXPECT_FALSE(PString::LignePrecedenteASCII(b, pos, ligne));
}

TEST(PString, MotsDecoupageRemplacement)
{
    unsigned int pos = 0;
    std::string mot;
    const std::string t = "  un\tdeux\r\n trois";
    EXPECT_TRUE(PString::MotSuivantASCII(t, pos, mot));
    EXPECT_EQ(mot, "un");
    EXPECT_EQ(pos, 5u);
    EXPECT_TRUE(PString::MotSuivantASCII(t, pos, mot));
    EXPECT_EQ(mot, "deux");
    EXPECT_TRUE(PString::MotSuivantASCII(t, pos, mot));
    EXPECT_EQ(mot, "trois");
    EXPECT_FALSE(PString::MotSuivantASCII(t, pos, mot));

    EXPECT_EQ(PString::SplitStr("a,,b", ","), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(PString::SplitStr("a,", ","), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(PString::SplitStr("", ","), (std::vector<std::string>{""}));
    EXPECT_EQ(PString::SplitStr("a;b,c", ""), (std::vector<std::string>{"a;b,c"}));
    EXPECT_EQ(PString::SplitStr("a;b,c", ",;"), (std::vector<std::string>{"a", "b", "c"}));

    std::string s = "aaa";
    EXPECT_EQ(PString::RemplaceStr(s, "a", "aa"), 3);
    EXPECT_EQ(s, "aaaaaa");
    EXPECT_EQ(PString::RemplaceStr(s, "", "x"), 0);
    s = "un deux un";
    EXPECT_EQ(PString::RemplaceStr(s, "un", ""), 2);
    EXPECT_EQ(s, " deux ");
}

TEST(PString, FichiersLectureEcriture)
{
    FichierTemporaire f(std::string("abc\0def", 7));
    std::string s;
    ASSERT_TRUE(PString::chargeFichier(f.chemin.c_str(), s));
    EXPECT_EQ(s, std::string("abc\0def", 7));
    std::vector<unsigned char> v;
    ASSERT_TRUE(PBinaire::chargeFichier(f.chemin.c_str(), v));
    EXPECT_EQ(v.size(), 7u);

    ASSERT_TRUE(PString::EcritureFichier(f.chemin.c_str(), "nouveau"));
    ASSERT_TRUE(PString::chargeFichier(f.chemin.c_str(), s));
    EXPECT_EQ(s, "nouveau");

    FichierTemporaire vide("");
    v.assign(3, 1);
    EXPECT_FALSE(PBinaire::chargeFichier(vide.chemin.c_str(), v));
    EXPECT_TRUE(v.empty());
    s = "x";
    EXPECT_FALSE(PString::chargeFichier(nullptr, s));
    EXPECT_TRUE(s.empty());
    EXPECT_FALSE(PString::chargeFichier("/nonexistent/zarvel/file", s));
}

TEST(PString, EchecsDEcritureEtDeLectureSignales)
{
    // A full device accepts the open but refuses the bytes.
    EXPECT_FALSE(PString::EcritureFichier("/dev/full", "donnees"));
    EXPECT_FALSE(PString::EcritureFichier("/nonexistent/zarvel/file", "x"));
    EXPECT_FALSE(PString::EcritureFichier(nullptr, "x"));
    // A directory opens and reports a huge end position, then every read
    // fails: the loaders must say so, not hand back a false content.
    std::string s;
    std::vector<unsigned char> v;
    EXPECT_FALSE(PString::chargeFichier("/tmp", s));
    EXPECT_TRUE(s.empty());
    EXPECT_FALSE(PBinaire::chargeFichier("/tmp", v));
    EXPECT_TRUE(v.empty());
}
