#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the lessons into a scratch prefix and builds the Debian package, then checks
# what a school's machine gets: programs that start from wherever they are installed,
# valid desktop entries and metainfo, icons, and a package naming its runtime needs.
# Usage: check-packaging.sh BUILD_DIR
set -euo pipefail
build="$1"
source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
export QT_QPA_PLATFORM=offscreen

failures=0
check() { # description, command...
    local what="$1"; shift
    if "$@" >"$scratch/last.log" 2>&1; then
        echo "ok: $what"
    else
        echo "FAILED: $what"; sed 's/^/    /' "$scratch/last.log"; failures=$((failures + 1))
    fi
}

renders_cleanly() { # manual page: groff formats it without a single warning
    [ -s "$1" ] && ! zcat "$1" | groff -man -Tutf8 -ww -z 2>&1 | grep .
}

starts() { # program: it paints its window and reports, run from where it lies
    LESSONS_STARTUP_PROBE=1 timeout 60 "$1" | grep -q '^first-paint-ns '
}

check "every source file carries the licence's SPDX line" "$source_dir/scripts/spdx-headers" --check

cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
for lesson in dorvane skelvin quillet; do
    check "$lesson installed in bin/" test -x "$scratch/prefix/bin/$lesson"
    check "$lesson starts from the prefix" starts "$scratch/prefix/bin/$lesson"
    check "$lesson icon, scalable and 48 px" test -s "$scratch/prefix/share/icons/hicolor/scalable/apps/$lesson.svg" -a \
        -s "$scratch/prefix/share/icons/hicolor/48x48/apps/$lesson.png"
    desktop="$scratch/prefix/share/applications/org.planegeometry.$lesson.desktop"
    if command -v desktop-file-validate >/dev/null; then
        check "$lesson desktop entry validates" desktop-file-validate "$desktop"
    fi
    check "$lesson desktop entry is Education;Math" grep -q '^Categories=Education;Math;$' "$desktop"
    if command -v appstreamcli >/dev/null; then
        check "$lesson metainfo validates" appstreamcli validate --no-net \
            "$scratch/prefix/share/metainfo/org.planegeometry.$lesson.metainfo.xml"
    fi
done
check "quillet's Chinese entry carries its window title" grep -q '^Name\[zh_CN\]=Tavrelo与斜率$' \
    "$scratch/prefix/share/applications/org.planegeometry.quillet.desktop"

if command -v dpkg-deb >/dev/null; then
    (cd "$scratch" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/deb" >/dev/null)
    package="$(ls "$scratch"/deb/*.deb)"
    depends="$(dpkg-deb -f "$package" Depends)"
    for need in libqt6widgets6 qt6-qpa-plugins fonts-liberation fonts-noto-cjk fonts-arphic-uming fonts-arphic-ukai; do
        check "package depends on $need" grep -q "$need" <<<"$depends"
    done
    recommends="$(dpkg-deb -f "$package" Recommends)"
    check "package recommends qt6-wayland" grep -qw qt6-wayland <<<"$recommends"
    dpkg-deb -x "$package" "$scratch/root"
    check "package puts dorvane in /usr/bin" test -x "$scratch/root/usr/bin/dorvane"
    check "dorvane starts from the unpacked package" starts "$scratch/root/usr/bin/dorvane"
    for lesson in dorvane skelvin quillet; do
        check "$lesson's manual page renders cleanly" renders_cleanly \
            "$scratch/root/usr/share/man/man1/$lesson.1.gz"
    done
    doc="$scratch/root/usr/share/doc/$(dpkg-deb -f "$package" Package)"
    check "package names its licence in its copyright file" \
        grep -qx 'License: GPL-3.0-or-later' "$doc/copyright"
    check "package's changelog starts at the package's version" zgrep -q \
        "^$(dpkg-deb -f "$package" Package) ($(dpkg-deb -f "$package" Version)) " \
        "$doc/changelog.Debian.gz"
    # A warning kept on purpose is overridden in packaging/lintian-overrides with its reason.
    check "lintian finds no error and no unexplained warning" \
        lintian --fail-on error,warning "$package"
    check "package is filed under education" test "$(dpkg-deb -f "$package" Section)" = education
    # Named from the build's target (packaging/cross-check does the cross-built case).
    check "package is named for this machine's architecture" \
        test "$(dpkg-deb -f "$package" Architecture)" = "$(dpkg --print-architecture)"
    echo "package: $(basename "$package"), $(du -k "$package" | cut -f1) KiB, installed size $(dpkg-deb -f "$package" Installed-Size) KiB"
else
    echo "dpkg-deb is not installed: the package checks are skipped"
fi

[ "$failures" -eq 0 ]
