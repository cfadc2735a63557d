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
