#!/bin/sh
# Runs a Windows test exe under Wine in a throw-away prefix and exits with its
# exit code; 77 (skipped) when the exe has not been built or Wine is missing.
exe=$1
if [ ! -f "$exe" ]; then echo "not built: $exe"; exit 77; fi
if ! command -v wine >/dev/null; then echo "wine is missing"; exit 77; fi

prefix=$(mktemp -d "${TMPDIR:-/tmp}/cc-wine.XXXXXX") || exit 1
WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" wine "$exe"
rc=$?
WINEPREFIX=$prefix wineserver -w
rm -rf "$prefix"
exit $rc
