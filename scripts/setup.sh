#!/bin/sh
# Installs the Debian packages the project needs when they are missing, then
# configures and builds. Usage: scripts/setup.sh [normal|sanitize]...
set -eu
cd "$(dirname "$0")/.."

packages="cmake g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev libtiff-tools libjpeg-dev libc-bin
          qt6-qpa-plugins qt6-wayland fonts-liberation fonts-dejavu-core fonts-wqy-microhei
          xvfb xdotool openbox x11-utils libxcb1-dev"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "installing:$missing"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  # shellcheck disable=SC2086
  apt-get install -y -qq $missing
fi

# CMake's own variable, when set, limits the parallel build jobs.
jobs=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}
for kind in "${@:-normal}"; do
  case "$kind" in
    normal)   dir=build;       flags="-DARV_SANITIZE=OFF" ;;
    sanitize) dir=build-asan;  flags="-DARV_SANITIZE=ON -DARV_BENCHMARKS=OFF" ;;
    *) echo "unknown build kind: $kind" >&2; exit 2 ;;
  esac
  # shellcheck disable=SC2086
  cmake -S . -B "$dir" $flags >/dev/null
  cmake --build "$dir" -j "$jobs"
done
