#!/bin/sh
# The program's usage and an STL to STL conversion must not open the modelling kernel, the solid
# module, nor the export-formats module and its 3MF and glTF libraries; a plan converted to STL
# opens the solid module but neither the STEP writer module nor the kernel's translator toolkits,
# which a conversion to STEP opens; a plan's extrusion to STL, meshed by the library itself, opens
# none of them. The loader's trace (LD_DEBUG=files) lists every library it
# opens.
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

plan=$(dirname "$0")/../../data/dxf/piece_cube15_iso.dxf

echec=0
# trace COMMAND...: the loader's trace of a run, checked to be there at all.
trace() {
  trace=$(LD_DEBUG=files "$@" 2>&1 >/dev/null)
  # The trace must be there at all, or the check below would prove nothing.
  if ! printf '%s\n' "$trace" | grep -q 'file=libZarvel3D\.so\.1'; then
    echo "no loader trace for: $*"
    echec=1
  fi
}
# ouverts PATTERN: the libraries of the last trace whose name matches PATTERN.
ouverts() {
  printf '%s\n' "$trace" | grep -o "file=[^ ]*\($1\)[^ ]*" | sort -u
}
verifie() {
  trace "$@"
  ouverts=$(ouverts 'libTK\|libZarvel3D_solides\|libZarvel3D_step\|libZarvel3D_formats\|lib3MF\|libtinygltf')
  if [ -n "$ouverts" ]; then
    echo "$* opened:"
    echo "$ouverts"
    echec=1
  fi
}
# plan EXTENSION STEP: converts the plan, then checks that the solid module was opened and the STEP
# writer (module and translator toolkits) was opened exactly when STEP is 1.
plan() {
  trace "$cli" -i "$plan" -o "$dossier/plan.$1"
  if [ ! -s "$dossier/plan.$1" ]; then
    echo "the conversion of the plan to .$1 wrote nothing"
    echec=1
  fi
  if [ -z "$(ouverts 'libZarvel3D_solides')" ]; then
    echo ".$1: the solid module was not opened"
    echec=1
  fi
  ecriture=$(ouverts 'libZarvel3D_step\|libTKSTEP\|libTKXSBase')
  if [ "$2" = 1 ] && [ "$(printf '%s\n' "$ecriture" | grep -c .)" -lt 3 ]; then
    echo ".$1: the STEP writer was not opened:"
    echo "$ecriture"
    echec=1
  elif [ "$2" = 0 ] && [ -n "$ecriture" ]; then
    echo ".$1 opened:"
    echo "$ecriture"
    echec=1
  fi
}

verifie "$cli" -h
verifie "$cli" -s "$dossier/triangle.stl" -o "$dossier/copie.stl"
if [ ! -s "$dossier/copie.stl" ]; then
  echo "the conversion wrote nothing"
  echec=1
fi
plan stl 0
plan step 1
verifie "$cli" -i "$plan" -m e -o "$dossier/extrusion.stl"
if [ ! -s "$dossier/extrusion.stl" ]; then
  echo "the extrusion of the plan wrote nothing"
  echec=1
fi
exit $echec
