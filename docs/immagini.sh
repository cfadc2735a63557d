#!/bin/bash
# Makes the README's pictures again from the program as it is: the window
# (1x, 2x, 144-dpi fonts, the dark GTK theme), the "Documento salvato" box,
# the preview and its printer list, a printed sheet and the cover.
# Usage: docs/immagini.sh [PATH/TO/vagolume]   (default: build/vagolume)
# Needs what the window tests need (Xvfb, xdotool, ImageMagick, poppler-utils).
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."
BIN=$(readlink -f "${1:-build/vagolume}")
DOCS=$PWD/docs
lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT

finestra() { # PICTURE [ENV...]: the idle window, as the window test leaves it
    local immagine=$1
    shift
    env "$@" VAGOLUME_SCREENSHOT="$DOCS/$immagine" bash tests/e2e/finestra_xvfb.sh "$BIN" >/dev/null
}
finestra finestra.png VAGOLUME_SCREENSHOT_SALVATO="$DOCS/salvato.png"
cp "$DOCS/finestra.png" "$DOCS/finestra-1x.png"
finestra finestra-2x.png QT_SCALE_FACTOR=2
finestra finestra-144dpi.png QT_FONT_DPI=144
finestra finestra-scura.png VAGOLUME_TEMA=gtk3 GTK_THEME=Adwaita:dark

VAGOLUME_SCREENSHOT="$DOCS/anteprima.png" VAGOLUME_SCREENSHOT_2X="$DOCS/anteprima-2x.png" \
    VAGOLUME_SCREENSHOT_PANNELLO="$DOCS/pannello.png" bash tests/e2e/anteprima_xvfb.sh "$BIN" >/dev/null

# A printed trip on the PDF writer: its cover and its first sheet.
(cd "$lavoro" && env -u DISPLAY -u WAYLAND_DISPLAY CUPS_SERVER=/nonexistent/cups.sock \
    "$BIN" "LAGO DI GARDA,07/12/2026,11/12/2026" >/dev/null 2>&1)
pdftoppm -png -r 100 -f 1 -l 2 "$lavoro/LAGO_DI_GARDA_Vagolume.pdf" "$lavoro/pagina"
cp "$lavoro"/pagina-1.png "$DOCS/copertina.png"
cp "$lavoro"/pagina-2.png "$DOCS/foglio.png"
echo "pictures made again in $DOCS"
