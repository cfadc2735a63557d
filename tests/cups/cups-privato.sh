#!/bin/bash
# A private CUPS server for the printing tests, entirely inside one folder.
#
#   cups-privato.sh start DIR [PID]   start cupsd with two cups-pdf queues
#   cups-privato.sh stop DIR          stop it (by the process id it recorded)
#   cups-privato.sh check             exit 0 when the server can run here
#
# DIR holds everything: configuration (etc/), spool, cache, logs, the socket
# (DIR/cups.sock) and the PDF files the queues write (DIR/out). Point programs
# at it with CUPS_SERVER=DIR/cups.sock (and CUPS_SERVERROOT=DIR/client, so
# that no system lpoptions change the default printer). With PID, a watcher stops the server
# as soon as that process ends, so that a crashed test leaves no cupsd behind.
#
# Queues, in the server's (alphabetical) order:
#   Vagolume_Laser  cups-pdf, 6/12/6/8 mm unprintable margins (left/top/right/bottom),
#                   and printing on both sides (a Duplex option: sides-supported)
#   Vagolume_Pdf    cups-pdf without margins, the server's default
# Both write "<job title>.pdf" into DIR/out (queue options TitlePref=1, Label=0).
# cups-pdf runs as root (its backend is mode 0700): the server must be
# started by root.
set -u

CODA_LASER=Vagolume_Laser
CODA_PDF=Vagolume_Pdf

trova() { command -v "$1" 2>/dev/null || { [ -x "/usr/sbin/$1" ] && echo "/usr/sbin/$1"; }; }

controlla() {
    local manca=""
    for p in cupsd lpadmin lpstat cupsreject cupsaccept; do
        [ -n "$(trova $p)" ] || manca="$manca $p"
    done
    [ -e /usr/lib/cups/backend/cups-pdf ] || manca="$manca cups-pdf"
    [ -f /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd ] || manca="$manca CUPS-PDF_opt.ppd"
    if [ -n "$manca" ]; then
        echo "missing:$manca (Debian packages cups-daemon, cups-client, printer-driver-cups-pdf)"
        return 1
    fi
    if [ "$(id -u)" != 0 ]; then
        echo "cups-pdf runs only under a cupsd started by root"
        return 1
    fi
    return 0
}

# cups-pdf's own configuration: everything it writes goes into DIR.
scrivi_conf_cups_pdf() {
    cat >"$1" <<CONF
Out $DIR/out
AnonDirName $DIR/out
Spool $DIR/cups-pdf-spool
Log $DIR/log
GSTmp $DIR/tmp
Grp $(id -gn)
LogType 7
LowerCase 0
TitlePref 1
Label 0
CONF
}

# A PPD from cups-pdf's own; for the laser queue the printable area is smaller
# than the sheet (margins in points: left bottom right top), and with
# "fronteretro" it offers both sides of the paper.
scrivi_ppd() {
    local file=$1 margini=$2 fronteretro=${3:-}
    {
        sed -e '/^\*HWMargins/d' -e '/^\*ImageableArea/d' /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
        set -- $margini
        echo "*HWMargins: $1 $2 $3 $4"
        awk -v l="$1" -v b="$2" -v r="$3" -v t="$4" \
            'BEGIN { printf "*ImageableArea A4/A4: \"%s %s %.2f %.2f\"\n", l, b, 595 - r, 842 - t }'
        if [ -n "$fronteretro" ]; then
            cat <<'PPD'
*OpenUI *Duplex/Two-Sided Printing: PickOne
*OrderDependency: 50 AnySetup *Duplex
*DefaultDuplex: None
*Duplex None/Off: "<</Duplex false>>setpagedevice"
*Duplex DuplexNoTumble/Long Edge: "<</Duplex true/Tumble false>>setpagedevice"
*Duplex DuplexTumble/Short Edge: "<</Duplex true/Tumble true>>setpagedevice"
*CloseUI: *Duplex
PPD
        fi
    } >"$file"
}

