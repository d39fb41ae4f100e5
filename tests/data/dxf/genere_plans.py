#!/usr/bin/env python3
"""Writes the DXF test plans of this folder (run it from anywhere; it writes beside itself).

Each plan is a small ASCII DXF with the tables the reader uses (linetypes, layers), written by
the minimal writer below. The three-view plans are laid out in first angle (top view below the
front view, left view on the right of it) unless stated.
"""
import math
import os

ICI = os.path.dirname(os.path.abspath(__file__))


class Dxf:
    def __init__(self, unites=4):
        self.entites = []
        self.blocs = []
        self.unites = unites
        self.calques = [("0", 7, "CONTINUOUS", 0)]

    def calque(self, nom, couleur=7, type_ligne="CONTINUOUS", drapeaux=0):
        self.calques.append((nom, couleur, type_ligne, drapeaux))

    @staticmethod
    def _commun(calque="0", type_ligne=None, couleur=None, vraie=None, extra=()):
        s = [(8, calque)]
        if type_ligne:
            s.append((6, type_ligne))
        if couleur is not None:
            s.append((62, couleur))
        if vraie is not None:
            s.append((420, vraie))
        s.extend(extra)
        return s

    def ligne(self, a, b, cible=None, **k):
        (cible if cible is not None else self.entites).append(
            [(0, "LINE")] + self._commun(**k) + [(10, a[0]), (20, a[1]), (30, 0.0), (11, b[0]), (21, b[1]), (31, 0.0)])

    def rect(self, x, y, w, h, **k):
        p = [(x, y), (x + w, y), (x + w, y + h), (x, y + h)]
        for i in range(4):
            self.ligne(p[i], p[(i + 1) % 4], **k)

    def cercle(self, c, r, cible=None, **k):
        (cible if cible is not None else self.entites).append(
            [(0, "CIRCLE")] + self._commun(**k) + [(10, c[0]), (20, c[1]), (30, 0.0), (40, r)])

    def arc(self, c, r, a1, a2, cible=None, **k):
        (cible if cible is not None else self.entites).append(
            [(0, "ARC")] + self._commun(**k) + [(10, c[0]), (20, c[1]), (30, 0.0), (40, r), (50, a1), (51, a2)])

    def ellipse(self, c, m, ratio, t0=0.0, t1=2 * math.pi, cible=None, **k):
        (cible if cible is not None else self.entites).append(
            [(0, "ELLIPSE")] + self._commun(**k) + [(10, c[0]), (20, c[1]), (30, 0.0), (11, m[0]), (21, m[1]),
                                                     (31, 0.0), (40, ratio), (41, t0), (42, t1)])

    def lwpolyligne(self, points, ferme=False, cible=None, **k):
        """points: (x, y) or (x, y, bulge)."""
        e = [(0, "LWPOLYLINE")] + self._commun(**k) + [(90, len(points)), (70, 1 if ferme else 0)]
        for p in points:
            e += [(10, p[0]), (20, p[1])]
            if len(p) > 2 and p[2]:
                e.append((42, p[2]))
        (cible if cible is not None else self.entites).append(e)

    def polyligne(self, points, ferme=False, cible=None, **k):
        """Old-style POLYLINE with VERTEX entities and SEQEND."""
        c = cible if cible is not None else self.entites
        c.append([(0, "POLYLINE")] + self._commun(**k) + [(66, 1), (10, 0.0), (20, 0.0), (30, 0.0),
                                                         (70, 1 if ferme else 0)])
        for p in points:
            v = [(0, "VERTEX")] + self._commun(calque=k.get("calque", "0")) + [(10, p[0]), (20, p[1]), (30, 0.0)]
            if len(p) > 2 and p[2]:
                v.append((42, p[2]))
            c.append(v)
        c.append([(0, "SEQEND"), (8, k.get("calque", "0"))])

    def spline(self, degre, noeuds, controle, poids=None, cible=None, **k):
        e = [(0, "SPLINE")] + self._commun(**k) + [(70, 8), (71, degre), (72, len(noeuds)), (73, len(controle)),
                                                    (74, 0)]
        e += [(40, u) for u in noeuds]
        if poids:
            e += [(41, w) for w in poids]
        for p in controle:
            e += [(10, p[0]), (20, p[1]), (30, 0.0)]
        (cible if cible is not None else self.entites).append(e)

    def point(self, p, cible=None, **k):
        (cible if cible is not None else self.entites).append(
            [(0, "POINT")] + self._commun(**k) + [(10, p[0]), (20, p[1]), (30, 0.0)])

    def texte(self, p, h, t, **k):
        self.entites.append([(0, "TEXT")] + self._commun(**k) + [(10, p[0]), (20, p[1]), (30, 0.0), (40, h), (1, t)])

    def bloc(self, nom, base=(0.0, 0.0)):
        contenu = []
        self.blocs.append((nom, base, contenu))
        return contenu

    def insertion(self, nom, p, sx=1.0, sy=1.0, angle=0.0, cible=None, **k):
        (cible if cible is not None else self.entites).append(
            [(0, "INSERT")] + self._commun(**k) + [(2, nom), (10, p[0]), (20, p[1]), (30, 0.0), (41, sx), (42, sy),
                                                    (43, 1.0), (50, angle)])

    def brut(self, paires):
        self.entites.append(paires)

    def texte_dxf(self):
        out = []

        def p(code, valeur):
            if isinstance(valeur, float):
                valeur = repr(valeur)
            out.append("%d\n%s\n" % (code, valeur))

        p(999, "test plan")
        p(0, "SECTION"); p(2, "HEADER")
        p(9, "$ACADVER"); p(1, "AC1015")
        p(9, "$INSUNITS"); p(70, self.unites)
        p(0, "ENDSEC")
        p(0, "SECTION"); p(2, "TABLES")
        p(0, "TABLE"); p(2, "LTYPE"); p(70, 4)
        for nom, motif in (("CONTINUOUS", []), ("HIDDEN", [0.25, -0.125]), ("CENTER", [1.25, -0.25, 0.25, -0.25]),
                           ("ACAD_ISO02W100", [12.0, -3.0]), ("ACAD_ISO04W100", [24.0, -3.0, 0.5, -3.0])):
            p(0, "LTYPE"); p(2, nom); p(70, 0); p(3, nom); p(72, 65); p(73, len(motif))
            p(40, float(sum(abs(x) for x in motif)))
            for x in motif:
                p(49, float(x))
        p(0, "ENDTAB")
        p(0, "TABLE"); p(2, "LAYER"); p(70, len(self.calques))
        for nom, couleur, type_ligne, drapeaux in self.calques:
            p(0, "LAYER"); p(2, nom); p(70, drapeaux); p(62, couleur); p(6, type_ligne)
        p(0, "ENDTAB")
        p(0, "ENDSEC")
        p(0, "SECTION"); p(2, "BLOCKS")
        for nom, base, contenu in self.blocs:
            p(0, "BLOCK"); p(8, "0"); p(2, nom); p(70, 0); p(10, float(base[0])); p(20, float(base[1])); p(30, 0.0)
            p(3, nom)
            for e in contenu:
                for code, valeur in e:
                    p(code, float(valeur) if isinstance(valeur, int) and 10 <= code < 60 else valeur)
            p(0, "ENDBLK"); p(8, "0")
        p(0, "ENDSEC")
        p(0, "SECTION"); p(2, "ENTITIES")
        for e in self.entites:
            for code, valeur in e:
                p(code, float(valeur) if isinstance(valeur, int) and 10 <= code < 60 else valeur)
        p(0, "ENDSEC")
        p(0, "EOF")
        return "".join(out)

    def ecrit(self, nom):
        with open(os.path.join(ICI, nom), "w", newline="\n") as f:
            f.write(self.texte_dxf())


