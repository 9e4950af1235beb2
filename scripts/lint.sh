#!/usr/bin/env bash
# Static checks of the program's own code: clang-tidy with the checks listed
# in .clang-tidy, and cppcheck. Needs the compile commands of build/release.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build/release/compile_commands.json ] || scripts/build-release.sh
files=$(git ls-files 'src/*.cpp' 'app/*.cpp' | grep -v '/win32/')
echo "clang-tidy: $(echo "$files" | wc -l) files"
# shellcheck disable=SC2086
printf '%s\n' $files | xargs -P "$(nproc 2>/dev/null || echo 2)" -n 1 \
  clang-tidy -p build/release --quiet --extra-arg=-Wno-unknown-warning-option 2>/dev/null
echo "cppcheck:"
cppcheck --quiet --error-exitcode=1 --inline-suppr --std=c++20 --language=c++ \
  --enable=warning,performance,portability \
  --suppress=missingIncludeSystem --suppress=unknownMacro \
  -I src/core -I src/platform -I src/platform/x11 -I src/ui/model -I src/ui/qt \
  -I src/settings -I src/settings/ini -I src/platform/gnome -I src/platform/kwin \
  src app
echo "lint: clean"