avvia() {
    local motivo
    motivo=$(controlla) || { echo "cups-privato: $motivo" >&2; exit 3; }
    mkdir -p "$DIR"/{etc/ppd,etc/ssl,spool/tmp,cache,state,log,out,cups-pdf-spool,tmp,client}
    # Filters run as the lp user: they must reach the spool.
    chmod 0755 "$DIR" "$DIR"/spool "$DIR"/out "$DIR"/tmp
    chmod 1777 "$DIR"/spool/tmp "$DIR"/tmp
    cat >"$DIR/etc/cups-files.conf" <<CONF
ServerRoot $DIR/etc
RequestRoot $DIR/spool
TempDir $DIR/spool/tmp
CacheDir $DIR/cache
StateDir $DIR/state
AccessLog $DIR/log/access_log
ErrorLog $DIR/log/error_log
PageLog $DIR/log/page_log
DataDir /usr/share/cups
ServerBin /usr/lib/cups
User lp
Group lp
SystemGroup root
FileDevice No
CONF
    cat >"$DIR/etc/cupsd.conf" <<CONF
LogLevel debug
Listen $DIR/cups.sock
Browsing No
DefaultShared No
WebInterface No
DefaultAuthType None
JobRetryLimit 0
MaxJobs 0
PreserveJobHistory Yes
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
    # Clients started with CUPS_SERVERROOT=DIR/client see no system lpoptions.
    echo "ServerName $DIR/cups.sock" >"$DIR/client/client.conf"
    scrivi_ppd "$DIR/pdf.ppd" "0 0 0 0"
    # 6 mm left and right, 12 mm top, 8 mm bottom, in points.
    scrivi_ppd "$DIR/laser.ppd" "17.01 22.68 17.01 34.02" fronteretro

    # cups-pdf reads its configuration only from /etc/cups. Where a private
    # mount namespace is allowed, cupsd runs in one in which our file is
    # mounted over /etc/cups/cups-pdf.conf: nothing outside DIR changes.
    # Otherwise a per-queue file /etc/cups/cups-pdf-vagolume-ID.conf is
    # written and removed again by "stop".
    local cupsd uri
    cupsd=$(trova cupsd)
    scrivi_conf_cups_pdf "$DIR/cups-pdf.conf"
    if [ -f /etc/cups/cups-pdf.conf ] && unshare -m true 2>/dev/null; then
        uri=cups-pdf:/
        unshare -m sh -c 'mount --bind "$1/cups-pdf.conf" /etc/cups/cups-pdf.conf && exec "$2" -f -c "$1/etc/cupsd.conf" -s "$1/etc/cups-files.conf"' \
            sh "$DIR" "$cupsd" >"$DIR/log/cupsd.out" 2>&1 &
    else
        local id
        id=vagolume-$(basename "$DIR" | tr -c 'A-Za-z0-9\n' '_')
        uri=cups-pdf:/$id
        cp "$DIR/cups-pdf.conf" "/etc/cups/cups-pdf-$id.conf" || exit 4
        echo "/etc/cups/cups-pdf-$id.conf" >"$DIR/conf-esterna"
        "$cupsd" -f -c "$DIR/etc/cupsd.conf" -s "$DIR/etc/cups-files.conf" >"$DIR/log/cupsd.out" 2>&1 &
    fi
    local pid=$!
    echo $pid >"$DIR/cupsd.pid"
    if [ -n "${2:-}" ]; then
        # Stops the server when the process it serves ends.
        (
            trap - EXIT
            while kill -0 "$2" 2>/dev/null && kill -0 $pid 2>/dev/null; do sleep 1; done
            kill -CONT $pid 2>/dev/null
            kill -TERM $pid 2>/dev/null
            [ -f "$DIR/conf-esterna" ] && rm -f "$(cat "$DIR/conf-esterna")"
        ) </dev/null >/dev/null 2>&1 &
        echo $! >"$DIR/watcher.pid"
    fi
    export CUPS_SERVER=$DIR/cups.sock CUPS_SERVERROOT=$DIR/client
    unset LPDEST PRINTER
    local i
    for i in $(seq 1 100); do
        lpstat -r 2>/dev/null | grep -q "is running" && break
        kill -0 $pid 2>/dev/null || break
        sleep 0.1
    done
    if ! lpstat -r 2>/dev/null | grep -q "is running"; then
        echo "cups-privato: cupsd did not start, see $DIR/log" >&2
        cat "$DIR/log/cupsd.out" "$DIR/log/error_log" >&2 2>/dev/null
        ferma
        exit 4
    fi
    lpadmin -p $CODA_LASER -E -v "$uri" -P "$DIR/laser.ppd" -o printer-error-policy=abort-job \
        -o TitlePref=1 -o Label=0 &&
        lpadmin -p $CODA_PDF -E -v "$uri" -P "$DIR/pdf.ppd" -o printer-error-policy=abort-job \
        -o TitlePref=1 -o Label=0 &&
        lpadmin -d $CODA_PDF || {
        echo "cups-privato: could not add the queues" >&2
        ferma
        exit 4
    }
}

ferma() {
    local pid w
    if [ -f "$DIR/watcher.pid" ]; then
        w=$(cat "$DIR/watcher.pid")
        kill "$w" 2>/dev/null
        rm -f "$DIR/watcher.pid"
    fi
    [ -f "$DIR/cupsd.pid" ] || return 0
    pid=$(cat "$DIR/cupsd.pid")
    kill -CONT "$pid" 2>/dev/null # it may have been stopped by a test
    kill -TERM "$pid" 2>/dev/null
    for i in $(seq 1 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    rm -f "$DIR/cupsd.pid"
    if [ -f "$DIR/conf-esterna" ]; then
        rm -f "$(cat "$DIR/conf-esterna")" "$DIR/conf-esterna"
    fi
    return 0
}

case "${1:-}" in
check) controlla ;;
start)
    [ -n "${2:-}" ] || { echo "usage: $0 start DIR [PID]" >&2; exit 2; }
    DIR=$(cd "$2" 2>/dev/null && pwd) || { echo "cups-privato: no folder $2" >&2; exit 2; }
    avvia "$DIR" "${3:-}"
    ;;
stop)
    [ -n "${2:-}" ] || { echo "usage: $0 stop DIR" >&2; exit 2; }
    DIR=$(cd "$2" 2>/dev/null && pwd) || exit 0
    ferma
    ;;
*)
    echo "usage: $0 start DIR [PID] | stop DIR | check" >&2
    exit 2
    ;;
esac