# [Views] -------------------------------------------------------------------------------------
# A view is a list of primitives in the view's own coordinates (origin at the lower left of its
# outline): ("l", x1, y1, x2, y2, kind), ("c", cx, cy, r, kind), ("a", cx, cy, r, a1, a2, kind) (degrees,
# counter-clockwise), ("e", cx, cy, mx, my, ratio,
# kind), ("p", [(x, y[, bulge])...], closed, kind). Kind: "v" visible, "h" hidden, "a" axis.
# Side views are given as the engine sees them (depth from the front face to the right).

STYLES = {"v": {}, "h": {"type_ligne": "HIDDEN"}, "a": {"type_ligne": "CENTER"}}


def place(dxf, vue, ox, oy, largeur=None, miroir=False, styles=STYLES):
    def tx(x):
        return ox + (largeur - x if miroir else x)

    for prim in vue:
        kind = prim[-1]
        k = dict(styles[kind])
        if prim[0] == "l":
            dxf.ligne((tx(prim[1]), oy + prim[2]), (tx(prim[3]), oy + prim[4]), **k)
        elif prim[0] == "c":
            dxf.cercle((tx(prim[1]), oy + prim[2]), prim[3], **k)
        elif prim[0] == "a":
            a1, a2 = (180 - prim[5], 180 - prim[4]) if miroir else (prim[4], prim[5])
            dxf.arc((tx(prim[1]), oy + prim[2]), prim[3], a1, a2, **k)
        elif prim[0] == "e":
            dxf.ellipse((tx(prim[1]), oy + prim[2]), ((-1 if miroir else 1) * prim[3], prim[4]), prim[5], **k)
        elif prim[0] == "p":
            pts = [(tx(p[0]), oy + p[1]) + ((-p[2] if miroir else p[2],) if len(p) > 2 else ()) for p in prim[1]]
            dxf.lwpolyligne(pts, ferme=prim[2], **k)


def plan_trois_vues(piece, disposition="iso", ecart=20.0, origine=(100.0, 100.0), vues="fst", unites=4, styles=STYLES):
    w, h, d, face, cote, dessus = piece
    dxf = Dxf(unites)
    ox, oy = origine
    if "f" in vues:
        place(dxf, face, ox, oy, styles=styles)
    if disposition == "iso":
        if "t" in vues:
            place(dxf, dessus, ox, oy - ecart - d, styles=styles)
        if "s" in vues:
            place(dxf, cote, ox + w + ecart, oy, largeur=d, miroir=True, styles=styles)
    else:
        if "t" in vues:
            place(dxf, dessus, ox, oy + h + ecart, styles=styles)
        if "s" in vues:
            place(dxf, cote, ox + w + ecart, oy, largeur=d, miroir=False, styles=styles)
    return dxf


def rect(x, y, w, h, kind="v"):
    return [("l", x, y, x + w, y, kind), ("l", x + w, y, x + w, y + h, kind), ("l", x + w, y + h, x, y + h, kind),
            ("l", x, y + h, x, y, kind)]


def contour(points, kind="v"):
    n = len(points)
    return [("l",) + tuple(points[i]) + tuple(points[(i + 1) % n]) + (kind,) for i in range(n)]


# [Parts] -------------------------------------------------------------------------------------
# Each part: width, height, depth, front, side, top views, and its true volume.

PIECES = {}


def piece(nom, volume, w, h, d, face, cote, dessus):
    PIECES[nom] = ((w, h, d, face, cote, dessus), volume)


piece("cube15", 3375.0, 15, 15, 15, rect(0, 0, 15, 15), rect(0, 0, 15, 15), rect(0, 0, 15, 15))
piece("mod", 900.0 - 6 * math.pi * 4 * 3, 15, 10, 6,
      rect(0, 0, 15, 10) + [("e", 7.5, 5, 4, 0, 0.75, "v")],
      rect(0, 0, 6, 10) + [("l", 0, 8, 6, 8, "v"), ("l", 0, 2, 6, 2, "v")],
      rect(0, 0, 15, 6) + [("l", 11.5, 0, 11.5, 6, "v"), ("l", 3.5, 0, 3.5, 6, "v")])
piece("equerre", 12400.0, 40, 30, 25,
      contour([(0, 0), (40, 0), (40, 8), (8, 8), (8, 30), (0, 30)]),
      rect(0, 0, 25, 30) + [("l", 0, 8, 25, 8, "v")],
      rect(0, 0, 40, 25) + [("l", 8, 0, 8, 25, "v")])
piece("profil_u", (50 * 30 - 38 * 22) * 40.0, 50, 30, 40,
      contour([(0, 0), (50, 0), (50, 30), (44, 30), (44, 8), (6, 8), (6, 30), (0, 30)]),
      rect(0, 0, 40, 30) + [("l", 0, 8, 40, 8, "h")],
      rect(0, 0, 50, 40) + [("l", 6, 0, 6, 40, "v"), ("l", 44, 0, 44, 40, "v")])
piece("escalier", 36000.0, 60, 30, 30,
      contour([(0, 0), (60, 0), (60, 10), (40, 10), (40, 20), (20, 20), (20, 30), (0, 30)]),
      rect(0, 0, 30, 30) + [("l", 0, 10, 30, 10, "v"), ("l", 0, 20, 30, 20, "v")],
      rect(0, 0, 60, 30) + [("l", 20, 0, 20, 30, "v"), ("l", 40, 0, 40, 30, "v")])
piece("rainure", 25 * (60 * 30 - 16 * 15.0), 60, 30, 25,
      contour([(0, 0), (60, 0), (60, 30), (38, 30), (38, 15), (22, 15), (22, 30), (0, 30)]),
      rect(0, 0, 25, 30) + [("l", 0, 15, 25, 15, "h")],
      rect(0, 0, 60, 25) + [("l", 22, 0, 22, 25, "v"), ("l", 38, 0, 38, 25, "v")])
