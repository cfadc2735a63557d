#!/bin/bash
# The real window on a private X server with no printing system, driven with
# the keyboard as a person would; the current printer is the built-in PDF
# writer, so every run asks where to save:
#  1. a three-day itinerary saved under the proposed name and folder
#     (Documents), Tab and an arrow key with the printer list open changing
#     nothing under it; then "Documento salvato", whose "Apri" with no
#     program to open PDF files says so;
#  2. a blank sheet saved to a path typed into the dialog; Enter after the
#     box does not end the program but opens the printer list, which opens on
#     the current printer and closes with Escape; Enter on "Fine" does the
#     same; the same name typed again asks before replacing the file;
#  3. a one-letter destination prints (reaches the dialog; cancelled there:
#     nothing written but the end-of-run file); Backspace to an empty
#     destination disables "Stampa" at once;
#  4. a save folder that cannot be written: "Stampa non riuscita";
#  5. a long blank run cancelled with "&Annulla"; F1 during a long run shows
#     the help while the run goes on to its end; 6. Alt+F ends the program
#     (under a theme, a signal while the confirmation is open).
#
# With VAGOLUME_TEMA=gtk3 all of it runs under the GTK platform theme, which
# a GNOME or XFCE desktop gives Qt programs (skipped without it): the same
# keys must give the same results.
# Usage: finestra_xvfb.sh PATH/TO/vagolume
# Needs Xvfb, xdotool and poppler-utils (skipped without them). With
# VAGOLUME_SCREENSHOT set to a file name and ImageMagick's import installed,
# the idle window is saved there as a PNG; with VAGOLUME_SCREENSHOT_SALVATO,
# the window with the "Documento salvato" box.
set -u

PROGRAMMA=$(readlink -f "${1:?usage: $0 PATH/TO/vagolume}")
# shellcheck source=../xvfb/xvfb-comune.sh
source "$(dirname "$0")/../xvfb/xvfb-comune.sh"
richiedi_strumenti Xvfb xdotool timeout pdfinfo pdftotext
TEMA=${VAGOLUME_TEMA:-}
if [ -n "$TEMA" ] && ! find /usr/lib/*/qt6/plugins/platformthemes -name "libq$TEMA.so" 2>/dev/null | grep -q .; then
    echo "SKIP: Qt's $TEMA platform theme is not installed"
    exit 77
fi

SOLA_LETTURA=""
altra_pulizia() { [ -z "$SOLA_LETTURA" ] || umount "$SOLA_LETTURA" 2>/dev/null; }
prepara_tmp

avvia_xvfb 73 140 "$TMP/xvfb.txt"

# The folder typed into the save dialog is named in Latin-1 bytes, which the
# dialog neither lists nor opens: it is typed as it reads, "città".
SCELTA="$TMP/citt"$'\xe0'
SCELTA_SCRITTA="$TMP/città"
mkdir -p "$TMP/lavoro" "$TMP/casa/Documents" "$TMP/xdg" "$SCELTA" "$TMP/bin"
chmod 700 "$TMP/xdg"
# No program opens PDF files here: xdg-open fails as it does then.
printf '#!/bin/sh\necho "xdg-open: no method available for opening $1" >&2\nexit 3\n' >"$TMP/bin/xdg-open"
chmod +x "$TMP/bin/xdg-open"
LAVORO="$TMP/lavoro"
DOCUMENTI="$TMP/casa/Documents"
FINE="$LAVORO/FineStampaPercorsario.tmp"
SALVA="^Salva come file PDF\$"
SALVATO="^Documento salvato\$"
NON_RIUSCITA="^Stampa non riuscita\$"
NON_APERTO="^Apertura non riuscita\$"
AIUTO="^Help - istruzioni per l'uso\$"

(cd "$LAVORO" && exec env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY -u XDG_CONFIG_HOME -u QT_QPA_PLATFORMTHEME \
    ${TEMA:+QT_QPA_PLATFORMTHEME=$TEMA} HOME="$TMP/casa" PATH="$TMP/bin:$PATH" \
    XDG_RUNTIME_DIR="$TMP/xdg" CUPS_SERVER=/nonexistent/cups.sock LC_ALL=C.UTF-8 timeout 240 "$PROGRAMMA" \
    >"$TMP/uscita.txt" 2>&1) &
APP_PID=$!

# A saved PDF: the cover and one page a sheet, the first sheet with its
# table of visited places.
controlla_pdf() {
    local pdf="$1" attese="$2" pagine
    [ -f "$pdf" ] || fallisci "no $pdf"
    [ "$(head -c 5 "$pdf")" = "%PDF-" ] || fallisci "$pdf is not a PDF"
    pagine=$(pdfinfo "$pdf" 2>/dev/null | awk '/^Pages:/ {print $2}')
    [ "$pagine" = "$attese" ] || fallisci "$pdf has '$pagine' pages, expected $attese"
    pdftotext -f 2 -l 2 "$pdf" - 2>/dev/null | grep -q "^Località visitate" ||
        fallisci "the first sheet of $pdf has no \"Località visitate\" table"
}

W=$(finestra)
[ -n "$W" ] || fallisci "the window did not appear"
a_fuoco "$W"
if [ -n "$TEMA" ]; then
    # The program runs under timeout, a child of $APP_PID.
    programma=$(cat /proc/"$APP_PID"/task/*/children 2>/dev/null | tr -d " ")
    grep -qs "libq$TEMA.so" "/proc/${programma:-$APP_PID}/maps" || fallisci "the $TEMA theme was not loaded"
    echo "ok: running under the $TEMA platform theme"
