# Sourced by the run and test scripts: a Wine prefix of our own with the font replacements
# that make Chinese text and the dialogs' Verdana render on Linux.
#   wine_prefix_create <dir> [desktop]  creates a fresh prefix in <dir> (removes an old one);
#                                       with "desktop", every program runs in one virtual desktop
#   wine_prefix_ensure <dir>            creates it only when it does not exist yet
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

wine_prefix_create() {
  local dir=$1 desktop=${2:-}
  rm -rf "$dir"
  mkdir -p "$dir"
  WINEPREFIX=$dir wineboot -i >/dev/null 2>&1 || true
  local reg=$dir/fonts.reg
  # regedit wants UTF-16LE with a byte-order mark.
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    # Verdana and Arial too: Wine does not fall back to a CJK font for missing glyphs, and the
    # dialogs' Verdana carries Chinese captions.
    for face in 宋体 SimSun "MS Shell Dlg" "MS Shell Dlg 2" Tahoma 微软雅黑 Verdana Arial; do
      printf '"%s"="WenQuanYi Micro Hei"\r\n' "$face"
    done
    # Tests run in one virtual desktop: without a window manager, hiding a top-level X window
    # waits two seconds for a state change that never comes.
    if [ "$desktop" = desktop ]; then
      printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\r\n"Desktop"="Default"\r\n'
      printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"Default"="1280x1024"\r\n'
    fi
  } | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } > "$reg"
  WINEPREFIX=$dir wine regedit /S "$(WINEPREFIX=$dir winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1
  WINEPREFIX=$dir wineserver -w
}

wine_prefix_ensure() {
  [ -f "$1/system.reg" ] && [ -f "$1/fonts.reg" ] || wine_prefix_create "$1"
}
