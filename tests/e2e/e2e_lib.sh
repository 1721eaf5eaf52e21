# Helpers for the end-to-end tests: the real game under an X server, driven with xdotool, seen
# through screenshots and heard through OpenAL Soft's wave writer. Sourced by tests/e2e/run and
# tests/package/run_test.sh. Every wait polls for its condition with a deadline, so a slow
# machine only makes a test slower.

# Set by the caller: GAME (the executable), SOURCE_DIR (the source tree), WORK (a scratch
# directory), ARTIFACTS (where screenshots and logs of a failing case are kept), CASE_NAME and
# CASE_STARTED (the case's name and its start in $SECONDS, for the messages).
GAME_PID=""
RUN_DIR=""
CASE_FAILED=0

note() { echo "  [$CASE_NAME $((SECONDS - CASE_STARTED))s] $*"; }

# Marks the case failed with a message and returns false.
fail() { note "FAILED: $*" >&2; CASE_FAILED=1; return 1; }

# wait_until TIMEOUT_SECONDS COMMAND...: runs COMMAND every 0.2 s until it succeeds; false when
# the deadline passes first.
wait_until() {
    local deadline=$((SECONDS + $1))
    until "${@:2}"; do ((SECONDS < deadline)) && sleep 0.2 || return 1; done
}

# settings TITLE FULL_SCREEN WIDTH HEIGHT: the run directory's settings file, at the desktop's
# refresh rate and 32 bits.
settings() {
    printf '%s\r\n%s\r\n%s\r\n%s\r\n0\r\n32\r\n24\r\n\r\n\r\nhttp://127.0.0.1:8017/rezultatas\r\n' \
        "$@" >"$RUN_DIR/duomenys/nustatymai.txt"
}

# make_run_dir NAME: a fresh run directory from data/ with a 640 x 480 window (the shipped
# settings, only smaller, so that the software renderer keeps up), and the wave writer's
# configuration beside it: mono 16-bit at 22050 Hz, small enough to read back quickly.
make_run_dir() {
    RUN_DIR="$WORK/$1"
    rm -rf "$RUN_DIR" && mkdir -p "$RUN_DIR"
    cp -r "$SOURCE_DIR/data/." "$RUN_DIR/"
    settings Vortanai 0 640 480
    printf '[general]\ndrivers=wave\nfrequency=22050\nchannels=mono\nsample-type=int16\n[wave]\nfile=%s\n' \
        "$RUN_DIR/heard.wav" >"$RUN_DIR/alsoft.conf"
}

# start_game: runs the game in RUN_DIR in the background, with the options that RUN_DIR/options
# holds, if any, in the locale RUN_DIR/lang names, if any, and with the virtual game pad of PAD_LIBRARY when RUN_DIR/pad is its FIFO (the
# sanitizers' runtime then no longer comes first, which they are told to let be). The leak
# checker stays off for the executable alone: the GL driver is unloaded before it runs, so it
# would report the driver's blocks; the in-process tests check for leaks. Everything else of
# the sanitizers stays on.
start_game() {
    GAME_WINDOW=""
    (
        cd "$RUN_DIR"
        export SDL_VIDEODRIVER=x11 ALSOFT_CONF="$RUN_DIR/alsoft.conf" ALSOFT_DRIVERS=wave
        export XDG_CONFIG_HOME="$RUN_DIR/config" # the pictures folder comes from there
        export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
        # The desktop's language, where the case names one in RUN_DIR/lang.
        [ ! -f "$RUN_DIR/lang" ] || { unset LC_ALL && export LANG="$(cat "$RUN_DIR/lang")"; }
        export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
        options=()
        [ ! -f "$RUN_DIR/options" ] || read -ra options <"$RUN_DIR/options"
        if [ -p "$RUN_DIR/pad" ]; then
            export LD_PRELOAD="$PAD_LIBRARY" VORTANAI_E2E_PAD="$RUN_DIR/pad"
            ASAN_OPTIONS+=":verify_asan_link_order=0"
        fi
        # A process group of its own: SDL shows a message box from a child process, which must not
        # outlive a game that was stopped.
        exec setsid "$GAME" "${options[@]}" >"$RUN_DIR/game.log" 2>&1
    ) &
    GAME_PID=$!
    note "started the game (process $GAME_PID)"
}

game_ended() { ! kill -0 "$GAME_PID" 2>/dev/null; }

# wait_game_exit TIMEOUT: waits for the game to end and checks that it ended with exit code 0.
wait_game_exit() {
    local code=0
    wait_until "$1" game_ended || { stop_game; fail "the game still ran after $1 s"; return; }
    wait "$GAME_PID" || code=$?
    kill -KILL -- "-$GAME_PID" 2>/dev/null || true
    GAME_PID=""
    ((code == 0)) || sed 's/^/    | /' "$RUN_DIR/game.log" | tail -40 >&2
    ((code == 0)) || fail "the game ended with exit code $code" || return
    note "the game ended with exit code 0"
}

# stop_game: ends a game still running, as the desktop would (SIGTERM becomes a quit).
stop_game() {
    if [ -n "$GAME_PID" ] && ! game_ended; then
        kill -TERM "$GAME_PID" 2>/dev/null || true
        wait_until 20 game_ended || kill -KILL "$GAME_PID" 2>/dev/null || true
    fi
    [ -z "$GAME_PID" ] || wait "$GAME_PID" 2>/dev/null || true
    [ -z "$GAME_PID" ] || kill -KILL -- "-$GAME_PID" 2>/dev/null || true
    GAME_PID=""
}

