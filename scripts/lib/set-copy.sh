# shellcheck shell=bash
# Helpers for scripts that look at a copy of a published set (a folder a refresh keeps).
#   copy_disagrees COPY   prints the files of COPY that are not as COPY/index.txt lists
#                         them (the .gz copies aside); nothing when the copy is its set
#   copy_set COPY         the set number COPY/index.txt names ("" without one)
copy_disagrees() {
  local copy=$1 size sum path
  while read -r _ size sum path; do
    [[ "$path" == *.gz ]] && continue
    [ -f "$copy/$path" ] && [ "$(stat -c %s "$copy/$path")" = "$size" ] &&
      [ "$(sha256sum <"$copy/$path" | cut -d' ' -f1)" = "$sum" ] || echo "$path"
  done < <(grep '^file ' "$copy/index.txt")
}
copy_set() { sed -n 's/^set //p' "$1/index.txt" 2>/dev/null; }
