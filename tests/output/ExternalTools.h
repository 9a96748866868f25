#ifndef VOK_TESTS_EXTERNALTOOLS_H
#define VOK_TESTS_EXTERNALTOOLS_H

// Running the real consumers of the program's output (xmllint, ogrinfo,
// pdfinfo, pdftotext) from a test.

#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

// Where something a test needs is missing, a developer's run skips the test with
// the reason; under CI it fails, because CI installs everything (install-deps.sh --test).
#define VOK_REQUIRE(condition, reason)                                                          \
    do {                                                                                        \
        if (!(condition)) {                                                                     \
            if (qEnvironmentVariableIsSet("CI"))                                                \
                QFAIL(reason);                                                                  \
            QSKIP(reason);                                                                      \
        }                                                                                       \
    } while (false)

// Declares `variable` as the full path of `tool`.
#define VOK_REQUIRE_TOOL(variable, tool)                                                        \
    const QString variable = QStandardPaths::findExecutable(QStringLiteral(tool));             \
    VOK_REQUIRE(!variable.isEmpty(),                                                            \
                tool " is not installed (tools/install-deps.sh --test installs it)")

struct ToolRun {
    int exitCode = -1;
    QString output; // standard output
    QString errors; // standard error
};

inline ToolRun runTool(const QString &program, const QStringList &arguments)
{
    ToolRun run;
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        run.errors = program + QStringLiteral(" did not finish\n");
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.output = QString::fromUtf8(process.readAllStandardOutput());
    run.errors += QString::fromUtf8(process.readAllStandardError());
    return run;
}

#endif
