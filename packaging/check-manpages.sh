#!/bin/sh
# Renders each manual page given with groff and with man, as lintian does;
# fails on any warning. Exit code 77 (skipped) when groff or man is missing
# (Debian packages groff-base and man-db).
#   check-manpages.sh PAGE.1...
command -v groff >/dev/null && command -v man >/dev/null || {
    echo "groff or man missing (apt-get install groff-base man-db)"
    exit 77
}
status=0
for page in "$@"; do
    warnings=$( { groff -k -man -Tutf8 -ww -z "$page" &&
                  LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" >/dev/null; } 2>&1)
    if [ $? -ne 0 ] || [ -n "$warnings" ]; then
        echo "$page:"
        echo "$warnings"
        status=1
    fi
done
exit $status