# The window is mapped once its first frame has been swapped.
wait_game_window() {
    wait_until 60 find_game_window || fail "no game window appeared" || return
    wait_until 10 xwininfo -id "$GAME_WINDOW" >/dev/null 2>&1
}

find_game_window() {
    GAME_WINDOW=$(xdotool search --all --pid "$GAME_PID" --class Vortanai 2>/dev/null | head -n 1)
    [ -n "$GAME_WINDOW" ]
}

# The game window's size and place on the screen, as 640x480+0+0.
window_geometry() {
    xwininfo -id "$GAME_WINDOW" | awk '/Absolute upper-left X:/ { x = $4 }
        /Absolute upper-left Y:/ { y = $4 } /Width:/ { w = $2 } /Height:/ { h = $2 }
        END { print w "x" h "+" x "+" y }'
}

# box_ids TITLE: the ids of the top-level windows with this title. SDL's message boxes carry
# UTF-8 titles, which xdotool's name search misses.
box_ids() { xwininfo -root -tree 2>/dev/null | awk -v title="\"$1\":" '$2 == title { print $1 }'; }

box_shown() { [ -n "$(box_ids "$1")" ]; }

# box TITLE [KEY]: waits for a message box with this title, answers it with KEY (Return
# by default) and waits until it is gone or has given way to the next box (which may reuse its
# window id, so a changed picture counts as gone).
box() {
    local key=${2:-Return} box
    wait_until 60 box_shown "$1" || fail "no message box titled '$1' appeared" || return
    box=$(box_ids "$1" | head -n 1)
    local before="$ARTIFACTS/$CASE_NAME-box-$box.png"
    wait_until 10 timeout 5 import -window "$box" "$before" 2>/dev/null || true
    xdotool windowfocus --sync "$box" 2>/dev/null || true
    xdotool key --clearmodifiers "$key"
    wait_until 20 box_answered "$box" "$before" || fail "the box '$1' did not take $key" || return
    note "answered the message box '$1' with $key"
}

box_answered() {
    local after="$ARTIFACTS/$CASE_NAME-box-after.png"
    ! xwininfo -id "$1" >/dev/null 2>&1 || ! timeout 5 import -window "$1" "$after" 2>/dev/null ||
        ! compare -metric AE "$2" "$after" null: >/dev/null 2>&1
}

# press KEY...: gives the game window the focus (after a message box it may be nowhere) and taps
# the keys.
press() {
    xdotool windowfocus --sync "$GAME_WINDOW" 2>/dev/null || true
    xdotool key --clearmodifiers --delay 60 "$@"
}

# shot NAME: a screenshot of the game window into ARTIFACTS/CASE-NAME.png; prints the path.
# (An import of a window that goes away meanwhile can wait for ever.)
shot() {
    timeout 10 import -window "$GAME_WINDOW" "$ARTIFACTS/$CASE_NAME-$1.png" 2>/dev/null
    echo "$ARTIFACTS/$CASE_NAME-$1.png"
}

# fraction IMAGE GEOMETRY CONDITION: the share of pixels in the region (WxH+X+Y) for which the
# ImageMagick fx condition on r, g, b (0..1) holds; a screenshot that could not be taken counts
# as no pixel at all. Large regions are judged on every other pixel of every other row, which
# is as good for shares and four times quicker.
fraction() {
    local size=${2%%+*} sample=100%
    ((${size%x*} * ${size#*x} <= 40000)) || sample=50%
    convert "$1" -crop "$2" +repage -sample "$sample" -fx "($3) ? 1 : 0" -format '%[fx:mean]' \
        info: 2>/dev/null || echo 0
}

# more_than VALUE LIMIT / less_than VALUE LIMIT: comparisons of decimal fractions.
more_than() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }
less_than() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a < b) }'; }

# Colours of the game's pictures.
ORANGE='r > 0.6 && g > 0.15 && g < 0.85 && b < 0.35'          # the title's letters
MARKER='r > 0.5 && g < 0.35 && b > 0.35 && r > g + 0.25'       # the player's magenta pyramid
PANEL='b > 0.12 && b > r + 0.07 && b > g + 0.05'              # the menu panel's blue
WALL='abs(r - g) < 0.08 && abs(g - b) < 0.12 && r > b + 0.02 && r > 0.25' # warm grey stone
FRAME='r > 0.6 && r < 0.8 && abs(r - g) < 0.03 && abs(r - b) < 0.03' # grey frame of a flat box

# look WHAT: a picture of the game window, kept as ARTIFACTS/CASE-WHAT.png, shows WHAT at once.
look() { "shows_$1" "$(shot "$1")"; }

# The help box over the 640 x 480 window: black at 0.8 over half white, so a dark grey of 0.1 to
# 0.2 over whatever lies behind it, and its lines drawn from its upper left corner down (light
# in the band of the first of them). A box without lines, or a screen of another kind, fails.
shows_help() {
    local inside first
    inside=$(fraction "$1" 440x100+100+310 'max(r, max(g, b)) < 0.21 && min(r, min(g, b)) > 0.09')
    first=$(fraction "$1" 200x12+94+66 'min(r, min(g, b)) > 0.35')
    more_than "$inside" 0.99 && more_than "$first" 0.1 ||
        fail "no help box with lines in $1 ($inside of it dark grey, $first of its first line lit)"
}