fi

# The save dialog (the confirmation answered "Sì" just before): optionally a
# path typed over the proposed one, then Enter.
salva_come() {
    local id
    id=$(titolata "$SALVA") || fallisci "no save dialog after the confirmation"
    if [ -n "${1:-}" ]; then
        tasti ctrl+a
        digita "$1"
    fi
    tasti Return
    chiusa "$id" "$SALVA"
}
# The "Documento salvato" box: it must name FILE; Enter closes it.
salvato() {
    local id
    id=$(titolata "$SALVATO") || fallisci "no \"Documento salvato\" box for $1"
    if [ -n "${VAGOLUME_SCREENSHOT_SALVATO:-}" ] && command -v import >/dev/null 2>&1; then
        eval "$(timeout 5 xdotool getwindowgeometry --shell "$W")"
        timeout 20 import -display "$DISPLAY" -window root "$TMP/schermo.png" &&
            timeout 20 convert "$TMP/schermo.png" -crop "$((WIDTH + 120))x${HEIGHT}+$((X - 60))+${Y}" +repage \
                "$VAGOLUME_SCREENSHOT_SALVATO" && echo "screenshot: $VAGOLUME_SCREENSHOT_SALVATO"
        VAGOLUME_SCREENSHOT_SALVATO=""
    fi
    tasti Return
    chiusa "$id" "$SALVATO"
}

# Types TEXT; an "à" in it slowly, as "ù" below.
digita() {
    local testo=$1
    timeout 20 xdotool type --delay 30 "${testo%%à*}" || fallisci "xdotool type $1"
    [ "${testo#*à}" != "$testo" ] || return 0
    timeout 20 xdotool type --delay 800 "à" && timeout 20 xdotool type --delay 30 "${testo#*à}" ||
        fallisci "xdotool type $1"
}

