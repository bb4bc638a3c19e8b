# Sourced by the benchmark scripts: the packages, /usr/bin/time for peak memory,
# and a release build of the programs named in the arguments.
bench_release_build() {
  scripts/setup.sh
  command -v /usr/bin/time >/dev/null || { echo "installing time"; apt-get install -y -qq time >/dev/null; }
  cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMORA_TESTS=OFF >/dev/null
  cmake --build build/release --target "$@" >/dev/null
}
