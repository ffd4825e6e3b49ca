#!/usr/bin/env bash
# Fails when the source folders stop depending one way. Layers, lowest first:
#
#   platform <- model <- store <- capture / paste / hotkey / styling <- cards <- overlay <- app
#
# A file under src/<folder> may include its own folder and lower layers only;
# folders of one tier leave each other alone, except that paste uses capture's
# type names and text helpers. The desktop backends (platform/x11, wayland,
# portal) are reached from the composition root in app only, the test doubles
# (platform/fake) from no source at all. The CMake targets of each folder
# follow the same order in what they link.
#
# Usage: check-layers.sh [src folder]; prints each breach and exits 1 on any.
set -euo pipefail
src=${1:-"$(dirname "$0")/../src"}

declare -A tier=([platform]=0 [model]=1 [store]=2 [capture]=3 [paste]=3 [hotkey]=3 [styling]=3
                 [cards]=4 [overlay]=5 [app]=6)
sideways=" paste>capture "
breaches=0

breach() {
    echo "$1"
    breaches=$((breaches + 1))
}

# May a file of folder $1 use folder $2?
may_use() {
    local from=$1 to=$2
    [ "$from" = "$to" ] && return 0
    [ "${tier[$to]}" -lt "${tier[$from]}" ] && return 0
    [ "${tier[$to]}" -eq "${tier[$from]}" ] && [[ $sideways == *" $from>$to "* ]]
}

for dir in "$src"/*/; do
    layer=$(basename "$dir")
    if [ -z "${tier[$layer]+set}" ]; then
        breach "src/$layer: a folder with no layer; give it one in scripts/check-layers.sh"
        continue
    fi

    # Includes: "folder/file.h" names another folder; a bare "file.h" is the file's own folder.
    while IFS= read -r hit; do
        file=${hit%%:*}
        rest=${hit#*:}
        line=${rest%%:*}
        path=$(sed -E 's/.*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/' <<<"$rest")
        where="src/${file#"$src"/}:$line"
        case "$path" in
        ../*) breach "$where: includes \"$path\" by a relative path; name its folder" ;;
        platform/x11/* | platform/wayland/* | platform/portal/*)
            [ "$layer" = app ] || [ "$layer" = platform ] || breach "$where: includes the backend \"$path\"; only app builds backends" ;;
        platform/fake/*)
            [ "$layer" = platform ] || breach "$where: includes the test double \"$path\"" ;;
        */*)
            used=${path%%/*}
            if [ -n "${tier[$used]+set}" ] && ! may_use "$layer" "$used"; then
                breach "$where: $layer includes \"$path\" of the higher or sibling layer $used"
            fi ;;
        esac
    done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' --include='*.h' --include='*.cpp' "$dir" || true)

    # Links: every bramblet_* target named inside a target_link_libraries(...) call.
    cmake_file="$dir/CMakeLists.txt"
    [ -f "$cmake_file" ] || continue
    while IFS= read -r target; do
        case "$target" in
        bramblet_platform_x11 | bramblet_platform_wayland | bramblet_platform_portal)
            [ "$layer" = app ] || [ "$layer" = platform ] || breach "src/$layer/CMakeLists.txt: links the backend $target"
            continue ;;
        bramblet_platform_*) used=platform ;;
        bramblet_capturepaste) used=paste ;;
        bramblet_soundsynth) used=app ;;
        *) used=${target#bramblet_} ;;
        esac
        if [ -n "${tier[$used]+set}" ] && ! may_use "$layer" "$used"; then
            breach "src/$layer/CMakeLists.txt: links $target of the higher or sibling layer $used"
        fi
    done < <(awk '/target_link_libraries[[:space:]]*\(/ { inside = 1 }
                  inside { print }
                  inside && /\)/ { inside = 0 }' "$cmake_file" \
             | grep -oE 'bramblet_[a-z0-9_]+' | grep -v -x -E 'bramblet_(warnings)' || true)
done

if [ "$breaches" -gt 0 ]; then
    echo "layers: $breaches breach(es) of platform <- model <- store <- capture/paste/hotkey/styling <- cards <- overlay <- app"
    exit 1
fi
echo "layers: every include and link runs one way"
