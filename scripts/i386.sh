# Sourced by scripts/windows: 32-bit (i386) packages beside the native ones.
#
# Debian installs them once the i386 architecture is added, with two catches
# handled here. A mirror may serve an i386 index that does not match its signed
# release file; apt then fails every `apt-get update`, also for everybody else,
# so such a source is limited to the native architecture, and that index is
# read only for this one install, through a private view of the package lists
# (its packages are still checked against the hashes it gives). And the
# libraries that both architectures install (Multi-Arch: same) must have one
# version in both: each pair gets the newest version both offer, never older
# than the installed native one, together with the other installed packages
# built from the same source. Nothing is downgraded or removed; when the
# packages cannot be installed, apt is left as it was.

LIMIT_MARK="# Limited to the native architecture by scripts/windows: its i386 index could not be fetched"
NATIVE_ARCH="$(dpkg --print-architecture)"
VIEW=""

# The deb822 stanzas in file $1 for base URI $2 and suite $3 get "Architectures: NATIVE".
limit_sources() {
  local file="$1" uri="$2" suite="$3"
  $SUDO awk -v uri="$uri" -v suite="$suite" -v arch="$NATIVE_ARCH" -v mark="$LIMIT_MARK" '
    function flush() {
      if (n && uris && suites && !archs) { para[++n] = mark; para[++n] = "Architectures: " arch }
      for (i = 1; i <= n; i++) print para[i]
      n = uris = suites = archs = 0
    }
    /^[[:space:]]*$/ { flush(); print; next }
    {
      para[++n] = $0
      if ($1 == "URIs:") for (i = 2; i <= NF; i++) if ($i == uri || $i == uri "/") uris = 1
      if ($1 == "Suites:") for (i = 2; i <= NF; i++) if ($i == suite) suites = 1
      if ($1 == "Architectures:") archs = 1
    }
    END { flush() }' "$file" >"$file.vsu-new" && $SUDO mv "$file.vsu-new" "$file"
}

