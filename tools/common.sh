# Shared by tools/build, tools/test, tools/run and tools/bench: choosing the
# flavour this machine can run, installing what is missing, configuring and
# building, the project's Wine prefix, a virtual display when there is none,
# and a persistent wineserver.  Whatever a script starts is stopped when it
# exits.
#
# Two flavours of the same program exist: i686 (PE32, the released program
# and its plug-in contract, run under 32-bit Wine) and x86_64 (PE32+, run
# under 64-bit Wine).  The scripts take i686 when this machine can execute
# 32-bit programs and x86_64 otherwise.
#
# Settings (environment):
#   PINTORA_ARCH        i686 or x86_64: force a flavour
#   PINTORA_BUILD_DIR   build root (default: build/ in the source tree); each
#                       flavour builds into <root>/<flavour>/, and <root>/dist
#                       points at the dist/ of the flavour built last
#   PINTORA_WINEPREFIX  Wine prefix (default: one per checkout and flavour
#                       under ~/.cache/pintora, outside the source tree)
#   PINTORA_SCREEN      size of a virtual display (default 1024x768x24)

set -eEuo pipefail

PINTORA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_ROOT=${PINTORA_BUILD_DIR:-$PINTORA_ROOT/build}

log() { printf '[pintora] %s\n' "$*" >&2; }
die() { log "$*"; exit 1; }

# A step that fails without a message of its own still says what failed.
trap 'rc=$?; log "failed (exit $rc): $BASH_COMMAND"' ERR

# ---------------------------------------------------------------- flavour --

# Runs a 96-byte i386 Linux program that exits with 42: the one sure way to
# know whether this kernel executes 32-bit programs (some kernels are built
# or booted with 32-bit emulation disabled; their version does not say so).
# Prints the reason when it cannot.
can_run_32bit() {
  local dir probe rc out
  mkdir -p "$BUILD_ROOT"
  dir=$(mktemp -d "$BUILD_ROOT/.probe.XXXXXX")
  probe=$dir/exit42
  # ELF header, one loadable segment, then: mov eax,1; mov ebx,42; int 0x80
  printf '%b' \
    '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' \
    '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' \
    '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00' \
    '\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08' \
    '\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00' \
    '\x00\x10\x00\x00\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' > "$probe"
  chmod +x "$probe"
  rc=0
  out=$("$probe" 2>&1) || rc=$?
  rm -rf "$dir"
  if [ $rc -eq 42 ]; then
    return 0
  fi
  if [ -n "$out" ]; then
    PINTORA_32BIT_REASON=${out##*: }
  else
    PINTORA_32BIT_REASON="a 32-bit test program ended with code $rc instead of 42"
  fi
  return 1
}

# Sets PINTORA_ARCH, BUILD_DIR and DIST_DIR, and says which flavour and why.
choose_flavour() {
  PINTORA_32BIT_REASON=
  case "${PINTORA_ARCH:-}" in
    i686)
      can_run_32bit || die "PINTORA_ARCH=i686, but this machine cannot run 32-bit programs ($PINTORA_32BIT_REASON); use PINTORA_ARCH=x86_64"
      log "flavour i686 (forced by PINTORA_ARCH)";;
    x86_64)
      log "flavour x86_64 (forced by PINTORA_ARCH)";;
    "")
      if can_run_32bit; then
        PINTORA_ARCH=i686
        log "flavour i686: this machine runs 32-bit programs (PINTORA_ARCH=x86_64 forces the 64-bit one)"
      else
        PINTORA_ARCH=x86_64
        log "flavour x86_64: this machine cannot run 32-bit programs ($PINTORA_32BIT_REASON)"
      fi;;
    *)
      die "PINTORA_ARCH must be i686 or x86_64, not '$PINTORA_ARCH'";;
  esac
  BUILD_DIR=$BUILD_ROOT/$PINTORA_ARCH
  DIST_DIR=$BUILD_DIR/dist
  if [ "$PINTORA_ARCH" = i686 ]; then
    PINTORA_TOOLCHAIN=$PINTORA_ROOT/cmake/toolchain-i686-mingw.cmake
    PINTORA_WINE=wine
    PINTORA_WINESERVER=/usr/lib/wine/wineserver32
    PINTORA_WINEARCH=win32
  else
    PINTORA_TOOLCHAIN=$PINTORA_ROOT/cmake/toolchain-x86_64-mingw.cmake
    PINTORA_WINE=/usr/lib/wine/wine64
    PINTORA_WINESERVER=/usr/lib/wine/wineserver64
    PINTORA_WINEARCH=win64
  fi
}
choose_flavour

# --------------------------------------------------------------- packages --

PINTORA_PACKAGES=(wine xvfb xauth fonts-ipafont cmake ninja-build googletest g++ clang libclang-rt-14-dev)
if [ "$PINTORA_ARCH" = i686 ]; then
  PINTORA_PACKAGES+=(g++-mingw-w64-i686 wine32:i386)
