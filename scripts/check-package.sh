#!/usr/bin/env bash
# Builds the Debian package and checks it as an administrator would meet it: lintian and the
# desktop and AppStream validators; then installs it on this machine, starts the installed
# program as a plain account with the engine's sandbox, tries the locked-down session under
# Xvfb, checks who may write the machine hive, and that upgrade and removal keep the machine's
# settings while a purge takes them. Needs root (or sudo) and the packages of install-deps.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
fi
as_root() { "${sudo[@]}" "$@"; }
fail() {
    echo "check-package: $*" >&2
    exit 1
}

cmake --build build --target package
package="$(ls build/tarnview_*.deb)"
[ "$(wc -w <<<"$package")" -eq 1 ] || fail "expected one package in build/, found: $package"

echo "== lintian, desktop-file-validate, appstreamcli"
lintian --fail-on error,warning "$package"
desktop-file-validate packaging/com.kestrow.Tarnview.desktop packaging/session/tarnview.desktop
appstreamcli validate --no-net packaging/com.kestrow.Tarnview.metainfo.xml

echo "== install"
DEBIAN_FRONTEND=noninteractive as_root apt-get install -y --reinstall "./$package"
[ "$(stat -c '%a %U %G' /var/lib/tarnview)" = "2775 root tarnview" ] \
    || fail "/var/lib/tarnview is $(stat -c '%a %U %G' /var/lib/tarnview)"
for file in machine.hive machine.hive-wal machine.hive-shm; do
    [ "$(stat -c '%a %U %G' "/var/lib/tarnview/$file")" = "664 root tarnview" ] \
        || fail "/var/lib/tarnview/$file is $(stat -c '%a %U %G' "/var/lib/tarnview/$file")"
done

# A plain account outside the group, and a member of it.
outsider=tarnview-check
member=tarnview-member
id "$outsider" >/dev/null 2>&1 || as_root useradd -m "$outsider"
id "$member" >/dev/null 2>&1 || as_root useradd -m -G tarnview "$member"
as_user() {
    local account="$1"
    shift
    as_root su "$account" -s /bin/sh -c "cd ~ && $*"
}

echo "== the installed layout, seen by a plain account"
report="$(as_user "$outsider" "/usr/bin/tarnview --paths")" || fail "tarnview --paths: $report"
echo "$report"
grep -qx 'Program files:   /usr/share/tarnview' <<<"$report" || fail "program files not found"
grep -q '^Dial-up library: /usr/lib/tarnview/libtarnras.so (loads)$' <<<"$report" \
    || fail "dial-up library not found"
grep -q '^Machine hive:    /var/lib/tarnview/machine.hive (read only)$' <<<"$report" \
    || fail "an account outside the group must read the machine hive, not write it"

echo "== the machine hive: members write it, everyone reads it"
key='HKLM\Software\Kestrow Software\Tarnview\Config'
as_user "$member" "tarnreg set '$key' sPackageCheck kept"
[ "$(as_user "$outsider" "tarnreg query '$key' sPackageCheck")" = "kept" ] \
    || fail "an account outside the group can not read what a member wrote"
if as_user "$outsider" "tarnreg set '$key' sPackageCheck changed" 2>/dev/null; then
    fail "an account outside the group wrote the machine hive"
fi

echo "== the locked-down session under Xvfb, with the engine's sandbox"
# Xvfb picks a free display number and writes it to descriptor 3.
display_file="$(mktemp)"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do
    [ -s "$display_file" ] && break
    sleep 0.2
done
display=":$(cat "$display_file")"
[ "$display" != ":" ] || fail "Xvfb did not start"
session_log="$(mktemp)"
chmod 666 "$session_log"
cleanup() {
    as_root pkill -u "$outsider" -x tarnview 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 50); do
    DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break
    sleep 0.2
done
as_root env -u QTWEBENGINE_DISABLE_SANDBOX -u QT_QPA_PLATFORM su "$outsider" -s /bin/sh -c \
    "cd ~ && DISPLAY=$display /usr/libexec/tarnview/tarnview-session >$session_log 2>&1; \
     echo \"session ended: \$?\" >>$session_log" &
window=""
for _ in $(seq 120); do
    window="$(DISPLAY=$display xwininfo -root -tree 2>/dev/null |
        awk '/"Tarnview": \("tarnview" "Tarnview"\)/ {print $1; exit}')"
    [ -n "$window" ] && break
    sleep 0.5
done
[ -n "$window" ] || { cat "$session_log"; fail "the session showed no Tarnview window"; }
sleep 5
geometry="$(DISPLAY=$display xwininfo -id "$window" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')"
[ "$geometry" = "1280x800" ] || fail "the session's window is $geometry, not the whole screen"
pgrep -u "$outsider" -f "^matchbox-window-manager" >/dev/null || fail "no window manager runs"
# The page renderers run sandboxed: in a user namespace of their own, under a seccomp filter.
sandboxed=""
for process in $(pgrep -u "$outsider" -f QtWebEngineProcess || true); do
    grep -qx $'Seccomp:\t2' "/proc/$process/status" 2>/dev/null && sandboxed="$process"
done
[ -n "$sandboxed" ] || { cat "$session_log"; fail "no page renderer runs in the engine's sandbox"; }
DISPLAY=$display import -window root build/session-screenshot.png
# The first start asks its setup questions: Escape leaves them, then File > Exit (Alt+F, E).
DISPLAY=$display xdotool key Escape
sleep 2
DISPLAY=$display xdotool key alt+f
sleep 1
DISPLAY=$display xdotool key e
for _ in $(seq 60); do
    grep -q '^session ended' "$session_log" && break
    sleep 0.5
done
grep -q '^session ended: 0$' "$session_log" || { cat "$session_log"; fail "the session did not end"; }
if pgrep -u "$outsider" -f "^matchbox-window-manager" >/dev/null; then
    fail "the window manager outlived the session"
fi

echo "== upgrade and removal keep the machine's settings, purge takes them"
DEBIAN_FRONTEND=noninteractive as_root apt-get install -y --reinstall "./$package"
[ "$(tarnreg query "$key" sPackageCheck)" = "kept" ] || fail "a reinstall lost the machine hive"
DEBIAN_FRONTEND=noninteractive as_root apt-get remove -y tarnview
[ -f /var/lib/tarnview/machine.hive ] || fail "removal took the machine hive"
getent group tarnview >/dev/null || fail "removal took the group"
DEBIAN_FRONTEND=noninteractive as_root apt-get install -y --reinstall "./$package"
[ "$(tarnreg query "$key" sPackageCheck)" = "kept" ] || fail "a new install lost the machine hive"
DEBIAN_FRONTEND=noninteractive as_root apt-get purge -y tarnview
[ ! -e /var/lib/tarnview ] || fail "purge left /var/lib/tarnview"
if getent group tarnview >/dev/null; then
    fail "purge left the group"
fi
as_root userdel -r "$outsider" 2>/dev/null || true
as_root userdel -r "$member" 2>/dev/null || true
echo "check-package: the package builds, installs, runs, and purges cleanly"
