#!/usr/bin/env bash
# The whole life of the Debian package on this machine: build it with CPack,
# install it with apt, run the installed program, purge it and check that
# nothing of it is left.
#
#   VAGOLUME_TEST_DEB=1 tests/e2e/pacchetto_deb.sh BUILD/vagolume
#
# It installs and removes a system package, so it runs only as root and only
# when VAGOLUME_TEST_DEB=1 (set by CI); otherwise it prints SKIP and exits 77 (skipped).
set -u

if [[ ${VAGOLUME_TEST_DEB:-} != 1 ]]; then
    echo "SKIP: installa e rimuove il pacchetto di sistema; impostare VAGOLUME_TEST_DEB=1 per eseguirlo"
    exit 77
fi
if [[ $# -ne 1 || ! -x $1 ]]; then
    echo "uso: $0 PERCORSO/DI/vagolume" >&2
    exit 2
fi
if [[ $(id -u) != 0 ]]; then
    echo "FAIL: VAGOLUME_TEST_DEB=1 richiede root (apt-get install / dpkg -P)"
    exit 1
fi
for programma in cpack dpkg-deb dpkg-shlibdeps apt-get; do
    command -v "$programma" >/dev/null || { echo "FAIL: manca $programma"; exit 1; }
done
if dpkg-query -W -f='${db:Status-Status}' vagolume 2>/dev/null | grep -qv '^not-installed$'; then
    echo "FAIL: il pacchetto vagolume è già sul sistema; non lo tocco (rimuoverlo con dpkg -P vagolume)"
    exit 1
fi

BUILD=$(cd "$(dirname "$1")" && pwd)
CACHE=$BUILD/CMakeCache.txt
valore_cache() { sed -n "s/^$1:[A-Z]*=//p" "$CACHE" | head -n1; }
VERSIONE=$(valore_cache CMAKE_PROJECT_VERSION)
CPACK=$(dirname "$(valore_cache CMAKE_COMMAND)")/cpack
[[ -x $CPACK ]] || CPACK=cpack

LAVORO=$(mktemp -d)
chmod 755 "$LAVORO" # apt reads the local .deb as its unprivileged user
INSTALLATO=0
pulisci() {
    # Never leave the package behind, whatever failed.
    if ((INSTALLATO)); then
        DEBIAN_FRONTEND=noninteractive apt-get purge -y -q vagolume >/dev/null 2>&1 || dpkg -P vagolume >/dev/null 2>&1
    fi
    rm -rf "$LAVORO"
}
trap pulisci EXIT
ERRORI=0
fail() { echo "FAIL: $*"; ERRORI=$((ERRORI + 1)); }
ok() { echo "ok: $*"; }
esci_se_errori() {
    if ((ERRORI > 0)); then
        echo "$ERRORI controlli falliti"
        exit 1
    fi
}

# --- build the package ----------------------------------------------------------
if ! "$CPACK" -G DEB --config "$BUILD/CPackConfig.cmake" -B "$LAVORO/pacchetto" >"$LAVORO/cpack.log" 2>&1; then
    cat "$LAVORO/cpack.log"
    fail "cpack -G DEB non riuscito"
    esci_se_errori
fi
DEB=$(ls "$LAVORO"/pacchetto/vagolume_"$VERSIONE"_*.deb 2>/dev/null | head -n1)
[[ -n $DEB ]] || { fail "nessun vagolume_${VERSIONE}_*.deb in $LAVORO/pacchetto"; esci_se_errori; }
ok "$(basename "$DEB"), $(stat -c %s "$DEB") byte"

campo() { dpkg-deb -f "$DEB" "$1"; }
[[ $(campo Package) == vagolume && $(campo Version) == "$VERSIONE" ]] || fail "Package/Version: $(campo Package) $(campo Version)"
[[ $(campo Maintainer) == *"<vagolume@vagolume.invalid>"* ]] || fail "Maintainer: $(campo Maintainer)"
DIPENDENZE=$(campo Depends)
for d in libqt6core6 libqt6gui6 libqt6widgets6 libcups2 fonts-liberation; do
    [[ ",$DIPENDENZE," =~ [,\ ]$d[\ ,] ]] || fail "Depends senza $d: $DIPENDENZE"
done
ok "Depends: $DIPENDENZE"
# Every file belongs to root and lives under /usr.
if altri=$(dpkg-deb -c "$DEB" | awk '$2 != "root/root" || $6 !~ /^\.\/usr\//') && [[ -n $altri ]]; then
    fail "voci dell'archivio non di root o fuori da /usr: $altri"
fi
esci_se_errori

# --- install with apt -------------------------------------------------------------
if ! DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$DEB" >"$LAVORO/apt-install.log" 2>&1; then
    INSTALLATO=1
    tail -n 20 "$LAVORO/apt-install.log"
    fail "apt-get install non riuscito"
    esci_se_errori
fi
INSTALLATO=1
ok "apt-get install $(basename "$DEB")"
dpkg -L vagolume >"$LAVORO/elenco"
FILE_PACCHETTO=()
while IFS= read -r voce; do
    [[ -f $voce || -L $voce ]] && FILE_PACCHETTO+=("$voce")
done <"$LAVORO/elenco"
ok "${#FILE_PACCHETTO[@]} file installati: ${FILE_PACCHETTO[*]}"
# Slim container images tell dpkg not to unpack manual pages: then the page is
# looked for in the package itself.
PAGINA_MAN=/usr/share/man/man1/vagolume.1.gz
if grep -rqs '^path-exclude.*/usr/share/man' /etc/dpkg/dpkg.cfg /etc/dpkg/dpkg.cfg.d; then
    dpkg-deb -c "$DEB" | grep -q " \.$PAGINA_MAN\$" &&
        ok "pagina di manuale nel pacchetto (dpkg qui non installa le pagine: path-exclude)" ||
        fail "$PAGINA_MAN non è nel pacchetto"
    PAGINA_MAN=
fi
for atteso in /usr/bin/vagolume /usr/share/applications/vagolume.desktop \
    /usr/share/icons/hicolor/32x32/apps/vagolume.png /usr/share/doc/vagolume/copyright $PAGINA_MAN; do
    grep -qx -- "$atteso" "$LAVORO/elenco" && [[ -e $atteso ]] || fail "$atteso non installato"
done
if command -v desktop-file-validate >/dev/null; then
    uscita=$(desktop-file-validate /usr/share/applications/vagolume.desktop 2>&1) && [[ -z $uscita ]] &&
        ok "desktop-file-validate" || fail "desktop-file-validate: $uscita"
else
    echo "SKIP: desktop-file-validate assente (pacchetto desktop-file-utils)"
    SALTATO=1
fi
if [[ -n $PAGINA_MAN ]] && command -v man >/dev/null; then
    # man -w finds the page through the system's manual path; it is rendered
    # with -l so that no formatted copy is left in /var/cache/man.
    [[ $(man -w vagolume 2>/dev/null) == /usr/share/man/man1/vagolume.1* ]] &&
        MANWIDTH=80 man -l "$(man -w vagolume)" 2>/dev/null | grep -q 'vagolume - stampa' &&
        ok "man vagolume" || fail "man vagolume"
fi

# --- run the installed program ------------------------------------------------
[[ $(command -v vagolume) == /usr/bin/vagolume ]] || fail "vagolume nel PATH è $(command -v vagolume)"
versione=$(cd "$LAVORO" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM /usr/bin/vagolume --version)
stato=$?
[[ $stato == 0 && $versione == "Vagolume $VERSIONE" ]] && ok "vagolume --version: $versione" ||
    fail "vagolume --version: stato $stato, '$versione'"

# Prints ROMA from an empty folder without a display or printing system.
stampa_roma() {
    mkdir "$1"
    (cd "$1" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u PRINTER -u LPDEST \
        CUPS_SERVER=/nonexistent/vagolume-cups.sock "$2" "ROMA,01/08/2026,03/08/2026" \
        >"$1.out" 2>"$1.err")
}
VUOTA=$LAVORO/vuota
stampa_roma "$VUOTA" /usr/bin/vagolume
stato=$?
if [[ $stato == 0 && -s $VUOTA/ROMA_Vagolume.pdf ]] &&
    [[ $(od -An -c "$VUOTA/FineStampaPercorsario.tmp" | tr -s ' ') == " F a t t o \r \n" ]]; then
    ok "vagolume \"ROMA,01/08/2026,03/08/2026\" senza schermo: ROMA_Vagolume.pdf, $(stat -c %s "$VUOTA/ROMA_Vagolume.pdf") byte"
    # The packaged program draws the same document as the one in the build tree.
    if command -v pdfinfo >/dev/null; then
        stampa_roma "$LAVORO/riferimento" "$BUILD/vagolume"
        pagine() { pdfinfo "$1" 2>/dev/null | sed -n 's/^Pages: *//p'; }
        p_inst=$(pagine "$VUOTA/ROMA_Vagolume.pdf")
        p_build=$(pagine "$LAVORO/riferimento/ROMA_Vagolume.pdf")
        [[ -n $p_inst && $p_inst == "$p_build" ]] && ok "$p_inst pagine, come il programma della build" ||
            fail "pagine: installato $p_inst, build $p_build"
    fi
else
    fail "stampa: stato $stato, file: $(ls -A "$VUOTA"), errori: $(cat "$VUOTA.err")"
fi

# --- purge and look for leftovers ------------------------------------------------
if DEBIAN_FRONTEND=noninteractive apt-get purge -y -q vagolume >"$LAVORO/apt-purge.log" 2>&1; then
    INSTALLATO=0
    ok "apt-get purge vagolume"
else
    tail -n 20 "$LAVORO/apt-purge.log"
    fail "apt-get purge non riuscito"
fi
[[ $(dpkg-query -W -f='${db:Status-Status}' vagolume 2>/dev/null) == not-installed ||
    -z $(dpkg-query -W -f='${db:Status-Status}' vagolume 2>/dev/null) ]] || fail "dpkg conosce ancora vagolume"
rimasti=()
for f in "${FILE_PACCHETTO[@]}"; do
    [[ -e $f || -L $f ]] && rimasti+=("$f")
done
# Folders that only the package brought must be gone too.
while IFS= read -r voce; do
    [[ -d $voce && $voce == *vagolume* ]] && rimasti+=("$voce/")
done <"$LAVORO/elenco"
for f in /var/lib/dpkg/info/vagolume.* /var/cache/man/*/vagolume.1*; do
    [[ -e $f ]] && rimasti+=("$f")
done
if ((${#rimasti[@]} > 0)); then
    fail "rimasto dopo la rimozione: ${rimasti[*]}"
else
    ok "nulla rimasto di ${#FILE_PACCHETTO[@]} file"
fi
hash -r
command -v vagolume >/dev/null && fail "vagolume è ancora nel PATH: $(command -v vagolume)"

esci_se_errori
[[ -z ${SALTATO:-} ]] || exit 77
echo "PASS"
