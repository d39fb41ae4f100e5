#!/usr/bin/env bash
# Installs the build folder into a temporary prefix and uses the installed tree as a user would:
# the program runs from another directory with no LD_LIBRARY_PATH, on a plan and on a built-in
# drawing, and must load the installed library and the modules beside it; the installed
# binaries keep no build-tree path and the program's run path is relative; the pkg-config file
# names the installed folders and a small program builds and runs against them.
# Usage: installation.sh CMAKE BUILD_DIR COMPONENT BINDIR LIBDIR INCLUDEDIR DATA_DIR CXX PROGRAM LIBRARY_DIR
#   PROGRAM: the program in the build folder; LIBRARY_DIR: the library's folder there, where every
#   module built beside it (libZarvel3D_*.so.1) must be installed too.
set -u
CMAKE="$1"
CONSTRUCTION="$2"
COMPOSANT="$3"
BINDIR="$4"
LIBDIR="$5"
INCLUDEDIR="$6"
DONNEES="$7"
SOURCES=$(realpath "$DONNEES/../..")
CXX="$8"
PROGRAMME_CONSTRUIT="$9"
MODULES_CONSTRUITS=("${10}"/libZarvel3D_*.so.1)

DOSSIER=$(mktemp -d)
trap 'rm -rf "$DOSSIER"' EXIT

echec() { printf 'ECHEC: %b\n' "$*"; exit 1; }

for f in "$PROGRAMME_CONSTRUIT" "${10}/libZarvel3D_solides.so.1" "${MODULES_CONSTRUITS[@]}"; do
    [ -f "$f" ] || echec "$f is not built"
done

PREFIXE="$DOSSIER/prefixe"
"$CMAKE" --install "$CONSTRUCTION" --prefix "$PREFIXE" --component "$COMPOSANT" \
    > "$DOSSIER/installation.txt" 2>&1 || { cat "$DOSSIER/installation.txt"; echec "cmake --install"; }

# Exactly our files: no test program, no test framework, nothing installed by another project.
attendus=$( (
    printf '%s\n' "$BINDIR/Zarvel_cli" "$INCLUDEDIR/zarvel3d/zarvel3d.h" "$LIBDIR/libZarvel3D.so" \
        "$LIBDIR/libZarvel3D.so.1" "$LIBDIR/pkgconfig/zarvel3d.pc"
    for f in "${MODULES_CONSTRUITS[@]}"; do echo "$LIBDIR/$(basename "$f")"; done
) | LC_ALL=C sort)
trouves=$(cd "$PREFIXE" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort)
[ "$trouves" = "$attendus" ] || echec "installed files:\n$trouves\nexpected:\n$attendus"
[ "$(readlink "$PREFIXE/$LIBDIR/libZarvel3D.so")" = libZarvel3D.so.1 ] \
    || echec "libZarvel3D.so is not a link to libZarvel3D.so.1"
[ -L "$PREFIXE/$LIBDIR/libZarvel3D.so.1" ] && echec "libZarvel3D.so.1 should be the library itself"

# The run path: relative to the program, leading to the library folder, and nothing else.
relatif=$(realpath --relative-to="$PREFIXE/$BINDIR" "$PREFIXE/$LIBDIR")
chemins=$(readelf -d "$PREFIXE/$BINDIR/Zarvel_cli" | sed -n 's/.*(\(RUNPATH\|RPATH\)).*\[\(.*\)\]$/\2/p')
[ "$chemins" = "\$ORIGIN/$relatif" ] || echec "run path of Zarvel_cli: '$chemins', expected '\$ORIGIN/$relatif'"
binaires=("$BINDIR/Zarvel_cli" "$LIBDIR/libZarvel3D.so.1")
for f in "${MODULES_CONSTRUITS[@]}"; do binaires+=("$LIBDIR/$(basename "$f")"); done
for f in "${binaires[@]}"; do
    readelf -d "$PREFIXE/$f" > "$DOSSIER/dynamique.txt" || echec "readelf -d $f"
    if grep -F -e "$CONSTRUCTION" -e "$SOURCES" "$DOSSIER/dynamique.txt"; then
        echec "$f keeps a build-tree path"
    fi
done

