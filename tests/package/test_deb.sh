#!/usr/bin/env bash
# The Debian packages, made from a built folder (scripts/package.sh --from-build, lintian
# included) and installed into a throw-away root, never into this machine: their files and
# fields, the conffile kept over a reinstall, the bind right the postinst grants, the manual
# pages, and the installed module and simulator starting.
# Usage: tests/package/test_deb.sh BUILD-DIR      (ctest: package_deb)
# As root the packages go in with dpkg --root (maintainer scripts included, run outside a chroot
# with DPKG_ROOT); otherwise they are only unpacked with dpkg -x, and the checks that need the
# maintainer scripts or dpkg's database are skipped with a note.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:?usage: test_deb.sh BUILD-DIR}" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/qrn-package-test.XXXXXX")
trap 'rm -rf "$work"' EXIT

failures=0
passed=0
pass() { echo "ok: $*"; passed=$((passed + 1)); }
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
check() {
    local what=$1
    shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
arch=$(dpkg --print-architecture)
program_dir=usr/lib/qrn7300xb

# ---- The packages and lintian ----
"$top/scripts/package.sh" --from-build "$build" --output "$work/out" >"$work/packages"
module_deb=$work/out/qrn7300xb_${version}_${arch}.deb
apsim_deb=$work/out/qrn-apsim_${version}_${arch}.deb
check "package files named <name>_<version>_<arch>.deb" \
    test -f "$module_deb" -a -f "$apsim_deb" -a "$(wc -l <"$work/packages")" -eq 2
check "the changelog's latest entry is version $version" \
    test "$(dpkg-parsechangelog -l "$top/packaging/changelog" -S Version)" = "$version"

field() { dpkg-deb -f "$1" "$2"; }
# Dependencies come from dpkg-shlibdeps: the libraries the binaries link, with versions.
depends=$(field "$module_deb" Depends)
for library in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libsnmp40; do
    check "qrn7300xb depends on $library" grep -Eq "(^|, )$library \(>= [^)]+\)" <<<"$depends"
done
check "qrn-apsim depends on libsnmp40 and not on Qt" \
    bash -c '[[ $1 == *libsnmp40* && $1 != *qt6* ]]' _ "$(field "$apsim_deb" Depends)"
check "the settings-file template is a conffile" \
    test "$(dpkg-deb -I "$module_deb" conffiles)" = /etc/qrn7300xb/registry.ini
if command -v apt-get >/dev/null; then
    # What an administrator types, simulated: apt resolves every dependency on this machine.
    apt_resolves() {
        apt-get -s -q install "$@" >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; false; }
    }
    check "apt-get install of both packages resolves (simulated)" \
        apt_resolves "$module_deb" "$apsim_deb"
fi

# Each package's files: exactly these, nothing of the build or the tests.
listing() { dpkg-deb -c "$1" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | sort; }
{
    echo etc/qrn7300xb/registry.ini
    echo usr/bin/qrn7300xb
    echo "$program_dir/qrn7300xb"
    for catalogue in "$top"/errmsg/*; do echo "$program_dir/errmsg/${catalogue##*/}"; done
    echo usr/share/doc/qrn7300xb/changelog.gz
    echo usr/share/doc/qrn7300xb/copyright
    echo usr/share/man/man1/qrn7300xb.1.gz
} | sort >"$work/module.expected"
{
    echo usr/bin/qrn-apsim
    echo "$program_dir/qrn-apsim"
    for profile in "$top"/sim/profiles/*.profile; do
        echo "$program_dir/apsim-profiles/${profile##*/}"
    done
    echo usr/share/doc/qrn-apsim/changelog.gz
    echo usr/share/doc/qrn-apsim/copyright
    echo usr/share/man/man1/qrn-apsim.1.gz
} | sort >"$work/apsim.expected"
for package in module apsim; do
    deb_var=${package}_deb
    listing "${!deb_var}" >"$work/$package.files"
    check "the $package package holds exactly its files" \
        diff -u "$work/$package.expected" "$work/$package.files"
done
echo "--- files of ${module_deb##*/}, ${apsim_deb##*/}:"
dpkg-deb -c "$module_deb"
dpkg-deb -c "$apsim_deb"
echo "---"

