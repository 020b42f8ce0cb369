# Sourced by the build scripts: the compiler cache and the build folders.

# CMake arguments that put ccache in front of the compiler, when it is there.
# Paths are taken relative to the checkout, so that every clone shares one cache.
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
fi

# The build folder NAME, or NAME-<user> when NAME belongs to someone this user
# cannot write for: a first run as root leaves root's build folders behind.
build_folder() {
  local name=$1
  if [[ -e $name && ! -w $name ]]; then
    echo "$name belongs to $(stat -c %U "$name"); building in $name-$(id -un) instead" >&2
    name=$name-$(id -un)
  fi
  printf '%s\n' "$name"
}
