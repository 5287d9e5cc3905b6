#!/usr/bin/env bash
# Fails when docs/architecture.md does not name an event or a result the engine has:
# every event struct of ListEvents.h and DownloadEvents.h, every ListResult, DownloadResult
# and UpdateResult.
# The doc points at the headers for their meaning; this keeps it from forgetting one.
set -euo pipefail
cd "$(dirname "$0")/.."
doc=docs/architecture.md

# The event structs: every `struct Name` inside `namespace event {`.
events() {
    awk '/^namespace event \{/ { inside = 1; next }
         inside && /^\}  \/\/ namespace event/ { exit }
         inside && match($0, /^struct [A-Z][A-Za-z]*/) { print substr($0, RSTART + 7, RLENGTH - 7) }' "$1"
}
enum_values() {
    # The enumerators of `enum class $2` in $1, up to its closing brace.
    awk -v name="$2" '
        $0 ~ "enum class " name " " { inside = 1; next }
        inside && /^};/ { exit }
        inside && match($0, /^ *[A-Z][A-Za-z]*/) { print substr($0, RSTART, RLENGTH) }
    ' "$1" | tr -d ' '
}

missing=()
for name in $(events src/sources/ListEvents.h) $(events src/download/DownloadEvents.h) \
            $(enum_values src/sources/ListEvents.h ListResult) \
            $(enum_values src/download/DownloadEvents.h DownloadResult) \
            $(enum_values src/download/DownloadEvents.h UpdateResult); do
    grep -qE "\`$name[\`({]" "$doc" || missing+=("$name")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "docs/architecture.md does not name: ${missing[*]}" >&2
    exit 1
fi
echo "docs/architecture.md names every event and result"
