// Whatever a clerk types into whatever box, and whichever button follows: no crash, every
// statement the client sends keeps its shape (typed text only ever inside a literal), the
// names typed are stored as typed, and the database stays consistent.
#include "routes/RouteFixture.h"
#include "data/session/Transaction.h"

#include "app/Login.h"
#include "app/ScreenRegistration.h"
#include "app/StartApplication.h"
#include "data/session/Audit.h"
#include "data/session/Connection.h"
#include "data/dialect/DbError.h"
#include "data/dialect/SqlText.h"
#include "reservation/screens/frmCustomer.h"

#include <QAbstractSpinBox>
#include <QDialog>
#include <QPlainTextEdit>
#include <QSet>
#include <QTextEdit>
#include <QTimer>

using namespace nbk;
using namespace nbk::test;

namespace {

// The texts a careless, unlucky or malicious clerk types.
QStringList hostileTexts()
{
    return {QStringLiteral("D'Souza"),
            QStringLiteral("''"),
            QStringLiteral("'; delete from customer; --"),
            QStringLiteral("%"),
            QStringLiteral("_"),
            QStringLiteral("?"),
            QStringLiteral(":1"),
            QStringLiteral("Zq'%").repeated(2500),
            QStringLiteral("a\tb\x1b" "c\r\nd") + QChar(0) + QStringLiteral("e"),
            QStringLiteral("   "),
            QString(),
            QStringLiteral("Müller"),
            QStringLiteral("ಬೆಂಗಳೂರು")};
}

// Pieces of the hostile texts that must never appear in a statement outside a literal.
const QStringList &markers()
{
    static const QStringList m = {QStringLiteral("Souza"), QStringLiteral("delete from customer"),
                                  QStringLiteral("Zq"), QStringLiteral("Müller"), QStringLiteral("ಬೆಂ")};
    return m;
}

// The statement with its literals taken out; null when a literal does not end.
std::optional<QString> outsideLiterals(const QString &sql)
{
    QString out;
    bool inLiteral = false;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql.at(i);
        if (c == QLatin1Char('\'')) {
            if (inLiteral && i + 1 < sql.size() && sql.at(i + 1) == QLatin1Char('\'')) {
                ++i;  // a doubled quote stays inside
                continue;
            }
            inLiteral = !inLiteral;
            out += QLatin1Char('\'');
            continue;
        }
        if (!inLiteral)
            out += c;
    }
    if (inLiteral)
        return std::nullopt;
    return out;
}

// What went wrong with one statement's shape, empty when nothing did.
QString shapeFault(const QString &sql, const data::DbError *failure)
{
    const std::optional<QString> outside = outsideLiterals(sql);
    if (!outside)
        return QStringLiteral("a literal that does not end");
    for (const QString &m : markers())
        if (outside->contains(m, Qt::CaseInsensitive))
            return QStringLiteral("typed text outside a literal");
    if (outside->contains(QLatin1String("--")) || outside->contains(QLatin1String("/*")))
        return QStringLiteral("a comment");
    if (outside->trimmed().chopped(outside->trimmed().endsWith(QLatin1Char(';')) ? 1 : 0).contains(QLatin1Char(';')))
        return QStringLiteral("a second statement");
    QChar zero(0);
    if (sql.contains(zero))
        return QStringLiteral("a NUL character");
    // the engine could not read it as a statement: its shape is not the one written
    if (failure && ((failure->nativeError >= 900 && failure->nativeError <= 999) || failure->nativeError == 1756))
        return QStringLiteral("refused as a statement: ") + failure->description;
    return QString();
}

class HostileInput : public RouteTest {
protected:
    bool withDemoData() const override { return true; }