# 1. A three-day itinerary: destination typed in lower case, 01 to 03 January
#    of the current year picked with the arrow keys.
# "ù" is not on the server's keyboard map: xdotool maps it to a spare key for
# the moment of the key press, so it goes slowly, giving the program time to
# read the key before the map is put back, even on a busy machine.
timeout 20 xdotool type --delay 60 "cefal" && timeout 20 xdotool type --delay 800 "ù" || fallisci "xdotool type"
tasti alt+d
tasti Home # first day of the list: 01
tasti Tab
tasti Home # January: the day list is rebuilt, 01 stays
tasti alt+a
tasti Home Down Down # 03
tasti Tab
tasti --repeat 12 Up # January
sleep 0.5
if [ -n "${VAGOLUME_SCREENSHOT:-}" ] && command -v import >/dev/null 2>&1; then
    eval "$(timeout 5 xdotool getwindowgeometry --shell "$W")"
    timeout 20 import -display "$DISPLAY" -window root "$TMP/schermo.png" &&
        timeout 20 convert "$TMP/schermo.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$VAGOLUME_SCREENSHOT" &&
        echo "screenshot: $VAGOLUME_SCREENSHOT"
fi
tasti alt+s # the printer panel opens on the current printer, the PDF writer
pannello 1
# Tab goes round what can be seen: the list, its buttons, the destination,
# "?"; never the date lists under the panel, where Up would change the
# first day unseen (the printed document would have 3 pages, not 4).
tasti Tab Tab Tab Tab Tab Up
tasti alt+t
D=$(domanda) || fallisci "no confirmation question after S&tampa"
tasti Return # "Sì" is the default answer
sparita "$D"
salva_come "" # the proposed name in the proposed folder
fine_scritta "$FINE"
PDF="$DOCUMENTI/CEFALÙ_Vagolume.pdf"
[ -e "$PDF" ] || fallisci "no $PDF; Documents holds: $(ls -A "$DOCUMENTI")"
controlla_pdf "$PDF" 4
# "Apri" in the box, with no program that opens PDF files: the window says so.
ID=$(titolata "$SALVATO") || fallisci "no \"Documento salvato\" box"
tasti alt+a
chiusa "$ID" "$SALVATO"
ID=$(titolata "$NON_APERTO") || fallisci "\"Apri\" with no PDF viewer said nothing"
tasti Return
chiusa "$ID" "$NON_APERTO"
[ -z "$(find "$LAVORO" -mindepth 1 ! -name FineStampaPercorsario.tmp)" ] ||
    fallisci "the working folder got $(ls -A "$LAVORO")"
echo "ok: itinerary of three days saved as $PDF, \"Documento salvato\" shown"
rm -f "$PDF" "$FINE"

# 2. The blank run of the issue: Alt+M, Alt+S, Alt+T, Enter, a full path
#    typed into the dialog (".pdf" added), 2 pages there.
a_fuoco "$W"
tasti alt+m alt+s alt+t
D=$(domanda) || fallisci "no confirmation question for the blank sheet"
tasti Return
sparita "$D"
salva_come "$SCELTA_SCRITTA/bianco"
fine_scritta "$FINE"
controlla_pdf "$SCELTA/bianco.pdf" 2
salvato "$SCELTA_SCRITTA/bianco.pdf"
echo "ok: blank sheet saved as the typed path $SCELTA_SCRITTA/bianco.pdf, in the Latin-1 folder"
rm -f "$FINE"
# Enter now: the focus is back on "Moduli in bianco", not on "Fine".
W2=$(finestra)
[ "$W2" = "$W" ] || fallisci "window id changed"
tasti Return
pannello 1
kill -0 "$APP_PID" 2>/dev/null || fallisci "Enter after the run ended the program"
tasti Escape
pannello 0
# Enter with the focus on "Fine" (Shift+Tab from "Moduli in bianco"): the
# printer list again, under every theme.
tasti shift+Tab Return
pannello 1
kill -0 "$APP_PID" 2>/dev/null || fallisci "Enter on \"Fine\" ended the program"
tasti Escape
pannello 0
echo "ok: Enter after the box, and Enter on \"Fine\", opened the printer list, Escape closed it"

