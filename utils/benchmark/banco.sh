# Shared by the measuring scripts (sourced, never run): a clock in nanoseconds,
# a median, and prepara_banco [TARGET...], which builds the Release build with
# the benchmarks (the named targets, or all of its preset), makes a scratch
# folder removed on exit, sets radice, bin and lavoro and works from radice.
ora() { date +%s%N; }
mediana() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }

prepara_banco() {
  radice="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
  cd "$radice"
  cmake --preset bench >/dev/null
  if (($#)); then
    cmake --build build-bench --target "$@" >/dev/null
  else
    cmake --build --preset bench >/dev/null
  fi
  bin="$radice/build-bench/bin"
  lavoro="$(mktemp -d)"
  trap 'rm -rf "$lavoro"' EXIT
}
