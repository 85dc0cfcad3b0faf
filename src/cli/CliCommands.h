#pragma once
// The commands of varneljs-cli, apart from main() so they read as plain functions of their arguments.
//
//   collect --script FILE | --page FILE | --url ADDRESS [--list] [--engine static|browser]
//       Runs the load sequence of an analysis window of kind 1, 2 or 3 and writes the combined script
//       text (UTF-8, CR LF as generated) to stdout; with --list the script-list entries, one per line
//       (LF; a line break inside an entry is written as \r or \n). A page that could not be opened and
//       scripts that could not be fetched or read go to stderr with the reason. Pages go through the
//       static engine unless --engine browser asks for the browser engine (which runs their scripts);
//       when that cannot start, the static engine reads the page and stderr says so.
//   normalise [FILE]
//       Writes NormaliseCodeText of FILE (decoded like any script file) or of stdin to stdout.
//   functions [--combined] [FILE]
//       Lists the named functions of FILE or stdin, one per line: name, script number (0 for a plain
//       script), 1-based line, tab-separated (UTF-8, LF). --combined splits the input at its header lines.
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

struct Output {
    QByteArray out;
    QByteArray err;
};

QString usageText();

// True when `args` (without the program name) ask for the browser engine, which needs a GUI
// application object (offscreen is enough) instead of a core one.
bool wantsBrowserEngine(const QStringList &args);

// `args` without the program name. `stdinBytes` is read only by normalise and functions without FILE.
int run(const QStringList &args, Output &output, const std::function<QByteArray()> &stdinBytes);

} // namespace Cli
