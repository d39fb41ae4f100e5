#include "zarvel3d/zarvel3d.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

using Zarvel3D::RAL;

TEST(RAL, TableClassiqueComplete)
{
    // 213 colours of the Classic collection plus the "none" entry.
    ASSERT_EQ(RAL::Nombre(), 214u);
    std::set<unsigned int> numeros;
    for (unsigned int i = 1; i < RAL::Nombre(); ++i)
    {
        const RAL& e = RAL::Index(i);
        EXPECT_GE(e.numero, 1000u);
        EXPECT_LE(e.numero, 9023u);
        EXPECT_GT(std::strlen(e.nom), 0u) << e.numero;
        EXPECT_EQ(RAL::RechercheIndex(e.numero), i) << e.numero;
        numeros.insert(e.numero);
    }
    EXPECT_EQ(numeros.size(), 213u);
}

TEST(RAL, CouleursConnuesEtOctets234)
{
    const unsigned int i = RAL::RechercheIndex(9010);
    ASSERT_NE(i, 0u);
    const RAL& blanc = RAL::Index(i);
    const auto* octets = reinterpret_cast<const unsigned char*>(&blanc);
    EXPECT_EQ(octets[2], 255);
    EXPECT_EQ(octets[3], 255);
    EXPECT_EQ(octets[4], 255);
    EXPECT_STREQ(blanc.nom, "Pure white");

    const RAL& rouge = RAL::Index(RAL::RechercheIndex(3020));
    EXPECT_EQ(rouge.numero, 3020);
    EXPECT_EQ(rouge.rouge, 204);
    EXPECT_EQ(rouge.vert, 6);
    EXPECT_EQ(rouge.bleu, 5);
    EXPECT_STREQ(rouge.nom, "Traffic red");
}

TEST(RAL, NumerosEtIndexHorsTable)
{
    for (unsigned int numero : {0u, 1u, 999u, 1008u, 9000u, 9024u, 65535u, 70000u, 0xFFFFFFFFu})
    {
        EXPECT_EQ(RAL::RechercheIndex(numero), 0u) << numero;
    }
    for (unsigned int index : {0u, RAL::Nombre(), RAL::Nombre() + 1, 0xFFFFFFFFu})
    {
        const RAL& e = RAL::Index(index);
        EXPECT_EQ(e.numero, 0);
        EXPECT_EQ(e.rouge + e.vert + e.bleu, 0);
    }
}