piece("percages", 60 * 40 * 50 - math.pi * 25 * 50 - math.pi * 36 * 40, 60, 40, 50,
      rect(0, 0, 60, 40) + [("c", 20, 20, 5, "v"), ("l", 36, 0, 36, 40, "h"), ("l", 48, 0, 48, 40, "h")],
      rect(0, 0, 50, 40) + [("l", 0, 15, 50, 15, "h"), ("l", 0, 25, 50, 25, "h"), ("l", 9, 0, 9, 40, "h"),
                            ("l", 21, 0, 21, 40, "h")],
      rect(0, 0, 60, 50) + [("c", 42, 15, 6, "v"), ("l", 15, 0, 15, 50, "h"), ("l", 25, 0, 25, 50, "h")])
_trous_bride = [(15, 50), (85, 50), (50, 15), (50, 85)]
piece("bride", 12 * math.pi * (2500 - 400 - 100), 100, 100, 12,
      [("c", 50, 50, 50, "v"), ("c", 50, 50, 20, "v")] + [("c", x, y, 5, "v") for x, y in _trous_bride],
      rect(0, 0, 12, 100) + [("l", 0, y, 12, y, "h") for y in (30, 70, 45, 55, 10, 20, 80, 90)],
      rect(0, 0, 100, 12) + [("l", x, 0, x, 12, "h") for x in (30, 70, 45, 55, 10, 20, 80, 90)])
piece("tube", math.pi * (225 - 100) * 50, 30, 50, 30,
      rect(0, 0, 30, 50) + [("l", 5, 0, 5, 50, "h"), ("l", 25, 0, 25, 50, "h")],
      rect(0, 0, 30, 50) + [("l", 5, 0, 5, 50, "h"), ("l", 25, 0, 25, 50, "h")],
      [("c", 15, 15, 15, "v"), ("c", 15, 15, 10, "v")])
piece("coin", 16000.0, 40, 30, 20,
      contour([(0, 0), (40, 0), (40, 10), (0, 30)]),
      rect(0, 0, 20, 30) + [("l", 0, 10, 20, 10, "v")],
      rect(0, 0, 40, 20))
piece("poche", 60 * 20 * 40 - 30 * 20 * 8.0, 60, 20, 40,
      rect(0, 0, 60, 20) + [("l", 15, 12, 15, 20, "h"), ("l", 45, 12, 45, 20, "h"), ("l", 15, 12, 45, 12, "h")],
      rect(0, 0, 40, 20) + [("l", 10, 12, 10, 20, "h"), ("l", 30, 12, 30, 20, "h"), ("l", 10, 12, 30, 12, "h")],
      rect(0, 0, 60, 40) + rect(15, 10, 30, 20))
piece("trou_borgne", 50 * 30 * 40 - math.pi * 36 * 15, 50, 30, 40,
      rect(0, 0, 50, 30) + [("l", 19, 15, 19, 30, "h"), ("l", 31, 15, 31, 30, "h"), ("l", 19, 15, 31, 15, "h")],
      rect(0, 0, 40, 30) + [("l", 14, 15, 14, 30, "h"), ("l", 26, 15, 26, 30, "h"), ("l", 14, 15, 26, 15, "h")],
      rect(0, 0, 50, 40) + [("c", 25, 20, 6, "v")])
piece("te", 35 * 540.0, 40, 30, 35,
      contour([(0, 0), (40, 0), (40, 8), (25, 8), (25, 30), (15, 30), (15, 8), (0, 8)]),
      rect(0, 0, 35, 30) + [("l", 0, 8, 35, 8, "v")],
      rect(0, 0, 40, 35) + [("l", 15, 0, 15, 35, "v"), ("l", 25, 0, 25, 35, "v")])
piece("cylindre", math.pi * 100 * 30, 20, 30, 20,
      rect(0, 0, 20, 30), rect(0, 0, 20, 30), [("c", 10, 10, 10, "v")])
# Holes drawn the usual way, their hidden lines left out: a plate with four bolt holes seen in the
# top view, a block with two holes crossing it from the front and from the side.
_trous_plaque = [(12, 10), (48, 10), (12, 30), (48, 30)]
piece("plaque_trous", 60 * 8 * 40 - 4 * math.pi * 16 * 8, 60, 8, 40,
      rect(0, 0, 60, 8), rect(0, 0, 40, 8), rect(0, 0, 60, 40) + [("c", x, y, 4, "v") for x, y in _trous_plaque])
piece("trous_croises", 40 * 30 * 30 - math.pi * 16 * 30 - math.pi * 9 * 40, 40, 30, 30,
      rect(0, 0, 40, 30) + [("c", 10, 15, 4, "v")], rect(0, 0, 30, 30) + [("c", 15, 24, 3, "v")],
      rect(0, 0, 40, 30))
# Parts of revolution, each view an outline or concentric circles.
_demi_disque = [("a", 15, 0, 15, 0, 180, "v"), ("l", 0, 0, 30, 0, "v")]
piece("cone", math.pi * 100 * 25 / 3, 20, 25, 20,
      contour([(0, 0), (20, 0), (10, 25)]), contour([(0, 0), (20, 0), (10, 25)]), [("c", 10, 10, 10, "v")])
piece("demi_sphere", 2 / 3 * math.pi * 15 ** 3, 30, 15, 30, _demi_disque, _demi_disque, [("c", 15, 15, 15, "v")])
piece("boule", 4 / 3 * math.pi * 1000, 20, 20, 20, [("c", 10, 10, 10, "v")], [("c", 10, 10, 10, "v")],
      [("c", 10, 10, 10, "v")])
_arbre = contour([(0, 5), (20, 5), (20, 0), (50, 0), (50, 20), (20, 20), (20, 15), (0, 15)]) + [("l", 20, 5, 20, 15, "v")]
piece("arbre_epaule", math.pi * 25 * 20 + math.pi * 100 * 30, 50, 20, 20,
      _arbre, [("c", 10, 10, 10, "v"), ("c", 10, 10, 5, "v")], _arbre)
# Holes turned about an axis, seen as concentric circles from above and as hidden lines beside.
def _chambrage(x):
    return rect(0, 0, 40, 20) + [("l", x - 7, 14, x - 7, 20, "h"), ("l", x + 7, 14, x + 7, 20, "h"),
                                 ("l", x - 7, 14, x + 7, 14, "h"), ("l", x - 4, 0, x - 4, 14, "h"),
                                 ("l", x + 4, 0, x + 4, 14, "h")]
piece("chambrage", 40 * 20 * 40 - math.pi * 16 * 20 - math.pi * 33 * 6, 40, 20, 40,
      _chambrage(20), _chambrage(20), rect(0, 0, 40, 40) + [("c", 20, 20, 4, "v"), ("c", 20, 20, 7, "v")])
