#!/usr/bin/env bash
# Builds the Debian package of the build folder into a private folder and checks it: its fields
# (name, version, maintainer, description, dependencies computed from the binaries), its contents
# (exactly our files under /usr: no test program, no test framework) and the tree it unpacks to
# (development link, pkg-config prefix, a program that runs from there with no environment).
# Exits with 77 (skipped) where the Debian tools are missing.
# Usage: paquet_deb.sh CPACK BUILD_DIR VERSION BINDIR LIBDIR INCLUDEDIR DATA_DIR LIBRARY_DIR
#   LIBRARY_DIR: the library's folder in the build, where every module built beside it
#   (libZarvel3D_*.so.1) must be packaged too.
set -u
for outil in dpkg-deb dpkg-shlibdeps dpkg; do
    if ! command -v "$outil" > /dev/null; then
        echo "$outil is missing: the Debian package is not tested"
        exit 77
    fi
done

CPACK="$1"
CONSTRUCTION="$2"
VERSION="$3"
BINDIR="$4"
LIBDIR="$5"
INCLUDEDIR="$6"
DONNEES="$7"
MODULES=()
for f in "$8"/libZarvel3D_*.so.1; do
    [ -f "$f" ] && MODULES+=("$(basename "$f")")
done
[ ${#MODULES[@]} -gt 0 ] || { echo "ECHEC: no module built in $8"; exit 1; }

DOSSIER=$(mktemp -d)
trap 'rm -rf "$DOSSIER"' EXIT

echec() { printf 'ECHEC: %b\n' "$*"; exit 1; }

# Its own output folder: other tests may package at the same time.
"$CPACK" -G DEB --config "$CONSTRUCTION/CPackConfig.cmake" -B "$DOSSIER/sortie" \
    > "$DOSSIER/cpack.txt" 2>&1 || { cat "$DOSSIER/cpack.txt"; echec "cpack -G DEB"; }
paquets=("$DOSSIER"/sortie/*.deb)
if [ ${#paquets[@]} -ne 1 ] || [ ! -f "${paquets[0]}" ]; then
    echec "expected one .deb, found: ${paquets[*]}"
fi
PAQUET="${paquets[0]}"
ARCHITECTURE=$(dpkg --print-architecture)
[ "$(basename "$PAQUET")" = "zarvel-cli_${VERSION}_${ARCHITECTURE}.deb" ] \
    || echec "package file name $(basename "$PAQUET")"

champ() { dpkg-deb -f "$PAQUET" "$1"; }
[ "$(champ Package)" = zarvel-cli ] || echec "Package: $(champ Package)"
[ "$(champ Version)" = "$VERSION" ] || echec "Version: $(champ Version)"
[ "$(champ Architecture)" = "$ARCHITECTURE" ] || echec "Architecture: $(champ Architecture)"
champ Maintainer | grep -Eq '^[^<]+ <[^@ ]+@[^> ]+>$' || echec "Maintainer: $(champ Maintainer)"
[ "$(champ Description | wc -l)" -ge 2 ] || echec "Description: $(champ Description)"
# Computed from the binaries: the C library for all, dxflib for the library, OCCT for the solid
# module (only the module links it, so its presence shows the module was scanned).
depends=$(champ Depends)
for attendu in 'libc6 (>= ' 'libdxflib' 'libocct-foundation' 'libstdc++6'; do
    case "$depends" in
        *"$attendu"*) ;;
        *) echec "Depends lacks $attendu: '$depends'" ;;
    esac
done

# Exactly our files, under /usr.
attendus="./usr/$BINDIR/Zarvel_cli
./usr/$INCLUDEDIR/zarvel3d/zarvel3d.h
./usr/$LIBDIR/libZarvel3D.so -> libZarvel3D.so.1
./usr/$LIBDIR/libZarvel3D.so.1
./usr/$LIBDIR/pkgconfig/zarvel3d.pc"
for module in "${MODULES[@]}"; do
    attendus="$attendus
./usr/$LIBDIR/$module"
done
attendus=$(echo "$attendus" | LC_ALL=C sort)
contenu=$(dpkg-deb -c "$PAQUET" | grep -v '^d' | awk '{ $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }' \
    | LC_ALL=C sort)
[ "$contenu" = "$attendus" ] || echec "package contents:\n$contenu\nexpected:\n$attendus"

# The unpacked tree: pkg-config prefix, run path, and the program runs from there.
RACINE="$DOSSIER/racine"
dpkg-deb -x "$PAQUET" "$RACINE" || echec "dpkg-deb -x"
grep -qx 'prefix=/usr' "$RACINE/usr/$LIBDIR/pkgconfig/zarvel3d.pc" \
    || echec "zarvel3d.pc: $(cat "$RACINE/usr/$LIBDIR/pkgconfig/zarvel3d.pc")"
relatif=$(realpath --relative-to="$RACINE/usr/$BINDIR" "$RACINE/usr/$LIBDIR")
chemins=$(readelf -d "$RACINE/usr/$BINDIR/Zarvel_cli" | sed -n 's/.*(\(RUNPATH\|RPATH\)).*\[\(.*\)\]$/\2/p')
[ "$chemins" = "\$ORIGIN/$relatif" ] || echec "run path of Zarvel_cli: '$chemins'"
cd "$DOSSIER" || echec "cd"
env -u LD_LIBRARY_PATH -u ZARVEL3D_MODULE_SOLIDES -u ZARVEL3D_MODULE_FORMATS \
    "$RACINE/usr/$BINDIR/Zarvel_cli" "$DONNEES/dxf/piece_cube15_iso.dxf" -o out.stl \
    > "$DOSSIER/sortie.txt" 2>&1 || { cat "$DOSSIER/sortie.txt"; echec "the unpacked program fails"; }
[ -s out.stl ] || echec "the unpacked program wrote no out.stl"
echo "package OK: $(basename "$PAQUET"), Depends: $depends"
