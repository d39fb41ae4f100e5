#!/usr/bin/env python3
"""Writes the bad-input corpus of this folder (run it from anywhere; it writes beside itself).

Every file here must be refused by Zarvel_cli with a diagnostic that names the fault; the table
of tests/cli/mauvais_test.cpp gives each one its expected diagnostic. The output is the same on
every run (the "random" bytes come from a fixed generator). Only small files are stored: the huge
inputs (a million-vertex polyline, 100 000 nested inserts, millions of entities) are written by
the test itself into a temporary folder.
"""
import math
import os
import struct
import sys

ICI = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(ICI, "..", "dxf"))

from genere_plans import PIECES, Dxf, plan_trois_vues  # noqa: E402


def ecrit(nom, contenu):
    if isinstance(contenu, str):
        contenu = contenu.encode("latin-1")
    with open(os.path.join(ICI, nom), "wb") as f:
        f.write(contenu)


def octets_aleatoires(n, graine):
    """xorshift64*: the same bytes on every machine and Python version."""
    x = graine or 1
    sortie = bytearray()
    while len(sortie) < n:
        x ^= (x >> 12) & 0xFFFFFFFFFFFFFFFF
        x ^= (x << 25) & 0xFFFFFFFFFFFFFFFF
        x ^= (x >> 27) & 0xFFFFFFFFFFFFFFFF
        sortie += struct.pack("<Q", (x * 0x2545F4914F6CDD1D) & 0xFFFFFFFFFFFFFFFF)
    return bytes(sortie[:n])


# [STL] ---------------------------------------------------------------------------------------

def cube():
    """The 12 triangles of the unit cube, outward."""
    p = [(x, y, z) for x in (0.0, 1.0) for y in (0.0, 1.0) for z in (0.0, 1.0)]
    faces = [(0, 2, 3, 1), (4, 5, 7, 6), (0, 1, 5, 4), (2, 6, 7, 3), (0, 4, 6, 2), (1, 3, 7, 5)]
    triangles = []
    for a, b, c, d in faces:
        triangles.append((p[a], p[b], p[c]))
        triangles.append((p[a], p[c], p[d]))
    return triangles


def stl_binaire(triangles, annonce=None, entete=b"binary cube"):
    s = entete.ljust(80, b"\0")
    s += struct.pack("<I", len(triangles) if annonce is None else annonce)
    for t in triangles:
        s += struct.pack("<3f", 0.0, 0.0, 0.0)
        for v in t:
            s += struct.pack("<3f", *v)
        s += b"\0\0"
    return s


def stl_ascii(triangles, nombre=lambda v: repr(v)):
    s = "solid cube\n"
    for t in triangles:
        s += " facet normal 0 0 0\n  outer loop\n"
        for v in t:
            s += "   vertex %s %s %s\n" % tuple(nombre(c) for c in v)
        s += "  endloop\n endfacet\n"
    return s + "endsolid cube\n"


def ecrit_stl():
    ecrit("vide.stl", b"")
    ecrit("octets_aleatoires.stl", octets_aleatoires(3000, 0x5EED))
    # Random bytes whose size is that of a 20-triangle binary file: only the count can tell.
    ecrit("octets_aleatoires_1084.stl", octets_aleatoires(84 + 50 * 20, 0xB0B))
    page = ("<!DOCTYPE html>\n<html><head><title>404 Not Found</title></head>\n"
            "<body><h1>Not Found</h1><p>The requested URL was not found on this server.</p></body></html>\n")
    ecrit("page_html.stl", page)

    complet = stl_binaire(cube())
    assert len(complet) == 684
    # Inside the header, just before and after the count, inside the first triangle, between two
    # triangles, and one byte short of the end.
    for coupe in (1, 40, 83, 84, 85, 100, 133, 134, 400, 683):
        ecrit("binaire_tronque_%d.stl" % coupe, complet[:coupe])
    ecrit("binaire_compte_ffffffff.stl", stl_binaire(cube()[:2], annonce=0xFFFFFFFF))
    ecrit("binaire_compte_trop_petit.stl", stl_binaire(cube(), annonce=3))
    ecrit("binaire_compte_zero.stl", stl_binaire(cube(), annonce=0))
    for nom, valeur in (("nan", math.nan), ("infini", math.inf), ("moins_infini", -math.inf)):
        t = cube()
        t[5] = (t[5][0], (t[5][1][0], valeur, t[5][1][2]), t[5][2])
        ecrit("binaire_%s.stl" % nom, stl_binaire(t))

    texte = stl_ascii(cube())
    # Cut in a keyword, in a number, after "outer loop", after "endloop", after the last
    # "endfacet" (no "endsolid") and inside "endsolid".
    reperes = {
        "mot": texte.index("outer lo") + 8,
        "nombre": texte.index("vertex 1.0", 300) + 9,
        "apres_outer_loop": texte.index("outer loop\n", 500) + 11,
        "apres_endloop": texte.index("endloop\n", 700) + 8,
        "sans_endsolid": texte.index("endsolid"),
        "dans_endsolid": texte.index("endsolid") + 5,
    }
    for nom, coupe in reperes.items():
        ecrit("ascii_tronque_%s.stl" % nom, texte[:coupe])
    ecrit("ascii_sans_endloop.stl", texte.replace("  endloop\n", "", 1))
    ecrit("ascii_nan.stl", texte.replace("vertex 1.0 1.0 1.0", "vertex 1.0 nan 1.0", 1))
    ecrit("ascii_infini.stl", texte.replace("vertex 1.0 1.0 1.0", "vertex 1.0 inf 1.0", 1))
    ecrit("ascii_1e999.stl", texte.replace("vertex 1.0 1.0 1.0", "vertex 1e999 1.0 1.0", 1))
    # Finite as a double, beyond the range of the float the mesh keeps.
    ecrit("ascii_1e308.stl", texte.replace("vertex 1.0 1.0 1.0", "vertex 1e308 1.0 1.0", 1))
    ecrit("ascii_1e39.stl", texte.replace("vertex 1.0 1.0 1.0", "vertex 1.0 1.0 -1e39", 1))


