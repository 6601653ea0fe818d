#!/usr/bin/env bash
# Installs the Debian packages the project needs and the machine lacks.
# Usage: install-deps.sh [SET...]   (sets are the files in scripts/packages;
# default: all of them). Runs as root, or through sudo when it is there.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
sets=("$@")
if [ ${#sets[@]} -eq 0 ]; then
  for f in "$here"/packages/*.txt; do sets+=("$(basename "$f" .txt)"); done
fi

wanted=()
for s in "${sets[@]}"; do
  while read -r pkg _; do
    case "$pkg" in ''|'#'*) continue ;; esac
    wanted+=("$pkg")
  done < "$here/packages/$s.txt"
done

missing=()
for pkg in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$pkg")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

# Multi-arch packages (name:i386) need their architecture first.
for pkg in "${missing[@]}"; do
  case "$pkg" in *:i386)
    dpkg --print-foreign-architectures | grep -qx i386 || $SUDO dpkg --add-architecture i386 ;;
  esac
done

echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
