#!/bin/bash
# Makes scripts/render-report.sh the ".html" association of the Wine prefix in
# $WINEPREFIX, so that the plug-in's ShellExecuteA(NULL, "open",
# "GoodsDinamic.html", ...) renders the report into a PNG. Wine runs a command
# that names a Unix file (not a Windows program) as a Unix program; the path is
# given as a Windows path on drive Z:, the Unix root.
# Usage: register-report-viewer.sh   (wine and WINEPREFIX set up by the caller)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
viewer="Z:$(printf '%s' "$root/scripts/render-report.sh" | tr / '\\')"
# Without this key Wine hands .html files to winebrowser (HKCR\htmlfile).
wine reg add 'HKCR\.html' /ve /d OrvexReport.html /f >/dev/null 2>&1
wine reg add 'HKCR\OrvexReport.html\shell\open\command' /ve /d "\"$viewer\" \"%1\"" /f >/dev/null 2>&1
