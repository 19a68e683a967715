#!/bin/sh
# Installs the build into a temporary DESTDIR and checks the tree: every file
# in its place, no headers, programs and libraries that find each other from
# there, components registered in a system store alone serving the installed
# tool, and desktop files that the freedesktop validators accept.
#
#   install_test.sh BUILD WORK BINDIR LIBDIR DATADIR "COMPONENTS" "PROGRAMS"
set -eu

build=$1 work=$2 bindir=$3 libdir=$4 datadir=$5 components=$6 programs=$7
root=$work/root
prefix=/usr
app_id=org.qmx.QMXGantt

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

rm -rf "$work"
mkdir -p "$work"
DESTDIR=$root cmake --install "$build" --prefix "$prefix" >"$work/install.log"
tree=$root$prefix

# --- Every file in its place ------------------------------------------------
expected="
$datadir/examples/example.qmxg
share/mime/packages/qmxgantt.xml
share/icons/hicolor/scalable/apps/$app_id.svg
share/man/man1/qmxgantt.1.gz
share/man/man1/qmxregsvr.1.gz
share/doc/qmxgantt/copyright
share/doc/qmxgantt/changelog.gz
"
for size in 16 22 24 32 48 64 128 256; do
    expected="$expected share/icons/hicolor/${size}x$size/apps/$app_id.png"
done
for program in $programs; do
    expected="$expected $bindir/$program"
done
for component in $components; do
    expected="$expected $libdir/lib$component.so"
done
case " $components " in
    *" QMXMm5GanttDisplay "*) expected="$expected $libdir/sys/QMXGantt.bmp" ;;
esac
case " $programs " in
    *" QMXGanttDisplay "*)
        display=yes
        expected="$expected $libdir/QMXGanttDisplay $libdir/QMXGanttDisplayEnglish.rcc
                  share/applications/$app_id.desktop
                  share/metainfo/$app_id.metainfo.xml share/man/man1/QMXGanttDisplay.1.gz"
        ;;
    *) display=no ;;
esac
host_id=org.qmx.QMXMapHost
case " $programs " in
    *" QMXMapHost "*)
        host=yes
        expected="$expected share/applications/$host_id.desktop share/metainfo/$host_id.metainfo.xml"
        ;;
    *) host=no ;;
esac
# Every program has its manual page.
for program in $programs; do
    expected="$expected share/man/man1/$program.1.gz"
done
for file in $expected; do
    [ -f "$tree/$file" ] || fail "missing $file"
done

# Only the programs in bin; no headers, static or test libraries anywhere.
for file in "$tree/$bindir"/*; do
    name=$(basename "$file")
    case " $programs " in
        *" $name "*) ;;
        *) fail "unexpected program $bindir/$name" ;;
    esac
done
unwanted=$(find "$root" \( -name '*.h' -o -name '*.hpp' -o -name '*.a' -o -iname '*test*' \) -print)
[ -z "$unwanted" ] || fail "files that are not for users: $unwanted"

# Each icon has the size its folder names (the PNG header holds width and
# height as big-endian words at bytes 16 and 20).
for size in 16 22 24 32 48 64 128 256; do
    png=$tree/share/icons/hicolor/${size}x$size/apps/$app_id.png
    [ -f "$png" ] || continue
    set -- $(od -An -tu1 -j16 -N8 "$png")
    width=$(( ($1 << 24) + ($2 << 16) + ($3 << 8) + $4 ))
    height=$(( ($5 << 24) + ($6 << 16) + ($7 << 8) + $8 ))
    [ "$width" = "$size" ] && [ "$height" = "$size" ] || fail "$png is $width x $height, not $size px"
done

# Manual pages are well-formed troff.
if command -v man >/dev/null 2>&1; then
    for page in "$tree"/share/man/man1/*.1.gz; do
        warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null || true)
        [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
    done
fi

# --- Programs and libraries find each other inside the tree -----------------
for elf in "$tree/$bindir"/* "$tree/$libdir"/*; do
    [ -f "$elf" ] && [ ! -L "$elf" ] && [ "$(head -c4 "$elf" | tail -c3)" = ELF ] || continue
    runpath=$(readelf -d "$elf" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p')
    case "$runpath" in
        '$ORIGIN'*) ;;
        *) fail "$(basename "$elf") has RUNPATH '$runpath', not one relative to itself" ;;
    esac
    case "$runpath" in
        *"$build"*) fail "$(basename "$elf") still searches the build folder" ;;
    esac
    resolved=$(ldd "$elf")
    if echo "$resolved" | grep -q "not found"; then
        fail "$(basename "$elf") misses libraries: $(echo "$resolved" | grep 'not found' | tr -s ' \t' ' ')"
    fi
    # The system's own libraries come from the tree, none from the build.
    for found in $(echo "$resolved" | sed -n 's/.*libqmx.* => \(.*\) (0x.*/\1/ip'); do
        [ "$(dirname "$(realpath "$found")")" = "$(realpath "$tree/$libdir")" ] ||
            fail "$(basename "$elf") loads $found from outside the tree"
    done
done