# ---- Installed into a throw-away root ----
root=$work/root
if [ "$(id -u)" -eq 0 ]; then
    admin=$root/var/lib/dpkg
    mkdir -p "$admin/info" "$admin/updates" "$admin/triggers"
    touch "$admin/status" "$admin/available"
    # The root has no libraries in dpkg's database (their presence is what apt-get -s showed).
    install_debs() {
        dpkg --root="$root" --force-script-chrootless --force-depends --log=/dev/null \
            -i "$@" >>"$work/dpkg.log" 2>&1
    }
    check "dpkg --root installs both packages" install_debs "$module_deb" "$apsim_deb"
    check "both packages are installed in the root's database" \
        test "$(dpkg-query --admindir="$admin" -W -f='${Status}\n' qrn7300xb qrn-apsim \
                | grep -c 'install ok installed')" -eq 2
    # The postinst grants the bind right, or says clearly why it could not.
    if getcap "$root/$program_dir/qrn7300xb" | grep -q 'cap_net_bind_service=ep'; then
        pass "the postinst grants the module cap_net_bind_service"
    else
        check "the postinst says why the module cannot bind port 69" \
            grep -q "cannot bind UDP port 69\|right to bind UDP port 69" "$work/dpkg.log"
    fi
    with_root=1
else
    echo "note: not root, so the packages are unpacked with dpkg -x: the postinst, the conffile" \
         "handling and dpkg's database are not checked"
    mkdir -p "$root"
    dpkg -x "$module_deb" "$root"
    dpkg -x "$apsim_deb" "$root"
    with_root=0
fi
check "the installed template is the one of the source tree" \
    cmp "$root/etc/qrn7300xb/registry.ini" "$build/packaging/generated/registry.ini"
check "the links in /usr/bin reach the executables" \
    test -x "$root/usr/bin/qrn7300xb" -a -x "$root/usr/bin/qrn-apsim"

# ---- Manual pages: man -l formats them without a warning, with the sections they must have ----
# Taken from the packages themselves: a machine's dpkg may be set to leave manual pages out.
dpkg-deb -x "$module_deb" "$work/unpacked"
dpkg-deb -x "$apsim_deb" "$work/unpacked"
man_page() {
    local page=$1
    shift
    local text
    text=$(MANWIDTH=80 man --warnings -l "$work/unpacked/usr/share/man/man1/$page.1.gz" \
           2>"$work/$page.man-warnings") || return 1
    [ ! -s "$work/$page.man-warnings" ] || { cat "$work/$page.man-warnings"; return 1; }
    local section
    for section in NAME SYNOPSIS "$@"; do
        grep -q "^$section\$" <<<"$text" || { echo "no section $section"; return 1; }
    done
}
check "man -l qrn7300xb.1.gz" man_page qrn7300xb "LAUNCH SWITCHES" "PARAMETER FILE" \
    "SETTINGS FILE" ENVIRONMENT FILES
check "man -l qrn-apsim.1.gz" man_page qrn-apsim OPTIONS "CONTROL CHANNEL"

# ---- The installed programs start ----
# The module without parameters, with the installed template as its settings file, the way the
# platform never starts it: the message, exit status 0, and the template untouched.
mkdir -p "$work/data" "$work/run" "$work/cwd"
chmod 700 "$work/run"
cp "$root/etc/qrn7300xb/registry.ini" "$work/registry.ini.installed"
module_status=0
(cd "$work/cwd" && env QT_QPA_PLATFORM=offscreen QRN_DIALOG_LOG="$work/dialog.log" \
    QRN_SETTINGS="$root/etc/qrn7300xb/registry.ini" QRN_DATA_DIR="$work/data" \
    QRN_RUNTIME_DIR="$work/run" XDG_RUNTIME_DIR="$work/run" \
    timeout 60 "$root/usr/bin/qrn7300xb") || module_status=$?
check "the installed module ends with status 0" test "$module_status" -eq 0
check "the installed module shows the no-parameter message" \
    test "$(cat "$work/dialog.log" 2>/dev/null)" \
         = $'QRN-7300XB\tThis module is only used in the Marlin or HP-Openview.'
check "the module leaves the installed template as it is" \
    cmp "$work/registry.ini.installed" "$root/etc/qrn7300xb/registry.ini"
check "the installed qrn-apsim runs" \
    bash -c '"$1" --help | grep -q -- --listen' _ "$root/usr/bin/qrn-apsim"

# ---- A reinstall keeps the administrator's settings file (a conffile) ----
if [ "$with_root" -eq 1 ]; then
    echo "; changed by the administrator" >>"$root/etc/qrn7300xb/registry.ini"
    check "dpkg --root reinstalls the module" install_debs "$module_deb"
    check "the reinstall keeps the administrator's settings file" \
        grep -q '^; changed by the administrator$' "$root/etc/qrn7300xb/registry.ini"
fi

echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
