#!/bin/sh
# Checks the desktop entry with desktop-file-validate (Debian package
# desktop-file-utils), hints included; exit code 77 (skipped) when it is missing.
#   check-desktop-entry.sh FILE.desktop
command -v desktop-file-validate >/dev/null || {
    echo "desktop-file-validate missing (apt-get install desktop-file-utils)"
    exit 77
}
out=$(desktop-file-validate "$1" 2>&1)
status=$?
[ -n "$out" ] && echo "$out"
[ $status -eq 0 ] && [ -z "$out" ]
