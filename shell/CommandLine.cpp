#include "CommandLine.h"

#include <QFileInfo>

#include <algorithm>
#include <cstdio>

namespace tv::shell {

namespace {

bool isHelp(const QString &a)
{
    return a == QLatin1String("-h") || a == QLatin1String("--help") || a == QLatin1String("-?") || a == QLatin1String("--help-all");
}

bool isVersion(const QString &a)
{
    return a == QLatin1String("-v") || a == QLatin1String("--version");
}

QString helpText(const QString &programName, const ProgramInfo &info)
{
    QString text = QStringLiteral("Usage: %1 [options]").arg(programName);
    if (!info.argument.isEmpty())
        text += QStringLiteral(" [") + info.argument + QLatin1Char(']');
    text += QLatin1Char('\n') + info.description + QStringLiteral("\n\nOptions:\n");
    const int width = std::max<int>(QStringLiteral("-v, --version").size(), info.argument.size()) + 2;
    const auto row = [width](const QString &name, const QString &what) {
        return QStringLiteral("  ") + name.leftJustified(width) + what + QLatin1Char('\n');
    };
    text += row(QStringLiteral("-h, --help"), QStringLiteral("Displays help on commandline options."));
    text += row(QStringLiteral("-v, --version"), QStringLiteral("Displays version information."));
    if (!info.argument.isEmpty())
        text += QStringLiteral("\nArguments:\n") + row(info.argument, info.argumentHelp);
    return text;
}

} // namespace

TerminalAnswer answerInfoOptions(const QStringList &arguments, const ProgramInfo &info)
{
    const QString programName = arguments.isEmpty() ? info.name : arguments.first();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        if (a == QLatin1String("--"))
            break;
        if (isHelp(a))
            return {true, helpText(programName, info)};
        if (isVersion(a))
            return {true, info.name + QLatin1Char(' ') + info.version + QLatin1Char('\n')};
    }
    return {};
}

CommandLine readCommandLine(const QStringList &arguments)
{
    QStringList words = arguments.mid(1);
    if (!words.isEmpty() && words.first() == QLatin1String("--")) {
        words.removeFirst();
    } else if (!words.isEmpty() && words.first().size() > 1 && words.first().startsWith(QLatin1Char('-'))) {
        // Options come before the file; a word further on is part of its path.
        const QString &option = words.first();
        return {{}, QStringLiteral("Unknown option '%1'.").arg(option.mid(option.startsWith(QLatin1String("--")) ? 2 : 1))};
    }
    QString path = words.join(QLatin1Char(' ')).trimmed();
    if (path.size() >= 2 && path.startsWith(QLatin1Char('"')) && path.endsWith(QLatin1Char('"')))
        path = path.mid(1, path.size() - 2);
    if (path.isEmpty())
        return {};
    // Song entries keep the path, so it must not depend on the folder the
    // program was started in.
    return {QFileInfo(path).absoluteFilePath(), {}};
}

bool answeredOnTerminal(int argc, char **argv, const ProgramInfo &info)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const TerminalAnswer answer = answerInfoOptions(arguments, info);
    if (answer.answered) {
        std::fputs(answer.text.toLocal8Bit().constData(), stdout);
        std::fflush(stdout);
    }
    return answer.answered;
}

int complainOnTerminal(const QString &programName, const QString &error)
{
    std::fprintf(stderr, "%s: %s\n", programName.toLocal8Bit().constData(), error.toLocal8Bit().constData());
    return 1;
}

} // namespace tv::shell
