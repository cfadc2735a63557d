#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop user
# gets: the program, the menu entry, the theme icons, the manual page, and the
# two informational options.
#
#   tests/e2e/installa.sh BUILD/vagolume
set -u

if [[ $# -ne 1 || ! -x $1 ]]; then
    echo "uso: $0 PERCORSO/DI/vagolume" >&2
    exit 2
fi
BUILD=$(cd "$(dirname "$1")" && pwd)
CACHE=$BUILD/CMakeCache.txt
[[ -f $CACHE ]] || { echo "FAIL: $CACHE non trovato (vagolume non è nella cartella di build)"; exit 1; }
valore_cache() { sed -n "s/^$1:[A-Z]*=//p" "$CACHE" | head -n1; }
CMAKE=$(valore_cache CMAKE_COMMAND)
SORGENTI=$(valore_cache CMAKE_HOME_DIRECTORY)
VERSIONE=$(valore_cache CMAKE_PROJECT_VERSION)
[[ -x $CMAKE ]] || CMAKE=cmake

LAVORO=$(mktemp -d)
trap 'rm -rf "$LAVORO"' EXIT
P=$LAVORO/prefisso
ERRORI=0
fail() { echo "FAIL: $*"; ERRORI=$((ERRORI + 1)); }
ok() { echo "ok: $*"; }
# A check that cannot run here leaves the whole test reported as skipped.
SALTATI=0
salta() { echo "SKIP: $*"; SALTATI=$((SALTATI + 1)); }

# Width and height of a PNG file, from its IHDR chunk.
lato_png() { od -An -tu1 -j16 -N8 "$1" | awk '{print ($1*16777216+$2*65536+$3*256+$4) "x" ($5*16777216+$6*65536+$7*256+$8)}'; }

# Runs the program from an empty folder with no display and no printing
# system; leaves stdout, stderr and exit status in files of that folder's parent.
esegui() {
    local cartella=$1
    shift
    mkdir -p "$cartella"
    (cd "$cartella" && env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u PRINTER -u LPDEST \
        CUPS_SERVER=/nonexistent/vagolume-cups.sock "$@" >"$cartella.out" 2>"$cartella.err")
    echo $? >"$cartella.rc"
}

# --- cmake --install ---------------------------------------------------------
if ! "$CMAKE" --install "$BUILD" --prefix "$P" >"$LAVORO/install.log" 2>&1; then
    cat "$LAVORO/install.log"
    fail "cmake --install non riuscito"
    exit 1
fi
ok "cmake --install in $P"

[[ -x $P/bin/vagolume ]] && ok "bin/vagolume" || fail "bin/vagolume manca o non è eseguibile"
DESKTOP=$P/share/applications/vagolume.desktop
[[ -f $DESKTOP ]] && ok "share/applications/vagolume.desktop" || fail "vagolume.desktop manca"
MAN=$P/share/man/man1/vagolume.1.gz
[[ -f $MAN ]] && ok "share/man/man1/vagolume.1.gz" || fail "vagolume.1.gz manca"
[[ -f $P/share/doc/vagolume/copyright ]] && ok "share/doc/vagolume/copyright" || fail "copyright manca"

# Every icon must be a PNG of the size its folder promises, and the 32x32 one
# is the logo itself (the picture the window shows).
for lato in 32 48 64 128; do
    icona=$P/share/icons/hicolor/${lato}x${lato}/apps/vagolume.png
    if [[ ! -f $icona ]]; then
        fail "icona ${lato}x${lato} mancante"
    elif [[ $(head -c8 "$icona" | od -An -tx1 | tr -d ' \n') != 89504e470d0a1a0a ]]; then
        fail "icona ${lato}x${lato} non è un PNG"
    elif [[ $(lato_png "$icona") != "${lato}x${lato}" ]]; then
        fail "icona ${lato}x${lato} è $(lato_png "$icona")"
    else
        ok "icona ${lato}x${lato}"
    fi
done
cmp -s "$P/share/icons/hicolor/32x32/apps/vagolume.png" "$SORGENTI/resources/logo1.png" ||
    fail "l'icona 32x32 non è resources/logo1.png"

# Nothing but what a user needs: no libraries, headers or test programs.
estranei=$(cd "$P" && find . -type f ! -path ./bin/vagolume ! -path ./share/applications/vagolume.desktop \
    ! -path './share/icons/hicolor/*/apps/vagolume.png' ! -path ./share/man/man1/vagolume.1.gz ! -path ./share/doc/vagolume/copyright)
[[ -z $estranei ]] && ok "nessun file estraneo" || fail "file installati in più: $estranei"

# --- desktop entry -------------------------------------------------------------
if [[ -f $DESKTOP ]]; then
    if command -v desktop-file-validate >/dev/null; then
        if uscita=$(desktop-file-validate "$DESKTOP" 2>&1) && [[ -z $uscita ]]; then
            ok "desktop-file-validate"
        else
            fail "desktop-file-validate: $uscita"
        fi
    else
        salta "desktop-file-validate assente (pacchetto desktop-file-utils)"
    fi
    chiave() { sed -n "s/^$1=//p" "$DESKTOP" | head -n1; }
    [[ $(chiave Exec) == vagolume ]] || fail "Exec=$(chiave Exec): deve avviare vagolume senza argomenti"
    [[ $(chiave Icon) == vagolume ]] || fail "Icon=$(chiave Icon) non è l'icona installata"
    [[ $(chiave Categories) == *Office\;* ]] || fail "Categories senza Office"
    [[ $(chiave Terminal) == false ]] || fail "Terminal non è false"
    [[ -n $(chiave Comment) ]] || fail "Comment vuoto"
    # The window announces this entry's name (setDesktopFileName) and class.
    grep -q 'setDesktopFileName(QStringLiteral("vagolume"))' "$SORGENTI/app/Avvio.cpp" ||
        fail "il programma non si dichiara come vagolume.desktop"
    grep -q 'setApplicationName(QStringLiteral("Vagolume"))' "$SORGENTI/app/Avvio.cpp" &&
        [[ $(chiave StartupWMClass) == Vagolume ]] || fail "StartupWMClass non corrisponde al nome del programma"
    ok "chiavi della voce di menu"
fi

# --- manual page ----------------------------------------------------------------
# Rendered once, wide enough that no line is broken; the checks below read the
# text a reader sees.
RESA=$LAVORO/man.txt
: >"$RESA"
if [[ -f $MAN ]]; then
    if command -v man >/dev/null; then
        if MANWIDTH=250 LC_ALL=C.UTF-8 man --warnings -l "$MAN" >"$RESA" 2>"$LAVORO/man.err" &&
            [[ ! -s $LAVORO/man.err ]] && grep -q '^NOME' "$RESA"; then
            ok "man -l"
        else
            fail "man -l: $(cat "$LAVORO/man.err")"
        fi
        # What the page has to document, as the program spells it.
        for voce in 'DESTINAZIONE,GG/MM/AAAA,GG/MM/AAAA' '.exe' 'Commandline.txt' 'FineStampaPercorsario.tmp' \
            'Fatto' 'CR LF' 'destinazione_Vagolume.pdf' 'ROMA_Vagolume.pdf' '--help' '--version' \
            'STATO DI USCITA' "Vagolume $VERSIONE"; do
            grep -qF -- "$voce" "$RESA" || fail "la pagina di manuale non cita: $voce"
        done
    else
        salta "man assente (pacchetto man-db)"
    fi
    for stato in 0 1 2; do
        zgrep -qx -- ".B $stato" "$MAN" || fail "la pagina di manuale non descrive lo stato di uscita $stato"
    done
fi

# --- --help / --version ----------------------------------------------------------
# Run with a display that does not exist: the options must not even try to
# open a window, nor print anything.
V=$P/bin/vagolume
esegui "$LAVORO/help" env DISPLAY=:987 "$V" --help
if [[ $(cat "$LAVORO/help.rc") == 0 && ! -s $LAVORO/help.err ]] && grep -q '^Uso: vagolume' "$LAVORO/help.out"; then
    ok "--help"
else
    fail "--help: stato $(cat "$LAVORO/help.rc"), errori: $(cat "$LAVORO/help.err")"
fi
for voce in 'DESTINAZIONE,GG/MM/AAAA,GG/MM/AAAA' '.exe' 'Commandline.txt' 'FineStampaPercorsario.tmp' \
    '_Vagolume.pdf' '--help' '--version'; do
    grep -qF -- "$voce" "$LAVORO/help.out" || fail "--help non cita $voce"
    # The manual page must not contradict or omit what --help promises.
    [[ ! -s $RESA ]] || grep -qF -- "$voce" "$RESA" || fail "--help cita $voce ma la pagina di manuale no"
done

esegui "$LAVORO/versione" env DISPLAY=:987 "$V" --version
if [[ $(cat "$LAVORO/versione.rc") == 0 && ! -s $LAVORO/versione.err &&
    $(cat "$LAVORO/versione.out") == "Vagolume $VERSIONE" ]]; then
    ok "--version: $(cat "$LAVORO/versione.out")"
else
    fail "--version: stato $(cat "$LAVORO/versione.rc"), uscita '$(cat "$LAVORO/versione.out")' (atteso 'Vagolume $VERSIONE')"
fi
for f in help versione; do
    [[ -z $(ls -A "$LAVORO/$f") ]] || fail "--$f ha creato file: $(ls -A "$LAVORO/$f")"
done

# An option among other words is part of an invocation line, not an option.
esegui "$LAVORO/misto" env -u DISPLAY "$V" --version extra
grep -q '^Vagolume ' "$LAVORO/misto.out" && fail "--version con altri argomenti stampa comunque la versione"

# No display and nothing to print: status 2 and one line on standard error.
esegui "$LAVORO/vuoto" env -u DISPLAY "$V"
if [[ $(cat "$LAVORO/vuoto.rc") == 2 && $(wc -l <"$LAVORO/vuoto.err") == 1 ]] && grep -q '^vagolume: ' "$LAVORO/vuoto.err"; then
    ok "senza schermo e senza riga di comando: stato 2"
else
    fail "senza schermo e senza riga di comando: stato $(cat "$LAVORO/vuoto.rc"), errori: $(cat "$LAVORO/vuoto.err")"
fi

# The installed program prints an itinerary through the PDF writer.
esegui "$LAVORO/stampa" env -u DISPLAY "$V" "ROMA,01/08/2026,03/08/2026"
if [[ $(cat "$LAVORO/stampa.rc") == 0 && -s $LAVORO/stampa/ROMA_Vagolume.pdf ]] &&
    [[ $(od -An -c "$LAVORO/stampa/FineStampaPercorsario.tmp" | tr -s ' ') == " F a t t o \r \n" ]]; then
    ok "stampa su PDF dal programma installato"
else
    fail "stampa: stato $(cat "$LAVORO/stampa.rc"), file: $(ls -A "$LAVORO/stampa"), errori: $(cat "$LAVORO/stampa.err")"
fi

if ((ERRORI > 0)); then
    echo "$ERRORI controlli falliti"
    exit 1
fi
((SALTATI == 0)) || exit 77
echo "PASS"
