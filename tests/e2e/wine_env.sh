# shellcheck shell=bash
# Sourced by the end-to-end scripts and tools/run.sh: Wine without the user's settings, a
# Ukrainian locale, and a private virtual display.
#
# WINE_ARCH=32 before sourcing selects the Wine that runs the i686 programs
# (tests/e2e/wine32_root.sh): the machine's Wine in its WoW64 mode, or Debian's 32-bit Wine in the
# emulated i386 root, which the script must have entered (enter_wine32_root). Otherwise it is the
# machine's 64-bit Wine, for the x86_64 programs. Wine's programs and fonts are where its packages
# put them.

source "$(dirname "${BASH_SOURCE[0]}")/wine32_root.sh"
# shellcheck disable=SC2034 # WINE_TIME_SCALE is for the scripts that source this file
if [ "${WINE_ARCH:-64}" = 32 ] && [ "$WINE32_MODE" = emulated ]; then
    WINE_LOADER=(chroot "$WINE32_ROOT" env HOME=/root
        "$(installed_file "$WINE32_ROOT" -x wine32 libwine -- wine)")
    WINESERVER=(chroot "$WINE32_ROOT"
        "$(installed_file "$WINE32_ROOT" -x libwine wine32 -- wineserver)")
    WINE_FONTS=$WINE32_ROOT$(installed_file "$WINE32_ROOT" -f fonts-wine -- marlett.ttf)
    WINE_FONTS=${WINE_FONTS%/*}
    # Every instruction of Wine and of the programs is emulated: waits get this many times longer.
    WINE_TIME_SCALE=6
elif [ "${WINE_ARCH:-64}" = 32 ]; then
    # The i386 Windows DLLs that the machine's Wine lacks (tools/wine32-env.sh), if it lacks them.
    dll_path=()
    [ -d "$WINE32_WOW64_DLLS/i386-windows" ] && dll_path=(WINEDLLPATH="$WINE32_WOW64_DLLS")
    WINE_LOADER=(env "${dll_path[@]}" "$WINE64_LOADER")
    WINESERVER=("$WINE64_SERVER")
    WINE_FONTS=$WINE64_FONTS
    # Wine's WoW64 mode converts every call of the 32-bit code: a little slower than 64-bit.
    WINE_TIME_SCALE=2
else
    WINE_LOADER=("$WINE64_LOADER")
    WINESERVER=("$WINE64_SERVER")
    WINE_FONTS=$WINE64_FONTS
    WINE_TIME_SCALE=1
fi
export WINEDEBUG=-all
# No Mono or Gecko install prompts while the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="

# Runs a Windows program under wine64. The ANSI code page follows the locale: uk_UA gives
# Windows-1251, so the programs' texts are shown and read back unchanged. Wine honours LC_ALL even
# when glibc has no such locale generated (LANG alone would need it); set only for Wine, so that
# the shell does not complain about the missing glibc locale.
WINE=(env LANG=uk_UA.UTF-8 LC_ALL=uk_UA.UTF-8 "${WINE_LOADER[@]}")
wine() {
    "${WINE[@]}" "$@"
}

# Z:\ is the root of the Unix file system in every prefix.
windows_path() {
    local path
    path=$(realpath -m "$1")
    printf 'Z:%s' "${path//\//\\}"
}

# Starts Xvfb on a display that is free and exports DISPLAY. Stop it with stop_virtual_display.
xvfb_pid=
start_virtual_display() {
    local display_file
    display_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
    xvfb_pid=$!
    local waited=0
    while [ ! -s "$display_file" ]; do
        if [ $waited -ge 100 ] || ! kill -0 "$xvfb_pid" 2>/dev/null; then
            echo "Xvfb did not start" >&2
            rm -f "$display_file"
            return 1
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
    DISPLAY=":$(head -n1 "$display_file")"
    export DISPLAY
    rm -f "$display_file"
}

stop_virtual_display() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
        xvfb_pid=
    fi
}

# Ends every Wine process of the prefix (the programs, and Wine's own desktop process, which
# holds on to the display).
stop_wine() {
    "${WINESERVER[@]}" -k 2>/dev/null || true
    "${WINESERVER[@]}" -w 2>/dev/null || true
}

# Debian's Wine looks for its own fonts in /usr/share/fonts, while fonts-wine puts them in
# /usr/share/wine/fonts, so Wine finds none of them: no Marlett (the caption buttons show the
# letters "0 1 r") and no bitmap System font. A copy in the prefix's Fonts folder is always found.
install_wine_fonts() {
    local fonts="$1/drive_c/windows/Fonts"
    mkdir -p "$fonts"
    cp "$WINE_FONTS"/* "$fonts/"
}

# Makes a fresh prefix. With "tests" it gets the settings that keep tests fast and honest:
# without a window manager Wine waits about 2 s on every hide unless its windows are unmanaged,
# and a crash would otherwise sit behind a dialog.
create_wine_prefix() {
    local prefix=$1 purpose=${2:-tests}
    rm -rf "$prefix"
    mkdir -p "$prefix"
    export WINEPREFIX=$prefix
    install_wine_fonts "$prefix"
    wine wineboot --init >/dev/null 2>&1
    if [ "$purpose" = tests ]; then
        local settings="$prefix/test-settings.reg"
        cat >"$settings" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
        wine regedit /S "$(windows_path "$settings")" >/dev/null 2>&1
    fi
    stop_wine
    [ -f "$prefix/system.reg" ] || return 1
    if [ "$purpose" = tests ]; then
        grep -q '"Managed"="N"' "$prefix/user.reg" &&
            grep -q '"ShowCrashDialog"=dword:00000000' "$prefix/user.reg"
    fi
}

# BMP screenshots of the driver into PNG.
convert_screenshots() {
    local bmp
    for bmp in "$@"; do
        [ -f "$bmp" ] || continue
        convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
    done
}
