#pragma once

#include <QString>
#include <QStringList>

namespace tv::shell {

// What a program says about itself on the terminal.
struct ProgramInfo
{
    QString name;         // "TapeVantrel"
    QString version;      // "7.0.0"
    QString description;  // one sentence for --help
    QString argument;     // the optional argument's name ("file"), empty for none
    QString argumentHelp; // what the argument does
};

// The answer to --help (-h, -?, --help-all) or --version (-v), worded as Qt's
// command-line parser words it, found in the raw arguments (program name
// first) before any window or display exists, so that it also works on a
// terminal without a display. Arguments after "--" are never options.
struct TerminalAnswer
{
    bool answered = false; // false: start the program normally
    QString text;          // for standard output
};
TerminalAnswer answerInfoOptions(const QStringList &arguments, const ProgramInfo &info);

// The program's command line once the application has removed its own
// options (-platform, -style ...): the path of the file to open, the
// arguments after the program name joined with one blank (a path with blanks
// given without quotes stays whole), without quotes around it, made absolute
// against the working folder. A first argument "--" is dropped, so that a
// path that begins with "-" can be given; any other first argument that
// begins with "-" is an unknown option.
struct CommandLine
{
    QString path;  // empty: no file
    QString error; // "Unknown option 'x'.": nothing is to be started
};
CommandLine readCommandLine(const QStringList &arguments);

// For main(): answers --help and --version on standard output (returns true,
// the program then ends with status 0).
bool answeredOnTerminal(int argc, char **argv, const ProgramInfo &info);
// Prints "name: error" on standard error; returns the exit status 1.
int complainOnTerminal(const QString &programName, const QString &error);

} // namespace tv::shell