    void SetUp() override
    {
        RouteTest::SetUp();
        registerAllScreens();
        app::registerScreens();
        // a window with its own event loop (a print or file dialog) is answered with Cancel
        modalGuard_.setInterval(50);
        QObject::connect(&modalGuard_, &QTimer::timeout, [] {
            if (auto *d = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                d->reject();
        });
        modalGuard_.start();
        session().GetCurrentConnection().setStatementObserver(observer());
    }

    data::Connection::StatementObserver observer()
    {
        return [this](const QString &sql, const data::DbError *e) {
            ++statements_;
            reached_.insert(screen_);
            const QString fault = shapeFault(sql, e);
            for (const QString &m : markers())
                if (sql.contains(m, Qt::CaseInsensitive))
                    carried_.insert(screen_);
            if (!fault.isEmpty() && faults_.size() < 20)
                faults_ << (where_ + QStringLiteral(": ") + fault + QStringLiteral("\n    ") + sql.left(300));
        };
    }

    void TearDown() override
    {
        session().GetCurrentConnection().setStatementObserver({});
        modalGuard_.stop();
        RouteTest::TearDown();
    }

    // Every window the walk opened, closed (a question on the way is answered Yes), and
    // nothing left pending: closing a window ends its task.
    void closeEverything()
    {
        for (int round = 0; round < 3; ++round) {
            QList<QPointer<QWidget>> open;
            for (QWidget *w : QApplication::topLevelWidgets())
                if (w->isVisible() && !qobject_cast<QDialog *>(w))
                    open << w;
            for (const QPointer<QWidget> &w : open)
                if (w)
                    w->close();
        }
        deleteLeftoverScreens();
        if (session().IsInTransaction()) {
            faults_ << (where_ + QStringLiteral(": a transaction stayed open after every window closed (")
                        + session().PendingTask() + QLatin1Char(')'));
            session().AbandonAllWork();
        }
        CurrentRouteId = 0;
        setFlags(true, false, false);
    }

    // The values with which a screen gets furthest before the hostile box counts.
    void baseline(const QString &screen, QWidget *w)
    {
        auto put = [w](const char *name, const QString &text) {
            if (auto *e = w->findChild<QLineEdit *>(QString::fromLatin1(name)))
                e->setText(text);
        };
        if (screen == QLatin1String("frmReservation") || screen == QLatin1String("frmEnquiry")) {
            put("txtDD", QString::number(journeyDay().day()));
            if (auto *m = w->findChild<QComboBox *>(QStringLiteral("cmbMonth")))
                m->setCurrentIndex(journeyDay().month() - 1);
            if (auto *y = w->findChild<QComboBox *>(QStringLiteral("cmbYear")))
                y->setCurrentIndex(y->findText(QString::number(journeyDay().year())));
            put("txthh", QStringLiteral("10"));
            put("txtmin", QStringLiteral("07"));
            if (auto *c = w->findChild<QComboBox *>(QStringLiteral("cmbClass")))
                c->setCurrentIndex(2);
            if (auto *c = w->findChild<QComboBox *>(QStringLiteral("cmbSeats")))
                c->setCurrentIndex(0);
            put("txtFrom", QStringLiteral("Arsikere"));
            put("txtTo", QStringLiteral("Shimoga"));
        } else if (screen == QLatin1String("frmAddRoute")) {
            if (auto *f = qobject_cast<frmAddRoute *>(w))
                enter(f, QStringLiteral("Arsikere,Shimoga"), QStringLiteral("100"), QStringLiteral("10"),
                      QStringLiteral("120"));
        }
    }

    // Arsikere to Shimoga at the 10:07 boarding, one of three days: the booking waits for
    // its customer details.
    frmCustomer *bookUpToTheCustomerScreen(int i)
    {
        Request r;
        r.date = journeyDay().addDays(i % 3);
        r.minute = QStringLiteral("07");
        r.from = QStringLiteral("Arsikere");
        r.to = QStringLiteral("Shimoga");
        submit(r);
        return findScreenAs<frmCustomer>(QStringLiteral("frmCustomer"));
    }

    static QList<QWidget *> textBoxes(QWidget *w)
    {
        QList<QWidget *> boxes;
        for (QLineEdit *e : w->findChildren<QLineEdit *>())
            if (!e->isReadOnly() && !qobject_cast<QAbstractSpinBox *>(e->parentWidget()))
                boxes << e;
        for (QPlainTextEdit *e : w->findChildren<QPlainTextEdit *>())
            if (!e->isReadOnly())
                boxes << e;
        for (QTextEdit *e : w->findChildren<QTextEdit *>())
            if (!e->isReadOnly())
                boxes << e;
        return boxes;
    }

    static void typeInto(QWidget *box, const QString &text)
    {
        if (auto *e = qobject_cast<QLineEdit *>(box)) {
            // a box with a length limit takes what fits, as it does for the clerk
            e->setText(text);
            return;
        }
        if (auto *e = qobject_cast<QPlainTextEdit *>(box))
            e->setPlainText(text);
        else if (auto *e = qobject_cast<QTextEdit *>(box))
            e->setPlainText(text);
    }

    static QString boxName(QWidget *box)
    {
        QString name = box->objectName();
        // the edit of an editable list is named by its list
        if (name.isEmpty() && box->parentWidget())
            name = box->parentWidget()->objectName();
        return name;
    }

    // The screen opened afresh, with its baseline values; null for a window that shows
    // itself outside the registry.
    QWidget *fresh(const QString &screen)
    {
        QWidget *w = openScreen(screen);
        if (w)
            baseline(screen, w);
        return w;
    }

    static QString shown(const QString &text) { return text.size() > 12 ? text.left(12) + QStringLiteral("…") : text; }

    QTimer modalGuard_;
    QString where_;
    QString screen_;
    // the screens whose statements carried typed text (inside a literal)
    QSet<QString> carried_;
    // the screens whose buttons reached the database
    QSet<QString> reached_;
    QStringList faults_;
    int statements_ = 0;
};

TEST_P(HostileInput, EveryTextInEveryBoxOfEveryScreenLeavesTheStatementsTheirShape)
{
    QStringList walked;
    int presses = 0;
    for (const QString &screen : registeredScreens()) {
        if (screen == QLatin1String("Login"))
            continue;  // a login replaces the session: its own test below
        screen_ = screen;
        QWidget *first = fresh(screen);
        if (!first) {
            closeEverything();
            continue;
        }
        QStringList boxes, buttons;
        for (QWidget *b : textBoxes(first))
            boxes << boxName(b);
        for (QPushButton *b : first->findChildren<QPushButton *>())
            if (b->isEnabled() && !b->objectName().isEmpty())
                buttons << b->objectName();
        closeEverything();
        walked << screen + QStringLiteral("(") + boxes.join(QLatin1Char(',')) + QStringLiteral(" / ")
                      + buttons.join(QLatin1Char(',')) + QStringLiteral(")");

        for (const QString &box : boxes) {
            for (const QString &text : hostileTexts()) {
                for (const QString &button : buttons) {
                    where_ = screen + QLatin1Char('.') + box + QStringLiteral(" = \"") + shown(text)
                             + QStringLiteral("\", ") + button;
                    QWidget *w = fresh(screen);
                    ASSERT_NE(w, nullptr) << where_.toStdString();
                    QPointer<QWidget> guard(w);
                    // the sequence of a new route: the typed place first, then a known one
                    const bool sequence = screen == QLatin1String("frmAddRoute") && box == QLatin1String("txtr");
                    for (QWidget *b : textBoxes(w))
                        if (boxName(b) == box)
                            typeInto(b, sequence ? text + QStringLiteral(",Shimoga") : text);
                    if (auto *b = w->findChild<QPushButton *>(button); b && b->isEnabled() && b->isVisible()) {
                        MessageScript::clearShown();
                        b->click();
                        ++presses;
                    }
                    closeEverything();
                }
            }
        }
    }
    // the walk reached the screens that take typed text
    for (const char *name : {"frmReservation", "frmEnquiry", "frmCancel", "frmAddRoute", "Ticket"})
        EXPECT_TRUE(walked.join(' ').contains(QLatin1String(name))) << walked.join(' ').toStdString();
    EXPECT_GT(presses, 500);
    QStringList carried = carried_.values(), reached = reached_.values();
    carried.sort();
    reached.sort();
    // typed text reached the database from the journey and route screens: bound as a
    // parameter by some, inside a literal by the others
    for (const char *name : {"ARF", "frmAddRoute", "frmEditRoute", "frmEnquiry", "frmReservation"})
        EXPECT_TRUE(reached.contains(QLatin1String(name))) << name << " " << reached.join(',').toStdString();
    for (const char *name : {"ARF", "frmAddRoute", "frmEditRoute"})
        EXPECT_TRUE(carried.contains(QLatin1String(name))) << name << " " << carried.join(',').toStdString();
    EXPECT_TRUE(faults_.isEmpty()) << faults_.join('\n').toStdString();

    const data::AuditFigures a = data::auditDatabase(session().GetCurrentConnection());
    EXPECT_TRUE(a.clean()) << a.summary().toStdString();
}

TEST_P(HostileInput, PassengerNamesAreStoredAndReadBackAsTyped)
{
    QStringList refused;
    int stored = 0;
    int day = 0;
    for (const QString &name : hostileTexts()) {
        where_ = QStringLiteral("customer name \"") + shown(name) + QLatin1Char('"');
        auto *customer = bookUpToTheCustomerScreen(day++);
        ASSERT_NE(customer, nullptr) << where_.toStdString() << MessageScript::texts().join('|').toStdString();
        customer->txtname->setText(name);
        customer->phone->setText(QStringLiteral("+91 80 2345 6789"));
        customer->txtage->setText(QStringLiteral("41"));
        MessageScript::clearShown();
        click(customer, "Command1");
        if (MessageScript::headlines().contains(QStringLiteral("Update complete."))) {
            ++stored;
            const data::ResultSet rs =
                db().query(QStringLiteral("SELECT name, phone FROM customer WHERE customer_id = (SELECT max(customer_id) "
                                          "FROM customer WHERE name <> '**TEMP**')"));
            EXPECT_EQ(rs.value(0).toString(), name) << where_.toStdString();
            EXPECT_EQ(rs.value(1).toString(), QStringLiteral("+91 80 2345 6789"));
        } else {
            // refused: the clerk was told, and the booking still waits for a name
            refused << name;
            EXPECT_FALSE(MessageScript::texts().isEmpty()) << where_.toStdString();
        }
        closeEverything();
    }
    // only a name with control characters is refused
    EXPECT_EQ(refused.size(), 1) << refused.join('|').toStdString();
    EXPECT_EQ(stored, int(hostileTexts().size()) - 1);
    EXPECT_TRUE(faults_.isEmpty()) << faults_.join('\n').toStdString();
    const data::AuditFigures a = data::auditDatabase(session().GetCurrentConnection());
    EXPECT_TRUE(a.clean()) << a.summary().toStdString();
}

TEST_P(HostileInput, AgeAndPhoneBoxesTakeOnlyNumbers)
{
    int day = 0;
    for (const QString &text : hostileTexts()) {
        where_ = QStringLiteral("age and phone \"") + shown(text) + QLatin1Char('"');
        auto *customer = bookUpToTheCustomerScreen(day++);
        ASSERT_NE(customer, nullptr) << where_.toStdString() << MessageScript::texts().join('|').toStdString();
        customer->txtname->setText(QStringLiteral("Age Phone"));
        customer->phone->setText(QStringLiteral("9845012345"));
        customer->txtage->setText(text);
        MessageScript::clearShown();
        click(customer, "Command1");
        // a wrong age is the clerk's to correct: the booking waits
        EXPECT_EQ(MessageScript::texts(), QStringList{QStringLiteral("Error in age entry ")}) << where_.toStdString();
        EXPECT_TRUE(session().IsInTransaction()) << where_.toStdString();
        customer->txtage->setText(QStringLiteral("30"));
        customer->phone->setText(text);
        MessageScript::clearShown();
        click(customer, "Command1");
        // a phone the database would refuse ends the booking, as a refused update does
        EXPECT_TRUE(MessageScript::texts().join('|').contains(QLatin1String("Reservation Cancelled")))
            << where_.toStdString() << MessageScript::texts().join('|').toStdString();
        EXPECT_FALSE(session().IsInTransaction()) << where_.toStdString();
        closeEverything();
    }
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM customer")), 0);
    EXPECT_TRUE(faults_.isEmpty()) << faults_.join('\n').toStdString();
    const data::AuditFigures a = data::auditDatabase(session().GetCurrentConnection());
    EXPECT_TRUE(a.clean()) << a.summary().toStdString();
}

TEST_P(HostileInput, PlaceNamesOfANewRouteAreStoredAsTyped)
{
    // names without the sequence's separators, each a new place
    const QStringList names = {QStringLiteral("D'Souza Nagar"), QStringLiteral("''"), QStringLiteral("50% Nagar"),
                               QStringLiteral("Old_Town"), QStringLiteral("Why?"), QStringLiteral(":1 Cross"),
                               QStringLiteral("Müller"), QStringLiteral("ಬೆಂಗಳೂರು"),
                               QStringLiteral("x' OR '1'='1")};
    where_ = QStringLiteral("route places");
    frmAddRoute *f = openAdd();
    QStringList kms;
    for (int i = 1; i < names.size(); ++i)
        kms << QString::number(10 * i);
    enter(f, names.join(QLatin1Char(',')), kms.join(QLatin1Char(',')));
    f->ok->click();
    ASSERT_TRUE(isShown("SetFrequency")) << MessageScript::texts().join('|').toStdString();
    days({8});
    ASSERT_TRUE(isShown("SetClass")) << MessageScript::texts().join('|').toStdString();
    tick(2, 8);
    MessageScript::clearShown();
    classes()->Command1->click();
    ASSERT_TRUE(MessageScript::texts().join('|').contains(QLatin1String("Complete")))
        << MessageScript::texts().join('|').toStdString();
    for (const QString &name : names)
        EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM place WHERE full_name = '") + data::sqlText(name)
                        + QLatin1Char('\'')),
                  1)
            << name.toStdString();
    // the route runs through them in the order typed
    const QStringList stored = rows(QStringLiteral(
        "SELECT p.full_name FROM path_order po, route_element re, place p WHERE po.route_id = 101 AND "
        "re.reid = po.reid AND p.place = re.place1 ORDER BY po.sequence_no"));
    EXPECT_EQ(stored, names.mid(0, names.size() - 1));
    EXPECT_TRUE(faults_.isEmpty()) << faults_.join('\n').toStdString();
}

