#!/usr/bin/env bash
# Keys sent to a running viewer window: holding z moves the camera, Enter brings the start view
# back, an arrow key moves like its letter, Space starts the automatic rotation and restores the
# view it saved, Escape ends the process with status 0 within a second. Pictures are compared on
# the middle of the window, away from the heads-up text (its frame rate changes every frame).
# Usage: visualiseur_touches.sh PROGRAM (run under its own xvfb-run -a).
set -u
PROGRAMME="$1"
DOSSIER=$(mktemp -d)
trap 'rm -rf "$DOSSIER"; [ -n "${PID:-}" ] && kill "$PID" 2>/dev/null' EXIT

echec() { echo "ECHEC: $*"; exit 1; }

photo() { import -window root -crop 600x400+212+184 +repage "$DOSSIER/$1.png"; }

# Number of pixels that differ between two pictures.
difference() { compare -metric AE "$DOSSIER/$1.png" "$DOSSIER/$2.png" null: 2>&1 | cut -d' ' -f1; }

# Keys act while they are held, replayed by the idle loop: a tap whose press and release arrive
# together may never be replayed, so every key is held a moment.
tiens() { xdotool keydown "$1"; sleep "$2"; xdotool keyup "$1"; sleep 0.3; }

# After Enter or Space the next 100000 key replays are swallowed: hold a key without action long
# enough to use them up.
epuise_delai() { tiens x 2; }

"$PROGRAMME" > "$DOSSIER/sortie.txt" 2>&1 &
PID=$!
FENETRE=$(timeout 30 xdotool search --sync --onlyvisible --name Zarvel_GL | head -1)
[ -n "$FENETRE" ] || echec "no window"
sleep 1
xdotool windowfocus --sync "$FENETRE"
photo depart

tiens z 0.5
photo avance
[ "$(difference depart avance)" -gt 1000 ] || echec "holding z did not move the camera"

tiens Return 0.1
photo retour
[ "$(difference depart retour)" -lt 50 ] || echec "Enter did not bring the start view back"
epuise_delai

tiens Up 0.5
photo fleche
[ "$(difference depart fleche)" -gt 1000 ] || echec "the up arrow did not move the camera"
tiens Return 0.1
epuise_delai

tiens space 0.1
photo rotation1
sleep 0.3
photo rotation2
[ "$(difference rotation1 rotation2)" -gt 1000 ] || echec "Space did not start the rotation"
epuise_delai
tiens space 0.1; sleep 0.2
photo arret
[ "$(difference depart arret)" -lt 50 ] || echec "the second Space did not restore the saved view"
epuise_delai

DEBUT=$(date +%s%N)
xdotool keydown Escape
for _ in $(seq 1 40); do
  kill -0 "$PID" 2>/dev/null || break
  sleep 0.05
done
wait "$PID"
STATUT=$?
PID=""
DUREE=$(( ($(date +%s%N) - DEBUT) / 1000000 ))
[ "$STATUT" -eq 0 ] || echec "Escape ended with status $STATUT"
[ "$DUREE" -lt 1000 ] || echec "Escape took $DUREE ms"
echo "visualiseur_touches: ok"
