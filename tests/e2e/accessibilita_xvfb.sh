#!/bin/bash
# The window and the print preview as a screen reader finds them: the
# accessibility tree (AT-SPI), read on a private session bus with its own
# accessibility bus, on a private X server. Checked:
#   - the window is a frame; no nameless filler (the focus ring) in the tree;
#   - the progress line is a progress bar with a value, no text field and no
#     Tab stop; during a run its value grows and its description says the page;
#   - the fields of the date and count lists are read-only, not editable;
#   - with the printer panel open, what it covers is not showing: one "Stampa";
#   - the preview's page label and zoom are read as they stand, and change
#     with the page.
#
# Usage: accessibilita_xvfb.sh PATH/TO/vagolume
# Needs Xvfb, xdotool, dbus-run-session, at-spi-bus-launcher and the Python
# bindings pyatspi (skipped without them).
set -u

PROGRAMMA=$(readlink -f "${1:?usage: $0 PATH/TO/vagolume}")
QUI=$(dirname "$(readlink -f "$0")")
# shellcheck source=../xvfb/xvfb-comune.sh
source "$QUI/../xvfb/xvfb-comune.sh"
richiedi_strumenti Xvfb xdotool timeout dbus-run-session
LANCIATORE=""
for l in /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher; do
    [ -x "$l" ] && LANCIATORE=$l && break
done
[ -n "$LANCIATORE" ] || { echo "SKIP: at-spi-bus-launcher is not installed"; exit 77; }
PYTHON=/usr/bin/python3
[ -x "$PYTHON" ] || PYTHON=$(command -v python3)
"$PYTHON" -c 'import pyatspi' 2>/dev/null || { echo "SKIP: pyatspi (python3-pyatspi) is not installed"; exit 77; }

# A session bus of our own, that ends with the script.
if [ -z "${VAGOLUME_BUS_PRIVATO:-}" ]; then
    VAGOLUME_BUS_PRIVATO=1 exec timeout 280 dbus-run-session -- bash "$0" "$@" 2> >(grep -v 'Failed to set fd limit' >&2)
fi

prepara_tmp
BUS_PID=""
altra_pulizia() { [ -n "$BUS_PID" ] && kill "$BUS_PID" 2>/dev/null && wait "$BUS_PID" 2>/dev/null; }
"$LANCIATORE" --launch-immediately >"$TMP/bus.txt" 2>&1 &
BUS_PID=$!

avvia_xvfb 130 139 "$TMP/xvfb.txt"
mkdir -p "$TMP/lavoro" "$TMP/casa" "$TMP/xdg"
chmod 700 "$TMP/xdg"
LAVORO="$TMP/lavoro"

cat >"$TMP/albero.py" <<'PY'
# Reads the program's accessibility tree. usage: albero.py CHECK [ARG]
import sys, time
import pyatspi

def nodi(o, profondita=0):
    yield o, profondita
    for i in range(o.childCount):
        figlio = o.getChildAtIndex(i)
        if figlio is not None:
            yield from nodi(figlio, profondita + 1)

def programma():
    for _ in range(100):
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == "Vagolume":
                return app
        time.sleep(0.1)
    fallisci("the program is not in the accessibility tree")

def stati(o):
    return {pyatspi.stateToString(s) for s in o.getState().getStates()}

def valore(o):
    try:
        return o.queryValue().currentValue
    except NotImplementedError:
        return None

def fallisci(testo):
    print("FAIL: " + testo)
    sys.exit(1)

def descrivi(o):
    return '%s "%s" [%s]' % (o.getRoleName(), o.name, ",".join(sorted(stati(o) & {"editable", "focusable", "showing", "read only"})))

def trova(app, ruolo, nome, visibile=True):
    trovati = [o for o, _ in nodi(app) if o.getRoleName() == ruolo and (nome is None or o.name == nome)
               and (not visibile or "showing" in stati(o))]
    return trovati

controllo = sys.argv[1]
app = programma()
if controllo == "finestra":
    finestre = [o for o in (app.getChildAtIndex(i) for i in range(app.childCount)) if o is not None]
    for f in finestre:
        if f.name.startswith("Stampa moduli"):
            if f.getRoleName() != "frame":
                fallisci("the window is a %s, not a frame" % f.getRoleName())
            print('ok: window: %s' % descrivi(f))
    riempitivi = [descrivi(o) for o, _ in nodi(app) if o.getRoleName() == "filler"]
    if riempitivi:
        fallisci("fillers in the tree: " + "; ".join(riempitivi))
    barre = trova(app, "progress bar", "Avanzamento della stampa")
    if len(barre) != 1:
        fallisci("no progress bar \"Avanzamento della stampa\" showing")
    b = barre[0]
    if "focusable" in stati(b) or valore(b) is None:
        fallisci("the progress bar: %s, value %s" % (descrivi(b), valore(b)))
    print('ok: %s value %s' % (descrivi(b), valore(b)))
    testi = [o for o, _ in nodi(app) if o.getRoleName() == "text" and "Avanzamento" in o.name or "stampata" in o.name and o.getRoleName() == "text"]
    if testi:
        fallisci("the progress line is also a text: " + descrivi(testi[0]))
    for nome in ("Dal giorno", "Al mese", "All'anno", "Numero di pagine"):
        campi = trova(app, "text", nome, visibile=False)
        if not campi or "editable" in stati(campi[0]) or "read only" not in stati(campi[0]):
            fallisci("the field of \"%s\": %s" % (nome, descrivi(campi[0]) if campi else "missing"))
        print('ok: %s' % descrivi(campi[0]))