# The same name again, typed without ".pdf": the window asks before replacing
# bianco.pdf, which the dialog cannot see in its folder; "No" (the default)
# goes back to the dialog, which is cancelled.
a_fuoco "$W"
cp "$SCELTA/bianco.pdf" "$TMP/bianco-prima.pdf"
tasti alt+s alt+t
D=$(domanda) || fallisci "no confirmation question for the blank sheet"
tasti Return
sparita "$D"
ID=$(titolata "$SALVA") || fallisci "no save dialog"
tasti ctrl+a
digita "$SCELTA_SCRITTA/bianco"
tasti Return
Q=$(titolata "$SALVA" 50 "$ID") || fallisci "typing the name of an existing PDF without .pdf replaced it unasked"
tasti Return
chiusa "$Q" "$SALVA"
ID=$(titolata "$SALVA") || fallisci "\"No\" did not go back to the save dialog"
a_fuoco "$ID"
tasti Escape
chiusa "$ID" "$SALVA"
fine_scritta "$FINE"
cmp -s "$SCELTA/bianco.pdf" "$TMP/bianco-prima.pdf" || fallisci "bianco.pdf was changed"
rm -f "$FINE"
echo "ok: the existing bianco.pdf was not replaced without asking"

# 3. One letter is enough to print; Backspace to empty disables "Stampa".
a_fuoco "$W"
tasti alt+m alt+e ctrl+a x alt+s alt+t
D=$(domanda) || fallisci "a one-letter destination did not print"
tasti Return
sparita "$D"
ID=$(titolata "$SALVA") || fallisci "no save dialog for the one-letter destination"
tasti Escape # cancelling the dialog is answering No
chiusa "$ID" "$SALVA"
fine_scritta "$FINE"
[ -z "$(find "$DOCUMENTI" "$SCELTA" -iname '*.pdf' ! -name bianco.pdf)" ] ||
    fallisci "a cancelled save wrote $(ls -A "$DOCUMENTI" "$SCELTA")"
rm -f "$FINE" "$SCELTA/bianco.pdf"
a_fuoco "$W"
tasti BackSpace alt+s
pannello 0
if titolata "$SALVA|^Stampa dei moduli\$" 10 >/dev/null; then
    fallisci "Alt+S printed with an empty destination"
fi
echo "ok: X printed up to the save dialog; after Backspace Alt+S does nothing"

# 4. A save folder that cannot be written.
RO="$TMP/sola-lettura"
mkdir -p "$RO"
if [ "$(id -u)" = 0 ]; then
    mount -t tmpfs -o size=64k,ro tmpfs "$RO" && SOLA_LETTURA="$RO"
else
    chmod 555 "$RO" && SOLA_LETTURA=""
fi
a_fuoco "$W"
tasti y alt+s alt+t
D=$(domanda) || fallisci "no confirmation question for the read-only folder"
tasti Return
sparita "$D"
salva_come "$RO/viaggio.pdf"
ID=$(titolata "$NON_RIUSCITA") || fallisci "no \"Stampa non riuscita\" box for a read-only folder"
tasti Return
chiusa "$ID" "$NON_RIUSCITA"
fine_scritta "$FINE"
[ -z "$(ls -A "$RO")" ] || fallisci "the read-only folder holds $(ls -A "$RO")"
rm -f "$FINE"
echo "ok: read-only save folder: \"Stampa non riuscita\""

# A long run started from the window and saved as $SCELTA/FILE, with KEYS
# pressed at once after the save dialog's Enter; D is its confirmation box.
corsa_lunga() { # FILE KEYS...
    local file=$1
    shift
    a_fuoco "$W"
    tasti alt+s alt+t
    D=$(domanda) || fallisci "no confirmation question for the long run"
    tasti Return
    sparita "$D"
    titolata "$SALVA" >/dev/null || fallisci "no save dialog for the long run"
    tasti ctrl+a
    digita "$SCELTA_SCRITTA/$file"
    timeout 10 xdotool key --delay 2 Return "$@" || fallisci "xdotool key Return $*"
}

