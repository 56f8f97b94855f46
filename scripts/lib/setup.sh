# Shared by scripts/run and scripts/test: installs the Debian packages the
# build needs when they are missing. Sourced, not run.

KAVRO_PACKAGES=(
  g++ cmake ninja-build pkg-config ccache
  libgtk-3-dev libfreetype-dev lib3ds-dev libgts-dev zlib1g-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  hershey-fonts-data fonts-urw-base35
  libepoxy-dev libegl1 libegl-mesa0 libgl1-mesa-dri
)
# The image viewer a rendered picture opens in by default.
KAVRO_PACKAGES+=(xdg-utils)
KAVRO_TEST_PACKAGES=(xvfb xauth fonts-dejavu-core clang libclang-rt-dev clang-format python3-ezdxf)
# The formats' own tools that check what the writers write.
KAVRO_TEST_PACKAGES+=(ghostscript poppler-utils qpdf librsvg2-bin libxml2-utils hp2xx)
KAVRO_TEST_PACKAGES+=(assimp-utils openscenegraph)  # LightWave objects: assimp's log, osgconv reads them whole
KAVRO_TEST_PACKAGES+=(librecad)  # draws DXF exports as another reader does (dxf2pdf)
# The ray tracer the render command starts.
KAVRO_PACKAGES+=(povray)

kavro_install_packages() {
  local missing=()
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  if ! "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"; then
    "${sudo[@]}" apt-get update
    "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
  fi
}

kavro_jobs() {
  nproc 2>/dev/null || echo 2
}
