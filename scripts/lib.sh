# Shared by the scripts: package installation and the build.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

# apt-get that waits for another engineer's apt or dpkg to finish instead of failing.
apt_get() {
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get -o DPkg::Lock::Timeout=600 "$@"
}

# Refreshes the package lists, trying again after a pause when a download
# fails. Fails when the last try still reported an error; its messages go to
# the file $1 when given.
update_package_lists() {
  local log="${1:-/dev/null}" try
  for try in 1 2 3; do
    apt_get update -qq >"$log" 2>&1 && return 0
    [ "$try" -lt 3 ] && sleep $((try * 5))
  done
  return 1
}

# True when every package named is installed.
packages_installed() {
  local pkg
  for pkg in "$@"; do
    [ "$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)" = "install ok installed" ] || return 1
  done
}

# Installs the Debian packages that are missing. An index that cannot be
# fetched is no reason to stop: the install says whether what it needs is there.
ensure_packages() {
  local missing=() pkg
  for pkg in "$@"; do
    packages_installed "$pkg" || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  update_package_lists || echo "warning: some package lists could not be refreshed" >&2
  apt_get install -y -qq "${missing[@]}"
}

# 0 when Wine is installed or the package lists offer it, 1 when they do not
# (this machine has no Wine package), 2 when the lists could not be refreshed
# and offer none, so that nobody can tell.
wine_installable() {
  command -v wine >/dev/null 2>&1 && return 0
  local refreshed=1
  update_package_lists || refreshed=0
  [[ "$(apt-cache policy wine64 2>/dev/null || true)" == *"Candidate: "[0-9]* ]] && return 0
  [ "$refreshed" = 1 ] && return 1
  return 2
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
