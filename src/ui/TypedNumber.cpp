#include "ui/TypedNumber.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>

namespace nbk::ui {

namespace {

QStringList entriesOf(const QComboBox *list)
{
    QStringList entries;
    for (int i = 0; i < list->count(); ++i)
        entries << list->itemText(i);
    return entries;
}

class DigitsSelect : public QObject {
public:
    explicit DigitsSelect(QComboBox *list) : QObject(list), list_(list) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != list_ || event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        if (mods != Qt::NoModifier || key->text().size() != 1 || !key->text().at(0).isDigit())
            return false;
        // digits typed after a pause start a new number
        if (!since_.isValid() || since_.elapsed() > QApplication::keyboardInputInterval())
            typed_.clear();
        since_.start();
        const int entry = entryForDigits(entriesOf(list_), typed_, key->text().at(0));
        if (entry >= 0)
            list_->setCurrentIndex(entry);
        return true;
    }

private:
    QComboBox *list_;
    QString typed_;
    QElapsedTimer since_;
};

}  // namespace

int entryForDigits(const QStringList &entries, QString &typed, QChar digit)
{
    for (const QString &candidate : {typed + digit, QString(digit)}) {
        const qsizetype i = entries.indexOf(candidate);
        if (i >= 0) {
            typed = candidate;
            return int(i);
        }
    }
    typed.clear();
    return -1;
}

void selectByTypedNumber(QComboBox *list)
{
    if (list)
        list->installEventFilter(new DigitsSelect(list));
}

}  // namespace nbk::ui
