#!/usr/bin/env bash
# Checks that VOK installs like a desktop program, from a finished build:
#
#   tools/check-install.sh BUILD_DIR
#
# 1. `cmake --install` into a scratch prefix, then the installed tree:
#    bin/vok, the desktop entry (desktop-file-validate), the icons at the sizes
#    their folders name, the AppStream metainfo (appstreamcli validate), and
#    that the three agree: Exec= names the installed program, Icon= the
#    installed icons, the metainfo's launchable the desktop file.
# 2. `cpack -G DEB` into a scratch folder: the package's name, control fields
#    and dependencies (one for every shared library the program links, each
#    satisfiable on this system), then the same tree checks on its contents
#    unpacked with `dpkg -x`.
# Needs desktop-file-utils, appstream, libxml2-utils, dpkg-dev and file
# (tools/install-deps.sh --test).
set -euo pipefail

build=$(cd "${1:?usage: tools/check-install.sh BUILD_DIR}" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

app_id=example.calvinalabs.vok
icon_sizes=(16 22 24 32 48 64 128 256)
# Runtime packages of Debian 12 the program always needs. The colour picker's
# libkf5widgetsaddons5 and any other library are covered by the check that
# every library the program links comes from a dependency.
required_packages=(libc6 libstdc++6 libqt5core5a libqt5gui5 libqt5widgets5 libqt5printsupport5
    libqwt-qt5-6 libkf5widgetsaddons5)

passed=0
failed=0
pass() { passed=$((passed + 1)); echo "  ok   $*"; }
fail() { failed=$((failed + 1)); echo "  FAIL $*"; }
check() { # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[[ -n "$version" ]] || { echo "check-install: $build is not a configured build directory"; exit 1; }

# Width and height of a PNG file, from its IHDR chunk.
png_size() {
    local hex
    hex=$(od -An -tx1 -j16 -N8 "$1" | tr -d ' \n')
    echo "$((16#${hex:0:8}))x$((16#${hex:8:8}))"
}

# Value of KEY in the [Desktop Entry] group of a desktop file.
desktop_value() {
    sed -n '/^\[Desktop Entry\]/,/^\[/{s/^'"$2"'=//p}' "$1" | head -n 1
}

# The checks of an installed tree; PREFIX is the folder holding bin/ and
# share/, PATH_DIR the folder the desktop's PATH must find the program in.
check_tree() {
    local prefix=$1 label=$2
    local desktop="$prefix/share/applications/$app_id.desktop"
    local metainfo="$prefix/share/metainfo/$app_id.metainfo.xml"
    echo "== $label"

    check "bin/vok is an executable" test -x "$prefix/bin/vok"
    check "desktop entry share/applications/$app_id.desktop" test -f "$desktop"
    check "metainfo share/metainfo/$app_id.metainfo.xml" test -f "$metainfo"
    [[ -f "$desktop" && -f "$metainfo" ]] || return 0

    local out
    if out=$(desktop-file-validate "$desktop" 2>&1) && [[ -z "$out" ]]; then
        pass "desktop-file-validate"
    else
        fail "desktop-file-validate: $out"
    fi
    if out=$(appstreamcli validate --no-net "$metainfo" 2>&1); then
        pass "appstreamcli validate --no-net"
    else
        fail "appstreamcli validate --no-net: $out"
    fi

    local exec icon
    exec=$(desktop_value "$desktop" Exec)
    icon=$(desktop_value "$desktop" Icon)
    # Exec= is the bare program name, found on PATH in the prefix's bin/,
    # taking the one file a file manager hands over.
    check "Exec=$exec is vok %f" test "$exec" = "vok %f" -a -x "$prefix/bin/vok"
    check "MimeType= offers VOK for CSV files" \
        test "$(desktop_value "$desktop" MimeType)" = "text/csv;"
    check "Name=VOK" test "$(desktop_value "$desktop" Name)" = VOK
    check "Comment= is set" test -n "$(desktop_value "$desktop" Comment)"

    local size file
    for size in "${icon_sizes[@]}"; do
        file="$prefix/share/icons/hicolor/${size}x${size}/apps/$icon.png"
        if [[ -f "$file" && "$(png_size "$file")" == "${size}x${size}" ]]; then
            pass "Icon=$icon at ${size}x${size}"
        else
            fail "Icon=$icon at ${size}x${size}: $file missing or of another size"
        fi
    done

    local id launchable binary release
    id=$(xmllint --xpath 'string(/component/id)' "$metainfo")
    launchable=$(xmllint --xpath 'string(/component/launchable[@type="desktop-id"])' "$metainfo")
    binary=$(xmllint --xpath 'string(/component/provides/binary)' "$metainfo")
    release=$(xmllint --xpath 'string(/component/releases/release[1]/@version)' "$metainfo")
    check "metainfo id $id names its file" test "$id" = "$app_id"
    check "launchable $launchable is the desktop file" test "$launchable" = "$(basename "$desktop")"
    check "provided binary $binary is the program of Exec=" test "$binary" = "${exec%% *}"
    check "latest release $release is the project version $version" test "$release" = "$version"
}

echo "== Install and package check"
echo "== cmake --install"
cmake --install "$build" --prefix "$scratch/install" > "$scratch/install.log"
check_tree "$scratch/install" "installed tree (cmake --install)"

echo "== cpack -G DEB"
(cd "$build" && cpack -G DEB -B "$scratch/package") > "$scratch/cpack.log" 2>&1 \
    || { cat "$scratch/cpack.log"; echo "check-install: cpack failed"; exit 1; }
arch=$(dpkg --print-architecture)
deb="$scratch/package/vok_${version}_${arch}.deb"
check "package file vok_${version}_${arch}.deb" test -f "$deb"
if [[ -f "$deb" ]]; then
    field() { dpkg-deb --field "$deb" "$1"; }
    check "Package: vok" test "$(field Package)" = vok
    check "Version: $version" test "$(field Version)" = "$version"
    check "Architecture: $arch" test "$(field Architecture)" = "$arch"
    check "Maintainer and Description set" \
        test -n "$(field Maintainer)" -a -n "$(field Description)"
    outside=$(dpkg-deb --contents "$deb" | awk '{print $6}' \
        | grep -v -e '^\./usr/' -e '^\./$' || true)
    check "everything under /usr" test -z "$outside"

    depends=$(field Depends)
    echo "   Depends: $depends"
    # The package names of the dependencies, alternatives included.
    depends_names=" $(echo "$depends" | tr ',|' '\n\n' | sed 's/(.*)//; s/^ *//; s/ *$//' \
        | tr '\n' ' ') "
    for package in "${required_packages[@]}"; do
        check "depends on $package" test -z "${depends_names##* $package *}"
    done

    # Each dependency can be met on this system: one of its alternatives is
    # installed in a version that satisfies it.
    IFS=',' read -ra clauses <<< "$depends"
    for clause in "${clauses[@]}"; do
        met=false
        IFS='|' read -ra alternatives <<< "$clause"
        for alternative in "${alternatives[@]}"; do
            name=$(echo "$alternative" | sed 's/(.*)//; s/ //g')
            relation=$(echo "$alternative" | sed -n 's/.*(\s*\([<>=]*\)\s*\(.*\))/\1 \2/p')
            installed=$(dpkg-query -W -f='${Version}' "$name" 2>/dev/null || true)
            [[ -n "$installed" ]] || continue
            if [[ -z "$relation" ]]; then
                met=true
            else
                read -r op wanted <<< "$relation"
                case $op in
                    '>=') op=ge ;; '<=') op=le ;; '>>') op=gt ;; '<<') op=lt ;; '=') op=eq ;;
                esac
                dpkg --compare-versions "$installed" "$op" "$wanted" && met=true
            fi
            $met && break
        done
        check "dependency $(echo "$clause" | sed 's/^ *//') is met here" $met
    done

    dpkg -x "$deb" "$scratch/root"
    check_tree "$scratch/root/usr" "package unpacked (dpkg -x), /usr"

    # Every shared library the packaged program links belongs to a package
    # it depends on.
    dpkg_owner() {
        local path=$1 candidate
        for candidate in "$path" "${path#/usr}" "/usr$path"; do
            dpkg -S "$candidate" 2>/dev/null | head -n 1 | cut -d: -f1 && return 0
        done
        return 1
    }
    program="$scratch/root/usr/bin/vok"
    linked=$(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
    while read -r soname; do
        # "soname => path (address)", or for the program loader, which the
        # program names when it uses thread-local storage, "path (address)".
        path=$(ldd "$program" | awk -v s="$soname" '
            $1 == s && $2 == "=>" {print $3}
            $1 ~ /^\// && substr($1, length($1) - length(s)) == "/" s {print $1}')
        owner=$(dpkg_owner "$path" || true)
        if [[ -n "$owner" && -z "${depends_names##* $owner *}" ]]; then
            pass "linked $soname comes from $owner, a dependency"
        else
            fail "linked $soname ($path, package '${owner:-unknown}') is not a dependency"
        fi
    done <<< "$linked"
fi

echo "check-install: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
