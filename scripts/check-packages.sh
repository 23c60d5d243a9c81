#!/usr/bin/env bash
# Makes the packages and checks them as a user gets them.
#   linux:   the .deb of the release build, unpacked with dpkg-deb -x: the
#            unpacked programs print their version, compile the example to
#            the bytes the build tree's tarvel-cli writes, and compile an OBJ
#            scene with the unpacked helper (the build tree's is hidden).
#   windows: the zip and the installer of the windows build; the installer
#            runs silently under wine, the installed tarvel-cli.exe compiles
#            the example to the Linux bytes, and the uninstaller takes away
#            what was installed.
# Usage: scripts/check-packages.sh [linux] [windows]   (default: both)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

checks=("$@")
if [ ${#checks[@]} -eq 0 ]; then checks=(linux windows); fi

scratch=$(mktemp -d)
hidden_helper=""
cleanup() {
  if [ -n "$hidden_helper" ]; then mv "$hidden_helper.hidden" "$hidden_helper"; fi
  rm -rf "$scratch"
}
trap cleanup EXIT

fail() {
  echo "check-packages: $*" >&2
  exit 1
}

# DIR [ARGS]: cpack in DIR, its chatter shown only when it fails.
run_cpack() {
  local dir=$1
  shift
  (cd "$dir" && cpack "$@") >"$scratch/cpack.log" 2>&1 || {
    cat "$scratch/cpack.log" >&2
    fail "cpack failed in $dir"
  }
}

project_version() {
  sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$1/CMakeCache.txt"
}

# PROGRAM NAME [RUNNER]: the program's --version names it and the version.
check_version() {
  local line
  line=$(${3:-} "$1" --version | tr -d '\r') || fail "$1 --version failed"
  [[ $line == "$2 $version" || $line == "$2 $version (commit "*")" ]] ||
    fail "$1 --version printed '$line'"
  echo "  $line"
}

write_cube_obj() {
  cat >"$1" <<'EOF'
v 0 0 0
v 2 0 0
v 2 2 0
v 0 2 0
v 0 0 2
v 2 0 2
v 2 2 2
v 0 2 2
f 1 4 3 2
f 5 6 7 8
f 1 2 6 5
f 2 3 7 6
f 3 4 8 7
f 4 1 5 8
EOF
}

reference_3do() {
  if [ ! -f "$scratch/reference.3do" ]; then
    build/release/src/cli/tarvel-cli compile examples/village.ase -o "$scratch/reference.3do" \
      >/dev/null 2>&1 || fail "the build tree's tarvel-cli did not compile the example"
  fi
  echo "$scratch/reference.3do"
}

check_linux() {
  echo "== Linux package"
  # The package target would build the tests too; the package needs only
  # what it installs.
  cmake --build --preset release --target tarvel tarvel-cli tarvel-import
  run_cpack build/release -G DEB
  version=$(project_version build/release)
  local deb=build/release/tarvel_${version}_amd64.deb
  [ -f "$deb" ] || fail "no $deb"
  local depends
  depends=$(dpkg-deb -f "$deb" Depends)
  for lib in libassimp libpng libqt6widgets6 libstdc++6; do
    grep -q "$lib" <<<"$depends" || fail "the package does not depend on $lib: $depends"
  done
  local unpacked=$scratch/deb
  dpkg-deb -x "$deb" "$unpacked"
  local usr=$unpacked/usr
  for f in bin/tarvel bin/tarvel-cli libexec/tarvel/tarvel-import \
    share/applications/tarvel.desktop share/mime/packages/tarvel.xml \
    share/icons/hicolor/48x48/apps/tarvel.png share/icons/hicolor/256x256/apps/tarvel.png; do
    [ -e "$usr/$f" ] || fail "the package holds no /usr/$f"
  done
  check_version "$usr/bin/tarvel" tarvel
  check_version "$usr/bin/tarvel-cli" tarvel-cli
  check_version "$usr/libexec/tarvel/tarvel-import" tarvel-import

  local reference
  reference=$(reference_3do)
  # Only the unpacked helper can be found: the programs know the build
  # tree's as a last resort.
  hidden_helper=$root/build/release/src/import/helper/tarvel-import
  mv "$hidden_helper" "$hidden_helper.hidden"
  "$usr/bin/tarvel-cli" compile examples/village.ase -o "$scratch/deb.3do" >/dev/null 2>&1 ||
    fail "the unpacked tarvel-cli did not compile the example"
  cmp "$reference" "$scratch/deb.3do" || fail "the unpacked tarvel-cli wrote other bytes"
  write_cube_obj "$scratch/cube.obj"
  "$usr/bin/tarvel-cli" compile "$scratch/cube.obj" >"$scratch/cube.out" 2>&1 ||
    fail "the unpacked tarvel-cli did not compile an OBJ scene: $(cat "$scratch/cube.out")"
  [ -s "$scratch/cube.3do" ] || fail "the unpacked tarvel-cli wrote no cube.3do"
  mv "$hidden_helper.hidden" "$hidden_helper"
  hidden_helper=""
  echo "  the unpacked programs compile the example and an OBJ scene"
}

check_windows() {
  echo "== Windows packages"
  cmake --preset windows >/dev/null
  # The window goes into the packages where this tree builds it.
  local window=()
  if ninja -C build/windows -t targets all | grep -q '^tarvel_win:'; then
    window=(tarvel.exe)
  fi
  cmake --build --preset windows --target tarvel-cli tarvel-import ${window:+tarvel_win}
  run_cpack build/windows
  version=$(project_version build/windows)
  local zip=build/windows/tarvel-$version-win64.zip
  local setup=build/windows/tarvel-$version-win64-setup.exe
  [ -f "$zip" ] || fail "no $zip"
  [ -f "$setup" ] || fail "no $setup"
  local listing
  listing=$(unzip -Z1 "$zip")
  for f in tarvel-cli.exe tarvel-import.exe "${window[@]}" README.md licences/gcc-runtime.txt \
    licences/winpthreads.txt licences/zlib.txt licences/libpng.txt licences/assimp.txt \
    licences/minizip.txt licences/stb.txt licences/utf8cpp.txt licences/cli11.txt; do
    grep -qx "tarvel-$version-win64/$f" <<<"$listing" || fail "the zip holds no $f"
  done

  # A prefix of its own, so that what the installer writes meets nothing
  # left by the test suite, and is thrown away afterwards.
  export WINEPREFIX=$scratch/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  local wine=/usr/lib/wine/wine64 wineserver=/usr/lib/wine/wineserver
  "$wine" wineboot -i >/dev/null 2>&1
  "$wine" "$setup" /S
  "$wineserver" -w
  local dir="$WINEPREFIX/drive_c/Program Files/Tarvel"
  for f in tarvel-cli.exe tarvel-import.exe "${window[@]}" uninstall.exe README.md licences/zlib.txt; do
    [ -f "$dir/$f" ] || fail "the installer put no $f into Program Files\\Tarvel"
  done
  check_version "$dir/tarvel-cli.exe" tarvel-cli "$wine"
  check_version "$dir/tarvel-import.exe" tarvel-import "$wine"
  registered "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvel" ||
    fail "no uninstaller registered"
  local context_key='HKLM\Software\Classes\SystemFileAssociations\.ase\shell\Tarvel.Compile3DO'
  registered "$context_key\\command" || fail "no context-menu entry"
  grep -qiF 'C:\Program Files\Tarvel' <<<"$(system_path)" || fail "tarvel-cli is not on the PATH"
  # wine keeps the shortcuts as .lnk files in the prefix, as Windows does,
  # but shows them nowhere (its menu builder is off): only the files are seen.
  local want_shortcuts=("Start Menu/Programs/Tarvel/Tarvel command line.lnk"
                        "Start Menu/Programs/Tarvel/Uninstall Tarvel.lnk")
  local open_keys=()
  if [ ${#window[@]} -gt 0 ]; then
    want_shortcuts+=("Start Menu/Programs/Tarvel/Tarvel.lnk" "Public/Desktop/Tarvel.lnk")
    open_keys=('HKLM\Software\Classes\SystemFileAssociations\.ase\shell\Tarvel.Open\command'
               'HKLM\Software\Classes\SystemFileAssociations\.3do\shell\Tarvel.Open\command'
               'HKLM\Software\Classes\Applications\tarvel.exe\shell\open\command')
  fi
  local found
  found=$(shortcuts)
  for f in "${want_shortcuts[@]}"; do
    grep -qF "$f" <<<"$found" || fail "the installer made no shortcut $f (made: $found)"
  done
  for key in "${open_keys[@]}"; do
    registered "$key" || fail "no 'Open with Tarvel' entry $key"
  done

  local reference
  reference=$(reference_3do)
  mkdir "$scratch/win"
  cp examples/village.ase "$scratch/win/"
  (cd "$scratch/win" && "$wine" "$dir/tarvel-cli.exe" compile village.ase >/dev/null 2>&1) ||
    fail "the installed tarvel-cli.exe did not compile the example"
  cmp "$reference" "$scratch/win/village.3do" || fail "tarvel-cli.exe wrote other bytes than Linux"
  # A file dropped onto the program arrives as its only argument, by its
  # full name.
  cp examples/village.ase "$scratch/win/dropped.ase"
  "$wine" "$dir/tarvel-cli.exe" "$(windows_name "$scratch/win/dropped.ase")" >/dev/null 2>&1 ||
    fail "tarvel-cli.exe did not compile a file dropped onto it"
  cmp "$reference" "$scratch/win/dropped.3do" || fail "a dropped file compiled to other bytes"
  # The context-menu entry's command as Explorer runs it, %1 filled in; a
  # batch file hands it to cmd unquoted by anyone else.
  cp examples/village.ase "$scratch/win/menu.ase"
  local command
  command=$("$wine" reg query "$context_key\\command" /ve | tr -d '\r' |
    sed -n 's/^ *(Default) *REG_SZ *//p')
  printf '@%s\r\n' "${command//%1/$(windows_name "$scratch/win/menu.ase")}" >"$scratch/win/menu.bat"
  (cd "$scratch/win" && "$wine" cmd /c menu.bat </dev/null >/dev/null 2>&1) || true
  cmp "$reference" "$scratch/win/menu.3do" || fail "the context-menu entry did not compile the file"
  echo "  the installed tarvel-cli.exe compiles the example to the Linux bytes, given by"
  echo "  name, dropped and from the context menu"

  "$wine" "$dir/uninstall.exe" /S
  "$wineserver" -w
  [ ! -e "$dir" ] || fail "the uninstaller left $(cd "$dir" && find . | tr '\n' ' ')"
  ! registered "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvel" ||
    fail "the uninstaller left its Add/Remove Programs entry"
  ! registered "$context_key" || fail "the uninstaller left the context-menu entry"
  ! grep -qi 'Tarvel' <<<"$(system_path)" || fail "the uninstaller left Tarvel on the PATH"
  [ -z "$(shortcuts)" ] || fail "the uninstaller left the shortcuts $(shortcuts)"
  for key in "${open_keys[@]}"; do
    ! registered "$key" || fail "the uninstaller left the 'Open with Tarvel' entry $key"
  done
  echo "  the uninstaller takes away what was installed"
  "$wineserver" -k || true
}

# A Unix path as the programs under wine see it: on drive Z.
windows_name() {
  printf 'Z:%s' "${1//\//\\}"
}

# The installer's shortcuts anywhere in the prefix.
shortcuts() {
  find "$WINEPREFIX/drive_c" -iname '*tarvel*.lnk' | sort
}

registered() {
  /usr/lib/wine/wine64 reg query "$1" >/dev/null 2>&1
}

system_path() {
  /usr/lib/wine/wine64 reg query \
    'HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment' /v Path | tr -d '\r'
}

for check in "${checks[@]}"; do
  case "$check" in
    linux) check_linux ;;
    windows) check_windows ;;
    *) fail "unknown check '$check' (linux, windows)" ;;
  esac
done
