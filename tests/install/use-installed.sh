#!/usr/bin/env bash
# Runs under xvfb-run from check-install.sh: starts the installed program with a saved choice
# under a window manager, closes the information window, and clicks the three document
# buttons one after another; each document must appear in the viewer.
set -euo pipefail
unset QT_QPA_PLATFORM
openbox >/dev/null 2>&1 &
wm=$!
sleep 1
log=$(mktemp)
"$FACHLESE_DEST/usr/bin/fachlese" "$FACHLESE_SAVED" >"$log" 2>&1 &
app=$!
cleanup() { kill "$app" "$wm" 2>/dev/null || true; rm -f "$log"; }
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; cat "$log" >&2; exit 1; }

waitfor() { # a window whose title matches the regex, within 20 s
    for _ in $(seq 200); do
        w=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) && [ -n "$w" ] && { echo "$w"; return 0; }
        kill -0 "$app" 2>/dev/null || fail "the program ended while waiting for \"$1\""
        sleep 0.1
    done
    return 1
}

# The information window comes first and is modal; OK (the default button) closes it.
info=$(waitfor '^Fachlese' ) || fail "no window appeared"
sleep 0.5
main=$(xdotool search --onlyvisible --name '^Fachlese 1\.49  IGS-Brunsmark' | head -n 1)
for _ in $(seq 50); do
    title=$(xdotool getwindowname "$main" 2>/dev/null || true)
    [ "$title" = "Fachlese 1.49  IGS-Brunsmark - anna" ] && break
    # Return closes the modal information window that has the focus (OK is its default).
    xdotool key Return
    sleep 0.2
done
[ "$title" = "Fachlese 1.49  IGS-Brunsmark - anna" ] || fail "caption after opening: \"$title\""

# Where the window's content lies on the screen (xwininfo counts the window manager's frame right).
read -r X Y HEIGHT < <(xwininfo -id "$main" |
    awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4} /Height:/ {h = $2} END {print x, y, h}')
# The buttons lie 20 px above the window's bottom edge; x is the middle of each button.
for entry in "34:^Anleitung zur Fachlese$" "163:^Oberstufenverordnung$" "291:^Hilfe$"; do
    bx=${entry%%:*} title=${entry#*:}
    xdotool mousemove $((X + bx)) $((Y + HEIGHT - 20)) click 1
    viewer=$(waitfor "$title") || fail "the document \"$title\" was not shown"
    wmctrl -c "${title//[\^\$]/}"
    for _ in $(seq 50); do
        xdotool search --onlyvisible --name "$title" >/dev/null 2>&1 || break
        sleep 0.1
    done
done
