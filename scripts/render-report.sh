#!/bin/bash
# Renders an HTML file into a PNG with headless Chromium. Used as the ".html"
# association of a Wine prefix (see register-report-viewer.sh): Wine runs a file
# named in an association command that is no Windows program as a Unix program,
# with the document's Windows path ("Z:\...\GoodsDinamic.html") as argument and
# the Wine program's environment and current directory.
#
# Usage: render-report.sh FILE.html   (a Windows or Unix path)
# The picture goes to $ORVEX_REPORT_PNG, else beside the file as FILE.png; each
# request is also noted in $ORVEX_REPORT_LOG when that is set.
#
# The plug-in's report is code page 1251 and declares no encoding; a UTF-8 copy
# with a charset declaration is what gets rendered, so Cyrillic reads right
# whatever the browser would guess.
set -u
in=${1:-}
[ -n "$in" ] || { echo "usage: $0 FILE.html" >&2; exit 2; }
case "$in" in
    [A-Za-z]:\\*|[A-Za-z]:/*)
        file=$(winepath -u "$in" 2>/dev/null)
        # Z: is the Unix root in every prefix; spare winepath's start-up there.
        [ -n "$file" ] || file=/$(printf '%s' "${in:3}" | tr '\\' /) ;;
    *) file=$in ;;
esac
[ -n "${ORVEX_REPORT_LOG:-}" ] && printf 'open %s\n' "$in" >> "$ORVEX_REPORT_LOG"
out=${ORVEX_REPORT_PNG:-${file%.*}.png}
[ -f "$file" ] || { echo "render-report: no file $file" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
{
    printf '<meta charset="utf-8">\n'
    iconv -f cp1251 -t utf-8 "$file"
} > "$work/report.html"
# One table row is about 25 pixels high; the page grows with the calendar. Headless
# Chromium takes part of the window height for itself, hence the margin.
rows=$(grep -o '<tr' "$work/report.html" | wc -l)
height=$(( 200 + rows * 26 ))
[ "$height" -le 8000 ] || height=8000
browser=$(command -v chromium || command -v chromium-browser || true)
[ -n "$browser" ] || { echo "render-report: chromium is not installed" >&2; exit 1; }
"$browser" --headless=new --no-sandbox --disable-gpu --hide-scrollbars --no-first-run \
    --user-data-dir="$work/profile" --window-size=900,"$height" \
    --screenshot="$work/report.png" "file://$work/report.html" >/dev/null 2>&1
[ -s "$work/report.png" ] || { echo "render-report: chromium made no picture of $file" >&2; exit 1; }
mkdir -p "$(dirname "$out")"
# Whoever waits for the picture never sees half of it.
cp "$work/report.png" "$out.part" && mv -f "$out.part" "$out"
