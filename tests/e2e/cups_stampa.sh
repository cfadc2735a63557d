#!/bin/bash
# A run started with an itinerary prints on the server's default queue: one
# job titled after the document (ROMA_Vagolume), the cover page and one page
# per day, and the end-of-run file. A default the user set to a queue that
# does not exist (LPDEST, lpoptions) gives a PDF and one line saying so and
# where it went.
VAGOLUME=$1
source "$(dirname "$0")/../cups/e2e-comune.sh"
richiedi_server

cd "$DIR/run" || fail "cd"
"$VAGOLUME" "ROMA,01/03/2024,05/03/2024" 2>"$DIR/stderr"
rc=$?
grep -v "^QStandardPaths" "$DIR/stderr"
[ $rc = 0 ] || fail "exit code $rc"
controlla_fine "$DIR/run"
[ ! -e "$DIR/run/ROMA_Vagolume.pdf" ] || fail "written as a PDF file instead of printed"
[ -z "$(ls -A "$DIR/temp-app")" ] || fail "temporary files left: $(ls -A "$DIR/temp-app")"
aspetta_lavori

lavori=$(lpstat -W completed -o | awk '{ print $1 }')
[ "$lavori" = "Vagolume_Pdf-1" ] || fail "jobs on the server: '$lavori' (expected Vagolume_Pdf-1 only)"
# cups-pdf names its output after the job title.
uscita=$(ls "$DIR/out")
[ "$uscita" = "ROMA_Vagolume.pdf" ] || fail "queue output: '$uscita' (expected ROMA_Vagolume.pdf)"

# Cover page + one page per day, as the server counted them and as the
# queue wrote them; the job titled after the document. The server's page log:
# "QUEUE USER ID [DATE ZONE] total PAGES BILLING HOST TITLE ...".
attese=$((1 + 5))
riga=$(awk '$1 == "Vagolume_Pdf" && $3 == 1 && $6 == "total"' "$DIR/log/page_log" 2>/dev/null)
[ -n "$riga" ] || fail "job Vagolume_Pdf-1 is not in the page log"
# shellcheck disable=SC2086 # split into the log's fields
set -- $riga
[ "${10}" = "ROMA_Vagolume" ] || fail "the job is titled '${10}', expected ROMA_Vagolume"
[ "$7" = "$attese" ] || fail "the server counted $7 pages, expected $attese"
n=$(pagine "$DIR/out/ROMA_Vagolume.pdf")
[ "$n" = "$attese" ] || fail "the job has $n pages, expected $attese"
echo "PASS: job ROMA_Vagolume on Vagolume_Pdf, $n pages"

# The default set to a queue that is not there.
mkdir -p "$DIR/casa/.cups"
echo "Default Inesistente" >"$DIR/casa/.cups/lpoptions"
for come in LPDEST lpoptions; do
    rm -rf "$DIR/run" && mkdir -p "$DIR/run" && cd "$DIR/run" || fail "cd"
    if [ $come = LPDEST ]; then
        LPDEST=Inesistente "$VAGOLUME" "ROMA,01/03/2024,05/03/2024" 2>"$DIR/stderr"
    else
        HOME=$DIR/casa "$VAGOLUME" "ROMA,01/03/2024,05/03/2024" 2>"$DIR/stderr"
    fi
    rc=$?
    [ $rc = 0 ] || fail "$come: exit code $rc; $(cat "$DIR/stderr")"
    controlla_fine "$DIR/run"
    [ "$(pagine "$DIR/run/ROMA_Vagolume.pdf")" = 6 ] || fail "$come: no PDF: $(ls -A "$DIR/run")"
    [ "$(grep -c "^vagolume: .*\"Inesistente\".*$DIR/run/ROMA_Vagolume.pdf" "$DIR/stderr")" = 1 ] ||
        fail "$come: no line naming the missing queue and the PDF: $(cat "$DIR/stderr")"
    echo "PASS: $come names a missing queue: said, PDF written"
done

# Runs that each make one job on a queue, or a PDF: the default printer as
# lp reads it, queues whose printable area cannot be used, a temporary folder
# that cannot hold files. Each case: settings (NAME=VALUE, blank-separated;
# "@" for nothing) | the queue that prints it, or "pdf" | a word of the one
# line said (none: nothing said) | the job's billing text in the page log
# (none: "-").
# An instance defined in lpoptions (its billing text goes on the job, its two
# pages a sheet do not), and two queues whose printable areas are inverted
# and far smaller than the sheet at half size.
mkdir -p "$DIR/casa2/.cups" &&
    echo "Dest Vagolume_Laser/doppia number-up=2 job-billing=Doppia" >"$DIR/casa2/.cups/lpoptions"