elif controllo == "pannello":
    stampa = trova(app, "push button", "Stampa")
    if len(stampa) != 1:
        fallisci("%d buttons \"Stampa\" showing with the printer panel open" % len(stampa))
    print('ok: with the panel open one push button "Stampa" is showing')
    for ruolo, nome in (("push button", "Fine"), ("check box", "Moduli in bianco"), ("combo box", "Al mese"),
                        ("progress bar", "Avanzamento della stampa")):
        coperti = trova(app, ruolo, nome, visibile=False)
        if not coperti or "showing" in stati(coperti[0]):
            fallisci("under the panel: %s" % (descrivi(coperti[0]) if coperti else nome + " missing"))
        print('ok: under the panel: %s' % descrivi(coperti[0]))
elif controllo == "anteprima":
    atteso = sys.argv[2]
    for _ in range(50):
        etichette = [o for o, _ in nodi(app) if o.getRoleName() == "label" and o.name.startswith(atteso)]
        if etichette:
            break
        time.sleep(0.1)
    else:
        fallisci("no label \"%s...\" in the preview: %s" % (atteso, [o.name for o, _ in nodi(app) if o.getRoleName() == "label"]))
    print('ok: preview: label "%s" [%s]' % (etichette[0].name, etichette[0].description))
    zoom = [o for o, _ in nodi(app) if o.getRoleName() == "label" and o.name.endswith(" %")]
    if not zoom:
        fallisci("no zoom label read as \"N %\" in the preview")
    print('ok: preview: label "%s" [%s]' % (zoom[0].name, zoom[0].description))
elif controllo == "avanzamento":
    # Samples the progress bar while a run goes on, until sys.argv[2] exists.
    import os
    visti = []
    fine = time.time() + 60
    barre = trova(app, "progress bar", "Avanzamento della stampa", visibile=False)
    if not barre:
        fallisci("no progress bar")
    print("sampling", flush=True)
    while time.time() < fine and not os.path.exists(sys.argv[2]):
        campione = (valore(barre[0]), barre[0].description)
        if not visti or visti[-1] != campione:
            visti.append(campione)
        time.sleep(0.005)
    crescenti = [v for v, d in visti if v and v > 0 and "Pagina" in d]
    if not crescenti:
        fallisci("during the run the progress bar said nothing: %s" % visti[:5])
    print('ok: during the run: %d values, e.g. %s "%s"' % (len(crescenti), crescenti[len(crescenti) // 2],
          [d for v, d in visti if v == crescenti[len(crescenti) // 2]][0]))
PY
albero() { timeout 60 "$PYTHON" "$TMP/albero.py" "$@" || fallisci "the accessibility tree: $*"; }

(cd "$LAVORO" && exec env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY HOME="$TMP/casa" XDG_RUNTIME_DIR="$TMP/xdg" \
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 CUPS_SERVER=/nonexistent/cups.sock LC_ALL=C.UTF-8 \
    timeout 200 "$PROGRAMMA" >"$TMP/uscita.txt" 2>&1) &
APP_PID=$!
W=$(finestra)
[ -n "$W" ] || fallisci "the window did not appear"
a_fuoco "$W"
albero finestra

# The printer panel over the window.
timeout 20 xdotool type --delay 60 "roma" || fallisci "xdotool type"
tasti alt+s
pannello 1
albero pannello

# The preview: the label and the zoom as they stand, and after Page Down.
tasti alt+p
A=$(titolata "^Anteprima di stampa - ROMA_Vagolume\$") || fallisci "no preview titled after the document"
a_fuoco "$A"
albero anteprima "Pagina 1 di "
tasti Next
albero anteprima "Pagina 2 di "
tasti Escape
sparita "$A"

# A run of 99 blank sheets, followed from the tree.
a_fuoco "$W"
tasti Escape
pannello 0
tasti alt+m alt+n End alt+s
pannello 1
FINE="$LAVORO/FineStampaPercorsario.tmp"
timeout 90 "$PYTHON" "$TMP/albero.py" avanzamento "$FINE" >"$TMP/avanzamento.txt" &
CAMPIONI=$!
for _ in $(seq 100); do
    grep -qs sampling "$TMP/avanzamento.txt" && break
    sleep 0.1
done
tasti alt+t
D=$(domanda) || fallisci "no confirmation question after S&tampa"
tasti Return
sparita "$D"
S=$(titolata "^Salva come file PDF\$") || fallisci "no save dialog"
a_fuoco "$S"
tasti ctrl+a
timeout 20 xdotool type --delay 20 "$LAVORO/bianchi.pdf" || fallisci "xdotool type"
tasti Return
fine_scritta "$FINE"
wait "$CAMPIONI" || { cat "$TMP/avanzamento.txt"; fallisci "the progress bar during the run"; }
grep -v sampling "$TMP/avanzamento.txt"
titolata "^Documento salvato\$" 20 >/dev/null && tasti Escape
a_fuoco "$W"
esci_con_fine "$W"
echo "PASS"
