#!/usr/bin/env bash
# Every display text of the program has an English translation: the sources of model/, engine/ and
# ui/ scanned afresh into a copy of the translation file leave no unfinished and no vanished entry.
# Usage: translations.sh SOURCE_DIR
set -u
src=$1
# Qt 6's own first: a plain `lupdate` on the path may be qtchooser's, which runs Qt 5's.
lupdate=/usr/lib/qt6/bin/lupdate
[ -x "$lupdate" ] || lupdate=$(command -v lupdate-qt6 || command -v lupdate)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$src/translations/vornik_en.ts" "$work/vornik_en.ts"
"$lupdate" -silent -no-obsolete -locations none "$src/model" "$src/engine" "$src/ui" -ts "$work/vornik_en.ts" || { echo "lupdate failed"; exit 1; }
unfinished=$(grep -c 'type="unfinished"' "$work/vornik_en.ts")
vanished=$(grep -c 'type="vanished"\|type="obsolete"' "$work/vornik_en.ts")
if [ "$unfinished" -ne 0 ] || [ "$vanished" -ne 0 ]; then
    echo "FAIL: $unfinished texts without an English translation, $vanished translations of texts no longer used:"
    grep -B2 'type="unfinished"\|type="vanished"' "$work/vornik_en.ts" | grep '<source>'
    exit 1
fi
echo "translations: $(grep -c '<message>' "$work/vornik_en.ts") texts, all translated"
