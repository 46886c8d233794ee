#!/usr/bin/env bash
# Builds the Debian package from the build folder with CPack and checks it: the files it holds,
# its dependencies, and lintian without errors.
#
#   check-deb.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

(cd "$work" && cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >/dev/null)
deb=$(ls "$work"/out/fachlese_"$FACHLESE_VERSION"_*.deb)

# Every file of the installation is in the package.
contents=$(dpkg-deb --contents "$deb" | awk '{print $6}')
DESTDIR=$work/dest cmake --install "$build" --prefix /usr >/dev/null
while read -r f; do
    grep -q -x -F "$f" <<<"$contents" || fail "not in the package: $f"
done < <(cd "$work/dest" && find . -type f)
[ -n "$(cd "$work/dest" && find . -type f)" ] || fail "nothing installed"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = fachlese ] || fail "package name $(field Package)"
[ "$(field Version)" = "$FACHLESE_VERSION" ] || fail "version $(field Version)"
grep -q 'fonts-liberation2' <<<"$(field Depends)" || fail "fonts-liberation2 not a dependency"
grep -q 'libqt6widgets6' <<<"$(field Depends)" || fail "the Qt libraries were not found as dependencies"
grep -q 'libmicrohttpd' <<<"$(field Depends)" || fail "fachlese-web's HTTP library was not found as a dependency"
[ "$(field Recommends)" = qt6-translations-l10n ] || fail "recommends $(field Recommends)"

# The web service: its settings and nginx site stay the administrator's (conffiles), and it is
# installed disabled: no link into a target, no maintainer script that enables or starts it.
control=$work/control
dpkg-deb --control "$deb" "$control"
[ "$(sort "$control/conffiles" 2>/dev/null)" = "$(printf '/etc/default/fachlese-web\n/etc/nginx/sites-available/fachlese-web')" ] ||
    fail "conffiles: $(cat "$control/conffiles" 2>/dev/null)"
grep -q '^\./etc/systemd/' <<<"$contents" && fail "the package enables a unit itself"
grep -l -E 'systemctl|deb-systemd|invoke-rc' "$control"/*inst "$control"/*rm 2>/dev/null && fail "a maintainer script enables or starts the service"
grep -q 'systemd-sysusers fachlese-web.conf' "$control/postinst" || fail "postinst does not make the service's user"

if command -v lintian >/dev/null; then
    report=$(lintian --tag-display-limit 0 "$deb" 2>&1 | grep -v 'running with root privileges' || true)
    [ -n "$report" ] && printf 'lintian:\n%s\n' "$report"
    if grep -q '^[EW]:' <<<"$report"; then fail "lintian reports errors or warnings"; fi
else
    fail "lintian is not installed"
fi

[ "$failures" -eq 0 ] && echo "the package is complete" || { echo "$failures package checks failed" >&2; exit 1; }
