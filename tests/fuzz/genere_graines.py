#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets, one folder per target beside this script.

stl_import: small meshes of our own in ASCII and binary STL (cube, tetrahedron, a quad loop,
            several solids, a binary file whose header begins with "solid", zero normals, a
            degenerate facet, truncated files).
dxf_vues, trois_vues: small plans written by the plan generator of tests/data/dxf
            (genere_plans.py), plus a few of its ready-made plans, valid and faulty.
base_code:  RFC 4648 vectors and other data encoded in Base64, Base32 and Base16, and broken texts.
args:       command lines of the program, one argument per line.

Run it from anywhere; it replaces the files it writes and leaves other files alone. The fuzzers
add their own findings to these folders (lance_fuzz.sh keeps them apart, see there).
"""
import base64
import os
import shutil
import struct
import sys

ICI = os.path.dirname(os.path.abspath(__file__))
PLANS = os.path.join(ICI, "..", "data", "dxf")
sys.dont_write_bytecode = True  # nothing is left in the plans folder
sys.path.insert(0, PLANS)
import genere_plans  # noqa: E402  (the project's plan writer)


def ecrit(cible, nom, contenu):
    dossier = os.path.join(ICI, cible)
    os.makedirs(dossier, exist_ok=True)
    if isinstance(contenu, str):
        contenu = contenu.encode("ascii")
    with open(os.path.join(dossier, nom), "wb") as f:
        f.write(contenu)


# [STL] ---------------------------------------------------------------------------------------

def cube(c=1.0, o=(0.0, 0.0, 0.0)):
    def p(x, y, z):
        return (o[0] + c * x, o[1] + c * y, o[2] + c * z)
    quads = [((0, 0, 0), (0, 1, 0), (1, 1, 0), (1, 0, 0)), ((0, 0, 1), (1, 0, 1), (1, 1, 1), (0, 1, 1)),
             ((0, 0, 0), (1, 0, 0), (1, 0, 1), (0, 0, 1)), ((0, 1, 0), (0, 1, 1), (1, 1, 1), (1, 1, 0)),
             ((0, 0, 0), (0, 0, 1), (0, 1, 1), (0, 1, 0)), ((1, 0, 0), (1, 1, 0), (1, 1, 1), (1, 0, 1))]
    triangles = []
    for q in quads:
        a, b, cc, d = (p(*s) for s in q)
        triangles += [(a, b, cc), (a, cc, d)]
    return triangles


def tetraedre():
    a, b, c, d = (0.0, 0.0, 0.0), (2.0, 0.0, 0.0), (0.0, 2.0, 0.0), (0.0, 0.0, 2.0)
    return [(a, c, b), (a, b, d), (a, d, c), (b, c, d)]


def normale(t):
    u = [t[1][i] - t[0][i] for i in range(3)]
    v = [t[2][i] - t[0][i] for i in range(3)]
    n = (u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0])
    longueur = sum(x * x for x in n) ** 0.5
    return tuple(x / longueur for x in n) if longueur > 0 else (0.0, 0.0, 0.0)


def stl_ascii(triangles, nom="piece", fin="\n", normales=True):
    lignes = ["solid %s" % nom]
    for t in triangles:
        n = normale(t) if normales else (0.0, 0.0, 0.0)
        lignes.append("  facet normal %g %g %g" % n)
        lignes.append("    outer loop")
        for s in t:
            lignes.append("      vertex %g %g %g" % s)
        lignes.append("    endloop")
        lignes.append("  endfacet")
    lignes.append("endsolid %s" % nom)
    return fin.join(lignes) + fin


def stl_binaire(triangles, entete=b"binary STL of the fuzz seeds", normales=True):
    corps = struct.pack("<80sI", entete.ljust(80, b" "), len(triangles))
    for t in triangles:
        n = normale(t) if normales else (0.0, 0.0, 0.0)
        corps += struct.pack("<12fH", *n, *t[0], *t[1], *t[2], 0)
    return corps


def graines_stl():
    ecrit("stl_import", "cube_ascii.stl", stl_ascii(cube()))
    ecrit("stl_import", "cube_binaire.stl", stl_binaire(cube(2.0, (1.0, -1.0, 0.5))))
    ecrit("stl_import", "tetraedre_ascii_crlf.stl", stl_ascii(tetraedre(), "tetra", "\r\n"))
    ecrit("stl_import", "tetraedre_binaire_sans_normales.stl", stl_binaire(tetraedre(), normales=False))
    # A binary file whose header begins with "solid", as some writers make them.
    ecrit("stl_import", "cube_binaire_entete_solid.stl", stl_binaire(cube(), entete=b"solid cube"))
    # Two solids in one text, upper-case keywords and a loop of four corners (split into a fan).
    texte = stl_ascii(tetraedre(), "a").upper() + stl_ascii(cube(0.5, (3.0, 0.0, 0.0)), "b", normales=False)
    ecrit("stl_import", "deux_solides_ascii.stl", texte)
    quad = ("solid quad\n facet normal 0 0 1\n  outer loop\n   vertex 0 0 0\n   vertex 1 0 0\n"
            "   vertex 1 1 0\n   vertex 0 1 0\n   vertex 0 1 0\n  endloop\n endfacet\nendsolid quad\n")
    ecrit("stl_import", "quadrilatere_ascii.stl", quad)
    # A facet whose first corners repeat: kept as it is, a model of two vertices.
    degeneree = ("solid plat\n facet normal 0 0 1\n  outer loop\n   vertex 0 0 0\n   vertex 0 0 0\n"
                 "   vertex 0 1 0\n  endloop\n endfacet\nendsolid plat\n")
    ecrit("stl_import", "facette_degeneree_ascii.stl", degeneree)
    # Cut in the middle of a facet: the reader's failure path.
    ecrit("stl_import", "tronque_ascii.stl", stl_ascii(tetraedre())[:200])
    ecrit("stl_import", "tronque_binaire.stl", stl_binaire(tetraedre())[:150])


# [DXF] ---------------------------------------------------------------------------------------

PLANS_COPIES = ["piece_cube15_iso.dxf", "piece_coin_ansi.dxf", "piece_cylindre_iso.dxf", "deux_vues_tube.dxf",
                "toutes_entites.dxf", "blocs_insertions.dxf", "profil_hexagone.dxf", "mauvais_blocs_cycle.dxf",
                "mauvais_tronque.dxf", "mauvais_vues_non_alignees.dxf"]


def graines_dxf():
    for nom in PLANS_COPIES:
        shutil.copyfile(os.path.join(PLANS, nom), os.path.join(ICI, "dxf_vues", nom))
    # Small three-view plans of the generator's parts, in both layouts: they stay under the
    # generation target's size limit.
    for nom, disposition in (("cube15", "iso"), ("equerre", "ansi"), ("coin", "iso"), ("cylindre", "iso"),
                             ("tube", "iso"), ("te", "ansi")):
        texte = genere_plans.plan_trois_vues(genere_plans.PIECES[nom][0], disposition).texte_dxf()
        ecrit("trois_vues", "piece_%s_%s.dxf" % (nom, disposition), texte)
        ecrit("dxf_vues", "piece_%s_%s.dxf" % (nom, disposition), texte)
    # A plan of two views only, and one with an ellipse and an arc drawn through the generator.
    texte = genere_plans.plan_trois_vues(genere_plans.PIECES["cylindre"][0], "iso", vues="ft").texte_dxf()
    ecrit("trois_vues", "deux_vues_cylindre.dxf", texte)
    d = genere_plans.Dxf()
    d.rect(0.0, 0.0, 20.0, 10.0)
    d.ellipse((10.0, 5.0), (4.0, 0.0), 0.5)
    d.arc((30.0, 5.0), 5.0, 90.0, 270.0)
    d.polyligne([(40.0, 0.0), (50.0, 0.0, 0.5), (50.0, 10.0)], ferme=True)
    ecrit("dxf_vues", "courbes_diverses.dxf", d.texte_dxf())


# [Base-n] ------------------------------------------------------------------------------------

def graines_base_code():
    donnees = [b"f", b"fo", b"foo", b"foob", b"fooba", b"foobar", bytes(range(256)), b"\x00\x00\xff"]
    for i, d in enumerate(donnees):
        ecrit("base_code", "base64_%d.txt" % i, base64.b64encode(d))
        ecrit("base_code", "base32_%d.txt" % i, base64.b32encode(d))
        ecrit("base_code", "base16_%d.txt" % i, base64.b16encode(d).lower())
    for i, texte in enumerate(["Zm9v=YmFy", "MZXW6===MFRGG", "AB=", "=AAA", "abc$", "0F", "abc", "Zg", "MY"]):
        ecrit("base_code", "casse_%d.txt" % i, texte)


# [Arguments] ---------------------------------------------------------------------------------

def graines_args():
    lignes = [
        ["-h"],
        ["-x", "1"],
        ["-i", "plan.dxf", "-m", "1", "-o", "piece.stl"],
        ["plan.dxf", "-v", "-a", "gl3"],
        ["-s", "maillage.stl", "-c", "capture.png", "-f"],
        ["-m", "2", "-l", "12.5", "profil.dxf", "-o", "sortie.obj"],
        ["--", "libre", "-", "ignore", "-Z", "valeur", "autre"],
        ["a%d" % i for i in range(40)],
    ]
    for i, l in enumerate(lignes):
        ecrit("args", "ligne_%d.txt" % i, "\n".join(l))


if __name__ == "__main__":
    graines_stl()
    graines_dxf()
    graines_base_code()
    graines_args()
