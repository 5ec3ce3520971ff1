#include "ShellFixture.h"

#include "data/schema/SchemaVersion.h"

using namespace nbk;
using namespace nbk::test;

namespace {

class AboutBox : public ShellTest {
protected:
    // Help > About; the one box it showed, split into its lines.
    QStringList aboutLines()
    {
        test::MessageScript::clearShown();
        menu("mnuHelpAbout")->trigger();
        const auto &shown = test::MessageScript::shown();
        EXPECT_EQ(shown.size(), 1u);
        if (shown.empty())
            return {};
        EXPECT_EQ(shown.front().icon(), mb::Information);
        EXPECT_EQ(shown.front().buttons(), mb::OKOnly);
        return shown.front().text.split(QLatin1Char('\n'));
    }
    static QString programLine() { return QStringLiteral("nbk-reservation " NBK_PROJECT_VERSION); }
    static QString builtForLine()
    {
        return QStringLiteral("Database schema of this program: version %1").arg(data::schema::kCurrentVersion);
    }
};
INSTANTIATE_TEST_SUITE_P(Embedded, AboutBox, ::testing::Values(EngineKind::Embedded), engineName);

TEST_P(AboutBox, BeforeALoginNamesTheProgramsVersionsAndNoDatabase)
{
    ASSERT_NE(login(), nullptr);
    const QStringList lines = aboutLines();
    EXPECT_TRUE(lines.contains(programLine())) << lines.join('|').toStdString();
    EXPECT_TRUE(lines.contains(builtForLine())) << lines.join('|').toStdString();
    EXPECT_TRUE(lines.contains(QStringLiteral("Connected database: not connected"))) << lines.join('|').toStdString();
    // the box is only shown: the login dialog waits as it was
    EXPECT_NE(login(), nullptr);
}

TEST_P(AboutBox, AfterALoginNamesTheVersionTheDatabaseRecords)
{
    logIn(QStringLiteral("clerk1"), QStringLiteral("nb"));
    ASSERT_EQ(LoginState, 2);
    // recorded versions that differ from the program's, older and newer, and none yet
    const struct {
        qint32 recorded;
        QString line;
    } cases[] = {
        {data::schema::kCurrentVersion - 1,
         QStringLiteral("Connected database: version %1").arg(data::schema::kCurrentVersion - 1)},
        {data::schema::kCurrentVersion + 1,
         QStringLiteral("Connected database: version %1").arg(data::schema::kCurrentVersion + 1)},
        {0, QStringLiteral("Connected database: no version recorded")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.recorded);
        DbSession->setSchemaVersion(c.recorded);
        const QStringList lines = aboutLines();
        EXPECT_TRUE(lines.contains(programLine())) << lines.join('|').toStdString();
        EXPECT_TRUE(lines.contains(builtForLine())) << lines.join('|').toStdString();
        EXPECT_TRUE(lines.contains(c.line)) << lines.join('|').toStdString();
    }
}

}  // namespace
