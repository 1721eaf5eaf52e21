#!/usr/bin/env bash
# The Debian packages as a player and an operator meet them: built by scripts/package, checked
# by lintian, desktop-file-validate and appstreamcli, installed with apt-get, the installed game
# started under Xvfb with a fresh HOME (splash drawn, ended with Esc presses), the installed
# service started as its unit starts it and asked for a page in English, each man page (English
# and Lithuanian) formatted without a warning, then the packages removed and the player's and the
# service's data checked kept.
# Needs root (it installs the packages).
set -euo pipefail
if [ -z "${E2E_OWN_DISPLAY:-}" ]; then
    E2E_OWN_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$@"
fi
SOURCE_DIR=$(cd "$(dirname "$0")/../.." && pwd)
cd "$SOURCE_DIR"
ARTIFACTS="$SOURCE_DIR/build/package-artifacts"
rm -rf "$ARTIFACTS" && mkdir -p "$ARTIFACTS"
WORK=$(mktemp -d)
SERVICE_PID=""
trap 'stop_game; [ -z "$SERVICE_PID" ] || kill "$SERVICE_PID" 2>/dev/null; rm -rf "$WORK"' EXIT
# shellcheck source=tests/e2e/e2e_lib.sh
source "$SOURCE_DIR/tests/e2e/e2e_lib.sh"
CASE_NAME=package
CASE_STARTED=$SECONDS

scripts/package
debs=(build/package/vortanai_*.deb build/package/vortanai-scoreboard_*.deb)

# Checks of the files themselves: no lintian error, a valid desktop entry and metainfo.
lintian "${debs[@]}" 2>&1 | tee "$ARTIFACTS/lintian.txt"
! grep -q '^E:' "$ARTIFACTS/lintian.txt" || fail "lintian found errors"
dpkg-deb -x "${debs[0]}" "$WORK/unpacked"
desktop-file-validate "$WORK/unpacked/usr/share/applications/vortanai.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$WORK/unpacked/usr/share/metainfo/"*.metainfo.xml || fail "metainfo"

DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${debs[@]/#/./}" >/dev/null
note "installed ${debs[*]}"

# The installed launcher with a fresh HOME: the splash's orange title appears, and the player's
# way out ends it cleanly: Enter past the splash, and once the menu's panel is out (the blue of
# its left column), Up to its last item, the credits, Enter, and Enter again to leave them.
export HOME="$WORK/home"
mkdir -p "$HOME"
unset VORTANAI_RUN_DIR XDG_DATA_HOME
export PATH="$PATH:/usr/games" # as Debian gives every user
(SDL_VIDEODRIVER=x11 ALSOFT_DRIVERS=null exec vortanai >"$ARTIFACTS/game.log" 2>&1) &
GAME_PID=$!
RUN_DIR="$HOME/.local/share/vortanai"
wait_game_window
splash_drawn() { more_than "$(fraction "$(shot splash)" 1024x768+0+0 "$ORANGE")" 0.003; }
wait_until 30 splash_drawn || fail "the installed game drew no splash title"
press Return
panel_out() { more_than "$(fraction "$(shot menu)" 16x640+19+0 "$PANEL")" 0.43; }
wait_until 30 panel_out || fail "the menu's panel did not come out"
press Up Return
credits_shown() { more_than "$(fraction "$(shot credits)" 448x19+275+419 "$FRAME")" 0.15; }
wait_until 15 credits_shown || fail "the credits did not open"
press Return
wait_game_exit 20 || true
[ -e "$RUN_DIR/rekordai/rekordai.txt" ] || fail "no records file in the run directory $RUN_DIR"
# The launcher started the local score page for these settings; it is ended here by its id.
for pid in $(pgrep -f -- "--db $RUN_DIR/rekordai/rezultatai.sqlite" || true); do
    kill "$pid" 2>/dev/null || true
done

# The service's binary as its unit runs it (any free port instead of 8017, which may be taken).
unit=/usr/lib/systemd/system/vortanai-scoreboard.service
command=$(sed -n 's/^ExecStart=//p' "$unit" | sed 's/--port 8017/--port 0/')
user=$(sed -n 's/^User=//p' "$unit")
(cd "$(sed -n 's/^WorkingDirectory=//p' "$unit")" && exec runuser -u "$user" -- $command \
    2>"$ARTIFACTS/service.log") &
SERVICE_PID=$!
service_port() { sed -n 's/.*listening on .* port \([0-9]*\),.*/\1/p' "$ARTIFACTS/service.log" 2>/dev/null | grep .; }
wait_until 20 service_port >/dev/null || fail "the service did not start: $(cat "$ARTIFACTS/service.log")"
port=$(service_port)
exec 3<>"/dev/tcp/127.0.0.1/$port"
printf 'GET / HTTP/1.0\r\nHost: 127.0.0.1\r\nAccept-Language: en\r\n\r\n' >&3
reply=$(cat <&3)
exec 3<&-
# In English, from the catalogs of its own package.
[[ $reply == "HTTP/1.1 200"* && $reply == *"top ten"* ]] || fail "the service answered: ${reply:0:200}"
kill "$SERVICE_PID" && wait "$SERVICE_PID" || true
SERVICE_PID=""
[ -e /var/lib/vortanai/rezultatai.sqlite ] || fail "the service made no database"

for page in /usr/share/man/{,lt/}man6/vortanai.6.gz /usr/share/man/{,lt/}man6/vortanai-maze.6.gz \
    /usr/share/man/{,lt/}man8/vortanai-scoreboard.8.gz; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man -l $page: $warnings"
done

DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq vortanai vortanai-scoreboard >/dev/null
[ ! -e /usr/games/vortanai ] || fail "the launcher is still installed"
[ -e "$RUN_DIR/rekordai/rekordai.txt" ] || fail "removing the package lost the player's records"
[ -e /var/lib/vortanai/rezultatai.sqlite ] || fail "removing the package lost the database"
((CASE_FAILED == 0)) || exit 1
echo "package: passed"
