#include "cli.h"

namespace kv::cli {
namespace {

constexpr const char* kOverview = R"(Usage: kv720-cli [--port PORT] COMMAND [ARGUMENTS] [OPTIONS]

The KV720 LPG controller from a terminal: the same link, parameter table, settings-file format
and conversions as the KV720 service tool's window.

Commands:
  ports                        list this machine's serial ports
  info                         identification, version and the service record
  read [--json]                every setting: raw byte and decoded value, and the live readings
  save FILE.bs2                read the controller's settings into a settings file
  load FILE.bs2 [--dry-run]    check a settings file, show what changes, write it to the
                               controller (after keeping a restore point)
  diff A.bs2 B.bs2             the settings two files differ in, decoded
  record [FILE.csv] [--seconds N] [--separator ';']
                               record the live readings to a CSV file until Ctrl+C; Enter
                               sets a marker
  plot ROAD.csv [MORE.csv ...] [-o PAGE.html] [--align start|marker:N]
                               recordings as one web page: charts, cursor, zoom, markers
  watch                        a live one-line view, until Ctrl+C
  doctor [--fix-latency]       find out why the controller does not answer, or answers slowly
                               (--fix-latency: set a USB adapter's latency timer to 1 ms)
  help [COMMAND]               this text, or the details of one command

Options:
  -p, --port PORT   the serial port: /dev/ttyUSB0 (or ttyUSB0) on Linux, COM7 (any number)
                    on Windows; without it the port in the environment variable KV720_PORT
  -h, --help        help (after a command: that command's help)
  --version         the program's version
  --                every word after it is a file name

Exit codes:
  0    done (diff: the files are the same)
  1    diff: the files differ
  2    usage: unknown command or option, missing or extra argument
  3    the port cannot be opened (missing, busy, no permission)
  4    the controller does not answer, or a block was not read
  5    the controller answers but is not version 3
  6    the file is not a KV720 settings file
  7    a write was not acknowledged or not echoed (load stopped there)
  8    a file cannot be read or written (a restore point included)
  130  Ctrl+C (or Ctrl+Break, a closed console, SIGTERM, SIGHUP) ended the command

Ctrl+C ends every command cleanly and closes the port; record and watch end that way. Once
load has begun its 32 writes, nothing ends it before the last one, not even a second Ctrl+C
or a closed console window: it says "finishing the writes: N of 32", sends the rest and then
exits 130.
)";

struct CommandText {
  Command command;
  const char* text;
};

constexpr CommandText kCommandTexts[] = {
    {Command::Help, R"(Usage: kv720-cli help [COMMAND]

The overview of every command, or the details of one.
)"},
    {Command::Ports, R"(Usage: kv720-cli ports

Lists the serial ports of this machine, one a line: the name --port takes and a description.
Linux: USB adapters (ttyUSB, ttyACM) with their maker and product and their stable name under
/dev/serial/by-id, and the built-in ttyS ports that have hardware behind them. Windows: the
ports Windows has mapped (the SERIALCOMM map) with their device names. Ports of adapters that
are no longer plugged in are left out.
)"},
    {Command::Info, R"(Usage: kv720-cli --port PORT info

Identifies the controller and shows the identification reply, the firmware version
(version.revision, as the information panel shows it) and the service record: registration
number, running time on LPG (hours and minutes) and the installation date.
Exit 5 after the version when the controller is not version 3 (nothing more is read).
)"},
    {Command::Read, R"(Usage: kv720-cli --port PORT read [--json]

Reads Blocks 2 to 5 and shows every setting under its settings-file key with its raw byte and
its value decoded as the panels decode it: speeds in rpm, temperatures in degrees Celsius,
voltages, times in seconds, actuator steps, and the panels' list texts in English (bit sets
field by field). Then the service record and the live readings of Block 2.
  --json   the same as one JSON object: "settings" (key -> raw and value or fields),
           "service" and "readings" (the columns of record)
)"},
    {Command::Save, R"(Usage: kv720-cli --port PORT save FILE.bs2

Saves the controller's settings as the window's File > Save As does: the blocks are read
first, and the file is written (through a temporary file, then renamed over FILE.bs2) only
when the controller is version 3 and every block was read. Otherwise an existing FILE.bs2 is
left exactly as it was. FILE.bs2 is replaced without asking.
)"},
    {Command::Load, R"(Usage: kv720-cli --port PORT load FILE.bs2 [--dry-run] [--backups FOLDER]

Checks FILE.bs2 as the window's File > Open does (exit 6 when it is not a settings file, with
nothing sent), reads the controller and shows what would change: key, controller value ->
file value, decoded. Then it keeps a restore point of the controller's settings and writes the
32 values in the file's order, each checked by the controller's echo. It stops at the first
write that is not acknowledged or not echoed (exit 7); the values before it stay written and
the restore point brings the car back (kv720-cli load RESTORE-POINT.bs2). Ctrl+C during the
writes is honoured only after the last of them, so the car never holds half a file.
  --dry-run         only check and show what would change; nothing is written
  --backups FOLDER  where the restore point goes (default: see the README)
When the restore point cannot be written, nothing is sent (exit 8).
)"},
    {Command::Diff, R"(Usage: kv720-cli diff A.bs2 B.bs2

Checks both files as the window's File > Open does and lists the settings they differ in:
key, value in A -> value in B, raw and decoded. Exit 0 when they are the same, 1 when they
differ, 6 when one is not a settings file.
)"},
    {Command::Record, R"(Usage: kv720-cli --port PORT record [FILE.csv] [--seconds N] [--separator ';']

Polls the controller at the readings panel's cadence (every 50 ms; Blocks 3 and 4 every
fourth time) and writes one CSV row per Block 2 reply until Ctrl+C (or N seconds). Without
FILE.csv the file is named after the car and the time, REGISTRATION_YYYY-MM-DD_HHMMSS.csv, in
the Recordings folder beside the Backups folder (see the README). The file goes to the disk
once a second: a pulled cable or a flat battery loses at most the last second.

Enter sets a marker on the next row: the marker column numbers them 1, 2, 3, ... Words typed
before Enter go into the note column ("hesitates at the switch to gas").

The first line holds the column names, the second their units, with the start, registration
and controller version under note:
  time_s              s      seconds from the start, to the millisecond
  lambda_V            V      lambda probe voltage (5-0 V probes read from 5 V down)
  tps_V               V      throttle sensor voltage (empty for a throttle switch)
  tps_switch                 ON/OFF for a throttle switch, empty otherwise
  actuator_steps      steps  stepper position
  att_init_steps      steps  stepper base (starting) position
  engine_rpm          rpm    engine speed
  temperature_C       degC   coolant temperature
  on_gas, learning, lpg_off, cut_off, learn_finished, learn_failed, speed_reached,
  temperature_reached 0/1    the Switches flags
  lambda_state        0..7   the lambda state (1 green, 4 red, others yellow on the panel)
  tps_lamp            0..4   the lit throttle lamp, 0 none
  engine_running      0/1
  marker                     1, 2, 3, ... on the rows with a marker
  note                       the marker's words
--separator ';' writes semicolons and decimal commas, for spreadsheets set to a Polish or
Russian locale; the default, commas and decimal points, suits English ones and every program.
A field holding the separator or a quote is quoted. Text is UTF-8.
)"},
    {Command::Plot, R"(Usage: kv720-cli plot ROAD.csv [MORE.csv ...] [-o PAGE.html] [--align start|marker:N]

Writes one web page that any browser opens without a network: stacked charts on one time axis
(lambda and its state, throttle, engine speed, stepper position and base, temperature, the
fuel and the Switches flags as bands), a cursor showing every value with its unit, zoom by
dragging across a chart and back by double-clicking it, the markers as labelled lines, the
minimum, maximum and mean of the span in view, and a header with each recording's car,
controller version, date and duration. Two or more recordings lie over each other, aligned at
their start or, with --align marker:N, at their marker N (every file needs one).
  -o, --output PAGE.html   the page (default: the first recording's name with .html)
Reads both separators (',' and ';' with decimal commas) and the files of earlier versions.
)"},
    {Command::Watch, R"(Usage: kv720-cli --port PORT watch

A live one-line view of the readings (fuel, lambda, TPS, actuator and base, engine speed,
temperature, LPG OFF, CUT-OFF, learning), redrawn in place on a terminal (one line a second
otherwise). Ctrl+C ends it.
)"},
    {Command::Doctor, R"(Usage: kv720-cli --port PORT doctor [--fix-latency]

Checks the line stage by stage and names the first stage that fails, with the time each took:
  1 the port opens (or why not: missing, busy, no permission, and on Linux which group to join)
  2 bytes come back after an identification request
  3 they are not just the adapter echoing our own request
  4 they form a valid frame (marker and checksum)
  5 the controller is version 3
  6 Blocks 2 to 5 are read
  7 the replies come in the time the line needs (each request timed against its bytes at
    9600 baud); when they come late the way a USB serial adapter's latency timer makes them,
    it says so, names the adapter and its timer, and how to set the timer to 1 ms
Exit 3 when the port fails, 4 for stages 2, 3, 4 and 6, 5 for the version; slow replies alone
still exit 0.

--fix-latency sets the adapter's latency timer to 1 ms where the system allows it (Linux: its
value in /sys, as root; Windows: the adapter's registry setting, as administrator, in effect
once the adapter is plugged in again), then times the replies again and shows before and after.
When it may not, it says how. Exit 8 when the timer could not be set.
)"},
};

}  // namespace

std::string HelpText() { return kOverview; }

std::string CommandHelp(Command command) {
  for (const auto& entry : kCommandTexts)
    if (entry.command == command) return entry.text;
  return kOverview;
}

}  // namespace kv::cli
