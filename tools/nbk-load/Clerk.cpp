#include "app/ScreenRegistration.h"
#include "Clerk.h"
#include "ServerCpu.h"

#include "ui/ScreenRegistry.h"
#include "data/session/Class1.h"
#include "data/dialect/DbError.h"
#include "data/engines/Engine.h"
#include "common/ReservationState.h"
#include "common/SharedRoutines.h"
#include "reservation/screens/frmCustomer.h"

#include <algorithm>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <cmath>
#include <QThread>
#include <cstdio>
#include <memory>

namespace nbk::load {

namespace {
std::unique_ptr<data::Class1> ownedSession;

const char *const kScreens[] = {"frmCustomer", "Instances", "frmPlaces", "frmEnquiry", "frmReservation", "frmCancel"};

template <class T>
T *control(QWidget *screen, const char *name)
{
    return screen ? screen->findChild<T *>(QString::fromLatin1(name)) : nullptr;
}

void setText(QWidget *screen, const char *name, const QString &text)
{
    if (auto *e = control<QLineEdit>(screen, name))
        e->setText(text);
}

bool chooseText(QWidget *screen, const char *name, const QString &text)
{
    auto *c = control<QComboBox>(screen, name);
    const int i = c ? c->findText(text) : -1;
    if (i >= 0)
        c->setCurrentIndex(i);
    return i >= 0;
}

void chooseIndex(QWidget *screen, const char *name, int i)
{
    if (auto *c = control<QComboBox>(screen, name); c && i < c->count())
        c->setCurrentIndex(i);
}

void press(QWidget *screen, const char *name)
{
    if (auto *b = control<QPushButton>(screen, name))
        b->click();
}

QWidget *shown(const char *name)
{
    QWidget *w = findScreen(QString::fromLatin1(name));
    return w && w->isVisible() ? w : nullptr;
}

bool refusalNumber(int n)
{
    return n == data::ora::ResourceBusy || n == data::ora::SeatTaken || n == data::ora::Deadlock
           || n == data::ora::UniqueViolated || n == 8177;
}
}  // namespace

int ClerkPrompt::ask(const QString &text, int style, const QString &)
{
    texts << text;
    // a question's default may be No (the counter's guard against a stray Enter); the
    // load's clerk means every question it meets
    return (style & 0x7) == mb::YesNo ? mb::Yes : defaultAnswer(style);
}

QJsonObject SessionFigures::toJson() const
{
    QJsonArray lat;
    for (double v : latenciesMs)
        lat.append(v);
    QJsonArray errs;
    for (const QString &t : errorTexts)
        errs.append(t);
    return {{QStringLiteral("bookings"), bookings}, {QStringLiteral("enquiries"), enquiries},
            {QStringLiteral("cancellations"), cancellations}, {QStringLiteral("refusals"), refusals},
            {QStringLiteral("concession_seats"), concessionSeats},
            {QStringLiteral("charged_cancellations"), chargedCancellations},
            {QStringLiteral("errors"), errors}, {QStringLiteral("interrupted"), interrupted},
            {QStringLiteral("cpu_ms"), cpuMs}, {QStringLiteral("latencies"), lat},
            {QStringLiteral("error_texts"), errs}};
}

SessionFigures SessionFigures::fromJson(const QJsonObject &o)
{
    SessionFigures f;
    f.bookings = o.value(QStringLiteral("bookings")).toInt();
    f.enquiries = o.value(QStringLiteral("enquiries")).toInt();
    f.cancellations = o.value(QStringLiteral("cancellations")).toInt();
    f.concessionSeats = o.value(QStringLiteral("concession_seats")).toInt();
    f.chargedCancellations = o.value(QStringLiteral("charged_cancellations")).toInt();
    f.refusals = o.value(QStringLiteral("refusals")).toInt();
    f.errors = o.value(QStringLiteral("errors")).toInt();
    f.interrupted = o.value(QStringLiteral("interrupted")).toInt();
    f.cpuMs = o.value(QStringLiteral("cpu_ms")).toDouble();
    for (const QJsonValue &v : o.value(QStringLiteral("latencies")).toArray())
        f.latenciesMs.push_back(v.toDouble());
    for (const QJsonValue &v : o.value(QStringLiteral("error_texts")).toArray())
        f.errorTexts << v.toString();
    return f;
}

Clerk::Clerk(const LoadOptions &o) : options_(o), rng_(o.seed * 1000003u + quint32(o.session) * 7919u) {}

bool Clerk::start(QString *error)
{
    ui::setPrompt(&prompt_);
    tellLoginRefusalsThroughPrompt();
    if (!options_.onServer())
        data::setEmbeddedDatabasePath(options_.database);
    ownedSession = std::make_unique<data::Class1>();
    DbSession = ownedSession.get();
    registerAllScreens();
    qint16 state = 0;
    // an unknown Server text tries the drivers in turn, as the login dialog does
    for (int attempt = 0; attempt < 3 && state == 0; ++attempt)
        state = DbSession->ConnectToDataBase(options_.user, options_.password, options_.serverText());
    if (state != 2) {
        *error = QStringLiteral("login refused: ") + prompt_.texts.join(QLatin1String(" | "));
        return false;
    }
    DbSession->onConnectionLost = [this](const data::DbError &) { ++losses_; };
    // seat and lock refusals the booking handles by itself (it takes the next seat)
    const bool trace = qEnvironmentVariableIsSet("NBK_LOAD_TRACE");
    DbSession->GetCurrentConnection().setStatementObserver([this, trace](const QString &sql, const data::DbError *e) {
        if (e && refusalNumber(e->nativeError))
            ++statementRefusals_;
        if (e && trace)
            std::fprintf(stderr, "refused: %s\n   %s\n", qPrintable(sql.left(120)), qPrintable(e->description));
    });
    categories_ = LoadFareCategories();
    return network_.load(DbSession->GetCurrentConnection(), error);
}

QList<SeatCategoryChoice> Clerk::pickCategories(const QList<qint16> &seats)
{
    QList<SeatCategoryChoice> out;
    pickedConcessions_ = 0;
    for (qint16 seat : seats) {
        if (categories_.isEmpty() || std::uniform_int_distribution<int>(0, 2)(rng_) != 0) {
            out.append({seat, QStringLiteral("Adult"), QString()});
            continue;
        }
        const FareCategory &c = categories_[std::uniform_int_distribution<int>(0, int(categories_.size()) - 1)(rng_)];
        const int age = std::uniform_int_distribution<int>(int(std::ceil(c.minAge)), int(std::floor(c.maxAge)))(rng_);
        out.append({seat, c.name, QString::number(age)});
        ++pickedConcessions_;
    }
    return out;
}

void Clerk::runUntil(qint64 deadlineMs)
{
    const int total = options_.book + options_.enquire + options_.cancel;
    const double cpuBefore = ownCpuMs();
    while (QDateTime::currentMSecsSinceEpoch() < deadlineMs) {
        const int r = std::uniform_int_distribution<int>(0, total - 1)(rng_);
        // what the client's guard does with an error no handler caught (a lost server met
        // outside a booking's own checks): a message, the task's work rolled back
        try {
            if (r < options_.book)
                book();
            else if (r < options_.book + options_.enquire)
                enquire();
            else
                cancel();
        } catch (const std::exception &e) {
            prompt_.texts << QString::fromLocal8Bit(e.what());
            judge(QStringLiteral("task"), false);
            closeEverything();
        }
    }
    figures_.cpuMs = ownCpuMs() - cpuBefore;
    figures_.refusals += statementRefusals_;
    statementRefusals_ = 0;
}

void Clerk::fillJourney(QWidget *f, const Journey &j, bool chooseRun)
{
    setText(f, "txtDD", QString::number(j.at.date().day()));
    chooseIndex(f, "cmbMonth", j.at.date().month() - 1);
    chooseText(f, "cmbYear", QString::number(j.at.date().year()));
    setText(f, "txthh", QString::number(j.at.time().hour()));
    setText(f, "txtmin", QString::number(j.at.time().minute()));
    chooseIndex(f, "cmbClass", j.classIndex);
    chooseIndex(f, "cmbSeats", j.seats - 1);
    setText(f, "txtFrom", j.from);
    setText(f, "txtTo", j.to);
    setText(f, "txtRoute", QString());
    if (auto *o = control<QRadioButton>(f, "Option1"))
        o->setChecked(chooseRun);
}

bool Clerk::request(const char *screen, const Journey &j, bool chooseRun, bool finish)
{
    QWidget *f = openScreen(QString::fromLatin1(screen));
    if (!f)
        return false;
    fillJourney(f, j, chooseRun);
    press(f, "cmdNext");
    for (int step = 0; step < 6; ++step) {
        if (QWidget *places = shown("frmPlaces")) {
            chooseText(places, "cmbFrom", j.from);
            chooseText(places, "cmbTo", j.to);
            press(places, "cmdNext");
        } else if (QWidget *runs = shown("Instances")) {
            sawRuns_ = true;
            chooseIndex(runs, "cmbInstance", 0);
            press(runs, "ok");
        } else if (QWidget *customer = shown("frmCustomer")) {
            if (!finish)
                return true;
            setText(customer, "txtname", QStringLiteral("Load Passenger %1").arg(options_.session));
            setText(customer, "phone", QStringLiteral("98450%1").arg(std::uniform_int_distribution<int>(10000, 99999)(rng_)));
            setText(customer, "txtage", QString::number(std::uniform_int_distribution<int>(5, 90)(rng_)));
            chooseIndex(customer, "cmbGen", std::uniform_int_distribution<int>(0, 1)(rng_));
            if (auto *grid = customer->findChild<QTableWidget *>(QStringLiteral("grdSeats"))) {
                QList<qint16> seats;
                for (int i = 0; i < grid->rowCount(); ++i)
                    seats << qint16(grid->item(i, 0)->text().toInt());
                const QList<SeatCategoryChoice> choices = pickCategories(seats);
                for (int i = 0; i < choices.size(); ++i) {
                    if (auto *category = qobject_cast<QComboBox *>(grid->cellWidget(i, 1)))
                        category->setCurrentText(choices[i].category);
                    grid->item(i, 2)->setText(choices[i].age);
                }
            } else {
                pickedConcessions_ = 0;
            }
            press(customer, "Command1");
            return std::any_of(prompt_.texts.cbegin(), prompt_.texts.cend(),
                               [](const QString &t) { return t.startsWith(QLatin1String("Update complete.")); });
        } else {
            break;
        }
    }
    return false;
}

bool Clerk::isRefusal(const QString &t) const
{
    static const QStringList handled = {
        QStringLiteral("Cancelling reservation due to non availablity of seats"),
        QStringLiteral(" Requested number of seats not available"),
        QStringLiteral("Customer detail under update. Please try later "),
        // another counter's run, made on demand for another time, now answers this request
        QStringLiteral(" no instances  take care "),
    };
    if (handled.contains(t))
        return true;
    // the run refusal names the nearest buses on a line of its own after it
    if (t.startsWith(QLatin1String(" no instances  take care \r\n")))
        return true;
    return t.contains(QLatin1String("ORA-00054")) || t.contains(QLatin1String("ORA-20001"))
           || t.contains(QLatin1String("ORA-00060")) || t.contains(QLatin1String("ORA-08177"));
}

void Clerk::judge(const QString &task, bool done)
{
    if (recoverFromLoss()) {
        // a booking whose commit met the loss was never counted: it was not saved
        if (!done)
            ++figures_.interrupted;
        return;
    }
    if (done)
        return;
    for (const QString &t : prompt_.texts)
        if (isRefusal(t)) {
            ++figures_.refusals;
            return;
        }
    ++figures_.errors;
    if (figures_.errorTexts.size() < 5)
        figures_.errorTexts << task + QStringLiteral(": ") + prompt_.texts.join(QLatin1String(" | "));
}

bool Clerk::recoverFromLoss()
{
    if (losses_ == lossesJudged_)
        return false;
    lossesJudged_ = losses_;
    if (!DbSession->LostTask().isEmpty())
        DbSession->ResumeAfterLoss();
    if (DbSession->ReconnectGaveUp()) {
        // the server was not found within the reconnect's limit: a fresh login, as a
        // clerk would make, until the deadline
        for (int attempt = 0; attempt < 3; ++attempt)
            if (DbSession->ConnectToDataBase(options_.user, options_.password, options_.serverText()) == 2)
                break;
    }
    return true;
}

void Clerk::noteBooking(const QString &file, qint32 customer)
{
    if (file.isEmpty())
        return;
    // one write a line, appended: the sessions share the file
    const QByteArray line = QByteArray::number(customer) + ' '
                            + QByteArray::number(QDateTime::currentMSecsSinceEpoch()) + ' '
                            + QByteArray::number(options_.session) + '\n';
    QFile f(file);
    if (f.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        f.write(line);
}

void Clerk::closeEverything()
{
    for (const char *name : kScreens)
        closeScreen(QString::fromLatin1(name));
    heldBooking_.reset();
    if (DbSession->IsInTransaction()) {
        DbSession->AbandonAllWork();
        ++figures_.errors;
        if (figures_.errorTexts.size() < 5)
            figures_.errorTexts << QStringLiteral("a transaction was left open: ") + prompt_.texts.join(QLatin1String(" | "));
    }
    // what the client's event loop does between two clicks: without it the posted events
    // of every window pile up and each new window pays for the whole pile
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void Clerk::finish()
{
    closeEverything();
    DbSession = nullptr;
    ownedSession.reset();
}

void Clerk::book()
{
    prompt_.texts.clear();
    const Journey j = network_.pick(rng_, QDate::currentDate());
    const bool chooseRun = std::uniform_int_distribution<int>(0, 3)(rng_) == 0;
    QElapsedTimer t;
    t.start();
    const bool done = options_.headless ? road(j, chooseRun, false, true) : request("frmReservation", j, chooseRun, true);
    const double ms = double(t.nsecsElapsed()) / 1e6;
    if (done) {
        ++figures_.bookings;
        figures_.concessionSeats += pickedConcessions_;
        figures_.latenciesMs.push_back(ms);
        held_.push_back({nbk::reservation::MostRecentCustomerId(), j.seats});
        noteBooking(options_.committedFile, nbk::reservation::MostRecentCustomerId());
    }
    judge(QStringLiteral("booking"), done);
    closeEverything();
}

void Clerk::enquire()
{
    prompt_.texts.clear();
    sawRuns_ = false;
    const Journey j = network_.pick(rng_, QDate::currentDate());
    if (options_.headless)
        road(j, false, true, true);
    else
        request("frmEnquiry", j, false, true);
    const bool done = sawRuns_
                      || prompt_.texts.contains(QStringLiteral("No Instances to service requested route. "))
                      || prompt_.texts.contains(QStringLiteral(" Requested number of seats not available"));
    if (done) {
        ++figures_.enquiries;
        recoverFromLoss();
    } else {
        judge(QStringLiteral("enquiry"), false);
    }
    closeEverything();
}

void Clerk::cancel()
{
    if (held_.empty()) {
        book();
        return;
    }
    prompt_.texts.clear();
    const size_t pickAt = std::uniform_int_distribution<size_t>(0, held_.size() - 1)(rng_);
    Held &h = held_[pickAt];
    // now and then part of a booking of several seats
    const int k = h.seats > 1 && std::uniform_int_distribution<int>(0, 1)(rng_) ? std::uniform_int_distribution<int>(1, h.seats - 1)(rng_) : 0;
    if (options_.headless) {
        cancelByProcedure(h.customer, k);
    } else {
        QWidget *f = openScreen(QStringLiteral("frmCancel"));
        setText(f, "txtcid", QString::number(h.customer));
        chooseIndex(f, "cmbseats", k);
        press(f, "cmdCancel");
    }
    bool done = false;
    if (prompt_.texts.contains(QStringLiteral("  Cancel Done "))) {
        done = true;
        held_.erase(held_.begin() + qsizetype(pickAt));
    } else if (k > 0 && prompt_.texts.contains(QString::number(k) + QStringLiteral(" seats deleted"))) {
        done = true;
        h.seats -= k;
    }
    if (done) {
        ++figures_.cancellations;
        // the question named the charge before the clerk agreed
        if (std::any_of(prompt_.texts.cbegin(), prompt_.texts.cend(),
                        [](const QString &t) { return t.contains(QLatin1String("\r\nCancellation charge: ")); }))
            ++figures_.chargedCancellations;
    }
    judge(QStringLiteral("cancellation"), done);
    closeEverything();
}

bool Clerk::holdOneBooking()
{
    for (int attempt = 0; attempt < 20; ++attempt) {
        prompt_.texts.clear();
        const Journey j = network_.pick(rng_, QDate::currentDate());
        const bool held = options_.headless ? road(j, false, false, false) : request("frmReservation", j, false, false);
        const auto *customer = qobject_cast<frmCustomer *>(shown("frmCustomer"));
        const PendingBooking *booking = options_.headless ? heldBooking_.get() : customer ? customer->booking() : nullptr;
        if (held && booking && DbSession->IsInTransaction()) {
            QStringList seats;
            for (const qint16 seat : booking->seats())
                seats << QString::number(seat);
            std::printf("HELD %d %d %s\n", int(booking->request.CustomerId), int(booking->request.BookedInstanceId), qPrintable(seats.join(QLatin1Char(','))));
            std::fflush(stdout);
            return true;
        }
        closeEverything();
    }
    return false;
}

}  // namespace nbk::load
