#!/bin/bash
# A default queue that rejects jobs (cupsreject): the run says so on standard
# error, naming the printer, keeps the finished document as a PDF in the
# current folder (said in the same line), exits 1 and still writes the
# end-of-run file.
VAGOLUME=$1
source "$(dirname "$0")/../cups/e2e-comune.sh"
richiedi_server

cupsreject -r "prova" Vagolume_Pdf || fail "cupsreject"
cd "$DIR/run" || fail "cd"
"$VAGOLUME" "ROMA,01/03/2024,05/03/2024" 2>"$DIR/stderr"
rc=$?
grep -v "^QStandardPaths" "$DIR/stderr"
[ $rc != 0 ] || fail "exit code 0 although nothing was printed"
grep -q '^vagolume: .*"Vagolume_Pdf".*non accetta lavori' "$DIR/stderr" || fail "no message naming the rejecting printer"
controlla_fine "$DIR/run"
[ -z "$(ls -A "$DIR/temp-app")" ] || fail "temporary files left: $(ls -A "$DIR/temp-app")"
[ "$(pagine "$DIR/run/ROMA_Vagolume.pdf")" = 6 ] || fail "the document was not kept: $(ls -A "$DIR/run")"
grep -q "salvato in $DIR/run/ROMA_Vagolume.pdf" "$DIR/stderr" || fail "the message does not say where the document is"
aspetta_lavori
[ -z "$(lpstat -W completed -o)" ] || fail "a job was created: $(lpstat -W completed -o)"
[ -z "$(ls -A "$DIR/out")" ] || fail "the queue wrote $(ls -A "$DIR/out")"
echo "PASS: rejection reported, document kept, end-of-run file written"