# Limits every source whose i386 index failed, as apt's messages in file $1
# tell; fails when another kind of download failed.
limit_failing_sources() {
  local log="$1" uri suite file
  grep -q 'Failed to fetch' "$log" || return 1
  grep 'Failed to fetch' "$log" | grep -v 'binary-i386/' >/dev/null && return 1
  while read -r uri suite; do
    echo "The i386 index of $uri $suite cannot be fetched; that source is limited to $NATIVE_ARCH" >&2
    for file in /etc/apt/sources.list.d/*.sources; do
      [ -f "$file" ] && limit_sources "$file" "$uri" "$suite"
    done
  done < <(sed -nE 's#.*Failed to fetch ([^ ]+)/dists/([^/ ]+)/.*binary-i386/.*#\1 \2#p' "$log" | sort -u)
}

# The i386 indexes of the limited sources, one URL a line.
limited_i386_indexes() {
  local file
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] || continue
    awk -v mark="$LIMIT_MARK" '
      function flush() {
        if (marked) for (u in uris) for (s in suites) for (c in comps)
          print uris[u] "/dists/" suites[s] "/" comps[c] "/binary-i386/Packages.xz"
        marked = 0; delete uris; delete suites; delete comps
      }
      /^[[:space:]]*$/ { flush(); next }
      $0 == mark { marked = 1 }
      $1 == "URIs:" { for (i = 2; i <= NF; i++) { sub("/$", "", $i); uris[i] = $i } }
      $1 == "Suites:" { for (i = 2; i <= NF; i++) suites[i] = $i }
      $1 == "Components:" { for (i = 2; i <= NF; i++) comps[i] = $i }
      END { flush() }' "$file"
  done
}

# Puts apt back as it was when no i386 package is installed.
undo_i386() {
  [[ "$(dpkg-query -W -f='${Architecture} ${db:Status-Abbrev}\n' 2>/dev/null || true)" == *"i386 ii"* ]] && return 0
  local file
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] && grep -qxF "$LIMIT_MARK" "$file" &&
      $SUDO awk -v mark="$LIMIT_MARK" '$0 == mark { getline; next } { print }' "$file" >"$file.vsu-new" &&
      $SUDO mv "$file.vsu-new" "$file"
  done
  if dpkg --print-foreign-architectures | grep -x i386 >/dev/null; then $SUDO dpkg --remove-architecture i386; fi
  update_package_lists || true
}

# A private view of the package lists: the system's, the sources without their
# limits, and the limited i386 indexes as the mirror serves them.
open_view() {
  VIEW="$(mktemp -d)"
  chmod 755 "$VIEW"
  mkdir -p "$VIEW/lists/partial" "$VIEW/sources"
  find /var/lib/apt/lists -maxdepth 1 -type f ! -name lock -exec cp {} "$VIEW/lists/" \;
  local file url name
  for file in /etc/apt/sources.list.d/*; do
    [ -f "$file" ] && awk -v mark="$LIMIT_MARK" '$0 == mark { getline; next } { print }' "$file" \
      >"$VIEW/sources/$(basename "$file")"
  done
  while read -r url; do
    name="${url#*://}"
    name="${name%.xz}"
    /usr/lib/apt/apt-helper download-file "$url" "$VIEW/index.xz" >/dev/null 2>&1 &&
      xz -dc "$VIEW/index.xz" >"$VIEW/lists/${name//\//_}" || echo "warning: $url cannot be read" >&2
  done < <(limited_i386_indexes)
}

close_view() {
  [ -n "$VIEW" ] && rm -rf "$VIEW"
  VIEW=""
}

view_options() {
  echo "-o Dir::State::Lists=$VIEW/lists -o Dir::Etc::SourceParts=$VIEW/sources"
  echo "-o Dir::Cache::pkgcache=$VIEW/pkgcache.bin -o Dir::Cache::srcpkgcache=$VIEW/srcpkgcache.bin"
}

# The versions of package $1 that the view offers.
view_versions() {
  # shellcheck disable=SC2046
  apt-cache $(view_options) madison "$1" </dev/null 2>/dev/null | awk -F'|' '{ gsub(/ /, "", $2); print $2 }' | sort -u
}

# What to ask apt for, beside the packages themselves, so that every
# Multi-Arch: same pair in the i386 packages' dependencies gets one version.
matching_versions() {
  local name base installed version best
  # The names come on descriptor 3: apt-cache reads its standard input.
  while read -r name <&3; do
    base="${name%:i386}"
    installed="$(dpkg-query -W -f='${db:Status-Abbrev}${Version}' "$base:$NATIVE_ARCH" 2>/dev/null |
                 sed -n 's/^ii *//p' || true)"
    [ -n "$installed" ] || continue
    # Captured first: grep -q would leave apt-cache writing into a closed pipe.
    [[ "$(apt-cache $(view_options) show "$name" </dev/null 2>/dev/null || true)" == *$'\nMulti-Arch: same'* ]] ||
      continue
    best=""
    while read -r version; do
      dpkg --compare-versions "$version" ge "$installed" || continue
      [ "$version" = "$installed" ] || view_versions "$base:$NATIVE_ARCH" | grep -xF -- "$version" >/dev/null || continue
      [ -z "$best" ] || dpkg --compare-versions "$version" gt "$best" && best="$version"
    done < <(view_versions "$name")
    if [ -z "$best" ]; then
      echo "no version of $name matches the installed $base:$NATIVE_ARCH $installed" >&2
      return 1
    fi
    echo "$name=$best"
    [ "$best" = "$installed" ] && continue
    # The native package and its installed siblings from the same source, at the new version.
    dpkg-query -W -f='${source:Package} ${Package}:${Architecture} ${Version}\n' 2>/dev/null |
      awk -v src="$(dpkg-query -W -f='${source:Package}' "$base:$NATIVE_ARCH")" -v ver="$installed" \
        '$1 == src && $3 == ver { print $2 }' |
      while read -r sibling; do
        if view_versions "$sibling" | grep -xF -- "$best" >/dev/null; then echo "$sibling=$best"; fi
      done
  done 3< <(apt-cache $(view_options) depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
              --no-replaces --no-enhances "$@" 2>/dev/null | grep -E '^[a-z0-9].*:i386$' | sort -u)
}

install_in_view() {
  local requests
  requests="$(matching_versions "$@" | sort -u)" || return 1
  # shellcheck disable=SC2046,SC2086
  apt_get $(view_options) install -s --no-install-recommends --no-remove "$@" $requests >/dev/null || return 1
  echo "Installing with matching versions: $(echo $requests)"
  # shellcheck disable=SC2046,SC2086
  apt_get $(view_options) install -y -qq --no-install-recommends --no-remove "$@" $requests
}

# Installs the i386 packages named (NAME:i386 ...), adding the architecture
# first; fails, with apt as it was, when they cannot be had.
ensure_i386_packages() {
  packages_installed "$@" && return 0
  echo "Installing: $*"
  dpkg --print-foreign-architectures | grep -x i386 >/dev/null || $SUDO dpkg --add-architecture i386
  local log status=0
  log="$(mktemp)"
  if ! update_package_lists "$log"; then
    if ! limit_failing_sources "$log" || ! update_package_lists "$log"; then
      cat "$log" >&2
      status=1
    fi
  fi
  rm -f "$log"
  if [ "$status" = 0 ] && ! apt_get install -y -qq --no-install-recommends --no-remove "$@" 2>/dev/null; then
    open_view
    install_in_view "$@" || status=1
    close_view
  fi
  [ "$status" = 0 ] || undo_i386
  return $status
}