def _fraisure(x):
    return rect(0, 0, 40, 10) + [("l", x - 7, 10, x - 4, 7, "h"), ("l", x + 7, 10, x + 4, 7, "h"),
                                 ("l", x - 4, 7, x + 4, 7, "h"), ("l", x - 4, 0, x - 4, 7, "h"),
                                 ("l", x + 4, 0, x + 4, 7, "h")]
piece("fraisure", 40 * 10 * 40 - math.pi * 16 * 10 - math.pi * 45, 40, 10, 40,
      _fraisure(20), _fraisure(20), rect(0, 0, 40, 40) + [("c", 20, 20, 4, "v"), ("c", 20, 20, 7, "v")])
def _pointe(x):
    return rect(0, 0, 40, 30) + [("l", x - 5, 10, x - 5, 30, "h"), ("l", x + 5, 10, x + 5, 30, "h"),
                                 ("l", x - 5, 10, x, 7, "h"), ("l", x + 5, 10, x, 7, "h"), ("l", x - 5, 10, x + 5, 10, "h")]
piece("pointe_foret", 40 * 30 * 40 - math.pi * 25 * 20 - math.pi * 25, 40, 30, 40,
      _pointe(20), _pointe(20), rect(0, 0, 40, 40) + [("c", 20, 20, 5, "v")])
_bride_tournee = contour([(0, 0), (60, 0), (60, 8), (45, 8), (45, 28), (15, 28), (15, 8), (0, 8)]) + [("l", 15, 8, 45, 8, "v"),
    ("l", 22, 0, 22, 28, "h"), ("l", 38, 0, 38, 28, "h")]
piece("bride_tournee", math.pi * 900 * 8 + math.pi * 225 * 20 - math.pi * 64 * 28, 60, 28, 60,
      _bride_tournee, _bride_tournee, [("c", 30, 30, r, "v") for r in (30, 15, 8)])
# Curves drawn as chains of short lines: a cylinder whose top view is a 24-sided polygon, a bracket
# whose rounded corner is 6 lines.
def _polygone_cercle(cx, cy, r, n, a0=0.0, a1=360.0):
    pts = [(cx + r * math.cos(math.radians(a0 + (a1 - a0) * k / n)), cy + r * math.sin(math.radians(a0 + (a1 - a0) * k / n)))
           for k in range(n + 1)]
    return pts
_facettes = _polygone_cercle(10, 10, 10, 24)
piece("cylindre_facettes", math.pi * 100 * 30, 20, 30, 20, rect(0, 0, 20, 30), rect(0, 0, 20, 30),
      [("l",) + _facettes[k] + _facettes[k + 1] + ("v",) for k in range(24)])
_coin_arrondi = [(0, 0), (40, 0)] + _polygone_cercle(30, 20, 10, 6, 0.0, 90.0) + [(0, 30)]
piece("equerre_arrondie", 25 * (1200 - 100 + 25 * math.pi), 40, 30, 25, contour(_coin_arrondi),
      rect(0, 0, 25, 30) + [("l", 0, 20, 25, 20, "v")], rect(0, 0, 40, 25) + [("l", 30, 0, 30, 25, "v")])
# Corners cut off by oblique planes, whose outlines stay whole rectangles: one corner (top right
# front), then two (also the top left back one).
piece("coin_coupe", 40 * 30 * 20 - 10 * 10 * 8 / 6, 40, 30, 20,
      rect(0, 0, 40, 30) + [("l", 30, 30, 40, 20, "v")], rect(0, 0, 20, 30) + [("l", 0, 20, 8, 30, "v")],
      rect(0, 0, 40, 20) + [("l", 30, 0, 40, 8, "v")])
piece("coins_coupes", 40 * 30 * 20 - 2 * 10 * 10 * 8 / 6, 40, 30, 20,
      rect(0, 0, 40, 30) + [("l", 30, 30, 40, 20, "v"), ("l", 10, 30, 0, 20, "h")],
      rect(0, 0, 20, 30) + [("l", 0, 20, 8, 30, "v"), ("l", 20, 20, 12, 30, "h")],
      rect(0, 0, 40, 20) + [("l", 30, 0, 40, 8, "v"), ("l", 10, 20, 0, 12, "v")])
# Ribs, which the outlines' common part fills over the whole depth: an angle bracket with one
# triangular rib in the middle of its depth, and one with two ribs near its ends.
_nervure_face = contour([(0, 0), (40, 0), (40, 5), (25, 5), (5, 25), (5, 30), (0, 30)]) + [
    ("l", 5, 5, 5, 25, "v"), ("l", 5, 5, 25, 5, "v")]
def _nervures(*profondeurs):
    cote = rect(0, 0, 30, 30) + [("l", 0, 5, 30, 5, "v")]
    dessus = rect(0, 0, 40, 30) + [("l", 5, 0, 5, 30, "v")]
    for d0, d1 in profondeurs:
        cote += [("l", d0, 5, d0, 25, "v"), ("l", d1, 5, d1, 25, "v"), ("l", d0, 25, d1, 25, "v")]
        dessus += [("l", 5, d0, 25, d0, "v"), ("l", 5, d1, 25, d1, "v"), ("l", 25, d0, 25, d1, "v")]
    return cote, dessus
piece("equerre_nervure", 40 * 5 * 30 + 5 * 25 * 30 + 20 * 20 / 2 * 5, 40, 30, 30, _nervure_face,
      *_nervures((12.5, 17.5)))
piece("equerre_deux_nervures", 40 * 5 * 30 + 5 * 25 * 30 + 2 * 20 * 20 / 2 * 4, 40, 30, 30, _nervure_face,
      *_nervures((3, 7), (23, 27)))
# A pyramidal pocket 20 wide and 10 deep in the top of a block, its apex under the square's centre.
_poche_v = [("l", 10, 20, 20, 10, "h"), ("l", 20, 10, 30, 20, "h")]
piece("poche_pyramide", 40 * 20 * 40 - 20 * 20 * 10 / 3, 40, 20, 40,
      rect(0, 0, 40, 20) + _poche_v, rect(0, 0, 40, 20) + _poche_v,
      rect(0, 0, 40, 40) + rect(10, 10, 20, 20) + [("l", 10, 10, 30, 30, "v"), ("l", 10, 30, 30, 10, "v")])
# A tee of two pipes: the main one (outer radius 10, bore 6) along the width, a branch (outer
# radius 7, bore 4) rising from its axis. The curves where they meet, seen from the front, are
# drawn as chains of short lines.
def _croisement(rayon_branche, rayon_principal, n=64):
    """Front-view curve where a branch of the given radius meets a main cylinder (axis y = 10)."""
    return [(30 + x, 10 + math.sqrt(rayon_principal ** 2 - rayon_branche ** 2 + x * x))
            for x in (rayon_branche * (2 * k / n - 1) for k in range(n + 1))]
def _chaine(points, kind):
    return [("l",) + points[k] + points[k + 1] + (kind,) for k in range(len(points) - 1)]
