#!/bin/bash
# Runs a command with a private CUPS scheduler that has one CUPS-PDF queue,
# "PDF", as the default printer. The command finds the scheduler through
# CUPS_SERVER and the folder the queue writes to in SCRIBBLOOM_CUPS_PDF_DIR.
# Where no scheduler can be started (no cupsd, no cups-pdf, not root), the
# command runs without one and SCRIBBLOOM_CUPS_PDF_DIR stays unset.
# usage: with-cups.sh command [args...]
set -u

start_cups() {
  [ "$(id -u)" -eq 0 ] || { echo "with-cups: not root, no private scheduler" >&2; return 1; }
  [ -x /usr/sbin/cupsd ] && [ -x /usr/lib/cups/backend/cups-pdf ] || {
    echo "with-cups: cupsd or cups-pdf missing" >&2; return 1; }
  dir=$(mktemp -d /tmp/scribbloom-cups.XXXXXX) || return 1
  mkdir -p "$dir"/{root,spool,cache,state,tmp}
  chmod 755 "$dir" "$dir"/*
  # Filters run as lp and write their scratch files here.
  chmod 1777 "$dir/tmp"
  cp -r /etc/cups/ppd "$dir/root/" 2>/dev/null
  cat > "$dir/root/cupsd.conf" <<CONF
Listen $dir/cups.sock
LogLevel warn
Browsing No
WebInterface No
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
  cat > "$dir/root/cups-files.conf" <<CONF
ServerRoot $dir/root
RequestRoot $dir/spool
CacheDir $dir/cache
StateDir $dir/state
TempDir $dir/tmp
ErrorLog $dir/error_log
AccessLog $dir/access_log
PageLog $dir/page_log
User lp
Group lp
SystemGroup root
CONF
  /usr/sbin/cupsd -f -c "$dir/root/cupsd.conf" -s "$dir/root/cups-files.conf" &
  cupsd_pid=$!
  export CUPS_SERVER=$dir/cups.sock
  for _ in $(seq 1 100); do
    lpstat -r >/dev/null 2>&1 && break
    sleep 0.05
  done
  lpstat -r >/dev/null 2>&1 || { echo "with-cups: scheduler did not start" >&2; return 1; }
  lpadmin -p PDF -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd -E 2>/dev/null || return 1
  lpadmin -d PDF || return 1
  # CUPS-PDF writes into the PDF folder of the job owner's home.
  home=$(getent passwd "$(id -un)" | cut -d: -f6)
  export SCRIBBLOOM_CUPS_PDF_DIR=$home/PDF
  # A folder CUPS-PDF makes for this run goes with it.
  [ -d "$home/PDF" ] || made_pdf_dir=$home/PDF
  return 0
}

stop_cups() {
  if [ -n "${cupsd_pid:-}" ]; then
    kill "$cupsd_pid" 2>/dev/null
    wait "$cupsd_pid" 2>/dev/null
  fi
  [ -n "${dir:-}" ] && rm -rf "$dir"
  [ -n "${made_pdf_dir:-}" ] && rmdir "$made_pdf_dir" 2>/dev/null
  return 0
}

cupsd_pid=
dir=
made_pdf_dir=
if ! start_cups; then
  stop_cups
  cupsd_pid=
  dir=
  unset CUPS_SERVER SCRIBBLOOM_CUPS_PDF_DIR
fi
"$@"
rc=$?
stop_cups
exit $rc
