#!/usr/bin/env bash
# Draws the house from the code: for each product folder, the folders whose headers its
# sources include (one line a folder, "folder -> folder folder …"), found by resolving each
# #include "name.h" to the folder that holds name.h. An arrow running back up the floors of
# docs/architecture.md is a fault.
set -uo pipefail
cd "$(dirname "$0")/.."
folders=(text error engine files generator diagnose schedule checker window record worksheet
  classroom companions app tools bench fuzz)
declare -A home
for folder in "${folders[@]}"; do
  [ -d "$folder" ] || continue
  while IFS= read -r header; do
    name=$(basename "$header")
    # Two product headers of one name make includes ambiguous: say so.
    if [ -n "${home[$name]:-}" ]; then echo "two headers named $name: ${home[$name]} and $folder"; fi
    home[$name]=$folder
  done < <(find "$folder" -maxdepth 1 -name '*.h' | sort)
done
for folder in "${folders[@]}"; do
  [ -d "$folder" ] || continue
  uses=$(grep -ho '#include "[^"]*"' "$folder"/*.cpp "$folder"/*.h 2>/dev/null |
    sed 's/#include "\(.*\)"/\1/' | while read -r name; do
      # A folder's own header of that name is the one its sources mean.
      if [ -f "$folder/$(basename "$name")" ]; then continue; fi
      target=${home[$(basename "$name")]:-}
      [ -n "$target" ] && [ "$target" != "$folder" ] && echo "$target"
    done | sort -u | tr '\n' ' ')
  echo "$folder -> ${uses:-(nothing)}"
done
