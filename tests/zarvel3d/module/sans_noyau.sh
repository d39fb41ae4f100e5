#!/bin/sh
# The program's usage and an STL to STL conversion must not open the modelling kernel, the solid
# module, nor the export-formats module and its 3MF and glTF libraries: the loader's trace
# (LD_DEBUG=files) lists every library it opens.
# Usage: sans_noyau.sh ZARVEL_CLI
set -u
cli=$1
dossier=$(mktemp -d) || exit 1
trap 'rm -rf "$dossier"' EXIT

# One triangle, binary STL: 80-byte header, count, then normal, three corners and attributes.
{
  head -c 80 /dev/zero
  printf '\001\000\000\000'
  head -c 12 /dev/zero
  head -c 12 /dev/zero
  printf '\000\000\200\077\000\000\000\000\000\000\000\000'
  printf '\000\000\000\000\000\000\200\077\000\000\000\000'
  head -c 2 /dev/zero
} > "$dossier/triangle.stl"

echec=0
verifie() {
  trace=$(LD_DEBUG=files "$@" 2>&1 >/dev/null)
  # The trace must be there at all, or the check below would prove nothing.
  if ! printf '%s\n' "$trace" | grep -q 'file=libZarvel3D\.so\.1'; then
    echo "no loader trace for: $*"
    echec=1
  fi
  ouverts=$(printf '%s\n' "$trace" |
    grep -o 'file=[^ ]*\(libTK\|libZarvel3D_solides\|libZarvel3D_formats\|lib3MF\|libtinygltf\)[^ ]*' | sort -u)
  if [ -n "$ouverts" ]; then
    echo "$* opened:"
    echo "$ouverts"
    echec=1
  fi
}

verifie "$cli" -h
verifie "$cli" -s "$dossier/triangle.stl" -o "$dossier/copie.stl"
if [ ! -s "$dossier/copie.stl" ]; then
  echo "the conversion wrote nothing"
  echec=1
fi
exit $echec