# [DXF] ---------------------------------------------------------------------------------------

def ecrit_dxf():
    ecrit("vide.dxf", b"")
    ecrit("octets_aleatoires.dxf", octets_aleatoires(3000, 0xD1F))
    ecrit("page_html.dxf", "<!DOCTYPE html>\n<html><body><h1>Forbidden</h1></body></html>\n")

    complet = plan_trois_vues(PIECES["cube15"][0]).texte_dxf()
    entites = complet.index("ENTITIES")
    # Cut right after a group code (its value missing), inside a value, and after the name of an
    # entity before any of its groups.
    debut_ligne = complet.index("0\nLINE\n", entites)
    ecrit("coupe_apres_code.dxf", complet[:complet.index("\n10\n", debut_ligne) + 4])
    ecrit("coupe_dans_valeur.dxf", complet[:complet.index("\n20\n", debut_ligne) + 6])
    ecrit("coupe_apres_nom.dxf", complet[:debut_ligne + 7])

    # A group code that is not an integer, and codes shifted by one line (a code line dropped, so
    # that every value is read as a code from there on).
    ecrit("code_decimal.dxf", complet.replace("\n10\n", "\n10.5\n", 3))
    dixieme = debut_ligne
    for _ in range(3):
        dixieme = complet.index("\n10\n", dixieme + 1)
    ecrit("codes_decales.dxf", complet[:dixieme] + complet[dixieme + 3:])
    ecrit("code_hors_bornes.dxf", complet.replace("\n20\n", "\n99999999\n", 2))

    # Sections that are never closed: the entities run into EOF, and the file stops in its header.
    ecrit("section_sans_endsec.dxf", complet.replace("0\nENDSEC\n0\nEOF\n", "0\nEOF\n"))
    ecrit("section_entete_ouverte.dxf", complet[:complet.index("ENDSEC")])
    ecrit("sans_eof.dxf", complet.replace("0\nEOF\n", ""))

    d = Dxf()
    d.rect(0.0, 0.0, 10.0, 10.0)
    d.ligne((0.0, 0.0), (1e308, -1e308))
    ecrit("coordonnees_1e308.dxf", d.texte_dxf())
    d = Dxf()
    d.rect(0.0, 0.0, 10.0, 10.0)
    d.brut([(0, "CIRCLE"), (8, "0"), (10, 5.0), (20, "1e309"), (30, 0.0), (40, 2.0)])
    ecrit("coordonnees_1e309.dxf", d.texte_dxf())

    # A block that inserts itself, and blocks that each insert the next ten times, twelve deep
    # (10^11 copies of one line if nothing stopped them).
    d = Dxf()
    a = d.bloc("SOI")
    d.rect(0.0, 0.0, 10.0, 10.0, cible=a)
    d.insertion("SOI", (20.0, 0.0), cible=a)
    d.insertion("SOI", (0.0, 0.0))
    ecrit("bloc_insere_en_lui_meme.dxf", d.texte_dxf())
    d = Dxf()
    niveaux = 12
    for k in range(niveaux):
        contenu = d.bloc("EVENTAIL%d" % k)
        if k + 1 < niveaux:
            for j in range(10):
                d.insertion("EVENTAIL%d" % (k + 1), (float(j), 0.0), cible=contenu)
        else:
            d.ligne((0.0, 0.0), (0.5, 0.0), cible=contenu)
    d.insertion("EVENTAIL0", (0.0, 0.0))
    ecrit("blocs_en_eventail.dxf", d.texte_dxf())
    # An array insertion of 1000 x 1000 copies of a block that is itself such an array.
    d = Dxf()
    point = d.bloc("POINT")
    d.point((0.0, 0.0), cible=point)
    grille = d.bloc("GRILLE")
    grille.append([(0, "INSERT"), (8, "0"), (2, "POINT"), (10, 0.0), (20, 0.0), (30, 0.0), (70, 1000),
                   (71, 1000), (44, 1.0), (45, 1.0)])
    d.brut([(0, "INSERT"), (8, "0"), (2, "GRILLE"), (10, 0.0), (20, 0.0), (30, 0.0), (70, 1000), (71, 1000),
            (44, 2000.0), (45, 2000.0)])
    ecrit("insertion_matrice_geante.dxf", d.texte_dxf())

    # A spline with knots and a degree but no control point, alone in the plan.
    d = Dxf()
    d.brut([(0, "SPLINE"), (8, "0"), (70, 8), (71, 3), (72, 8), (73, 0), (74, 0)] +
           [(40, float(u)) for u in (0, 0, 0, 0, 1, 1, 1, 1)])
    ecrit("spline_sans_point.dxf", d.texte_dxf())


if __name__ == "__main__":
    ecrit_stl()
    ecrit_dxf()
