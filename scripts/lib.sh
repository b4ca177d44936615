# Shared by the scripts: package installation and the build.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Installs the Debian packages that are missing; apt-get update runs once first.
ensure_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

# True when Wine is installed or the package lists offer it.
wine_installable() {
  command -v wine >/dev/null 2>&1 && return 0
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq >/dev/null 2>&1 || true
  apt-cache policy wine64 2>/dev/null | grep -q 'Candidate: [0-9]'
}

BUILD_PACKAGES=(cmake ninja-build g++ libgtest-dev libsqlite3-dev sqlite3 nlohmann-json3-dev)

# build DIR [cmake options...]: configures and builds everything into DIR.
build() {
  local dir="$1"
  shift
  cmake -S "$ROOT" -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -- -j"$(nproc)"
}

# build_targets DIR TARGET...: configures DIR as it is and builds only the targets.
build_targets() {
  local dir="$1"
  shift
  cmake -S "$ROOT" -B "$dir" -G Ninja >/dev/null
  cmake --build "$dir" --target "$@" -- -j"$(nproc)"
}