for coda in "Rovescia|500 700 100 100" "Minima|200 300 300 400"; do
    IFS='|' read -r nome area <<<"$coda"
    {
        sed -e '/^\*ImageableArea/d' /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
        echo "*ImageableArea A4/A4: \"$area\""
    } >"$DIR/$nome.ppd"
    lpadmin -p "Vagolume_$nome" -E -v "$(lpstat -v Vagolume_Pdf | awk '{ print $NF }')" -P "$DIR/$nome.ppd" \
        -o TitlePref=1 -o Label=0 2>/dev/null || fail "queue Vagolume_$nome not added"
done
echo "testo" >"$DIR/un-file"
casi=(
    "LPDEST=Vagolume_Laser/copia|Vagolume_Laser|"
    "LPDEST=Vagolume_Laser/|Vagolume_Laser|"
    "LPDEST=Vagolume_Laser/doppia HOME=$DIR/casa2|Vagolume_Laser||Doppia"
    "LPDEST=Vagolume_Laser HOME=$DIR/casa2|Vagolume_Laser|"
    "LPDEST=|pdf|LPDEST"
    "LPDEST=/|pdf|\"/\""
    "LPDEST=Vagolume_Nessuna/copia|pdf|\"Vagolume_Nessuna/copia\""
    "LPDEST=Vagolume_Rovescia|Vagolume_Rovescia|area stampabile della stampante \"Vagolume_Rovescia\" non utilizzabile"
    "LPDEST=Vagolume_Minima|Vagolume_Minima|area stampabile della stampante \"Vagolume_Minima\" non utilizzabile"
    "TMPDIR=/proc|Vagolume_Pdf|preparato in $DIR/run"
    "TMPDIR=$DIR/un-file|Vagolume_Pdf|preparato in $DIR/run"
)
for caso in "${casi[@]}"; do
    IFS='|' read -r impostazioni dove parola conto <<<"$caso"
    rm -rf "$DIR/run" && mkdir -p "$DIR/run" && cd "$DIR/run" || fail "cd"
    lavori_fatti() {
        awk -v q="$dove" -v c="${conto:--}" '$1 == q && $6 == "total" && $7 == 6 && $8 == c' \
            "$DIR/log/page_log" 2>/dev/null | wc -l
    }
    prima=$(lavori_fatti)
    # shellcheck disable=SC2086 # the settings split at blanks
    env ${impostazioni/#@/} "$VAGOLUME" "ROMA,01/03/2024,05/03/2024" 2>"$DIR/stderr"
    rc=$?
    [ $rc = 0 ] || fail "$impostazioni: exit code $rc; $(cat "$DIR/stderr")"
    controlla_fine "$DIR/run"
    if [ -z "$parola" ]; then
        [ ! -s "$DIR/stderr" ] || fail "$impostazioni: something said: $(cat "$DIR/stderr")"
    else
        [ "$(grep -c '^vagolume: ' "$DIR/stderr")" = 1 ] && grep -qF -- "$parola" "$DIR/stderr" ||
            fail "$impostazioni: not one line with '$parola': $(cat "$DIR/stderr")"
    fi
    if [ "$dove" = pdf ]; then
        [ "$(pagine "$DIR/run/ROMA_Vagolume.pdf")" = 6 ] || fail "$impostazioni: no PDF: $(ls -A "$DIR/run")"
    else
        [ ! -e "$DIR/run/ROMA_Vagolume.pdf" ] || fail "$impostazioni: written as a PDF instead of printed on $dove"
        [ "$(ls -A "$DIR/run")" = FineStampaPercorsario.tmp ] || fail "$impostazioni: files left: $(ls -A "$DIR/run")"
        aspetta_lavori
        dopo=$(lavori_fatti)
        [ "$dopo" = $((prima + 1)) ] || fail "$impostazioni: no job of 6 pages on $dove: $(cat "$DIR/log/page_log")"
    fi
    echo "PASS: $impostazioni: $dove${parola:+, said}"
done
