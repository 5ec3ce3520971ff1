#pragma once
#include <QString>
#include <QStringList>

class QComboBox;

namespace nbk::ui {

// The entry typed digits select in a list of numbers: the digits typed so far followed by
// this one when the list holds that number, else this digit alone; -1 when neither is an
// entry. `typed` becomes the digits that now count.
int entryForDigits(const QStringList &entries, QString &typed, QChar digit);

// A closed list of numbers takes typed digits as the number meant: "1" selects 1 (not the
// next entry beginning with 1), "1" then "2" within the keyboard interval selects 12.
void selectByTypedNumber(QComboBox *list);

}  // namespace nbk::ui
