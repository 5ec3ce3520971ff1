#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

struct Program {
    const char *name;
    const char *path;
};
const Program kPrograms[] = {
    {"nbk-reservation", NBK_CLIENT_PATH},
    {"nbk-admin", NBK_ADMIN_PATH},
    {"nbk-load", NBK_LOAD_PATH},
};

struct ProgramRun {
    bool finished;
    int code;
    QString out;
    QString err;
};

// A shell without a window system, as on a console or over ssh: no display, no platform
// chosen.
QProcessEnvironment withoutDisplay()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    return env;
}

ProgramRun run(const Program &program, const QStringList &args,
        const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QString::fromLatin1(program.path), args);
    p.closeWriteChannel();
    const bool finished = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit;
    return {finished, p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QSet<QString> longOptions(const QString &text)
{
    QSet<QString> found;
    static const QRegularExpression option(QStringLiteral("--[a-z][a-z-]*"));
    for (auto it = option.globalMatch(text); it.hasNext();)
        found.insert(it.next().captured());
    return found;
}

// The manual page's text with roff's escaped hyphens as typed.
QString manualPage(const Program &program)
{
    QFile f(QStringLiteral(NBK_MAN_DIR "/%1.1.in").arg(QString::fromLatin1(program.name)));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll()).replace(QStringLiteral("\\-"), QStringLiteral("-"));
}

std::string sorted(const QSet<QString> &set)
{
    QStringList l(set.begin(), set.end());
    l.sort();
    return l.join(QLatin1Char(' ')).toStdString();
}

class ProgramInfo : public ::testing::TestWithParam<Program> {};

TEST_P(ProgramInfo, VersionPrintsNameAndVersionWithoutADisplay)
{
    const Program &p = GetParam();
    const ProgramRun r = run(p, {QStringLiteral("--version")}, withoutDisplay());
    ASSERT_TRUE(r.finished) << r.err.toStdString();
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("%1 %2\n").arg(QString::fromLatin1(p.name), QStringLiteral(NBK_PROJECT_VERSION)));
}

// The usage and the manual page name the same options: neither forgets one the other gives.
TEST_P(ProgramInfo, HelpSucceedsAndNamesTheOptionsOfTheManualPage)
{
    const Program &p = GetParam();
    const ProgramRun r = run(p, {QStringLiteral("--help")}, withoutDisplay());
    ASSERT_TRUE(r.finished) << r.err.toStdString();
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    const QSet<QString> usage = longOptions(r.out);
    EXPECT_TRUE(usage.contains(QStringLiteral("--version"))) << r.out.toStdString();
    const QString page = manualPage(p);
    ASSERT_FALSE(page.isEmpty()) << "no manual page for " << p.name;
    EXPECT_EQ(sorted(usage), sorted(longOptions(page)));
}

// (on the tests' offscreen platform: the client meets an unknown option once it runs)
TEST_P(ProgramInfo, AnUnknownOptionFails)
{
    const ProgramRun r = run(GetParam(), {QStringLiteral("--no-such-option")});
    ASSERT_TRUE(r.finished) << r.err.toStdString();
    EXPECT_NE(r.code, 0);
    EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Programs, ProgramInfo, ::testing::ValuesIn(kPrograms),
                         [](const ::testing::TestParamInfo<Program> &info) {
                             return QString::fromLatin1(info.param.name).remove(QLatin1Char('-')).toStdString();
                         });

TEST(AdminUsage, EveryCommandOfTheUsageHasItsManualEntry)
{
    const ProgramRun r = run(kPrograms[1], {QStringLiteral("--help")});
    const QString page = manualPage(kPrograms[1]);
    static const QRegularExpression command(QStringLiteral("^\\s*nbk-admin ([a-z][a-z-]*)"),
                                            QRegularExpression::MultilineOption);
    QStringList commands;
    for (auto it = command.globalMatch(r.out); it.hasNext();)
        commands << it.next().captured(1);
    for (const char *known : {"init", "sql", "passwd", "useradd", "report", "audit"})
        EXPECT_TRUE(commands.contains(QLatin1String(known))) << known << " in " << commands.join(' ').toStdString();
    for (const QString &c : commands) {
        EXPECT_TRUE(page.contains(QStringLiteral("nbk-admin ") + c)) << c.toStdString() << " in the synopsis";
        EXPECT_TRUE(page.contains(QStringLiteral(".B ") + c + QLatin1Char('\n'))) << c.toStdString() << " described";
    }
}

TEST(AdminUsage, WithoutACommandTheUsageGoesToStandardErrorAndFails)
{
    const ProgramRun r = run(kPrograms[1], {});
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.contains(QStringLiteral("nbk-admin init"))) << r.err.toStdString();
}

}  // namespace
