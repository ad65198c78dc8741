# Helpers of the fuzz scripts (sourced): the clang toolchain with libFuzzer,
# and the clang build in build-fuzz/.
need_fuzzer_toolchain() {
  command -v clang++ >/dev/null || { echo "fuzzing needs clang: apt-get install clang libclang-rt-14-dev" >&2; exit 2; }
  # libFuzzer and the sanitizers' run-time come with libclang-rt.
  if ! echo 'extern "C" int LLVMFuzzerTestOneInput(const char *, unsigned long) { return 0; }' \
      | clang++ -x c++ -fsanitize=fuzzer,address,undefined -o /dev/null - 2>/dev/null; then
    echo "fuzzing needs libFuzzer: apt-get install libclang-rt-14-dev" >&2
    exit 2
  fi
}

fuzz_build_dir() {
  local build=$root/build-fuzz
  if [[ ! -f $build/build.ninja ]]; then
    CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTV_FUZZ=ON >/dev/null
  fi
  echo "$build"
}
