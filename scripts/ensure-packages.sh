# Sourced by the other scripts: installs the Debian packages given as arguments when any
# of them is missing (as root, or through sudo).
ensure_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing missing Debian packages: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]}" >&2; return 1; }
    sudo=(sudo)
  fi
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
}

# What building and testing the drill needs.
# The record needs Qt SQL's SQLite driver and Qt Charts, whose CMake files look for Qt OpenGL.
BUILD_PACKAGES=(g++ cmake ninja-build pkg-config qt6-base-dev libgtest-dev libgmock-dev
  libbenchmark-dev fonts-ipafont-gothic fonts-liberation qt6-translations-l10n libqt6sql6-sqlite
  qt6-charts-dev libqt6opengl6-dev
  # The class record: Qt SQL's PostgreSQL driver, libpq's headers (to cancel a statement from
  # another thread); the server and the certificates of the class tests.
  libqt6sql6-psql libpq-dev postgresql openssl)

# The package's icons are drawn from the SVG at build time.
BUILD_PACKAGES+=(librsvg2-bin)

# What the tests need beyond the build: packaging/install_test.sh builds the .deb (CPack's
# dependency scan runs dpkg-shlibdeps and file), checks it with lintian and appstreamcli,
# and renders the manual pages with man and groff.
TEST_PACKAGES=(dpkg-dev file lintian appstream man-db groff-base)

# The worksheet tests read rekendo-sheet's PDFs back with pdftotext, pdffonts and pdfinfo.
BUILD_PACKAGES+=(poppler-utils)

# What the tests need beyond the build: the screen-reader round runs the drill under Xvfb with
# its own session bus and accessibility bus, and reads it with pyatspi.
TEST_PACKAGES+=(xvfb xauth dbus dbus-x11 at-spi2-core python3-pyatspi python3-gi gir1.2-atspi-2.0)
