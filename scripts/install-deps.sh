#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build needs and this machine
# lacks. Does nothing when everything is there already.
set -euo pipefail

packages=(
	build-essential cmake make pkg-config python3-glad
	libsdl2-dev libsdl2-image-dev libsdl2-mixer-dev libmodplug-dev
	libtinyxml2-dev libglm-dev libgl-dev libegl-dev libgl1-mesa-dri
	libgtest-dev libbenchmark-dev
	libvorbis-dev  # the sound tool encodes the game's OGG effects with it
)

missing=()
for p in "${packages[@]}"; do
	if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
		missing+=("$p")
	fi
done

if [ ${#missing[@]} -eq 0 ]; then
	exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
	sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