# 5. 99 blank sheets, cancelled with "&Annulla". Enter in the save dialog and
#    a few Alt+A go out together, so that Alt+A is waiting when the run first
#    looks at the window; should the run still be over before (sheets that
#    draw next to nothing go fast), the attempt is repeated.
a_fuoco "$W"
tasti alt+m alt+n
tasti End # 99
annullata=""
for tentativo in $(seq 10); do
    corsa_lunga lungo.pdf alt+a alt+a alt+a alt+a alt+a
    if D2=$(domanda "$D" 30); then
        tasti Return # "Sì": cancel
        sparita "$D2"
        annullata=1
        break
    fi
    echo "note: attempt $tentativo: the run was over before Alt+A was taken; again"
    fine_scritta "$FINE"
    if S=$(titolata "$SALVATO" 50); then
        tasti Return
        chiusa "$S" "$SALVATO"
    fi
    rm -f "$SCELTA"/*.pdf "$FINE"
done
[ -n "$annullata" ] || fallisci "Alt+A during the run never asked to cancel"
fine_scritta "$FINE"
if ls "$SCELTA"/*.pdf "$LAVORO"/*.pdf >/dev/null 2>&1; then
    fallisci "a cancelled run left $(ls "$SCELTA"/*.pdf "$LAVORO"/*.pdf 2>/dev/null)"
fi
if titolata "$SALVATO|$NON_RIUSCITA" 10 >/dev/null; then
    fallisci "a box came up after a cancelled run"
fi
echo "ok: cancelled run printed nothing, said nothing and wrote the end-of-run file"

# F1 during a long run: the help comes up and the run goes on to its end
#    ("Documento salvato" while the help is still open).
a_fuoco "$W"
aiutata=""
for tentativo in $(seq 10); do
    corsa_lunga aiuto.pdf F1 F1 F1 F1 F1
    S=$(titolata "$SALVATO" 100) || fallisci "the run did not end while the help was open"
    if H=$(timeout 5 xdotool search --onlyvisible --name "$AIUTO" 2>/dev/null | head -n 1) && [ -n "$H" ]; then
        aiutata=1
        a_fuoco "$S"
        tasti Return
        chiusa "$S" "$SALVATO"
        a_fuoco "$H"
        tasti Return
        chiusa "$H" "$AIUTO"
        break
    fi
    echo "note: attempt $tentativo: the run was over before F1 was taken; again"
    a_fuoco "$S"
    tasti Return
    chiusa "$S" "$SALVATO"
    rm -f "$SCELTA"/aiuto.pdf "$FINE"
done
[ -n "$aiutata" ] || fallisci "F1 during the run never showed the help"
fine_scritta "$FINE"
controlla_pdf "$SCELTA/aiuto.pdf" 100
rm -f "$FINE"
echo "ok: F1 showed the help during the run, which went on to its end"

# 6. "&Fine" ends the program; under a platform theme, a SIGTERM while the
#    confirmation is open does instead: the run is declined as by "No", the
#    end-of-run file written, and the program ends as killed by the signal.
if [ -z "$TEMA" ]; then
    esci_con_fine "$W"
else
    a_fuoco "$W"
    tasti alt+s alt+t
    D=$(domanda) || fallisci "no confirmation question before the signal"
    programma=$(pgrep -P "$APP_PID" | head -n 1)
    [ -n "$programma" ] || fallisci "no program process under $APP_PID"
    kill -TERM "$programma"
    wait "$APP_PID"
    stato=$?
    APP_PID=""
    [ "$stato" = 143 ] || fallisci "a signal at the confirmation: status $stato"
    fine_scritta "$FINE" 10
    grep -q 'stampa interrotta dal segnale 15' "$TMP/uscita.txt" ||
        fallisci "a signal at the confirmation: no line: $(cat "$TMP/uscita.txt")"
    echo "ok: a signal at the confirmation declined the run and wrote the end-of-run file"
fi
echo "PASS"
