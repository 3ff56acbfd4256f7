#!/usr/bin/env bash
# Installs the Debian 12 packages a task needs, only those missing.
# Usage: scripts/deps.sh build|test|run|fuzz|look ...
set -euo pipefail

pkgs=()
for want in "$@"; do
  case "$want" in
    build) pkgs+=(cmake ninja-build g++ pkg-config qt6-base-dev libzip-dev libinih-dev) ;;
    test)  pkgs+=(libgtest-dev libgmock-dev libbenchmark-dev libstb-dev) ;;
    run)   pkgs+=(qt6-qpa-plugins fonts-noto-cjk) ;;
    fuzz)  pkgs+=(clang libclang-rt-14-dev) ;;
    look)  pkgs+=(xvfb imagemagick xdotool fonts-noto-cjk) ;;
    *) echo "deps.sh: unknown group '$want'" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