# --- The components serve every user from the system store ------------------
# The user's store does not exist and must stay so: nothing is per user.
user_store=$work/user/registry.ini
system_store=$work/system/registry.ini
export QMX_REGISTRY="$user_store" QMX_SYSTEM_REGISTRY="$system_store"
for component in $components; do
    "$tree/$bindir/qmxregsvr" --system "$tree/$libdir/lib$component.so" >/dev/null ||
        fail "qmxregsvr --system lib$component.so"
done
if [ "$display" = yes ]; then
    # As the package does: the program writes the store QMX_REGISTRY names.
    QMX_REGISTRY=$system_store "$tree/$bindir/QMXGanttDisplay" -RegServer >/dev/null ||
        fail "QMXGanttDisplay -RegServer"
    [ "$(realpath "$tree/$bindir/QMXGanttDisplay")" = "$(realpath "$tree/$libdir/QMXGanttDisplay")" ] ||
        fail "$bindir/QMXGanttDisplay does not lead to the program beside its resources"
    grep -q "$tree/$libdir/QMXGanttDisplay" "$system_store" ||
        fail "the program's registration does not name the installed program"
fi
if [ "$host" = yes ]; then
    # The map host registers itself as the application class's local server,
    # named by its installed path, and takes only that away again.
    QMX_REGISTRY=$system_store QT_QPA_PLATFORM=offscreen "$tree/$bindir/QMXMapHost" -RegServer >/dev/null ||
        fail "QMXMapHost -RegServer"
    grep -q "$tree/$bindir/QMXMapHost" "$system_store" ||
        fail "the map host's registration does not name the installed program"
    grep -q "MindManager.Application.5" "$system_store" || fail "the map host's ProgID is not registered"
    QMX_REGISTRY=$system_store QT_QPA_PLATFORM=offscreen "$tree/$bindir/QMXMapHost" -UnregServer >/dev/null ||
        fail "QMXMapHost -UnregServer"
    ! grep -q "$tree/$bindir/QMXMapHost" "$system_store" || fail "the map host's registration stayed"
    grep -q "$tree/$libdir/libQMXXmlAdapter.so" "$system_store" || fail "unregistering the map host took more away"
fi
grep -q "$tree/$libdir/libQMXXmlAdapter.so" "$system_store" ||
    fail "the system store does not name the installed XML adapter"

example=$tree/$datadir/examples/example.qmxg
if output=$("$tree/$bindir/qmxgantt" check "$example" 2>&1); then
    [ "$output" = "$example: 31 tasks, 22 links, 6 resources, 28 assignments" ] ||
        fail "qmxgantt check printed: $output"
else
    fail "installed qmxgantt check failed: $output"
fi
"$tree/$bindir/qmxgantt" convert "$example" "$work/copy.xml" >/dev/null 2>&1 ||
    fail "installed qmxgantt convert failed"
[ ! -e "$user_store" ] || fail "the user's registry store was written"

# Unregistering leaves no component behind, and the tool says so.
for component in $components; do
    "$tree/$bindir/qmxregsvr" -u --system "$tree/$libdir/lib$component.so" >/dev/null ||
        fail "qmxregsvr -u --system lib$component.so"
done
if grep -q "InprocServer32" "$system_store"; then
    fail "components left in the system store: $(grep -A1 InprocServer32 "$system_store")"
fi
status=0
"$tree/$bindir/qmxgantt" check "$example" >/dev/null 2>&1 || status=$?
[ "$status" = 1 ] || fail "qmxgantt check without the adapter exited $status, not 1"

# --- Desktop files ------------------------------------------------------------
ids=
[ "$display" = yes ] && ids="$ids $app_id"
[ "$host" = yes ] && ids="$ids $host_id"
for id in $ids; do
    if command -v desktop-file-validate >/dev/null 2>&1; then
        desktop-file-validate "$tree/share/applications/$id.desktop" || fail "desktop-file-validate $id"
    fi
    if command -v appstreamcli >/dev/null 2>&1; then
        appstreamcli validate --no-net --no-color "$tree/share/metainfo/$id.metainfo.xml" >"$work/appstream.log" ||
            fail "appstreamcli validate $id: $(cat "$work/appstream.log")"
    fi
    # The entry's icon is one the package installs.
    icon=$(sed -n 's/^Icon=//p' "$tree/share/applications/$id.desktop")
    [ -f "$tree/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "$id.desktop names the icon '$icon' it lacks"
done

# The MIME package: a .qmxg file is a project by its name, and the database
# names the root element that makes an .xml file one.
if command -v update-mime-database >/dev/null 2>&1 && command -v gio >/dev/null 2>&1; then
    mime=$work/mime-data
    mkdir -p "$mime/mime/packages"
    cp /usr/share/mime/packages/freedesktop.org.xml "$tree/share/mime/packages/qmxgantt.xml" "$mime/mime/packages/"
    update-mime-database "$mime/mime" >/dev/null 2>&1
    cp "$example" "$work/plan.qmxg"
    got=$(XDG_DATA_DIRS=$mime XDG_DATA_HOME=$work/no-data gio info -a standard::content-type "$work/plan.qmxg" |
          sed -n 's/.*standard::content-type: //p')
    [ "$got" = application/x-qmxgantt ] || fail "a .qmxg file is detected as '$got'"
    grep -qx " project application/x-qmxgantt" "$mime/mime/XMLnamespaces" ||
        fail "the MIME database has no root element for the project type"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "installed tree in $root is complete"
