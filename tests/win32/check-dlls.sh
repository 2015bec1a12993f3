#!/usr/bin/env bash
# Checks a runnable Windows folder against what its programs load, so a missing DLL shows up here
# rather than on a user's machine: every DLL that vornik.exe and the Qt plugins import (and that those
# import in turn) is either in the folder or part of Windows; every DLL in the folder is loaded by
# something; the plugins Qt loads by name, the key-map file and the README are there.
# Usage: check-dlls.sh FOLDER
set -euo pipefail
folder=${1:?usage: check-dlls.sh FOLDER}
objdump=x86_64-w64-mingw32-objdump
fail=0

# The DLLs that come with every Windows (or name an API set of it), in lower case.
system='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comdlg32|comctl32|imm32|winmm|ws2_32|msvcrt|'
system+='dwmapi|uxtheme|version|netapi32|userenv|mpr|shlwapi|wtsapi32|setupapi|winspool\.drv|d3d9|d3d11|d3d12|'
system+='dxgi|dwrite|d2d1|shcore|authz|secur32|crypt32|bcrypt|ntdll|api-ms-win-.*|ext-ms-win-.*)\.dll$'

for file in vornik.exe keymap README.md platforms/qwindows.dll; do
    [ -f "$folder/$file" ] || { echo "missing: $file"; fail=1; }
done
styles=("$folder"/styles/*.dll)
[ -f "${styles[0]}" ] || { echo "missing: a style plugin in styles/"; fail=1; }
[ $fail -eq 0 ] || exit 1

imports() { "$objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | tr -d '\r'; }

# Breadth-first from the program and the plugins; `seen` holds the folder's DLLs reached so far.
declare -A seen=()
queue=("$folder/vornik.exe" "$folder"/platforms/*.dll "$folder"/styles/*.dll)
while [ ${#queue[@]} -gt 0 ]; do
    binary=${queue[0]}
    queue=("${queue[@]:1}")
    while read -r dll; do
        [ -n "$dll" ] || continue
        [[ $dll =~ $system ]] && continue
        [ -n "${seen[$dll]:-}" ] && continue
        local_file=$(find "$folder" -maxdepth 1 -iname "$dll" -print -quit)
        if [ -z "$local_file" ]; then
            echo "missing: $dll (imported by ${binary#"$folder"/})"
            fail=1
            continue
        fi
        seen[$dll]=1
        queue+=("$local_file")
    done < <(imports "$binary")
done

for file in "$folder"/*.dll; do
    name=$(basename "$file" | tr 'A-Z' 'a-z')
    [ -n "${seen[$name]:-}" ] || { echo "not loaded by anything: $(basename "$file")"; fail=1; }
done

if [ $fail -eq 0 ]; then
    echo "$folder: vornik.exe and its plugins find all ${#seen[@]} DLLs they import; none is left over"
fi
exit $fail
