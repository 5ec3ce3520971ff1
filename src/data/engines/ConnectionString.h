#pragma once
#include <QMap>
#include <QString>
#include <QStringList>

namespace nbk::data {

// A driver-based connection string: KEY=value; pairs, values in braces may hold ';'.
// Keys are compared without letter case.
class ConnectionString {
public:
    static ConnectionString parse(const QString &text);
    // A value as it goes between "KEY=" and ";": as typed, unless it holds a character the
    // string would misread (";", braces, blanks at its ends); then in braces with "}"
    // doubled, as ODBC writes them.
    static QString quoteValue(const QString &value);
    // The text with the password's value replaced, for keeping after the login.
    QString withoutPassword() const;

    QString value(const QString &key) const;  // empty when absent (the first, when repeated)
    // Every key in written order, in upper case, repeats included.
    const QStringList &keys() const { return keys_; }
    bool has(const QString &key) const;
    QString server() const { return value("SERVER"); }
    QString driver() const { return value("DRIVER"); }
    QString user() const { return value("UID"); }
    QString password() const { return value("PWD"); }
    const QString &text() const { return text_; }

private:
    QString text_;
    QStringList keys_;
    QMap<QString, QString> values_;  // upper-case key -> value
};

}  // namespace nbk::data
