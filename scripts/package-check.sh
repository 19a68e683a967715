#!/bin/sh
# Builds the Debian package and checks it: lintian with no errors, and the
# desktop entry and metainfo it ships accepted by desktop-file-validate and
# appstreamcli. With --install (as root) it also installs the package with
# apt, checks that the installed tools work with no step per user, removes
# the package and checks that the system store no longer lists the
# components. Environment:
#   QMX_BUILD_DIR   build folder (default: build); never a sanitizer build
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${QMX_BUILD_DIR:-"$root/build"}
install=no
case "${1:-}" in
    --install) install=yes ;;
    "") ;;
    *) echo "Usage: scripts/package-check.sh [--install]" >&2; exit 2 ;;
esac

fail() {
    echo "package-check: $*" >&2
    exit 1
}

if [ -f "$build/CMakeCache.txt" ] && grep -q '^QMX_SANITIZE:BOOL=ON' "$build/CMakeCache.txt"; then
    fail "$build is a sanitizer build; package a plain one"
fi
QMX_REGISTER=0 QMX_BUILD_DIR="$build" "$root/scripts/build.sh" >/dev/null

rm -f "$build"/qmxgantt_*.deb
(cd "$build" && cpack -G DEB >"$build/cpack.log" 2>&1) || { cat "$build/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$build"/qmxgantt_*.deb)
echo "package-check: built $deb"

# --- The package as Debian's tools see it -------------------------------------
lintian --fail-on error "$deb" ||
    fail "lintian reports errors"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dpkg-deb -x "$deb" "$work/tree"
desktop=$(find "$work/tree/usr/share/applications" -name '*.desktop' 2>/dev/null || true)
metainfo=$(find "$work/tree/usr/share/metainfo" -name '*.metainfo.xml' 2>/dev/null || true)
for file in $desktop; do
    desktop-file-validate "$file" || fail "desktop-file-validate: $(basename "$file")"
done
for file in $metainfo; do
    appstreamcli validate --no-net --no-color "$file" || fail "appstreamcli validate: $(basename "$file")"
done

[ "$install" = yes ] || { echo "package-check: the package passes"; exit 0; }

# --- Installed into the machine -------------------------------------------------
[ "$(id -u)" = 0 ] || fail "--install needs root"
store=/etc/xdg/QMX/registry.ini
dpkg -s qmxgantt >/dev/null 2>&1 && fail "qmxgantt is already installed; remove it first"
[ ! -e "$store" ] || fail "$store exists before the installation; it would not be ours to check"

apt_get() {
    DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=120 -y -q "$@" >"$work/apt.log" 2>&1 ||
        { cat "$work/apt.log" >&2; return 1; }
}
cleanup() {
    apt_get purge qmxgantt || true
    rm -rf "$work"
}
trap cleanup EXIT
apt_get install --no-install-recommends "$deb" || fail "apt-get install failed"

grep -q "InprocServer32" "$store" || fail "the installation registered nothing in $store"
if [ -x /usr/bin/QMXMapHost ]; then
    grep -q "/usr/bin/QMXMapHost" "$store" || fail "the installation did not register the map host in $store"
fi

# A user with nothing of their own: an empty home, no store in the environment.
home=$work/home
mkdir -p "$home"
as_new_user() {
    env -u QMX_REGISTRY -u QMX_SYSTEM_REGISTRY -u XDG_CONFIG_HOME -u XDG_CONFIG_DIRS \
        HOME="$home" QT_QPA_PLATFORM=offscreen "$@"
}
example=/usr/share/qmxgantt/examples/example.qmxg
output=$(as_new_user qmxgantt check "$example") || fail "installed qmxgantt check failed"
[ "$output" = "$example: 31 tasks, 22 links, 6 resources, 28 assignments" ] ||
    fail "installed qmxgantt check printed: $output"
if as_new_user qmxgantt --help | grep -q '^ *render '; then
    as_new_user qmxgantt render "$example" "$work/plan.png" || fail "installed qmxgantt render failed"
    [ -s "$work/plan.png" ] || fail "qmxgantt render wrote nothing"
fi
[ ! -e "$home/.config/QMX" ] || fail "running the installed tools wrote a store for the user"

apt_get remove qmxgantt || fail "apt-get remove failed"
if [ -e "$store" ] && grep -q "InprocServer32\|LocalServer32" "$store"; then
    fail "components left in $store after the removal: $(grep -c Server32 "$store")"
fi
apt_get purge qmxgantt || fail "apt-get purge failed"
[ ! -e "$store" ] || fail "$store left after the purge"
trap 'rm -rf "$work"' EXIT
echo "package-check: the package passes, installed and removed"
