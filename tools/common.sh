# Shared by tools/build, tools/test, tools/run and tools/bench: installing
# what is missing, configuring and building, the project's Wine prefix, a
# virtual display when there is none, and a persistent wineserver.  Whatever
# a script starts is stopped when it exits.
#
# Settings (environment):
#   PINTORA_BUILD_DIR   build folder (default: build/ in the source tree)
#   PINTORA_WINEPREFIX  Wine prefix (default: one per checkout under
#                       ~/.cache/pintora, outside the source tree)
#   PINTORA_SCREEN      size of a virtual display (default 1024x768x24)

set -euo pipefail

PINTORA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${PINTORA_BUILD_DIR:-$PINTORA_ROOT/build}
DIST_DIR=$BUILD_DIR/dist

log() { printf '[pintora] %s\n' "$*" >&2; }

# --------------------------------------------------------------- packages --

PINTORA_PACKAGES=(g++-mingw-w64-i686 wine wine32:i386 xvfb xauth fonts-ipafont
                  cmake ninja-build googletest g++)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

ensure_packages() {
  local missing=() p
  local have_i386=1
  dpkg --print-foreign-architectures | grep -qx i386 || have_i386=0
  for p in "${PINTORA_PACKAGES[@]}"; do
    dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null | grep -qx installed || missing+=("$p")
  done
  if [ $have_i386 -eq 1 ] && [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  log "installing what is missing: ${missing[*]:-(the i386 architecture)}"
  [ $have_i386 -eq 1 ] || as_root dpkg --add-architecture i386
  as_root apt-get update -qq
  DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
}

# ------------------------------------------------------------------ build --

configure_and_build() {
  if [ ! -f "$BUILD_DIR/build.ninja" ]; then
    cmake -S "$PINTORA_ROOT" -B "$BUILD_DIR" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$PINTORA_ROOT/cmake/toolchain-i686-mingw.cmake" >/dev/null
  fi
  cmake --build "$BUILD_DIR" "$@"
}

# -------------------------------------------------------------------- wine --

# Faces the program and its dialogs ask for, mapped to the IPA fonts so that
# Japanese is readable under Wine.
PINTORA_FONT_REPLACEMENTS=(
  "MS UI Gothic=IPAPGothic"
  "ＭＳ Ｐゴシック=IPAPGothic"
  "ＭＳ ゴシック=IPAGothic"
  "MS Shell Dlg=IPAPGothic"
  "Tahoma=IPAPGothic"
)
PINTORA_PREFIX_VERSION=3

setup_wine_env() {
  local id
  id=$(printf '%s' "$PINTORA_ROOT" | sha1sum | cut -c1-10)
  export WINEPREFIX=${PINTORA_WINEPREFIX:-$HOME/.cache/pintora/wine-$id}
  export WINEARCH=win32
  export WINEDEBUG=${WINEDEBUG:--all}
  # No prompts for the .NET and HTML runtimes, which Pintora does not use.
  export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
}

prepare_wine_prefix() {
  setup_wine_env
  local stamp=$WINEPREFIX/.pintora-prefix-$PINTORA_PREFIX_VERSION
  [ -f "$stamp" ] && return 0
  log "preparing the Wine prefix $WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  DISPLAY= wine wineboot --init >/dev/null 2>&1 || true
  local r face font
  for r in "${PINTORA_FONT_REPLACEMENTS[@]}"; do
    face=${r%%=*}; font=${r#*=}
    DISPLAY= wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d "$font" /f >/dev/null 2>&1
  done
  # Windows not handed to an X window manager: Wine then never waits (up to
  # two seconds a window) for a manager that a virtual display lacks.
  DISPLAY= wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  # A crashing test must fail, not wait for someone to close a crash dialog.
  DISPLAY= wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wineserver -w
  touch "$stamp"
}

# A persistent wineserver keeps every Wine process start short.  Starting
# one fails when the prefix already has a server; that one is left alone.
PINTORA_STARTED_WINESERVER=0
start_wineserver() {
  if wineserver -p 2>/dev/null; then
    PINTORA_STARTED_WINESERVER=1
  fi
}

# ----------------------------------------------------------------- display --

PINTORA_XVFB_PID=
start_display_if_needed() {
  if [ -n "${DISPLAY:-}" ]; then return 0; fi
  local n i
  # Several checkouts may start displays at the same moment: take the first
  # number whose server really comes up.
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 "${PINTORA_SCREEN:-1024x768x24}" -nolisten tcp >/dev/null 2>&1 &
    PINTORA_XVFB_PID=$!
    for i in $(seq 1 100); do
      kill -0 "$PINTORA_XVFB_PID" 2>/dev/null || break
      if [ -e "/tmp/.X11-unix/X$n" ]; then
        export DISPLAY=":$n"
        log "virtual display $DISPLAY"
        return 0
      fi
      sleep 0.05
    done
    kill "$PINTORA_XVFB_PID" 2>/dev/null || true
    PINTORA_XVFB_PID=
  done
  log "could not start a virtual display"
  return 1
}

stop_started() {
  if [ "$PINTORA_STARTED_WINESERVER" = 1 ]; then
    wineserver -k >/dev/null 2>&1 || true
    PINTORA_STARTED_WINESERVER=0
  fi
  if [ -n "$PINTORA_XVFB_PID" ]; then
    kill "$PINTORA_XVFB_PID" 2>/dev/null || true
    wait "$PINTORA_XVFB_PID" 2>/dev/null || true
    PINTORA_XVFB_PID=
  fi
}

# Everything a script needs before it runs Windows programs.
start_runtime() {
  prepare_wine_prefix
  trap stop_started EXIT
  start_display_if_needed
  start_wineserver
  # Start Wine's own services and desktop now, detached from our output:
  # started by the first test instead, they would inherit CTest's pipes and
  # CTest would wait for them to close until the timeout.
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}
