#!/usr/bin/env bash
# packaging/install_test.sh SOURCE_DIR WORK_DIR [BUILD_DIR]
# What a school server's administrator does with the package: build the .deb the README
# describes, have lintian and appstreamcli check it, install it with apt (so its
# dependencies resolve), use every program from the installed paths, purge it, and find
# nothing of it left. It changes the system, so it runs only as root with apt and dpkg;
# elsewhere it says why in one line and exits 77, which ctest counts as skipped.
set -euo pipefail

readonly SKIPPED=77
[ $# -eq 2 ] || [ $# -eq 3 ] || { echo "usage: $0 SOURCE_DIR WORK_DIR [BUILD_DIR]" >&2; exit 2; }
source_dir=$(cd "$1" && pwd)
readonly source_dir

skip() { echo "skipped: $*"; exit "$SKIPPED"; }
[ "$(id -u)" -eq 0 ] || skip "installing a package needs root"
for tool in apt-get dpkg dpkg-deb dpkg-shlibdeps file lintian appstreamcli man groff cmake ninja; do
  command -v "$tool" >/dev/null || skip "$tool is not installed (bash scripts/test.sh installs it)"
done

mkdir -p "$2"
work=$(cd "$2" && pwd)
readonly work

fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "== $*"; }

readonly build="$work/build" log="$work/build.log"

if [ $# -eq 3 ]; then
  # The suite's own tree is built already: CPack installs it under /usr (the menu entry
  # takes its prefix at install time) and strips it, so no second tree is compiled.
  step "package the tree the suite built ($3)"
  tree=$(cd "$3" && pwd)
  rm -rf "$build"
  if ! (cpack -G DEB --config "$tree/CPackConfig.cmake" -B "$build") >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    fail "the package did not build (whole log: $log)"
  fi
else
  step "build the package (Release, without tests)"
  # Another build may be using the other core: two jobs, as everywhere on this machine.
  if ! {
    cmake -S "$source_dir" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DREKENDO_TESTS=OFF \
      -DCMAKE_INSTALL_PREFIX=/usr &&
      cmake --build "$build" -j2 &&
      rm -f "$build"/rekendo_*.deb &&
      (cd "$build" && cpack -G DEB)
  } >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    fail "the package did not build (whole log: $log)"
  fi
fi
debs=("$build"/rekendo_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then fail "expected one .deb in $build: ${debs[*]}"; fi
readonly deb=${debs[0]}
version=$(dpkg-deb -f "$deb" Version)
readonly version
echo "$deb, version $version"

step "lintian"
lintian --fail-on error,warning "$deb" 2> >(grep -v 'running with root privileges' >&2) ||
  fail "lintian found errors or warnings"

step "appstreamcli validate --no-net"
unpacked="$work/unpacked"
rm -rf "$unpacked"
dpkg-deb -x "$deb" "$unpacked"
metainfo=("$unpacked"/usr/share/metainfo/*.metainfo.xml)
[ -f "${metainfo[0]}" ] || fail "the package holds no metainfo"
for file in "${metainfo[@]}"; do
  report=$(appstreamcli validate --no-net --no-color "$file" 2>&1) || { echo "$report"; fail "$file is invalid"; }
  if grep -Eq '^[EW]:' <<<"$report"; then echo "$report"; fail "$file has errors or warnings"; fi
done

step "install with apt-get (replacing an installed copy)"
if dpkg-query -W -f='${Status}' rekendo 2>/dev/null | grep -q "ok installed"; then
  DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq rekendo >/dev/null
fi
installed=0
# Purge what this run installed even when a check below fails.
trap '[ $installed -eq 0 ] || DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq rekendo >/dev/null 2>&1 || true' EXIT
install_deb() { DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >>"$work/apt.log" 2>&1; }
: >"$work/apt.log"
# A dependency missing from an old package list needs it fetched once.
install_deb || { apt-get update -qq >>"$work/apt.log" 2>&1 && install_deb; } ||
  { tail -n 20 "$work/apt.log" >&2; fail "apt-get install $deb failed"; }
installed=1
mapfile -t owned < <(dpkg -L rekendo)

step "the drill starts from the installed paths"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM /usr/bin/rekendo --version) ||
  fail "rekendo --version failed"
[ "$out" = "rekendo $version" ] || fail "rekendo --version printed '$out'"
home="$work/home"
rm -rf "$home"
mkdir -p "$home"
status=0
(cd /usr/share/rekendo && HOME="$home" XDG_DATA_HOME="" XDG_RUNTIME_DIR="" QT_QPA_PLATFORM=offscreen \
  timeout 3 /usr/bin/rekendo) >"$work/drill.log" 2>&1 || status=$?
[ "$status" -eq 124 ] || { cat "$work/drill.log" >&2; fail "rekendo ended with $status before 3 seconds"; }
# The drill's own complaints (Qt's Japanese texts missing, say) start with its name.
if grep '^rekendo:' "$work/drill.log"; then fail "rekendo complained at start"; fi

step "rekendo-check on the installed samples"
rekendo-check /usr/share/rekendo/*.mon /usr/share/rekendo/計算力雑学.zat \
  /usr/share/rekendo/計算力判定文.han || fail "rekendo-check found something in the samples"

step "every installed command: --version and its manual"
commands=0
for path in "${owned[@]}"; do
  [[ $path == /usr/bin/* && -f $path ]] || continue
  name=${path##*/}
  commands=$((commands + 1))
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$path" --version) || fail "$name --version failed"
  [ "$out" = "$name $version" ] || fail "$name --version printed '$out'"
  page=/usr/share/man/man1/$name.1.gz
  [ -f "$page" ] || fail "$name has no manual page"
  warnings=$(zcat "$page" | groff -ww -man -Tutf8 -z 2>&1) || fail "groff failed on $page"
  [ -z "$warnings" ] || fail "groff warns on $page: $warnings"
  rendered=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>"$work/man.err") ||
    fail "man -l $page failed"
  [ ! -s "$work/man.err" ] || fail "man warns on $page: $(cat "$work/man.err")"
  grep -q "^NAME" <<<"$rendered" || fail "man -l $page rendered no NAME section"
done
[ "$commands" -ge 3 ] || fail "only $commands commands installed"

step "purge, and nothing left under /usr"
DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq rekendo >/dev/null || fail "apt-get purge failed"
installed=0
! dpkg-query -W -f='${Status}' rekendo 2>/dev/null | grep -q "ok installed" ||
  fail "rekendo is still installed"
left=0
for path in "${owned[@]}"; do
  [[ $path == /usr/* ]] || continue
  [ -e "$path" ] || [ -L "$path" ] || continue
  # A folder others use (owned by another package, or holding others' files) stays.
  if [ -d "$path" ] && { dpkg -S "$path" >/dev/null 2>&1 || [ -n "$(ls -A "$path")" ]; }; then
    continue
  fi
  echo "left behind: $path" >&2
  left=$((left + 1))
done
[ "$left" -eq 0 ] || fail "$left paths of the package are still there"
echo "package $version: built, lintian and appstreamcli clean, installed, ran, purged"
