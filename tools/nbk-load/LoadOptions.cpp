#include "LoadOptions.h"

#include <QTextStream>
#include <cstdio>

namespace nbk::load {

bool LoadOptions::onServer() const
{
    return database.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive)
           || database.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

QString LoadOptions::serverText() const { return onServer() ? database : QString(); }

QStringList LoadOptions::childArguments(int index) const
{
    QStringList args = {QStringLiteral("--database"), database,
            QStringLiteral("--user"), user,
            QStringLiteral("--mix"), QStringLiteral("book=%1,enquire=%2,cancel=%3").arg(book).arg(enquire).arg(cancel),
            QStringLiteral("--seed"), QString::number(seed),
            QStringLiteral("--clerk"), QString::number(index),
            QStringLiteral("--start"), QString::number(startMs),
            QStringLiteral("--deadline"), QString::number(deadlineMs)};
    if (headless)
        args << QStringLiteral("--headless");
    if (!committedFile.isEmpty())
        args << QStringLiteral("--committed") << committedFile;
    if (!unsavedFile.isEmpty())
        args << QStringLiteral("--unsaved") << unsavedFile;
    return args;
}

QString usage()
{
    return QStringLiteral("usage: nbk-load --database DB --user U --sessions N --seconds S "
                          "[--mix book=70,enquire=20,cancel=10] [--seed K] [--headless] [--owner-sessions]\n"
                          "       [--committed FILE] [--unsaved FILE] < password\n"
                          "       nbk-load --help | --version\n"
                          "(the password is read from the first line of standard input; --password PASSWORD\n"
                          "also works, but shows it to every user of the machine)\n");
}

namespace {
bool parseMix(const QString &text, LoadOptions &o)
{
    int book = 0, enquire = 0, cancel = 0;
    for (const QString &part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList kv = part.split(QLatin1Char('='));
        bool ok = false;
        const int v = kv.value(1).toInt(&ok);
        if (kv.size() != 2 || !ok || v < 0)
            return false;
        const QString k = kv[0].trimmed();
        if (k == QLatin1String("book"))
            book = v;
        else if (k == QLatin1String("enquire"))
            enquire = v;
        else if (k == QLatin1String("cancel"))
            cancel = v;
        else
            return false;
    }
    if (book + enquire + cancel <= 0)
        return false;
    o.book = book;
    o.enquire = enquire;
    o.cancel = cancel;
    return true;
}
}  // namespace

bool parseOptions(const QStringList &args, LoadOptions &o, QString *error)
{
    auto fail = [&](const QString &why) {
        *error = why;
        return false;
    };
    bool passwordGiven = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--hold") || a == QLatin1String("--headless")) {
            (a == QLatin1String("--hold") ? o.hold : o.headless) = true;
            continue;
        }
        if (a == QLatin1String("--help") || a == QLatin1String("-h") || a == QLatin1String("--version")) {
            (a == QLatin1String("--version") ? o.version : o.help) = true;
            return true;
        }
        if (a == QLatin1String("--owner-sessions")) {
            o.ownerSessions = true;
            continue;
        }
        if (i + 1 >= args.size())
            return fail(QStringLiteral("%1 needs a value").arg(a));
        const QString v = args[++i];
        bool ok = true;
        if (a == QLatin1String("--database"))
            o.database = v;
        else if (a == QLatin1String("--user"))
            o.user = v;
        else if (a == QLatin1String("--password")) {
            o.password = v;
            passwordGiven = true;
        }
        else if (a == QLatin1String("--sessions"))
            o.sessions = v.toInt(&ok);
        else if (a == QLatin1String("--seconds"))
            o.seconds = v.toInt(&ok);
        else if (a == QLatin1String("--seed"))
            o.seed = v.toUInt(&ok);
        else if (a == QLatin1String("--mix"))
            ok = parseMix(v, o);
        else if (a == QLatin1String("--clerk"))
            o.session = v.toInt(&ok);
        else if (a == QLatin1String("--start"))
            o.startMs = v.toLongLong(&ok);
        else if (a == QLatin1String("--deadline"))
            o.deadlineMs = v.toLongLong(&ok);
        else if (a == QLatin1String("--committed"))
            o.committedFile = v;
        else if (a == QLatin1String("--unsaved"))
            o.unsavedFile = v;
        else
            return fail(QStringLiteral("unknown option %1").arg(a));
        if (!ok)
            return fail(QStringLiteral("bad value for %1: %2").arg(a, v));
    }
    if (o.database.isEmpty() || o.user.isEmpty())
        return fail(QStringLiteral("--database and --user are needed"));
    if (o.sessions < 1 || o.sessions > 200)
        return fail(QStringLiteral("--sessions must be 1 to 200"));
    if (o.seconds < 1)
        return fail(QStringLiteral("--seconds must be at least 1"));
    if (!passwordGiven) {
        QTextStream in(stdin);
        o.password = in.readLine();
    }
    return true;
}

}  // namespace nbk::load
