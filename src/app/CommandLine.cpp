#include "CommandLine.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace tq {

CommandLine CommandLine::parse(const QStringList& arguments) {
    CommandLine out;
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("Kelvaria TQ880 data logger companion"));
    p.addHelpOption();
    p.addVersionOption();
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Serial device to list first (repeatable)."),
                                  QStringLiteral("PATH"));
    const QCommandLineOption noSystem(QStringLiteral("no-system-ports"),
                                      QStringLiteral("List only the ports given with --port."));
    const QCommandLineOption home(QStringLiteral("home"),
                                  QStringLiteral("Folder for settings, templates and temporary files."),
                                  QStringLiteral("DIR"));
    const QCommandLineOption simulate(QStringLiteral("simulate"),
                                      QStringLiteral("Attach a simulated logger of model 860 or 862."),
                                      QStringLiteral("MODEL"));
    const QCommandLineOption archive(
        QStringLiteral("archive"),
        QStringLiteral("The recording archive: a file, or postgresql://user@host[:port]/db."),
        QStringLiteral("URL"));
    const QCommandLineOption realTime(
        QStringLiteral("real-time-graph"),
        QStringLiteral("Open the Real Time Graph once the logger search is over."));
    p.addOptions({port, noSystem, home, simulate, archive, realTime});
    p.addPositionalArgument(QStringLiteral("files"),
                            QStringLiteral("Files to open after start-up: .880, .ghf, .txt or .csv."),
                            QStringLiteral("[files...]"));
    const bool parsed = p.parse(arguments);
    // Asked for help or the version, that is the answer, whatever else the
    // line holds.
    if (p.isSet(QStringLiteral("help")) || p.isSet(QStringLiteral("help-all"))) {
        const QString program = QFileInfo(arguments.value(0, QStringLiteral("tq880"))).fileName();
        out.output = p.helpText().replace(QStringLiteral("<executable_name>"), program);
        return out;
    }
    if (p.isSet(QStringLiteral("version"))) {
        out.output = QStringLiteral("tq880 " TQ880_VERSION "\n");
        return out;
    }
    if (!parsed) {
        out.error = p.errorText();
        return out;
    }
    out.extraPorts = p.values(port);
    out.noSystemPorts = p.isSet(noSystem);
    out.home = p.value(home);
    out.archive = p.value(archive);
    out.files = p.positionalArguments();
    out.realTimeGraph = p.isSet(realTime);
    if (p.isSet(simulate)) {
        const QString model = p.value(simulate);
        if (model == QLatin1String("860") || model == QLatin1String("862"))
            out.simulateModel = model.toInt();
        else
            out.error = QStringLiteral("--simulate takes 860 or 862, not \"%1\"").arg(model);
    }
    return out;
}

QStringList CommandLine::argumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

bool CommandLine::mayHoldQtOptions(const QStringList& arguments) {
    for (const QString& a : arguments.mid(1))
        if (a.size() > 2 && a.startsWith(QLatin1Char('-')) && !a.startsWith(QLatin1String("--"))) return true;
    return false;
}

} // namespace tq
