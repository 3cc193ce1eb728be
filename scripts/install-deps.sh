#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs to build, run and test.
# Only packages that are missing are installed; sudo is used when not root.
# llvm brings llvm-symbolizer, which puts functions, files and lines into the sanitizers' reports.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libqt6serialport6
  qt6-charts-dev libqt6charts6 qt6-datavisualization-dev libqt6datavisualization6 qt6-declarative-dev
  libqt6opengl6-dev libgl-dev libglx-dev
  qt6-qpa-plugins qt6-image-formats-plugins libjpeg62-turbo
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev llvm clang-format
  xvfb xauth imagemagick fonts-dejavu-core poppler-utils python3
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
