#!/bin/sh
# Start-up of a one-call kor2 command against C and C++ hello-world programs compiled here: the
# whole process, from exec to exit, median of hyperfine's runs, and the processor time it took
# (user + system, mean), which other work on a busy machine disturbs less. Prints both and the
# ratios.
#   bench/startup.sh [KOR2]   (default: the default build's kor2)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
kor2=${1:-$root/build/default/tools/kor2/kor2}
runs=${KOR2_BENCH_RUNS:-50}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

printf '#include <stdio.h>\nint main(void) { puts("hola"); return 0; }\n' > "$work/hello.c"
printf '#include <iostream>\nint main() { std::cout << "hola" << std::endl; return 0; }\n' > "$work/hello.cpp"
cc -O2 "$work/hello.c" -o "$work/hello_c"
c++ -O2 "$work/hello.cpp" -o "$work/hello_cpp"

# No shell between hyperfine and the program: only the program's own start-up is measured.
hyperfine -N --warmup 10 --runs "$runs" --style none --export-csv "$work/times.csv" \
  -n c "$work/hello_c" -n c++ "$work/hello_cpp" \
  -n kor2 "$kor2 call CColores Col_NuCad_de_NuVB long:200" > /dev/null

# CSV columns: command,mean,stddev,median,user,system,min,max (seconds).
awk -F, 'NR > 1 { median[$1] = $4; cpu[$1] = $5 + $6 }
  END {
    printf "%-16s %9s %9s\n", "", "median", "cpu"
    printf "%-16s %6.2f ms %6.2f ms\n", "C hello world", median["c"] * 1000, cpu["c"] * 1000
    printf "%-16s %6.2f ms %6.2f ms\n", "C++ hello world", median["c++"] * 1000, cpu["c++"] * 1000
    printf "%-16s %6.2f ms %6.2f ms\n", "kor2 call", median["kor2"] * 1000, cpu["kor2"] * 1000
    printf "%-16s %9.2f %9.2f   (at most 2.5)\n", "kor2 / C", median["kor2"] / median["c"], cpu["kor2"] / cpu["c"]
    printf "%-16s %9.2f %9.2f\n", "kor2 / C++", median["kor2"] / median["c++"], cpu["kor2"] / cpu["c++"]
  }' "$work/times.csv"
