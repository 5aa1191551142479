#!/usr/bin/env bash
# Checks that every #include of the program points down the layers, never
# up:
#   0 core      store/, platform/, the readers, writers, filters and
#               columns of vcard/ csv/ listview/, and fuzz/ and txltool
#               that build on them alone
#   1 ui/       the user-interface helpers, the resource ids of resources/
#               and the Windows UI headers
#   2 features  listview/ rows, editor/, dialogs/, the vCard and CSV
#               dialogs and commands
#   3 app/      the top: nothing else includes it
# A file may include its own layer and the layers below. Tests and timing
# programs stand above all and are not checked. Prints each include that
# points up and fails if there is one.
# Usage: tools/check-layers.sh [source root]
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"

# The layer of a project file, or nothing for one that is not checked.
layer_of() {
  case "$1" in
    app/*) echo 3 ;;
    editor/* | dialogs/* | listview/contact_list.* | vcard/vcard_dialogs.* | vcard/vcard_commands.* | \
      csv/column_mapping_dialog.* | csv/csv_commands.*) echo 2 ;;
    ui/* | resources/*) echo 1 ;;
    store/* | platform/* | listview/* | vcard/* | csv/* | fuzz/* | tools/txltool/*) echo 0 ;;
  esac
}

# The layer of an included header: a project path, or a system header.
layer_of_header() {
  case "${1,,}" in
    windows.h | windowsx.h | commctrl.h | commdlg.h | shellapi.h | shlobj.h | objbase.h) echo 1 ;;
    *) layer_of "$1" ;;
  esac
}

# The one core file that speaks to Windows itself: files and code pages.
allowed() {
  [[ $1 == platform/platform_windows.cpp && $2 == windows.h ]]
}

# The sources: those git tracks, or every one outside build/ in a tree
# that is no checkout.
sources() {
  if git rev-parse --is-inside-work-tree > /dev/null 2>&1; then
    git ls-files '*.cpp' '*.h'
  else
    find . \( -name build -prune \) -o \( -name '*.cpp' -o -name '*.h' \) -print | sed 's|^\./||'
  fi
}

status=0
while IFS= read -r file; do
  own=$(layer_of "$file")
  [[ -n $own ]] || continue
  while IFS=: read -r line header; do
    theirs=$(layer_of_header "$header")
    [[ -n $theirs ]] || continue
    if ((theirs > own)) && ! allowed "$file" "$header"; then
      echo "$file:$line: includes $header (layer $theirs) from layer $own" >&2
      status=1
    fi
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include' "$file" |
           sed -n 's/^\([0-9]*\):[^<"]*[<"]\([^>"]*\)[>"].*/\1:\2/p')
done < <(sources)

if ((status == 0)); then echo "Every include points down the layers."; fi
exit $status
