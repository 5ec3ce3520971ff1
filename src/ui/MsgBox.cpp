#include "ui/MsgBox.h"
#include "common/SharedRoutines.h"
#include "ui/Language.h"

#include <QApplication>
#include <QAbstractButton>
#include <QMessageBox>

namespace nbk::ui {

// The system's own name, not the program file's (the application name names the data
// folder).
QString defaultTitle() { return QStringLiteral("N.B.K Reservation System"); }

int MsgBox(const QString &text, int style, const QString &title) { return ui::showMessage(text, style, title); }

int ModalPrompt::ask(const QString &text, int style, const QString &title)
{
    QMessageBox box(QApplication::activeWindow());
    // the procedures word their messages in English; the box shows them in the language chosen
    box.setText(shownText(text));
    box.setWindowTitle(title.isEmpty() ? defaultTitle() : shownText(title));
    // the stop icon wins when a style sets more than one icon flag (80 = stop + information)
    const int icon = style & 0x70;
    if ((icon & mb::Critical) == mb::Critical && icon != mb::Exclamation)
        box.setIcon(QMessageBox::Critical);
    else if (icon == mb::Question)
        box.setIcon(QMessageBox::Question);
    else if (icon == mb::Exclamation)
        box.setIcon(QMessageBox::Warning);
    else if (icon == mb::Information)
        box.setIcon(QMessageBox::Information);
    const int buttons = style & 7;
    QMessageBox::StandardButton def = QMessageBox::Ok;
    if (buttons == mb::OKCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        def = (style & mb::DefaultButton2) ? QMessageBox::Cancel : QMessageBox::Ok;
    } else if (buttons == mb::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        def = (style & mb::DefaultButton2) ? QMessageBox::No : QMessageBox::Yes;
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    box.setDefaultButton(def);
    for (const auto &[button, caption] : {std::pair{QMessageBox::Ok, "OK"}, std::pair{QMessageBox::Cancel, "Cancel"},
                                          std::pair{QMessageBox::Yes, "&Yes"}, std::pair{QMessageBox::No, "&No"}})
        if (QAbstractButton *b = box.button(button); b && shownText(QLatin1String(caption)) != QLatin1String(caption))
            b->setText(shownText(QLatin1String(caption)));
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return mb::Cancel;
    case QMessageBox::Yes:
        return mb::Yes;
    case QMessageBox::No:
        return mb::No;
    case QMessageBox::Ok:
        return mb::OK;
    default:
        // closed with Escape or the close box: the cancelling answer
        return buttons == mb::YesNo ? mb::No : buttons == mb::OKCancel ? mb::Cancel : mb::OK;
    }
}

void installModalPrompt()
{
    static ModalPrompt modal;
    ui::setPrompt(&modal);
    tellLoginRefusalsThroughPrompt();
}

}  // namespace nbk::ui
