#!/usr/bin/env bash
# Static checks of Dexlin's own code: clang-tidy (checks chosen in .clang-tidy)
# and cppcheck, over the sources of model/, geometry/, tools/, platform/ and
# app/ as build/ compiles them (its compile_commands.json). Any finding fails.
# tools/resgen, the picture generator that is built only on request
# (DEXLIN_RESGEN) and is no part of the program, is not in build/ and not
# checked here; its findings were reviewed once: loops over JSON values that
# convert each element, an int product of a picture's fixed size widened to
# qsizetype, an unchecked message to stderr; none is a fault.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
dirs=(model geometry tools platform app)

# The same configuration as scripts/test.sh, plus the compile database; the
# build makes the generated sources that some files include (a no-op when
# scripts/test.sh has just built).
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDEXLIN_WERROR=ON -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
cmake --build build -j2

pattern=$(IFS='|'; echo "${dirs[*]}")
mapfile -t files < <(sed -n 's/^ *"file": *"\(.*\)",\?$/\1/p' build/compile_commands.json |
                     grep -E "^$root/($pattern)/" | sort -u)
if [ ${#files[@]} -eq 0 ]; then
  echo "check-static.sh: no sources of ${dirs[*]} in build/compile_commands.json" >&2
  exit 1
fi
echo "check-static.sh: ${#files[@]} sources"

status=0
echo "== clang-tidy"
tidy_log=build/clang-tidy.log
# Two at a time; the findings of every file are kept, then judged together.
printf '%s\n' "${files[@]}" | xargs -P2 -n4 clang-tidy -p build --quiet >"$tidy_log" 2>&1 || true
if grep -E ': (warning|error): |^Error while processing' "$tidy_log"; then
  status=1
fi

echo "== cppcheck"
# Accepted findings, each with its reason:
#  danglingLifetime in DexlinApp.cpp: m_pMainWnd points to the dialog that
#    InitInstance runs as a local; the dialog's destructor (platform/Dialog.cpp)
#    clears m_pMainWnd before the local goes, so it never dangles.
#  badBitmaskCheck: flags of the window layer are spelled out by name even
#    where the name stands for 0 (MB_OK, MF_STRING), as its callers write them.
#  useStlAlgorithm: a matter of taste; a plain loop is as clear and as fast.
present=()
for d in "${dirs[@]}"; do grep -q "\"$root/$d/" build/compile_commands.json && present+=("--file-filter=$d/*"); done
if ! cppcheck --project=build/compile_commands.json "${present[@]}" --library=qt \
      --enable=warning,style,performance,portability --std=c++20 --inline-suppr --quiet -j2 \
      --suppress='danglingLifetime:app/DexlinApp.cpp' \
      --suppress=badBitmaskCheck --suppress=useStlAlgorithm \
      --error-exitcode=1 --template='{file}:{line}: {severity}: {message} [{id}]'; then
  status=1
fi

if [ $status -ne 0 ]; then
  echo "check-static.sh: findings above" >&2
else
  echo "check-static.sh: no findings"
fi
exit $status
