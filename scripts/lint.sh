#!/usr/bin/env bash
# Static checks of the program's own code: clang-tidy with the checks listed
# in .clang-tidy, and cppcheck. Needs the compile commands of build/release.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build/release/compile_commands.json ] || scripts/build-release.sh
windows='/win32/|/registry/|^app/win_'
files=$(git ls-files 'src/*.cpp' 'app/*.cpp' | grep -Ev "$windows")
echo "clang-tidy: $(echo "$files" | wc -l) files"
# shellcheck disable=SC2086
printf '%s\n' $files | xargs -P "$(nproc 2>/dev/null || echo 2)" -n 1 \
  clang-tidy -p build/release --quiet --extra-arg=-Wno-unknown-warning-option 2>/dev/null

# The Windows code: the compile commands of the cross build (configured
# only), for a mingw-w64 target with that compiler's C++ headers.
cmake -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DPENTRAX_BENCHMARKS=OFF >/dev/null
mingw=(--extra-arg=--target=x86_64-w64-mingw32)
for dir in $(x86_64-w64-mingw32-g++-posix -E -x c++ -v - </dev/null 2>&1 |
  sed -n '/<...> search starts/,/End of search/p' | grep '^ /.*/c++'); do
  mingw+=(--extra-arg=-isystem"$dir")
done
files=$(git ls-files 'src/*.cpp' 'app/*.cpp' | grep -E "$windows")
echo "clang-tidy (Windows): $(echo "$files" | wc -l) files"
# shellcheck disable=SC2086
printf '%s\n' $files | xargs -P "$(nproc 2>/dev/null || echo 2)" -n 1 \
  clang-tidy -p build/win64 --quiet --extra-arg=-Wno-unknown-warning-option \
  "${mingw[@]}" 2>/dev/null
echo "cppcheck:"
cppcheck --quiet --error-exitcode=1 --inline-suppr --std=c++20 --language=c++ \
  --enable=warning,performance,portability \
  --suppress=missingIncludeSystem --suppress=unknownMacro \
  -I src/core -I src/platform -I src/platform/x11 -I src/ui/model -I src/ui/qt \
  -I src/settings -I src/settings/ini -I src/platform/gnome -I src/platform/kwin \
  -I src/ui/win32 -I src/settings/registry \
  src app
echo "lint: clean"
