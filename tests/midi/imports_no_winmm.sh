#!/bin/sh
# winmm must never be linked (the loader could take a copy beside the exe):
# fails if any exe at the top of the Windows build folder imports it.
# 77 (skipped) when nothing has been built there.
dir=$1
found=0
for exe in "$dir"/*.exe; do
    [ -f "$exe" ] || continue
    found=1
    if x86_64-w64-mingw32-objdump -p "$exe" | grep -i 'DLL Name: *winmm'; then
        echo "$exe imports winmm"
        exit 1
    fi
done
[ $found = 1 ] || { echo "nothing built in $dir"; exit 77; }