def _volume_sous_branche(r, rayon_principal, n=400):
    """Volume of a branch of radius r from the main cylinder's surface up to y = 35."""
    total = 0.0
    for i in range(n):
        u = -r + (i + 0.5) * 2 * r / n
        corde = 2 * math.sqrt(r * r - u * u)
        total += corde * (35 - 10 - math.sqrt(rayon_principal ** 2 - u * u)) * 2 * r / n
    return total
_te_exterieur = _croisement(7, 10)
_te_alesage = _croisement(4, 6)
piece("te_tubes", 3840 * math.pi + _volume_sous_branche(7, 10) - _volume_sous_branche(4, 6), 60, 35, 20,
      contour([(0, 0), (60, 0), (60, 20), (37, 20), (37, 35), (23, 35), (23, 20), (0, 20)]) +
      _chaine(_te_exterieur, "v") + _chaine(_te_alesage, "h") +
      [("l", 0, 4, 60, 4, "h"), ("l", 0, 16, 26, 16, "h"), ("l", 34, 16, 60, 16, "h"), ("l", 26, 16, 26, 35, "h"),
       ("l", 34, 16, 34, 35, "h")],
      [("c", 10, 10, 10, "v"), ("c", 10, 10, 6, "v"), ("l", 3, 10 + math.sqrt(51), 3, 35, "v"),
       ("l", 17, 10 + math.sqrt(51), 17, 35, "v"), ("l", 3, 35, 17, 35, "v"),
       ("l", 6, 10 + math.sqrt(20), 6, 35, "h"), ("l", 14, 10 + math.sqrt(20), 14, 35, "h")],
      rect(0, 0, 60, 20) + [("c", 30, 10, 7, "v"), ("c", 30, 10, 4, "v"), ("l", 0, 4, 60, 4, "h"),
                            ("l", 0, 16, 60, 16, "h")])
# A square plate standing on edge, drilled through off its centre: from its front and top views, the
# side view is no turned copy of the top view.
piece("plaque_carree", 40 * 40 * 10 - 16 * math.pi * 10, 40, 40, 10,
      rect(0, 0, 40, 40) + [("c", 10, 25, 4, "v")], rect(0, 0, 10, 40) + [("l", 0, 21, 10, 21, "h"), ("l", 0, 29, 10, 29, "h")],
      rect(0, 0, 40, 10) + [("l", 6, 0, 6, 10, "h"), ("l", 14, 0, 14, 10, "h")])
# A clevis: its slot, open at the top between two prongs, is cut from the front face to a wall at the
# back, through which a hole runs; the rounded bottom meets the sides tangentially, and the side and
# top views leave those smooth edges out.
piece("chape", (1200 + 200 * math.pi) * 30 - (600 + 50 * math.pi) * 20 - 16 * math.pi * 10, 40, 50, 30,
      [("l", 0, 50, 40, 50, "v"), ("l", 0, 20, 0, 50, "v"), ("l", 40, 20, 40, 50, "v"), ("a", 20, 20, 20, 180, 360, "v"),
       ("l", 10, 20, 10, 50, "v"), ("l", 30, 20, 30, 50, "v"), ("a", 20, 20, 10, 180, 360, "v"), ("c", 20, 20, 4, "v")],
      rect(0, 0, 30, 50) + [("l", 20, 10, 20, 50, "h"), ("l", 0, 10, 20, 10, "h"), ("l", 20, 16, 30, 16, "h"),
                            ("l", 20, 24, 30, 24, "h")],
      rect(0, 0, 40, 30) + [("l", 10, 0, 10, 20, "v"), ("l", 30, 0, 30, 20, "v"), ("l", 10, 20, 30, 20, "v"),
                            ("l", 16, 20, 16, 30, "h"), ("l", 24, 20, 24, 30, "h")])
# Holes inside the part: a closed box-shaped cavity that reaches no face, drawn hidden in every view,
# and a hole from the right face that ends inside the block, under a hole from the top.
piece("cavite", 40 * 30 * 30 - 20 * 10 * 10, 40, 30, 30,
      rect(0, 0, 40, 30) + rect(10, 10, 20, 10, "h"), rect(0, 0, 30, 30) + rect(10, 10, 10, 10, "h"),
      rect(0, 0, 40, 30) + rect(10, 10, 20, 10, "h"))
def _croisement_trous(r_vertical, r_horizontal, n=400):
    """Volume common to a vertical hole crossing a horizontal one of larger radius, axes meeting."""
    total = 0.0
    for i in range(n):
        u = -r_vertical + (i + 0.5) * 2 * r_vertical / n
        total += 2 * math.sqrt(r_vertical ** 2 - u * u) * 2 * math.sqrt(r_horizontal ** 2 - u * u) * 2 * r_vertical / n
    return total
# Front view of the curves where the vertical hole (radius 3, axis x = 25) meets the horizontal
# one (radius 4, axis y = 15): y = 15 +- sqrt(7 + (x - 25)^2).
_trous_haut = [(25 + u, 15 + math.sqrt(7 + u * u)) for u in (3 * (2 * k / 32 - 1) for k in range(33))]
piece("trous_internes", 40 * 30 * 30 - math.pi * 16 * 25 - math.pi * 9 * 20 + _croisement_trous(3, 4), 40, 30, 30,
      rect(0, 0, 40, 30) + [("l", 15, 11, 22, 11, "h"), ("l", 28, 11, 40, 11, "h"), ("l", 15, 19, 22, 19, "h"),
                            ("l", 28, 19, 40, 19, "h"), ("l", 15, 11, 15, 19, "h"), ("l", 22, 19, 22, 30, "h"),
                            ("l", 28, 19, 28, 30, "h"), ("l", 22, 10, 22, 11, "h"), ("l", 28, 10, 28, 11, "h"),
                            ("l", 22, 10, 28, 10, "h")] +
      _chaine(_trous_haut, "h") + _chaine([(x, 30 - y) for x, y in _trous_haut], "h"),
      rect(0, 0, 30, 30) + [("c", 15, 15, 4, "v"), ("l", 12, 10, 12, 15 - math.sqrt(7), "h"),
                            ("l", 12, 15 + math.sqrt(7), 12, 30, "h"), ("l", 18, 10, 18, 15 - math.sqrt(7), "h"),
                            ("l", 18, 15 + math.sqrt(7), 18, 30, "h"), ("l", 12, 10, 18, 10, "h")],
      rect(0, 0, 40, 30) + [("c", 25, 15, 3, "v"), ("l", 15, 11, 40, 11, "h"), ("l", 15, 19, 40, 19, "h"),
                            ("l", 15, 11, 15, 19, "h")])
