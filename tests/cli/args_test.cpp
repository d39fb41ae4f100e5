#include "zarvel_args.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// Builds the argument vector with the program path in front.
struct Ligne
{
    std::vector<const char*> argv;
    explicit Ligne(std::initializer_list<const char*> jetons)
    {
        argv.push_back("/usr/bin/Zarvel_cli");
        argv.insert(argv.end(), jetons.begin(), jetons.end());
    }
    int argc() const { return static_cast<int>(argv.size()); }
};

int NombreDefinis(const Zarvel_args& a)
{
    int n = 0;
    for (int c = 0; c < 256; ++c)
        n += a.ParamDefini(static_cast<unsigned char>(c)) ? 1 : 0;
    return n;
}
} // namespace

TEST(Zarvel_args, SansArgument)
{
    Ligne l({});
    Zarvel_args a(l.argc(), l.argv.data());
    EXPECT_EQ(NombreDefinis(a), 0);
    EXPECT_EQ(a.NombreParametresIndefinis(), 0u);
    ASSERT_NE(a.ValParam('o'), nullptr);
    EXPECT_STREQ(a.ValParam('o'), "");
    EXPECT_EQ(a.ParametreIndefini(0), nullptr);
    // The program path is never scanned, even when it looks like an option.
    const char* seul[] = {"-o"};
    Zarvel_args b(1, seul);
    EXPECT_FALSE(b.ParamDefini('o'));
}

TEST(Zarvel_args, OptionsValeursEtArgumentsLibres)
{
    {
        Ligne l({"-o", "out.stl", "plan.dxf"});
        Zarvel_args a(l.argc(), l.argv.data());
        EXPECT_TRUE(a.ParamDefini('o'));
        EXPECT_STREQ(a.ValParam('o'), "out.stl");
        // The value points into the argument vector: nothing is copied.
        EXPECT_EQ(a.ValParam('o'), l.argv[2]);
        ASSERT_EQ(a.NombreParametresIndefinis(), 1u);
        EXPECT_STREQ(a.ParametreIndefini(0), "plan.dxf");
        EXPECT_EQ(a.ParametreIndefini(1), nullptr);
    }
    {
        Ligne l({"-f", "-o", "out.stl"});
        Zarvel_args a(l.argc(), l.argv.data());
        EXPECT_TRUE(a.ParamDefini('f'));
        EXPECT_FALSE(a.ParamValDefini('f'));
        EXPECT_STREQ(a.ValParam('o'), "out.stl");
    }
    {
        Ligne l({"-f", "plan.dxf"});
        Zarvel_args a(l.argc(), l.argv.data());
        EXPECT_STREQ(a.ValParam('f'), "plan.dxf");
        EXPECT_EQ(a.NombreParametresIndefinis(), 0u);
    }
    {
        Ligne l({"-m"});
        Zarvel_args a(l.argc(), l.argv.data());
        EXPECT_TRUE(a.ParamDefini('m'));
        EXPECT_FALSE(a.ParamValDefini('m'));
        EXPECT_EQ(a.ValParamChar('m'), '\0');
    }
    {
        Ligne l({"a.dxf", "b.stl"});
        Zarvel_args a(l.argc(), l.argv.data());
        ASSERT_EQ(a.NombreParametresIndefinis(), 2u);
        EXPECT_STREQ(a.ParametreIndefini(0), "a.dxf");
        EXPECT_STREQ(a.ParametreIndefini(1), "b.stl");
    }
    {
        Ligne l({"-o", "a.stl", "-o"});
        Zarvel_args a(l.argc(), l.argv.data());
        EXPECT_STREQ(a.ValParam('o'), "a.stl");
    }
    {
        Ligne l({"-output", "x.stl", "-m", "extrusion"});
        Zarvel_args a(l.argc(), l.argv.data());
        EXPECT_STREQ(a.ValParam('o'), "x.stl");
        EXPECT_EQ(a.ValParamChar('m'), 'e');
    }
}

TEST(Zarvel_args, LettresInvalidesEtJetonsAbandonnes)
{
    {
        Ligne l({"-M", "e"});
        Zarvel_args a(l.argc(), l.argv.data());
        EXPECT_EQ(NombreDefinis(a), 0);
        EXPECT_EQ(a.NombreParametresIndefinis(), 0u);
    }
    {
        Ligne l({"--", "x.dxf", "-", "y.dxf", "-1", "z.dxf", "w.dxf"});
        Zarvel_args a(l.argc(), l.argv.data());
        EXPECT_EQ(NombreDefinis(a), 0);
        ASSERT_EQ(a.NombreParametresIndefinis(), 1u);
        EXPECT_STREQ(a.ParametreIndefini(0), "w.dxf");
    }
    Ligne l({"-a"});
    Zarvel_args a(l.argc(), l.argv.data());
    for (unsigned char c : {static_cast<unsigned char>('A'), static_cast<unsigned char>('0'),
                            static_cast<unsigned char>('{'), static_cast<unsigned char>(0xE9)})
    {
        EXPECT_FALSE(a.ValideCharParam(c));
        EXPECT_FALSE(a.ParamDefini(c));
        EXPECT_FALSE(a.ParamValDefini(c));
        EXPECT_STREQ(a.ValParam(c), "");
        EXPECT_EQ(a.ValParamChar(c), '\0');
    }
    EXPECT_TRUE(a.ValideCharParam('a'));
    EXPECT_TRUE(a.ValideCharParam('z'));
}

TEST(Zarvel_args, ArgumentsLibresAuDelaDe32Abandonnes)
{
    std::vector<std::string> noms;
    for (int i = 0; i < 40; ++i)
        noms.push_back("f" + std::to_string(i) + ".dxf");
    std::vector<const char*> argv{"prog"};
    for (const std::string& n : noms)
        argv.push_back(n.c_str());
    Zarvel_args a(static_cast<int>(argv.size()), argv.data());
    ASSERT_EQ(a.NombreParametresIndefinis(), 32u);
    EXPECT_STREQ(a.ParametreIndefini(31), "f31.dxf");
    EXPECT_EQ(a.ParametreIndefini(32), nullptr);
}

TEST(Zarvel_args, ForceParamLigneConsole)
{
    Ligne l({"-o", "sortie.stl"});
    Zarvel_args a(l.argc(), l.argv.data());
    testing::internal::CaptureStdout();
    a.ForceParam('i', "plan.dxf");
    a.ForceParam('I', "autre.dxf");
    a.ForceParam('o', "remplace.obj");
    const std::string sortie = testing::internal::GetCapturedStdout();
    EXPECT_EQ(sortie, "ForceParam :: 'i' :: plan.dxf\n"
                      "ForceParam :: 'I' :: autre.dxf\n"
                      "ForceParam :: 'o' :: remplace.obj\n");
    EXPECT_TRUE(a.ParamDefini('i'));
    EXPECT_STREQ(a.ValParam('i'), "plan.dxf");
    EXPECT_STREQ(a.ValParam('o'), "remplace.obj");
    EXPECT_EQ(NombreDefinis(a), 2);

    a.ReinitParams();
    EXPECT_EQ(NombreDefinis(a), 0);
    EXPECT_STREQ(a.ValParam('i'), "");
}
