#include "app/Login.h"

#include "app/StartApplication.h"
#include "common/Globals.h"
#include "data/schema/Schema.h"
#include "ui/Keys.h"
#include "ui/MsgBox.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace nbk::app {

namespace {
constexpr int kWidthTwips = 5580;
constexpr int kHeightTwips = 4275;

bool isEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

// Keys that type a character (or Backspace, Enter, Escape); Shift, arrows, Tab and
// Delete alone do not count as typing.
bool typesCharacter(const QKeyEvent *k)
{
    if (k->text().isEmpty())
        return false;
    switch (k->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
        return false;
    default:
        return true;
    }
}
}  // namespace

Login::Login(QWidget *parent) : Screen(parent)
{
    setWindowTitle(QStringLiteral("N.B.K Reservation System Login"));

    auto *label1 = new QLabel(QStringLiteral("User Name"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    User = new QLineEdit(this);
    User->setObjectName(QStringLiteral("User"));
    auto *label2 = new QLabel(QStringLiteral("Password"), this);
    label2->setObjectName(QStringLiteral("Label2"));
    Password = new QLineEdit(this);
    Password->setObjectName(QStringLiteral("Password"));
    Password->setEchoMode(QLineEdit::Password);
    auto *label3 = new QLabel(QStringLiteral("Server"), this);
    label3->setObjectName(QStringLiteral("Label3"));
    Server = new QLineEdit(this);
    Server->setObjectName(QStringLiteral("Server"));
    Command1 = new QPushButton(QStringLiteral("Login"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("Cancel"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command3 = new QPushButton(QStringLiteral("Help"), this);
    Command3->setObjectName(QStringLiteral("Command3"));

    auto *grid = new QGridLayout(this);
    grid->setVerticalSpacing(14);
    grid->setRowStretch(0, 1);
    grid->addWidget(label1, 1, 0);
    grid->addWidget(User, 1, 1);
    grid->addWidget(label2, 2, 0);
    grid->addWidget(Password, 2, 1);
    grid->addWidget(label3, 3, 0);
    grid->addWidget(Server, 3, 1);
    grid->setRowStretch(4, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    buttons->addWidget(Command3);
    grid->addLayout(buttons, 5, 0, 1, 2);
    grid->setRowStretch(6, 1);

    User->setText(QStringLiteral("chief"));
    Password->setText(QString::fromLatin1(data::schema::kDefaultPassword));
    Command1->setEnabled(false);

    User->installEventFilter(this);
    Password->installEventFilter(this);
    Server->installEventFilter(this);
    // Enter on the focused Login logs in; Escape is Cancel
    ui::setDialogKeys(this, Command1, Command2);
    ui::sizeInTwips(this, kWidthTwips, kHeightTwips);
    connect(Command1, &QPushButton::clicked, this, &Login::logIn);
    connect(Command2, &QPushButton::clicked, this, [this] { close(); });
    connect(Command3, &QPushButton::clicked, this, [] {
        ui::MsgBox(helpText(), mb::Question | mb::OKOnly, QStringLiteral("Login Help"));
    });
}

QString Login::helpText()
{
    return QStringLiteral("The User Name and Password information can be obtained from your supervisor\r\n"
                          "\r\n"
                          "The other reasons for login failure are : \r\n"
                          "Check that your caps lock is not on.\r\n"
                          "The passwords are case sensitive\r\n"
                          "The server may be under maintainance. Try later \r\n");
}

void Login::showEvent(QShowEvent *e)
{
    Screen::showEvent(e);
    if (loaded_)
        return;
    loaded_ = true;
    Command1->setEnabled(false);
    User->setFocus();
    Password->setFocus();
}

bool Login::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return Screen::eventFilter(watched, event);
    auto *k = static_cast<QKeyEvent *>(event);
    if (watched == User && typesCharacter(k)) {
        userKeyPress(k->key());
        // Enter has moved the focus; it must not go on to press the button now in focus
        return isEnter(k->key());
    }
    if ((watched == Password || watched == Server) && isEnter(k->key())) {
        // Enter logs in even while the Login button is disabled; the server is typed last
        // as often as the password is
        logIn();
        return true;
    }
    return Screen::eventFilter(watched, event);
}

void Login::userKeyPress(int key)
{
    // judged on the text as it was before this key
    Command1->setEnabled(!User->text().isEmpty());
    if (isEnter(key)) {
        if (Password->text().isEmpty())
            Password->setFocus();
        else
            Command1->setFocus();
    }
}

void Login::logIn()
{
    if (!DbSession)
        return;
    LoginState = DbSession->ConnectToDataBase(User->text(), Password->text(), Server->text());
    ShowNextForm(this, QStringLiteral("Form1"));
}

}  // namespace nbk::app
