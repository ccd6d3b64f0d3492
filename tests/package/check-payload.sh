#!/usr/bin/env bash
# Checks the release without running it (32-bit code cannot run here):
#   check-payload.sh FOLDER VERSION
# - the setup program is 32-bit code and carries one 32-bit and one 64-bit pair;
# - each pair, in the setup program and in its zip, is code of its machine type, and the library
#   exports the six functions by their plain names and nothing else;
# - no binary needs a DLL that Windows does not bring;
# - each zip holds its folder with the two files, the help pages of docs/help in "help", the text
#   and the command file, and the setup program carries the help pages too.
set -euo pipefail
folder=$(cd "${1:?usage: check-payload.sh FOLDER VERSION}" && pwd)
version=${2:?usage: check-payload.sh FOLDER VERSION}
objdump=x86_64-w64-mingw32-objdump
pages=$(cd "$(dirname "$0")/../../docs/help" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/launcher-payload.XXXXXX")
trap 'rm -rf "$work"' EXIT

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# The machine of a PE file, from its header: x86 (0x14c), x64 (0x8664) or the number itself.
machine() {
  local pe number
  pe=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  [ -n "$pe" ] && [ "$(od -An -c -j"$pe" -N2 "$1" | tr -d ' ')" = PE ] || { echo none; return; }
  number=$(od -An -tu2 -j$((pe + 4)) -N2 "$1" | tr -d ' ')
  case "$number" in
    332) echo x86 ;;
    34404) echo x64 ;;
    *) echo "$number" ;;
  esac
}

# Windows' own libraries; anything else (a compiler runtime, say) would have to ship too.
SYSTEM_DLLS=$(echo kernel32.dll user32.dll gdi32.dll shell32.dll advapi32.dll ole32.dll oleaut32.dll \
  comctl32.dll comdlg32.dll version.dll shlwapi.dll uxtheme.dll msvcrt.dll wininet.dll winmm.dll \
  imm32.dll ws2_32.dll crypt32.dll dwmapi.dll)
SYSTEM_DLLS=" $SYSTEM_DLLS "

check_pair() { # where, folder with Launcher.exe and Launcher.dll, machine (x86 or x64)
  local where=$1 dir=$2 expected=$3 file dll
  for file in "$dir/Launcher.exe" "$dir/Launcher.dll"; do
    if [ ! -f "$file" ]; then fail "$where: no $(basename "$file")"; continue; fi
    [ "$(machine "$file")" = "$expected" ] || fail "$where: $(basename "$file") is not for machine $expected"
    for dll in $($objdump -p "$file" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z'); do
      case "$SYSTEM_DLLS" in
        *" $dll "*) ;;
        *) fail "$where: $(basename "$file") needs $dll, which Windows does not bring" ;;
      esac
    done
  done
  [ -f "$dir/Launcher.dll" ] || return 0
  local exports
  exports=$($objdump -p "$dir/Launcher.dll" |
    sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/s/^\s*\[ *[0-9]*\] //p' | sort | tr '\n' ' ')
  [ "$exports" = "GetReceiver SetReceiver StartWatching StillWatching StopAll StopWatching " ] ||
    fail "$where: Launcher.dll exports \"$exports\" instead of the six plain names"
}

setup="$folder/OrvoLauncher-$version-setup.exe"
if [ ! -f "$setup" ]; then
  fail "no $(basename "$setup")"
else
  [ "$(machine "$setup")" = x86 ] || fail "the setup program is not 32-bit code, so 32-bit Windows cannot run it"
  # Both pairs go to the same names; the extraction numbers the second ones.
  7zz x -y -aou -o"$work/setup" "$setup" >/dev/null
  for arch in x86 x64; do
    mkdir -p "$work/setup-$arch"
    for file in "$work"/setup/Launcher*.exe "$work"/setup/Launcher*.dll; do
      [ -f "$file" ] || continue
      if [ "$(machine "$file")" = "$arch" ]; then cp "$file" "$work/setup-$arch/Launcher.${file##*.}"; fi
    done
  done
  count=$(find "$work/setup" -maxdepth 1 -name 'Launcher*' -type f | wc -l)
  [ "$count" = 4 ] || fail "the setup program holds $count program files instead of two pairs"
  check_pair "setup, 32-bit pair" "$work/setup-x86" x86
  check_pair "setup, 64-bit pair" "$work/setup-x64" x64
  cmp -s "$pages/index.html" "$work/setup/help/index.html" || fail "the setup program does not carry the help index"
fi

for arch in x86 x64; do
  zip="$folder/OrvoLauncher-$version-portable-$arch.zip"
  if [ ! -f "$zip" ]; then fail "no $(basename "$zip")"; continue; fi
  mkdir -p "$work/$arch"
  (cd "$work/$arch" && cmake -E tar xf "$zip")
  listing=$(cd "$work/$arch" && find . -type f | sort | tr '\n' '|')
  expected=$( (printf '%s\n' "./Orvo Launcher/Launcher.dll" "./Orvo Launcher/Launcher.exe" "./Orvo Launcher/Read Me.txt" \
      "./Orvo Launcher/Start Orvo Launcher.cmd"
    for page in "$pages"/*; do echo "./Orvo Launcher/help/$(basename "$page")"; done) | sort | tr '\n' '|')
  [ "$listing" = "$expected" ] || fail "$(basename "$zip") holds $listing"
  check_pair "$(basename "$zip")" "$work/$arch/Orvo Launcher" "$arch"
done

if [ "$failures" -ne 0 ]; then exit 1; fi
echo "The release of $version holds what it should."