# Near misses: the same parts with one stray line on the front face, which no solid draws.
_trait_isole = [("l", 20, 4, 40, 4, "v")]
PRESQUE = {
    "plaque_trous": (60, 8, 40, rect(0, 0, 60, 8) + _trait_isole, rect(0, 0, 40, 8),
                     rect(0, 0, 60, 40) + [("c", x, y, 4, "v") for x, y in _trous_plaque]),
    "trous_croises": (40, 30, 30, rect(0, 0, 40, 30) + [("c", 10, 15, 4, "v")] + [("l", 20, 4, 35, 4, "v")],
                      rect(0, 0, 30, 30) + [("c", 15, 24, 3, "v")], rect(0, 0, 40, 30)),
    # A cut-off corner whose side view lacks the cut's edge.
    "coin_coupe": (40, 30, 20, rect(0, 0, 40, 30) + [("l", 30, 30, 40, 20, "v")], rect(0, 0, 20, 30),
                   rect(0, 0, 40, 20) + [("l", 30, 0, 40, 8, "v")]),
    # A counterbore whose larger circle is missing from the top view.
    "chambrage": (40, 20, 40, _chambrage(20), _chambrage(20), rect(0, 0, 40, 40) + [("c", 20, 20, 4, "v")]),
    # A rib whose side view lacks the line where it meets the upright.
    "equerre_nervure": (40, 30, 30, _nervure_face, _nervures((12.5, 17.5))[0][:-1], _nervures((12.5, 17.5))[1]),
    # A pyramidal pocket whose top view lacks one of the diagonals.
    "poche_pyramide": (40, 20, 40, rect(0, 0, 40, 20) + _poche_v, rect(0, 0, 40, 20) + _poche_v,
                       rect(0, 0, 40, 40) + rect(10, 10, 20, 20) + [("l", 10, 10, 30, 30, "v")]),
    # A cavity drawn 2 deeper in the side view than in the top view.
    "cavite": (40, 30, 30, rect(0, 0, 40, 30) + rect(10, 10, 20, 10, "h"), rect(0, 0, 30, 30) + rect(10, 10, 12, 10, "h"),
               rect(0, 0, 40, 30) + rect(10, 10, 20, 10, "h")),
    # Crossing holes whose top view lacks the vertical hole's circle.
    "trous_internes": PIECES["trous_internes"][0][:5] + ([e for e in PIECES["trous_internes"][0][5] if e[0] != "c"],),
    # A cone whose top view shows one circle more than a cone has.
    "cone": (20, 25, 20, contour([(0, 0), (20, 0), (10, 25)]), contour([(0, 0), (20, 0), (10, 25)]),
             [("c", 10, 10, 10, "v"), ("c", 10, 10, 5, "v")]),
}


