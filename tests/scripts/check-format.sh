#!/usr/bin/env bash
# check-format.sh SOURCE_DIR
# Every tracked C++ source and header follows the repository's .clang-format:
# clang-format's dry run names each file that would change.
set -euo pipefail
source_dir=$1
cd "$source_dir"
mapfile -t files < <(git ls-files '*.cpp' '*.h')
(( ${#files[@]} > 0 )) || { echo "FAILED: no tracked sources found in $source_dir"; exit 1; }
clang-format --dry-run --Werror "${files[@]}"
echo "${#files[@]} sources follow .clang-format"
