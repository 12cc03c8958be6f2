# Sourced by the end-to-end scripts and tools/run.sh: Wine without the user's settings, a
# Ukrainian locale, and a private virtual display.
#
# WINE_ARCH=32 before sourcing selects Debian's 32-bit Wine in the i386 root of
# tests/e2e/wine32_root.sh, for the i686 programs; the script must have entered the root
# (enter_wine32_root). Otherwise it is the machine's 64-bit Wine, for the x86_64 programs.

if [ "${WINE_ARCH:-64}" = 32 ]; then
    source "$(dirname "${BASH_SOURCE[0]}")/wine32_root.sh"
    WINE_LOADER=(chroot "$WINE32_ROOT" env HOME=/root /usr/lib/wine/wine)
    WINESERVER=(chroot "$WINE32_ROOT" /usr/lib/wine/wineserver)
    WINE_FONTS=$WINE32_ROOT/usr/share/wine/fonts
    # Every instruction of Wine and of the programs is emulated: waits get this many times longer.
    WINE_TIME_SCALE=6
else
    WINE_LOADER=(/usr/lib/wine/wine64)
    WINESERVER=(/usr/lib/wine/wineserver)
    WINE_FONTS=/usr/share/wine/fonts
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
    export DISPLAY=":$(head -n1 "$display_file")"
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
