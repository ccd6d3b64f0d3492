# Shared by scripts/test, scripts/run and scripts/screenshot. Source it; do not run it.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="$ROOT/build"
export WINEPREFIX="${LAUNCHER_WINEPREFIX:-$BUILD/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer prompts in a fresh prefix, and no desktop-menu builder process for
# every shortcut written.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
DESKTOP_SIZE=1024x768

PACKAGES=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64
          binutils-mingw-w64-i686 wine64 xvfb xauth x11-utils ninja-build cmake googletest
          imagemagick x11-apps nsis 7zip xserver-xephyr)

ensure_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages and not root: ${missing[*]}" >&2
    return 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

build_preset() {
  local preset=$1
  if [ ! -f "$BUILD/$preset/build.ninja" ]; then
    cmake --preset "$preset" -S "$ROOT" >/dev/null
  fi
  cmake --build --preset "$preset" -- -k 0
}

# Starts Xvfb on a free display number when there is no display; its number is kept in
# build/.display so that scripts/screenshot finds it.
STARTED_XVFB_PID=
ensure_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  if [ -f "$BUILD/.display" ]; then
    DISPLAY=$(cat "$BUILD/.display"); export DISPLAY
    if xdpyinfo >/dev/null 2>&1; then return 0; fi
  fi
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 ${DESKTOP_SIZE}x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
  STARTED_XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  mkdir -p "$BUILD"; echo "$DISPLAY" > "$BUILD/.display"
}

# A prefix of our own and its persistent server, with the standard streams on /dev/null: a Wine
# service that inherits CTest's pipe would keep CTest waiting forever. A new prefix is booted once
# and then given its settings by the command in the arguments (none: Wine's defaults).
STARTED_WINESERVER=
boot_prefix() {
  mkdir -p "$WINEPREFIX"
  prefix_process_running 'wineserver' || STARTED_WINESERVER=1
  "$WINESERVER" -p </dev/null >/dev/null 2>&1 || true
  if [ ! -f "$WINEPREFIX/.launcher-ready" ]; then
    "$WINE" wineboot -i </dev/null >/dev/null 2>&1
    if [ $# -gt 0 ]; then "$@"; fi
    touch "$WINEPREFIX/.launcher-ready"
    # Making the prefix leaves a desktop that Wine started by itself and ends with the last
    # program, so every later start would wait for a new one. Start afresh, with ours after.
    "$WINESERVER" -k </dev/null >/dev/null 2>&1 || true
    "$WINESERVER" -w </dev/null >/dev/null 2>&1 || true
    "$WINESERVER" -p </dev/null >/dev/null 2>&1 || true
  fi
}

# Wine's services run once per prefix: a second copy leaves COM waiting for its RPC service on
# every program start. Start them only when they are not running, and the RPC service with them.
start_prefix_services() {
  if ! prefix_process_running 'services.exe'; then
    "$WINE" wineboot </dev/null >/dev/null 2>&1
  fi
  "$WINE" net start RpcSs </dev/null >/dev/null 2>&1 || true
}

# Every program of this prefix runs on one virtual desktop with a taskbar and a tray.
use_virtual_desktop() {
  "$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >/dev/null 2>&1
  "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$DESKTOP_SIZE" /f </dev/null >/dev/null 2>&1
}

# The project's prefix with its services and a running virtual desktop.
ensure_wine() {
  boot_prefix use_virtual_desktop
  # The virtual desktop's taskbar holds the notification area.
  "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops\Default' /v EnableShell /t REG_DWORD /d 1 /f \
    </dev/null >/dev/null 2>&1
  start_prefix_services
  if ! prefix_process_running 'explorer.exe /desktop'; then
    setsid "$WINE" explorer "/desktop=Default,$DESKTOP_SIZE" </dev/null >/dev/null 2>&1 &
    sleep 2
  fi
}

# Stops the server (and with it every Wine process of the prefix) only when we started it, so a
# developer's running session is left alone.
# Whether a process of this prefix (matched by its command line) runs; other prefixes, such as a
# second checkout's, may have their own.
prefix_process_running() {
  local pid
  for pid in $(pgrep -f "$1"); do
    tr '\0' '\n' 2>/dev/null < "/proc/$pid/environ" | grep -qx "WINEPREFIX=$WINEPREFIX" && return 0
  done
  return 1
}

stop_wine() {
  [ -n "$STARTED_WINESERVER" ] || return 0
  "$WINESERVER" -k </dev/null >/dev/null 2>&1 || true
  "$WINESERVER" -w </dev/null >/dev/null 2>&1 || true
}

stop_display() {
  if [ -n "$STARTED_XVFB_PID" ]; then
    kill "$STARTED_XVFB_PID" 2>/dev/null || true
    wait "$STARTED_XVFB_PID" 2>/dev/null || true
    rm -f "$BUILD/.display"
  fi
}

# The demo data folder and settings file of scripts/run (build/demo, made once) and
# scripts/screenshots (a folder of its own, made afresh), with shortcuts to programs every Wine
# prefix has; each shortcut names its program's icon, which Wine does not look up by itself. Needs
# the prefix (ensure_wine) and the x64 build's MakeShortcut. Sets DEMO and INI.
winpath() { "$WINE" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
ensure_demo() {
  DEMO="${1:-$BUILD/demo}"
  INI="$DEMO/Launcher.ini"
  [ -f "$INI" ] && return 0
  echo "Creating the demo data folder in $DEMO"
  mkdir -p "$DEMO/Icons" "$DEMO/Menus/Tools" "$DEMO/Floating"
  mk() { "$WINE" "$BUILD/x64/tests/MakeShortcut.exe" "$(winpath "$1")" "$2" "${3:-}" "${4:-}" "${5:-0}" "$2" </dev/null >/dev/null 2>&1; }
  mk "$DEMO/Icons/Notepad.lnk" 'C:\windows\notepad.exe' '' 'Edit a text file'
  mk "$DEMO/Floating/Notepad.lnk" 'C:\windows\notepad.exe' '' 'Edit a text file'
  mk "$DEMO/Floating/Registry Editor.lnk" 'C:\windows\regedit.exe' '' 'Browse the registry'
  mk "$DEMO/Floating/Command Prompt.lnk" 'C:\windows\system32\cmd.exe'
  mk "$DEMO/Menus/Notepad.lnk" 'C:\windows\notepad.exe' '' 'Edit a text file' 0x64E  # Ctrl+Alt+N
  mk "$DEMO/Menus/Tools/Registry Editor.lnk" 'C:\windows\regedit.exe' '' 'Browse the registry'
  mk "$DEMO/Menus/Tools/Wine Configuration.lnk" 'C:\windows\system32\winecfg.exe'
  printf '[InternetShortcut]\r\nURL=https://example.com/\r\n' > "$DEMO/Menus/Example Web Site.url"
  printf '[InternetShortcut]\r\nURL=https://example.com/\r\n' > "$DEMO/Icons/Example Web Site.url"
  # The settings file names the demo data folder.
  printf '\xff\xfe' > "$INI"
  {
    printf '[Option]\r\nDataFolder=%s\\\r\n' "$(winpath "$DEMO")"
    printf '[StartGroup_Editors]\r\nInterval=5\r\nTotalFile=2\r\n'
    printf '1=C:\\windows\\notepad.exe\r\n2=C:\\windows\\regedit.exe\r\n'
  } | iconv -f utf-8 -t utf-16le >> "$INI"
}