def ecrit_tout():
    # Three-view parts in both layouts.
    for nom, (p, _) in PIECES.items():
        plan_trois_vues(p, "iso").ecrit("piece_%s_iso.dxf" % nom)
    for nom in ("equerre", "profil_u", "percages", "poche", "coin", "cube15", "plaque_trous", "trous_croises",
                "cone", "demi_sphere", "boule", "arbre_epaule", "chambrage", "fraisure", "pointe_foret",
                "bride_tournee", "cylindre_facettes", "equerre_arrondie", "coin_coupe", "coins_coupes",
                "equerre_nervure", "equerre_deux_nervures", "poche_pyramide", "te_tubes", "cavite",
                "trous_internes", "chape"):
        plan_trois_vues(PIECES[nom][0], "ansi").ecrit("piece_%s_ansi.dxf" % nom)
    for nom, p in PRESQUE.items():
        for disposition in ("iso", "ansi"):
            plan_trois_vues(p, disposition).ecrit("presque_%s_%s.dxf" % (nom, disposition))
    # The clevis whose top view draws the slot 5 deeper than the side view's hidden lines.
    w, h, d, face, cote, _ = PIECES["chape"][0]
    dessus = rect(0, 0, 40, 30) + [("l", 10, 0, 10, 25, "v"), ("l", 30, 0, 30, 25, "v"), ("l", 10, 25, 30, 25, "v"),
                                   ("l", 16, 20, 16, 30, "h"), ("l", 24, 20, 24, 30, "h")]
    plan_trois_vues((w, h, d, face, cote, dessus), "iso").ecrit("presque_chape_iso.dxf")
    # Two-view plans: a tube and a cylinder (front and top views).
    plan_trois_vues(PIECES["tube"][0], "iso", vues="ft").ecrit("deux_vues_tube.dxf")
    plan_trois_vues(PIECES["cylindre"][0], "iso", vues="ft").ecrit("deux_vues_cylindre.dxf")
    # Parts of revolution and a counterbored plate from their front and top views.
    for nom in ("cone", "demi_sphere", "chambrage", "bride_tournee"):
        for disposition in ("iso", "ansi"):
            plan_trois_vues(PIECES[nom][0], disposition, vues="ft").ecrit("deux_vues_%s_%s.dxf" % (nom, disposition))
    # A top view drawn 0.05 narrower than the front view (a twentieth of a percent): one width, and a
    # warning; 1 narrower: views that disagree.
    for nom, ecart in (("presque_largeur", 0.05), ("mauvais_largeur", 1.0)):
        plan_trois_vues((100, 20, 30, rect(0, 0, 100, 20), rect(0, 0, 30, 20), rect(0, 0, 100 - ecart, 30)),
                        "iso").ecrit("%s.dxf" % nom)
    # Prismatic parts from two views: the third is left undrawn. The staircase's and the rib's front
    # and side views have the extents of a part of revolution about the width, but no circle.
    for nom, vues in (("profil_u", "fs"), ("equerre", "fs"), ("te", "fs"), ("escalier", "fs"),
                      ("equerre_nervure", "fs"), ("chape", "fs"), ("poche", "ft"), ("plaque_trous", "ft"),
                      ("plaque_carree", "ft")):
        for disposition in ("iso", "ansi"):
            plan_trois_vues(PIECES[nom][0], disposition, vues=vues).ecrit(
                "deux_vues_%s_%s_%s.dxf" % (vues, nom, disposition))

    # Plan in a frame with its title block, drawn in inches on a letter sheet.
    p = PIECES["equerre"][0]
    pouce = 25.4
    w, h, d, face, cote, dessus = p
    echelle = [(prim[0],) + tuple(v / pouce if isinstance(v, (int, float)) else v for v in prim[1:-1]) + (prim[-1],)
               for prim in []]
    dxf = Dxf(unites=1)
    def pouces(vue):
        r = []
        for prim in vue:
            if prim[0] == "l":
                r.append(("l",) + tuple(v / pouce for v in prim[1:5]) + (prim[5],))
            elif prim[0] == "c":
                r.append(("c",) + tuple(v / pouce for v in prim[1:4]) + (prim[4],))
        return r
    place(dxf, pouces(face), 2.0, 4.0)
    place(dxf, pouces(dessus), 2.0, 4.0 - 1.0 - d / pouce)
    place(dxf, pouces(cote), 2.0 + w / pouce + 1.0, 4.0, largeur=d / pouce, miroir=True)
    dxf.calque("CADRE", 5)
    dxf.rect(0.0, 0.0, 11.0, 8.5, calque="CADRE")
    dxf.rect(0.4, 0.4, 10.2, 7.7, calque="CADRE")
    # Title block in the lower right corner, its lines ending on the inner border.
    dxf.ligne((6.6, 0.4), (6.6, 1.6), calque="CADRE")
    dxf.ligne((6.6, 1.6), (10.6, 1.6), calque="CADRE")
    dxf.ligne((6.6, 1.0), (10.6, 1.0), calque="CADRE")
    dxf.ligne((8.6, 0.4), (8.6, 1.0), calque="CADRE")
    dxf.texte((6.8, 1.2), 0.2, "EQUERRE 40x30x25", calque="CADRE")
    dxf.texte((6.8, 0.6), 0.15, "ECHELLE 1:1", calque="CADRE")
    # Dimensions as loose annotation entities, which the reader must not take as geometry.
    dxf.brut([(0, "DIMENSION"), (8, "COTES"), (2, "*D1"), (10, 2.0), (20, 3.0), (30, 0.0), (70, 0), (1, "40")])
    dxf.brut([(0, "HATCH"), (8, "0"), (2, "ANSI31"), (70, 1), (91, 1), (92, 1), (93, 0)])
    dxf.brut([(0, "3DSOLID"), (8, "0"), (100, "AcDbModelerGeometry"), (70, 1), (1, "ACIS data")])
    dxf.brut([(0, "LINE"), (8, "0"), (67, 1), (10, 0.0), (20, 0.0), (30, 0.0), (11, 5.0), (21, 5.0), (31, 0.0)])
    dxf.ecrit("cadre_cartouche_pouces.dxf")

    # Block inserted with an offset, a scale and nested insertions: the L-bracket front view is a
    # block drawn at half size around a base point, the top view a block made of two blocks.
    w, h, d, face, cote, dessus = PIECES["equerre"][0]
    dxf = Dxf()
    moitie = dxf.bloc("FACE_MOITIE", base=(5.0, 5.0))
    for prim in face:
        dxf.ligne((5.0 + prim[1] / 2, 5.0 + prim[2] / 2), (5.0 + prim[3] / 2, 5.0 + prim[4] / 2), cible=moitie)
    bord = dxf.bloc("BORD")
    dxf.ligne((0.0, 0.0), (40.0, 0.0), cible=bord)
    dxf.ligne((40.0, 0.0), (40.0, 25.0), cible=bord)
    dessus_bloc = dxf.bloc("DESSUS")
    dxf.insertion("BORD", (0.0, 0.0), cible=dessus_bloc)
    dxf.insertion("BORD", (40.0, 25.0), angle=180.0, cible=dessus_bloc)
    dxf.ligne((8.0, 0.0), (8.0, 25.0), cible=dessus_bloc)
    dxf.insertion("FACE_MOITIE", (100.0, 100.0), sx=2.0, sy=2.0)
    dxf.insertion("DESSUS", (100.0, 55.0))
    place(dxf, cote, 160.0, 100.0, largeur=25, miroir=True)
    dxf.ecrit("blocs_insertions.dxf")

    # Every entity kind in one plan (each in its own place, not a part).
    dxf = Dxf()
    dxf.calque("CACHE", 1, "HIDDEN")
    dxf.calque("AXES", 3, "CENTER")
    dxf.calque("ETEINT", -2)
    dxf.calque("GELE", 4, "CONTINUOUS", 1)
    dxf.ligne((0.0, 0.0), (0.0, 30.0))
    dxf.ligne((10.0, 0.0), (10.0, 30.0))
    dxf.ligne((0.0, 0.0), (10.0, 0.0), couleur=1)
    dxf.ligne((0.0, 5.0), (10.0, 5.0), calque="CACHE")
    dxf.ligne((0.0, 10.0), (10.0, 10.0), type_ligne="ACAD_ISO02W100")
    dxf.ligne((0.0, 15.0), (10.0, 15.0), calque="AXES")
    dxf.ligne((0.0, 20.0), (10.0, 20.0), type_ligne="ACAD_ISO04W100", vraie=0x123456)
    dxf.ligne((0.0, 25.0), (10.0, 25.0), calque="ETEINT")
    dxf.ligne((0.0, 30.0), (10.0, 30.0), calque="GELE")
    dxf.arc((30.0, 0.0), 5.0, 0.0, 90.0)
    dxf.cercle((50.0, 0.0), 5.0)
    dxf.ellipse((70.0, 0.0), (6.0, 0.0), 0.5)
    dxf.ellipse((90.0, 0.0), (0.0, 6.0), 0.5, 0.0, math.pi / 2)
    dxf.lwpolyligne([(100.0, 0.0), (110.0, 0.0, 1.0), (110.0, 10.0), (100.0, 10.0)], ferme=True)
    dxf.polyligne([(120.0, 0.0), (130.0, 0.0), (130.0, 12.0)], ferme=False)
    # A quarter circle as a rational quadratic spline (exact), radius 9 centred on (150, 0).
    r2 = math.sqrt(0.5)
    dxf.spline(2, [0, 0, 0, 1, 1, 1], [(159.0, 0.0), (159.0, 9.0), (150.0, 9.0)], poids=[1.0, r2, 1.0])
    dxf.point((170.0, 0.0))
    dxf.texte((0.0, 40.0), 2.5, "TEXTE")
    dxf.brut([(0, "MTEXT"), (8, "0"), (10, 0.0), (20, 45.0), (30, 0.0), (40, 2.5), (1, "NOTE")])
    dxf.brut([(0, "REGION"), (8, "0"), (70, 1), (1, "ACIS")])
    dxf.brut([(0, "BODY"), (8, "0"), (70, 1), (1, "ACIS")])
    dxf.ecrit("toutes_entites.dxf")

    # Profiles for extrusion and revolution.
    dxf = Dxf()
    dxf.rect(0.0, 0.0, 10.0, 10.0)
    dxf.ecrit("profil_carre10.dxf")
    dxf = Dxf()
    dxf.rect(0.0, 0.0, 10.0, 10.0)
    dxf.point((-3.0, 0.0))
    dxf.ecrit("profil_revolution_point.dxf")
    dxf = Dxf()
    dxf.rect(20.0, 5.0, 10.0, 10.0)
    dxf.ligne((17.0, 0.0), (17.0, 20.0), type_ligne="CENTER")
    dxf.ecrit("profil_revolution_axe.dxf")
    dxf = Dxf()
    dxf.lwpolyligne([(0.0, 0.0), (50.0, 0.0), (50.0, 30.0), (0.0, 30.0)], ferme=True)
    dxf.cercle((25.0, 15.0), 8.0)
    dxf.ecrit("profil_plaque_trou.dxf")
    dxf = Dxf()
    dxf.lwpolyligne([(10 * math.cos(math.pi / 3 * i), 10 * math.sin(math.pi / 3 * i)) for i in range(6)], ferme=True)
    dxf.ecrit("profil_hexagone.dxf")
    dxf = Dxf()
    dxf.polyligne([(0.0, 0.0), (24.0, 0.0, 1.0), (24.0, 16.0), (0.0, 16.0, 1.0)], ferme=True)
    dxf.ecrit("profil_oblong.dxf")
    dxf = Dxf()
    dxf.lwpolyligne([(0, 0), (10, 0), (10, 20), (6, 20), (6, 40), (0, 40)], ferme=True)
    dxf.ligne((0.0, -5.0), (0.0, 45.0), type_ligne="CENTER")
    dxf.ecrit("profil_arbre.dxf")
    # Outline with gaps smaller than the tolerance (0.01), as CAD programs leave them.
    dxf = Dxf()
    dxf.ligne((0.0, 0.0), (20.0, 0.0))
    dxf.ligne((20.004, 0.003), (20.0, 10.0))
    dxf.ligne((20.0, 10.005), (0.0, 10.0))
    dxf.ligne((-0.003, 10.0), (0.0, 0.004))
    dxf.ecrit("profil_jeux.dxf")
    # The whole drawing on a layer saved as off (some CAD files are written so).
    dxf = Dxf()
    dxf.calque("ETEINT", -7)
    dxf.rect(0.0, 0.0, 15.0, 15.0, calque="ETEINT")
    dxf.rect(0.0, -35.0, 15.0, 15.0, calque="ETEINT")
    dxf.rect(35.0, 0.0, 15.0, 15.0, calque="ETEINT")
    dxf.ecrit("calque_eteint_seul.dxf")
    # Plan with the profile mirrored by an object coordinate system along -Z (arc and polyline).
    dxf = Dxf()
    dxf.brut([(0, "LWPOLYLINE"), (8, "0"), (90, 3), (70, 0), (10, -0.0), (20, 0.0), (10, -20.0), (20, 0.0),
              (42, 0.0), (10, -20.0), (20, 10.0), (210, 0.0), (220, 0.0), (230, -1.0)])
    dxf.brut([(0, "ARC"), (8, "0"), (10, -10.0), (20, 10.0), (30, 0.0), (40, 10.0), (50, 0.0), (51, 180.0),
              (210, 0.0), (220, 0.0), (230, -1.0)])
    dxf.ligne((0.0, 10.0), (0.0, 0.0))
    dxf.ecrit("profil_ocs_miroir.dxf")