# From another directory, with no help from the environment. The loader's trace tells where the
# library and its modules came from.
mkdir "$DOSSIER/travail"
cd "$DOSSIER/travail" || echec "cd"
lance() {
    env -u LD_LIBRARY_PATH -u ZARVEL3D_MODULE_SOLIDES -u ZARVEL3D_MODULE_FORMATS LD_DEBUG=files \
        LD_DEBUG_OUTPUT="$DOSSIER/chargeur.$1" "$PREFIXE/$BINDIR/Zarvel_cli" "${@:2}" \
        > "$DOSSIER/sortie.$1" 2>&1
    statut=$?
    [ "$statut" -eq 0 ] || { cat "$DOSSIER/sortie.$1"; echec "$1: status $statut"; }
}
# Usage: charge_installe RUN MODULE: the run loaded the library and MODULE from the prefix, and no
# file of the build folder. The loader's trace names each object it initialises, e.g.
# "calling init: /p/bin/../lib/libZarvel3D.so.1".
charge_installe() {
    cat "$DOSSIER/chargeur.$1".* > "$DOSSIER/trace.$1"
    installe=$(realpath "$PREFIXE/$LIBDIR")
    for objet in libZarvel3D.so.1 "$2"; do
        chemins=$(grep -F "calling init: " "$DOSSIER/trace.$1" | grep -F "/$objet" \
            | sed 's/.*calling init: //')
        [ -n "$chemins" ] || echec "$1: $objet was not loaded"
        while read -r chemin; do
            [ "$(realpath "$chemin")" = "$installe/$objet" ] \
                || echec "$1: $objet was loaded from $chemin, not from $installe"
        done <<< "$chemins"
    done
    if grep -F "$CONSTRUCTION" "$DOSSIER/trace.$1"; then
        echec "$1: the installed program loaded a file of the build folder"
    fi
}

lance plan "$DONNEES/dxf/piece_cube15_iso.dxf" -o out.stl
[ -s out.stl ] || echec "plan: out.stl is missing or empty"
charge_installe plan libZarvel3D_solides.so.1

lance dessin -m r -x
charge_installe dessin libZarvel3D_solides.so.1

for f in "${MODULES_CONSTRUITS[@]}"; do
    if [ "$(basename "$f")" = libZarvel3D_formats.so.1 ]; then
        lance formats "$DONNEES/dxf/piece_cube15_iso.dxf" -o out.3mf
        [ -s out.3mf ] || echec "formats: out.3mf is missing or empty"
        charge_installe formats libZarvel3D_formats.so.1
    fi
done

# pkg-config gives the installed folders, and they are enough to build and run a client.
drapeaux=$(PKG_CONFIG_PATH="$PREFIXE/$LIBDIR/pkgconfig" pkg-config --cflags --libs zarvel3d) \
    || echec "pkg-config does not find zarvel3d"
read -r -a liste_drapeaux <<< "$drapeaux"
drapeaux="${liste_drapeaux[*]}" # one space between flags, none at the end
[ "$drapeaux" = "-I$PREFIXE/$INCLUDEDIR -L$PREFIXE/$LIBDIR -lZarvel3D" ] \
    || echec "pkg-config --cflags --libs zarvel3d: '$drapeaux'"
cat > client.cpp <<'SOURCE'
#include <zarvel3d/zarvel3d.h>

int main()
{
    void* bloc = Zarvel3D::AllocationMemoire(64);
    const bool alloue = bloc != nullptr;
    Zarvel3D::LiberationMemoire(bloc);
    const char* diagnostic = Zarvel3D::Diagnostic();
    return alloue && diagnostic != nullptr && diagnostic[0] == '\0' ? 0 : 1;
}
SOURCE
# A library built with sanitizers needs a client built with them (their runtime must come first).
sanitizers=()
readelf -d "$PREFIXE/$LIBDIR/libZarvel3D.so.1" | grep -q 'libasan\.' && sanitizers+=(-fsanitize=address)
readelf -d "$PREFIXE/$LIBDIR/libZarvel3D.so.1" | grep -q 'libubsan\.' && sanitizers+=(-fsanitize=undefined)
"$CXX" -std=c++17 "${sanitizers[@]}" client.cpp "${liste_drapeaux[@]}" -Wl,-rpath,"$PREFIXE/$LIBDIR" -o client \
    || echec "a client does not build with the pkg-config flags"
env -u LD_LIBRARY_PATH ./client || echec "the client built against the installed library fails"
echo "installation OK"
