#include "cli/usage_text.h"

namespace zt::cli {

namespace {

constexpr std::string_view kUsage = R"(Usage: zt6100ctl [link options] COMMAND [command options]

Runs one meter operation of the ZT6100 service console from a terminal: the
same Modbus RTU exchanges as the console's command, on a serial line with 8 data
bits and 2 stop bits. Values are refused with the console's ranges before
anything is sent.

Link options (before the command):
  --port N             port number 1 or 2 (/dev/ttyS0, /dev/ttyS1) (default 1)
  --device PATH        open this device instead of a port number; a serial
                       device server as tcp://HOST:PORT (raw TCP: the server's
                       serial port keeps its own rate and parity) or
                       rfc2217://HOST:PORT (Telnet COM port control: the rate
                       and parity given are set on the server)
  --address A          meter address 0..255 (default 1)
  --baud RATE          1200, 2400, 4800, 9600 or 19200 (default 9600)
  --parity P           none, odd or even (default none)
  --simulate           talk to the built-in simulated meter, which runs in this
                       program and answers at the address, rate and parity
                       given
  --fast               end each exchange as soon as the reply has arrived, with
                       the console's fixed wait as the deadline, leaving the
                       line silent 3.5 character times between exchanges
  --echo MODE          auto, on or off: whether the line's adapter echoes each
                       request, which is then skipped (default auto: found
                       out by the first read, before any write)
  --verbose            say on standard error what the link found out: an
                       echoing adapter, late replies discarded
  --trace              write every frame sent and received to standard error:
                       seconds since the start with milliseconds, TX, RX or
                       LATE (bytes discarded before the next request), the
                       bytes in hex and what the link made of them
  --guard-ms MS        after an exchange without a valid reply, how long the
                       link waits at most for a late reply before the next
                       request (0..10000, default 2000): raise it for a
                       device server that delivers later still
  --json               one JSON object per line instead of text, each with
                       its UTC time
  --csv                for poll and log: as their own --csv
  -h, --help           this text
  --version            the program's version

Commands:
  poll [--count N] [--period MS] [--csv]
                       the console's measurement poll, once a timer period
                       (default 1000 ms; 0 polls back to back), N times or
                       until Ctrl-C; prints the live value, successes,
                       failures and error rate, and at the end the totals,
                       the failed exchanges by cause and the reply latency;
                       --csv prints a header and one row per poll instead
                       (the totals then go to standard error)
  read-params          upper and lower threshold, decimal point, baud rate
  write-params --upper U --lower L --decimal D --baud RATE
                       writes the parameter block (each -32768..65535; one of
                       the five rates is sent as its code); every write must
                       be echoed
  set-address NEW      gives the meter the address NEW (0..255)
  switch-status        relay output (通 on / 断 off) and switch input
                       (合 closed / 分 open)
  clock                the meter's date and time
  setup --pt P --ct C --wiring W
                       PT and CT ratios (1..64000) and wiring mode (0..5)
  set-baud RATE        tells the meter its new line rate (register 0x0008),
                       at the link's current rate; behind a device server
                       reached by raw TCP, set the server's serial port to
                       RATE afterwards (zt6100ctl cannot)
  log --interval SECONDS [--count N] [--csv]
                       polls, and appends the measurement table to Table.txt
                       in the current directory every interval (the first one
                       interval after the start), N blocks or until Ctrl-C;
                       --csv as for poll, the blocks told on standard error
  scan [--addresses LIST] [--rates LIST] [--parities LIST] [--first]
       [--wait MS]
                       looks for meters: reads the decimal point of every
                       address of LIST (default 1-247, e.g. 1-10,20) at each
                       rate (default 1200,2400,4800,9600,19200) and parity
                       (default none; e.g. none,even), with a short wait per
                       try (the line time and MS for the meter to answer,
                       default 100), and lists every meter that answers;
                       --first stops at the first one. The worst-case time is
                       told before it starts, the progress on a terminal.
                       The link's --address, --baud and --parity do not apply

  check --profile FILE [--report FILE] [--lang zh|en] [--polls N]
                       reads the parameter block, the relay and switch states
                       and the clock, polls the live value N times (default
                       10) and prints each setting of the site profile FILE
                       (JSON) with the value expected, the value read and a
                       verdict; --report writes the commissioning report by
                       its ending: .json, .html or .pdf (A4), in Chinese or
                       --lang en
  apply --profile FILE [--report FILE] [--lang zh|en] [--polls N]
                       writes only what differs, each write confirmed, in the
                       order parameters, PT, CT, wiring, address (then
                       followed), rate (the port reopened at it); stops at the
                       first write not confirmed; ends with a check

Exit status:
  0  done and confirmed
  1  the meter gave no valid reply or did not confirm a write
  2  usage error (the reason on standard error)
  3  the port cannot be opened (device and reason on standard error)
  4  Table.txt cannot be appended to
  5  the commissioning report cannot be written
  6  standard output cannot be written (the reason on standard error)
  130  Ctrl-C or SIGTERM ended a one-shot command between two exchanges; the
     output marks what was not sent or read (a second signal ends the
     program at once)

check and apply end with 0 when every setting matches (apply: and every write
was confirmed), 1 when one differs or went unanswered.

scan ends with 0 when it found a meter, 1 when it found none.

Example:
  zt6100ctl --device /dev/ttyUSB0 --address 3 --fast read-params
)";

}  // namespace

std::string_view UsageText() { return kUsage; }

}  // namespace zt::cli
