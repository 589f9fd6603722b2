#!/usr/bin/env bash
# Builds the Debian package from BUILD_DIR, checks it with lintian, appstreamcli and
# desktop-file-validate, unpacks it into a scratch root and runs the programs from there as
# installed: lumora-cli's commands, its manual page and completion, and the editor, offscreen,
# on the installed example for a few seconds.
#   check-package.sh BUILD_DIR
# Exits 77 (skipped) with the reason in LUMORA_PACKAGE_TEST_SKIP.
set -euo pipefail

if [ -n "${LUMORA_PACKAGE_TEST_SKIP:-}" ]; then
    echo "skipped: $LUMORA_PACKAGE_TEST_SKIP"
    exit 77
fi
build=$(cd "$1" && pwd)
missing=()
for tool in cpack dpkg-deb dpkg-shlibdeps lintian appstreamcli desktop-file-validate man timeout; do
    command -v "$tool" >/dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "skipped: ${missing[*]} not installed (scripts/install-deps installs them)"
    exit 77
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

echo "== building the package"
cpack --config "$build/CPackConfig.cmake" -B "$scratch/package" >"$scratch/cpack.log" 2>&1 \
    || { cat "$scratch/cpack.log"; fail "cpack"; }
debs=("$scratch"/package/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one .deb, found: ${debs[*]}"
deb=${debs[0]}
version=$(dpkg-deb -f "$deb" Version)
echo "$(basename "$deb"): Depends: $(dpkg-deb -f "$deb" Depends)"

echo "== lintian"
lintian_status=0
lintian --fail-on error "$deb" >"$scratch/lintian.log" 2>&1 || lintian_status=$?
grep -v "running with root privileges" "$scratch/lintian.log" || true
[ $lintian_status -eq 0 ] || fail "lintian reports errors"

root=$scratch/root
dpkg-deb -x "$deb" "$root"
share=$root/usr/share
for file in usr/bin/lumora usr/bin/lumora-cli usr/share/man/man1/lumora.1.gz usr/share/man/man1/lumora-cli.1.gz \
        usr/share/bash-completion/completions/lumora-cli usr/share/mime/packages/lumora.xml \
        usr/share/icons/hicolor/scalable/apps/lumora.svg usr/share/lumora/help/index.html \
        usr/share/lumora/examples/heart.lumora usr/share/lumora/examples/heart.png; do
    [ -e "$root/$file" ] || fail "the package lacks /$file"
done

echo "== store metadata and desktop entry"
metainfo=("$share"/metainfo/*.metainfo.xml)
desktop=("$share"/applications/*.desktop)
appstreamcli validate --no-net "${metainfo[@]}" || fail "appstreamcli validate"
desktop-file-validate "${desktop[@]}" || fail "desktop-file-validate"
[ "$(basename "${metainfo[0]}" .metainfo.xml)" = "$(basename "${desktop[0]}" .desktop)" ] \
    || fail "the metainfo and the desktop entry name different ids"
grep -q "<release version=\"$version\"" "${metainfo[0]}" || fail "the metainfo has no release $version"
grep -q "^MimeType=application/x-lumora-layout;" "${desktop[0]}" || fail "the desktop entry opens no layouts"

echo "== the installed lumora-cli"
# Settings, recovery files and the like go to the scratch folder, not the user's.
export PATH="$root/usr/bin:$PATH" HOME="$scratch/home" XDG_RUNTIME_DIR="$scratch/runtime"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_CACHE_HOME="$HOME/.cache" \
    XDG_STATE_HOME="$HOME/.local/state"
mkdir -p -m 700 "$HOME" "$XDG_RUNTIME_DIR"
cli=$root/usr/bin/lumora-cli
[ "$("$cli" --version)" = "lumora-cli $version" ] || fail "lumora-cli --version is not $version"
[ "$(QT_QPA_PLATFORM= DISPLAY= "$root/usr/bin/lumora" --version)" = "lumora $version" ] \
    || fail "lumora --version is not $version, or needs a display"
work=$scratch/work
mkdir -p "$work"
"$cli" generate matrix 8 8 --serpentine -o "$work/matrix.lumora"
"$cli" inspect "$work/matrix.lumora" 2>/dev/null | grep -q '"points": \[\[' || fail "inspect of the generated matrix"
"$cli" inspect "$share/lumora/examples/heart.lumora" | grep -q '"filenames": \["[^"]*heart.png"\]' \
    || fail "inspect of the installed example"
"$cli" export "$share/lumora/examples/heart.lumora" --frames 30 --output-dir "$work/export" >/dev/null
for file in images.h cases.h image0.h; do
    [ -s "$work/export/$file" ] || fail "export wrote no $file"
done

echo "== manual pages"
for page in lumora lumora-cli; do
    MANWIDTH=80 man --warnings -E UTF-8 -l "$share/man/man1/$page.1.gz" >"$work/$page.txt" 2>"$work/$page.warnings"
    [ ! -s "$work/$page.warnings" ] || { cat "$work/$page.warnings"; fail "man warns about $page.1"; }
    grep -q "^EXIT STATUS" "$work/$page.txt" || fail "$page.1 lists no exit status"
done
commands=$("$cli" --help | sed -n '/^Commands:/,/^$/s/^  \([a-z-]*\) .*/\1/p')
[ -n "$commands" ] || fail "no commands in lumora-cli --help"
for command in $commands; do
    grep -q "^   $command\$" "$work/lumora-cli.txt" || fail "lumora-cli.1 does not describe $command"
done

echo "== bash completion"
cp "$share/lumora/examples/heart.lumora" "$work/"
completions() {
    # shellcheck disable=SC1091
    (cd "$work" && source "$share/bash-completion/completions/lumora-cli" && COMP_WORDS=("$@") &&
        COMP_CWORD=$(($# - 1)) && COMPREPLY=() && _lumora_cli && echo "${COMPREPLY[*]}")
}
expect() {
    local want=$1; shift
    local got
    got=$(completions "$@")
    [ "$got" = "$want" ] || fail "completing '$*': '$got', not '$want'"
}
expect "export export-map export-epe export-code" "$cli" ex
expect "--header-style --help --help-all" "$cli" export --he
expect "classic modern" "$cli" export --header-style ""
expect "matrix strip ring" "$cli" generate ""
expect "heart.lumora" "$cli" inspect h
[[ " $(completions "$cli" export --pattern Rin) " == *" Rings "* ]] || fail "completing a pattern name"
expect "GRB GBR" "$cli" play heart.lumora --order G
[ "$(completions "$cli" "" | tr ' ' '\n' | grep -v '^-' | tr '\n' ' ' | sed 's/ $//')" = "$(echo $commands)" ] \
    || fail "the completion does not offer every command"

echo "== the installed editor, offscreen, on the installed example"
set +e
QT_QPA_PLATFORM=offscreen timeout -s TERM 4 "$root/usr/bin/lumora" "$share/lumora/examples/heart.lumora" \
    >"$work/editor.log" 2>&1
status=$?
set -e
[ $status -eq 124 ] || { cat "$work/editor.log"; fail "the editor ended by itself within 4 s (status $status)"; }
echo "package test passed: $(basename "$deb")"
