#include "CommandLine.h"

#include <QCommandLineParser>

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
    p.addOptions({port, noSystem, home, simulate});
    p.addPositionalArgument(QStringLiteral("files"),
                            QStringLiteral("Files to open after start-up: .880, .ghf, .txt or .csv."),
                            QStringLiteral("[files...]"));
    if (!p.parse(arguments)) {
        out.error = p.errorText();
        return out;
    }
    if (p.isSet(QStringLiteral("help")) || p.isSet(QStringLiteral("version"))) {
        out.error = p.isSet(QStringLiteral("help")) ? p.helpText() : QString();
        if (p.isSet(QStringLiteral("version"))) out.error = QStringLiteral(TQ880_VERSION);
        return out;
    }
    out.extraPorts = p.values(port);
    out.noSystemPorts = p.isSet(noSystem);
    out.home = p.value(home);
    out.files = p.positionalArguments();
    if (p.isSet(simulate)) {
        const QString model = p.value(simulate);
        if (model == QLatin1String("860") || model == QLatin1String("862"))
            out.simulateModel = model.toInt();
        else
            out.error = QStringLiteral("--simulate takes 860 or 862, not \"%1\"").arg(model);
    }
    return out;
}

} // namespace tq
