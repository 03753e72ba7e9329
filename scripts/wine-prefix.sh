# Sourced, never run: the project's Wine prefix for the scripts and tests
# that run Windows programs. No network: the add-ons that a new prefix
# would download are switched off.

# korunex_wine_prefix ROOT [WHO]: the environment of the prefix (build/wine-prefix
# under ROOT unless KORUNEX_WINEPREFIX names another), made on first use; WHO,
# when given, says so.
korunex_wine_prefix() {
  export WINEPREFIX="${KORUNEX_WINEPREFIX:-$1/build/wine-prefix}"
  export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  [ -f "$WINEPREFIX/system.reg" ] && return 0
  [ -n "${2:-}" ] && echo "$2: making the Wine prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  timeout 300 xvfb-run -a wineboot -i >/dev/null 2>&1 || true
  timeout 60 wineserver -w || true
}

# korunex_wine_settings ROOT: the default KORUNEX.ini in the prefix's Windows
# folder, where the module reads its settings and shapes; a file already
# there is the user's and stays.
korunex_wine_settings() {
  local ini="$WINEPREFIX/drive_c/windows/KORUNEX.ini"
  [ -f "$ini" ] || cp "$1/data/KORUNEX.ini" "$ini"
}

# korunex_wine_dialog_look DECORATED: the dialog's Japanese texts in a face
# that has their glyphs (Wine's own dialog font has none), and the caption
# bars drawn by the window manager (Y) or, where none runs, by Wine (N).
korunex_wine_dialog_look() {
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS Shell Dlg' /t REG_SZ /d IPAGothic /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d "$1" /f >/dev/null 2>&1
}