def ecrit_mauvais():
    def brut(nom, texte, mode="w"):
        with open(os.path.join(ICI, nom), mode) as f:
            f.write(texte)

    brut("mauvais_vide.dxf", "")
    brut("mauvais_pas_dxf.dxf", "<html><body>404 Not Found</body></html>\n")
    complet = plan_trois_vues(PIECES["cube15"][0]).texte_dxf()
    brut("mauvais_tronque.dxf", complet[: len(complet) * 2 // 3])
    d = Dxf()
    d.rect(0.0, 0.0, 10.0, 10.0)
    d.brut([(0, "CIRCLE"), (8, "0"), (10, "nan"), (20, 0.0), (30, 0.0), (40, 5.0)])
    d.ecrit("mauvais_nan.dxf")
    d = Dxf()
    d.rect(0.0, 0.0, 10.0, 10.0)
    d.ligne((0.0, 0.0), (1e300, 1e300))
    d.ecrit("mauvais_1e300.dxf")
    d = Dxf()
    d.ligne((0.0, 0.0), (10.0, 0.0))
    d.ligne((10.0, 0.0), (10.0, 10.0))
    d.ligne((10.0, 10.0), (0.0, 10.0))
    d.ecrit("mauvais_ouvert.dxf")
    d = Dxf()
    d.brut([(0, "LINE"), (8, "0"), (67, 1), (10, 0.0), (20, 0.0), (30, 0.0), (11, 5.0), (21, 5.0), (31, 0.0)])
    d.brut([(0, "TEXT"), (8, "0"), (10, 0.0), (20, 0.0), (30, 0.0), (40, 2.0), (1, "rien")])
    d.ecrit("mauvais_rien_modele.dxf")
    # Views that do not line up: the side view is 10 wide, the top view 15 high.
    d = Dxf()
    d.rect(0.0, 0.0, 15.0, 15.0)
    d.rect(0.0, -35.0, 15.0, 15.0)
    d.rect(35.0, 0.0, 10.0, 15.0)
    d.ecrit("mauvais_vues_incoherentes.dxf")
    d = Dxf()
    d.rect(0.0, 0.0, 15.0, 15.0)
    d.rect(40.0, 40.0, 12.0, 7.0)
    d.ecrit("mauvais_vues_non_alignees.dxf")
    # Damaged counts: a polyline that announces a million vertices and has three, a spline whose
    # knot count is wrong, and a group code that is not a number in the middle of the file.
    d = Dxf()
    d.rect(0.0, 0.0, 10.0, 10.0)
    d.brut([(0, "LWPOLYLINE"), (8, "0"), (90, 1000000000), (70, 0), (10, 20.0), (20, 0.0), (10, 30.0), (20, 0.0),
            (10, 30.0), (20, 12.0)])
    d.brut([(0, "SPLINE"), (8, "0"), (70, 8), (71, 3), (72, 99999), (73, 4), (74, 0), (40, 0.0), (40, 1.0),
            (10, 0.0), (20, 0.0), (30, 0.0), (10, 1.0), (20, 1.0), (30, 0.0), (10, 2.0), (20, 0.0), (30, 0.0),
            (10, 3.0), (20, 1.0), (30, 0.0)])
    d.ecrit("mauvais_comptes.dxf")
    texte = d.texte_dxf().replace("0\nLWPOLYLINE\n", "0\nLWPOLYLINE\nabc\nxyz\n", 1)
    brut("mauvais_code.dxf", texte)
    brut("mauvais_binaire.dxf", "AutoCAD Binary DXF\r\n\x1a\x00" + "\x00" * 40)
    # Blocks that insert each other (a cycle) and an insertion of a block that does not exist.
    d = Dxf()
    a = d.bloc("A")
    b = d.bloc("B")
    d.insertion("B", (0.0, 0.0), cible=a)
    d.insertion("A", (0.0, 0.0), cible=b)
    d.insertion("A", (0.0, 0.0))
    d.insertion("ABSENT", (0.0, 0.0))
    d.rect(0.0, 0.0, 10.0, 10.0)
    d.ecrit("mauvais_blocs_cycle.dxf")


if __name__ == "__main__":
    ecrit_tout()
    ecrit_mauvais()