TEST_P(HostileInput, LoginBoxesNeverLogInAndNeverChangeAStatement)
{
    QStringList texts = hostileTexts();
    texts << QStringLiteral("' OR '1'='1") << QStringLiteral("chief'--") << QStringLiteral("chief;UID=clerk1");
    for (const QString &text : texts) {
        // the user name hostile with the right password, then the supervisor with a hostile one
        for (const bool hostileUser : {true, false}) {
            where_ = QStringLiteral("login ") + (hostileUser ? QStringLiteral("user") : QStringLiteral("password"))
                     + QStringLiteral(" \"") + shown(text) + QLatin1Char('"');
            // a session of its own each time: three wrong passwords end a session for good
            data::Class1 counter;
            counter.GetCurrentConnection().setStatementObserver(observer());
            DbSession = &counter;
            auto *l = qobject_cast<app::Login *>(openScreen(QStringLiteral("Login")));
            ASSERT_NE(l, nullptr);
            l->User->setText(hostileUser ? text : QStringLiteral("chief"));
            l->Password->setText(hostileUser ? QStringLiteral("nb") : text);
            l->Server->setText(db().server());
            l->Command1->setEnabled(true);
            l->Command1->click();
            EXPECT_FALSE(counter.GetConnectStatus()) << where_.toStdString();
            closeEverything();
            DbSession = &session();
        }
    }
    EXPECT_TRUE(faults_.isEmpty()) << faults_.join('\n').toStdString();
}

NBK_ALL_ENGINES(HostileInput);

}  // namespace
