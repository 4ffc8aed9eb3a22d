#!/usr/bin/env bash
# The set-up's decisions, without the network: an index that a mirror caught mid-sync will not
# give, a release that then lacks one architecture, apt-get update tried again, and the apt
# preference that holds such a release back for one install only.
set -uo pipefail
source "$(dirname "$0")/../../tools/install-packages.sh" --functions
set +e # the script stops at its first failure; the test goes on to count them
failures=0
expect() { # what, expected, actual
    if [ "$2" != "$3" ]; then
        printf 'FAIL: %s\n  expected: %s\n  actual:   %s\n' "$1" "$2" "$3"
        failures=$((failures + 1))
    fi
}

# As apt-get printed it on such a day.
mid_sync='Ign:8 http://deb.debian.org/debian-security bookworm-security/main i386 Packages
E: Failed to fetch http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 203.0.113.80 80]
   Hashes of expected file:
E: Some index files failed to download. They have been ignored, or old ones used instead.'
index='bookworm-security/main/binary-i386 File has unexpected size (374820 != 376004). Mirror sync in progress?'
expect "the index and reason" "$index" "$(failed_indexes <<<"$mid_sync")"
expect "nothing failed" "" "$(failed_indexes <<<'Hit:1 http://deb.debian.org/debian bookworm InRelease')"

every='bookworm amd64
bookworm i386
bookworm-security amd64
bookworm-security i386'
expect "every release whole" "" "$(releases_lacking_an_architecture amd64 i386 <<<"$every")"
expect "security lacks i386" bookworm-security \
    "$(grep -v 'security i386' <<<"$every" | releases_lacking_an_architecture amd64 i386)"
expect "one architecture only" "" "$(grep amd64 <<<"$every" | releases_lacking_an_architecture amd64)"
expect "a release of i386 alone" "bookworm" \
    "$(grep -v 'bookworm amd64' <<<"$every" | releases_lacking_an_architecture amd64 i386)"

# apt-get and dpkg as a machine with that index missing answers them; nothing is installed. They
# run in subshells too, so what they were asked goes to files.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
calls() { paste -sd '|' "$work/calls"; rm -f "$work/calls"; }
sleep() { echo "sleep $1" >>"$work/calls"; }
dpkg() { case "$1" in --print-architecture) echo amd64 ;; --print-foreign-architectures) echo i386 ;; esac; }
apt-get() {
    case "$1" in
        update)
            echo update >>"$work/calls"
            [ "$(grep -c update "$work/calls")" -gt "$updates_failing" ] && return 0
            echo "$mid_sync"
            return 100 ;;
        indextargets) grep -v 'security i386' <<<"$every" ;;
        install)
            echo "install ${*:2}" >>"$work/calls"
            for argument; do
                case "$argument" in Dir::Etc::Preferences=*) cp "${argument#*=}" "$work/held" ;; esac
            done
            [ -z "${install_fails:-}" ] || { echo "E: Unable to correct problems, you have held broken packages."; return 100; } ;;
    esac
}

updates_failing=2
apt_update
expect "tried again until it worked" "update|sleep 10|update|sleep 20|update" "$(calls)"
expect "nothing left failing" "" "$update_failures"
updates_failing=5
apt_update
expect "three tries" "update|sleep 10|update|sleep 20|update" "$(calls)"
expect "what still failed" "$index" "$update_failures"

said=$(apt_install wine wine32:i386)
call=$(calls)
expect "installed with a preference" "install -y -q --no-install-recommends -o Dir::Etc::Preferences=" \
    "${call%%/*}"
expect "the release held below the installed versions" \
    $'Package: *\nPin: release n=bookworm-security\nPin-Priority: 50' "$(cat "$work/held")"
preferences=${call#*Preferences=}
expect "the preference is for that install only" "" "$(ls "${preferences%% *}" 2>/dev/null)"
expect "one line for the index, one for the hold" 2 "$(grep -c . <<<"$said")"
grep -q "^the index bookworm-security/main/binary-i386 could not be downloaded (File has unexpected size" <<<"$said" ||
    expect "the index named" "a line naming it" "$said"

apt_install cmake >/dev/null
expect "no hold without another architecture" "install -y -q --no-install-recommends cmake" "$(calls)"

install_fails=1 update_failures=""
said=$(apt_install wine32:i386 2>&1 >/dev/null)
status=$?
expect "a failed install fails" 100 "$status"
expect "in one line" "cannot install wine32:i386: E: Unable to correct problems, you have held broken packages." "$said"

[ "$failures" -eq 0 ] && echo "install-packages: every decision as expected"
exit $((failures > 0))
