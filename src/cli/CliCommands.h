#pragma once
// The commands of varneljs-cli, apart from main() so they read as plain functions of their arguments.
//
//   collect --script FILE | SOURCES [--list] [--json [--with-text]] [--output-dir DIR [--overwrite]]
//           [--jobs N] [--engine static|browser] [--header "NAME: VALUE"]... [--user-agent TEXT]
//           [--timeout SECONDS] [--insecure]
//       SOURCES: --page FILE, --url ADDRESS (both may repeat) and --input LIST ("-": stdin), in any mix.
//       Runs the load sequence of an analysis window (script file, page file, address) for each source, N at
//       a time, and writes the combined script texts (UTF-8, CR LF as generated) to stdout in input order;
//       with --list the script-list entries, one per line (LF); with --json one JSON object per
//       script; with --output-dir one folder per page. Scripts that could not be fetched or read go
//       to stderr with the reason, and so does a page that could not be opened. A line break inside a
//       list entry or a reason is written as \r or \n. Pages go through the static engine unless
//       --engine browser asks for the browser engine (which runs their scripts); when that cannot
//       start, the static engine reads the pages and stderr says so.
//   normalise [--combined] [--indent] [FILE]
//       Writes the normalised text of FILE (decoded like any script file) or of stdin to stdout.
//       --combined normalises each script block of a combined text on its own (split at the header
//       lines as functions --combined splits them); --indent indents by nesting level.
//   functions [--combined] [FILE]
//       Lists the named functions of FILE or stdin, one per line: name, script number (0 for a plain
//       script), 1-based line, tab-separated (UTF-8, LF). --combined splits the input at its header lines.
//   endpoints [--combined] [--json] [FILE]
//       Lists the addresses the code of FILE or stdin talks to (EndpointsCommand.h).
//
//   --help, -h (alone, or among a command's arguments)
//       Writes the usage to stdout and exits 0.
//   FILE of normalise, functions and collect --script may be any readable file but a folder (a pipe,
//   /dev/stdin); scripts a page names are read only from ordinary files.
//
// Exit codes: 0 when everything was obtained; 1 when the page, any script or the input file could not be
// obtained (each said on stderr with its reason) or the output could not be written; 2 on a usage error
// (the usage text goes to stderr).

#include <QByteArray>
#include <QStringList>

#include <functional>

namespace Cli {

enum ExitCode { Ok = 0, NotObtained = 1, UsageError = 2 };

// The most normalise reads from standard input; `stdinBytes` need not return more than one byte over it.
qint64 maxInputBytes();

// Standard output and standard error: collected in `out` / `err`, or, when the stream functions are
// set, handed to them at once (a batch writes page after page instead of holding them all).
struct Output {
    QByteArray out;
    QByteArray err;
    std::function<bool(const QByteArray &)> outStream; // false: the write failed
    std::function<void(const QByteArray &)> errStream;
    bool errIsTerminal = false; // a progress line may be shown on stderr
    bool outFailed = false;

    void writeOut(const QByteArray &bytes) {
        if (bytes.isEmpty() || outFailed) // after a failed write, nothing more is tried
            return;
        if (!outStream)
            out += bytes;
        else if (!outStream(bytes))
            outFailed = true;
    }
    void writeErr(const QByteArray &bytes) {
        if (bytes.isEmpty())
            return;
        if (errStream)
            errStream(bytes);
        else
            err += bytes;
    }
    bool good() const { return !outFailed; }
};

QString usageText();

// True when `args` (without the program name) ask for the browser engine, which needs a GUI
// application object (offscreen is enough) instead of a core one.
bool wantsBrowserEngine(const QStringList &args);

// `args` without the program name. `stdinBytes` is read only by normalise and functions without FILE.
int run(const QStringList &args, Output &output, const std::function<QByteArray()> &stdinBytes);

} // namespace Cli