else
  PINTORA_PACKAGES+=(g++-mingw-w64-x86-64 wine64)
fi

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

ensure_packages() {
  local missing=() p
  local have_i386=1
  if [ "$PINTORA_ARCH" = i686 ]; then
    dpkg --print-foreign-architectures | grep -qx i386 || have_i386=0
  fi
  for p in "${PINTORA_PACKAGES[@]}"; do
    dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null | grep -qx installed || missing+=("$p")
  done
  if [ $have_i386 -eq 1 ] && [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  log "installing what is missing: ${missing[*]:-(the i386 architecture)}"
  if [ $have_i386 -eq 0 ]; then
    as_root dpkg --add-architecture i386 ||
      die "could not add the i386 architecture that 32-bit Wine needs (run as root or with sudo)"
  fi
  as_root apt-get update -qq ||
    die "apt-get update failed: check the package sources, then run again"
  DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null ||
    die "could not install ${missing[*]} (run as root or with sudo, or install them by hand)"
}

# ------------------------------------------------------------------ build --

configure_and_build() {
  if [ ! -f "$BUILD_DIR/build.ninja" ]; then
    cmake -S "$PINTORA_ROOT" -B "$BUILD_DIR" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$PINTORA_TOOLCHAIN" >/dev/null ||
      die "configuring the $PINTORA_ARCH build in $BUILD_DIR failed (see above)"
  fi
  cmake --build "$BUILD_DIR" "$@" || die "the $PINTORA_ARCH build failed (see above)"
  # The stable path: build/dist is the dist/ of the flavour built last.
  ln -sfn "$PINTORA_ARCH/dist" "$BUILD_ROOT/dist"
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
  export WINEPREFIX=${PINTORA_WINEPREFIX:-$HOME/.cache/pintora/wine-$id-$PINTORA_ARCH}
  export WINEARCH=$PINTORA_WINEARCH
  export WINESERVER=$PINTORA_WINESERVER
  if [ "$PINTORA_ARCH" = x86_64 ]; then
    # Programs started from Wine start through the same 64-bit loader.
    export WINELOADER=$PINTORA_WINE
  fi
  export WINEDEBUG=${WINEDEBUG:--all}
  # No prompts for the .NET and HTML runtimes, which Pintora does not use.
  export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
}

# Sets one registry value in the prefix, or says which one could not be set.
wine_reg_add() {
  local key=$1; shift
  DISPLAY= "$PINTORA_WINE" reg add "$key" "$@" /f >/dev/null 2>&1 ||
    die "could not write $key in the Wine prefix $WINEPREFIX; remove that folder and run again"
}

prepare_wine_prefix() {
  setup_wine_env
  local out
  # A loader the kernel refuses ("Exec format error") fails here, before a
  # prefix is made half-way.
  out=$("$PINTORA_WINE" --version 2>&1) ||
    die "Wine ($PINTORA_WINE) does not run on this machine: ${out:-no output}; install it, or choose the other flavour with PINTORA_ARCH"
  local stamp=$WINEPREFIX/.pintora-prefix-$PINTORA_PREFIX_VERSION
  [ -f "$stamp" ] && return 0
  log "preparing the $PINTORA_WINEARCH Wine prefix $WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  if ! out=$(DISPLAY= "$PINTORA_WINE" wineboot --init 2>&1) || [ ! -f "$WINEPREFIX/system.reg" ]; then
    log "$(printf '%s\n' "$out" | tail -n 5)"
    die "could not prepare the Wine prefix $WINEPREFIX: wineboot failed (its last lines are above); remove that folder and run again"
  fi
  local r face font
  for r in "${PINTORA_FONT_REPLACEMENTS[@]}"; do
    face=${r%%=*}; font=${r#*=}
    wine_reg_add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d "$font"
  done
  # Windows not handed to an X window manager: Wine then never waits (up to
  # two seconds a window) for a manager that a virtual display lacks.
  wine_reg_add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N
  # A crashing test must fail, not wait for someone to close a crash dialog.
  wine_reg_add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
  "$WINESERVER" -w
  touch "$stamp"
}

# A persistent wineserver keeps every Wine process start short.  Starting
# one fails when the prefix already has a server; that one is left alone.
PINTORA_STARTED_WINESERVER=0
start_wineserver() {
  if "$WINESERVER" -p 2>/dev/null; then
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
  die "could not start a virtual display: Xvfb did not come up on any of :90..:140 (is the xvfb package installed?); or set DISPLAY to a running X server"
}

stop_started() {
  if [ "$PINTORA_STARTED_WINESERVER" = 1 ]; then
    "$WINESERVER" -k >/dev/null 2>&1 || true
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
  "$PINTORA_WINE" cmd /c exit </dev/null >/dev/null 2>&1 ||
    die "Wine cannot start programs in $WINEPREFIX on display $DISPLAY; remove that folder and run again"
}
