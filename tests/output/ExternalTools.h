#ifndef VOK_TESTS_EXTERNALTOOLS_H
#define VOK_TESTS_EXTERNALTOOLS_H

// Running the real consumers of the program's output (xmllint, ogrinfo,
// pdfinfo, pdftotext) from a test.

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QtTest>

// Declares `variable` as the full path of `tool`. Where the tool is missing a
// developer's run skips the test with the reason; under CI it fails, because
// CI installs every tool (tools/install-deps.sh --test).
#define VOK_REQUIRE_TOOL(variable, tool)                                                        \
    const QString variable = QStandardPaths::findExecutable(QStringLiteral(tool));             \
    do {                                                                                        \
        if (variable.isEmpty()) {                                                               \
            if (qEnvironmentVariableIsSet("CI"))                                                \
                QFAIL(tool " is not installed (tools/install-deps.sh --test installs it)");      \
            QSKIP(tool " is not installed (tools/install-deps.sh --test installs it)");          \
        }                                                                                       \
    } while (false)

struct ToolRun {
    int exitCode = -1;
    QString output; // standard output
    QString errors; // standard error
};

inline ToolRun runTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    ToolRun run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        run.errors = QStringLiteral("%1 did not finish").arg(program);
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.output = QString::fromUtf8(process.readAllStandardOutput());
    run.errors = QString::fromUtf8(process.readAllStandardError());
    return run;
}

#endif
